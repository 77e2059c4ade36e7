#include <gtest/gtest.h>

#include <vector>

#include "render/interface/interface_block.h"
#include "render/interface/menu_labels.h"
#include "render/interface/player_portrait.h"
#include "ui/font_alphabet.h"

namespace {

ui::InventoryLayout layout() {
    ui::InventoryLayout l{};
    l.panelHeight = 600.0f;
    l.panelLeft = 100.0f;
    l.panelTop = 50.0f;
    l.leftColumnWidth = 300.0f;
    l.headerHeight = 60.0f;
    l.footerHeight = 70.0f;
    l.slotSize = 50.0f;
    return l;
}

TEST(PortraitScissor, LeftColumnTruncatedAndNeverNegative) {
    ui::InventoryLayout l = layout();
    struct Row {
        float left, column;
        render::PixelRect expected;
    };
    const Row rows[] = {{100.0f, 300.0f, {160, 142, 235, 434}},
                        {100.9f, 300.0f, {160, 142, 235, 434}},
                        {100.0f, 65.0f, {160, 142, 0, 434}},
                        {100.0f, 64.0f, {160, 142, 0, 434}},
                        {100.0f, 66.5f, {160, 142, 1, 434}}};
    for (const Row& row : rows) {
        l.panelLeft = row.left;
        l.leftColumnWidth = row.column;
        EXPECT_EQ(render::portraitScissor(l), row.expected) << "left " << row.left << ", column " << row.column;
    }
}

VxmVertex at(float x, float y, float z, float u, uint32_t part = 0) {
    return VxmVertex{x, y, z, u, 0.0f, 0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, part};
}

// Three triangles marked by u: near A, far B, near C with A's depth.
std::vector<VxmVertex> threeTriangles() {
    std::vector<VxmVertex> mesh;
    for (const auto& [z, u] : {std::pair{0.0f, 1.0f}, std::pair{1.0f, 2.0f}, std::pair{0.0f, 3.0f}}) {
        mesh.push_back(at(0.0f, 0.0f, z, u));
        mesh.push_back(at(0.1f, 1.0f, z, u));
        mesh.push_back(at(0.0f, 1.0f, z, u));
    }
    return mesh;
}

TEST(Portrait, FarthestFirstWithEqualDepthsInMeshOrder) {
    const std::vector<render::MeshVertex> v = render::buildPortrait(threeTriangles(), layout(), {}, -1);
    ASSERT_EQ(v.size(), 9u);
    EXPECT_FLOAT_EQ(v[0].u, 2.0f);
    EXPECT_FLOAT_EQ(v[3].u, 1.0f);
    EXPECT_FLOAT_EQ(v[6].u, 3.0f);
    // (0, 1, 0): scale min((300 - 70) / 0.85, 600 - 60 - 70 - 80), origin (280, 550).
    EXPECT_NEAR(v[5].x, 280.0f, 1e-3);
    EXPECT_NEAR(v[5].y, 550.0f - 230.0f / 0.85f, 1e-3);
    EXPECT_FLOAT_EQ(v[5].layer, render::kSkinMaterial);
    EXPECT_TRUE(render::buildPortrait({}, layout(), {}, -1).empty());
}

TEST(Portrait, FlatMeshUsesTheHeightFloor) {
    const std::vector<render::MeshVertex> v =
        render::buildPortrait({at(0, 0.5f, 0, 0), at(1, 0.5f, 0, 0), at(0, 0.5f, 1, 0)}, layout(), {}, -1);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_FLOAT_EQ(v[1].x, 0.94f * 230.0f / 0.85f + 280.0f);
    EXPECT_FLOAT_EQ(v[1].y, 550.0f);
}

TEST(Portrait, ArmourTintsItsSlotAndBrightensWhenHovered) {
    const std::vector<VxmVertex> legs{at(0, 0.3f, 0, 0, 3), at(0.1f, 0.5f, 0, 0, 3), at(0, 0.5f, 0, 0, 3)};
    const render::ArmourWorn worn{false, false, true, false};
    const render::MeshVertex plain = render::buildPortrait(legs, layout(), {}, -1)[0];
    const render::MeshVertex shell = render::buildPortrait(legs, layout(), worn, -1)[0];
    const render::MeshVertex hovered = render::buildPortrait(legs, layout(), worn, 42)[0];
    EXPECT_FLOAT_EQ(shell.layer, render::kArmourMaterial);
    EXPECT_FLOAT_EQ(shell.r, 0.57f * plain.r);
    EXPECT_FLOAT_EQ(shell.b, 0.67f * plain.r);
    EXPECT_FLOAT_EQ(hovered.r, shell.r * 1.08f);
    // Only the four armour slots count; no slot at all (0xFFFF) is none of them.
    for (const auto& [slot, key] : {std::pair{39u, -1}, {40u, 40}, {43u, 43}, {44u, -1}, {0xFFFFu, -1}})
        EXPECT_EQ(render::portraitHover(slot), key) << slot;
}

TEST(ArmourSlot, BandsAtTheirExactEdges) {
    struct Row {
        uint32_t part;
        double y;
        int32_t slot;
    };
    const Row rows[] = {{1, 0.0, 1},  {2, 2.0, 1},     {3, 0.2499, 3}, {4, 0.25, 2},  {0, 1.4, 1},
                        {0, 1.4001, 0}, {0, 0.83, 2},  {0, 0.8301, 1}, {0, 0.0, 2}};
    for (const Row& row : rows) EXPECT_EQ(render::armourSlotOf(row.part, row.y), row.slot) << row.part << " " << row.y;
}

TEST(ArmourSlot, HelmetLeavesTheFaceUncovered) {
    const render::ArmourWorn helmet{true, false, false, false};
    EXPECT_TRUE(render::isArmoured(helmet, 0, -0.5));
    EXPECT_FALSE(render::isArmoured(helmet, 0, -0.5001));
    EXPECT_TRUE(render::isArmoured({false, true, false, false}, 1, -1.0));
    EXPECT_FALSE(render::isArmoured(helmet, 1, 1.0));
}

std::u32string repeat(const std::u32string& part, std::size_t times) {
    std::u32string text;
    for (std::size_t i = 0; i < times; ++i) text += part;
    return text;
}

uint32_t slot(const render::MenuLabels& labels, std::size_t i) {
    return labels.glyphs[i / 4] >> (8 * (i % 4)) & 0xFFu;
}

TEST(MenuLabels, NameCutToTwentyFourAndNumberToTenSlots) {
    const std::u32string name = repeat(U"ABC", 10);  // 30 characters
    const render::MenuLabels labels = render::packMenuLabels(name, U"12345678901234", 1, true, 3, 2);
    EXPECT_EQ(labels.counts, (std::array<uint32_t, 6>{24, 14, 1, 1, 3, 2}));
    for (std::size_t i = 0; i < 24; ++i) EXPECT_EQ(slot(labels, i), ui::glyphIndex(name[i])) << i;
    EXPECT_EQ(slot(labels, 24), ui::glyphIndex(U'1'));
    EXPECT_EQ(slot(labels, 33), ui::glyphIndex(U'0'));
    EXPECT_EQ(labels.glyphs[8] >> 16, 0u) << "slots 34 and 35 stay empty";
    EXPECT_NE(ui::glyphIndex(U'A'), 0u);
    EXPECT_EQ(render::packMenuLabels(U"A€", U"", 0, false, 0, 0).glyphs[0], ui::glyphIndex(U'A'));
}

TEST(MenuLabels, TextsBySreenAndCheckedSelection) {
    const std::vector<WorldEntry> worlds{{U"МИР", 7, {}}, {U"ДОМ", 4294967295u, {}}};
    NewWorldForm form{U"НОВЫЙ", U"42", 1, true};
    struct Row {
        int32_t screen, selected;
        std::u32string name, number;
    };
    const Row rows[] = {{5, 1, U"ДОМ", U"4294967295"}, {12, 0, U"МИР", U"7"}, {5, 2, U"", U""},
                        {5, -1, U"", U""},               {6, 5, U"НОВЫЙ", U"42"}, {7, 0, U"", U""}};
    for (const Row& row : rows) {
        const render::MenuLabels got = render::buildMenuLabels({row.screen, &worlds, row.selected, &form});
        const render::MenuLabels want = render::packMenuLabels(row.name, row.number, 1, true, 2,
                                                               static_cast<uint32_t>(row.selected));
        EXPECT_EQ(got.glyphs, want.glyphs) << row.screen << "/" << row.selected;
        EXPECT_EQ(got.counts, want.counts) << row.screen << "/" << row.selected;
    }
}

// A name typed or saved in small letters shows in capitals on the list, the form and the delete
// dialog: every letter keeps its slot and draws, only the spaces stay glyph 0.
TEST(MenuLabels, SmallLettersOfANameDrawAsCapitalsOnEveryWorldScreen) {
    const std::pair<std::u32string, std::u32string> names[] = {
        {U"Второй мир", U"ВТОРОЙ МИР"}, {U"Остров Тест abc XYZ", U"ОСТРОВ ТЕСТ ABC XYZ"}, {U"ёлка", U"ЁЛКА"}};
    for (const auto& [name, capitals] : names) {
        const std::vector<WorldEntry> worlds{{name, 7, {}}};
        const NewWorldForm form{name, U"7", 0, false};
        for (const int32_t screen : {5, 6, 12}) {
            const render::MenuLabels labels = render::buildMenuLabels({screen, &worlds, 0, &form});
            ASSERT_EQ(labels.counts[0], name.size()) << screen;
            for (std::size_t i = 0; i < name.size(); ++i) {
                EXPECT_EQ(slot(labels, i), ui::glyphIndex(capitals[i])) << screen << " " << i;
                EXPECT_EQ(slot(labels, i) != 0, name[i] != U' ') << screen << " " << i;
            }
        }
    }
}

TEST(MenuLabels, WorldScreensCarryThemInPlaceOfTheSettingsWords) {
    render::InterfaceInputs in;
    in.menuOpen = true;
    in.head = {2, 0, 1};
    in.labelGlyphs = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    in.labelCounts = {10, 11, 12, 13, 14, 15};
    for (const int32_t screen : {5, 6, 12}) {
        in.screen = screen;
        const render::InterfaceBlock block = render::packInterfaceBlock(in);
        const std::vector<uint32_t> words(block.slots, block.slots + 18);
        EXPECT_EQ(words, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 0, 0}));
    }
    in.screen = 4;
    const render::InterfaceBlock other = render::packInterfaceBlock(in);
    EXPECT_EQ(other.slots[0], 0u);
    EXPECT_EQ(other.slots[9], 2u) << "other menus keep the settings words";
}

TEST(HotbarSlot, WheelWrapsAtBothEnds) {
    const struct {
        int32_t selected, steps, expected;
    } rows[] = {{0, -1, 8}, {8, 1, 0}, {4, 0, 4}, {4, -10, 3}, {0, 9, 0}, {1, -19, 0}};
    for (const auto& row : rows) EXPECT_EQ(ui::hotbarSlotAfter(row.selected, row.steps), row.expected);
}

}  // namespace
