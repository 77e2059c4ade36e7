#include "content/potions.h"

#include <gtest/gtest.h>

#include "loader_fixture.h"

namespace {

using loadertest::LoaderTest;
using PotionsTest = LoaderTest;

std::string potionJson(const std::string& id, const std::string& item, const std::string& effect,
                       const std::string& numbers, const std::string& name = "Зелье") {
    return R"({"id": ")" + id + R"(", "name": ")" + name + R"(", "item": ")" + item + R"(", "effect": ")" +
           effect + R"(")" + numbers + "}";
}

TEST_F(PotionsTest, LoadsPotionsByTheirItem) {
    write("a/heal.potion.json",
          potionJson("test:heal", "test:flask", "healing", R"(, "strength": 100, "ticks": 0)"));
    write("b/.potion.json", potionJson("test:swift", "test:tonic", "speed",
                                       R"(, "strength": 75, "ticks": 72000)", std::string(112, 'n')));
    std::map<std::uint8_t, content::PotionDef> potions = content::loadPotions(content());
    ASSERT_EQ(potions.size(), 2u);
    const content::PotionDef& heal = potions.at(loadertest::flask);
    EXPECT_EQ(heal.id, "test:heal");
    EXPECT_EQ(heal.name, "Зелье");
    EXPECT_EQ(heal.effect, "healing");
    EXPECT_EQ(heal.item, loadertest::flask);
    EXPECT_EQ(heal.strength, 100);
    EXPECT_EQ(heal.ticks, 0);
    const content::PotionDef& swift = potions.at(loadertest::tonic);
    EXPECT_EQ(swift.strength, 75);
    EXPECT_EQ(swift.ticks, 72000);
    EXPECT_EQ(swift.name.size(), 112u);
    EXPECT_EQ(errors("potion_errors.txt"), "");
}

TEST_F(PotionsTest, EachFaultSkipsOnlyItsFileWithOneLine) {
    const FileCase cases[] = {
        {"p01.potion.json", potionJson("test:p1", "test:flask", "healing", R"(, "strength": 5)"),
         "Invalid potion number"},
        {"p02.potion.json", potionJson("test:p2", "test:flask", "speed", R"(, "strength": 5, "ticks": 19)"),
         "Invalid potion number"},
        {"p03.potion.json",
         potionJson("test:p3", "test:flask", "speed", R"(, "strength": 5, "ticks": 72001)"),
         "Invalid potion number"},
        {"p04.potion.json", potionJson("test:p4", "test:flask", "speed", R"(, "strength": 76, "ticks": 100)"),
         "Invalid potion number"},
        {"p04a.potion.json",
         potionJson("test:p4a", "test:flask", "healing", R"(, "strength": 101, "ticks": 0)"),
         "Invalid potion number"},
        {"p04b.potion.json",
         potionJson("test:p4b", "test:flask", "speed", R"(, "strength": 0, "ticks": 100)"),
         "Invalid potion number"},
        {"p05.potion.json",
         potionJson("test:p5", "test:flask", "healing", R"(, "strength": "5", "ticks": 0)"),
         "Invalid potion number"},
        {"p06.potion.json",
         potionJson("test:p6", "test:flask", "strength", R"(, "strength": 5, "ticks": 100)"),
         "Invalid potion definition"},
        {"p07.potion.json",
         potionJson("test:p7", "test:farmland", "speed", R"(, "strength": 5, "ticks": 100)"),
         "Invalid potion definition"},
        {"p08.potion.json", potionJson("test:p8", "test:blade", "speed", R"(, "strength": 5, "ticks": 100)"),
         "Invalid potion definition"},
        {"p09.potion.json",
         potionJson("test:p9", "test:flask", "speed", R"(, "strength": 5, "ticks": 100)",
                    std::string(113, 'n')),
         "Invalid potion definition"},
        {"p10.potion.json",
         potionJson("test:p10", "test:flask", "speed", R"(, "strength": 5, "ticks": 100)", ""),
         "Invalid potion definition"},
        {"p11.potion.json", potionJson("nocolon", "test:flask", "speed", R"(, "strength": 5, "ticks": 100)"),
         "Invalid potion definition"},
        {"p12.potion.json", potionJson("test:p12", "test:none", "speed", R"(, "strength": 5, "ticks": 100)"),
         "Unknown or unavailable resource: test:none"},
        {"p13.potion.json",
         potionJson("test:ok", "test:flask", "protection", R"(, "strength": 1, "ticks": 20)"), ""},
        {"p14.potion.json",
         potionJson("test:other", "test:flask", "speed", R"(, "strength": 1, "ticks": 20)"),
         "Duplicate potion item or ID"},
        {"p15.potion.json", potionJson("test:ok", "test:tonic", "speed", R"(, "strength": 1, "ticks": 20)"),
         "Duplicate potion item or ID"},
    };
    const std::string expected = writeCases(cases);
    std::map<std::uint8_t, content::PotionDef> potions = content::loadPotions(content());
    ASSERT_EQ(potions.size(), 1u);
    EXPECT_EQ(potions.at(loadertest::flask).id, "test:ok");
    EXPECT_EQ(errors("potion_errors.txt"), expected);
}

}  // namespace
