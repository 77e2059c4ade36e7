#include "world/block_registry.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/failure.h"
#include "support/fresh_registry.h"

namespace {

using testsupport::failureOf;

using BlockRegistryTest = testsupport::FreshRegistryTest;
using testsupport::namedBlock;

// Two triangles per face of the unit cube, in the face order top, bottom, z0, z1, x1, x0.
std::vector<ModelVertex> unitCube() {
    const float quads[6][4][3] = {
        {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}}, {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}},
        {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
        {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}},
    };
    std::vector<ModelVertex> vertices;
    for (const auto& quad : quads) {
        for (const int corner : {0, 1, 2, 0, 2, 3}) {
            ModelVertex v;
            v.x = quad[corner][0];
            v.y = quad[corner][1];
            v.z = quad[corner][2];
            vertices.push_back(v);
        }
    }
    return vertices;
}

TEST_F(BlockRegistryTest, BuiltinBlocks) {
    struct Expected {
        const char* name;
        const char* top;
        const char* bottom;
        const char* side;
        bool solid;
        bool opaque;
    };
    const Expected expected[13] = {
        {"air", "air", "air", "air", false, false},
        {"grass", "grass_top", "dirt", "grass_side", true, true},
        {"dirt", "dirt", "dirt", "dirt", true, true},
        {"stone", "stone", "stone", "stone", true, true},
        {"sand", "sand", "sand", "sand", true, true},
        {"water", "water", "water", "water", false, false},
        {"bedrock", "bedrock", "bedrock", "bedrock", true, true},
        {"oak_log", "oak_log_top", "oak_log_top", "oak_log_side", true, true},
        {"oak_leaves", "oak_leaves", "oak_leaves", "oak_leaves", true, false},
        {"coal_ore", "coal_ore", "coal_ore", "coal_ore", true, true},
        {"iron_ore", "iron_ore", "iron_ore", "iron_ore", true, true},
        {"gold_ore", "gold_ore", "gold_ore", "gold_ore", true, true},
        {"diamond_ore", "diamond_ore", "diamond_ore", "diamond_ore", true, true},
    };
    ASSERT_EQ(voxel::blockCount(), 13u);
    for (uint8_t id = 0; id < 13; ++id) {
        const voxel::BlockDef& def = voxel::blockDef(id);
        SCOPED_TRACE(def.name);
        EXPECT_EQ(def.name, expected[id].name);
        EXPECT_EQ(voxel::faceTexture(id, 0), expected[id].top);
        EXPECT_EQ(voxel::faceTexture(id, 1), expected[id].bottom);
        for (uint8_t face = 2; face < 6; ++face) EXPECT_EQ(voxel::faceTexture(id, face), expected[id].side);
        EXPECT_EQ(def.solid, expected[id].solid);
        EXPECT_EQ(def.opaque, expected[id].opaque);
        EXPECT_TRUE(def.isBlock);
        EXPECT_TRUE(def.available);
        EXPECT_TRUE(def.id.empty());
        EXPECT_EQ(def.max_stack, 64);
        EXPECT_EQ(def.wind_animation, id == 8 ? 2u : 0u);
        EXPECT_FLOAT_EQ(def.wind_strength, id == 8 ? 0.035f : 0.1f);
    }
}

TEST_F(BlockRegistryTest, DefinitionDefaults) {
    const voxel::BlockDef def;
    EXPECT_EQ(def.dimension, "core:ash");
    EXPECT_EQ(def.attack, 3);
    EXPECT_EQ(def.armor_slot, -1);
    EXPECT_EQ(def.lid_part, "lid");
    EXPECT_EQ(def.latch_part, "latch");
    EXPECT_FLOAT_EQ(def.lid_degrees, 94.54f);
    EXPECT_FLOAT_EQ(def.lid_hinge_y, 0.71875f);
    EXPECT_EQ(def.fire_material, -1);
    EXPECT_FLOAT_EQ(def.fire_light, 9.3f);
    EXPECT_FLOAT_EQ(def.door_thickness, 0.1875f);
    EXPECT_EQ(def.shield_reduction, 80u);
    EXPECT_EQ(def.shield_arc, 110u);
    EXPECT_FLOAT_EQ(def.glide_speed, 9.0f);
    EXPECT_FLOAT_EQ(def.glide_sink, 2.0f);
    EXPECT_FLOAT_EQ(def.updraft_lift, 8.0f);
    EXPECT_EQ(def.particle_interval_ticks, 20);
    EXPECT_FLOAT_EQ(def.particle_height, 1.05f);
    EXPECT_FLOAT_EQ(def.particle_size, 0.08f);
    EXPECT_DOUBLE_EQ(def.heldClips[1][4].duration, 1.0);
    EXPECT_TRUE(def.heldClips[1][4].keys.empty());
    EXPECT_EQ(def.firstPersonDisplay.matrix[1][1], 1.0f);
    EXPECT_EQ(def.firstPersonDisplay.matrix[0][1], 0.0f);
    EXPECT_FALSE(def.thirdPersonDisplay.authored);
}

