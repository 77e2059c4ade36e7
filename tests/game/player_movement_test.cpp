#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <tuple>

#include "app/open_world.h"
#include "game/movement.h"
#include "world/loaded_world.h"

namespace {

constexpr uint8_t slab = 20, chestLike = 21;
constexpr double kFrame = 1.0 / 60.0;

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
    // A solid block whose model fills only part of its cell.
    static void addPartialBlock(uint8_t id, std::array<float, 6> bounds) {
        voxel::BlockDef def;
        def.solid = true;
        def.modelVertices.resize(3);
        def.modelBounds = bounds;
        voxel::registerBlock(id, def);
    }
    void placeFeet(float x, float feetY, float z) {
        app.player.x = x, app.player.y = feetY + float(game::kEyeHeight), app.player.z = z;
    }
    void run(double wishX, double wishZ, double seconds) {
        game::MoveInput input;
        input.wishX = wishX, input.wishZ = wishZ;
        for (int i = 0; i < seconds / kFrame; ++i) app.movePlayer(input, kFrame);
    }
    float feet() const { return app.player.y - float(game::kEyeHeight); }
};

TEST_F(PlayerMovement, DroppedPlayerLandsAndStaysOnWhatIsBelow) {
    const struct {
        const char* name;
        float x;
        uint8_t block;
        float feet;
    } cases[] = {
        {"the ground", 4.5f, 0, 64.0f},
        {"a slab's top", 4.5f, slab, 64.5f},
        {"a chest-sized block's top", 4.5f, chestLike, 64.9375f},
        {"low ground", -11.5f, 0, 32.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.setBlock(4, 64, 4, c.block);
        placeFeet(c.x, 80.0f, 4.5f);
        run(0, 0, 3.0);
        EXPECT_FLOAT_EQ(feet(), c.feet);
        run(0, 0, 1.0);
        EXPECT_FLOAT_EQ(feet(), c.feet) << "stays at rest";
    }
}

// A door facing 0 in (5, 64, 5) fills the cell's low z edge when closed and its low x edge when
// open; the player walks along +z through the middle of the cell towards a wall at z = 8.
TEST_F(PlayerMovement, OpenDoorLetsThePlayerThroughAClosedOneDoesNot) {
    app.setBlock(5, 64, 8, worldtest::stone);
    app.setBlock(5, 65, 8, worldtest::stone);
    for (const auto& [state, stopZ] :
         {std::pair<uint8_t, float>{0, 5.0f - 0.29f}, {voxel::stateOpen, 7.71f}}) {
        SCOPED_TRACE(int(state));
        app.setBlock(5, 64, 5, worldtest::door);
        app.setBlockState(5, 64, 5, state);
        app.setBlock(5, 65, 5, worldtest::door);
        app.setBlockState(5, 65, 5, state | voxel::stateUpper);
        placeFeet(5.5f, 64.0f, 3.5f);
        run(0, 1, 2.0);
        EXPECT_FLOAT_EQ(app.player.z, stopZ);
    }
}

// The neighbouring chunk is not loaded yet: it walls the player in instead of dropping them.
TEST_F(PlayerMovement, UnloadedChunksHoldThePlayer) {
    placeFeet(14.5f, 64.0f, 8.5f);
    run(1, 0, 1.0);
    EXPECT_FLOAT_EQ(app.player.x, 16.0f - 0.29f);
    placeFeet(20.5f, 70.0f, 8.5f);
    run(0, 0, 1.0);
    EXPECT_FLOAT_EQ(feet(), 70.0f) << "over a chunk still streaming in the player waits";
}

// Dug down one block beside a camp's log, the player walks on into a wall two blocks high with a
// tap of Space each frame: at a few frames a second the tap is over before the frame reads the key.
TEST_F(PlayerMovement, ATappedSpaceJumpsOutOfAOneBlockHoleAtAnyFrameRate) {
    const struct {
        double fps;
        bool tapped;
    } cases[] = {{6.0, true}, {60.0, true}, {6.0, false}};
    for (const auto& c : cases) {
        for (const auto& [x, y, z, id] : {std::tuple{4, 63, 4, voxel::airId}, {4, 64, 5, worldtest::lantern},
                                          {8, 64, 4, worldtest::stone}, {8, 65, 4, worldtest::stone}})
            app.setBlock(x, y, z, id);
        placeFeet(4.5f, 63.0f, 4.5f);
        for (int i = 0; i < 2.0 * c.fps; ++i) {
            if (c.tapped) app.onKey(nullptr, GLFW_KEY_SPACE, 0, GLFW_PRESS, 0), app.onKey(nullptr, GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
            game::MoveInput input = app.takeMoveInput();
            input.wishX = 1.0;
            app.movePlayer(input, 1.0 / c.fps);
        }
        EXPECT_FLOAT_EQ(app.player.x, c.tapped ? 8.0f - 0.29f : 5.0f - 0.29f) << c.fps << " fps, tapped " << c.tapped;
    }
}

using GeneratedWorld = apptest::OpenWorld;

// The player dropped over generated terrain comes to rest on the highest solid block of its column,
// through any water above it (at this spot, 16 blocks of sea).
TEST_F(GeneratedWorld, DroppedPlayerLandsOnTheTerrain) {
    app.generateEnvironment();
    int32_t top = voxel::chunkHeight - 1;
    while (top > 0 && !voxel::blockDef(app.blockAt(8, top, 29)).solid) --top;
    ASSERT_GT(top, 0) << "terrain was generated";
    app.player.x = 8.5f, app.player.y = 120.0f, app.player.z = 29.5f;
    for (int i = 0; i < 20 * 60; ++i) app.movePlayer({}, 1.0 / 60.0);
    EXPECT_FLOAT_EQ(app.player.y, float(top + 1 + game::kEyeHeight));
}

}  // namespace
