#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "ui/ui_state.h"

namespace {

std::array<float, 9> fieldsOf(const ui::InventoryLayout& l) {
    return {l.panelWidth,       l.panelHeight,  l.panelLeft,    l.panelTop, l.leftColumnWidth,
            l.rightColumnWidth, l.headerHeight, l.footerHeight, l.slotSize};
}

TEST(InventoryLayout, HeightBoundAt1280x720AndCappedPanelAt1920x1080) {
    const struct {
        float width, height;
        std::array<float, 9> want;
    } rows[] = {
        {1280, 720, {1152, 648, 64, 36, 347.904f, 274.176f, 64.8f, 71.28f, 499.92f / 9.0f}},
        {1920, 1080, {1640, 922.5f, 140, 78.75f, 495.28f, 390.32f, 92.25f, 101.475f, 724.4f / 9.0f}},
    };
    for (const auto& row : rows) {
        const std::array<float, 9> got = fieldsOf(ui::inventoryLayout(row.width, row.height));
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k], row.want[k], 1e-3) << row.width << "x" << row.height << ", field " << k;
    }
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

// Three lines a notch, truncated toward zero, clamped to the lines, and safe with huge offsets.
TEST(ScrolledTextLine, ThreeLinesANotchClampedToTheLines) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        int32_t line, count;
        double offset;
        int32_t want;
    } rows[] = {
        {5, 20, 1.0, 8},    {5, 20, -1.0, 2},  {5, 20, 0.5, 6},  {5, 20, -0.5, 4},  // 0.5: -1.5 truncates to -1
        {5, 20, 0.2, 5},    {1, 20, -1.0, 0},  {18, 20, 1.0, 19}, {3, 0, 1.0, 0},    // 0.2: -0.6 truncates to 0
        {3, -5, -1.0, 0},   {5, 20, 1e300, 19}, {5, 20, -1e300, 0}, {5, 20, kNaN, 5},
        {5, 20, std::numeric_limits<double>::infinity(), 19},
        {kMax - 1, kMax, 1e300, kMax - 1}, {kMax - 1, kMax, -1e300, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ui::scrolledTextLine(row.line, row.count, row.offset), row.want)
            << row.line << " of " << row.count << " by " << row.offset;
}

}  // namespace
