#include <stdexcept>

#include "app/app.h"
#include "render/atlases/interface_atlas.h"
#include "render/frame/world_cover.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr uint32_t kUiAtlasBinding = 2;

void requireUiAtlasFits(VkPhysicalDevice physical) {
    VkPhysicalDeviceProperties properties{};
    vkGetPhysicalDeviceProperties(physical, &properties);
    if (properties.limits.maxImageDimension2D < render::kUiAtlasWidth)
        throw std::runtime_error("Content atlas exceeds this GPU texture limit; reduce the number of resources");
}

}  // namespace

void App::buildUiAtlas() {
    const render::PreviewList previews = render::previewList(ui.worlds, ui.worldScroll, ui.selectedWorld);
    const platform::Image pixels = render::loadUiTextures(files.root / "Assets" / "Textures" / "UI", previews);
    requireUiAtlasFits(gpu.physical);
    atlases.opaquePictures.clear();
    for (const render::UiPicture& picture : render::uiAtlasPictures())
        if (render::placeOpaque(pixels, picture.place)) atlases.opaquePictures.push_back(picture.place);
    render::GpuImage fresh =
        render::uploadImage(*this, pixels, {VK_FORMAT_R8G8B8A8_SRGB, VK_FILTER_LINEAR}, render::kUiAtlasSites);
    if (atlases.uiImage) {
        // A frame in flight may still read the old image.
        try {
            render::check(vkDeviceWaitIdle(gpu.dev), "vkDeviceWaitIdle(dev)", 865);
        } catch (...) {
            render::destroyImage(gpu.dev, fresh);
            throw;
        }
        render::GpuImage old = atlases.uiAtlas();
        render::destroyImage(gpu.dev, old);
    }
    atlases.setUiAtlas(fresh);
    if (atlases.atlasSet) render::writeImageBinding(gpu.dev, atlases.atlasSet, kUiAtlasBinding, fresh);
}
