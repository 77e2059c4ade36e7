#pragma once
// Blockbench animation clips of NPC models: per-bone keyframe channels read from one entry of a
// model's "animations", and their sampling into one pose per bone at any time.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "content/json.h"

namespace bbanim {

using Vec3 = std::array<double, 3>;

inline constexpr std::size_t maxClipKeyframes = 8192;
inline constexpr double maxAnimationSeconds = 120.0;
inline constexpr double maxAnimationValue = 100000.0;
inline constexpr std::size_t maxClipNameBytes = 160;

enum Channel : uint32_t { ChannelPosition = 0, ChannelRotation = 1, ChannelScale = 2 };

// One key of one channel.
struct Keyframe {
    double time = 0.0;  // seconds
    Vec3 pre{};         // first data point
    Vec3 post{};        // last data point; equal to pre for a single point
    Vec3 leftTime{};
    Vec3 leftValue{};
    Vec3 rightTime{};
    Vec3 rightValue{};
    std::string interpolation = "linear";  // "linear", "step", "catmullrom" or "bezier"
};

// Position, rotation and scale keys of one bone, each sorted by time without equal times.
struct BoneTrack {
    std::array<std::vector<Keyframe>, 3> channels;
};

struct Clip {
    std::string name;
    std::string loop = "once";      // "once", "loop" or "hold"
    double length = 0.0;            // seconds, at least the latest key time
    std::vector<BoneTrack> tracks;  // one per bone of the rig
};

struct BonePose {
    Vec3 position{0.0, 0.0, 0.0};  // Blockbench pixels
    Vec3 rotation{0.0, 0.0, 0.0};  // degrees
    Vec3 scale{1.0, 1.0, 1.0};
};

struct Rig;

// A number unchanged, null the fallback, a numeric string parsed whole; then finite and within
// +-maxAnimationValue. Throws std::runtime_error.
double parseNumber(const content::Json& value, double fallback);
// "x", "y", "z" of one data point; absent values are 1 for scale and 0 otherwise.
Vec3 readPoint(uint32_t channel, const content::Json& point);
// Reads one entry of "animations" against the rig's bones. Throws std::runtime_error.
Clip readAnimations(const Rig& rig, const content::Json& animation);

// One pose per bone of the rig. A negative clip index, or one past the rig's clips, gives the
// default pose.
std::vector<BonePose> sampleClip(const Rig& rig, int32_t clipIndex, double time, bool forceLoop);
// The value of one channel at time (already wrapped or clamped to the clip).
Vec3 interpolateKeyframes(const std::vector<Keyframe>& keys, double time, const Vec3& fallback, bool loop);

}  // namespace bbanim

namespace content {

// Null or absent: fallback; an array of exactly three animation numbers (default 0 each); anything
// else fails with "Expected three animation coordinates".
bbanim::Vec3 readAnimationVec3(const Json& value, const bbanim::Vec3& fallback);

}  // namespace content
