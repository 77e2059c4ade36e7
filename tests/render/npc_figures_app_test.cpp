#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "content/face_textures.h"
#include "render/npc_animation.h"
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
                                       {"t:here.city.nan", {NAN, 64.0, 8.5}},
                                       {"t:here.city.huge", {1e300, 64.0, 8.5}}};
    EXPECT_TRUE(build().empty());
}

TEST_F(NpcFigures, CulledOutsideTheViewUnlessHitboxesShow) {
    addNpc("t:hidden");
    app.adventureState.npcPositions = {{"t:hidden", {10.5, 64.0, 8.5}}};
    app.frame.planes.fill({0.0f, 0.0f, 0.0f, -1.0f});  // nothing is inside
    app.frame.planesValid = true;
    EXPECT_TRUE(build().empty());
    app.showHitboxes = true;
    EXPECT_EQ(build().size(), kBoxFigure + kOutline);
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

// A model NPC of one triangle at model point (1, 0.5, 0), its one bone turned a quarter about z by
// its idle clip, drawn without idle motion so that only the pose moves it.
class ModelNpc : public NpcFigures {
   protected:
    void SetUp() override {
        NpcFigures::SetUp();
        voxel::BlockDef def;
        def.id = "t:figure";
        def.textures = {"skin.png", "face.png"};
        const ModelVertex at{1.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0, 1.0f, 0};
        def.modelVertices = {at, at, at};
        def.modelVertices[1].texture = 1;
        voxel::registerBlock(20, def);
        app.atlases.npcTextures = {"face.png"};
        adventure::Npc& npc = addNpc("t:smith");
        npc.modelResource = "t:figure";
        npc.animated = true;
        npc.motionAmplitude = 0.0;
        npc.facesPlayer = false;
        npc.collisionRadius = 2.0;
        npc.vertexParts = {0, 0, 0};
        npc.rig.bones.resize(1);
        npc.rig.vertexBones = {0, 0, 0};
        bbanim::Clip idle;
        idle.loop = "loop";
        idle.length = 1.0;
        idle.tracks.resize(1);
        bbanim::Keyframe quarter;
        quarter.pre = quarter.post = {0.0, 0.0, 90.0};
        idle.tracks[0].channels[bbanim::ChannelRotation] = {quarter};
        npc.rig.clips = {idle};
        npc.animationClips = {0, -1, -1};
        app.adventureState.npcPositions = {{"t:smith", {10.5, 64.0, 8.5}}};
        app.adventureState.npcMotion["t:smith"] = {};
    }
    NpcMotion& motion() { return app.adventureState.npcMotion.at("t:smith"); }
};

TEST_F(ModelNpc, RigPosesWhileTheActionHasAClipAndPartsOtherwise) {
    app.animateNpcs(0.25f);
    EXPECT_NEAR(app.npcDrawing.figures.at("t:smith").idle.time, render::idleClockStart("t:smith") + 0.25, 1e-9);
    ASSERT_EQ(motion().bones.size(), 1u);
    std::vector<render::MeshVertex> list = build();
    ASSERT_EQ(list.size(), 3u);
    // Pixels (16, 8, 0) turned to (-8, 16, 0): half a block behind the feet, a block up.
    EXPECT_NEAR(list[0].x, 10.0f, 1e-5f);
    EXPECT_NEAR(list[0].y, 65.01f, 1e-5f);
    EXPECT_NEAR(list[0].z, 8.5f, 1e-5f);
    const float extra = content::customTextureBase;
    EXPECT_EQ((std::vector<float>{list[0].layer, list[1].layer}),
              (std::vector<float>{static_cast<float>(voxel::textureLayer(20, 0)), extra}));

    motion().action = adventure::npcGesture;  // no gesture clip: the part path
    app.animateNpcs(0.1f);
    EXPECT_TRUE(motion().bones.empty());
    list = build();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_NEAR(list[0].x, 11.5f, 1e-5f);
    EXPECT_NEAR(list[0].y, 64.51f, 1e-5f);
}

TEST_F(ModelNpc, NonFiniteBonesSkipTheNpc) {
    app.animateNpcs(0.0f);
    motion().bones[0][5] = NAN;
    EXPECT_TRUE(build().empty());
}

}  // namespace
