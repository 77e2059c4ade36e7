#pragma once
// Effects heard at a point in the world: their level falls with distance from the listener and
// they lean to the side they come from.
#include <string>

#include "audio/mixer.h"

namespace audio {

// Beyond this many blocks an effect is not heard at all.
inline constexpr double kHearingDistance = 16.0;

struct Listener {
    double x = 0.0, y = 0.0, z = 0.0;  // the ears (the player's eye)
    double yaw = 0.0;                  // radians; the view looks along (cos yaw, 0, sin yaw)
};

struct Placement {
    float gain = 0.0f;  // 1 at the listener, falling linearly to 0 at the hearing distance
    float pan = 0.0f;   // -1 left .. 1 right
};

Placement placeAt(const Listener& listener, double x, double y, double z);

// The sound with this id, or null.
const Sound* findSound(const Mixer& mixer, const std::string& id);

// Starts the effect at a point. Nothing plays, and nothing fails, when the id names no loaded
// sound, the point is out of hearing or no output runs: voices are only added while the mixer
// thread is there to finish them. True when a voice was added.
bool playAt(Mixer& mixer, const std::string& id, const Listener& listener, double x, double y, double z);

}  // namespace audio
