#pragma once
#include <cmath>

namespace content {

// A finite whole number within [min, max], bounds inclusive; the rule files check their counts and
// tick values with it before truncating them.
inline bool isWholeNumberIn(double value, double min, double max) {
    return std::isfinite(value) && value == std::floor(value) && value >= min && value <= max;
}

}  // namespace content
