// Start-up stages 2 and 3 as the App runs them: definitions, then the flag table, the face texture
// table and the descriptions beside the rule loaders.
#include <gtest/gtest.h>

#include "app/app.h"
#include "content/face_textures.h"
#include "definition_fixture.h"

namespace {

using ContentAppTest = deftest::DefinitionTest;

TEST_F(ContentAppTest, StartUpStagesFillTheTablesFromTheDefinitions) {
    define("a", R"("id": "t:door", "behavior": "door", "model": "low.bbmodel", "description": "Дверь")");
    define("b", R"("id": "t:crate", "behavior": "chest")");
    App app;
    app.files.base = dir.path();
    app.files.saves = dir.path() / "Saves";
    testing::internal::CaptureStdout();
    app.loadContentResources();
    app.loadContentRules();
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(errorFile(), "");
    EXPECT_TRUE(app.world.shaped[13]);
    EXPECT_FALSE(app.world.shaped[14]);
    EXPECT_EQ(app.rules.descriptions, (content::DescriptionTable{{"t:crate", U""}, {"t:door", U"Дверь"}}));
    const content::FaceTextureTable& faces = content::faceTextureTable();
    EXPECT_TRUE(faces.built);
    EXPECT_EQ(faces.faces.size(), 15u);
    EXPECT_EQ(faces.faces[14][0], 135.0f);  // the custom layer of id 14, face 0
}

}  // namespace
