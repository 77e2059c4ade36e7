#include <gtest/gtest.h>

#include "render/device.h"

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

TEST(ChooseGpu, DiscreteListedSecondWinsOverIntegrated) {
    const render::GpuChoice choice =
        render::chooseGpu({gpu(false, true, {kDrawsAndPresents}), gpu(true, true, {kPresentsOnly, kDrawsAndPresents})});
    EXPECT_EQ(choice.gpu, 1);
    EXPECT_EQ(choice.family, 1u);
}

TEST(ChooseGpu, AmongEqualsTheFirstGpuAndItsFirstSuitableFamilyWin) {
    const render::GpuChoice integrated = render::chooseGpu(
        {gpu(false, true, {kDrawsOnly, kPresentsOnly, kDrawsAndPresents, kDrawsAndPresents}),
         gpu(false, true, {kDrawsAndPresents})});
    EXPECT_EQ(integrated.gpu, 0);
    EXPECT_EQ(integrated.family, 2u);

    const render::GpuChoice discrete = render::chooseGpu(
        {gpu(false, true, {kDrawsAndPresents}), gpu(true, true, {kDrawsAndPresents}), gpu(true, true, {kDrawsAndPresents})});
    EXPECT_EQ(discrete.gpu, 1);
    EXPECT_EQ(discrete.family, 0u);
}

TEST(ChooseGpu, GpuWithoutSwapchainIsNeverTaken) {
    const render::GpuChoice choice =
        render::chooseGpu({gpu(true, false, {kDrawsAndPresents}), gpu(false, true, {kDrawsOnly, kDrawsAndPresents})});
    EXPECT_EQ(choice.gpu, 1);
    EXPECT_EQ(choice.family, 1u);
}

TEST(ChooseGpu, GraphicsFamilyThatCannotPresentIsNeverTaken) {
    // Drawing on one family and presenting on another is not enough: one queue does both.
    const render::GpuChoice choice =
        render::chooseGpu({gpu(true, true, {kDrawsOnly, kPresentsOnly}), gpu(false, true, {kDrawsAndPresents})});
    EXPECT_EQ(choice.gpu, 1);
    EXPECT_EQ(choice.family, 0u);
}

TEST(ChooseGpu, NoSuitableGpuGivesNone) {
    EXPECT_EQ(render::chooseGpu({}).gpu, -1);
    EXPECT_EQ(render::chooseGpu({gpu(true, false, {kDrawsAndPresents}), gpu(false, true, {kDrawsOnly, kPresentsOnly}),
                                 gpu(false, true, {})})
                  .gpu,
              -1);
}

}  // namespace
