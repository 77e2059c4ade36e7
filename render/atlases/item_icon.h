#pragma once
// Icons painted from block models: a small software rasteriser draws a custom block's model in an
// isometric view, textured from its own face tiles, into its icon tile of the tile sheet.
#include <cstdint>
#include <vector>

#include "platform/image.h"
#include "render/atlases/tile_sheet.h"
#include "world/block_registry.h"

namespace render {

// Clears the icon tile (face 6) of block id in sheet (256 pixels wide) and paints the model there,
// centred, its larger extent 26 pixels. Each triangle is textured from the face tile of its first
// vertex's texture; nearer pixels win, texels with alpha below 26 leave holes. An empty model
// leaves the tile as it was.
void paintItemIcon(platform::Image& sheet, uint8_t id, const std::vector<ModelVertex>& model);
// Paints every custom block of the registry that names no icon file.
void paintMissingIcons(TileSheet& sheet);

}  // namespace render
