#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/ui_state.h"

namespace ui {

// The wheel moves the view three lines a notch. The scaled offset is clamped to the 32-bit range
// before truncation so that any offset a device reports converts without overflow.
int32_t scrolledTextLine(int32_t line, int32_t lineCount, double yOffset) {
    double scaled = yOffset * -3.0;
    if (std::isnan(scaled)) scaled = 0.0;
    scaled = std::clamp(scaled, static_cast<double>(std::numeric_limits<int32_t>::min()),
                        static_cast<double>(std::numeric_limits<int32_t>::max()));
    const int64_t step = static_cast<int64_t>(std::trunc(scaled));
    const int64_t last = std::max<int64_t>(0, static_cast<int64_t>(lineCount) - 1);
    return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(line) - step, 0, last));
}

}  // namespace ui
