// Every screen and world pass the game draws, captured at a frozen animation clock and compared
// pixel by pixel with the committed reference pictures, so that shader work cannot change a frame
// unnoticed: within the driver's rounding across CPUs, or exactly with QUORVANE_EXACT_CAPTURES on the
// machine that recorded them. With QUORVANE_RECORD_CAPTURES set the captures replace the references.
#include <cmath>
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gpu_fixture.h"
#include "picture_difference.h"
#include "game/movement.h"
#include "platform/image.h"
#include "render/chunks/mesh_scheduling.h"
#include "world/block_registry.h"
#include "world/chunk.h"

namespace fs = std::filesystem;

namespace {

constexpr double kFrozenSeconds = 12.5;
constexpr int32_t kMidday = 13440;
constexpr int32_t kMidnight = 36000;
constexpr int32_t kSunset = 24000;

fs::path referenceFolder() {
    return fs::path(std::getenv("QUORVANE_SOURCE_DIR")) / "tests" / "fixtures" / "captures";
}

// A scene: a screen over the world at midday with the cursor at (x, y), then what `prepare` changes.
struct Scene {
    std::string name;
    int32_t screen;
    double x, y;
    std::function<void(App&)> prepare = [](App&) {};
};

class ReferenceCaptures : public rendertest::GpuTest {
protected:
    explicit ReferenceCaptures(uint32_t seed = 2) : worldSeed(seed) {}

    void SetUp() override {
        const fs::path content = fs::path(std::getenv("QUORVANE_SOURCE_DIR")) / "Content";
        if (fs::is_directory(content)) fs::copy(content, out.path() / "Content", fs::copy_options::recursive);
        fs::create_directories(out.path() / "Saves" / "world_1");
        testsupport::writeFile(out.path() / "Saves" / "world_1" / "world.txt",
                               "QUORVANE_WORLD 1\nname LAND\nseed " + std::to_string(worldSeed) +
                                   "\ngeneration 4\n");
        app.useRenderTestBase(out.path());
        testing::internal::CaptureStdout();
        app.startUp();
        testing::internal::GetCapturedStdout();
        app.frame.keepInterface = true;
        app.frame.fixedAnimationSeconds = kFrozenSeconds;
        spawn = app.player;
    }

    platform::Image capture(const std::string& name) {
        const fs::path png = out.path() / (name + ".png");
        app.gpu.capturePath = png;
        app.drawFrame();
        return platform::decodePng(png);
    }

    // A screen over the world at midday, the cursor at (x, y) of the 1280 x 720 framebuffer.
    void show(int32_t screen, double x, double y) {
        app.files.worldOpen = true;
        app.setScreen(screen);
        app.player = spawn;
        app.clock.timeOfDay = kMidday;
        app.ui.toast = {};
        app.ui.chatLines.clear();
        app.ui.chatShownUntil = 0.0;
        app.hands.target = {};
        app.entities.particles.clear();
        glfwSetCursorPos(app.gpu.win, x, y);
    }

    // Play looking down at the ground under the player, mined to `progress` (0: not mined).
    void lookDown(App& a, float progress) {
        a.player.pitch = -1.35f;
        const int32_t x = static_cast<int32_t>(std::floor(a.player.x)), z = static_cast<int32_t>(std::floor(a.player.z));
        int32_t y = static_cast<int32_t>(std::floor(a.player.y));
        while (y > 0 && a.blockAt(x, y, z) == voxel::airId) --y;
        a.hands.target = {x, y, z, true, progress > 0.0f, progress};
    }

