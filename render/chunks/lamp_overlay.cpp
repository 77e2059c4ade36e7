#include "render/chunks/lamp_overlay.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace render {

namespace {

// Indexes of the lamps that fit, nearest first when they do not all fit, then back in list order.
std::vector<std::size_t> shownLamps(const std::vector<LampRecord>& lamps, float px, float py, float pz) {
    std::vector<std::size_t> order(lamps.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (order.size() <= kMaxOverlayLamps) return order;
    const auto distance = [&](std::size_t i) {
        const float dx = lamps[i].x - px, dy = lamps[i].y - py, dz = lamps[i].z - pz;
        return dx * dx + dy * dy + dz * dz;
    };
    const auto nearer = [&](std::size_t a, std::size_t b) {
        const float da = distance(a), db = distance(b);
        return da < db || (da == db && a < b);
    };
    std::nth_element(order.begin(), order.begin() + kMaxOverlayLamps, order.end(), nearer);
    order.resize(kMaxOverlayLamps);
    std::sort(order.begin(), order.end());
    return order;
}

}  // namespace

void writeOverlayLamps(std::span<uint32_t> words, const std::vector<LampRecord>& lamps, float px, float py, float pz) {
    const std::size_t end = kLampRecordsWord + std::size_t{kMaxOverlayLamps} * kLampRecordWords;
    if (words.size() < end) return;
    const std::vector<std::size_t> shown = shownLamps(lamps, px, py, pz);
    std::fill(words.begin() + kLampCountWord, words.begin() + static_cast<std::ptrdiff_t>(end), 0u);
    words[kLampCountWord] = static_cast<uint32_t>(shown.size());
    uint32_t* out = words.data() + kLampRecordsWord;
    for (std::size_t i : shown) {
        const float record[kLampRecordWords] = {lamps[i].x, lamps[i].y, lamps[i].z, lamps[i].intensity};
        std::memcpy(out, record, sizeof record);
        out += kLampRecordWords;
    }
}

}  // namespace render
