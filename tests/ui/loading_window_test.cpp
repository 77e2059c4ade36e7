#include "ui/loading_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/loading_progress.h"

namespace {

// Collects what the window thread prints; read only after the thread has been joined. The lines
// outlive the window, whose thread prints into them.
class LoadingWindowTest : public testing::Test {
   protected:
    LoadingWindowTest() {
        window.sink = [this](const std::string& line) {
            std::lock_guard lock(mutex);
            lines.push_back(line);
        };
    }
    std::mutex mutex;
    std::vector<std::string> lines;
    LoadingWindow window;
};

TEST(LoadingWindow, LineFormat) {
    EXPECT_EQ(loadingLine("ЗАПУСК ИГРЫ", 42, "Подготовка графики"), "ЗАПУСК ИГРЫ: 42% Подготовка графики");
}

TEST_F(LoadingWindowTest, ProgressIsClampedAndNeverLowered) {
    openLoadingWindow(window, "/base", "T", "status");
    EXPECT_EQ(window.baseDirectory, "/base");
    EXPECT_EQ(window.status, "status");
    ui::reportLoadingStage(window, 30, "a");
    ui::reportLoadingStage(window, 10, "b");
    EXPECT_EQ(window.progress, 30);
    EXPECT_EQ(window.stage, "b");
    ui::reportLoadingStage(window, 250, "c");
    EXPECT_EQ(window.progress, 100);
    closeLoadingWindow(window);
    EXPECT_EQ(lines, (std::vector<std::string>{"T: 30% a", "T: 30% b", "T: 100% c"}));

    openLoadingWindow(window, "/base", "T", "");
    EXPECT_EQ(window.progress, 0);
    ui::reportLoadingStage(window, -20, "d");
    EXPECT_EQ(window.progress, 0);
}

TEST_F(LoadingWindowTest, CancelRaisesAndLeavesProgressAlone) {
    openLoadingWindow(window, "/base", "T", "");
    ui::reportLoadingStage(window, 15, "a");
    requestLoadingCancel(window);
    EXPECT_THAT([&] { ui::reportLoadingStage(window, 40, "b"); },
                testing::ThrowsMessage<std::runtime_error>(testing::StrEq("Загрузка отменена")));
    EXPECT_EQ(window.progress, 15);
    EXPECT_EQ(window.stage, "a");

    openLoadingWindow(window, "/base", "T", "");  // a new window forgets the old request
    EXPECT_NO_THROW(ui::reportLoadingStage(window, 40, "b"));
}

TEST_F(LoadingWindowTest, EveryLineReachesTheSinkInOrder) {
    openLoadingWindow(window, "/base", "T", "");
    std::vector<std::string> expected;
    for (int i = 0; i <= 100; ++i) {
        ui::reportLoadingStage(window, i, "stage " + std::to_string(i));
        expected.push_back("T: " + std::to_string(i) + "% stage " + std::to_string(i));
    }
    closeLoadingWindow(window);
    EXPECT_EQ(lines, expected);
}

TEST_F(LoadingWindowTest, CloseIsSafeTwiceAndWithoutAWindow) {
    LoadingWindow never;
    closeLoadingWindow(never);
    EXPECT_TRUE(never.closed);

    openLoadingWindow(window, "/base", "T", "");
    EXPECT_FALSE(window.closed);
    EXPECT_FALSE(window.closeRequested);
    closeLoadingWindow(window);
    closeLoadingWindow(window);
    EXPECT_TRUE(window.closed);
    EXPECT_FALSE(window.thread.joinable());

    ui::reportLoadingStage(window, 50, "after close");  // still tracked, no longer printed
    EXPECT_EQ(window.progress, 50);
    EXPECT_TRUE(lines.empty());
}

TEST_F(LoadingWindowTest, ReopeningClosesThePreviousWindow) {
    openLoadingWindow(window, "/one", "One", "");
    ui::reportLoadingStage(window, 5, "a");
    openLoadingWindow(window, "/two", "Two", "");
    ui::reportLoadingStage(window, 6, "b");
    closeLoadingWindow(window);
    EXPECT_EQ(lines, (std::vector<std::string>{"One: 5% a", "Two: 6% b"}));
}

}  // namespace
