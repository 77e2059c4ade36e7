#include "app/modes.h"

#include <cstring>
#include <iterator>

#include "selftest/scenarios.h"

namespace core {

namespace {

// Tested top to bottom; the first match wins.
const SelfTestRow kSelfTests[] = {
    {"--ui-self-test", 4, nullptr, selftest::ui, nullptr},
    {"--inventory-self-test", 4, nullptr, selftest::inventory, nullptr},
    {"--expedition-self-test", 4, nullptr, selftest::expedition, nullptr},
    {"--map-clients-self-test", 5, nullptr, nullptr, selftest::mapClients},
    {"--map-self-test", 4, nullptr, selftest::map, nullptr},
    {"--sky-self-test", 4, nullptr, selftest::sky, nullptr},
    {"--frost-self-test", 4, nullptr, selftest::frost, nullptr},
    {"--motion-self-test", 5, nullptr, nullptr, selftest::motion},
    {"--held-self-test", 4, nullptr, selftest::held, nullptr},
    {"--boss-self-test", 4, nullptr, selftest::boss, nullptr},
    {"--ai-self-test", 4, nullptr, selftest::ai, nullptr},
    {"--chat-self-test", 4, nullptr, selftest::chat, nullptr},
    {"--dimension-clients-self-test", 5, nullptr, nullptr, selftest::dimensionClients},
    {"--dimensions-self-test", 4, nullptr, selftest::dimensions, nullptr},
    {"--skills-self-test", 4, nullptr, selftest::skills, nullptr},
    {"--quest-self-test", 4, nullptr, selftest::quest, nullptr},
    {"--performance-self-test", 3, selftest::performance, nullptr, nullptr},
    {"--rpg-self-test", 3, selftest::rpg, nullptr, nullptr},
    {"--combat-self-test", 3, selftest::combat, nullptr, nullptr},
    {"--shared-self-test", 3, selftest::shared, nullptr, nullptr},
};
// "--lan-host" stands between these two groups of the table.
const SelfTestRow kLateSelfTests[] = {
    {"--dedicated-self-test", 3, selftest::dedicated, nullptr, nullptr},
    {"--lan-self-test", 3, selftest::lan, nullptr, nullptr},
};

const RenderTestRow kRenderTests[] = {
    {"--lan-render-test", selftest::lanRender, true, nullptr},
    {"--dimensions-render-test", selftest::dimensionsRender, true, "dimension-render.log"},
    {"--chat-render-test", selftest::chatRender, true, "chat-render.log"},
    {"--boss-render-test", selftest::bossRender, true, nullptr},
    {"--held-render-test", selftest::heldRender, true, nullptr},
    {"--motion-render-test", selftest::motionRender, true, nullptr},
    {"--frost-render-test", selftest::frostRender, true, nullptr},
    {"--sky-render-test", selftest::skyRender, true, nullptr},
    {"--map-render-test", selftest::mapRender, true, nullptr},
    {"--expedition-render-test", selftest::expeditionRender, true, nullptr},
    {"--inventory-render-test", selftest::inventoryRender, true, nullptr},
    {"--ui-render-test", selftest::uiRender, false, nullptr},
};

bool is(const char* arg, const char* option) { return std::strcmp(arg, option) == 0; }

template <std::size_t N>
const SelfTestRow* findSelfTest(const SelfTestRow (&rows)[N], int argc, const char* arg) {
    for (const SelfTestRow& row : rows)
        if (row.argc == argc && is(arg, row.option)) return &row;
    return nullptr;
}

}  // namespace

Mode findMode(int argc, const char* const* argv) {
    if (argc <= 1) return {ModeKind::Game};
    const char* option = argv[1];
    if (const SelfTestRow* row = findSelfTest(kSelfTests, argc, option)) return {ModeKind::SelfTest, row};
    if (is(option, "--lan-host")) return {ModeKind::LanHost};
    if (const SelfTestRow* row = findSelfTest(kLateSelfTests, argc, option)) return {ModeKind::SelfTest, row};
    if (argc == 3)
        for (const RenderTestRow& row : kRenderTests)
            if (is(option, row.option)) return {ModeKind::RenderTest, nullptr, &row};
    if (argc == 5 && is(option, "--lan-join")) return {ModeKind::LanJoin};
    return {ModeKind::Invalid};
}

int runSelfTest(const SelfTestRow& row, const char* const* argv) {
    using std::filesystem::path;
    if (row.one) return row.one(path(argv[2]));
    if (row.two) return row.two(path(argv[2]), path(argv[3]));
    return row.three(path(argv[2]), path(argv[3]), path(argv[4]));
}

}  // namespace core
