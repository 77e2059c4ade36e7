#pragma once
// The inventory's portrait of the player: the body mesh as flat, shaded screen-space triangles,
// sorted far to near, with worn armour as tinted shells.
#include <array>
#include <cstdint>
#include <vector>

#include "models/vxm.h"
#include "render/chunks/mesh_vertex.h"
#include "render/figures/player_body.h"
#include "render/interface/pixel_rect.h"
#include "ui/ui_state.h"

namespace render {

// What the picture depends on; the portrait is rebuilt only when it changes.
struct PortraitKey {
    std::size_t bodyVertices = 0;
    std::array<uint8_t, 4> armourIds{};
    int32_t hovered = -1;  // an armour slot (40..43), else -1
    uint32_t width = 0, height = 0;
    bool operator==(const PortraitKey&) const = default;
};
// Only hovering an armour slot changes the picture; no slot (0xFFFF) is no armour slot either.
inline int32_t portraitHover(uint32_t hovered) {
    return hovered >= 40 && hovered <= 43 ? static_cast<int32_t>(hovered) : -1;
}

// Triangles of the body in framebuffer pixels, farthest first (equal depths keep mesh order).
std::vector<MeshVertex> buildPortrait(const std::vector<VxmVertex>& mesh, const ui::InventoryLayout& layout,
                                      const ArmourWorn& worn, int32_t hovered);

// The left column of the inventory panel; a negative size (a tiny window) is empty.
PixelRect portraitScissor(const ui::InventoryLayout& layout);
// Column-major matrix from framebuffer pixels to clip space.
std::array<float, 16> pixelToClip(float width, float height);

}  // namespace render
