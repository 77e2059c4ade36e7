#pragma once
// Stage reports of start-up to the loading window.
#include <string>

#include "ui/loading_window.h"

namespace ui {

// Raises "Загрузка отменена" when the player asked to cancel; otherwise raises the progress to
// `progress` (clamped to 0..100, never lowered), sets the stage and, while the window is open,
// queues its line for the window thread.
void reportLoadingStage(LoadingWindow& window, int progress, const std::string& stage);

}  // namespace ui
