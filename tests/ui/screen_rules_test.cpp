#include <gtest/gtest.h>

#include <limits>

#include "ui/ui_state.h"

namespace {

void expectLayout(const ui::InventoryLayout& got, const ui::InventoryLayout& want) {
    EXPECT_NEAR(got.panelWidth, want.panelWidth, 1e-3);
    EXPECT_NEAR(got.panelHeight, want.panelHeight, 1e-3);
    EXPECT_NEAR(got.panelLeft, want.panelLeft, 1e-3);
    EXPECT_NEAR(got.panelTop, want.panelTop, 1e-3);
    EXPECT_NEAR(got.leftColumnWidth, want.leftColumnWidth, 1e-3);
    EXPECT_NEAR(got.rightColumnWidth, want.rightColumnWidth, 1e-3);
    EXPECT_NEAR(got.headerHeight, want.headerHeight, 1e-3);
    EXPECT_NEAR(got.footerHeight, want.footerHeight, 1e-3);
    EXPECT_NEAR(got.slotSize, want.slotSize, 1e-3);
}

TEST(InventoryLayout, HeightBoundAt1280x720) {
    expectLayout(ui::inventoryLayout(1280, 720),
                 {1152, 648, 64, 36, 347.904f, 274.176f, 64.8f, 71.28f, 499.92f / 9.0f});
}

TEST(InventoryLayout, CappedPanelAt1920x1080) {
    expectLayout(ui::inventoryLayout(1920, 1080),
                 {1640, 922.5f, 140, 78.75f, 495.28f, 390.32f, 92.25f, 101.475f, 724.4f / 9.0f});
}

TEST(InventoryLayout, WidthBoundOnATallWindow) {
    const auto layout = ui::inventoryLayout(1000, 1000);
    EXPECT_FLOAT_EQ(layout.panelWidth, 960);
    EXPECT_FLOAT_EQ(layout.panelHeight, 540);
    EXPECT_FLOAT_EQ(layout.panelLeft, 20);
    EXPECT_FLOAT_EQ(layout.panelTop, 230);
}

struct EscapeRow {
    int32_t screen;
    bool subDialog;
    ui::EscapeStep want;
};

TEST(EscapeTarget, PerScreenTable) {
    constexpr int32_t kReturn = 7;
    const EscapeRow rows[] = {
        {0, false, {2, false, false}},       {2, false, {0, false, false}},
        {3, false, {kReturn, false, false}}, {4, false, {kReturn, false, false}},
        {5, false, {1, false, false}},       {17, false, {1, false, false}},
        {6, false, {5, true, false}},        {12, false, {5, true, false}},
        {8, false, {0, false, false}},       {11, false, {0, false, false}},
        {13, false, {0, false, false}},      {16, false, {0, false, false}},
        {18, true, {18, false, true}},       {18, false, {0, false, false}},
        {1, false, {1, false, false}},       {7, false, {7, false, false}},
        {19, false, {19, false, false}},     {-1, false, {-1, false, false}},
    };
    for (const EscapeRow& row : rows) {
        const ui::EscapeStep got = ui::escapeTarget(row.screen, kReturn, row.subDialog);
        EXPECT_EQ(got.target, row.want.target) << "screen " << row.screen;
        EXPECT_EQ(got.clearTextField, row.want.clearTextField) << "screen " << row.screen;
        EXPECT_EQ(got.clearSubDialog, row.want.clearSubDialog) << "screen " << row.screen;
    }
}

TEST(ScrolledTextLine, ThreeLinesANotchTruncatedTowardZero) {
    EXPECT_EQ(ui::scrolledTextLine(5, 20, 1.0), 8);
    EXPECT_EQ(ui::scrolledTextLine(5, 20, -1.0), 2);
    EXPECT_EQ(ui::scrolledTextLine(5, 20, 0.5), 6);  // -1.5 truncates to -1
    EXPECT_EQ(ui::scrolledTextLine(5, 20, -0.5), 4);
    EXPECT_EQ(ui::scrolledTextLine(5, 20, 0.2), 5);  // -0.6 truncates to 0
}

TEST(ScrolledTextLine, ClampedToTheLines) {
    EXPECT_EQ(ui::scrolledTextLine(1, 20, -1.0), 0);
    EXPECT_EQ(ui::scrolledTextLine(18, 20, 1.0), 19);
    EXPECT_EQ(ui::scrolledTextLine(3, 0, 1.0), 0);
    EXPECT_EQ(ui::scrolledTextLine(3, -5, -1.0), 0);
}

TEST(ScrolledTextLine, SurvivesHugeOffsets) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(ui::scrolledTextLine(5, 20, 1e300), 19);
    EXPECT_EQ(ui::scrolledTextLine(5, 20, -1e300), 0);
    EXPECT_EQ(ui::scrolledTextLine(kMax - 1, kMax, 1e300), kMax - 1);
    EXPECT_EQ(ui::scrolledTextLine(kMax - 1, kMax, -1e300), 0);
    EXPECT_EQ(ui::scrolledTextLine(5, 20, std::numeric_limits<double>::infinity()), 19);
    EXPECT_EQ(ui::scrolledTextLine(5, 20, std::numeric_limits<double>::quiet_NaN()), 5);
}

}  // namespace
