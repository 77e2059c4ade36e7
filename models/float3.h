#pragma once
// The three-float vector the model loaders and display transforms compute with.
#include <array>
#include <limits>

namespace content {

using Float3 = std::array<float, 3>;

// A double beyond the float range becomes an infinity, which every bound check then refuses.
inline float toFloat(double value) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (value > largest) return std::numeric_limits<float>::infinity();
    if (value < -largest) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace content