TEST_F(BlockRegistryTest, LookupsOfBadIdsAndFaces) {
    EXPECT_EQ(failureOf<std::out_of_range>([] { voxel::blockDef(13); }), "invalid block ID");
    EXPECT_FALSE(voxel::isValidBlockId(13));
    EXPECT_TRUE(voxel::isValidBlockId(12));
    EXPECT_EQ(failureOf<std::out_of_range>([] { voxel::faceTexture(1, 6); }), "invalid block face");
    EXPECT_EQ(failureOf<std::out_of_range>([] { voxel::faceTexture(40, 0); }), "invalid block ID");
    EXPECT_EQ(voxel::blockIntField(0), 0);
    EXPECT_EQ(voxel::blockIntField(3), 64);
}

TEST_F(BlockRegistryTest, TextureLayers) {
    const uint32_t rows[][3] = {{0, 0, 0}, {5, 0, 30}, {12, 5, 77}, {13, 0, 128}, {14, 6, 141}, {255, 5, 1827}};
    for (const auto& [id, face, layer] : rows) {
        EXPECT_EQ(voxel::textureLayer(static_cast<uint8_t>(id), face), layer) << id << " " << face;
    }
}

TEST_F(BlockRegistryTest, RegistrationGrowsWithPlaceholders) {
    voxel::registerBlock(20, namedBlock("demo:lamp"));
    ASSERT_EQ(voxel::blockCount(), 21u);
    for (uint8_t id = 13; id < 20; ++id) {
        EXPECT_EQ(voxel::blockDef(id).name, "MISSING RESOURCE");
        EXPECT_FALSE(voxel::blockDef(id).available);
        EXPECT_TRUE(voxel::blockDef(id).solid);
        EXPECT_EQ(voxel::blockIntField(id), 64);
    }
    EXPECT_EQ(voxel::findCustomBlock("demo:lamp"), 20);
    EXPECT_EQ(voxel::findCustomBlock("demo:other"), 0);
    EXPECT_EQ(voxel::findCustomBlock(""), 0);

    voxel::BlockDef hidden = namedBlock("demo:hidden");
    hidden.available = false;
    voxel::registerBlock(15, hidden);
    EXPECT_EQ(voxel::findCustomBlock("demo:hidden"), 0);
    voxel::registerBlock(15, namedBlock("demo:hidden"));
    EXPECT_EQ(voxel::findCustomBlock("demo:hidden"), 15);
    EXPECT_EQ(voxel::blockCount(), 21u);

    voxel::registerBlock(255, namedBlock("demo:last"));
    EXPECT_EQ(voxel::blockCount(), 256u);
    EXPECT_EQ(voxel::findCustomBlock("demo:last"), 255);
}

TEST_F(BlockRegistryTest, RegistrationOutsideCustomIdsChangesNothing) {
    for (const uint32_t id : {12u, 256u}) {
        EXPECT_EQ(failureOf<std::out_of_range>([&] { voxel::registerBlock(id, namedBlock("demo:a")); }),
                  "Custom resource ID outside 13..255");
    }
    EXPECT_EQ(voxel::blockCount(), 13u);
    EXPECT_EQ(voxel::blockDef(12).name, "diamond_ore");
}

TEST_F(BlockRegistryTest, UnitCubeModelsAreClassified) {
    voxel::BlockDef cube = namedBlock("demo:cube");
    cube.modelVertices = unitCube();
    voxel::registerBlock(13, cube);
    const voxel::BlockDef& def = voxel::blockDef(13);
    EXPECT_TRUE(def.fullCube);
    EXPECT_EQ(def.triangleFaces, (std::vector<uint8_t>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5}));

    voxel::BlockDef extra = cube;
    for (int i = 0; i < 3; ++i) extra.modelVertices.push_back(cube.modelVertices[i]);
    voxel::classifyModel(extra);
    EXPECT_EQ(extra.triangleFaces.size(), 13u);
    EXPECT_FALSE(extra.fullCube);

    voxel::BlockDef outside = cube;
    outside.modelVertices[0].y = 1.00002f;
    voxel::classifyModel(outside);
    EXPECT_EQ(outside.triangleFaces[0], voxel::unclassifiedTriangle);
    EXPECT_FALSE(outside.fullCube);

    voxel::BlockDef moving = cube;
    moving.modelVertices[7].part = 1;
    voxel::classifyModel(moving);
    EXPECT_EQ(moving.triangleFaces[2], voxel::unclassifiedTriangle);
    EXPECT_FALSE(moving.fullCube);

    // A triangle across the cell's inside lies in no face plane.
    voxel::BlockDef slanted = namedBlock("demo:slant");
    slanted.modelVertices.resize(3);
    slanted.modelVertices[1].x = 1.0f;
    slanted.modelVertices[2].y = 1.0f;
    slanted.modelVertices[2].z = 1.0f;
    voxel::classifyModel(slanted);
    EXPECT_EQ(slanted.triangleFaces, (std::vector<uint8_t>{voxel::unclassifiedTriangle}));
}

}  // namespace
