#include "audio/positional.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace audio {

Placement placeAt(const Listener& listener, double x, double y, double z) {
    const double dx = x - listener.x, dy = y - listener.y, dz = z - listener.z;
    const double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    Placement placement;
    placement.gain = static_cast<float>(std::max(0.0, 1.0 - distance / kHearingDistance));
    const double across = std::hypot(dx, dz);
    // The view's right-hand side is (-sin yaw, cos yaw); a point straight above or below is centred.
    if (across > 1e-9)
        placement.pan =
            static_cast<float>((dx * -std::sin(listener.yaw) + dz * std::cos(listener.yaw)) / across);
    return placement;
}

const Sound* findSound(const Mixer& mixer, const std::string& id) {
    const auto found = std::find_if(mixer.sounds.begin(), mixer.sounds.end(),
                                    [&](const Sound& sound) { return sound.id == id; });
    return found == mixer.sounds.end() ? nullptr : &*found;
}

bool playAt(Mixer& mixer, const std::string& id, const Listener& listener, double x, double y, double z) {
    if (!mixer.running.load()) return false;
    const Sound* sound = findSound(mixer, id);
    const Placement placement = placeAt(listener, x, y, z);
    if (!sound || placement.gain <= 0.0f) return false;
    std::lock_guard lock(mixer.mutex);
    mixer.voices.push_back(Voice{sound, 0, placement.gain * sound->volume, placement.pan, false});
    return true;
}

}  // namespace audio
