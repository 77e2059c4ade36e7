#include "render/frame/world_cover.h"

#include <algorithm>

namespace render {

namespace {

bool sourceIs(const InterfaceElement& e, const UiPlace& place) {
    return e.a[0] == static_cast<float>(place.x) && e.a[1] == static_cast<float>(place.y) &&
           e.a[2] == static_cast<float>(place.width) && e.a[3] == static_cast<float>(place.height);
}

bool paintsOpaque(const InterfaceElement& e, std::span<const UiPlace> opaquePictures) {
    if (e.kind == ElementKind::Fill) return e.a[3] >= 1.0f;
    if (e.kind != ElementKind::Picture) return false;
    return std::any_of(opaquePictures.begin(), opaquePictures.end(),
                       [&](const UiPlace& place) { return sourceIs(e, place); });
}

// The shader's own test at the outermost pixel centres, in the same float arithmetic.
bool spansFramebuffer(const InterfaceElement& e, uint32_t width, uint32_t height) {
    const float right = static_cast<float>(width) - 0.5f, bottom = static_cast<float>(height) - 0.5f;
    return 0.5f >= e.rect[0] && 0.5f >= e.rect[1] && right < e.rect[0] + e.rect[2] &&
           bottom < e.rect[1] + e.rect[3];
}

}  // namespace

bool placeOpaque(const platform::Image& atlas, const UiPlace& place) {
    if (place.x + place.width > atlas.width || place.y + place.height > atlas.height) return false;
    for (uint32_t y = place.y; y < place.y + place.height; ++y)
        for (uint32_t x = place.x; x < place.x + place.width; ++x)
            if (atlas.pixels[(static_cast<std::size_t>(y) * atlas.width + x) * 4 + 3] != 255) return false;
    return true;
}

bool interfaceCoversWorld(std::span<const InterfaceElement> elements, uint32_t width, uint32_t height,
                          std::span<const UiPlace> opaquePictures) {
    const std::size_t drawn = std::min(elements.size(), kMaxCoveringElements);
    return std::any_of(elements.begin(), elements.begin() + static_cast<std::ptrdiff_t>(drawn),
                       [&](const InterfaceElement& e) {
                           return paintsOpaque(e, opaquePictures) && spansFramebuffer(e, width, height);
                       });
}

}  // namespace render
