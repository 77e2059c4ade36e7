#pragma once
// Compares a captured frame with its reference picture. The software driver compiles shaders for
// the CPU it runs on, so one CPU family rounds differently from another: a channel a level or two
// away, and, without the wider vector units, a rare pixel at a texel seam or a triangle's edge that
// takes its neighbour's colour. Such rounding scatters: it moves up to a few in a hundred pixels by
// a level, most of them in one channel (an Intel machine against the AMD one that recorded the
// references: at most 3,096 of 921,600 pixels in more than one channel). A real change moves whole
// colours (every channel of many pixels together) or a patch, an edge or a region. The ordinary comparison allows the first and fails on the second; the exact one
// (QUORVANE_EXACT_CAPTURES, on the machine that recorded the references) allows nothing.
#include <cstdint>
#include <string>

#include "platform/image.h"

namespace rendertest {

// The largest channel difference the driver's rounding explains.
inline constexpr int kDriverRounding = 2;
// At most one pixel in this many may be further off than the rounding, in specks of one or two.
inline constexpr std::size_t kPixelsPerSpeck = 10000;
inline constexpr std::size_t kLargestSpeck = 2;
// At most one pixel in this many may differ in more than one channel.
inline constexpr std::size_t kPixelsPerShiftedColour = 100;

// kDriverRounding, or 0 when QUORVANE_EXACT_CAPTURES is set (an empty value counts as set).
int captureAllowance();

// Empty when `shown` matches `reference` within `allowance` (0: exactly); otherwise what differs,
// with the first offending pixel's colours and the largest difference and where it is.
std::string pictureDifference(const platform::Image& reference, const platform::Image& shown, int allowance);

}  // namespace rendertest
