#include "picture_difference.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace rendertest {

namespace {

struct Comparison {
    std::vector<std::size_t> off;      // pixels further off than the allowance, in reading order
    std::size_t shifted = 0;           // pixels that differ in more than one channel
    std::size_t firstShifted = 0;
    std::size_t largestAt = 0;         // the pixel with the largest channel difference
    int largest = 0;
};

Comparison compare(const platform::Image& reference, const platform::Image& shown, int allowance) {
    Comparison result;
    for (std::size_t pixel = 0; pixel < reference.pixels.size() / 4; ++pixel) {
        int by = 0, channels = 0;
        for (std::size_t c = 0; c < 4; ++c) {
            const int d = std::abs(int(reference.pixels[pixel * 4 + c]) - int(shown.pixels[pixel * 4 + c]));
            by = std::max(by, d);
            channels += d != 0;
        }
        if (by > result.largest) {
            result.largest = by;
            result.largestAt = pixel;
        }
        if (by > allowance) result.off.push_back(pixel);
        if (channels > 1 && result.shifted++ == 0) result.firstShifted = pixel;
    }
    return result;
}

// The size of the largest group of off pixels that touch, sides or corners.
std::size_t largestGroup(const std::vector<std::size_t>& off, uint32_t width) {
    std::vector<bool> seen(off.size());
    std::size_t largest = 0;
    for (std::size_t start = 0; start < off.size(); ++start) {
        if (seen[start]) continue;
        std::vector<std::size_t> open{start};
        seen[start] = true;
        std::size_t size = 0;
        while (!open.empty()) {
            const std::size_t at = off[open.back()];
            open.pop_back();
            ++size;
            const long x = long(at % width), y = long(at / width);
            for (long dy = -1; dy <= 1; ++dy)
                for (long dx = -1; dx <= 1; ++dx) {
                    if (x + dx < 0 || x + dx >= long(width) || y + dy < 0) continue;
                    const std::size_t next = std::size_t((y + dy) * long(width) + x + dx);
                    const auto found = std::lower_bound(off.begin(), off.end(), next);
                    const std::size_t k = std::size_t(found - off.begin());
                    if (found != off.end() && *found == next && !seen[k]) {
                        seen[k] = true;
                        open.push_back(k);
                    }
                }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

std::string where(uint32_t width, std::size_t pixel) {
    return "(" + std::to_string(pixel % width) + ", " + std::to_string(pixel / width) + ")";
}

std::string rgba(const platform::Image& image, std::size_t pixel) {
    std::string out = "rgba";
    for (std::size_t c = 0; c < 4; ++c) out += " " + std::to_string(int(image.pixels[pixel * 4 + c]));
    return out;
}

std::string failure(const std::string& what, std::size_t first, const platform::Image& reference,
                    const platform::Image& shown, const Comparison& found) {
    return what + ", the first at " + where(shown.width, first) + ": " + rgba(shown, first) + " instead of " +
           rgba(reference, first) + "; the largest by " + std::to_string(found.largest) + " at " +
           where(shown.width, found.largestAt);
}

}  // namespace

int captureAllowance() { return std::getenv("QUORVANE_EXACT_CAPTURES") ? 0 : kDriverRounding; }

std::string pictureDifference(const platform::Image& reference, const platform::Image& shown, int allowance) {
    if (reference.width != shown.width || reference.height != shown.height ||
        reference.pixels.size() != shown.pixels.size())
        return "size " + std::to_string(shown.width) + "x" + std::to_string(shown.height) + " instead of " +
               std::to_string(reference.width) + "x" + std::to_string(reference.height);
    const Comparison found = compare(reference, shown, allowance);
    const std::size_t pixels = reference.pixels.size() / 4;
    const std::string off = std::to_string(found.off.size()) + " pixels differ by more than " + std::to_string(allowance);
    if (allowance == 0) return found.off.empty() ? "" : failure(off, found.off.front(), reference, shown, found);
    if (found.off.size() > pixels / kPixelsPerSpeck)
        return failure(off, found.off.front(), reference, shown, found);
    if (const std::size_t group = largestGroup(found.off, reference.width); group > kLargestSpeck)
        return failure(off + ", " + std::to_string(group) + " of them side by side", found.off.front(), reference,
                       shown, found);
    if (found.shifted > pixels / kPixelsPerShiftedColour)
        return failure(std::to_string(found.shifted) + " pixels differ in more than one channel", found.firstShifted,
                       reference, shown, found);
    return {};
}

}  // namespace rendertest
