#pragma once
// The 16 x 16 pictures of the content pack's blocks and items, painted by name.
#include <string>

#include "tools/texture_canvas.h"

namespace packgen {

// The picture called name; throws std::runtime_error for a name that has no painter.
texgen::Canvas paintTexture(const std::string& name);

}  // namespace packgen
