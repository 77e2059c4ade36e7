#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "content/face_textures.h"
#include "render/figures/npc_animation.h"
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

// Arms swing 0.22 x the walk amount at the interpolated walk phase, a gesture lifts arm 3 by up to
// 0.9 over its eight steps, and a walking NPC is drawn between its previous and stored position.
TEST_F(NpcFigures, WalkSwingGestureAndPositionFollowTheMovementRecord) {
    adventure::Npc& npc = addNpc("t:walker");
    npc.animated = true;
    npc.motionAmplitude = 0.0;  // no idle motion
    npc.facesPlayer = false;
    app.clock.accumulator = 0.025;  // half a step on
    const double pi = std::numbers::pi, gestureTop = 0.9, lastGesture = std::sin(7 * pi / 8) * 0.9;
    const struct {
        const char* what;
        bool walking, wasWalking;
        double previousPhase, phase, amount;
        int32_t gesture;
        double x, a2, a3;
    } rows[] = {
        {"standing", false, false, 0.0, 0.0, 0.0, 0, 20.5, 0.0, 0.0},
        {"first step: at the stored position", true, false, pi / 2, pi / 2, 1.0, 0, 20.5, 0.22, -0.22},
        {"walking half-way between positions and phases", true, true, 0.0, pi, 1.0, 0, 19.5, 0.22, -0.22},
        {"half a walk swings half as far", true, true, 0.0, pi, 0.5, 0, 19.5, 0.11, -0.11},
        {"gesture starts", false, false, 0.0, 0.0, 0.0, 8, 20.5, 0.0, 0.0},
        {"gesture at its height", false, false, 0.0, 0.0, 0.0, 4, 20.5, 0.0, -gestureTop},
        {"gesture's last step", false, false, 0.0, 0.0, 0.0, 1, 20.5, 0.0, -lastGesture},
    };
    for (const auto& row : rows) {
        app.adventureState.npcPositions = {{"t:walker", {20.5, 64.0, 8.5}}};
        NpcMotion& motion = app.adventureState.npcMotion["t:walker"];
        motion.previous = {18.5, 64.0, 8.5};
        motion.walking = row.walking;
        motion.wasWalking = row.wasWalking;
        motion.previousWalkPhase = row.previousPhase;
        motion.walkPhase = row.phase;
        motion.walkAmount = row.amount;
        motion.gestureStep = row.gesture;
        render::NpcBody body;
        body.position = {row.x, 64.0, 8.5};
        body.motion.angles = {0.0, row.a2, row.a3};
        std::vector<render::MeshVertex> expected;
        render::emitBoxFigure(expected, body);
        const std::vector<render::MeshVertex> drawn = build();
        ASSERT_EQ(drawn.size(), expected.size()) << row.what;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_NEAR(drawn[i].x, expected[i].x, 1e-5) << row.what << " vertex " << i;
            EXPECT_NEAR(drawn[i].y, expected[i].y, 1e-5) << row.what << " vertex " << i;
            EXPECT_NEAR(drawn[i].z, expected[i].z, 1e-5) << row.what << " vertex " << i;
        }
    }
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
