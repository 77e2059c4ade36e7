#pragma once
// The three-float vector the model loaders and display transforms compute with.
#include <array>

namespace content {

using Float3 = std::array<float, 3>;

}  // namespace content
