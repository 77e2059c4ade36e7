#include "app/app.h"
#include "save/settings.h"

// A missing or bad section keeps what the App holds, which is the defaults at start-up.
void App::loadSettings() {
    const StoredSettings stored = filesave::readSettingsFile(filesave::kSettingsFile, {settings, volumes});
    settings = stored.block;
    volumes = stored.volumes;
    chunkRadius = settings.chunkRadius;
}

void App::saveSettings() const {
    filesave::writeSettingsFile(filesave::kSettingsFile, {settings, volumes});
}
