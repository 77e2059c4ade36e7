#include "render/frame/world_frame_values.h"

#include "render/frame/animation_clock.h"

namespace render {

WorldFrameValues worldFrameValues(const FogRange& fog, double seconds, float dayFraction) {
    return {fog.start, fog.end, wrappedAnimationSeconds(seconds), dayFraction};
}

}  // namespace render
