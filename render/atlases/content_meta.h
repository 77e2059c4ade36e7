#pragma once
// The content meta buffer: one storage buffer that every shader reads for what is not a vertex.
// Its fixed regions (block names, light and wind values, interface labels, the layer count and the
// material rectangles) are prepared once at start-up; the biome labels follow the current
// generation profile; everything else belongs to the per-frame overlay. Texts are stored as glyph
// indices of the bitmap font.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/block_registry.h"
#include "world/generation_profile.h"

namespace render {

inline constexpr std::size_t kContentMetaBytes = 229376;
inline constexpr std::size_t kBlockNamesOffset = 0;
inline constexpr std::size_t kBlockLightOffset = 8192;
inline constexpr std::size_t kBiomeLabelsOffset = 9744;
inline constexpr std::size_t kBiomeLabelsBytes = 1024;
inline constexpr std::size_t kLabelGroup1Offset = 11600;
inline constexpr std::size_t kLayerCountOffset = 12360;
inline constexpr std::size_t kLabelGroup2Offset = 12480;
inline constexpr std::size_t kLabelGroup3Offset = 32384;
inline constexpr std::size_t kWindOffset = 98304;
inline constexpr std::size_t kMaterialRectsOffset = 114688;
inline constexpr std::size_t kMaterialRectFloats = 4096 * 4;

inline constexpr std::size_t kLabelBytes = 32;
inline constexpr std::size_t kLabelGlyphs = 28;
// Biome label records 0..3 stand for the built-in biomes and stay empty.
inline constexpr std::size_t kFirstCustomBiomeLabel = 4;
inline constexpr std::size_t kBiomeLabelRecords = kBiomeLabelsBytes / kLabelBytes;

// A glyph record: u32 count, then one glyph byte a character, the first in the lowest byte.
using LabelRecord = std::array<uint8_t, kLabelBytes>;

// Glyph index of the character, small letters drawn by their capitals; 0 when the font lacks it.
uint8_t fontGlyph(char32_t c);

// Cut to 28 characters and upper-cased.
LabelRecord encodeLabel(std::u32string_view text);

// The fixed interface labels of one group, record k at offset + 32 k.
struct LabelGroup {
    std::size_t offset;
    std::vector<std::u32string_view> texts;
};
const std::array<LabelGroup, 3>& fixedLabelGroups();

// The whole buffer as created: zeros, the material rectangles (at most 4,096 x 4 floats), L, the
// label groups and, for every block of `blocks`, its name, light / 15 and wind values.
std::vector<uint8_t> contentMetaBytes(const std::vector<voxel::BlockDef>& blocks,
                                      const std::vector<float>& materialRects, uint32_t layerCount);

// The 32 biome label records: record 4 + i for custom biome i of the profile; all zero for a null
// profile. Biomes past the last record are left out.
std::vector<uint8_t> biomeLabelBytes(const voxel::GenerationProfile* profile);

}  // namespace render

// Which generation profile the biome labels in the buffer were written for.
struct ContentMetaState {
    voxel::ProfilePtr biomeProfile;
    bool biomesUploaded = false;
};
