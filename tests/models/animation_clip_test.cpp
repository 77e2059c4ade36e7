#include "models/animation_clip.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "models/rig.h"
#include "support/failure.h"

namespace {

using bbanim::Keyframe;
using bbanim::Vec3;
using content::parseJsonText;
using testsupport::failureOf;

Keyframe key(double time, double pre, double post, const std::string& mode = "linear") {
    Keyframe k;
    k.time = time;
    k.pre = {pre, pre, pre};
    k.post = {post, post, post};
    k.interpolation = mode;
    return k;
}
Keyframe key(double time, double value, const std::string& mode = "linear") {
    return key(time, value, value, mode);
}

Keyframe bezierKey(double time, double value, double leftTime, double leftValue, double rightTime,
                   double rightValue) {
    Keyframe k = key(time, value, "bezier");
    k.leftTime = {leftTime, leftTime, leftTime};
    k.leftValue = {leftValue, leftValue, leftValue};
    k.rightTime = {rightTime, rightTime, rightTime};
    k.rightValue = {rightValue, rightValue, rightValue};
    return k;
}

TEST(InterpolateKeyframes, MatchesHandComputedValues) {
    const std::vector<Keyframe> jump = {key(0, 0), key(1, 10, 20), key(2, 30)};
    const std::vector<Keyframe> ramp = {key(0, 0, "catmullrom"), key(1, 1, "catmullrom"),
                                        key(2, 3, "catmullrom"), key(3, 6, "catmullrom")};
    const std::vector<Keyframe> pair = {key(0, 0, "catmullrom"), key(1, 10, "catmullrom")};
    const std::vector<Keyframe> mixed = {bezierKey(0, 0, 0, 0, 0, 0), key(1, 10, "catmullrom")};
    const std::vector<Keyframe> straight = {bezierKey(0, 0, 0, 0, 0, 0), bezierKey(2, 10, 0, 0, 0, 0)};
    const std::vector<Keyframe> thirds = {bezierKey(0, 0, 0, 0, 1.0 / 3, 3),
                                          bezierKey(1, 10, -1.0 / 3, 0, 0, 0)};
    const std::vector<Keyframe> beyond = {bezierKey(0, 0, 0, 0, 5, 3), bezierKey(1, 10, 2, -3, 0, 0)};
    const struct {
        const char* what;
        std::vector<Keyframe> keys;
        double time;
        bool loop;
        double expected;
    } cases[] = {{"no keys: default", {}, 1.0, false, 7.0},
                 {"single key before", {key(1, 1, 2)}, 0.0, false, 1.0},
                 {"single key at", {key(1, 1, 2)}, 1.0, false, 1.0},
                 {"single key after", {key(1, 1, 2)}, 1.5, false, 2.0},
                 {"linear quarter", {key(0, 0), key(2, 8)}, 0.5, false, 2.0},
                 {"jump: segment before ends at pre", jump, 0.5, false, 5.0},
                 {"jump: at the key its pre", jump, 1.0, false, 10.0},
                 {"jump: segment after starts at post", jump, 1.5, false, 25.0},
                 {"step holds prev post", {key(0, 1, 3, "step"), key(2, 5)}, 1.99, false, 3.0},
                 {"step: next pre at its time", {key(0, 1, 3, "step"), key(2, 5)}, 2.0, false, 5.0},
                 {"step only counts on prev", {key(0, 0), key(2, 8, "step")}, 1.0, false, 4.0},
                 {"catmullrom two keys, f .25", pair, 0.25, false, 2.03125},
                 {"catmullrom two keys loop: no wrap", pair, 0.25, true, 2.03125},
                 {"catmullrom just after first key", pair, 1e-9, false, 0.0},
                 {"catmullrom interior", ramp, 1.5, false, 1.875},
                 {"catmullrom first segment", ramp, 0.5, false, 0.375},
                 {"catmullrom first segment loop: P0 of key n-2", ramp, 0.5, true, 0.1875},
                 {"catmullrom last segment", ramp, 2.5, false, 4.625},
                 {"catmullrom last segment loop: P3 of key 1", ramp, 2.5, true, 4.9375},
                 {"catmullrom from next beats bezier of prev", mixed, 0.25, false, 2.03125},
                 {"bezier zero handles: straight, half", straight, 1.0, false, 5.0},
                 {"bezier zero handles: straight, quarter", straight, 0.5, false, 2.5},
                 {"bezier thirds with value handles", thirds, 0.5, false, 6.125},
                 {"bezier handle beyond span clamps to span", beyond, 0.5, false, 1.9668137}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Vec3 got = bbanim::interpolateKeyframes(c.keys, c.time, {7.0, 7.0, 7.0}, c.loop);
        EXPECT_NEAR(got[0], c.expected, 1e-5);
        EXPECT_NEAR(got[2], c.expected, 1e-5);
    }
}

// A rig of one bone "b" whose single clip moves x from 0 to 20 over two seconds.
bbanim::Rig movingRig(const std::string& loop, double length) {
    bbanim::Rig rig;
    rig.bones.resize(2);
    rig.boneIndexByUuid["b"] = 0;
    bbanim::Clip clip;
    clip.name = "move";
    clip.loop = loop;
    clip.length = length;
    clip.tracks.resize(2);
    clip.tracks[0].channels[bbanim::ChannelPosition] = {key(0, 0), key(2, 20)};
    rig.clips.push_back(clip);
    return rig;
}

TEST(SampleClip, WrapsOrClampsTheTime) {
    const struct {
        const char* loop;
        double length;
        int32_t clip;
        double time;
        bool forceLoop;
        double expectedX;
    } cases[] = {{"loop", 2, 0, 5.0, false, 10.0}, {"once", 2, 0, 5.0, false, 20.0},
                 {"hold", 2, 0, 5.0, false, 20.0}, {"loop", 2, 0, -1.0, false, 0.0},
                 {"once", 2, 0, -1.0, false, 0.0}, {"once", 2, 0, 5.0, true, 10.0},
                 {"loop", 0, 0, 5.0, false, 0.0},  {"once", 2, -1, 1.0, false, 0.0},
                 {"once", 2, 1, 1.0, false, 0.0},  {"once", 2, 0, 1.0, false, 10.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.loop) + " clip " + std::to_string(c.clip) + " at " +
                     std::to_string(c.time));
        const std::vector<bbanim::BonePose> poses =
            bbanim::sampleClip(movingRig(c.loop, c.length), c.clip, c.time, c.forceLoop);
        ASSERT_EQ(poses.size(), 2u);
        EXPECT_NEAR(poses[0].position[0], c.expectedX, 1e-9);
        EXPECT_EQ(poses[1].position, (Vec3{0, 0, 0}));
    }
}

