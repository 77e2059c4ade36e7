#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/modes.h"
#include "app/run_modes.h"
#include "support/failure.h"

using core::findMode;
using core::ModeKind;
using testsupport::failureOf;

namespace {

core::Mode modeOf(std::vector<std::string> args) {
    args.insert(args.begin(), "quorvane");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    return findMode(static_cast<int>(argv.size()), argv.data());
}

std::vector<std::string> withPaths(const std::string& option, int argc) {
    std::vector<std::string> args{option};
    for (int i = 2; i < argc; ++i) args.push_back("p" + std::to_string(i));
    return args;
}

}  // namespace

TEST(ModeTable, EverySelfTestOnlyAtItsOwnCount) {
    const std::vector<std::pair<std::string, int>> rows = {
        {"--ui-self-test", 4},          {"--inventory-self-test", 4},  {"--expedition-self-test", 4},
        {"--map-clients-self-test", 5}, {"--map-self-test", 4},        {"--sky-self-test", 4},
        {"--frost-self-test", 4},       {"--motion-self-test", 5},     {"--held-self-test", 4},
        {"--boss-self-test", 4},        {"--ai-self-test", 4},         {"--chat-self-test", 4},
        {"--dimension-clients-self-test", 5}, {"--dimensions-self-test", 4}, {"--skills-self-test", 4},
        {"--quest-self-test", 4},       {"--performance-self-test", 3}, {"--rpg-self-test", 3},
        {"--combat-self-test", 3},      {"--shared-self-test", 3},     {"--dedicated-self-test", 3},
        {"--lan-self-test", 3},
    };
    for (const auto& [option, argc] : rows) {
        const core::Mode right = modeOf(withPaths(option, argc));
        ASSERT_EQ(right.kind, ModeKind::SelfTest) << option;
        EXPECT_STREQ(right.selfTest->option, option.c_str());
        for (int wrong : {2, 3, 4, 5, 6}) {
            if (wrong == argc) continue;
            EXPECT_EQ(modeOf(withPaths(option, wrong)).kind, ModeKind::Invalid) << option << " " << wrong;
        }
    }
}

TEST(ModeTable, RenderTestsTakeExactlyOneFolder) {
    const std::vector<std::string> options = {
        "--lan-render-test",  "--dimensions-render-test", "--chat-render-test",      "--boss-render-test",
        "--held-render-test", "--motion-render-test",     "--frost-render-test",     "--sky-render-test",
        "--map-render-test",  "--expedition-render-test", "--inventory-render-test", "--ui-render-test"};
    for (const auto& option : options) {
        const core::Mode mode = modeOf({option, "out"});
        ASSERT_EQ(mode.kind, ModeKind::RenderTest) << option;
        EXPECT_STREQ(mode.renderTest->option, option.c_str());
        EXPECT_EQ(mode.renderTest->usesOutputFolder, option != "--ui-render-test");
        EXPECT_EQ(modeOf({option}).kind, ModeKind::Invalid);
        EXPECT_EQ(modeOf({option, "out", "more"}).kind, ModeKind::Invalid);
    }
    EXPECT_STREQ(modeOf({"--chat-render-test", "o"}).renderTest->ownLog, "chat-render.log");
    EXPECT_STREQ(modeOf({"--dimensions-render-test", "o"}).renderTest->ownLog, "dimension-render.log");
}

TEST(ModeTable, GameJoinHostAndInvalid) {
    EXPECT_EQ(modeOf({}).kind, ModeKind::Game);
    EXPECT_EQ(modeOf({"--lan-join", "h", "p", "c"}).kind, ModeKind::LanJoin);
    EXPECT_EQ(modeOf({"--lan-join", "h", "p"}).kind, ModeKind::Invalid);
    EXPECT_EQ(modeOf({"--lan-join", "h", "p", "c", "x"}).kind, ModeKind::Invalid);
    for (int extra = 0; extra < 4; ++extra) {
        std::vector<std::string> args{"--lan-host"};
        for (int i = 0; i < extra; ++i) args.push_back("x");
        EXPECT_EQ(modeOf(args).kind, ModeKind::LanHost) << extra;
    }
    // A lone argument is a mode only when it is --lan-host; every other one is left to fail.
    for (const char* lone : {"--bogus", "", "x", "--lan-join", "--ui-render-test", "--rpg-self-test", "--lan-hos"}) {
        EXPECT_EQ(modeOf({lone}).kind, ModeKind::Invalid) << lone;
    }
    // Same bytes and length only.
    EXPECT_EQ(modeOf({"--lan-host "}).kind, ModeKind::Invalid);
    EXPECT_EQ(modeOf({"--LAN-HOST"}).kind, ModeKind::Invalid);
    EXPECT_EQ(modeOf({"--rpg-self-tes", "x"}).kind, ModeKind::Invalid);
}

TEST(PortArgument, ReadsLikeTheStandardConversionAndCutsToSixteenBits) {
    const std::pair<const char*, int> ports[] = {{"29810", 29810}, {"70000", 4464}, {"  8080xyz", 8080},
                                                 {"+7", 7},         {"-1", 65535},   {"2147483647", 65535}};
    for (const auto& [text, port] : ports) EXPECT_EQ(core::parsePortArgument(text), port) << text;
    for (const char* bad : {"", "port", " ", "+", "-", "+-3", "x12"})
        EXPECT_EQ(failureOf<std::invalid_argument>([&] { core::parsePortArgument(bad); }), "invalid stoi argument")
            << bad;
    for (const char* big : {"2147483648", "-2147483649", "99999999999999999999"})
        EXPECT_EQ(failureOf<std::out_of_range>([&] { core::parsePortArgument(big); }), "stoi argument out of range")
            << big;
}

TEST(FailureReport, HasTheExactLayout) {
    std::array<InventorySlot, 4> armor{};
    armor[1] = {23, 1, 17};
    EXPECT_EQ(core::failureReport("Boom", "/w/world_1", 123456789012ull, 7, true, armor),
              "QUORVANE 10.38 ERROR: Boom\nWorld: /w/world_1\nTick: 123456789012 Menu: 7 Third person: 1\n"
              "Armor: 0:0:0 23:1:17 0:0:0 0:0:0\n\n");
}
