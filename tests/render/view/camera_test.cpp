#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "app/app.h"
#include "render/view/camera.h"
#include "render/view/view_planes.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct Clip {
    float x, y, z, w;
};

Clip transform(const render::Matrix4& m, float x, float y, float z) {
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14], m[3] * x + m[7] * y + m[11] * z + m[15]};
}

TEST(Camera, MatrixOfAnEyeAtTheOriginLookingAlongX) {
    const render::Matrix4 m = render::viewProjection({}, 0.0f, 0.0f, kPi / 2.0f, 2.0f);
    // Column-major: right (0, 0, 1) scaled by g / aspect, up (0, 1, 0) by -g, back (-1, 0, 0).
    const std::array<float, 16> expected{0.0f, 0.0f, 1.0001f, 1.0f,  0.0f, -1.0f, 0.0f, 0.0f,
                                         0.5f, 0.0f, 0.0f,    0.0f,  0.0f, 0.0f,  -0.10001f, 0.0f};
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-6f) << "element " << i;
}

TEST(Camera, DepthRunsFromNearToFarAndUpIsTheTopOfTheScreen) {
    const render::Vec3 eye{8.0f, 83.0f, 29.0f};
    const float yaw = -kPi / 2.0f;  // looking along -z
    const render::Matrix4 m = render::viewProjection(eye, yaw, 0.0f, 1.309f, 16.0f / 9.0f);
    const Clip nearPoint = transform(m, 8.0f, 83.0f, 29.0f - 0.1f);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-4f);
    const Clip farPoint = transform(m, 8.0f, 83.0f, 29.0f - 1000.0f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-4f);
    const Clip ahead = transform(m, 8.0f, 83.0f, 19.0f);
    EXPECT_THAT((std::array{ahead.x / ahead.w, ahead.y / ahead.w}), testing::Each(testing::FloatNear(0.0f, 1e-5f)));
    const Clip above = transform(m, 8.0f, 85.0f, 19.0f);
    EXPECT_LT(above.y / above.w, 0.0f) << "Vulkan's y points down the screen";
    const Clip right = transform(m, 9.0f, 83.0f, 19.0f);
    EXPECT_GT(right.x / right.w, 0.0f) << "looking along -z, +x lies to the right";
}

TEST(Camera, PitchTiltsTheViewUpward) {
    const render::Matrix4 m = render::viewProjection({}, 0.0f, 0.5f, 1.309f, 1.0f);
    const Clip along = transform(m, std::cos(0.5f) * 10.0f, std::sin(0.5f) * 10.0f, 0.0f);
    EXPECT_THAT((std::array{along.x / along.w, along.y / along.w}), testing::Each(testing::FloatNear(0.0f, 1e-5f)));
}

TEST(Camera, ThirdPersonEyeStopsShortOfTheFirstSolidCell) {
    const render::Vec3 player{0.5f, 70.5f, 0.5f};
    const auto none = [](int32_t, int32_t, int32_t) { return false; };
    EXPECT_FLOAT_EQ(render::thirdPersonDistance(player, 0.0f, 0.0f, none), 4.0f);
    const auto all = [](int32_t, int32_t, int32_t) { return true; };
    EXPECT_NEAR(render::thirdPersonDistance(player, 0.0f, 0.0f, all), (0.15f - 0.08f) * 4.0f, 1e-6f);
    // Looking along +x the eye moves toward -x: the wall from x = -3 down is met at t = 0.65.
    const auto wall = [](int32_t x, int32_t, int32_t) { return x <= -3; };
    EXPECT_NEAR(render::thirdPersonDistance(player, 0.0f, 0.0f, wall), (0.65f - 0.08f) * 4.0f, 1e-5f);
}

render::ViewPlanes planesAlongX() {
    return render::extractViewPlanes(render::viewProjection({}, 0.0f, 0.0f, kPi / 2.0f, 1.0f));
}

TEST(ViewPlanes, AreSumsAndDifferencesOfTheMatrixRows) {
    const render::ViewPlanes planes = planesAlongX();
    // Rows: r0 = (0, 0, 1, 0), r1 = (0, -1, 0, 0), r2 = (1.0001, 0, 0, -0.10001), r3 = (1, 0, 0, 0).
    using testing::FloatEq;
    EXPECT_THAT((std::array{planes[0].nx, planes[0].nz, planes[1].nz, planes[2].ny, planes[3].ny, planes[4].nx,
                            planes[4].w, planes[5].w}),
                testing::ElementsAre(FloatEq(1.0f), FloatEq(1.0f), FloatEq(-1.0f), FloatEq(-1.0f), FloatEq(1.0f),
                                     FloatEq(1.0001f), FloatEq(-0.10001f), FloatEq(0.10001f)));
    EXPECT_NEAR(planes[5].nx, -0.0001f, 1e-7f);
}

