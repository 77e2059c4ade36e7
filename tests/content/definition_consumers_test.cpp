// The loaders that read what definitions declare: potions need items, ores and crop soil need
// solid blocks, crop stages need passable ones.
#include <gtest/gtest.h>

#include "content/crops.h"
#include "content/dimensions.h"
#include "content/json.h"
#include "content/potions.h"
#include "definition_fixture.h"

namespace {

class DefinitionConsumersTest : public deftest::DefinitionTest {
   protected:
    void SetUp() override {
        DefinitionTest::SetUp();
        define("flask", R"("id": "t:flask", "type": "item")");
        define("seeds", R"("id": "t:seeds", "type": "item")");
        define("rock", R"("id": "t:rock", "solid": true, "opaque": true)");
        define("soil", R"("id": "t:soil")");
        define("sprout_a", R"("id": "t:sprout_a", "solid": false)");
        define("sprout_b", R"("id": "t:sprout_b", "solid": false)");
        load();
        ASSERT_EQ(errorFile(), "");
    }
};

TEST_F(DefinitionConsumersTest, APotionOnAContentItemLoads) {
    testsupport::writeFile(content() / "heal.potion.json",
                           R"({"id": "t:heal", "name": "Heal", "item": "t:flask", "effect": "healing",
                               "strength": 10, "ticks": 0})");
    const auto potions = content::loadPotions(content());
    EXPECT_EQ(testsupport::readFile(content() / "potion_errors.txt"), "");
    ASSERT_EQ(potions.size(), 1u);
    EXPECT_EQ(potions.begin()->second.id, "t:heal");
}

TEST_F(DefinitionConsumersTest, AnOreOfSolidContentBlocksLoads) {
    const auto profile = content::readTerrain(content::parseJsonText(
        R"({"ores": [{"id": "t:rock", "replace": "core:stone"}, {"id": "core:iron_ore", "replace": "t:rock"}],
            "biomes": [{"id": "t:a", "name": "A"}]})"));
    ASSERT_EQ(profile->ores.size(), 2u);
    EXPECT_EQ(profile->ores[0].block, content::resourceId("t:rock"));
    EXPECT_EQ(profile->ores[1].replace, content::resourceId("t:rock"));
}

TEST_F(DefinitionConsumersTest, ACropOnContentSoilLoads) {
    testsupport::writeFile(content() / "wheat.crop.json",
                           R"({"id": "t:wheat", "seed": "t:seeds", "soil": "t:soil", "yield": "t:flask",
                               "stages": ["t:sprout_a", "t:sprout_b"], "yield_count": 1, "seed_count": 1})");
    const auto crops = content::loadCrops(content());
    EXPECT_EQ(testsupport::readFile(content() / "crop_errors.txt"), "");
    ASSERT_EQ(crops.size(), 1u);
    EXPECT_EQ(crops[0].soil, content::resourceId("t:soil"));
}

}  // namespace