    std::vector<Scene> scenes() {
        return {
            {"main-menu", 1, 640, 390, [](App& a) { a.files.worldOpen = false; }},
            {"play", 0, 0, 0, [](App& a) {
                 a.player.health = 13;
                 a.player.food[0] = 7;
             }},
            // The chat view over play: lines on their bands and the open entry, in the top left corner.
            {"chat", 0, 0, 0, [](App& a) {
                 ui::showChatLine(a.ui, ui::chatLine(U"БОРИС", U"ВСЕМ ПРИВЕТ!"), 0.0);
                 ui::showChatLine(a.ui, ui::chatLine(U"ИГРОК", U"ГДЕ ВЫ? Я У РЕКИ (12, -40)"), 0.0);
                 a.openChat(false);
                 a.ui.chatEntry = U"А ГДЕ МОСТ";
             }},
            {"pause", 2, 640, 320},
            // The solid pass has a pipeline of its own while nothing is mined.
            {"looking-down", 0, 0, 0, [this](App& a) { lookDown(a, 0.0f); }},
            {"mining", 0, 0, 0, [this](App& a) { lookDown(a, 0.6f); }},
            // Particles share the water pipeline's blending but not the water pass's shaders.
            {"particles", 0, 0, 0, [](App& a) {
                 const double yaw = a.player.yaw;
                 for (int k = 0; k < 12; ++k) {
                     const double along = 2.0 + 0.25 * k;
                     a.spawnParticle({a.player.x + along * std::cos(yaw) + 0.3 * (k % 3 - 1), a.player.y + 0.2 * (k % 4),
                                      a.player.z + along * std::sin(yaw)},
                                     k % 3, 0.3f, 1234u * (k + 1));
                 }
                 // Half way through their lives, where they show at full opacity.
                 for (Particle& p : a.entities.particles) p.life = p.fullLife / 2;
             }},
            {"world-list-empty", 5, 10, 10},
            {"world-list", 5, 200, 660, [](App& a) { a.inventory.main[17] = InventorySlot{3, 5, 0}; }},
            {"new-world", 6, 10, 10, [](App& a) { a.inventory.main[15] = InventorySlot{1, 1, 0}; }},
            {"delete-world", 12, 500, 460},
            {"death", 7, 10, 10},
            {"furnace", 10, 10, 10},
            {"chest", 11, 470, 150, [](App& a) {
                 a.containers.chests[a.dimension][{0, 0, 0}][3] = InventorySlot{3, 12, 0};
                 a.inventory.cursor = InventorySlot{1, 5, 0};
                 a.showToast(U"НЕТ МЕСТА");
             }},
            {"crafting", 9, 640, 300, [](App& a) { a.ui.container.recipe = 1; }},
            {"night-sky", 0, 0, 0, [](App& a) {
                 a.clock.timeOfDay = kMidnight;
                 a.player.pitch = 1.1f;
             }},
            {"sunset", 0, 0, 0, [](App& a) {
                 a.clock.timeOfDay = kSunset;
                 a.player.yaw = 3.14159265f;
                 a.player.pitch = 0.05f;
             }},
            // The world map over the land around the player, with a marker of each kind the game sets.
            {"world-map", 18, 640, 360, [](App& a) {
                 for (int frame = 0; frame < 64; ++frame) a.updateWorldMap();
                 const auto x = static_cast<int32_t>(a.player.x), z = static_cast<int32_t>(a.player.z);
                 game::addMarker(a.currentMap(), {x + 20, 64, z - 12, game::kPortalMarker, "ПОРТАЛ В ПЕПЕЛЬНЫЕ ЗЕМЛИ"});
                 game::addMarker(a.currentMap(), {x - 40, 64, z + 30, game::kCityMarker, "ГОРОД 0,0"});
             }},
            // Last, as it builds: a burning furnace, whose fire is drawn after the chunks with the general
            // pipeline (its opening is a colour box).
            {"furnace-fire", 0, 0, 0, [](App& a) {
                 a.player.yaw = 1.5707963f;
                 a.player.pitch = -0.25f;
                 const int32_t x = static_cast<int32_t>(std::floor(a.player.x));
                 const int32_t y = static_cast<int32_t>(std::floor(a.player.y));
                 const int32_t z = static_cast<int32_t>(std::floor(a.player.z)) + 3;
                 const uint8_t id = voxel::findCustomBlock("core:furnace");
                 ASSERT_NE(id, 0);
                 ASSERT_TRUE(a.setBlock(x, y - 1, z, id));
                 a.setBlockState(x, y - 1, z, 2);  // the front towards the player
                 Machine burning;
                 burning.burnRemaining = burning.burnTotal = 1000;
                 a.machines[a.dimension][CellKey{x, y - 1, z}] = burning;
                 a.world.updateSet.clear();
                 a.world.updateQueue.clear();
                 a.refreshLights(true);
                 a.uploadMesh(render::meshEverything);
             }},
        };
    }

    // Compares every scene with its reference picture, or records it with QUORVANE_RECORD_CAPTURES.
    void checkScenes(const std::vector<Scene>& list) {
        const bool record = std::getenv("QUORVANE_RECORD_CAPTURES") != nullptr;
        for (const Scene& scene : list) {
            app.inventory = Inventory{};
            show(scene.screen, scene.x, scene.y);
            scene.prepare(app);
            const platform::Image shown = capture(scene.name);
            const fs::path reference = referenceFolder() / (scene.name + ".png");
            if (record) {
                fs::create_directories(referenceFolder());
                fs::copy_file(out.path() / (scene.name + ".png"), reference, fs::copy_options::overwrite_existing);
                continue;
            }
            ASSERT_TRUE(fs::exists(reference)) << reference;
            EXPECT_EQ(rendertest::pictureDifference(platform::decodePng(reference), shown, rendertest::captureAllowance()), "")
                << scene.name;
        }
        if (record) GTEST_SKIP() << "references recorded in " << referenceFolder();
    }

