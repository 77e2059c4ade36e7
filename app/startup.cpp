#include "app/startup.h"

#include <GLFW/glfw3.h>

#include <fstream>
#include <iostream>

#include "app/app.h"
#include "audio/sound_definitions.h"
#include "platform/close_request.h"
#include "platform/environment.h"
#include "save/world_list.h"

namespace fs = std::filesystem;

namespace core {

void openAudioOutput(audio::Mixer& mixer, const std::function<std::unique_ptr<platform::AudioOutput>()>& open) {
    if (mixer.running) return;
    audio::closeOutput(mixer);
    if (std::unique_ptr<platform::AudioOutput> device = open()) audio::startOutput(mixer, std::move(device));
}

std::string audioErrorsText(const audio::Mixer& mixer) {
    std::string text = mixer.errors;
    if (!mixer.running) text += std::string(kAudioUnavailable) + "\n";
    return text;
}

}  // namespace core

namespace {

void setMixerVolumes(audio::Mixer& mixer, const VolumeSettings& volumes) {
    mixer.masterVolume.exchange(static_cast<float>(volumes.master) * 0.01f);
    mixer.effectsVolume.exchange(static_cast<float>(volumes.effects) * 0.01f);
    mixer.ambientVolume.exchange(static_cast<float>(volumes.ambient) * 0.01f);
}

void writeTextFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

size_t countPartVertices(const std::vector<VxmVertex>& mesh, uint32_t part) {
    size_t count = 0;
    for (const VxmVertex& v : mesh) count += v.part == part;
    return count;
}

}  // namespace

void App::openStartupWorld() {
    if (!lan.startupJoin) {
        listWorlds();
        if (!ui.worlds.empty()) {
            files.world = ui.worlds.front().directory;
            files.seed = ui.worlds.front().seed;
        } else {
            // A new world lives under the saves, never in the game root beside Content/.
            files.world = filesave::nextWorldFolder(files.saves);
        }
    }
    // The world file and generation.json come before the terrain: a world keeps its own seed,
    // generation value and profile, so its chunk files match what is generated around them.
    try {
        loadWorld();
        generateEnvironment();

        throwIfLoadCancelled(ui.loading, environmentProgressEnd, "Чтение сохранённого мира");

        throwIfLoadCancelled(ui.loading, environmentProgressEnd, "Загрузка персонажа и предметов");
        loadSavedState();
    } catch (const std::runtime_error& failure) {
        // A damaged save or chunk file of the first world must not keep the player from the menu
        // and the other worlds; any other failure (a cancelled load among them) still ends start-up.
        if (!saves.readFailed || lan.startupJoin) throw;
        setAsideUnreadableWorld(failure.what());
    }
}

void App::startUp() {
    gpu.showWindow = !platform::environmentHas("QUORVANE_HEADLESS_CHECK");
    openLoadingWindow(ui.loading, files.base, core::kLoadingTitle, "");
    // While the game starts, Ctrl+C or a TERM signal cancels the start-up as the loading window's
    // cancel does; the hook goes when start-up ends either way.
    const platform::ScopedCloseRequestHook cancelOnClose([&window = ui.loading] { requestLoadingCancel(window); });
    if (platform::closeRequested()) requestLoadingCancel(ui.loading);

    throwIfLoadCancelled(ui.loading, 2, "Загрузка настроек и звука");
    loadSettings();
    content::loadSounds(mixer, files.base / "Content");
    setMixerVolumes(mixer, volumes);
    core::openAudioOutput(mixer, platform::openDefaultAudioOutput);
    writeTextFile(files.base / "audio_errors.txt", core::audioErrorsText(mixer));

    throwIfLoadCancelled(ui.loading, 8, "Загрузка моделей и дополнений");
    splitPlayerModel();
    loadContentResources();

    throwIfLoadCancelled(ui.loading, 15, "Подготовка рецептов и правил мира");
    loadContentRules();

    createWindowAndDevice();  // announces "Подготовка графики" once GLFW is up

    throwIfLoadCancelled(ui.loading, 30, "Загрузка текстур в исходном разрешении");
    createBlockAtlas();

    throwIfLoadCancelled(ui.loading, 42, "Подготовка сохранений");
    createFrameSync();
    environmentProgressStart = 45;
    environmentProgressEnd = 65;
    openStartupWorld();

    throwIfLoadCancelled(ui.loading, 80, "Подготовка жителей и окружения");
    updatePlayerChunk();
    prepareCities();

    throwIfLoadCancelled(ui.loading, 86, "Подготовка освещения и геометрии");
    uploadMesh(render::meshEverything);
    std::cout << ("First-person right arm vertices: " + std::to_string(countPartVertices(playerMesh, 2)) + "\n")
              << std::flush;

    throwIfLoadCancelled(ui.loading, 92, "Подготовка графических эффектов");
    uploadPlayerModel();
    createSwapchain();

    throwIfLoadCancelled(ui.loading, 99, "Подготовка первого кадра");
    drawFrame();

    throwIfLoadCancelled(ui.loading, 100, "Готово");
    closeLoadingWindow(ui.loading);
    if (gpu.showWindow) glfwShowWindow(gpu.win);
    environmentProgressStart = 10;
    environmentProgressEnd = 50;
    player.inputClock = glfwGetTime();
}
