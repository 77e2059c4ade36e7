#include "models/held_animations.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

#include "models/display_settings.h"

namespace bbanim {
namespace {

using content::Float3;
using content::Json;

constexpr double kMinDuration = 0.05;
constexpr double kMaxDuration = 10.0;

// Key, default and bound of each vector of a held key.
struct HeldVectorKey {
    const char* key;
    Float3 fallback;
    float bound;
    float (HeldKey::*field)[3];
};
const std::array<HeldVectorKey, 3> kHeldVectors = {{
    {"rotation", {0.0f, 0.0f, 0.0f}, 180.0f, &HeldKey::rotation},
    {"translation", {0.0f, 0.0f, 0.0f}, 16.0f, &HeldKey::translation},
    {"scale", {1.0f, 1.0f, 1.0f}, 2.0f, &HeldKey::scale},
}};

void readBowDeformation(voxel::BlockDef& def, const Json& document) {
    const Json& flag = Json::find(document, "held_bow_deformation");
    if (flag.tag == content::JsonNull) return;
    if (flag.tag != content::JsonBool) throw std::runtime_error("Invalid bow deformation flag");
    def.bowDeformation = flag.boolean;
}

bool isHeldAction(const std::string& name) {
    return std::find(heldActionNames.begin(), heldActionNames.end(), name) != heldActionNames.end();
}

double readDuration(const Json& clip) {
    const double duration = Json::numberOr(Json::find(clip, "duration"), 1.0);
    if (!std::isfinite(duration) || duration < kMinDuration || duration > kMaxDuration)
        throw std::runtime_error("Held duration: .05..10 seconds");
    return duration;
}

// Idle and walk repeat unless told otherwise; the one-off actions play once.
bool readLoop(const Json& clip, std::size_t action) {
    const Json& loop = Json::find(clip, "loop");
    if (loop.tag == content::JsonNull) return action <= 1;
    if (loop.tag != content::JsonBool) throw std::runtime_error("Invalid held loop");
    return loop.boolean;
}

HeldKey readKey(const Json& entry, double duration, const HeldKey* previous) {
    HeldKey key;
    key.time = Json::numberOr(Json::find(entry, "time"), -1.0);
    const bool afterPrevious = previous == nullptr || key.time > previous->time;
    if (!std::isfinite(key.time) || key.time < 0.0 || key.time > duration || !afterPrevious)
        throw std::runtime_error("Held key times must be sorted and unique");
    for (const HeldVectorKey& vector : kHeldVectors) {
        const Float3 value = readHeldPose(entry, vector.key, vector.fallback, vector.bound);
        std::copy(value.begin(), value.end(), key.*vector.field);
    }
    return key;
}

void readClip(HeldClip& clip, const Json& source, std::size_t action) {
    if (source.tag != content::JsonObject) throw std::runtime_error("Invalid held clip");
    clip = HeldClip{};
    clip.duration = readDuration(source);
    clip.loop = readLoop(source, action);
    const Json& keys = Json::find(source, "keyframes");
    if (keys.tag != content::JsonArray || keys.items.empty() || keys.items.size() > maxHeldKeys)
        throw std::runtime_error("Held clip needs 1..128 keys");
    for (const Json& entry : keys.items)
        clip.keys.push_back(readKey(entry, clip.duration, clip.keys.empty() ? nullptr : &clip.keys.back()));
}

void readView(voxel::BlockDef& def, const Json& view, std::size_t viewIndex) {
    if (view.tag != content::JsonObject) throw std::runtime_error("Invalid held animation view");
    const HeldDisplay& display = viewIndex == 0 ? def.firstPersonDisplay : def.thirdPersonDisplay;
    if (!display.authored) throw std::runtime_error("Held animation needs authored Display slot");
    for (const auto& [name, clip] : view.members) {
        if (!isHeldAction(name)) throw std::runtime_error("Unknown held animation action");
    }
    for (std::size_t action = 0; action < heldActionNames.size(); ++action) {
        const Json& clip = Json::find(view, heldActionNames[action]);
        if (clip.tag != content::JsonNull) readClip(def.heldClips[viewIndex][action], clip, action);
    }
}

float lerp(float from, float to, float f) {
    return from + (to - from) * f;
}

}  // namespace

void loadHeldAnimations(voxel::BlockDef& def, const Json& document) {
    readBowDeformation(def, document);
    const Json& animations = Json::find(document, "held_animations");
    if (animations.tag == content::JsonNull) return;
    if (animations.tag != content::JsonObject) throw std::runtime_error("Invalid held animations");
    for (std::size_t viewIndex = 0; viewIndex < heldViewNames.size(); ++viewIndex) {
        const Json& view = Json::find(animations, heldViewNames[viewIndex]);
        if (view.tag != content::JsonNull) readView(def, view, viewIndex);
    }
}

Float3 readHeldPose(const Json& key, const std::string& name, const Float3& fallback, float bound) {
    const Json& value = Json::find(key, name);
    if (value.tag == content::JsonNull) return fallback;
    if (value.tag != content::JsonArray || value.items.size() != 3)
        throw std::runtime_error("Held pose needs three coordinates");
    const double lowest = name == "scale" ? 0.0 : -bound;
    Float3 out;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const Json& entry = value.items[axis];
        const bool inside = entry.tag == content::JsonNumber && std::isfinite(entry.number) &&
                            entry.number >= lowest && entry.number <= bound;
        if (!inside) throw std::runtime_error("Held pose exceeds bounds");
        out[axis] = static_cast<float>(entry.number);
    }
    return out;
}

HeldPose sampleHeldClip(const HeldClip& clip, double time) {
    if (clip.keys.empty()) return HeldPose{};
    const double t =
        clip.loop ? std::fmod(std::max(time, 0.0), clip.duration) : std::clamp(time, 0.0, clip.duration);
    const auto found =
        std::find_if(clip.keys.begin(), clip.keys.end(), [t](const HeldKey& key) { return key.time >= t; });
    const bool pastEnd = found == clip.keys.end();
    const HeldKey& next = pastEnd ? clip.keys.back() : *found;
    const HeldKey& prev = !pastEnd && found != clip.keys.begin() ? *(found - 1) : next;
    const float f =
        next.time == prev.time ? 0.0f : static_cast<float>((t - prev.time) / (next.time - prev.time));
    HeldPose pose;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        pose.rotation[axis] = lerp(prev.rotation[axis], next.rotation[axis], f);
        pose.translation[axis] = lerp(prev.translation[axis], next.translation[axis], f);
        pose.scale[axis] = lerp(prev.scale[axis], next.scale[axis], f);
    }
    return pose;
}

Float3 transformPoint(const Float3& point, const Float3& pivot, const HeldPose& pose) {
    Float3 offset;
    for (std::size_t axis = 0; axis < 3; ++axis)
        offset[axis] = (point[axis] - pivot[axis]) * pose.scale[axis];
    const Float3 turned = content::rotateByEulerDegrees(offset, pose.rotation);
    Float3 out;
    for (std::size_t axis = 0; axis < 3; ++axis)
        out[axis] = turned[axis] + pivot[axis] + pose.translation[axis] / 16.0f;
    return out;
}

}  // namespace bbanim
