#pragma once
// The command-line modes: each is recognised only by its exact option and argument count.
#include <filesystem>
#include <string>

struct App;

namespace core {

enum class ModeKind {
    Game,         // no arguments
    LanJoin,      // --lan-join host port code
    LanHost,      // --lan-host: the notice that points to the server program
    SelfTest,     // scenarios that build their own App
    RenderTest,   // scenarios that run on the started App
    Invalid,      // anything else: start-up runs, then fails
};

using SelfTest1 = int (*)(const std::filesystem::path&);
using SelfTest2 = int (*)(const std::filesystem::path&, const std::filesystem::path&);
using SelfTest3 = int (*)(const std::filesystem::path&, const std::filesystem::path&,
                          const std::filesystem::path&);
using RenderTest = int (*)(App&);

struct SelfTestRow {
    const char* option;
    int argc;  // 3, 4 or 5: one, two or three paths
    SelfTest1 one;
    SelfTest2 two;
    SelfTest3 three;
};

struct RenderTestRow {
    const char* option;
    RenderTest run;          // null for --lan-render-test, which main runs itself
    bool usesOutputFolder;   // --ui-render-test keeps the game root as base
    const char* ownLog;      // the log that reports its own failure, or null
};

struct Mode {
    ModeKind kind = ModeKind::Invalid;
    const SelfTestRow* selfTest = nullptr;
    const RenderTestRow* renderTest = nullptr;
};

Mode findMode(int argc, const char* const* argv);

// Runs a recognised self-test row with the arguments as paths.
int runSelfTest(const SelfTestRow& row, const char* const* argv);

}  // namespace core
