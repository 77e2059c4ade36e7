#include "models/display_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "models/blockbench_model.h"
#include "support/failure.h"

namespace {

using content::Float3;
using content::parseJsonText;
using testsupport::failureOf;

// A slab item: one cube from (0,0,0) to (16,8,16) pixels, bounds (0,0,0)..(1,0.5,1) blocks.
std::string slabWith(const std::string& extra) {
    return R"({"elements": [{"to": [16, 8, 16], "faces": {"up": {"texture": 0, "uv": [0, 0, 16, 16]},
              "down": {"texture": 0, "uv": [0, 0, 16, 16]}}}])" +
           extra + "}";
}

voxel::BlockDef loadSlab(const std::string& extra, voxel::BlockDef def = {}) {
    def.textures = {"a.png"};
    content::loadBlockbenchModel(def, parseJsonText(slabWith(extra)));
    return def;
}

std::string slabFailure(const std::string& extra) {
    return failureOf([&] { loadSlab(extra); });
}

void expectNear(const Float3& got, const Float3& expected) {
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(got[axis], expected[axis], 1e-5) << "axis " << axis;
}

TEST(DisplaySettings, AuthoredSlotRotatesScalesMirrorsAndTranslates) {
    const struct {
        std::string slot;
        Float3 point, expected;
    } cases[] = {
        // Y 90 takes x to -z; scale 2 on x; translation 16 pixels on x.
        {R"({"rotation": [0, 90, 0], "translation": [16, 0, 0], "scale": [2, 1, 1]})",
         {1, 0.5f, 0.5f},
         {1, 0, -1}},
        {R"({"rotation": [0, 90, 0], "translation": [16, 0, 0], "scale": [2, 1, 1], "mirror": [true, null, false]})",
         {1, 0.5f, 0.5f},
         {1, 0, 1}},
        // T = -(R rp - rp) + (1 - 2) R sp = (1, 0, 1) - (1, 0, 0).
        {R"({"rotation": [0, 90, 0], "scale": [2, 2, 2], "rotation_pivot": [1, 0, 0], "scale_pivot": [0, 0, 1]})",
         {0.5f, 0.5f, 0.5f},
         {0, 0, 1}},
        {R"({"scale": [4, 4, 4], "rotation": [360, -360, 0], "translation": [80, -80, 0]})",
         {0.5f, 0.5f, 0.5f},
         {5, -5, 0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        const voxel::BlockDef first = loadSlab(R"(, "display": {"firstperson_righthand": )" + c.slot + "}");
        EXPECT_TRUE(first.firstPersonDisplay.authored);
        expectNear(content::firstPersonPoint(first, c.point), c.expected);
        const voxel::BlockDef third =
            loadSlab(R"(, "display_settings": {"thirdperson_righthand": )" + c.slot + "}");
        EXPECT_TRUE(third.thirdPersonDisplay.authored);
        EXPECT_FALSE(third.firstPersonDisplay.authored);
        expectNear(content::thirdPersonPoint(third, c.point), c.expected);
    }
}

TEST(DisplaySettings, UnauthoredFirstPersonIsFittedToTheModelAndCentred) {
    const struct {
        const char* tool;
        const char* behavior;
        float size;
    } cases[] = {{"", "", 0.38f}, {"pickaxe", "", 0.6f}, {"", "bow", 0.72f}, {"sword", "shield", 0.52f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tool) + c.behavior);
        voxel::BlockDef item;
        item.isBlock = false;
        item.tool = c.tool;
        item.behavior = c.behavior;
        const voxel::BlockDef def = loadSlab("", item);
        EXPECT_FALSE(def.firstPersonDisplay.authored);
        EXPECT_FALSE(def.thirdPersonDisplay.authored);
        const auto& m = def.firstPersonDisplay.matrix;
        EXPECT_NEAR(std::hypot(m[0][1], m[1][1], m[2][1]), c.size, 1e-5);
        expectNear(content::firstPersonPoint(def, {0.5f, 0.25f, 0.5f}), {0, 0, 0});
    }
    const voxel::BlockDef plain = loadSlab("", voxel::BlockDef{});
    EXPECT_EQ(plain.modelBounds, (std::array<float, 6>{0, 0, 0, 1, 0.5f, 1}));
    expectNear(plain.gripPoint, {0, 0, 0});
    // A block turns 45 degrees about Y: (1, 0.25, 0.5) maps to 0.38 x (cos 45, 0, -sin 45) x 0.5.
    expectNear(content::firstPersonPoint(plain, {1, 0.25f, 0.5f}), {0.1343503f, 0, -0.1343503f});
    voxel::BlockDef pick;
    pick.isBlock = false;
    pick.tool = "pickaxe";
    // Grip 18 % up the handle: 0.6 x R(0, -20, -22) x (0, -0.16, 0).
    expectNear(loadSlab("", pick).gripPoint, {-0.0337935f, -0.0890097f, -0.0122998f});
}

TEST(DisplaySettings, EveryFaultHasItsMessage) {
    const auto first = [](const std::string& slot) {
        return R"(, "display": {"firstperson_righthand": )" + slot + "}";
    };
    const auto third = [](const std::string& slot) {
        return R"(, "display": {"thirdperson_righthand": )" + slot + "}";
    };
    const struct {
        std::string extra, message;
    } cases[] = {{first("5"), "Invalid first-person display"},
                 {third("[]"), "Invalid third-person display"},
                 {first(R"({"rotation": "x"})"), "Invalid display vector"},
                 {first(R"({"rotation": [1, 2]})"), "Invalid display vector"},
                 {first(R"({"rotation": [1, "2", 3]})"), "Display coordinates must be numeric"},
                 {first(R"({"scale": [4.01, 1, 1]})"), "Invalid first-person scale"},
                 {first(R"({"rotation": [0, -360.5, 0]})"), "Invalid first-person rotation"},
                 {first(R"({"translation": [80.5, 0, 0]})"), "Invalid first-person translation"},
                 {first(R"({"rotation_pivot": [0, 0, 16.5]})"), "Invalid first-person rotation_pivot"},
                 {first(R"({"scale_pivot": [-17, 0, 0]})"), "Invalid first-person scale_pivot"},
                 {first(R"({"mirror": [true, false]})"), "Invalid display mirrors"},
                 {first(R"({"mirror": [1, 0, 0]})"), "Invalid display mirror"},
                 {third(R"({"scale": {}})"), "Invalid third-person vector"},
                 {third(R"({"scale": [1, 1, 1, 1]})"), "Invalid third-person vector"},
                 {third(R"({"scale": [1, null, 1]})"), "Invalid third-person coordinate"},
                 {third(R"({"rotation": [0, 0, 361]})"), "Invalid third-person coordinate"},
                 {third(R"({"mirror": true})"), "Invalid third-person mirrors"},
                 {third(R"({"mirror": [false, false, "yes"]})"), "Invalid third-person mirror"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extra);
        EXPECT_EQ(slabFailure(c.extra), c.message);
    }
}

}  // namespace
