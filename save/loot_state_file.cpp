#include "save/loot_state_file.h"

#include <stdexcept>

#include "save/text_lines.h"
#include "save/text_record.h"
#include "world/chunk.h"

namespace filesave {

namespace {

constexpr const char* kTag = "QUORVANE_LOOT 1";

}  // namespace

std::string encodeLootState(const LootState& state) {
    if (state.filledChests.size() > kMaxFilledChests)
        throw std::runtime_error(std::string("Cannot save ") + kLootStateFile + ": " +
                                 std::to_string(state.filledChests.size()) + " records, at most " +
                                 std::to_string(kMaxFilledChests));
    std::vector<TextRow> rows;
    rows.reserve(state.filledChests.size());
    for (const auto& [x, y, z] : state.filledChests)
        rows.push_back({std::to_string(x), std::to_string(y), std::to_string(z)});
    return formatTextRecord(kTag, rows);
}

std::optional<LootState> decodeLootState(const std::string& text) {
    const auto rows = parseTextRecord(text, kTag, 3, kMaxFilledChests);
    if (!rows) return std::nullopt;
    LootState state;
    for (const auto& row : *rows) {
        const auto x = parseWhole<int32_t>(row[0]);
        const auto y = parseWhole<int32_t>(row[1]);
        const auto z = parseWhole<int32_t>(row[2]);
        if (!x || !y || !z || *y < 0 || *y >= voxel::chunkHeight) return std::nullopt;
        if (!state.filledChests.emplace(*x, *y, *z).second) return std::nullopt;
    }
    return state;
}

}  // namespace filesave
