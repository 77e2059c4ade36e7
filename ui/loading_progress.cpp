#include "ui/loading_progress.h"

#include <algorithm>
#include <stdexcept>

#include "app/app.h"

namespace ui {

void reportLoadingStage(LoadingWindow& window, int progress, const std::string& stage) {
    if (window.cancelRequested.load()) throw std::runtime_error("Загрузка отменена");
    {
        std::lock_guard lock(window.mutex);
        window.progress = std::max(window.progress, std::clamp(progress, 0, 100));
        window.stage = stage;
        if (window.closeRequested.load()) return;
        window.pendingLines.push_back(loadingLine(window.title, window.progress, window.stage));
    }
    window.changed.notify_all();
}

}  // namespace ui

void App::throwIfLoadCancelled(LoadingWindow& window, int progress, const std::string& stage) {
    ui::reportLoadingStage(window, progress, stage);
}
