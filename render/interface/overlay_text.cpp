#include "render/interface/overlay_text.h"

#include <algorithm>

#include "render/atlases/content_meta.h"

namespace render {

void encodeGlyphLine(uint32_t* overlay, uint32_t slot, std::u32string& text) {
    uint32_t* line = overlay + static_cast<std::size_t>(slot + kFirstTextLineRecord) * kTextLineWords;
    std::fill(line, line + kTextLineWords, 0u);
    if (text.size() > kTextLineGlyphs) text.resize(kTextLineGlyphs);
    line[0] = static_cast<uint32_t>(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) line[1 + i / 4] |= uint32_t{fontGlyph(text[i])} << (8 * (i % 4));
}

}  // namespace render
