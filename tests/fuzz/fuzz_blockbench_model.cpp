// Blockbench models: one JSON document read as a block's model, its display settings and held
// animations, and as an animation rig whose every clip is sampled. Each reader either succeeds or
// refuses with its message.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "content/json.h"
#include "models/animation_clip.h"
#include "models/blockbench_model.h"
#include "models/display_settings.h"
#include "models/held_animations.h"
#include "models/rig.h"
#include "world/block_registry.h"

namespace {

template <typename Read>
void refusedOrRead(Read&& read) {
    try {
        read();
    } catch (const std::runtime_error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    content::Json document;
    try {
        document = content::parseJsonText(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::runtime_error&) {
        return 0;
    }
    // Two textures, so that faces naming texture 0 or 1 get past the definition check.
    voxel::BlockDef def;
    def.textures = {"a.png", "b.png"};
    refusedOrRead([&] { content::loadBlockbenchModel(def, document); });
    refusedOrRead([&] { content::readFirstPersonDisplay(def, document); });
    refusedOrRead([&] { content::readThirdPersonDisplay(def, document); });
    refusedOrRead([&] { bbanim::loadHeldAnimations(def, document); });
    refusedOrRead([&] {
        const bbanim::Rig rig = bbanim::load(document, def);
        for (int32_t clip = -1; clip <= static_cast<int32_t>(rig.clips.size()); ++clip) {
            for (const double time : {-1.0, 0.0, 0.37, 1e9}) (void)bbanim::sampleClip(rig, clip, time, clip % 2 == 0);
        }
    });
    return 0;
}
