#include "content/potions.h"

#include <gtest/gtest.h>

#include <tuple>

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
    EXPECT_EQ(std::tie(heal.id, heal.name, heal.effect, heal.item, heal.strength, heal.ticks),
              std::tuple("test:heal", "Зелье", "healing", loadertest::flask, 100, 0));
    const content::PotionDef& swift = potions.at(loadertest::tonic);
    EXPECT_EQ(std::tuple(swift.strength, swift.ticks, swift.name.size()), std::tuple(75, 72000, 112u));
    EXPECT_EQ(errors("potion_errors.txt"), "");
}

TEST_F(PotionsTest, EachFaultSkipsOnlyItsFileWithOneLine) {
    const std::string s5 = R"(, "strength": 5, "ticks": 100)", s1 = R"(, "strength": 1, "ticks": 20)";
    const char *const number = "Invalid potion number", *const definition = "Invalid potion definition";
    const FileCase cases[] = {
        {"p01.potion.json", potionJson("test:p1", "test:flask", "healing", R"(, "strength": 5)"), number},
        {"p02.potion.json", potionJson("test:p2", "test:flask", "speed", R"(, "strength": 5, "ticks": 19)"), number},
        {"p03.potion.json", potionJson("test:p3", "test:flask", "speed", R"(, "strength": 5, "ticks": 72001)"), number},
        {"p04.potion.json", potionJson("test:p4", "test:flask", "speed", R"(, "strength": 76, "ticks": 100)"), number},
        {"p04a.potion.json", potionJson("test:p4a", "test:flask", "healing", R"(, "strength": 101, "ticks": 0)"),
         number},
        {"p04b.potion.json", potionJson("test:p4b", "test:flask", "speed", R"(, "strength": 0, "ticks": 100)"), number},
        {"p05.potion.json", potionJson("test:p5", "test:flask", "healing", R"(, "strength": "5", "ticks": 0)"), number},
        {"p06.potion.json", potionJson("test:p6", "test:flask", "strength", s5), definition},
        {"p07.potion.json", potionJson("test:p7", "test:farmland", "speed", s5), definition},
        {"p08.potion.json", potionJson("test:p8", "test:blade", "speed", s5), definition},
        {"p09.potion.json", potionJson("test:p9", "test:flask", "speed", s5, std::string(113, 'n')), definition},
        {"p10.potion.json", potionJson("test:p10", "test:flask", "speed", s5, ""), definition},
        {"p11.potion.json", potionJson("nocolon", "test:flask", "speed", s5), definition},
        {"p12.potion.json", potionJson("test:p12", "test:none", "speed", s5),
         "Unknown or unavailable resource: test:none"},
        {"p13.potion.json", potionJson("test:ok", "test:flask", "protection", s1), ""},
        {"p14.potion.json", potionJson("test:other", "test:flask", "speed", s1), "Duplicate potion item or ID"},
        {"p15.potion.json", potionJson("test:ok", "test:tonic", "speed", s1), "Duplicate potion item or ID"},
    };
    const std::string expected = writeCases(cases);
    std::map<std::uint8_t, content::PotionDef> potions = content::loadPotions(content());
    ASSERT_EQ(potions.size(), 1u);
    EXPECT_EQ(potions.at(loadertest::flask).id, "test:ok");
    EXPECT_EQ(errors("potion_errors.txt"), expected);
}

}  // namespace
