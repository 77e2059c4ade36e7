#include "models/rig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "models/blockbench_model.h"
#include "support/failure.h"

namespace {

using bbanim::Affine;
using content::parseJsonText;
using testsupport::failureOf;

// A cube with one textured face (six vertices).
std::string cube(const std::string& uuid, const std::string& extra = "") {
    return R"({"uuid": ")" + uuid + R"(", "name": ")" + uuid + R"(", "from": [0, 0, 0], "to": [4, 4, 4],
              "origin": [8, 16, 4], "faces": {"up": {"texture": 0, "uv": [0, 0, 4, 4]}})" +
           extra + "}";
}

std::string document(const std::string& outliner, const std::string& elements,
                     const std::string& animations = "[]") {
    return R"({"outliner": [)" + outliner + R"(], "elements": [)" + elements + R"(], "animations": )" +
           animations + "}";
}

// A clip named name whose one rotation key on bone uuid sits at time.
std::string clip(const std::string& name, const std::string& uuid, const std::string& time = "1") {
    return R"({"name": ")" + name + R"(", "loop": "loop", "animators": {")" + uuid +
           R"(": {"keyframes": [{"channel": "rotation", "time": )" + time +
           R"(, "data_points": [{"x": 10}]}]}}})";
}

voxel::BlockDef staticModel(const content::Json& doc) {
    voxel::BlockDef def;
    def.textures = {"a.png"};
    content::loadBlockbenchModel(def, doc);
    return def;
}

bbanim::Rig loadRig(const std::string& json) {
    const content::Json doc = parseJsonText(json);
    return bbanim::load(doc, staticModel(doc));
}

std::string rigFailure(const std::string& json) {
    return failureOf([&] { loadRig(json); });
}

void expectAffineNear(const Affine& got, const Affine& expected) {
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 4; ++c) EXPECT_NEAR(got[r][c], expected[r][c], 1e-9) << r << "," << c;
}

const std::string kNested = document(
    R"({"name": "body", "uuid": "g0", "children": [
         {"name": "arm", "uuid": "g1", "origin": [8, 16, 0], "rotation": [0, 90, 0], "children": ["e1"]}]})",
    cube("e1") + "," + cube("e2"), "[" + clip("idle", "g1") + "," + clip("wave", "e1") + "]");

TEST(Rig, BonesOfNestedGroupsThenElements) {
    const bbanim::Rig rig = loadRig(kNested);
    ASSERT_EQ(rig.bones.size(), 4u);
    const std::vector<std::string> uuids = {"g0", "g1", "e1", "e2"};
    const std::vector<int32_t> parents = {-1, 0, 1, -1};
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(rig.bones[i].uuid, uuids[i]);
        EXPECT_EQ(rig.bones[i].parent, parents[i]);
        EXPECT_EQ(rig.boneIndexByUuid.at(uuids[i]), i);
    }
    EXPECT_EQ(rig.clips.size(), 2u);
    EXPECT_TRUE(rig.rejectedClips.empty());
    std::vector<uint32_t> bones(6, 2);
    bones.insert(bones.end(), 6, 3);
    EXPECT_EQ(rig.vertexBones, bones);
}

TEST(Rig, RestTransformsComposeDownTheChain) {
    const bbanim::Rig rig = loadRig(kNested);
    // The arm turns 90 degrees about Y: x' = z, z' = -x.
    expectAffineNear(rig.bones[1].rest, {{{0, 0, 1, 8}, {0, 1, 0, 16}, {-1, 0, 0, 0}}});
    // The element's pivot is 4 pixels along the arm's z, which the arm turns onto x.
    expectAffineNear(rig.bones[2].rest, {{{0, 0, 1, 12}, {0, 1, 0, 16}, {-1, 0, 0, 0}}});
    for (const bbanim::Bone& bone : rig.bones)
        expectAffineNear(bbanim::composeTransform(bone.rest, bone.inverseRest), bbanim::identityAffine);
}

