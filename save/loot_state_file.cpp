#include "save/loot_state_file.h"

#include <stdexcept>

#include "save/dimension_ids.h"
#include "save/text_lines.h"
#include "save/text_record.h"
#include "world/chunk.h"

namespace filesave {

namespace {

constexpr const char* kTag = "QUORVANE_LOOT 2";
constexpr const char* kEarlierTag = "QUORVANE_LOOT 1";

// The rows of either record, each with its dimension id first.
std::optional<std::vector<std::vector<std::string_view>>> lootRows(const std::string& text) {
    if (auto rows = parseTextRecord(text, kTag, 4, kMaxFilledChests)) return rows;
    auto rows = parseTextRecord(text, kEarlierTag, 3, kMaxFilledChests);
    if (rows)
        for (auto& row : *rows) row.insert(row.begin(), kEarlierRecordsDimension);
    return rows;
}

}  // namespace

std::string encodeLootState(const LootState& state) {
    if (state.filledChests.size() > kMaxFilledChests)
        throw std::runtime_error(std::string("Cannot save ") + kLootStateFile + ": " +
                                 std::to_string(state.filledChests.size()) + " records, at most " +
                                 std::to_string(kMaxFilledChests));
    std::vector<TextRow> rows;
    rows.reserve(state.filledChests.size());
    for (const auto& [dimension, cell] : state.filledChests) {
        checkDimensionId(kLootStateFile, dimension);
        const auto& [x, y, z] = cell;
        rows.push_back({dimension, std::to_string(x), std::to_string(y), std::to_string(z)});
    }
    return formatTextRecord(kTag, rows);
}

std::optional<LootState> decodeLootState(const std::string& text) {
    const auto rows = lootRows(text);
    if (!rows) return std::nullopt;
    LootState state;
    for (const auto& row : *rows) {
        std::string dimension(row[0]);
        const auto x = parseWhole<int32_t>(row[1]);
        const auto y = parseWhole<int32_t>(row[2]);
        const auto z = parseWhole<int32_t>(row[3]);
        if (!isSavedDimensionId(dimension) || !x || !y || !z || *y < 0 || *y >= voxel::chunkHeight)
            return std::nullopt;
        if (!state.filledChests.emplace(std::move(dimension), CellKey{*x, *y, *z}).second)
            return std::nullopt;
    }
    return state;
}

}  // namespace filesave
