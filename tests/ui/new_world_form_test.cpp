#include "ui/new_world_form.h"

#include <gtest/gtest.h>

namespace {

struct SeedCase {
    std::u32string text;
    std::optional<uint32_t> seed;
};

TEST(NewWorldForm, SeedTextBecomesASeedWithinTenDigitsAnd32Bits) {
    const std::vector<SeedCase> cases = {
        {U"", 77u},  // empty: the random seed handed in
        {U"0", 0u},
        {U"0000000042", 42u},
        {U"4294967295", 4294967295u},
        {U"4294967296", std::nullopt},  // ten digits, one above 32 bits
        {U"9999999999", std::nullopt},
        {U"12345678901", std::nullopt},  // eleven digits
        {U"12a", std::nullopt},
        {U"-1", std::nullopt},
        {U" 1", std::nullopt},
    };
    for (const SeedCase& c : cases) EXPECT_EQ(ui::formSeed(c.text, 77u), c.seed) << c.text.size();
}

TEST(NewWorldForm, TheSeedFieldTakesTenDigitsAndRefusesTheEleventhAndNonDigits) {
    NewWorldForm form;
    form.focusedField = 1;
    for (char32_t c : std::u32string(U"1234567890")) ui::typeIntoForm(form, c);
    EXPECT_EQ(form.seed, U"1234567890");
    EXPECT_FALSE(form.seedError);
    ui::typeIntoForm(form, U'1');
    EXPECT_EQ(form.seed, U"1234567890") << "an eleventh digit is refused";
    EXPECT_TRUE(form.seedError);
    ui::eraseFromForm(form);
    EXPECT_EQ(form.seed, U"123456789");
    EXPECT_FALSE(form.seedError);
    ui::typeIntoForm(form, U'x');
    EXPECT_EQ(form.seed, U"123456789");
    EXPECT_TRUE(form.seedError);
    ui::typeIntoForm(form, U'0');
    EXPECT_EQ(form.seed, U"1234567890");
    EXPECT_FALSE(form.seedError);
    EXPECT_TRUE(form.name.empty());
}

TEST(NewWorldForm, TheNameTakesTwentyFourCharactersAndTabSwitchesFields) {
    NewWorldForm form;
    for (int i = 0; i < 25; ++i) ui::typeIntoForm(form, U'Я');
    ui::typeIntoForm(form, U'\t');
    EXPECT_EQ(form.name.size(), 24u);
    ui::switchFormField(form);
    ui::typeIntoForm(form, U'7');
    ui::switchFormField(form);
    ui::eraseFromForm(form);
    EXPECT_EQ(form.name.size(), 23u);
    EXPECT_EQ(form.seed, U"7");
}

// The name takes what a world file can hold: from the space up to U+FFFF, not a control character
// or one past U+FFFF, which would leave a world folder without its world.txt.
TEST(NewWorldForm, TheNameTakesOnlyCharactersAWorldFileHolds) {
    const std::pair<char32_t, bool> cases[] = {{U'\x1F', false}, {U' ', true}, {U'\x7F', false},
                                               {U'\uFFFF', true}, {U'\U00010000', false}};
    for (const auto& [c, taken] : cases) {
        NewWorldForm form;
        ui::typeIntoForm(form, c);
        EXPECT_EQ(form.name.size(), taken ? 1u : 0u) << static_cast<uint32_t>(c);
    }
}

TEST(NewWorldForm, ANameOfSpacesTakesTheDefault) {
    EXPECT_EQ(ui::formWorldName(U"   ", U"НОВЫЙ МИР"), U"НОВЫЙ МИР");
    EXPECT_EQ(ui::formWorldName(U"", U"НОВЫЙ МИР"), U"НОВЫЙ МИР");
    EXPECT_EQ(ui::formWorldName(U"  Остров  мой ", U"X"), U"Остров  мой");
}

}  // namespace
