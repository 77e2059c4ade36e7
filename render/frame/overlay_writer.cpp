// The overlay writer: once a frame before recording, every per-frame region of the content meta
// buffer. The interface's layout comes last, since it reads the text lines written before it.
#include <span>

#include "app/app.h"
#include "render/atlases/content_meta.h"
#include "render/chunks/lamp_overlay.h"
#include "render/frame/interface_draw.h"
#include "render/frame/interface_inputs.h"
#include "render/vulkan/vulkan_check.h"

namespace {

// The stack under the cursor has a pass of its own only over the inventory, where it must lie over
// the portrait; the container screens draw it with their own elements.
bool cursorStackPass(const App& app, const render::InterfaceBlock& block) {
    return app.ui.inventoryOpen && app.inventory.cursor.count > 0 && block.screen != render::kHiddenInterface;
}

}  // namespace

void App::updateOverlay() {
    if (!descriptors.contentMetaMemory) return;
    void* mapped = nullptr;
    render::check(vkMapMemory(gpu.dev, descriptors.contentMetaMemory, 0, VK_WHOLE_SIZE, 0, &mapped),
                  "vkMapMemory(dev,contentMetaMemory,0,VK_WHOLE_SIZE,0,&mapped)", 1121);
    const std::span<uint32_t> words(static_cast<uint32_t*>(mapped), render::kContentMetaBytes / 4);
    render::writeOverlayLamps(words, lighting.lampList, player.x, player.y, player.z);
    writeScreenOverlay(words);
    const render::InterfaceBlock block = render::packInterfaceBlock(render::interfaceInputs(*this));
    frame.interface =
        render::writeInterfaceDraw(words, block, cursorStackPass(*this, block), gpu.swapchainWidth,
                                   gpu.swapchainHeight, atlases.opaquePictures);
    vkUnmapMemory(gpu.dev, descriptors.contentMetaMemory);
}
