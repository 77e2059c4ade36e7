#include "save/living_state_file.h"

#include <array>

#include "save/text_lines.h"
#include "save/text_record.h"

namespace filesave {

namespace {

constexpr const char* kTag = "QUORVANE_LIVING 1";

struct ClockLine {
    const char* key;
    int32_t LivingClocks::*clock;
    int32_t limit;  // the clock lies below it
};

constexpr std::array<ClockLine, 3> kLines{{
    {"raid", &LivingClocks::raid, adventure::kMaxRaidTicks},
    {"caravan", &LivingClocks::caravan, adventure::kMaxCaravanTicks},
    {"market", &LivingClocks::market, adventure::kMaxMarketTicks},
}};

}  // namespace

std::string encodeLivingState(const LivingClocks& clocks) {
    std::vector<TextRow> rows;
    for (const ClockLine& line : kLines) rows.push_back({line.key, std::to_string(clocks.*line.clock)});
    return formatTextRecord(kTag, rows);
}

std::optional<LivingClocks> decodeLivingState(const std::string& text) {
    const auto rows = parseTextRecord(text, kTag, 2, kLines.size());
    if (!rows || rows->size() != kLines.size()) return std::nullopt;
    LivingClocks clocks;
    for (std::size_t k = 0; k < kLines.size(); ++k) {
        const auto value = parseWhole<int32_t>((*rows)[k][1]);
        if ((*rows)[k][0] != kLines[k].key || !value || *value < 0 || *value >= kLines[k].limit)
            return std::nullopt;
        clocks.*kLines[k].clock = *value;
    }
    return clocks;
}

}  // namespace filesave
