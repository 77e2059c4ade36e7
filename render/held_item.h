#pragma once
// The pieces of the held item's mesh that need no App: model size and bending, the block held as
// a small turned cube, and the arrow model laid along a direction.
#include <cstdint>
#include <vector>

#include "models/float3.h"
#include "render/chunk_mesher.h"
#include "render/hand_placement.h"
#include "render/mesh_vertex.h"
#include "world/block_registry.h"

namespace render {

// The item's model bounds and the scale that makes its largest extent the base size.
struct HeldModelFrame {
    float minY = 0.0f, dy = 0.0f;
    float cx = 0.0f, cz = 0.0f, midY = 0.0f, midZ = 0.0f;
    double scale = 1.0;
};
// Base size: shields 0.9 / 0.42, bows 1.1 / 0.62 (third / first person), usable items 0.24, tools
// 0.85 / 0.44, anything else 0.38.
double heldBaseSize(const voxel::BlockDef& def, bool usable, bool holdingShield, bool thirdPerson);
HeldModelFrame heldModelFrame(const voxel::BlockDef& def, double baseSize);

// "core:bow" or an item based on it: its limbs bend while drawn.
bool isBendingBow(const voxel::BlockDef& def);
bool bendsWhenDrawn(const voxel::BlockDef& def);
// The string (face 1) is pulled back most at the grip, the limbs (other faces) most at the tips.
content::Float3 bendBowPoint(const content::Float3& p, uint32_t face, const HeldModelFrame& frame, float pull);
// (x, y) turned about (px, py) by angle radians.
content::Float3 turnXY(const content::Float3& p, float px, float py, double angle);
// (x, z) turned about (cx, cz) by the bow's 0.7-radian cant of the third-person hold.
content::Float3 cantBow(const content::Float3& p, const HeldModelFrame& frame);

// A model vertex as a held-item vertex at a world position: shade as colour, the item's layer.
MeshVertex heldVertex(const ModelVertex& m, uint8_t id, const Double3& world);

// The block's one-cell mesh as a 0.38-block cube turned 45 degrees about the vertical at the hand.
void appendHeldBlock(std::vector<MeshVertex>& out, const BlockFaces& cube, const Double3& hand, const ViewBasis& basis,
                     const Double3& eye);
// The arrow's model with its tip at position and its +z running back along -facing, `scale` long.
void emitArrowModel(std::vector<MeshVertex>& out, const voxel::BlockDef& arrow, uint8_t arrowId,
                    const Double3& position, const Double3& facing, double scale);

// Sky and block light per vertex from its cell, looked up again only when the cell changes.
template <typename LightAt>
void stampVertexLight(std::vector<MeshVertex>& list, LightAt lightAt);

}  // namespace render

#include <cmath>

template <typename LightAt>
void render::stampVertexLight(std::vector<MeshVertex>& list, LightAt lightAt) {
    bool first = true;
    int32_t cell[3] = {0, 0, 0};
    float sky = 0.0f, block = 0.0f;
    for (MeshVertex& v : list) {
        const int32_t c[3] = {static_cast<int32_t>(std::floor(v.x)), static_cast<int32_t>(std::floor(v.y)),
                              static_cast<int32_t>(std::floor(v.z))};
        if (first || c[0] != cell[0] || c[1] != cell[1] || c[2] != cell[2]) {
            const auto light = lightAt(c[0], c[1], c[2]);
            sky = light.sky;
            block = light.block;
            cell[0] = c[0], cell[1] = c[1], cell[2] = c[2];
            first = false;
        }
        v.sky = sky;
        v.block = block;
        v.motion = 0.0f;
    }
}