    // Every loaded chunk becomes a flat meadow with its grass at `ground`, and a stone wall 1 thick
    // and 8 high runs along x at z = `wallZ`; then all is lit and meshed again.
    void buildMeadowWithWall(int32_t ground, int32_t wallZ) {
        constexpr uint8_t kGrass = 1, kDirt = 2, kStone = 3;
        for (voxel::Chunk& chunk : app.world.chunks) {
            for (int32_t y = 0; y < voxel::chunkHeight; ++y) {
                const uint8_t id = y < ground ? kDirt : y == ground ? kGrass : voxel::airId;
                for (uint32_t i = 0; i < 256; ++i) chunk.set(i % 16, static_cast<uint32_t>(y), i / 16, id);
            }
            app.markChunkDirty(chunk.cx, chunk.cz);
        }
        for (int32_t x = -24; x < 40; ++x)
            for (int32_t y = ground + 1; y <= ground + 8; ++y) ASSERT_TRUE(app.setBlock(x, y, wallZ, kStone));
        app.uploadMesh(render::meshEverything);
    }

    // Draws every scene with the game's shaders and with the same files whose specialisation
    // constants are plain: the extra pipelines differ from those they stand for in those alone.
    void compareWithUnspecialisedShaders(const std::vector<Scene>& list) {
        for (const Scene& scene : list) {
            app.inventory = Inventory{};
            show(scene.screen, scene.x, scene.y);
            scene.prepare(app);
            const platform::Image game = capture(scene.name);
            setenv("QUORVANE_TEST_SHADERS", QUORVANE_UNSPECIALISED_SHADERS, 1);
            app.createSwapchain();
            const platform::Image unspecialised = capture(scene.name + "-unspecialised");
            unsetenv("QUORVANE_TEST_SHADERS");
            app.createSwapchain();
            EXPECT_EQ(rendertest::pictureDifference(game, unspecialised, rendertest::captureAllowance()), "")
                << scene.name;
        }
    }

