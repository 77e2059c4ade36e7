#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "models/vxm.h"
#include "platform/image.h"

namespace {

std::filesystem::path playerFolder() {
    const char* source = std::getenv("QUORVANE_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "Assets" / "Models" / "Player";
}

class ShippedPlayer : public testing::Test {
   protected:
    static void SetUpTestSuite() {
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        mesh_ = content::loadVxmMesh(playerFolder() / "player.vxm");
        testing::internal::GetCapturedStdout();
        errors_ = testing::internal::GetCapturedStderr();
    }
    static std::vector<VxmVertex> part(uint32_t number) {
        std::vector<VxmVertex> vertices;
        std::copy_if(mesh_.begin(), mesh_.end(), std::back_inserter(vertices),
                     [number](const VxmVertex& v) { return v.part == number; });
        return vertices;
    }
    static float minOf(const std::vector<VxmVertex>& vertices, float VxmVertex::*field) {
        float value = INFINITY;
        for (const VxmVertex& v : vertices) value = std::min(value, v.*field);
        return value;
    }
    static float maxOf(const std::vector<VxmVertex>& vertices, float VxmVertex::*field) {
        float value = -INFINITY;
        for (const VxmVertex& v : vertices) value = std::max(value, v.*field);
        return value;
    }

    static std::vector<VxmVertex> mesh_;
    static std::string errors_;
};
std::vector<VxmVertex> ShippedPlayer::mesh_;
std::string ShippedPlayer::errors_;

TEST_F(ShippedPlayer, LoadsWholeTrianglesWithoutComplaint) {
    EXPECT_EQ(errors_, "");
    ASSERT_FALSE(mesh_.empty());
    EXPECT_EQ(mesh_.size() % 3, 0u);
    std::set<uint32_t> parts;
    for (const VxmVertex& v : mesh_) parts.insert(v.part);
    EXPECT_EQ(parts, (std::set<uint32_t>{0, 1, 2, 3, 4}));
}

TEST_F(ShippedPlayer, StandsOnItsFeetWithArmsAndLegsOnTheirSides) {
    EXPECT_EQ(minOf(mesh_, &VxmVertex::y), 0.0f);
    EXPECT_NEAR(maxOf(mesh_, &VxmVertex::y), 1.8f, 1e-6f);
    // Facing -z, the figure's right side is +x: part 2, the arm that holds items, and leg 3.
    EXPECT_GT(minOf(part(2), &VxmVertex::x), 0.0f);
    EXPECT_LT(maxOf(part(1), &VxmVertex::x), 0.0f);
    EXPECT_GE(minOf(part(3), &VxmVertex::x), 0.0f);
    EXPECT_LE(maxOf(part(4), &VxmVertex::x), 0.0f);
    for (const uint32_t leg : {3u, 4u}) {
        EXPECT_EQ(minOf(part(leg), &VxmVertex::y), 0.0f) << "leg " << leg;
        EXPECT_LT(maxOf(part(leg), &VxmVertex::y), 0.83f) << "leg " << leg;
    }
    for (const uint32_t arm : {1u, 2u}) {
        EXPECT_GT(minOf(part(arm), &VxmVertex::y), 0.25f) << "arm " << arm;
        EXPECT_GT(maxOf(part(arm), &VxmVertex::y), 0.83f) << "arm " << arm;
        EXPECT_LT(maxOf(part(arm), &VxmVertex::y), 1.40f) << "arm " << arm;
    }
}

// Every box of the body, found by its part and pivot: its extent, and a limb's pivot where it joins
// the body (shoulders 0.075 below the arm's top, hips at the legs' top); no rest rotation.
TEST_F(ShippedPlayer, EveryBoxHasItsSizePlaceAndPivot) {
    const struct {
        const char* name;
        uint32_t part;
        std::array<float, 3> pivot, min, max;
    } boxes[] = {
        {"head", 0, {0, 1.3f, 0}, {-0.25f, 1.3f, -0.25f}, {0.25f, 1.8f, 0.25f}},
        {"torso", 0, {0, 0.75f, 0}, {-0.25f, 0.75f, -0.125f}, {0.25f, 1.3f, 0.125f}},
        {"left arm", 1, {-0.375f, 1.225f, 0}, {-0.5f, 0.55f, -0.125f}, {-0.25f, 1.3f, 0.125f}},
        {"right arm", 2, {0.375f, 1.225f, 0}, {0.25f, 0.55f, -0.125f}, {0.5f, 1.3f, 0.125f}},
        {"right leg", 3, {0.125f, 0.75f, 0}, {0, 0, -0.125f}, {0.25f, 0.75f, 0.125f}},
        {"left leg", 4, {-0.125f, 0.75f, 0}, {-0.25f, 0, -0.125f}, {0, 0.75f, 0.125f}},
    };
    std::size_t total = 0;
    for (const auto& box : boxes) {
        std::vector<VxmVertex> vertices;
        std::copy_if(mesh_.begin(), mesh_.end(), std::back_inserter(vertices), [&box](const VxmVertex& v) {
            return v.part == box.part && v.pivotX == box.pivot[0] && v.pivotY == box.pivot[1] &&
                   v.pivotZ == box.pivot[2];
        });
        EXPECT_EQ(vertices.size(), 36u) << box.name;
        total += vertices.size();
        float VxmVertex::*const axes[3] = {&VxmVertex::x, &VxmVertex::y, &VxmVertex::z};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(minOf(vertices, axes[k]), box.min[k]) << box.name << " axis " << k;
            EXPECT_EQ(maxOf(vertices, axes[k]), box.max[k]) << box.name << " axis " << k;
        }
        for (const VxmVertex& v : vertices)
            EXPECT_EQ(std::abs(v.rotationX) + std::abs(v.rotationY) + std::abs(v.rotationZ), 0.0f)
                << box.name;
    }
    EXPECT_EQ(total, mesh_.size()) << "no vertex outside the six boxes";
}

// Faces 0..5 are -x, +x, -y, +y, -z, +z: each triangle's winding must point along its face's axis.
TEST_F(ShippedPlayer, TrianglesFaceOutwardsAlongTheirFaceNumber) {
    for (std::size_t i = 0; i + 2 < mesh_.size(); i += 3) {
        const VxmVertex& a = mesh_[i];
        const VxmVertex& b = mesh_[i + 1];
        const VxmVertex& c = mesh_[i + 2];
        const std::array<float, 3> e1 = {b.x - a.x, b.y - a.y, b.z - a.z};
        const std::array<float, 3> e2 = {c.x - a.x, c.y - a.y, c.z - a.z};
        const std::array<float, 3> normal = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                             e1[0] * e2[1] - e1[1] * e2[0]};
        const float along = normal[a.face / 2] * (a.face % 2 ? 1.0f : -1.0f);
        const float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        ASSERT_GT(length, 0.0f) << "triangle " << i / 3;
        EXPECT_NEAR(along / length, 1.0f, 1e-5f) << "triangle " << i / 3 << " face " << a.face;
        EXPECT_EQ(b.face, a.face);
        EXPECT_EQ(c.face, a.face);
    }
}

