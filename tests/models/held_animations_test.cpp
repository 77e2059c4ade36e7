#include "models/held_animations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "support/failure.h"

namespace {

using content::parseJsonText;
using testsupport::failureOf;

// Only the first-person slot is authored.
voxel::BlockDef firstPersonAuthored() {
    voxel::BlockDef def;
    def.firstPersonDisplay.authored = true;
    return def;
}

std::string heldFailure(const std::string& document) {
    voxel::BlockDef def = firstPersonAuthored();
    return failureOf([&] { bbanim::loadHeldAnimations(def, parseJsonText(document)); });
}

// One first-person clip of the given action.
std::string clipDocument(const std::string& action, const std::string& clip) {
    return R"({"held_animations": {"firstperson_righthand": {")" + action + R"(": )" + clip + "}}}";
}

std::string keysAt(const std::string& duration, const std::string& times) {
    std::string keys;
    std::size_t start = 0;
    while (start <= times.size()) {
        const std::size_t end = std::min(times.find(' ', start), times.size());
        keys +=
            std::string(keys.empty() ? "" : ", ") + R"({"time": )" + times.substr(start, end - start) + "}";
        start = end + 1;
    }
    return clipDocument("use", R"({"duration": )" + duration + R"(, "keyframes": [)" + keys + "]}");
}

std::string poseDocument(const std::string& name, const std::string& value) {
    return clipDocument("use", R"({"keyframes": [{"time": 0, ")" + name + R"(": )" + value + "}]}");
}

std::string manyKeys(int count) {
    std::string times;
    for (int i = 0; i < count; ++i) times += (i == 0 ? "" : " ") + std::to_string(i * 0.01);
    return keysAt("10", times);
}

TEST(HeldAnimations, EveryFaultHasItsMessageAndEachLimitPassesAtItsEdge) {
    const std::string ok = "(no failure)", times = "Held key times must be sorted and unique",
                      bounds = "Held pose exceeds bounds", duration = "Held duration: .05..10 seconds";
    const struct {
        std::string document, message;
    } cases[] = {
        {R"({"held_bow_deformation": 1})", "Invalid bow deformation flag"},
        {R"({"held_animations": []})", "Invalid held animations"},
        {R"({"held_animations": {"firstperson_righthand": 3}})", "Invalid held animation view"},
        {R"({"held_animations": {"thirdperson_righthand": {}}})",
         "Held animation needs authored Display slot"},
        {clipDocument("jump", "{}"), "Unknown held animation action"},
        {clipDocument("idle", "[]"), "Invalid held clip"},
        {clipDocument("idle", R"({"loop": "yes", "keyframes": [{"time": 0}]})"), "Invalid held loop"},
        {keysAt("0.049", "0"), duration},
        {keysAt("0.05", "0"), ok},
        {keysAt("10", "0"), ok},
        {keysAt("10.01", "0"), duration},
        {clipDocument("use", R"({"keyframes": []})"), "Held clip needs 1..128 keys"},
        {clipDocument("use", R"({"keyframes": {}})"), "Held clip needs 1..128 keys"},
        {manyKeys(128), ok},
        {manyKeys(129), "Held clip needs 1..128 keys"},
        {keysAt("1", "0 0.5 0.5"), times},
        {keysAt("1", "0.5 0.25"), times},
        {keysAt("1", "0 1"), ok},
        {keysAt("1", "0 1.001"), times},
        {keysAt("1", "-0.001"), times},
        {keysAt("1", "\"0\""), times},
        {poseDocument("rotation", "[0, 1]"), "Held pose needs three coordinates"},
        {poseDocument("rotation", "[180, -180, 0]"), ok},
        {poseDocument("rotation", "[180.01, 0, 0]"), bounds},
        {poseDocument("translation", "[0, -16.01, 0]"), bounds},
        {poseDocument("scale", "[0, 2, 1]"), ok},
        {poseDocument("scale", "[1, -0.001, 1]"), bounds},
        {poseDocument("scale", "[2.01, 1, 1]"), bounds},
        {poseDocument("scale", "[1, true, 1]"), bounds}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        EXPECT_EQ(heldFailure(c.document), c.message);
    }
}

TEST(HeldAnimations, ClipsLandInTheirViewAndActionWithDefaultLoops) {
    voxel::BlockDef def = firstPersonAuthored();
    def.thirdPersonDisplay.authored = true;
    bbanim::loadHeldAnimations(def, parseJsonText(R"({"held_bow_deformation": true, "held_animations": {
        "firstperson_righthand": {"walk": {"keyframes": [{"time": 0}]}, "attack": {"keyframes": [{"time": 0}]}},
        "thirdperson_righthand": {"bow": {"duration": 2, "loop": true,
            "keyframes": [{"time": 0.5, "rotation": [1, 2, 3], "translation": [4, 5, 6], "scale": [0.5, 1, 2]}]}}}})"));
    EXPECT_TRUE(def.bowDeformation);
    EXPECT_TRUE(def.heldClips[0][1].loop);
    EXPECT_FALSE(def.heldClips[0][2].loop);
    EXPECT_TRUE(def.heldClips[0][0].keys.empty());
    const HeldClip& bow = def.heldClips[1][4];
    ASSERT_EQ(bow.keys.size(), 1u);
    EXPECT_TRUE(bow.loop);
    EXPECT_EQ(std::tuple(bow.duration, bow.keys[0].time), std::tuple(2.0, 0.5));
    const auto& key = bow.keys[0];
    EXPECT_EQ((std::array{key.rotation[2], key.translation[0], key.scale[0]}), (std::array{3.0f, 4.0f, 0.5f}));
}

TEST(HeldAnimations, SamplingInterpolatesWrapsAndClamps) {
    HeldClip clip;
    clip.duration = 1.0;
    clip.keys.resize(2);
    clip.keys[1].time = 0.5;
    clip.keys[1].rotation[0] = 10.0f;
    clip.keys[1].scale[1] = 3.0f;
    const struct {
        bool loop;
        double time;
        float rotation, scale;
    } cases[] = {{true, 0.0, 0, 1},    {true, 0.25, 5, 2},  {true, 0.5, 10, 3},        {true, 0.75, 10, 3},
                 {true, 0.999, 10, 3}, {true, 1.0, 0, 1},   {true, 1.25, 5, 2},        {true, -1.0, 0, 1},
                 {false, 1.25, 10, 3}, {false, -1.0, 0, 1}, {false, 0.125, 2.5f, 1.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        clip.loop = c.loop;
        const bbanim::HeldPose pose = bbanim::sampleHeldClip(clip, c.time);
        EXPECT_FLOAT_EQ(pose.rotation[0], c.rotation);
        EXPECT_FLOAT_EQ(pose.scale[1], c.scale);
    }
    EXPECT_EQ(bbanim::sampleHeldClip(HeldClip{}, 0.3).scale[2], 1.0f);
}

TEST(HeldAnimations, PoseScalesThenRotatesZYXAboutThePivotThenTranslates) {
    bbanim::HeldPose pose;
    pose.rotation = {0, 0, 90};
    pose.scale = {2, 2, 2};
    pose.translation = {16, 0, 0};
    // Offset (1, 0, 0) scaled to (2, 0, 0), turned to (0, 2, 0), plus pivot (1, 0, 0) and one block.
    EXPECT_THAT(bbanim::transformPoint({2, 0, 0}, {1, 0, 0}, pose),
                testing::Pointwise(testing::DoubleNear(1e-5), std::array{2.0, 2.0, 0.0}));
}

}  // namespace
