#pragma once
// The block registry: one definition per one-byte resource id. Ids 0..12 are built in, 13..255 are
// installed by the content loader at start-up; afterwards the registry is only read.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One vertex of a block, item or NPC model; three per triangle.
struct ModelVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // blocks
    float u = 0.0f, v = 0.0f;
    int32_t texture = 0;  // index into the definition's texture list
    float shade = 1.0f;
    uint32_t part = 0;  // 0 = no moving part
};
static_assert(sizeof(ModelVertex) == 32);

// One key of a held-item animation clip.
struct HeldKey {
    double time = 0.0;
    float rotation[3] = {0.0f, 0.0f, 0.0f};     // degrees
    float translation[3] = {0.0f, 0.0f, 0.0f};  // 1/16 block
    float scale[3] = {1.0f, 1.0f, 1.0f};
};

// A held-item animation clip; one without keys is absent.
struct HeldClip {
    double duration = 1.0;
    bool loop = false;
    std::vector<HeldKey> keys;  // sorted by time, at most 128
};

// How a model sits in the hand in one view.
struct HeldDisplay {
    float matrix[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    float translation[3] = {0.0f, 0.0f, 0.0f};
    bool authored = false;
};

namespace voxel {

inline constexpr uint32_t builtinBlockCount = 13;
inline constexpr uint32_t maxBlockCount = 256;
inline constexpr uint8_t unclassifiedTriangle = 0xFF;

// The definition of one block or item. Field names follow the content keys that fill them.
struct BlockDef {
    std::string name;
    std::array<std::string, 6> faces;  // top, bottom, then the four sides
    bool solid = false;
    bool opaque = false;
    std::string id;  // content id "namespace:name"; empty for built-ins
    bool isBlock = true;
    bool available = true;
    int32_t max_stack = 64;
    int32_t durability = 0;
    int32_t attack = 3;
    int32_t armor_slot = -1;
    int32_t defense = 0;
    std::string tool;
    float light = 0.0f;
    std::string behavior;
    std::string dimension = "core:ash";
    std::vector<std::string> textures;  // UTF-8 paths, Blockbench order
    std::string icon;
    std::vector<ModelVertex> modelVertices;
    std::vector<uint8_t> triangleFaces;  // face class 0..5 per triangle, or unclassifiedTriangle
    bool fullCube = false;
    bool movingParts = false;
    std::string lid_part = "lid";
    std::string latch_part = "latch";
    float lid_seconds = 0.3f;
    float lid_degrees = 94.54f;
    float lid_hinge_y = 0.71875f;
    float lid_hinge_z = 0.0f;
    int32_t fire_material = -1;
    float fire_light = 9.3f;
    bool rotatable = false;
    float door_thickness = 0.1875f;
    float door_seconds = 0.3f;
    uint32_t shield_reduction = 80;
    uint32_t shield_arc = 110;
    float glide_speed = 9.0f;
    float glide_sink = 2.0f;
    float updraft_lift = 8.0f;
    int32_t cold_resistance = 0;
    int32_t quality = 0;
    int32_t attack_bonus = 0;
    int32_t defense_bonus = 0;
    int32_t durability_bonus = 0;
    int32_t stamina_reduction = 0;
    std::string base_item;
    bool bowDeformation = false;
    HeldClip heldClips[2][5];  // [first person, third person][idle, walk, attack, use, bow]
    HeldDisplay firstPersonDisplay;
    HeldDisplay thirdPersonDisplay;
    std::array<float, 6> modelBounds{};  // min x, y, z, max x, y, z
    std::array<float, 3> gripPoint{};
    uint32_t wind_animation = 0;   // 0 none, 1 plant, 2 leaves
    uint32_t particle_effect = 0;  // 0 none, 1 smoke, 2 sparks, 3 splash
    int32_t particle_interval_ticks = 20;
    float wind_strength = 0.1f;
    float wind_speed = 1.0f;
    float particle_size = 0.08f;
    float particle_height = 1.05f;
};

// The process-wide registry, built with the thirteen built-ins on first use.
std::vector<BlockDef>& blockRegistry();
// std::out_of_range "invalid block ID" when id is not below the registry size.
const BlockDef& blockDef(uint8_t id);
std::size_t blockCount();
bool isValidBlockId(uint32_t id);
// The max_stack of an id; 0 for air.
int32_t blockIntField(uint8_t id);
// Layer of a face in the block texture array: seven layers per custom id from layer 128.
uint32_t textureLayer(uint8_t id, uint32_t face);
// Texture name of face 0..5; std::out_of_range for a face of 6 or more.
const std::string& faceTexture(uint8_t id, uint8_t face);
// The first available custom id whose content id equals name exactly; 0 when none.
uint8_t findCustomBlock(const std::string& name);
// A fresh "MISSING RESOURCE" entry for gaps in the registry.
BlockDef missingResource();
// Classifies the model triangles, then installs def at id (13..255, else std::out_of_range
// "Custom resource ID outside 13..255"), growing the registry with placeholders up to it.
void registerBlock(uint32_t id, BlockDef def);
// Fills triangleFaces and fullCube from the model vertices.
void classifyModel(BlockDef& def);
// Back to the thirteen built-ins. The game never calls it; tests and scenarios that need a
// registry without custom content do.
void resetBlockRegistry();

}  // namespace voxel
