#include "render/frame/fog.h"

#include <algorithm>

namespace render {

FogRange fogRange(int32_t chunkRadius) {
    const float end = 16.0f * static_cast<float>(std::max(chunkRadius, 1));
    return {end * 0.5f, end};
}

}  // namespace render