TEST(Rig, SamplesItsClipsPerBone) {
    const bbanim::Rig rig = loadRig(kNested);
    const std::vector<bbanim::BonePose> poses = bbanim::sampleClip(rig, 0, 0.5, false);
    ASSERT_EQ(poses.size(), 4u);
    EXPECT_EQ(poses[1].rotation, (bbanim::Vec3{10, 0, 0}));
    EXPECT_EQ(poses[2].rotation, (bbanim::Vec3{0, 0, 0}));
}

// levels groups, each inside the one before (depths 0 .. levels - 1). The nesting goes through the
// top-level "groups" list, which keeps the JSON itself shallow.
std::string nestedGroups(std::size_t levels) {
    std::string groups;
    for (std::size_t i = 0; i < levels; ++i) {
        const std::string child = i + 1 < levels ? R"({"uuid": "g)" + std::to_string(i + 1) + R"("})" : "";
        groups += std::string(i == 0 ? "" : ",") + R"({"uuid": "g)" + std::to_string(i) +
                  R"(", "children": [)" + child + "]}";
    }
    return R"({"uuid": "g0"}], "groups": [)" + groups;
}

std::string flatGroups(std::size_t count) {
    std::string outliner;
    for (std::size_t i = 0; i < count; ++i) outliner += std::string(i == 0 ? "" : ",") + R"({"name": "g"})";
    return outliner;
}

std::string clips(std::size_t count) {
    std::string list;
    for (std::size_t i = 0; i < count; ++i)
        list += std::string(i == 0 ? "" : ",") + clip("c" + std::to_string(i), "e1");
    return "[" + list + "]";
}

TEST(Rig, LimitsAndRefusals) {
    const std::string e1 = cube("e1");
    const struct {
        std::string json;
        std::string failure;
    } cases[] = {{document(nestedGroups(49), e1), ""},
                 {document(nestedGroups(50), e1), "NPC bone hierarchy is too deep"},
                 {document(R"({"name": "g", "scale": [1, 1, 1]})", e1), ""},
                 {document(R"({"name": "g", "scale": [1, 1, 1.0001]})", e1), "Rest bone scale must be 1"},
                 {document(R"("e1", {"name": "g", "children": ["e1"]})", e1),
                  "Element appears twice in animation hierarchy"},
                 {document(R"({"uuid": "g"}, {"uuid": "g"})", e1), "Duplicate animation bone UUID"},
                 {document(R"({"name": "a"}, {"name": "b"})", e1), ""},
                 {document("", cube("") + "," + cube("")), "Animated elements require unique UUIDs"},
                 {document(R"({"uuid": "e1"})", e1), "Animated elements require unique UUIDs"},
                 {document(flatGroups(255), e1), ""},
                 {document(flatGroups(256), e1), "NPC animation supports up to 256 bones/elements"},
                 {document("", e1, clips(64)), ""},
                 {document("", e1, clips(65)), "NPC model supports up to 64 animation clips"},
                 {document("", e1, "[" + clip("a", "e1") + "," + clip("a", "e1", "130") + "]"),
                  "Duplicate animation name"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 160));
        EXPECT_EQ(rigFailure(c.json), c.failure.empty() ? "(no failure)" : c.failure);
    }
}

TEST(Rig, FaultyClipsAreLeftOutHiddenElementsKeepTheirBoneAndGeometryMustMatch) {
    const bbanim::Rig rig = loadRig(
        document("", cube("e1", R"(, "visibility": false)") + "," + cube("e2"),
                 "[" + clip("a", "e1") + "," + clip("late", "e1", "130") + "," + clip("b", "e1") + "]"));
    ASSERT_EQ(rig.clips.size(), 2u);
    EXPECT_EQ(rig.clips[1].name, "b");
    EXPECT_EQ(rig.rejectedClips,
              (std::map<std::string, std::string>{{"late", "Keyframe time: 0..120 seconds"}}));
    EXPECT_EQ(rig.bones.size(), 2u);
    EXPECT_EQ(rig.vertexBones, std::vector<uint32_t>(6, 1));
    const content::Json doc = parseJsonText(document("", cube("e1")));
    voxel::BlockDef def = staticModel(doc);
    def.modelVertices.pop_back();
    EXPECT_EQ(failureOf([&] { bbanim::load(doc, def); }), "Animated NPC geometry mismatch");
}

}  // namespace
