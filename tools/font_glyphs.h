#pragma once
// The bitmap font strip: one 5 x 7 glyph shape per character of ui::fontAlphabet, each stretched
// with a one-cell margin (a 7 x 9 grid) over its share of the 1,920 x 64 strip.
#include "tools/texture_canvas.h"

namespace texgen {

// White glyphs on transparent pixels; "Missing glyph for U+<hex>" when the alphabet holds a
// character the table has no shape for.
Canvas paintFont();

}  // namespace texgen
