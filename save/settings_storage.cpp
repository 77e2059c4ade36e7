#include "app/app.h"
#include "save/settings.h"

// A missing or bad section keeps what the App holds, which is the defaults at start-up. The window
// radius in use stays the App's own: the render tests shrink it before start-up reads the settings.
void App::loadSettings() {
    const StoredSettings stored = filesave::readSettingsFile(filesave::kSettingsFile, {settings, volumes});
    settings = stored.block;
    volumes = stored.volumes;
}

void App::saveSettings() const {
    filesave::writeSettingsFile(filesave::kSettingsFile, {settings, volumes});
}
