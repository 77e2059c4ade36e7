#include "render/atlases/atlas_packing.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <numeric>
#include <optional>
#include <stdexcept>

namespace render {

namespace {

constexpr uint32_t kBorder = 2;
constexpr uint32_t kPadding = 2 * kBorder;
constexpr uint32_t kPreferredWidth = 2048;

std::optional<platform::Image> decodeOwnSize(const std::string& path) {
    try {
        return platform::decodePng(path);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

platform::Image cutFromSheet(const platform::Image& sheet, const MaterialRecord& material) {
    platform::Image image;
    image.width = material.width;
    image.height = material.height;
    image.pixels.assign(std::size_t{material.width} * material.height * 4, 0);
    for (uint32_t row = 0; row < material.height && material.y + row < sheet.height; ++row) {
        const uint32_t columns = std::min(material.width, sheet.width - std::min(material.x, sheet.width));
        std::memcpy(&image.pixels[std::size_t{row} * material.width * 4],
                    &sheet.pixels[(std::size_t{material.y + row} * sheet.width + material.x) * 4], std::size_t{columns} * 4);
    }
    return image;
}

// One image per distinct loaded file, one per material that falls back to the sheet.
struct ImageSet {
    std::vector<platform::Image> images;
    std::vector<std::size_t> imageOf;  // per material
};

ImageSet collectImages(const std::vector<MaterialRecord>& materials, const platform::Image& sheet, uint32_t sizeLimit) {
    ImageSet set;
    std::map<std::string, std::size_t> byPath;
    for (const MaterialRecord& material : materials) {
        if (const auto shared = byPath.find(material.path); !material.path.empty() && shared != byPath.end()) {
            set.imageOf.push_back(shared->second);
            continue;
        }
        std::optional<platform::Image> own = material.path.empty() ? std::nullopt : decodeOwnSize(material.path);
        if (own) {
            if (own->width == 0 || own->height == 0 || own->width + kPadding > sizeLimit || own->height + kPadding > sizeLimit)
                throw std::runtime_error("Texture exceeds GPU size limit: " + material.path);
            byPath[material.path] = set.images.size();
        }
        set.imageOf.push_back(set.images.size());
        set.images.push_back(own ? std::move(*own) : cutFromSheet(sheet, material));
    }
    return set;
}

}  // namespace

uint32_t atlasWidth(uint32_t widest, uint32_t sizeLimit) {
    uint32_t width = std::min(sizeLimit, kPreferredWidth);
    while (width < widest + kPadding && width < sizeLimit) width = std::min(2 * width, sizeLimit);
    return width;
}

ShelfPlan packShelves(const std::vector<ImageSize>& sizes, uint32_t width, uint32_t sizeLimit) {
    std::vector<std::size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&sizes](std::size_t a, std::size_t b) { return sizes[a].height > sizes[b].height; });
    ShelfPlan plan;
    plan.places.resize(sizes.size());
    uint64_t x = 0, shelfTop = 0, shelfHeight = 0;
    for (const std::size_t i : order) {
        const ImageSize size = sizes[i];
        if (x + size.width + kPadding > width) {
            shelfTop += shelfHeight;
            x = 0;
            shelfHeight = 0;
        }
        if (shelfTop + size.height + kPadding > sizeLimit)
            throw std::runtime_error("Original-resolution texture atlas exceeds GPU limits");
        plan.places[i] = {static_cast<uint32_t>(x + kBorder), static_cast<uint32_t>(shelfTop + kBorder)};
        shelfHeight = std::max<uint64_t>(shelfHeight, size.height + kPadding);
        x += size.width + kPadding;
    }
    plan.height = static_cast<uint32_t>(std::max<uint64_t>(shelfTop + shelfHeight, 1));
    return plan;
}

void copyWithBorder(platform::Image& atlas, const platform::Image& image, SheetPoint at) {
    const int64_t w = image.width, h = image.height;
    for (int64_t dy = -int64_t{kBorder}; dy < h + kBorder; ++dy) {
        const int64_t sy = std::clamp<int64_t>(dy, 0, h - 1);
        for (int64_t dx = -int64_t{kBorder}; dx < w + kBorder; ++dx) {
            const int64_t sx = std::clamp<int64_t>(dx, 0, w - 1);
            std::memcpy(&atlas.pixels[static_cast<std::size_t>(((at.y + dy) * atlas.width + at.x + dx) * 4)],
                        &image.pixels[static_cast<std::size_t>((sy * w + sx) * 4)], 4);
        }
    }
}

PackedAtlas packAtlas(const std::vector<MaterialRecord>& materials, const platform::Image& sheet, uint32_t sizeLimit) {
    const ImageSet set = collectImages(materials, sheet, sizeLimit);
    std::vector<ImageSize> sizes;
    uint32_t widest = 0;
    for (const platform::Image& image : set.images) {
        sizes.push_back({image.width, image.height});
        widest = std::max(widest, image.width);
    }
    const uint32_t width = atlasWidth(widest, sizeLimit);
    const ShelfPlan plan = packShelves(sizes, width, sizeLimit);

    PackedAtlas atlas;
    atlas.imageCount = static_cast<uint32_t>(set.images.size());
    atlas.image.width = width;
    atlas.image.height = plan.height;
    atlas.image.pixels.assign(std::size_t{width} * plan.height * 4, 0);
    for (std::size_t i = 0; i < set.images.size(); ++i) copyWithBorder(atlas.image, set.images[i], plan.places[i]);

    atlas.materialRects.assign(std::size_t{kMaterialLimit} * 4, 0.0f);
    atlas.cutOutMaterials.assign(kMaterialLimit, 0);
    std::vector<uint8_t> imageCutsOut(set.images.size());
    for (std::size_t i = 0; i < set.images.size(); ++i)
        imageCutsOut[i] = hasCutOutTexel(set.images[i]) ? 1 : 0;
    for (std::size_t m = 0; m < materials.size(); ++m) {
        if (materials[m].id >= kMaterialLimit) throw std::runtime_error("Too many atlas materials");
        const std::size_t i = set.imageOf[m];
        atlas.cutOutMaterials[materials[m].id] = imageCutsOut[i];
        float* rect = &atlas.materialRects[std::size_t{materials[m].id} * 4];
        rect[0] = static_cast<float>(plan.places[i].x) / static_cast<float>(width);
        rect[1] = static_cast<float>(plan.places[i].y) / static_cast<float>(plan.height);
        rect[2] = static_cast<float>(sizes[i].width) / static_cast<float>(width);
        rect[3] = static_cast<float>(sizes[i].height) / static_cast<float>(plan.height);
    }
    return atlas;
}

bool hasCutOutTexel(const platform::Image& image) {
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        if (image.pixels[i] < 128) return true;
    return false;
}

std::string packedAtlasLine(const PackedAtlas& atlas) {
    return "Original-resolution RGBA atlas: " + std::to_string(atlas.image.width) + "x" +
           std::to_string(atlas.image.height) + ", " + std::to_string(atlas.imageCount) +
           " images; no texture downsampling\n";
}

}  // namespace render