TEST(ParseNumber, AcceptsNumbersAndNumericStringsOnly) {
    const std::string molang = "Animation values must be numbers; Molang expressions are unsupported",
                      invalid = "Invalid animation number", bounds = "Animation value exceeds bounds";
    const std::pair<const char*, std::string> cases[] = {{"2.5", "2.5"},         {"null", "9"},
                                                         {"\"1.5\"", "1.5"},     {"\"-3 \"", "-3"},
                                                         {"\"1.5x\"", molang},   {"\"q.anim_time\"", molang},
                                                         {"\"\"", molang},       {"\"1e400\"", molang},
                                                         {"true", invalid},      {"[1]", invalid},
                                                         {"100000", "100000"},   {"-100000", "-100000"},
                                                         {"100000.001", bounds}, {"\"-100000.001\"", bounds},
                                                         {"\"+1.5\"", "1.5"},    {"\" +2 \"", "2"},
                                                         {"\"+-1\"", molang},    {"\"+\"", molang}};
    for (const auto& [json, expected] : cases) {
        SCOPED_TRACE(json);
        std::ostringstream got;
        const std::string failure = failureOf([&] { got << bbanim::parseNumber(parseJsonText(json), 9.0); });
        EXPECT_EQ(failure == "(no failure)" ? got.str() : failure, expected);
    }
}

