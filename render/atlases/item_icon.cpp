#include "render/atlases/item_icon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace render {

namespace {

constexpr int kIcon = static_cast<int>(kTileSize);
constexpr float kIconExtent = 26.0f;
constexpr uint8_t kMinAlpha = 26;

struct ScreenVertex {
    float x = 0.0f, y = 0.0f, depth = 0.0f;
    float u = 0.0f, v = 0.0f, shade = 1.0f;
    uint32_t layer = 0;
};

// Pixels of one icon tile, larger depth nearer the viewer.
using DepthBuffer = std::array<float, kTileSize * kTileSize>;

uint8_t* pixelAt(platform::Image& sheet, uint32_t x, uint32_t y) {
    return &sheet.pixels[(std::size_t{y} * sheet.width + x) * 4];
}

// Isometric: x to the right, z to the left, y up the screen; depth grows towards the viewer.
ScreenVertex project(const ModelVertex& v, uint8_t id) {
    // The texture index of a model vertex is its face in the block's texture list; six at most.
    const uint32_t face = static_cast<uint32_t>(std::clamp(v.texture, 0, 5));
    return {(v.x - v.z) * 0.7071f,
            (v.x + v.z) * 0.4082f - v.y * 0.8165f,
            (v.x + v.y + v.z) * 0.57735f,
            v.u,
            v.v,
            v.shade,
            voxel::textureLayer(id, face)};
}

// Centres the projected model in the tile with its larger extent spanning 26 pixels.
void fitToTile(std::vector<ScreenVertex>& vertices) {
    float minX = std::numeric_limits<float>::max(), maxX = std::numeric_limits<float>::lowest();
    float minY = minX, maxY = maxX;
    for (const ScreenVertex& v : vertices) {
        minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
    }
    const float scale = kIconExtent / std::max({maxX - minX, maxY - minY, 0.001f});
    const float centreX = (minX + maxX) / 2, centreY = (minY + maxY) / 2;
    for (ScreenVertex& v : vertices) {
        v.x = (v.x - centreX) * scale + 16.0f;
        v.y = (v.y - centreY) * scale + 16.0f;
    }
}

const uint8_t* texelFor(const platform::Image& sheet, uint32_t layer, float u, float v) {
    const uint32_t row = static_cast<uint32_t>(std::floor(v * 32.0f)) + kTileSize * (layer / kTilesPerRow);
    const uint32_t column = static_cast<uint32_t>(std::floor(u * 32.0f)) + kTileSize * (layer % kTilesPerRow);
    if (row >= sheet.height) return nullptr;
    return &sheet.pixels[(std::size_t{row} * sheet.width + column) * 4];
}

struct IconTarget {
    platform::Image& sheet;
    SheetPoint origin;
    DepthBuffer depth;
};

void shadePixel(IconTarget& target, int px, int py, const ScreenVertex (&p)[3], const float (&w)[3]) {
    float& stored = target.depth[static_cast<std::size_t>(py * kIcon + px)];
    const float depth = w[0] * p[0].depth + w[1] * p[1].depth + w[2] * p[2].depth;
    if (stored >= depth) return;
    const float u = std::clamp(w[0] * p[0].u + w[1] * p[1].u + w[2] * p[2].u, 0.0f, 0.999f);
    const float v = std::clamp(w[0] * p[0].v + w[1] * p[1].v + w[2] * p[2].v, 0.0f, 0.999f);
    const uint8_t* texel = texelFor(target.sheet, p[0].layer, u, v);
    if (texel == nullptr || texel[3] < kMinAlpha) return;
    const float shade = std::clamp(w[0] * p[0].shade + w[1] * p[1].shade + w[2] * p[2].shade, 0.0f, 1.0f);
    uint8_t* out = pixelAt(target.sheet, target.origin.x + static_cast<uint32_t>(px),
                           target.origin.y + static_cast<uint32_t>(py));
    for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(std::floor(texel[c] * shade));
    out[3] = texel[3];
    stored = depth;
}

void drawTriangle(IconTarget& target, const ScreenVertex (&p)[3]) {
    const float det = (p[2].x - p[1].x) * (p[0].y - p[2].y) + (p[0].x - p[2].x) * (p[1].y - p[2].y);
    if (std::fabs(det) < 0.0001f) return;
    const int top = std::max(static_cast<int>(std::floor(std::min({p[0].y, p[1].y, p[2].y}))), 0);
    const int bottom = std::min(static_cast<int>(std::ceil(std::max({p[0].y, p[1].y, p[2].y}))), kIcon - 1);
    const int left = std::max(static_cast<int>(std::floor(std::min({p[0].x, p[1].x, p[2].x}))), 0);
    const int right = std::min(static_cast<int>(std::ceil(std::max({p[0].x, p[1].x, p[2].x}))), kIcon - 1);
    for (int py = top; py <= bottom; ++py) {
        for (int px = left; px <= right; ++px) {
            const float sx = px + 0.5f, sy = py + 0.5f;
            const float w0 = ((sx - p[2].x) * (p[1].y - p[2].y) + (sy - p[2].y) * (p[2].x - p[1].x)) / det;
            const float w1 = ((sy - p[2].y) * (p[0].x - p[2].x) + (sx - p[2].x) * (p[2].y - p[0].y)) / det;
            const float weights[3] = {w0, w1, 1.0f - w0 - w1};
            if (weights[0] < 0 || weights[1] < 0 || weights[2] < 0) continue;
            shadePixel(target, px, py, p, weights);
        }
    }
}

void clearTile(platform::Image& sheet, SheetPoint origin) {
    for (uint32_t y = 0; y < kTileSize; ++y)
        std::memset(pixelAt(sheet, origin.x, origin.y + y), 0, kTileSize * 4);
}

}  // namespace

void paintItemIcon(platform::Image& sheet, uint8_t id, const std::vector<ModelVertex>& model) {
    if (model.empty()) return;
    const SheetPoint origin = tileOrigin(voxel::textureLayer(id, 6));
    if (sheet.width != kSheetWidth || origin.y + kTileSize > sheet.height) return;
    clearTile(sheet, origin);
    std::vector<ScreenVertex> vertices;
    vertices.reserve(model.size());
    for (const ModelVertex& v : model) vertices.push_back(project(v, id));
    fitToTile(vertices);
    IconTarget target{sheet, origin, {}};
    target.depth.fill(-std::numeric_limits<float>::infinity());
    for (std::size_t i = 0; i + 2 < vertices.size(); i += 3) {
        const ScreenVertex triangle[3] = {vertices[i], vertices[i + 1], vertices[i + 2]};
        drawTriangle(target, triangle);
    }
}

void paintMissingIcons(TileSheet& sheet) {
    for (std::size_t id = voxel::builtinBlockCount; id < voxel::blockCount(); ++id) {
        const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
        if (def.icon.empty()) paintItemIcon(sheet.image, static_cast<uint8_t>(id), def.modelVertices);
    }
}

}  // namespace render
