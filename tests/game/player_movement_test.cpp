#include <gtest/gtest.h>

#include <string>

#include "game/movement.h"
#include "world/loaded_world.h"

namespace {

namespace id = worldtest;

constexpr uint8_t slab = 20;
constexpr uint8_t chestLike = 21;
constexpr uint8_t glider = 22;
constexpr double kFrame = 1.0 / 60.0;

// A solid block whose model fills only part of its cell.
void addPartialBlock(uint8_t blockId, std::array<float, 6> bounds) {
    voxel::BlockDef def;
    def.id = "test:" + std::to_string(blockId);
    def.solid = true;
    def.modelVertices.resize(3);
    def.modelBounds = bounds;
    voxel::registerBlock(blockId, def);
}

class PlayerMovement : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        addPartialBlock(slab, {0, 0, 0, 1, 0.5f, 1});
        addPartialBlock(chestLike, {0.0625f, 0, 0.0625f, 0.9375f, 0.9375f, 1});
        load(0, 0);
        // Low enough that the float eye height rounds the feet below the ground.
        load(-1, 0, 32);
    }
    void placeEye(float x, float feetY, float z) {
        app.player.x = x;
        app.player.y = feetY + static_cast<float>(game::kEyeHeight);
        app.player.z = z;
    }
    void run(const game::MoveInput& input, double seconds) {
        for (int i = 0; i < seconds / kFrame; ++i) app.movePlayer(input, kFrame);
    }
    float feet() const { return app.player.y - static_cast<float>(game::kEyeHeight); }
};

game::MoveInput walk(double wishX, double wishZ) {
    game::MoveInput input;
    input.wishX = wishX, input.wishZ = wishZ;
    return input;
}

TEST_F(PlayerMovement, DroppedPlayerLandsOnWhatIsBelow) {
    struct LandingCase {
        std::string name;
        float x;
        uint8_t block;  // placed at (4, 64, 4); 0 for none
        float feet;
    };
    const LandingCase cases[] = {
        {"the ground", 4.5f, 0, 64.0f},
        {"a slab's top", 4.5f, slab, 64.5f},
        {"a chest-sized block's top", 4.5f, chestLike, 64.9375f},
        {"low ground", -11.5f, 0, 32.0f},
    };
    for (const LandingCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.block != 0) app.setBlock(4, 64, 4, c.block);
        placeEye(c.x, 80.0f, 4.5f);
        run({}, 3.0);
        EXPECT_FLOAT_EQ(feet(), c.feet);
        run({}, 1.0);
        EXPECT_FLOAT_EQ(feet(), c.feet) << "stays at rest";
        app.setBlock(4, 64, 4, voxel::airId);
    }
}

// A door in cell (5, 64, 5) facing 0 fills the cell's low z edge when closed and its low x edge
// when open; the player walks along +z through the middle of the cell.
TEST_F(PlayerMovement, OpenDoorLetsThePlayerThroughAClosedOneDoesNot) {
    struct DoorCase {
        uint8_t state;
        bool passes;
    };
    for (const DoorCase& c : {DoorCase{0, false}, DoorCase{voxel::stateOpen, true}}) {
        SCOPED_TRACE(static_cast<int>(c.state));
        app.setBlock(5, 64, 5, id::door);
        app.setBlockState(5, 64, 5, c.state);
        app.setBlock(5, 65, 5, id::door);
        app.setBlockState(5, 65, 5, c.state | voxel::stateUpper);
        placeEye(5.5f, 64.0f, 3.5f);
        run(walk(0, 1), 1.5);
        if (c.passes) {
            EXPECT_GT(app.player.z, 6.0f);
        } else {
            EXPECT_FLOAT_EQ(app.player.z, 5.0f - 0.29f);
        }
    }
}

// The neighbouring chunk is not loaded yet: it walls the player in instead of dropping them.
TEST_F(PlayerMovement, UnloadedChunksHoldThePlayer) {
    placeEye(14.5f, 64.0f, 8.5f);
    run(walk(1, 0), 1.0);
    EXPECT_FLOAT_EQ(app.player.x, 16.0f - 0.29f);
    EXPECT_FLOAT_EQ(feet(), 64.0f);
    placeEye(20.5f, 64.0f, 8.5f);
    run({}, 1.0);
    EXPECT_FLOAT_EQ(feet(), 64.0f) << "over a chunk still streaming in the player waits";
}

TEST_F(PlayerMovement, GliderCountsOnlyInTheBodySlot) {
    voxel::BlockDef def;
    def.id = "test:glider";
    def.behavior = "glider";
    def.isBlock = false;
    voxel::registerBlock(glider, def);
    struct GliderCase {
        int slot;
        uint8_t item;
        int32_t count;
        bool worn;
    };
    const GliderCase cases[] = {
        {1, glider, 1, true}, {1, glider, 0, false}, {2, glider, 1, false}, {1, id::stick, 1, false}};
    for (const GliderCase& c : cases) {
        app.player.armor = {};
        app.player.armor[c.slot] = {c.item, c.count, 0};
        EXPECT_EQ(app.hasGliderEquipped() != nullptr, c.worn)
            << c.slot << " " << int(c.item) << " " << c.count;
    }
}

}  // namespace