TEST(ReadAnimationVec3, TakesNullOrExactlyThreeNumbers) {
    EXPECT_EQ(content::readAnimationVec3(parseJsonText("null"), {4, 5, 6}), (Vec3{4, 5, 6}));
    EXPECT_EQ(content::readAnimationVec3(parseJsonText(R"(["1", 2, null])"), {4, 5, 6}), (Vec3{1, 2, 0}));
    for (const char* bad : {"[1, 2]", "[1, 2, 3, 4]", "{}", "\"1 2 3\"", "0"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(failureOf([&] { content::readAnimationVec3(parseJsonText(bad), {}); }),
                  "Expected three animation coordinates");
    }
}

// A rig of two bones with uuids "b0" and "b1".
bbanim::Rig twoBoneRig() {
    bbanim::Rig rig;
    rig.bones.resize(2);
    rig.boneIndexByUuid = {{"b0", 0}, {"b1", 1}};
    return rig;
}

// A position key at 0.5 s; each override replaces or adds one member ("key": value).
std::string keyJson(const std::map<std::string, std::string>& overrides = {}) {
    std::map<std::string, std::string> members = {
        {"channel", "\"position\""}, {"time", "0.5"}, {"data_points", R"([{"x": 1, "y": 2, "z": 3}])"}};
    for (const auto& [name, value] : overrides) members[name] = value;
    std::string json;
    for (const auto& [name, value] : members) json += (json.empty() ? "{\"" : ", \"") + name + "\": " + value;
    return json + "}";
}

// A clip "walk" of one second animating bone "b1" with keys; overrides as for keyJson.
std::string animation(const std::map<std::string, std::string>& overrides, const std::string& keys) {
    std::map<std::string, std::string> members = {{"name", "\"walk\""}, {"length", "1"}};
    for (const auto& [name, value] : overrides) members[name] = value;
    std::string json = R"({"animators": {"b1": {"keyframes": [)" + keys + "]}}";
    for (const auto& [name, value] : members) json += ", \"" + name + "\": " + value;
    return json + "}";
}

bbanim::Clip readClip(const std::string& json) {
    return bbanim::readAnimations(twoBoneRig(), parseJsonText(json));
}
std::string readFailure(const std::string& json) {
    return failureOf([&] { readClip(json); });
}

std::string manyKeys(std::size_t count) {
    std::string keys;
    for (std::size_t i = 0; i < count; ++i)
        keys += std::string(i == 0 ? "" : ",") + R"({"channel": "rotation", "time": )" +
                std::to_string(i * 0.01) + R"(, "data_points": [{"x": 0}]})";
    return keys;
}

TEST(ReadAnimations, RefusesWhatItCannotPlay) {
    const std::string key = keyJson(),
                      molang = "Animation values must be numbers; Molang expressions are unsupported",
                      delays = "Animation expressions/delays are unsupported",
                      length = "Animation length: 0..120 seconds",
                      points = "Keyframes need one or two data points",
                      euler = "Use local Euler rotation for NPC animations", name160(160, 'n');
    const auto clipWith = [&](const std::string& name, const std::string& value) {
        return animation({{name, value}}, key);
    };
    const auto keyWith = [&](const std::string& name, const std::string& value) {
        return animation({}, keyJson({{name, value}}));
    };
    const auto onB0 = [&](const std::string& animator) {
        return R"({"name": "a", "animators": {"b0": {)" + animator + R"("keyframes": [)" + key + "]}}}";
    };
    const struct {
        std::string json;
        std::string failure;
    } cases[] = {{clipWith("name", R"("")"), "Invalid animation name"},
                 {clipWith("name", "\"" + name160 + "\""), ""},
                 {clipWith("name", "\"" + name160 + "n\""), "Invalid animation name"},
                 {clipWith("loop", "true"), ""},
                 {clipWith("loop", R"("pingpong")"), "Unknown animation loop mode"},
                 {clipWith("length", "120"), ""},
                 {clipWith("length", "120.001"), length},
                 {clipWith("length", "-0.001"), length},
                 {clipWith("blend_weight", R"("1")"), ""},
                 {clipWith("blend_weight", R"("0.5")"), delays},
                 {animation({{"start_delay", R"("0")"}, {"loop_delay", "0"}}, key), ""},
                 {clipWith("start_delay", R"("1")"), delays},
                 {clipWith("anim_time_update", R"("q.life_time")"), delays},
                 {keyWith("channel", R"("timeline")"),
                  "Only position, rotation and scale animation channels are supported"},
                 {keyWith("time", "120"), ""},
                 {keyWith("time", "120.001"), "Keyframe time: 0..120 seconds"},
                 {keyWith("time", R"("1.5")"), ""},
                 {keyWith("time", R"("2*q.x")"), molang},
                 {keyWith("time", "true"), "Invalid animation number"},
                 {keyWith("interpolation", R"("smooth")"), "Unsupported animation interpolation"},
                 {keyWith("data_points", "[]"), points},
                 {keyWith("data_points", "[{}, {}, {}]"), points},
                 {keyWith("bezier_left_time", "[1, 2]"), "Expected three animation coordinates"},
                 {animation({}, key + "," + key), "Duplicate keyframe time in channel"},
                 {animation({}, key + "," + keyJson({{"channel", R"("scale")"}})), ""},
                 {animation({}, manyKeys(8192)), ""},
                 {animation({}, manyKeys(8193)), "Animation exceeds 8192 keyframes"},
                 {R"({"name": "a", "animators": {"b0": {"keyframes": []}}})",
                  "Animation contains no transform keyframes"},
                 {R"({"name": "a", "animators": {"fx": {"keyframes": [)" + key + "]}}}",
                  "Animation references unknown bone or unsupported effect"},
                 {R"({"name": "a", "animators": {"fx": {}, "b0": {"keyframes": [)" + key + "]}}}", ""},
                 {onB0(R"("rotation_global": true, )"), euler},
                 {onB0(R"("quaternion_interpolation": true, )"), euler}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 120));
        EXPECT_EQ(readFailure(c.json), c.failure.empty() ? "(no failure)" : c.failure);
    }
}

