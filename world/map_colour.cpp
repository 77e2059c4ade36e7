#include "world/map_colour.h"

#include <algorithm>
#include <string>

#include "world/block_registry.h"
#include "world/chunk.h"

namespace voxel {

namespace {

struct Rgb {
    int32_t r, g, b;
};

struct NamedColour {
    const char* part;
    Rgb colour;
};

const Rgb sandColour{187, 170, 120};
const Rgb grassColour{94, 133, 76};
const Rgb dirtColour{134, 105, 74};
const Rgb stoneColour{134, 141, 138};
const Rgb otherColour{112, 128, 91};

// By content id, first match wins.
const NamedColour namedColours[] = {{"snow", {196, 213, 222}}, {"ice", {196, 213, 222}},
                                    {"ash", {101, 81, 77}},    {"stone", stoneColour},
                                    {"brick", stoneColour}};

Rgb colourByName(uint8_t id) {
    if (!isValidBlockId(id)) return otherColour;
    const std::string& name = blockDef(id).id;
    for (const NamedColour& entry : namedColours) {
        if (name.find(entry.part) != std::string::npos) return entry.colour;
    }
    return otherColour;
}

Rgb baseColour(uint8_t id) {
    if (id == 4) return sandColour;
    if (id == 1 || id == 8) return grassColour;
    if (id == 2) return dirtColour;
    if (id == 3) return stoneColour;
    return colourByName(id);
}

int32_t shadeChannel(int32_t channel, float shade) {
    return std::clamp(static_cast<int32_t>(channel * shade), 1, 255);
}

}  // namespace

uint32_t mapColour(uint8_t id, int32_t y) {
    if (id == airId) return 0x4F4030;
    if (id == waterId) return 0x89683A;
    const Rgb base = baseColour(id);
    const float shade = static_cast<float>(std::clamp(y, 0, 127)) / 127.0f * 0.45f + 0.65f;
    const uint32_t r = shadeChannel(base.r, shade), g = shadeChannel(base.g, shade),
                   b = shadeChannel(base.b, shade);
    return b << 16 | g << 8 | r;
}

}  // namespace voxel
