#include "app/run_modes.h"

#include <charconv>
#include <cctype>
#include <exception>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <stdexcept>

#include "app/app.h"
#include "app/modes.h"
#include "net/paths.h"
#include "net/startup_folder.h"
#include "platform/close_request.h"
#include "platform/environment.h"
#include "platform/message_box.h"
#include "save/file_save.h"
#include "selftest/scenarios.h"

namespace fs = std::filesystem;

namespace core {

std::string failureReport(const std::string& message, const std::string& worldDirectory, uint64_t tick,
                          int32_t screen, bool thirdPerson, const std::array<InventorySlot, 4>& armor) {
    std::string out = "QUORVANE 10.38 ERROR: " + message + "\nWorld: " + worldDirectory + "\nTick: " +
                      std::to_string(tick) + " Menu: " + std::to_string(screen) +
                      " Third person: " + (thirdPerson ? "1" : "0") + "\nArmor:";
    for (const InventorySlot& slot : armor)
        out += " " + std::to_string(slot.id) + ":" + std::to_string(slot.count) + ":" + std::to_string(slot.wear);
    return out + "\n\n";
}

std::string failureReport(const App& app, const std::string& message) {
    return failureReport(message, app.files.world.string(), app.clock.tick, app.ui.screen,
                         app.player.thirdPerson, app.player.armor);
}

uint16_t parsePortArgument(const std::string& text) {
    size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
    // from_chars takes no leading '+', which the standard conversion accepts.
    if (start < text.size() && text[start] == '+' && start + 1 < text.size() && text[start + 1] != '-' &&
        text[start + 1] != '+')
        ++start;
    int value = 0;
    const char* first = text.data() + start;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) throw std::out_of_range("stoi argument out of range");
    if (error != std::errc() || end == first) throw std::invalid_argument("invalid stoi argument");
    return static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu);
}

namespace {

constexpr const char* kServerNotice =
    "Создайте сервер в отдельной программе Quorvane Server. Подключение доступно в меню игры.";

bool headless() { return platform::environmentHas("QUORVANE_HEADLESS_CHECK"); }

int lanHostNotice() {
    if (headless()) return 1;
    platform::showMessageBox("Quorvane Server", kServerNotice, platform::MessageIcon::Information);
    // The notice names the program; this says where it is and how to start it.
    std::cerr << "Start the server with: " << (platform::executablePath().parent_path() / "quorvane-server").string()
              << " --serve <port> <room code> [content folder]\n";
    return 1;
}

bool isLanOption(int argc, char** argv) {
    if (argc < 2) return false;
    const std::string option = argv[1];
    return option == "--lan-host" || option == "--lan-join";
}

int reportFailure(App& app, const std::exception& failure, int argc, char** argv) {
    const std::string message = failure.what();
    {
        std::ofstream log(app.files.base / "last_error.txt", std::ios::binary | std::ios::app);
        log << failureReport(app, message);
    }
    std::cerr << "Skarnwright ERROR: " << message << std::endl;
    if (isLanOption(argc, argv) && !headless())
        platform::showMessageBox("Quorvane: multiplayer startup", message, platform::MessageIcon::Error);
    app.shutdown();
    return 1;
}

// A render test whose scenario reports its own failure in a log of its output folder.
int runRenderScenario(App& app, const RenderTestRow& row) {
    if (!row.ownLog) return row.run(app);
    try {
        return row.run(app);
    } catch (const std::exception& failure) {
        std::ofstream log(app.files.base / row.ownLog, std::ios::binary | std::ios::trunc);
        log << "FAILED: " << failure.what();
        return 1;
    }
}

void prepareLanJoinStart(App& app) {
    app.lan.startupJoin = true;
    app.lan.startupFolder = net::prepareStartupFolder(app.files.base / "NetworkCache", platform::systemTime100ns());
    app.files.world = app.lan.startupFolder;
}

// Phases after construction; every failure here reaches the one handler of runApp.
int runStarted(App& app, const Mode& mode, int argc, char** argv) {
    if (mode.kind == ModeKind::RenderTest && mode.renderTest->usesOutputFolder)
        app.useRenderTestBase(net::makeAbsolutePath(argv[2]));
    if (mode.kind == ModeKind::LanJoin) prepareLanJoinStart(app);
    app.startUp();
    app.lan.startupJoin = false;
    if (mode.kind == ModeKind::RenderTest) {
        const int result = runRenderScenario(app, *mode.renderTest);
        app.shutdown();
        return result;
    }
    if (argc >= 2) {
        if (mode.kind != ModeKind::LanJoin) throw std::runtime_error("Invalid multiplayer startup arguments");
        app.startSession(false, argv[2], parsePortArgument(argv[3]), argv[4]);
    }
    app.run();
    // The last autosave may still be queued: its failure is this run's failure too.
    filesave::backgroundWriter().drain();
    filesave::rethrowBackgroundFailure();
    app.shutdown();
    return 0;
}

int runApp(const Mode& mode, int argc, char** argv) {
    platform::startCloseRequestWatcher();
    int result = 1;
    {
        // Construction runs outside the handler: without an App there is nothing to report from.
        std::unique_ptr<App> app;
        try {
            app = std::make_unique<App>();
        } catch (const std::exception& failure) {
            std::cerr << "Skarnwright ERROR: " << failure.what() << std::endl;
            platform::stopCloseRequestWatcher();
            return 1;
        }
        try {
            result = runStarted(*app, mode, argc, argv);
        } catch (const std::exception& failure) {
            result = reportFailure(*app, failure, argc, argv);
        }
    }
    platform::stopCloseRequestWatcher();
    return result;
}

}  // namespace

int runMain(int argc, char** argv) {
    const Mode mode = findMode(argc, argv);
    switch (mode.kind) {
        case ModeKind::SelfTest:
            return runSelfTest(*mode.selfTest, argv);
        case ModeKind::LanHost:
            return lanHostNotice();
        default:
            return runApp(mode, argc, argv);
    }
}

}  // namespace core
