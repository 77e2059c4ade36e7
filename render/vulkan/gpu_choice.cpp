#include "render/vulkan/device.h"

namespace render {

GpuChoice chooseGpu(const std::vector<GpuCandidate>& gpus) {
    GpuChoice choice;
    int best = -1;
    for (std::size_t gpu = 0; gpu < gpus.size(); ++gpu) {
        const GpuCandidate& candidate = gpus[gpu];
        const int score = candidate.discrete ? 2 : 1;
        for (std::size_t family = 0; family < candidate.families.size(); ++family) {
            const GpuCandidate::Family& f = candidate.families[family];
            if (candidate.canSwap && f.presents && f.graphics && score > best) {
                choice.gpu = static_cast<int>(gpu);
                choice.family = static_cast<uint32_t>(family);
                best = score;
            }
        }
    }
    return choice;
}

}  // namespace render