TEST_F(ShippedPlayer, EveryTriangleShowsOpaqueSkin) {
    const platform::Image skin = platform::decodePng(playerFolder() / "player.png");
    ASSERT_EQ(skin.width, 64u);
    ASSERT_EQ(skin.height, 64u);
    for (std::size_t i = 0; i + 2 < mesh_.size(); i += 3) {
        float u = 0.0f, v = 0.0f;
        for (std::size_t k = i; k < i + 3; ++k) {
            EXPECT_GE(mesh_[k].u, 0.0f);
            EXPECT_LE(mesh_[k].u, 1.0f);
            EXPECT_GE(mesh_[k].v, 0.0f);
            EXPECT_LE(mesh_[k].v, 1.0f);
            u += mesh_[k].u / 3.0f;
            v += mesh_[k].v / 3.0f;
        }
        const uint32_t x = std::min(uint32_t(u * 64.0f), 63u);
        const uint32_t y = std::min(uint32_t(v * 64.0f), 63u);
        EXPECT_EQ(skin.pixels[(y * 64 + x) * 4 + 3], 255) << "triangle " << i / 3;
    }
}

TEST_F(ShippedPlayer, BandCutSplitsLegsTorsoAndHead) {
    const std::vector<VxmVertex> cut = content::splitIntoBands(mesh_);
    EXPECT_GT(cut.size(), mesh_.size());
    for (const float h : {0.25f, 0.83f, 1.40f}) {
        EXPECT_TRUE(std::any_of(cut.begin(), cut.end(), [h](const VxmVertex& v) { return v.y == h; }))
            << "no corner at " << h;
    }
}

}  // namespace
