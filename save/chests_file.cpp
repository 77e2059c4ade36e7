// The chests file: a text record under the tag "VXC073", one chest a line, named by its dimension.
// Worlds saved before it hold the "VXC072" text or the binary "QVCH" record instead, both read as
// the overworld's chests. Format: world_state_files.h.
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "save/binary_record.h"
#include "save/dimension_ids.h"
#include "save/text_lines.h"
#include "save/world_state_files.h"

namespace filesave {

namespace {

constexpr std::size_t kNumbersPerChest = 3 + 3 * 27;

bool slotInRange(const InventorySlot& slot) {
    return slot.count >= 0 && slot.count <= kMaxStackCount && slot.wear >= 0;
}

// The tokens of a line split at single spaces; an empty token (two spaces, a space at either end)
// is kept, so that the numbers refuse it.
std::vector<std::string_view> splitSpaces(std::string_view line) {
    std::vector<std::string_view> tokens;
    for (std::size_t pos = 0;;) {
        const std::size_t stop = line.find(' ', pos);
        tokens.push_back(line.substr(pos, stop - pos));
        if (stop == std::string_view::npos) return tokens;
        pos = stop + 1;
    }
}

// The cell and slots of one chest line, after its dimension id if it has one.
std::optional<std::pair<CellKey, ChestSlots>> parseChest(std::span<const std::string_view> tokens) {
    if (tokens.size() != kNumbersPerChest) return std::nullopt;
    std::optional<int32_t> cell[3];
    for (std::size_t k = 0; k < 3; ++k) cell[k] = parseWhole<int32_t>(tokens[k]);
    if (!cell[0] || !cell[1] || !cell[2]) return std::nullopt;
    ChestSlots slots{};
    for (std::size_t k = 0; k < slots.size(); ++k) {
        const auto id = parseWhole<uint8_t>(tokens[3 + 3 * k]);
        const auto count = parseWhole<int32_t>(tokens[4 + 3 * k]);
        const auto wear = parseWhole<int32_t>(tokens[5 + 3 * k]);
        if (!id || !count || !wear) return std::nullopt;
        slots[k] = InventorySlot{*id, *count, *wear};
        if (!slotInRange(slots[k])) return std::nullopt;
    }
    return std::pair{CellKey{*cell[0], *cell[1], *cell[2]}, slots};
}

std::optional<CellsByDimension<ChestSlots>> readChestText(std::string_view text) {
    // A line feed ends every line: a file cut short inside its last chest is refused.
    if (text.empty() || text.back() != '\n') return std::nullopt;
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.size() < 2 || (lines[0] != kChestsTag && lines[0] != kEarlierChestsTag)) return std::nullopt;
    const bool named = lines[0] == kChestsTag;
    const auto count = parseWhole<uint32_t>(lines[1]);
    if (!count || *count > kMaxRecords || lines.size() - 2 != *count) return std::nullopt;
    CellsByDimension<ChestSlots> chests;
    for (std::size_t k = 2; k < lines.size(); ++k) {
        const std::vector<std::string_view> tokens = splitSpaces(lines[k]);
        const std::string dimension = named ? std::string(tokens[0]) : kEarlierRecordsDimension;
        if (!isSavedDimensionId(dimension)) return std::nullopt;
        auto chest = parseChest(std::span(tokens).subspan(named ? 1 : 0));
        if (!chest || !chests[dimension].insert(std::move(*chest)).second) return std::nullopt;
    }
    return chests;
}

std::optional<CellsByDimension<ChestSlots>> readEarlierChestRecord(const std::string& bytes) {
    ByteReader in(bytes, "QVCH", 1);
    CellsByDimension<ChestSlots> chests;
    const uint32_t n = in.count(kMaxRecords, 12 + 27 * 9);
    for (uint32_t i = 0; i < n; ++i) {
        const int32_t x = in.get<int32_t>();
        const int32_t y = in.get<int32_t>();
        const CellKey cell{x, y, in.get<int32_t>()};
        ChestSlots slots{};
        for (InventorySlot& slot : slots) {
            const uint8_t id = in.get<uint8_t>();
            const int32_t count = in.get<int32_t>();
            slot = InventorySlot{id, count, in.get<int32_t>()};
            if (!slotInRange(slot)) in.refuse();
        }
        if (!chests[kEarlierRecordsDimension].emplace(cell, slots).second) in.refuse();
    }
    if (!in.whole()) return std::nullopt;
    return chests;
}

}  // namespace

std::string encodeChests(const CellsByDimension<ChestSlots>& chests) {
    const std::size_t count = countCells(chests);
    if (count > kMaxRecords)
        throw std::runtime_error(std::string("Cannot save ") + kChestsFile + ": " + std::to_string(count) +
                                 " records, at most " + std::to_string(kMaxRecords));
    std::string text = std::string(kChestsTag) + "\n" + std::to_string(count) + "\n";
    for (const auto& [dimension, cells] : chests) {
        if (!cells.empty()) checkDimensionId(kChestsFile, dimension);
        for (const auto& [cell, slots] : cells) {
            const auto& [x, y, z] = cell;
            text += dimension + ' ' + std::to_string(x) + ' ' + std::to_string(y) + ' ' + std::to_string(z);
            for (const InventorySlot& slot : slots)
                text += ' ' + std::to_string(slot.id) + ' ' + std::to_string(slot.count) + ' ' +
                        std::to_string(slot.wear);
            text += '\n';
        }
    }
    return text;
}

std::optional<CellsByDimension<ChestSlots>> decodeChests(const std::string& bytes) {
    if (bytes.starts_with("QVCH")) return readEarlierChestRecord(bytes);
    return readChestText(bytes);
}

}  // namespace filesave
