#include "ui/loading_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/loading_progress.h"

namespace {

// Collects what the window thread prints; read only after the thread has been joined.
struct Printed {
    std::mutex mutex;
    std::vector<std::string> lines;
    void attach(LoadingWindow& window) {
        window.sink = [this](const std::string& line) {
            std::lock_guard lock(mutex);
            lines.push_back(line);
        };
    }
};

TEST(LoadingWindow, LineFormat) {
    EXPECT_EQ(loadingLine("ЗАПУСК ИГРЫ", 42, "Подготовка графики"), "ЗАПУСК ИГРЫ: 42% Подготовка графики");
}

TEST(LoadingWindow, ProgressIsClampedAndNeverLowered) {
    Printed printed;  // outlives the window, whose thread prints into it
    LoadingWindow window;
    printed.attach(window);
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
    EXPECT_EQ(printed.lines, (std::vector<std::string>{"T: 30% a", "T: 30% b", "T: 100% c"}));

    openLoadingWindow(window, "/base", "T", "");
    EXPECT_EQ(window.progress, 0);
    ui::reportLoadingStage(window, -20, "d");
    EXPECT_EQ(window.progress, 0);
}

TEST(LoadingWindow, CancelRaisesAndLeavesProgressAlone) {
    Printed printed;  // outlives the window, whose thread prints into it
    LoadingWindow window;
    printed.attach(window);
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

TEST(LoadingWindow, EveryLineReachesTheSinkInOrder) {
    Printed printed;  // outlives the window, whose thread prints into it
    LoadingWindow window;
    printed.attach(window);
    openLoadingWindow(window, "/base", "T", "");
    std::vector<std::string> expected;
    for (int i = 0; i <= 100; ++i) {
        ui::reportLoadingStage(window, i, "stage " + std::to_string(i));
        expected.push_back("T: " + std::to_string(i) + "% stage " + std::to_string(i));
    }
    closeLoadingWindow(window);
    EXPECT_EQ(printed.lines, expected);
}

TEST(LoadingWindow, CloseIsSafeTwiceAndWithoutAWindow) {
    LoadingWindow never;
    closeLoadingWindow(never);
    EXPECT_TRUE(never.closed);

    Printed printed;  // outlives the window, whose thread prints into it
    LoadingWindow window;
    printed.attach(window);
    openLoadingWindow(window, "/base", "T", "");
    EXPECT_FALSE(window.closed);
    EXPECT_FALSE(window.closeRequested);
    closeLoadingWindow(window);
    closeLoadingWindow(window);
    EXPECT_TRUE(window.closed);
    EXPECT_FALSE(window.thread.joinable());

    ui::reportLoadingStage(window, 50, "after close");  // still tracked, no longer printed
    EXPECT_EQ(window.progress, 50);
    EXPECT_TRUE(printed.lines.empty());
}

TEST(LoadingWindow, ReopeningClosesThePreviousWindow) {
    Printed printed;  // outlives the window, whose thread prints into it
    LoadingWindow window;
    printed.attach(window);
    openLoadingWindow(window, "/one", "One", "");
    ui::reportLoadingStage(window, 5, "a");
    openLoadingWindow(window, "/two", "Two", "");
    ui::reportLoadingStage(window, 6, "b");
    closeLoadingWindow(window);
    EXPECT_EQ(printed.lines, (std::vector<std::string>{"One: 5% a", "Two: 6% b"}));
}

}  // namespace
