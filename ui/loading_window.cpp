#include "ui/loading_window.h"

#include <iostream>
#include <utility>

namespace {

void printLine(const std::function<void(const std::string&)>& sink, const std::string& line) {
    if (sink) {
        sink(line);
    } else {
        // One write per line: other threads print too.
        std::cout << (line + '\n') << std::flush;
    }
}

// The window thread: prints queued lines outside the mutex so a slow sink never blocks start-up.
void runLoadingWindow(LoadingWindow& window) {
    for (;;) {
        std::unique_lock lock(window.mutex);
        window.changed.wait(lock,
                            [&] { return !window.pendingLines.empty() || window.closeRequested.load(); });
        std::deque<std::string> lines = std::move(window.pendingLines);
        window.pendingLines.clear();
        const bool closing = window.closeRequested.load();
        const auto sink = window.sink;
        lock.unlock();
        for (const std::string& line : lines) printLine(sink, line);
        if (closing) return;
    }
}

}  // namespace

LoadingWindow::~LoadingWindow() {
    closeLoadingWindow(*this);
}

void openLoadingWindow(LoadingWindow& window, const std::filesystem::path& baseDirectory,
                       const std::string& title, const std::string& status) {
    closeLoadingWindow(window);
    {
        std::lock_guard lock(window.mutex);
        window.cancelRequested = false;
        window.closeRequested = false;
        window.closed = false;
        window.baseDirectory = baseDirectory;
        window.title = title;
        window.status = status;
        window.stage.clear();
        window.progress = 0;
        window.pendingLines.clear();
    }
    window.thread = std::thread(runLoadingWindow, std::ref(window));
}

void closeLoadingWindow(LoadingWindow& window) {
    {
        // Set under the mutex so the thread cannot miss the wake-up between its check and its wait.
        std::lock_guard lock(window.mutex);
        window.closeRequested = true;
    }
    window.changed.notify_all();
    if (window.thread.joinable()) {
        if (window.thread.get_id() == std::this_thread::get_id()) {
            // Only a sink can call this from the window thread; it returns right after this line.
            window.thread.detach();
        } else {
            window.thread.join();
        }
    }
    window.closed = true;
}

void requestLoadingCancel(LoadingWindow& window) {
    window.cancelRequested = true;
}

std::string loadingLine(const std::string& title, int progress, const std::string& stage) {
    return title + ": " + std::to_string(progress) + "% " + stage;
}
