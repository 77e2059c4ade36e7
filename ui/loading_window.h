#pragma once
// The start-up progress window. On this platform it has no picture of its own: its thread prints
// each stage line to stdout as the stage changes. Its state lives behind one mutex.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct LoadingWindow {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    int progress = 0;  // 0..100, never lowered while open
    std::string title;
    std::string stage;
    std::string status;
    std::filesystem::path baseDirectory;
    std::atomic<bool> cancelRequested{false};
    // Both true while no window is open.
    std::atomic<bool> closeRequested{true};
    std::atomic<bool> closed{true};
    // Lines waiting for the window thread, and where it prints them (stdout unless replaced).
    std::deque<std::string> pendingLines;
    std::function<void(const std::string&)> sink;

    LoadingWindow() = default;
    LoadingWindow(const LoadingWindow&) = delete;
    LoadingWindow& operator=(const LoadingWindow&) = delete;
    ~LoadingWindow();
};

void openLoadingWindow(LoadingWindow& window, const std::filesystem::path& baseDirectory,
                       const std::string& title, const std::string& status);
void closeLoadingWindow(LoadingWindow& window);
// What the window's cancel button does: the next stage boundary ends start-up.
void requestLoadingCancel(LoadingWindow& window);
// The line printed for a stage.
std::string loadingLine(const std::string& title, int progress, const std::string& stage);
