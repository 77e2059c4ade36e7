#include "ui/world_list_view.h"

#include <gtest/gtest.h>

namespace {

using ui::WorldListView;

struct Move {
    WorldListView from;
    int32_t count, steps, row;
    WorldListView to;
};

TEST(WorldListView, TheWheelStopsAtBothEndsAndClicksSelectOnlyListedRows) {
    const Move moves[] = {
        {{0, 0}, 5, 1, -1, {0, 0}},   // already at the top
        {{0, 0}, 5, -1, -1, {1, 0}},
        {{1, 0}, 5, -2, -1, {2, 0}},  // the last scroll that fills three rows
        {{2, 0}, 5, -1, -1, {2, 0}},
        {{2, 0}, 5, 3, -1, {0, 0}},
        {{0, 0}, 2, -1, -1, {0, 0}},  // fewer worlds than rows: no scroll
        {{0, 0}, 3, -1, -1, {0, 0}},  // as many as rows: no scroll either
        {{0, 0}, 4, -5, -1, {1, 0}},  // one more: one row, no further
        {{1, 0}, 5, 0, 2, {1, 3}},    // the third row shows world 3
        {{2, 0}, 5, 0, 0, {2, 2}},    // scrolled by two: the first row shows world 2
        {{2, 0}, 5, -1, 2, {2, 4}},   // and the last row the last world
        {{0, 1}, 2, 0, 2, {0, 1}},    // a row without a world
        {{0, 1}, 2, 0, 3, {0, 1}},    // below the rows
        {{0, 0}, 0, -1, 0, {0, 0}},   // an empty list
    };
    for (const Move& m : moves) {
        const WorldListView got = ui::scrolledWorldList(m.from, m.count, 3, m.steps, m.row);
        EXPECT_EQ(got, m.to) << m.from.scroll << "," << m.from.selected << " count " << m.count << " steps "
                             << m.steps << " row " << m.row << " gave " << got.scroll << "," << got.selected;
    }
}

TEST(WorldListView, TheSelectionStaysInTheListAndInView) {
    EXPECT_EQ(ui::clampedWorldList({0, 4}, 5, 3), (WorldListView{2, 4})) << "scrolled down to show it";
    EXPECT_EQ(ui::clampedWorldList({3, 1}, 5, 3), (WorldListView{1, 1})) << "scrolled up to show it";
    EXPECT_EQ(ui::clampedWorldList({1, 2}, 5, 3), (WorldListView{1, 2})) << "in view already";
    EXPECT_EQ(ui::clampedWorldList({4, 7}, 3, 3), (WorldListView{0, 2})) << "the list got shorter";
    EXPECT_EQ(ui::clampedWorldList({2, 1}, 0, 3), (WorldListView{0, 0}));
}

}  // namespace
