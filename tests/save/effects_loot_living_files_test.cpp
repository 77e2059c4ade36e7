#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "save/living_state_file.h"
#include "save/loot_state_file.h"
#include "save/potion_effects_file.h"
#include "save/text_record.h"
#include "support/failure.h"

using namespace filesave;

namespace {

// Decodes the text and encodes it again; nothing when the decoder refuses it.
template <typename Decode, typename Encode>
std::function<std::optional<std::string>(const std::string&)> reencode(Decode decode, Encode encode) {
    return [=](const std::string& text) -> std::optional<std::string> {
        const auto value = decode(text);
        if (!value) return std::nullopt;
        return encode(*value);
    };
}

const auto effects = reencode(decodePotionEffects, encodePotionEffects);
const auto loot = reencode(decodeLootState, encodeLootState);
const auto living = reencode(decodeLivingState, encodeLivingState);

struct Case {
    const char* name;
    std::function<std::optional<std::string>(const std::string&)> again;
    std::string text;
    bool read;
};

// A text that is read comes back byte for byte; every other is refused whole.
TEST(EffectsLootLivingFiles, WholeRecordsComeBackAndAnyFaultRefusesTheFile) {
    const Case cases[] = {
        {"no effects", effects, "QUORVANE_EFFECTS 1\nend\n", true},
        {"every effect at its limits", effects,
         "QUORVANE_EFFECTS 1\nspeed 75 72000\nprotection 1 1\nwater_breathing 1 3600\nend\n", true},
        {"strength 0", effects, "QUORVANE_EFFECTS 1\nspeed 0 20\nend\n", false},
        {"strength 76", effects, "QUORVANE_EFFECTS 1\nspeed 76 20\nend\n", false},
        {"no steps left", effects, "QUORVANE_EFFECTS 1\nspeed 5 0\nend\n", false},
        {"72001 steps", effects, "QUORVANE_EFFECTS 1\nspeed 5 72001\nend\n", false},
        {"healing lasts no time", effects, "QUORVANE_EFFECTS 1\nhealing 5 20\nend\n", false},
        {"an effect twice", effects, "QUORVANE_EFFECTS 1\nspeed 5 20\nspeed 6 20\nend\n", false},
        {"a fourth line", effects,
         "QUORVANE_EFFECTS 1\nspeed 5 20\nprotection 5 20\nwater_breathing 5 20\nspeed 5 20\nend\n", false},
        {"cut after a line", effects, "QUORVANE_EFFECTS 1\nspeed 30 1799\n", false},
        {"cut inside a number", effects, "QUORVANE_EFFECTS 1\nspeed 30 17", false},
        {"without its last line feed", effects, "QUORVANE_EFFECTS 1\nend", false},
        {"another version", effects, "QUORVANE_EFFECTS 2\nend\n", false},
        {"a field short", effects, "QUORVANE_EFFECTS 1\nspeed 30\nend\n", false},
        {"a field over", effects, "QUORVANE_EFFECTS 1\nspeed 30 20 1\nend\n", false},
        {"two spaces", effects, "QUORVANE_EFFECTS 1\nspeed  30 20\nend\n", false},
        {"a sign", effects, "QUORVANE_EFFECTS 1\nspeed +30 20\nend\n", false},
        {"a carriage return", effects, "QUORVANE_EFFECTS 1\nspeed 30 20\r\nend\n", false},
        {"filled chests", loot,
         "QUORVANE_LOOT 2\ncore:ash -2147483648 0 2147483647\ncore:overworld 5 127 -9\nend\n", true},
        {"none", loot, "QUORVANE_LOOT 2\nend\n", true},
        {"y 128", loot, "QUORVANE_LOOT 2\ncore:ash 1 128 1\nend\n", false},
        {"y -1", loot, "QUORVANE_LOOT 2\ncore:ash 1 -1 1\nend\n", false},
        {"a cell twice", loot, "QUORVANE_LOOT 2\ncore:ash 1 2 3\ncore:ash 1 2 3\nend\n", false},
        {"a cell in two dimensions", loot, "QUORVANE_LOOT 2\ncore:ash 1 2 3\ncore:overworld 1 2 3\nend\n", true},
        {"no dimension id", loot, "QUORVANE_LOOT 2\n1 2 3\nend\n", false},
        {"a dimension id no resource id", loot, "QUORVANE_LOOT 2\nash 1 2 3\nend\n", false},
        {"an earlier row with a dimension id", loot, "QUORVANE_LOOT 1\ncore:ash 1 2 3\nend\n", false},
        {"an earlier row with y 128", loot, "QUORVANE_LOOT 1\n1 128 1\nend\n", false},
        {"x past 32 bits", loot, "QUORVANE_LOOT 2\ncore:ash 2147483648 2 3\nend\n", false},
        {"the effects' tag", loot, "QUORVANE_EFFECTS 1\nend\n", false},
        {"clocks at their limits", living, "QUORVANE_LIVING 1\nraid 479999\ncaravan 0\nmarket 47999\nend\n",
         true},
        {"raid 480000", living, "QUORVANE_LIVING 1\nraid 480000\ncaravan 0\nmarket 0\nend\n", false},
        {"market 48000", living, "QUORVANE_LIVING 1\nraid 0\ncaravan 0\nmarket 48000\nend\n", false},
        {"a negative clock", living, "QUORVANE_LIVING 1\nraid 0\ncaravan -1\nmarket 0\nend\n", false},
        {"lines swapped", living, "QUORVANE_LIVING 1\ncaravan 0\nraid 0\nmarket 0\nend\n", false},
        {"a line missing", living, "QUORVANE_LIVING 1\nraid 0\ncaravan 0\nend\n", false},
        {"empty", living, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.again(c.text), c.read ? std::optional(c.text) : std::nullopt);
    }
}

// The cap is on the filled chests of all dimensions together; an id the reader refuses is not written.
TEST(EffectsLootLivingFiles, TheFilledChestsAreCappedWhereTheReaderStops) {
    LootState state;
    for (int32_t k = 0; k < static_cast<int32_t>(kMaxFilledChests); ++k)
        state.filledChests.emplace("core:overworld", CellKey{k, 1, 0});
    const std::string most = encodeLootState(state);
    ASSERT_TRUE(decodeLootState(most));
    EXPECT_FALSE(decodeLootState(most.substr(0, most.size() - 4) + "core:ash 1 1 1\nend\n")) << "one row over";
    state.filledChests.emplace("core:ash", CellKey{0, 1, 0});
    EXPECT_EQ(testsupport::failureOf([&] { encodeLootState(state); }),
              "Cannot save loot_state.txt: 65537 records, at most 65536");
    EXPECT_EQ(testsupport::failureOf([] { encodeLootState({{{"ash", {0, 1, 0}}}}); }),
              "Cannot save loot_state.txt: dimension id \"ash\" is not a resource id");
}

}  // namespace
