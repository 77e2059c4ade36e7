#include "render/frame/world_cover.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using render::ElementKind;
using render::InterfaceElement;
using render::UiPlace;

constexpr uint32_t kWidth = 1280, kHeight = 720;
const UiPlace kOpaque{0, 384, 1920, 1080};
const std::vector<UiPlace> kOpaquePictures{kOpaque};

InterfaceElement element(ElementKind kind, float x, float y, float w, float h, const float (&a)[4]) {
    InterfaceElement e;
    e.kind = kind;
    e.rect[0] = x, e.rect[1] = y, e.rect[2] = w, e.rect[3] = h;
    std::copy(a, a + 4, e.a);
    return e;
}

InterfaceElement picture(float x, float y, float w, float h, const UiPlace& source = kOpaque) {
    return element(ElementKind::Picture, x, y, w, h,
                   {float(source.x), float(source.y), float(source.width), float(source.height)});
}

InterfaceElement fill(float x, float y, float w, float h, float alpha) {
    return element(ElementKind::Fill, x, y, w, h, {0.0f, 0.0f, 0.0f, alpha});
}

// The covering rectangle must reach the first and last pixel centres, 0.5 and size - 0.5.
TEST(WorldCover, ARectangleCoversWhenItHoldsEveryPixelCentre) {
    const float above = std::nextafter(0.5f, 1.0f);
    const float pastRight = std::nextafter(kWidth - 0.5f, 2.0f * kWidth);
    const float pastBottom = std::nextafter(kHeight - 0.5f, 2.0f * kHeight);
    const struct {
        std::string name;
        InterfaceElement e;
        bool covers;
    } cases[] = {
        {"exact framebuffer", picture(0, 0, kWidth, kHeight), true},
        {"scaled past every side", picture(-20, -10, kWidth + 40, kHeight + 20), true},
        {"left edge on the first centre", picture(0.5f, 0, kWidth, kHeight), true},
        {"left edge past the first centre", picture(above, 0, kWidth, kHeight), false},
        {"top edge on the first centre", picture(0, 0.5f, kWidth, kHeight), true},
        {"top edge past the first centre", picture(0, above, kWidth, kHeight), false},
        {"right end just past the last centre", picture(0, 0, pastRight, kHeight), true},
        {"right end on the last centre", picture(0, 0, kWidth - 0.5f, kHeight), false},
        {"bottom end just past the last centre", picture(0, 0, kWidth, pastBottom), true},
        {"bottom end on the last centre", picture(0, 0, kWidth, kHeight - 0.5f), false},
        {"opaque fill", fill(0, 0, kWidth, kHeight, 1.0f), true},
        {"fill just short of opaque", fill(0, 0, kWidth, kHeight, std::nextafter(1.0f, 0.0f)), false},
        {"picture with transparent texels", picture(0, 0, kWidth, kHeight, UiPlace{0, 0, 128, 128}), false},
        {"panel", element(ElementKind::Panel, 0, 0, kWidth, kHeight, {0, 14, 0, 0}), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render::interfaceCoversWorld(std::vector{c.e}, kWidth, kHeight, kOpaquePictures), c.covers)
            << c.name;
}

// Screens cover only with an opaque background, and only when it is among the first elements a
// pixel blends.
TEST(WorldCover, ScreensCoverOnlyWithAnOpaqueBlendedBackground) {
    const InterfaceElement background = picture(0, 0, kWidth, kHeight),
                           dim = fill(0, 0, kWidth, kHeight, 0.45f);
    const InterfaceElement button = picture(500, 300, 280, 60), corner = fill(0, 0, 8, 8, 0.5f);
    std::vector<InterfaceElement> lastBlended(render::kMaxCoveringElements - 1, corner);
    lastBlended.push_back(background);
    std::vector<InterfaceElement> pastTheBlend = lastBlended;
    pastTheBlend.insert(pastTheBlend.begin(), corner);
    const struct {
        const char* name;
        std::vector<InterfaceElement> elements;
        std::vector<UiPlace> opaque;
        bool covers;
    } cases[] = {
        {"menu", {background, dim, button}, kOpaquePictures, true},
        {"dimmed world", {dim, button}, kOpaquePictures, false},
        {"hidden interface", {}, kOpaquePictures, false},
        {"background not opaque", {background}, {}, false},
        {"background the last blended", lastBlended, kOpaquePictures, true},
        {"background past the blended", pastTheBlend, kOpaquePictures, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render::interfaceCoversWorld(c.elements, kWidth, kHeight, c.opaque), c.covers) << c.name;
}

TEST(WorldCover, APlaceIsOpaqueWhenEveryTexelIs) {
    platform::Image atlas{4, 3, std::vector<uint8_t>(4 * 3 * 4, 255)};
    const UiPlace inner{1, 1, 2, 2};
    EXPECT_TRUE(render::placeOpaque(atlas, inner));
    atlas.pixels[(0 * 4 + 0) * 4 + 3] = 0;  // outside the place
    EXPECT_TRUE(render::placeOpaque(atlas, inner));
    atlas.pixels[(2 * 4 + 2) * 4 + 3] = 254;  // its last texel
    EXPECT_FALSE(render::placeOpaque(atlas, inner));
    EXPECT_FALSE(render::placeOpaque(atlas, UiPlace{3, 0, 2, 1})) << "reaches past the atlas";
}

}  // namespace
