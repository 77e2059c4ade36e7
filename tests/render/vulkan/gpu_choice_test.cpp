#include <gtest/gtest.h>

#include "render/vulkan/device.h"

namespace {

using Family = render::GpuCandidate::Family;

constexpr Family kDrawsAndPresents{true, true};
constexpr Family kDrawsOnly{true, false};
constexpr Family kPresentsOnly{false, true};

render::GpuCandidate gpu(bool discrete, bool canSwap, std::vector<Family> families) {
    render::GpuCandidate candidate;
    candidate.name = discrete ? "discrete" : "integrated";
    candidate.discrete = discrete;
    candidate.canSwap = canSwap;
    candidate.families = std::move(families);
    return candidate;
}

// A discrete GPU wins over an integrated one; among equals the first GPU and its first suitable family
// win. A GPU without a swapchain is never taken, nor a graphics family that cannot present: drawing on
// one family and presenting on another is not enough, one queue does both.
TEST(ChooseGpu, TakesTheBestGpuAndItsFirstFamilyThatDrawsAndPresents) {
    const struct {
        const char* name;
        std::vector<render::GpuCandidate> gpus;
        int gpu;
        uint32_t family;  // checked only when a GPU is chosen
    } cases[] = {
        {"discrete listed second",
         {gpu(false, true, {kDrawsAndPresents}), gpu(true, true, {kPresentsOnly, kDrawsAndPresents})}, 1, 1},
        {"equal integrated",
         {gpu(false, true, {kDrawsOnly, kPresentsOnly, kDrawsAndPresents, kDrawsAndPresents}),
          gpu(false, true, {kDrawsAndPresents})},
         0, 2},
        {"equal discrete",
         {gpu(false, true, {kDrawsAndPresents}), gpu(true, true, {kDrawsAndPresents}),
          gpu(true, true, {kDrawsAndPresents})},
         1, 0},
        {"no swapchain",
         {gpu(true, false, {kDrawsAndPresents}), gpu(false, true, {kDrawsOnly, kDrawsAndPresents})}, 1, 1},
        {"no presenting graphics family",
         {gpu(true, true, {kDrawsOnly, kPresentsOnly}), gpu(false, true, {kDrawsAndPresents})}, 1, 0},
        {"no GPU", {}, -1, 0},
        {"none suitable",
         {gpu(true, false, {kDrawsAndPresents}), gpu(false, true, {kDrawsOnly, kPresentsOnly}), gpu(false, true, {})},
         -1, 0},
    };
    for (const auto& c : cases) {
        const render::GpuChoice choice = render::chooseGpu(c.gpus);
        EXPECT_EQ(choice.gpu, c.gpu) << c.name;
        if (c.gpu >= 0) {
            EXPECT_EQ(choice.family, c.family) << c.name;
        }
    }
}

}  // namespace
