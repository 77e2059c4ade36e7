#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "world/loaded_world.h"

namespace {

constexpr std::size_t kBoxFigure = 12 * 36;
constexpr std::size_t kOutline = 12 * 36;

class NpcFigures : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        for (int32_t cx = 0; cx < 4; ++cx) load(cx, 0);
        app.player.x = 8.5f;
        app.player.y = 66.0f;
        app.player.z = 8.5f;
    }
    adventure::Npc& addNpc(const std::string& id) {
        adventure::Npc npc;
        npc.id = id;
        npc.animated = false;
        app.adventureState.catalog.npcs.push_back(npc);
        return app.adventureState.catalog.npcs.back();
    }
    std::vector<render::MeshVertex> build() {
        std::vector<render::MeshVertex> list;
        app.buildNpcFigures(list);
        return list;
    }
};

TEST_F(NpcFigures, DrawnUpTo48BlocksAwayHitboxesOrNot) {
    addNpc("t:near");
    const struct {
        double x;
        bool hitboxes;
        std::size_t vertices;
    } cases[] = {{56.5, false, kBoxFigure},
                 {56.5, true, kBoxFigure + kOutline},
                 {56.51, false, 0},
                 {56.51, true, 0}};
    for (const auto& c : cases) {
        app.adventureState.npcPositions = {{"t:near.city.a", {c.x, 64.0, 8.5}}};
        app.showHitboxes = c.hitboxes;
        EXPECT_EQ(build().size(), c.vertices) << "x " << c.x << " hitboxes " << c.hitboxes;
    }
}

TEST_F(NpcFigures, SkipsInactiveUnknownUnloadedAndNonFinite) {
    addNpc("t:idle").active = false;
    addNpc("t:here");
    app.adventureState.npcPositions = {{"t:idle", {10.5, 64.0, 8.5}},
                                       {"t:nobody", {10.5, 64.0, 8.5}},
                                       {"t:here.city.far", {10.5, 64.0, -8.5}},  // chunk (0, -1) not loaded
                                       {"t:here.city.nan", {NAN, 64.0, 8.5}}};
    EXPECT_TRUE(build().empty());
}

TEST_F(NpcFigures, FirstSeenYawIsKept) {
    addNpc("t:watcher");
    addNpc("t:east").facesPlayer = false;
    app.adventureState.catalog.npcs.back().facing = 90.0;
    app.adventureState.npcPositions = {{"t:east", {20.5, 64.0, 8.5}}, {"t:watcher", {18.5, 64.0, 8.5}}};
    const std::vector<render::MeshVertex> first = build();
    app.player.x = 18.5f;
    app.player.z = 30.5f;
    const std::vector<render::MeshVertex> second = build();
    ASSERT_EQ(first.size(), 2 * kBoxFigure);
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].x, second[i].x) << i;
        EXPECT_EQ(first[i].z, second[i].z) << i;
    }
    EXPECT_NEAR(app.npcDrawing.figures.at("t:east").yaw, std::numbers::pi / 2.0, 1e-12);
    EXPECT_NEAR(app.npcDrawing.figures.at("t:watcher").yaw, std::numbers::pi, 1e-12);  // towards -x
}

}  // namespace