TEST(ReadAnimations, FillsTheTrackOfTheAnimatedBone) {
    const bbanim::Clip clip = readClip(R"({"name": "wave", "loop": "loop", "animators": {"b1": {"keyframes": [
        {"channel": "scale", "time": 1, "interpolation": "step", "data_points": [{"x": 2}, {"y": "3"}],
         "bezier_right_value": [1, 2, 3]},
        {"channel": "scale", "time": 0.5, "data_points": [{}]}]}}})");
    EXPECT_EQ(clip.loop, "loop");
    EXPECT_EQ(clip.length, 1.0);  // grows to the latest key
    ASSERT_EQ(clip.tracks.size(), 2u);
    EXPECT_TRUE(clip.tracks[0].channels[bbanim::ChannelScale].empty());
    const std::vector<Keyframe>& keys = clip.tracks[1].channels[bbanim::ChannelScale];
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].time, 0.5);  // sorted by time
    EXPECT_EQ(keys[0].pre, (Vec3{1, 1, 1}));
    EXPECT_EQ(keys[1].pre, (Vec3{2, 1, 1}));
    EXPECT_EQ(keys[1].post, (Vec3{1, 3, 1}));
    EXPECT_EQ(keys[1].interpolation, "step");
    EXPECT_EQ(keys[1].rightValue, (Vec3{1, 2, 3}));
}

}  // namespace
