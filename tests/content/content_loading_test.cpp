// Start-up stages 2 and 3 as the App runs them: definitions, then the flag table, mobs, the
// adventure content with its face textures and the descriptions beside the rule loaders.
#include <gtest/gtest.h>

#include "app/app.h"
#include "content/face_textures.h"
#include "definition_fixture.h"
#include "support/failure.h"

namespace {

class ContentAppTest : public deftest::DefinitionTest {
   protected:
    void defineMobDrops() const {
        define("pork", R"("id": "core:raw_pork", "type": "item")");
        define("bone", R"("id": "core:bone", "type": "item")");
        define("arrow", R"("id": "core:arrow", "type": "item")");
    }
    // Runs stages 2 and 3; their output lines are not checked here.
    void startContent(App& app) const {
        app.files.base = dir.path();
        app.files.saves = dir.path() / "Saves";
        testing::internal::CaptureStdout();
        try {
            app.loadContentResources();
            app.loadContentRules();
        } catch (...) {
            testing::internal::GetCapturedStdout();
            throw;
        }
        testing::internal::GetCapturedStdout();
    }
    std::string contentError(const std::string& fileName) const {
        return testsupport::readFile(content() / fileName);
    }
};

TEST_F(ContentAppTest, StartUpStagesFillTheTablesFromTheDefinitions) {
    defineMobDrops();
    define("a", R"("id": "t:door", "behavior": "door", "model": "low.bbmodel", "description": "Дверь")");
    define("b", R"("id": "t:crate", "behavior": "chest")");
    testsupport::writeFile(content() / "boar.mob.json", R"({"id": "core:boar", "health": 30})");
    testsupport::writeFile(content() / "hunt.quest.json", R"({"id": "t:hunt", "title": "Охота",
        "objective": {"kind": "kill", "target": "core:boar", "count": 3}, "reward": {"item": "core:bone"}})");
    testsupport::writeFile(content() / "smith.npc.json",
                           R"({"id": "t:smith", "model": "t:crate", "quests": ["t:hunt"]})");
    App app;
    startContent(app);

    EXPECT_EQ(errorFile(), "");
    EXPECT_EQ(contentError("mob_errors.txt"), "");
    EXPECT_EQ(contentError("adventure_errors.txt"), "");
    // Ids follow the folders' path order: a 13, arrow 14, b 15, bone 16, pork 17.
    EXPECT_TRUE(app.world.shaped[13]);
    EXPECT_FALSE(app.world.shaped[15]);
    ASSERT_EQ(app.rules.mobs.size(), 2u);
    EXPECT_EQ(app.rules.mobs[0].health, 30);
    EXPECT_EQ(app.adventureState.catalog.quests.count("t:hunt"), 1u);
    ASSERT_EQ(app.adventureState.catalog.npcs.size(), 1u);
    EXPECT_EQ(app.rules.descriptions["t:door"], U"Дверь");
    const content::FaceTextureTable& faces = content::faceTextureTable();
    EXPECT_TRUE(faces.built);
    EXPECT_EQ(faces.faces.size(), 18u);
    // The NPC's model resource lends its texture to the custom list.
    ASSERT_EQ(faces.paths.size(), 1u);
    EXPECT_EQ(faces.faces[15][0], content::customTextureBase);
    EXPECT_LT(faces.faces[13][0], content::customTextureBase);  // no NPC draws from the door
}

TEST_F(ContentAppTest, StartUpEndsWhenAMobDropItemIsMissing) {
    const char* const names[] = {"core:raw_pork", "core:bone", "core:arrow"};
    for (const char* missing : names) {
        SetUp();
        std::filesystem::remove_all(dir.path());
        for (const char* name : names) {
            if (name != missing)
                define(std::string(name).substr(5), std::string(R"("type": "item", "id": ")") + name + "\"");
        }
        App app;
        EXPECT_EQ(testsupport::failureOf<std::runtime_error>([&] { startContent(app); }),
                  std::string("Unknown mob resource: ") + missing);
    }
}

}  // namespace
