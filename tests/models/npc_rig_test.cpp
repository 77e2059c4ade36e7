#include "adventure/npc_rig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "adventure/npc.h"
#include "content/mobs.h"
#include "models/blockbench_model.h"
#include "support/failure.h"
#include "support/fresh_registry.h"
#include "support/temp_dir.h"

namespace {

using content::parseJsonText;
using testsupport::failureOf;

const std::array<std::string, 3> kPartNames = {"head", "left_arm", "right_arm"};

TEST(NpcElementPart, NamesLegsThenGroups) {
    const std::map<std::string, uint32_t> groups = {{"inside-arm-group", 2}};
    const std::pair<const char*, uint32_t> cases[] = {
        {R"({"name": "head"})", 1},
        {R"({"name": "right_arm", "uuid": "inside-arm-group"})", 3},
        {R"({"name": "left_leg"})", 4},
        {R"({"name": "right_leg"})", 5},
        {R"({"name": "shoe", "from": [0, 0, -4], "to": [4, 4, 0]})", 4},
        {R"({"name": "shoe", "from": [0, 0, 0], "to": [4, 4, 4]})", 5},
        {R"({"name": "shoe", "from": [0, 0, -2], "to": [4, 4, 2]})", 5},
        {R"({"name": "leg", "from": [0, 0, -0.5], "to": [4, 4, 0.25]})", 4},
        {R"({"name": "leg", "from": [0, 0], "to": [4, 4, -1]})", 4},
        {R"({"name": "leg", "from": [0, 0, "x"], "to": [4, 4, -1]})", 4},
        {R"({"name": "leg", "to": [4, 4]})", 5},
        {R"({"name": "tail", "uuid": "inside-arm-group"})", 2},
        {R"({"name": "tail", "uuid": "elsewhere"})", 0},
        {R"({"name": ""})", 0}};
    for (const auto& [element, expected] : cases) {
        SCOPED_TRACE(element);
        EXPECT_EQ(adventure::elementPart(parseJsonText(element), kPartNames, groups), expected);
    }
    EXPECT_EQ(adventure::elementPart(parseJsonText(R"({"name": ""})"), {"", "b", "c"}, groups), 0u);
}

// Two corners: (0, base, 0) and (width, height, depth).
std::vector<ModelVertex> box(float width, float height, float depth = 0, float base = 0) {
    return {{0, base, 0, 0, 0, 0, 1, 0}, {width, height, depth, 0, 0, 0, 1, 0}};
}

TEST(NpcFit, ScaleAndRadius) {
    const struct {
        const char* what;
        std::vector<ModelVertex> vertices;
        double height, scale, radius;
    } cases[] = {{"flat model counts 0.01 high", box(1, 1, 0, 1), 1.0, 100.0, 2.0},
                 {"ordinary", box(1.0f, 2.0f, 0.5f), 1.8, 0.9, std::hypot(1.0, 0.5) * 0.45 + 0.02},
                 {"thin clamps to 0.15", box(0.25f, 1), 1.0, 1.0, 0.15},
                 {"just above 0.15", box(0.28f, 1), 1.0, 1.0, 0.16},
                 {"just below 2.0", box(3.9f, 1), 1.0, 1.0, 1.97},
                 {"wide clamps to 2.0", box(4.0f, 1), 1.0, 1.0, 2.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const adventure::ModelFit fit = adventure::fitModel(c.vertices, c.height);
        EXPECT_NEAR(fit.scale, c.scale, 1e-6);
        EXPECT_NEAR(fit.radius, c.radius, 1e-6);
    }
}

// A cube with an up and a down face (twelve vertices), from and to in pixels.
std::string cube(const std::string& uuid, const std::string& name, const std::string& from,
                 const std::string& to) {
    const std::string face = R"({"texture": 0, "uv": [0, 0, 4, 4]})";
    return R"({"uuid": ")" + uuid + R"(", "name": ")" + name + R"(", "from": )" + from + R"(, "to": )" + to +
           R"(, "faces": {"up": )" + face + R"(, "down": )" + face + "}}";
}

std::string figure(const std::string& animations) {
    return R"({"outliner": [{"name": "head", "uuid": "gh", "children": ["h1", "h2"]},
                            {"uuid": "gx", "children": ["la"]}],
               "elements": [)" +
           cube("h1", "skull", "[-4, 24, -4]", "[4, 32, 4]") + "," +
           cube("h2", "nose", "[-1, 26, -5]", "[1, 28, -4]") + "," +
           cube("la", "left_arm", "[4, 12, -2]", "[8, 24, 2]") + "," +
           cube("s1", "shoe", "[-4, 0, -4]", "[0, 4, 0]") + "," +
           cube("s2", "shoe", "[0, 0, 0]", "[4, 4, 4]") + "," +
           cube("s3", "shoe", "[-2, 0, -2]", "[2, 4, 2]") + "," +
           cube("t", "torso", "[-4, 4, -2]", "[4, 24, 2]") + R"(], "animations": )" + animations + "}";
}

std::string clip(const std::string& name, const std::string& time) {
    return R"({"name": ")" + name +
           R"(", "animators": {"gh": {"keyframes": [{"channel": "rotation", "time": )" + time +
           R"(, "data_points": [{"x": 5}]}]}}})";
}

const std::string kAnimations = "[" + clip("idle", "0.5") + "," + clip("bad", "130") + "]";

class NpcRig : public testsupport::FreshRegistryTest {
   protected:
    // Writes the model's definition (and a broken one before it) and registers its block.
    void install(const std::string& model, bool dropVertex = false) {
        const std::filesystem::path content = dir.path() / "Content";
        testsupport::writeFile(content / "a" / "definition.json", "{broken");
        testsupport::writeFile(content / "npc" / "definition.json",
                               R"({"id": "test:npc", "model": "npc.bbmodel"})");
        testsupport::writeFile(content / "npc" / "npc.bbmodel", model);
        voxel::BlockDef def = testsupport::namedBlock("test:npc");
        def.textures = {"npc.png"};
        content::loadBlockbenchModel(def, parseJsonText(model));
        if (dropVertex) def.modelVertices.pop_back();
        voxel::registerBlock(13, def);
    }
    std::filesystem::path contentDir() const { return dir.path() / "Content"; }

    adventure::Npc npcWithClips(const std::array<std::string, 3>& clips) {
        adventure::Npc npc;
        npc.modelResource = "test:npc";
        npc.animationNames = clips;
        return npc;
    }

    testsupport::TempDir dir;
};

TEST_F(NpcRig, FitsPartsPivotsAndClips) {
    install(figure(kAnimations));
    adventure::Npc npc = npcWithClips({"idle", "", ""});
    npc.partPivots[2] = {7, 7, 7};
    adventure::loadRig(npc, contentDir());

    std::vector<uint32_t> parts;
    for (uint32_t part : {1u, 1u, 2u, 4u, 5u, 5u, 0u}) parts.insert(parts.end(), 12, part);
    EXPECT_EQ(npc.vertexParts, parts);
    EXPECT_NEAR(npc.modelScale, 0.91, 1e-9);
    EXPECT_NEAR(npc.modelCentreX, 0.125, 1e-9);
    EXPECT_NEAR(npc.modelCentreZ, -0.03125, 1e-9);
    EXPECT_NEAR(npc.modelBaseY, 0.0, 1e-9);
    EXPECT_NEAR(npc.collisionRadius, 0.9375 * 0.455 + 0.02, 1e-9);
    // The head hangs from its lowest vertex, the arm from its highest; no right arm keeps its pivot.
    const std::array<std::array<double, 3>, 3> pivots = {
        {{-0.11375, 1.375, -0.09953125}, {0.2275, 1.375, 0.0284375}, {7, 7, 7}}};
    for (std::size_t p = 0; p < 3; ++p)
        for (std::size_t a = 0; a < 3; ++a)
            EXPECT_NEAR(npc.partPivots[p][a], pivots[p][a], 1e-6) << p << "," << a;
    EXPECT_EQ(npc.rig.bones.size(), 9u);
    EXPECT_EQ(npc.rig.vertexBones.size(), parts.size());
    EXPECT_EQ(npc.animationClips, (std::array<int32_t, 3>{0, -1, -1}));
}

TEST_F(NpcRig, ClipNamesMustBindToLoadedClips) {
    install(figure(kAnimations));
    const struct {
        std::array<std::string, 3> names;
        std::string failure;
    } cases[] = {{{"", "", ""}, "(no failure)"},
                 {{"", "", "bad"}, "NPC animation bad: Keyframe time: 0..120 seconds"},
                 {{"idle", "walk", ""}, "NPC animation not found: walk"}};
    for (const auto& c : cases) {
        adventure::Npc npc = npcWithClips(c.names);
        EXPECT_EQ(failureOf([&] { adventure::loadRig(npc, contentDir()); }), c.failure);
    }
}

TEST_F(NpcRig, WithoutAnimationsNoRigAndNoClipMayBeNamed) {
    install(figure("[]"));
    adventure::Npc npc = npcWithClips({"", "", ""});
    adventure::loadRig(npc, contentDir());
    EXPECT_TRUE(npc.rig.bones.empty());
    EXPECT_EQ(npc.vertexParts.size(), 84u);
    npc = npcWithClips({"idle", "", ""});
    EXPECT_EQ(failureOf([&] { adventure::loadRig(npc, contentDir()); }), "NPC animation not found: idle");
    npc = npcWithClips({"", "", ""});
    npc.modelResource = "test:other";  // an unnamed model leaves the NPC unfitted
    adventure::loadRig(npc, contentDir());
    EXPECT_TRUE(npc.vertexParts.empty());
    EXPECT_EQ(npc.modelScale, 1.0);
}

TEST_F(NpcRig, GeometryMustMatchTheRegisteredModel) {
    install(figure("[]"), true);
    adventure::Npc npc = npcWithClips({"", "", ""});
    EXPECT_EQ(failureOf([&] { adventure::loadRig(npc, contentDir()); }), "NPC rig geometry mismatch");
}

TEST_F(NpcRig, MobModelBoundsScaleAndPivots) {
    install(figure(kAnimations));
    content::MobDef mob;
    mob.modelResource = "test:npc";
    mob.partPivots[0] = {9, 9, 9};
    adventure::prepareMobModel(mob, contentDir());
    EXPECT_EQ(mob.modelPartIndices.size(), 84u);
    EXPECT_EQ(mob.modelBounds, (std::array<double, 6>{-0.25, 0, -0.3125, 0.5, 2, 0.25}));
    EXPECT_NEAR(mob.modelScale, 0.475, 1e-6);  // min(1.4 / 0.75, 0.95 / 2)
    // Parts 1, 2, 4 and 5 (the two shoes at z >= 0 average their centres); part 3 has no vertices.
    const std::array<std::array<double, 3>, 6> expected = {{{0, 0, 0},
                                                            {0, 2, -0.140625},
                                                            {0.375, 1.5, 0},
                                                            {0, 0, 0},
                                                            {-0.125, 0.25, -0.125},
                                                            {0.0625, 0.25, 0.0625}}};
    for (std::size_t p = 0; p < 6; ++p)
        for (std::size_t a = 0; a < 3; ++a)
            EXPECT_NEAR(mob.partPivots[p][a], expected[p][a], 1e-6) << p << "," << a;
}

}  // namespace
