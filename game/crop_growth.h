#pragma once
// The crop rule of the world step: a crop cell shows one stage block of its crop; it moves to the
// next stage once it has shown this one for the crop's grow_ticks, while the block below is the
// crop's soil. The last stage is ripe and grows no further. Time is counted from the step at which
// the world step first saw the stage (planted, grown, or found in a chunk that arrived).
#include <cstdint>
#include <optional>
#include <vector>

#include "content/crops.h"

namespace game {

struct CropStage {
    const content::CropRule* crop = nullptr;
    std::size_t stage = 0;  // index into the crop's stages
};

// The crop and stage that a block id is, if any.
std::optional<CropStage> findCropStage(const std::vector<content::CropRule>& crops, uint8_t id);

// The block the crop shows next, or 0 when it stays: not yet grown long enough, ripe, or off its soil.
uint8_t grownStage(const CropStage& at, uint64_t ticksShown, uint8_t below);

}  // namespace game
