#pragma once
// The second pass of the block atlas: every listed texture at its own resolution, shelf-packed
// with a 2-pixel edge border, and the material rectangle table the shaders look textures up in.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/image.h"
#include "render/atlases/tile_sheet.h"

namespace render {

struct ImageSize {
    uint32_t width = 0, height = 0;
};

struct ShelfPlan {
    std::vector<SheetPoint> places;  // where each image (without its border) lies, in input order
    uint32_t height = 0;
};

struct PackedAtlas {
    platform::Image image;
    std::vector<float> materialRects;  // kMaterialLimit x (u, v, du, dv), zero for unused ids
    // kMaterialLimit flags, 1 where the material's picture has a texel the world shader cuts out
    // (alpha below 128 of 255); 0 for unused ids.
    std::vector<uint8_t> cutOutMaterials;
    uint32_t imageCount = 0;
};

// 2,048 (or the limit when smaller), doubled up to the limit until the widest image and its border fit.
uint32_t atlasWidth(uint32_t widest, uint32_t sizeLimit);
// Tallest first, left to right on shelves; "Original-resolution texture atlas exceeds GPU limits"
// when a shelf would pass the size limit.
ShelfPlan packShelves(const std::vector<ImageSize>& sizes, uint32_t width, uint32_t sizeLimit);
// Copies `image` to `at` and repeats its edge pixels two pixels outwards, corners included, so that
// filtering at a texture's edge never reads its neighbour.
void copyWithBorder(platform::Image& atlas, const platform::Image& image, SheetPoint at);
// Decodes each material's file once at its own size (materials with the same file share it); a
// material without a loadable file takes its rectangle of the tile sheet. Throws "Texture exceeds
// GPU size limit: <path>", "Original-resolution texture atlas exceeds GPU limits" or
// "Too many atlas materials".
PackedAtlas packAtlas(const std::vector<MaterialRecord>& materials, const platform::Image& sheet, uint32_t sizeLimit);
// True when a texel of `image` has an alpha below 128, which the world shader reads as under 0.5
// and cuts out.
bool hasCutOutTexel(const platform::Image& image);
// "Original-resolution RGBA atlas: <W>x<H>, <n> images; no texture downsampling"
std::string packedAtlasLine(const PackedAtlas& atlas);

}  // namespace render
