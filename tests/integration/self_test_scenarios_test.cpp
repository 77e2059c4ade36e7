// The self-test scenarios of the command line: each runs in the installed game against a copy of
// the shipped content and ends with its exit code and the first line of its log; a fault planted
// in its content makes a scenario fail at the check that meets it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integration/game_fixture.h"

namespace fs = std::filesystem;
using testsupport::GameInstall;
using testsupport::readFile;
using testsupport::RunOptions;
using testsupport::RunResult;

namespace {

struct Scenario {
    std::string name;
    int paths;     // the output folder, then the content root, then the third folder
    bool passes;   // its subject is in the game
    // The whole log of a scenario whose subject the game lacks: it names that subject.
    std::string needs = "";
};

std::ostream& operator<<(std::ostream& out, const Scenario& s) { return out << s.name; }

// The shipped content in its own content root, and in the game root for the one-path scenarios.
struct Installed {
    Installed() {
        fs::remove_all(game.root() / "Content");
        testsupport::copyShippedContent(game.root() / "Content");
        testsupport::copyShippedContent(contentRoot / "Content");
    }
    RunResult run(const std::string& name, int paths, const fs::path& content) const {
        RunOptions options;
        options.arguments = {"--" + name + "-self-test", out.string()};
        if (paths > 1) options.arguments.push_back(content.string());
        if (paths > 2) options.arguments.push_back((out / "world").string());
        return game.run(options);
    }
    std::string log(const std::string& name) const { return readFile(out / (name + "-self-test.log")); }

    GameInstall game;
    fs::path contentRoot = game.root() / "content-root";
    fs::path out = game.root() / "out";
};

std::string upper(std::string text) {
    for (char& c : text) c = c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class SelfTestScenario : public testing::TestWithParam<Scenario> {};

TEST_P(SelfTestScenario, ExitCodeAndLogLine) {
    const Scenario& s = GetParam();
    const Installed game;
    const RunResult result = game.run(s.name, s.paths, game.contentRoot);
    const std::string log = game.log(s.name);
    EXPECT_EQ(result.exitCode, s.passes ? 0 : 1) << log << result.err;
    const std::string prefix = s.passes ? upper(s.name) + "_OK: " : "FAILED: ";
    EXPECT_TRUE(log.starts_with(prefix)) << log;
    if (!s.needs.empty()) {
        EXPECT_EQ(log, "FAILED: " + s.name + "-self-test needs " + s.needs + ", which this build does not have yet\n");
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << "one line: " << log;
    EXPECT_FALSE(fs::exists(game.game.root() / "last_error.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    GroupA, SelfTestScenario,
    testing::Values(Scenario{"ui", 2, true}, Scenario{"inventory", 2, true}, Scenario{"expedition", 2, true},
                    Scenario{"map-clients", 3, true}, Scenario{"map", 2, true}, Scenario{"sky", 2, true},
                    Scenario{"frost", 2, true}, Scenario{"motion", 3, true}, Scenario{"held", 2, true},
                    Scenario{"boss", 2, true}, Scenario{"ai", 2, false, "mob behaviour"}, Scenario{"chat", 2, true},
                    Scenario{"dimension-clients", 3, true}, Scenario{"dimensions", 2, true},
                    Scenario{"skills", 2, true}, Scenario{"quest", 2, true}, Scenario{"rpg", 1, true},
                    Scenario{"combat", 1, true}, Scenario{"shared", 1, true}, Scenario{"dedicated", 1, true},
                    Scenario{"lan", 1, true}),
    [](const testing::TestParamInfo<Scenario>& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

TEST(SelfTestScenarioFaults, APlantedContentFaultFailsItsCheck) {
    struct Fault {
        std::string scenario;
        int paths;
        fs::path removed;  // within the content root's Content
        std::string line;
    };
    const Fault faults[] = {
        {"inventory", 2, "furnace_rules.json", "FAILED: smelt: no furnace recipe for iron ore\n"},
        {"boss", 2, "mobs/fortress_warden", "FAILED: boss definition: no mob definition of the content pack is a boss\n"},
        {"motion", 3, "blocks/oak_door", "FAILED: door: Unknown or unavailable resource: core:oak_door\n"},
        {"quest", 2, "people/smith/smith.npc.json", "FAILED: smith's window: the content pack has no core:smith\n"},
    };
    for (const Fault& f : faults) {
        const Installed game;
        ASSERT_TRUE(fs::remove_all(game.contentRoot / "Content" / f.removed) > 0) << f.removed;
        const RunResult result = game.run(f.scenario, f.paths, game.contentRoot);
        EXPECT_EQ(result.exitCode, 1) << f.scenario;
        EXPECT_EQ(game.log(f.scenario), f.line);
        EXPECT_NE(result.err.find(f.line.substr(0, f.line.size() - 1)), std::string::npos) << "printed too";
    }
}

TEST(SelfTestScenarioFaults, AContentRootWithoutContentIsAFailure) {
    const Installed game;
    const fs::path empty = game.game.root() / "empty";
    const RunResult result = game.run("held", 2, empty);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(game.log("held"), "FAILED: content: " + (empty / "Content").string() + " is not a folder\n");
}

}  // namespace
