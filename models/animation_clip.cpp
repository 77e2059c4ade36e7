#include "models/animation_clip.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "content/text.h"
#include "models/rig.h"

namespace bbanim {
namespace {

using content::Json;

const std::array<const char*, 3> kChannelNames = {"position", "rotation", "scale"};
const std::array<const char*, 3> kLoopModes = {"once", "loop", "hold"};
const std::array<const char*, 4> kInterpolations = {"linear", "step", "catmullrom", "bezier"};

template <std::size_t N>
int32_t indexOf(const std::array<const char*, N>& names, const std::string& text) {
    for (std::size_t i = 0; i < N; ++i)
        if (text == names[i]) return static_cast<int32_t>(i);
    return -1;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// A decimal number, sign included, that takes the whole text apart from surrounding white space.
double parseNumberText(const std::string& text) {
    const char* molang = "Animation values must be numbers; Molang expressions are unsupported";
    std::size_t used = 0;
    double value = 0.0;
    try {
        value = content::parseDouble(text, &used);
    } catch (const std::runtime_error&) {
        throw std::runtime_error(molang);
    }
    while (used < text.size() && isSpace(text[used])) ++used;
    if (used != text.size()) throw std::runtime_error(molang);
    return value;
}

std::string stringMember(const Json& object, const char* key, const std::string& fallback) {
    return content::jsonStringOr(Json::find(object, key), fallback);
}

std::string readClipName(const Json& animation) {
    std::string name = stringMember(animation, "name", "");
    if (name.empty() || name.size() > maxClipNameBytes) throw std::runtime_error("Invalid animation name");
    return name;
}

std::string readLoopMode(const Json& animation) {
    std::string loop = stringMember(animation, "loop", "once");
    if (indexOf(kLoopModes, loop) < 0) throw std::runtime_error("Unknown animation loop mode");
    return loop;
}

double readSeconds(const Json& value, const char* message) {
    const double seconds = parseNumber(value, 0.0);
    if (seconds < 0.0 || seconds > maxAnimationSeconds) throw std::runtime_error(message);
    return seconds;
}

// Playback expressions and delays are not supported; only their neutral values pass.
void checkNoExpressions(const Json& animation) {
    for (const char* key : {"anim_time_update", "blend_weight", "start_delay", "loop_delay"}) {
        const std::string text = stringMember(animation, key, "");
        const bool neutral =
            text.empty() || text == "0" || (text == "1" && std::string(key) == "blend_weight");
        if (!neutral) throw std::runtime_error("Animation expressions/delays are unsupported");
    }
}

uint32_t readChannel(const Json& key) {
    const int32_t channel = indexOf(kChannelNames, stringMember(key, "channel", ""));
    if (channel < 0)
        throw std::runtime_error("Only position, rotation and scale animation channels are supported");
    return static_cast<uint32_t>(channel);
}

std::string readInterpolation(const Json& key) {
    std::string mode = stringMember(key, "interpolation", "linear");
    if (indexOf(kInterpolations, mode) < 0) throw std::runtime_error("Unsupported animation interpolation");
    return mode;
}

void readDataPoints(const Json& key, uint32_t channel, Keyframe& out) {
    const Json& points = Json::find(key, "data_points");
    if (points.tag != content::JsonArray || points.items.empty() || points.items.size() > 2)
        throw std::runtime_error("Keyframes need one or two data points");
    out.pre = readPoint(channel, points.items.front());
    out.post = readPoint(channel, points.items.back());
}

Keyframe readKeyframe(const Json& key, uint32_t channel) {
    Keyframe out;
    out.time = readSeconds(Json::find(key, "time"), "Keyframe time: 0..120 seconds");
    out.interpolation = readInterpolation(key);
    readDataPoints(key, channel, out);
    out.leftTime = content::readAnimationVec3(Json::find(key, "bezier_left_time"), {});
    out.rightTime = content::readAnimationVec3(Json::find(key, "bezier_right_time"), {});
    out.leftValue = content::readAnimationVec3(Json::find(key, "bezier_left_value"), {});
    out.rightValue = content::readAnimationVec3(Json::find(key, "bezier_right_value"), {});
    return out;
}

uint32_t animatedBone(const Rig& rig, const std::string& uuid, const Json& animator) {
    const auto found = rig.boneIndexByUuid.find(uuid);
    if (found == rig.boneIndexByUuid.end())
        throw std::runtime_error("Animation references unknown bone or unsupported effect");
    for (const char* flag : {"rotation_global", "quaternion_interpolation"})
        if (content::getBool(Json::find(animator, flag), false))
            throw std::runtime_error("Use local Euler rotation for NPC animations");
    return found->second;
}

void readAnimator(const Rig& rig, const std::string& uuid, const Json& animator, Clip& clip,
                  std::size_t& keyCount) {
    const Json& keys = Json::find(animator, "keyframes");
    if (keys.tag != content::JsonArray || keys.items.empty()) return;
    BoneTrack& track = clip.tracks[animatedBone(rig, uuid, animator)];
    for (const Json& key : keys.items) {
        if (++keyCount > maxClipKeyframes) throw std::runtime_error("Animation exceeds 8192 keyframes");
        const uint32_t channel = readChannel(key);
        Keyframe frame = readKeyframe(key, channel);
        clip.length = std::max(clip.length, frame.time);
        track.channels[channel].push_back(std::move(frame));
    }
}

void sortChannels(Clip& clip) {
    const auto earlier = [](const Keyframe& a, const Keyframe& b) { return a.time < b.time; };
    const auto sameTime = [](const Keyframe& a, const Keyframe& b) { return a.time == b.time; };
    for (BoneTrack& track : clip.tracks) {
        for (std::vector<Keyframe>& keys : track.channels) {
            std::stable_sort(keys.begin(), keys.end(), earlier);
            if (std::adjacent_find(keys.begin(), keys.end(), sameTime) != keys.end())
                throw std::runtime_error("Duplicate keyframe time in channel");
        }
    }
}

double sampleTime(const Clip& clip, double time, bool loop) {
    if (clip.length <= 0.0 || !loop) return std::clamp(time, 0.0, std::max(clip.length, 0.0));
    return std::fmod(std::max(time, 0.0), clip.length);
}

bool either(const Keyframe& prev, const Keyframe& next, const char* mode) {
    return prev.interpolation == mode || next.interpolation == mode;
}

Vec3 catmullRom(const std::vector<Keyframe>& keys, std::size_t i, double f, bool loop) {
    const std::size_t n = keys.size();
    const bool wrap = loop && n > 2;
    const Vec3& p1 = keys[i - 1].post;
    const Vec3& p2 = keys[i].pre;
    const Vec3& p0 = i >= 2 ? keys[i - 2].post : (wrap ? keys[n - 2].post : p1);
    const Vec3& p3 = i + 1 < n ? keys[i + 1].pre : (wrap ? keys[1].pre : p2);
    Vec3 out{};
    for (std::size_t a = 0; a < 3; ++a) {
        out[a] = 0.5 * (2.0 * p1[a] + (p2[a] - p0[a]) * f +
                        (2.0 * p0[a] - 5.0 * p1[a] + 4.0 * p2[a] - p3[a]) * f * f +
                        (3.0 * p1[a] - p0[a] - 3.0 * p2[a] + p3[a]) * f * f * f);
    }
    return out;
}

double bezierTimeCurve(double s, double h1, double h2) {
    const double r = 1.0 - s;
    return 3.0 * r * r * s * h1 + 3.0 * r * s * s * h2 + s * s * s;
}

// The curve parameter whose time coordinate is f.
double solveBezierTime(double f, double h1, double h2) {
    double lo = 0.0;
    double hi = 1.0;
    for (int step = 0; step < 24; ++step) {
        const double mid = (lo + hi) / 2.0;
        if (bezierTimeCurve(mid, h1, h2) < f)
            lo = mid;
        else
            hi = mid;
    }
    return (lo + hi) / 2.0;
}

Vec3 bezier(const Keyframe& prev, const Keyframe& next, double f) {
    const double d = next.time - prev.time;
    Vec3 out{};
    for (std::size_t a = 0; a < 3; ++a) {
        const double h1 = std::clamp(prev.rightTime[a], 0.0, d) / d;
        const double h2 = 1.0 + std::clamp(next.leftTime[a], -d, 0.0) / d;
        const double s = solveBezierTime(f, h1, h2);
        const double r = 1.0 - s;
        const double p1 = prev.post[a];
        const double p2 = next.pre[a];
        out[a] = r * r * r * p1 + 3.0 * r * r * s * (p1 + prev.rightValue[a]) +
                 3.0 * r * s * s * (p2 + next.leftValue[a]) + s * s * s * p2;
    }
    return out;
}

Vec3 linear(const Vec3& from, const Vec3& to, double f) {
    return {from[0] + (to[0] - from[0]) * f, from[1] + (to[1] - from[1]) * f,
            from[2] + (to[2] - from[2]) * f};
}

}  // namespace

double parseNumber(const Json& value, double fallback) {
    double number = fallback;
    if (value.tag == content::JsonNumber)
        number = value.number;
    else if (value.tag == content::JsonString)
        number = parseNumberText(value.text);
    else if (value.tag != content::JsonNull)
        throw std::runtime_error("Invalid animation number");
    if (!std::isfinite(number) || std::fabs(number) > maxAnimationValue)
        throw std::runtime_error("Animation value exceeds bounds");
    return number;
}

Vec3 readPoint(uint32_t channel, const Json& point) {
    const double fallback = channel == ChannelScale ? 1.0 : 0.0;
    return {parseNumber(Json::find(point, "x"), fallback), parseNumber(Json::find(point, "y"), fallback),
            parseNumber(Json::find(point, "z"), fallback)};
}

Clip readAnimations(const Rig& rig, const Json& animation) {
    Clip clip;
    clip.name = readClipName(animation);
    clip.loop = readLoopMode(animation);
    clip.length = readSeconds(Json::find(animation, "length"), "Animation length: 0..120 seconds");
    checkNoExpressions(animation);
    clip.tracks.resize(rig.bones.size());
    std::size_t keyCount = 0;
    const Json& animators = Json::find(animation, "animators");
    for (const auto& [uuid, animator] : animators.members) readAnimator(rig, uuid, animator, clip, keyCount);
    if (keyCount == 0) throw std::runtime_error("Animation contains no transform keyframes");
    sortChannels(clip);
    return clip;
}

std::vector<BonePose> sampleClip(const Rig& rig, int32_t clipIndex, double time, bool forceLoop) {
    std::vector<BonePose> poses(rig.bones.size());
    if (clipIndex < 0 || static_cast<std::size_t>(clipIndex) >= rig.clips.size()) return poses;
    const Clip& clip = rig.clips[static_cast<std::size_t>(clipIndex)];
    const bool loop = forceLoop || clip.loop == "loop";
    const double t = sampleTime(clip, time, loop);
    const std::size_t bones = std::min(poses.size(), clip.tracks.size());
    for (std::size_t b = 0; b < bones; ++b) {
        const BoneTrack& track = clip.tracks[b];
        poses[b].position = interpolateKeyframes(track.channels[ChannelPosition], t, {0.0, 0.0, 0.0}, loop);
        poses[b].rotation = interpolateKeyframes(track.channels[ChannelRotation], t, {0.0, 0.0, 0.0}, loop);
        poses[b].scale = interpolateKeyframes(track.channels[ChannelScale], t, {1.0, 1.0, 1.0}, loop);
    }
    return poses;
}

Vec3 interpolateKeyframes(const std::vector<Keyframe>& keys, double time, const Vec3& fallback, bool loop) {
    if (keys.empty()) return fallback;
    const auto found = std::lower_bound(keys.begin(), keys.end(), time,
                                        [](const Keyframe& key, double t) { return key.time < t; });
    if (found == keys.end()) return keys.back().post;
    if (found->time == time || found == keys.begin()) return found->pre;
    const std::size_t i = static_cast<std::size_t>(found - keys.begin());
    const Keyframe& prev = keys[i - 1];
    const Keyframe& next = keys[i];
    const double f = (time - prev.time) / (next.time - prev.time);
    if (prev.interpolation == "step") return prev.post;
    if (either(prev, next, "catmullrom")) return catmullRom(keys, i, f, loop);
    if (either(prev, next, "bezier")) return bezier(prev, next, f);
    return linear(prev.post, next.pre, f);
}

}  // namespace bbanim

namespace content {

bbanim::Vec3 readAnimationVec3(const Json& value, const bbanim::Vec3& fallback) {
    if (value.tag == JsonNull) return fallback;
    if (value.tag != JsonArray || value.items.size() != 3)
        throw std::runtime_error("Expected three animation coordinates");
    return {bbanim::parseNumber(value.items[0], 0.0), bbanim::parseNumber(value.items[1], 0.0),
            bbanim::parseNumber(value.items[2], 0.0)};
}

}  // namespace content
