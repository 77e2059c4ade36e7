#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/atlases/content_meta.h"
#include "render/interface/overlay_text.h"
#include "ui/font_alphabet.h"

namespace {

uint32_t wordAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

float floatAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
    float value = 0.0f;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// The glyphs of an upper-case text as the font numbers them.
std::vector<uint8_t> glyphsOf(const std::u32string& text) {
    std::vector<uint8_t> glyphs;
    for (char32_t c : text) glyphs.push_back(static_cast<uint8_t>(ui::glyphIndex(c)));
    return glyphs;
}

void expectRecord(const std::vector<uint8_t>& bytes, std::size_t offset, const std::u32string& upper) {
    ASSERT_EQ(wordAt(bytes, offset), upper.size());
    const std::vector<uint8_t> glyphs = glyphsOf(upper);
    for (std::size_t j = 0; j < render::kLabelGlyphs; ++j) {
        const uint8_t expected = j < glyphs.size() ? glyphs[j] : 0;
        EXPECT_EQ(bytes[offset + 4 + j], expected) << "glyph " << j << " of record at " << offset;
    }
}

std::size_t nonZeroBytes(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    for (std::size_t i = from; i < to; ++i) count += bytes[i] != 0;
    return count;
}

voxel::BlockDef namedBlock(const std::string& name, float light, float windStrength, float windSpeed) {
    voxel::BlockDef def;
    def.name = name;
    def.light = light;
    def.wind_strength = windStrength;
    def.wind_speed = windSpeed;
    return def;
}

TEST(ContentMetaLabels, UpperCasesCyrillicAndLatinIncludingYo) {
    const render::LabelRecord record = render::encodeLabel(U"ёлка");
    const std::vector<uint8_t> bytes(record.begin(), record.end());
    expectRecord(bytes, 0, U"ЁЛКА");
    EXPECT_EQ(bytes[4], ui::glyphIndex(U'Ё'));
    EXPECT_NE(bytes[4], 0) << "the font holds Ё";
}

TEST(ContentMetaLabels, CutsLongNamesAndCountsCharactersTheFontLacks) {
    const std::u32string forty(40, U'b');
    const render::LabelRecord cut = render::encodeLabel(forty);
    expectRecord(std::vector<uint8_t>(cut.begin(), cut.end()), 0, std::u32string(28, U'B'));

    const render::LabelRecord greek = render::encodeLabel(U"aλb");
    EXPECT_EQ(greek[0], 3);
    EXPECT_EQ(greek[4], ui::glyphIndex(U'A'));
    EXPECT_EQ(greek[5], 0) << "a character outside the font is glyph 0";
    EXPECT_EQ(greek[6], ui::glyphIndex(U'B'));
}

TEST(ContentMetaBuffer, FixedRegionsLieAtTheirOffsets) {
    std::vector<voxel::BlockDef> blocks(3);
    blocks[0] = namedBlock("air", 0.0f, 0.0f, 0.0f);
    blocks[1] = namedBlock("ёлка", 15.0f, 0.25f, 1.5f);
    blocks[2] = namedBlock("Lamp", 7.0f, 0.1f, 1.0f);
    std::vector<float> rects(render::kMaterialRectFloats, 0.0f);
    rects[0] = 0.125f;
    rects[4 * 4095 + 3] = 0.5f;
    const std::vector<uint8_t> bytes = render::contentMetaBytes(blocks, rects, 96);

    ASSERT_EQ(bytes.size(), 229376u);
    expectRecord(bytes, 32, U"ЁЛКА");
    expectRecord(bytes, 64, U"LAMP");
    EXPECT_FLOAT_EQ(floatAt(bytes, 8192 + 4), 1.0f);
    EXPECT_FLOAT_EQ(floatAt(bytes, 8192 + 8), 7.0f / 15.0f);
    EXPECT_FLOAT_EQ(floatAt(bytes, 98304 + 8), 0.25f);
    EXPECT_FLOAT_EQ(floatAt(bytes, 98304 + 12), 1.5f);
    EXPECT_EQ(wordAt(bytes, 12360), 96u);
    EXPECT_FLOAT_EQ(floatAt(bytes, 114688), 0.125f);
    EXPECT_FLOAT_EQ(floatAt(bytes, 114688 + 16 * 4095 + 12), 0.5f);

    const std::pair<std::size_t, std::u32string> labels[] = {
        {11600, U"ВСЁ"}, {11600 + 32 * 10, U"СУНДУК"}, {12480 + 32 * 4, U"SHIFT ЛКМ ПЕРЕНОС"},
        {12480 + 32 * 21, U"ВЫБЕРИТЕ МИР"}, {32384, U"ПЕРСОНАЖ"}, {32384 + 32 * 3, U"ДНЕВНИК ПУТЕШЕСТВЕННИКА"}};
    for (const auto& [offset, upper] : labels) expectRecord(bytes, offset, upper);

    // Blocks past the list, the biome labels and the per-frame overlay start empty; group 3 ends
    // after its fourth record, at byte 32,512.
    const std::pair<std::size_t, std::size_t> empty[] = {
        {96, 8192},   {8192 + 12, 11600}, {11600 + 11 * 32, 12360}, {12480 + 22 * 32, 32384}, {32384 + 4 * 32, 98304},
        {114688 + 65536, bytes.size()}};
    for (const auto& [from, to] : empty) EXPECT_EQ(nonZeroBytes(bytes, from, to), 0u) << from;
}

TEST(ContentMetaBuffer, TakesAtMostTheWholeMaterialTable) {
    const std::vector<float> tooMany(render::kMaterialRectFloats + 8, 1.0f);
    const std::vector<uint8_t> bytes = render::contentMetaBytes({}, tooMany, 0);
    EXPECT_FLOAT_EQ(floatAt(bytes, 114688 + 65536 - 4), 1.0f);
    EXPECT_EQ(nonZeroBytes(bytes, 114688 + 65536, bytes.size()), 0u);
}

voxel::BiomeRule biome(const std::string& name) {
    voxel::BiomeRule rule;
    rule.name = name;
    return rule;
}

TEST(ContentMetaBiomes, CustomBiomesFollowTheFourBuiltInRecords) {
    voxel::GenerationProfile profile;
    profile.biomes = {biome("Frozen marsh"), biome("топь")};
    const std::vector<uint8_t> bytes = render::biomeLabelBytes(&profile);
    ASSERT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(nonZeroBytes(bytes, 0, 4 * 32), 0u);
    expectRecord(bytes, 4 * 32, U"FROZEN MARSH");
    expectRecord(bytes, 5 * 32, U"ТОПЬ");
    EXPECT_EQ(nonZeroBytes(bytes, 6 * 32, 1024), 0u);

    EXPECT_EQ(nonZeroBytes(render::biomeLabelBytes(nullptr), 0, 1024), 0u);
}

TEST(ContentMetaBiomes, BiomesPastTheLastRecordAreLeftOut) {
    voxel::GenerationProfile profile;
    for (int i = 0; i < 30; ++i) profile.biomes.push_back(biome("b" + std::to_string(i)));
    const std::vector<uint8_t> bytes = render::biomeLabelBytes(&profile);
    ASSERT_EQ(bytes.size(), 1024u);
    expectRecord(bytes, 31 * 32, U"B27");
}

TEST(OverlayTextLines, CutsTheLineAndTheCallersText) {
    std::vector<uint32_t> overlay(229376 / 4, 0xFFFFFFFFu);
    std::u32string text(75, U'w');
    render::encodeGlyphLine(overlay.data(), 2, text);
    EXPECT_EQ(text.size(), 60u);
    const std::size_t first = (2 + 3089) * 16;
    EXPECT_EQ(overlay[first], 60u);
    const uint32_t w = ui::glyphIndex(U'W');
    EXPECT_EQ(overlay[first + 1], w | w << 8 | w << 16 | w << 24);
    EXPECT_EQ(overlay[first + 15], overlay[first + 1]);
    EXPECT_EQ(overlay[first - 1], 0xFFFFFFFFu) << "the slot before is untouched";
    EXPECT_EQ(overlay[first + 16], 0xFFFFFFFFu) << "the slot after is untouched";
}

TEST(OverlayTextLines, StoresUpperCaseGlyphsLowestByteFirst) {
    std::vector<uint32_t> overlay(229376 / 4, 0xFFFFFFFFu);
    std::u32string text = U"ёж λ";
    render::encodeGlyphLine(overlay.data(), 0, text);
    const std::size_t first = 3089 * 16;
    EXPECT_EQ(overlay[first], 4u) << "the Greek letter still counts";
    const uint32_t expected =
        ui::glyphIndex(U'Ё') | ui::glyphIndex(U'Ж') << 8 | ui::glyphIndex(U' ') << 16 | 0u << 24;
    EXPECT_EQ(overlay[first + 1], expected);
    for (std::size_t k = 2; k < 16; ++k) EXPECT_EQ(overlay[first + k], 0u);
    EXPECT_EQ(text, U"ёж λ") << "a short text stays as it was";
}

TEST(OverlayTextLines, AnEmptyLineClearsItsSlot) {
    std::vector<uint32_t> overlay(229376 / 4, 0xFFFFFFFFu);
    std::u32string text;
    render::encodeGlyphLine(overlay.data(), 5, text);
    const std::size_t first = (5 + 3089) * 16;
    for (std::size_t k = 0; k < 16; ++k) EXPECT_EQ(overlay[first + k], 0u);
}

}  // namespace
