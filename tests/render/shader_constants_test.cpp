#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>

#include "render/animation_clock.h"
#include "support/temp_dir.h"
#include "ui/font_alphabet.h"

// The shaders carry their own copies of the program's offsets and glyph numbers; these checks keep
// the two sides from drifting apart.
namespace {

std::map<std::string, uint64_t> shaderConstants(const std::string& file) {
    const std::filesystem::path path = std::filesystem::path(std::getenv("QUORVANE_SOURCE_DIR")) / "shaders" / file;
    const std::string text = testsupport::readFile(path);
    const std::regex constant(R"(const uint (\w+) = (\d+)u;)");
    std::map<std::string, uint64_t> values;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), constant); it != std::sregex_iterator(); ++it)
        values[(*it)[1]] = std::stoull((*it)[2]);
    return values;
}

TEST(ShaderConstants, FontGlyphsMatchTheAlphabet) {
    const auto values = shaderConstants("cross.frag");
    ASSERT_TRUE(values.count("FONT_GLYPHS") && values.count("GLYPH_DIGIT_0"));
    EXPECT_EQ(values.at("FONT_GLYPHS"), ui::kFontGlyphCount);
    EXPECT_EQ(ui::fontAlphabet().size(), ui::kFontGlyphCount);
    for (char32_t digit = U'0'; digit <= U'9'; ++digit)
        EXPECT_EQ(values.at("GLYPH_DIGIT_0") + (digit - U'0'), ui::glyphIndex(digit));
}

TEST(ShaderConstants, MetaWordsAreTheBufferOffsetsInWords) {
    const auto values = shaderConstants("meta.glsl");
    const std::map<std::string, uint64_t> bytes{
        {"META_BLOCK_NAMES", 0},        {"META_BLOCK_LIGHT", 8192},      {"META_BIOME_LABELS", 9744},
        {"META_LABELS_GROUP1", 11600},  {"META_LAYER_COUNT", 12360},     {"META_LABELS_GROUP2", 12480},
        {"META_LABELS_GROUP3", 32384},  {"META_WIND", 98304},            {"META_MATERIAL_RECTS", 114688},
        {"META_FRAME_CLOCK", render::kAnimationClockOffset}, {"META_TEXT_LINES", 3089 * 64},
    };
    for (const auto& [name, offset] : bytes) {
        ASSERT_TRUE(values.count(name)) << name;
        EXPECT_EQ(values.at(name) * 4, offset) << name;
    }
    EXPECT_EQ(values.at("LABEL_WORDS"), 32u / 4);
    EXPECT_EQ(values.at("TEXT_LINE_WORDS"), 64u / 4);
}

}  // namespace
