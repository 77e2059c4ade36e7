#include <GLFW/glfw3.h>

#include "app/app.h"
#include "render/vulkan_check.h"
#include "ui/panel_words.h"
#include "ui/screen_slots.h"

namespace {

const std::u32string& windowTitle(ContainerKind kind) {
    static const std::u32string titles[] = {U"СУНДУК", U"ПЕЧЬ", U"ВЕРСТАК", U"АЛХИМИЧЕСКИЙ СТОЛ"};
    return titles[static_cast<int32_t>(kind)];
}

}  // namespace

void App::updateOverlay() {
    if (!descriptors.contentMetaMemory) return;
    ui::OverlayPanels panels;
    if (gpu.win && glfwGetTime() < ui.toast.until) panels.toast = ui.toast.text;
    const ContainerView& view = ui.container;
    if (ui.screen >= ui::kCraftingScreen && ui.screen <= ui::kChestScreen) {
        panels.title = windowTitle(view.kind);
        panels.hint = U"ESC ИЛИ E ЗАКРЫТЬ";
    }
    if (ui.screen == ui::kChestScreen) {
        panels.chest = &containers.chests[{view.cell[0], view.cell[1], view.cell[2]}];
    } else if (ui.screen == ui::kCraftingScreen) {
        panels.recipes = &openRecipes();
        panels.selectedRecipe = view.recipe;
        panels.hint = openRecipes().empty() ? U"НЕТ РЕЦЕПТОВ" : U"ENTER ИЛИ ЛКМ ПО РЕЗУЛЬТАТУ: СОЗДАТЬ";
    }
    void* mapped = nullptr;
    render::check(vkMapMemory(gpu.dev, descriptors.contentMetaMemory, 0, VK_WHOLE_SIZE, 0, &mapped),
                  "vkMapMemory(dev,contentMetaMemory,0,VK_WHOLE_SIZE,0,&mapped)", 1121);
    ui::writeOverlayPanels({static_cast<uint32_t*>(mapped), render::kContentMetaBytes / 4}, std::move(panels));
    vkUnmapMemory(gpu.dev, descriptors.contentMetaMemory);
}
