#include "render/frame/fog.h"

#include <algorithm>
#include <cstring>

namespace render {

FogRange fogRange(int32_t chunkRadius) {
    const float end = 16.0f * static_cast<float>(std::max(chunkRadius, 1));
    return {end * 0.5f, end};
}

void writeFogRange(uint8_t* meta, const FogRange& fog) {
    std::memcpy(meta + kFogOffset, &fog.start, 4);
    std::memcpy(meta + kFogOffset + 4, &fog.end, 4);
}

}  // namespace render
