#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "render/atlases/content_meta.h"
#include "render/frame/world_block.h"
#include "render/interface/interface_tiles.h"
#include "render/interface/overlay_text.h"
#include "support/temp_dir.h"
#include "ui/font_alphabet.h"

// The shaders carry their own copies of the program's offsets and glyph numbers; these checks keep
// the two sides from drifting apart.
namespace {

// Name to number of each match of `pattern` in the file: the name is group `nameGroup`, the number the other.
std::map<std::string, uint64_t> shaderNumbers(const std::string& file, const std::regex& pattern,
                                              int nameGroup = 1) {
    const std::filesystem::path path =
        std::filesystem::path(std::getenv("QUORVANE_SOURCE_DIR")) / "shaders" / file;
    const std::string text = testsupport::readFile(path);
    std::map<std::string, uint64_t> values;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator();
         ++it)
        values[(*it)[nameGroup]] = std::stoull((*it)[3 - nameGroup]);
    return values;
}

std::map<std::string, uint64_t> shaderConstants(const std::string& file) {
    return shaderNumbers(file, std::regex(R"(const uint (\w+) = (\d+)u;)"));
}

TEST(ShaderConstants, FontGlyphsMatchTheAlphabet) {
    const auto values = shaderConstants("cross.frag");
    ASSERT_TRUE(values.count("FONT_GLYPHS"));
    EXPECT_EQ(values.at("FONT_GLYPHS"), ui::kFontGlyphCount);
    EXPECT_EQ(ui::fontAlphabet().size(), ui::kFontGlyphCount);
    // Numbers become glyph bytes on the program's side.
    for (char32_t digit = U'0'; digit <= U'9'; ++digit)
        EXPECT_EQ(render::kGlyphDigit0 + (digit - U'0'), ui::glyphIndex(digit));
}

TEST(ShaderConstants, InterfaceEncodingMatchesTheInterfaceShader) {
    const auto values = shaderConstants("cross.frag");
    ASSERT_TRUE(values.count("SHADOW_FLAG"));
    EXPECT_EQ(values.at("SHADOW_FLAG"), render::kShadowFlag);
    EXPECT_GT(render::kShadowFlag, render::kMaxInterfaceElements);
    EXPECT_EQ(render::kMaterialRectsWord * 4, render::kMaterialRectsOffset);
    // The shader reads an element as quads: rectangle, `a`, then kind, pass, glyph word, glyph count.
    EXPECT_EQ(render::kInterfaceElementsWord % 4, 0u);
    EXPECT_EQ(render::kInterfaceHeaderWord % 4, 0u);
    EXPECT_EQ((std::vector<uint32_t>{render::kElementRectWord, render::kElementAWord, render::kElementKindWord,
                                     render::kElementPassWord, render::kElementFirstWord, render::kElementCountWord}),
              (std::vector<uint32_t>{0, 4, 8, 9, 10, 11}));
}

TEST(ShaderConstants, MetaWordsAreTheBufferOffsetsInWords) {
    const auto values = shaderConstants("meta.glsl");
    // Byte offsets, and word counts and offsets times four.
    const std::map<std::string, uint64_t> bytes{
        {"META_BLOCK_NAMES", render::kBlockNamesOffset},
        {"META_BLOCK_LIGHT", render::kBlockLightOffset},
        {"META_BIOME_LABELS", render::kBiomeLabelsOffset},
        {"META_LABELS_GROUP1", render::kLabelGroup1Offset},
        {"META_LAYER_COUNT", render::kLayerCountOffset},
        {"META_LABELS_GROUP2", render::kLabelGroup2Offset},
        {"META_LABELS_GROUP3", render::kLabelGroup3Offset},
        {"META_WIND", render::kWindOffset},
        {"META_MATERIAL_RECTS", render::kMaterialRectsOffset},
        {"META_TEXT_LINES", uint64_t{render::kFirstTextLineRecord} * render::kTextLineWords * 4},
        {"LABEL_WORDS", render::kLabelBytes},
        {"META_INTERFACE_HEADER", uint64_t{render::kInterfaceHeaderWord} * 4},
        {"META_INTERFACE_ELEMENTS", uint64_t{render::kInterfaceElementsWord} * 4},
        {"META_INTERFACE_TILES", uint64_t{render::kInterfaceTilesWord} * 4},
        {"META_INTERFACE_POOL", uint64_t{render::kInterfacePoolWord} * 4},
        {"ELEMENT_WORDS", uint64_t{render::kInterfaceElementWords} * 4},
        {"TEXT_LINE_WORDS", uint64_t{render::kTextLineWords} * 4},
    };
    for (const auto& [name, offset] : bytes) {
        ASSERT_TRUE(values.count(name)) << name;
        EXPECT_EQ(values.at(name) * 4, offset) << name;
    }
}

// The world and sky shaders name every push-constant member with its byte offset.
TEST(ShaderConstants, WorldPushConstantsLieWhereTheFramePushesThem) {
    std::map<std::string, uint64_t> offsets =
        shaderNumbers("world_block.glsl", std::regex(R"(layout\(offset = (\d+)\) \w+ (\w+);)"), 2);
    const std::map<std::string, uint64_t> pushed{
        {"camera", render::kCameraLightOffset + offsetof(render::CameraLightBlock, camera)},
        {"light", render::kCameraLightOffset + offsetof(render::CameraLightBlock, daylight)},
        {"target", render::kTargetOffset},
        {"animationSeconds",
         render::kFrameValuesOffset + offsetof(render::FrameValuesBlock, animationSeconds)},
        {"dayFraction", render::kFrameValuesOffset + offsetof(render::FrameValuesBlock, dayFraction)},
        {"worldCovered", render::kFrameValuesOffset + offsetof(render::FrameValuesBlock, worldCovered)},
    };
    EXPECT_EQ(offsets, pushed);
    EXPECT_EQ(offsets["light"], 64u) << "camera, light and target keep bytes 0..95";
}

}  // namespace