TEST(ViewPlanes, BoxesAheadPassAndBoxesBehindOrBesideDoNot) {
    const render::ViewPlanes planes = planesAlongX();
    EXPECT_TRUE(render::boxInView(planes, {5.0, -1.0, -1.0, 6.0, 1.0, 1.0}));
    EXPECT_FALSE(render::boxInView(planes, {-6.0, -1.0, -1.0, -5.0, 1.0, 1.0}));
    EXPECT_FALSE(render::boxInView(planes, {5.0, -1.0, 20.0, 6.0, 1.0, 21.0})) << "outside the 90 degree view";
    EXPECT_FALSE(render::boxInView(planes, {1200.0, -1.0, -1.0, 1300.0, 1.0, 1.0})) << "beyond the far plane";
    EXPECT_TRUE(render::boxInView(planes, {-6.0, -1.0, -1.0, 6.0, 1.0, 1.0})) << "around the eye";
}

TEST(ViewPlanes, ChunkColumnsAndMeshBoundsWiden) {
    EXPECT_THAT(render::chunkColumnBox(-2, 3),
                testing::Pointwise(testing::DoubleEq(), render::Box{-33.0, -2.0, 47.0, -15.0, 131.0, 65.0}));
    const render::Box widened = render::widenedBox({0.0, 1.0, 2.0, 3.0, 4.0, 5.0}, 0.01);
    EXPECT_DOUBLE_EQ(widened[0], -0.01);
    EXPECT_DOUBLE_EQ(widened[5], 5.01);
}

// The player at the origin's eye height looking along +x, so chunk (1, 0) lies ahead and (-2, 0)
// behind.
void lookAlongX(App& app) {
    app.player.x = 0.5f;
    app.player.y = 70.0f;
    app.player.z = 8.0f;
    app.player.yaw = 0.0f;
    app.player.pitch = 0.0f;
    app.gpu.swapchainWidth = 1280;
    app.gpu.swapchainHeight = 720;
    render::Matrix4 camera{};
    app.computeCamera(camera.data(), 0.0f);
    app.frame.planes = render::extractViewPlanes(camera);
    app.frame.planesValid = true;
}

TEST(ChunkViewTest, EveryChunkIsVisibleBeforeTheFirstFrame) {
    App app;
    EXPECT_FALSE(app.frame.planesValid);
    EXPECT_TRUE(app.isChunkColumnInView(voxel::packChunkKey(-50, 7)));
    EXPECT_TRUE(app.isChunkMeshInView(voxel::packChunkKey(-50, 7)));
}

TEST(ChunkViewTest, MeshBoundsDecideAndColumnsStandInWithoutAMesh) {
    App app;
    lookAlongX(app);
    EXPECT_TRUE(app.isChunkColumnInView(voxel::packChunkKey(1, 0)));
    EXPECT_FALSE(app.isChunkColumnInView(voxel::packChunkKey(-2, 0)));
    EXPECT_TRUE(app.isChunkMeshInView(voxel::packChunkKey(1, 0))) << "no mesh: the column decides";

    // A mesh ahead whose geometry lies far below the view is not drawn, though its column is seen.
    ChunkMesh& low = app.world.meshes[voxel::packChunkKey(1, 0)];
    low.bounds = {16.0, 0.0, 0.0, 32.0, 2.0, 16.0};
    EXPECT_FALSE(app.isChunkMeshInView(voxel::packChunkKey(1, 0)));
    low.bounds = {16.0, 60.0, 0.0, 32.0, 80.0, 16.0};
    EXPECT_TRUE(app.isChunkMeshInView(voxel::packChunkKey(1, 0)));
}

TEST(ChunkViewTest, ThirdPersonCameraStandsBehindThePlayer) {
    App app;
    lookAlongX(app);
    render::Matrix4 first{};
    app.computeCamera(first.data(), 0.0f);
    app.player.thirdPerson = true;
    render::Matrix4 third{};
    app.computeCamera(third.data(), 0.0f);
    // Nothing is loaded, so the eye stands the whole 4 blocks back: the player is 4 blocks ahead.
    const Clip player = transform(third, 0.5f, 70.0f, 8.0f);
    EXPECT_NEAR(player.w, 4.0f, 1e-4f);
    EXPECT_NE(first, third);
}

}  // namespace
