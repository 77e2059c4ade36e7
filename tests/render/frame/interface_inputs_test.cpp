#include "render/frame/interface_inputs.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "render/interface/interface_block.h"

namespace {

// The health bar of play: health in twentieths of 20 + 2 x the first skill, rounded up, at the
// edges of the five bits (a full bar of 20 is 32 health at skill 6, and 32 & 31 would be empty).
TEST(InterfaceInputs, TheHealthBarTakesTheFirstSkillsMaximum) {
    const struct {
        int32_t health;
        uint32_t skill;
        uint32_t bars;
    } rows[] = {{32, 6, 20}, {31, 6, 20}, {30, 6, 19}, {1, 6, 1}, {0, 6, 0}, {22, 1, 20}, {20, 1, 19},
                {20, 0, 20}, {60, 20, 20}, {59, 20, 20}, {57, 20, 19}};
    for (const auto& row : rows) {
        App app;
        app.ui.menuOpen = false;
        app.ui.screen = 0;
        app.ui.inventoryOpen = true;  // play, without the biome lookup of the closed inventory
        app.player.health = row.health;
        app.combat.progression.skills[0] = row.skill;
        const render::InterfaceInputs in = render::interfaceInputs(app);
        EXPECT_EQ(in.firstSkill, row.skill);
        EXPECT_EQ(render::packInterfaceBlock(in).status & 31u, row.bars) << row.health << " at skill " << row.skill;
    }
}

}  // namespace
