#pragma once
// The pieces of the held item's mesh that need no App: model size and bending, the block held as
// a small turned cube.
#include <cstdint>
#include <vector>

#include "models/float3.h"
#include "render/chunks/chunk_mesher.h"
#include "render/chunks/mesh_vertex.h"
#include "render/figures/hand_placement.h"
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

}  // namespace render