    uint32_t worldSeed;
    testsupport::TempDir out;
    PlayerState spawn;
};

TEST_F(ReferenceCaptures, EveryScreenAndPassDrawsAsRecorded) { checkScenes(scenes()); }

TEST_F(ReferenceCaptures, ShadersWithoutSpecialisationDrawEveryScreenAlike) {
    compareWithUnspecialisedShaders(scenes());
}

// The solid pass leaves out the plain face groups that face away from the eye or lie outside the
// view: from each of these eyes the frame must come out as when every one is drawn, with fewer
// triangles. Only within the ordinary allowance, on any machine: where a face seen from behind meets
// one seen from the front on a silhouette edge, the depth rounding let the hidden one win a lone
// pixel now and then.
TEST_F(ReferenceCaptures, LeavingOutHiddenFaceGroupsChangesNoPixel) {
    struct Eye {
        const char* what;
        float lift, yaw, pitch;
        bool thirdPerson;
        bool insideGround;  // then nothing may be left out
    };
    const Eye eyes[] = {
        {"high above, looking out and down", 30.0f, 0.0f, -0.17453292f, false, false},
        {"at the spawn, looking level", 0.0f, 2.3f, 0.0f, false, false},
        {"steeply down", 8.0f, 0.7f, -1.2f, false, false},
        {"third person", 0.0f, -1.0f, -0.3f, true, false},
        {"inside the ground", 0.0f, 0.4f, -0.2f, false, true},
    };
    for (const Eye& eye : eyes) {
        show(0, 0, 0);
        app.player.y += eye.lift;
        app.player.yaw = eye.yaw;
        app.player.pitch = eye.pitch;
        app.player.thirdPerson = eye.thirdPerson;
        if (eye.insideGround) {
            auto below = [&] { return static_cast<int32_t>(std::floor(app.player.y)); };
            while (below() > 0 && !voxel::blockDef(app.blockAt(8, below(), 29)).opaque) app.player.y -= 1.0f;
            app.player.x = 8.5f;
            app.player.z = 29.5f;
            ASSERT_TRUE(voxel::blockDef(app.blockAt(8, below(), 29)).opaque);
        }
        app.frame.cullFaceGroups = false;
        const platform::Image all = capture("all");
        const uint32_t allTriangles = app.frame.stats.visibleTriangles;
        app.frame.cullFaceGroups = true;
        const platform::Image shown = capture("culled");
        if (eye.insideGround) {
            EXPECT_EQ(app.frame.stats.visibleTriangles, allTriangles) << eye.what;
        } else {
            EXPECT_LT(app.frame.stats.visibleTriangles, allTriangles) << eye.what;
        }
        EXPECT_EQ(rendertest::pictureDifference(all, shown, rendertest::kDriverRounding), "") << eye.what;
    }
}

// The third-person eye stops a little short of a wall behind the player, so the near plane can cut
// into the stone beside it; the wall's far faces, seen from behind, then cover what its clipped near
// faces would. The player touches a wall 1 thick and 8 high in a flat meadow, looks along it and is
// turned a little away from it (a negative turn: towards it, which leaves the eye in open air).
TEST_F(ReferenceCaptures, AWallBesideTheThirdPersonEyeDrawsAsWithoutCulling) {
    constexpr int32_t kGround = 64, kWallZ = 31;
    ASSERT_NO_FATAL_FAILURE(buildMeadowWithWall(kGround, kWallZ));
    for (const float turn : {0.05f, 0.1f, 0.2f, 0.3f, -0.3f}) {
        show(0, 0, 0);
        app.player.x = 8.5f;
        app.player.y = kGround + 2.62f;
        app.player.z = static_cast<float>(kWallZ - game::kBodyHalfWidth);
        app.player.yaw = -turn;
        app.player.pitch = 0.0f;
        app.player.thirdPerson = true;
        app.frame.cullFaceGroups = false;
        const platform::Image all = capture("all");
        app.frame.cullFaceGroups = true;
        EXPECT_EQ(rendertest::pictureDifference(all, capture("culled"), rendertest::kDriverRounding), "")
            << "turned " << turn;
    }
}

// A hall under the meadow, open to the sky through a shaft: the faces of the hall that the ground
// hides from the eye are left out, those seen down the shaft are drawn, and the frame is the same.
TEST_F(ReferenceCaptures, LeavingOutFacesTheGroundHidesChangesNoPixel) {
    constexpr int32_t kGround = 64;
    ASSERT_NO_FATAL_FAILURE(buildMeadowWithWall(kGround, 40));
    for (int32_t x = 0; x < 16; ++x)
        for (int32_t z = 20; z < 36; ++z)
            for (int32_t y = 40; y <= kGround; ++y) {
                const bool hall = y <= 50 && !(x == 4 && z == 24), shaft = x >= 8 && x <= 9 && z >= 28 && z <= 29;
                if (hall || shaft) {
                    ASSERT_TRUE(app.setBlock(x, y, z, voxel::airId));
                }
            }
    app.uploadMesh(render::meshEverything);
    struct Eye {
        float x, y, z, yaw, pitch;
    };
    const Eye eyes[] = {{8.9f, 80.0f, 28.9f, 0.0f, -1.55f},
                        {8.5f, 75.0f, 25.0f, 3.14f, -1.0f},
                        {4.5f, kGround + 2.62f, 29.0f, -1.57f, -0.5f}};
    for (const Eye& eye : eyes) {
        show(0, 0, 0);
        app.player.x = eye.x, app.player.y = eye.y, app.player.z = eye.z;
        app.player.yaw = eye.yaw, app.player.pitch = eye.pitch;
        app.frame.cullBuriedGroups = false;
        const platform::Image facing = capture("facing");
        const uint32_t facingTriangles = app.frame.stats.visibleTriangles;
        app.frame.cullBuriedGroups = true;
        EXPECT_EQ(rendertest::pictureDifference(facing, capture("unburied"), rendertest::kDriverRounding), "")
            << "eye at " << eye.x << ", " << eye.y << ", " << eye.z;
        EXPECT_LT(app.frame.stats.visibleTriangles, facingTriangles);
    }
}

// Seed 6 puts a lake, trees, tall grass and flowers of the content pack into the loaded window, so
// the water surface and the wind-swayed plants and leaves are guarded too.
class LakesideCaptures : public ReferenceCaptures {
protected:
    LakesideCaptures() : ReferenceCaptures(6) {}

    // The eye 1.62 above the ground of column (x, z).
    void standAt(int32_t x, int32_t z, float yaw, float pitch) {
        int32_t ground = voxel::chunkHeight - 1;
        while (ground > 0 && app.blockAt(x, ground, z) == voxel::airId) --ground;
        app.player.x = x + 0.5f;
        app.player.y = ground + 1.0f + 1.62f;
        app.player.z = z + 0.5f;
        app.player.yaw = yaw;
        app.player.pitch = pitch;
    }

    std::vector<Scene> lakeside() {
        return {{"lake", 0, 0, 0, [this](App&) { standAt(36, 26, -2.46f, -0.15f); }},
                {"meadow", 0, 0, 0, [this](App&) { standAt(36, 26, 0.9f, -0.45f); }}};
    }
};

TEST_F(LakesideCaptures, WaterAndSwayingPlantsDrawAsRecorded) { checkScenes(lakeside()); }

TEST_F(LakesideCaptures, ShadersWithoutSpecialisationDrawWaterAndPlantsAlike) {
    compareWithUnspecialisedShaders(lakeside());
}
}  // namespace
