#include "render/view/buried_groups.h"

#include <gtest/gtest.h>

#include <optional>

#include "world/features.h"

namespace {

// Two chunks side by side along x (chunks `base` and base + 1), air but for a stone layer at y = 40
// with the given holes, in cells from the west chunk's corner.
struct Ground {
    voxel::Chunk west, east;
    render::OpaqueRows westRows, eastRows;
    bool eastMeshed = true;

    Ground(int32_t base, std::initializer_list<std::array<int32_t, 3>> holes) {
        west.cx = base;
        east.cx = base + 1;
        for (voxel::Chunk* c : {&west, &east})
            for (uint32_t z = 0; z < 16; ++z)
                for (uint32_t x = 0; x < 16; ++x) c->cells[voxel::cellIndex(x, 40, z)] = voxel::stoneId;
        for (const auto& [x, y, z] : holes)
            (x < 16 ? west : east).cells[voxel::cellIndex(static_cast<uint32_t>(x % 16), y, z)] = voxel::airId;
        westRows = render::opaqueRows(west);
        eastRows = render::opaqueRows(east);
    }
    render::OpaqueCover cover() const {
        std::vector<render::OpaqueCover::Entry> meshed{{west.cx, 0, &westRows}};
        if (eastMeshed) meshed.push_back({east.cx, 0, &eastRows});
        return render::OpaqueCover(meshed);
    }
};

TEST(OpaqueRows, OnlyOpaqueBlocksSetTheirBit) {
    voxel::Chunk chunk;
    chunk.cells[voxel::cellIndex(3, 40, 5)] = voxel::stoneId;
    chunk.cells[voxel::cellIndex(4, 40, 5)] = voxel::waterId;
    chunk.cells[voxel::cellIndex(15, 127, 15)] = voxel::stoneId;
    const render::OpaqueRows rows = render::opaqueRows(chunk);
    EXPECT_EQ(rows.rows[40 * 16 + 5], 1u << 3);
    EXPECT_EQ(rows.rows[127 * 16 + 15], 1u << 15);
    EXPECT_EQ(rows.rows[40 * 16 + 4], 0u);
    EXPECT_EQ(rows.top, 127);
    EXPECT_EQ(render::opaqueRows(voxel::Chunk{}).top, -1);
}

// A group of upward faces from y 20 to 30 under x and z 2..6 of the west chunk. Seen from straight
// above, the lines cross the stone layer over the group; from x = 30 they cross it at x 7..14, nearer
// the eye. The same ground lies east of the origin and west of it, where cells count down.
TEST(BuriedGroups, AGroupIsBuriedOnlyWhereEveryLineFromTheEyeCrossesOpaqueCells) {
    render::FaceGroup group;
    group.direction = render::FaceDirection::PlusY;
    group.bounds = {2, 20, 2, 6, 30, 6};
    struct Case {
        const char* what;
        render::Vec3 eye;
        std::optional<std::array<int32_t, 3>> hole;
        bool eastMeshed;
        bool buried;
    };
    const Case cases[] = {
        {"from straight above", {4, 80, 4}, std::nullopt, true, true},
        {"a hole over the group", {4, 80, 4}, std::array{4, 40, 4}, true, false},
        {"a hole at the corner of the crossed region", {4, 80, 4}, std::array{5, 40, 5}, true, false},
        {"a hole just past that corner", {4, 80, 4}, std::array{6, 40, 6}, true, true},
        {"a hole away from the lines", {4, 80, 4}, std::array{14, 40, 14}, true, true},
        {"from the side, the hole over the group", {30, 80, 4}, std::array{4, 40, 4}, true, true},
        {"from the side, a hole nearer the eye", {30, 80, 4}, std::array{12, 40, 4}, true, false},
        {"the eye below the layer", {4, 35, 4}, std::nullopt, true, false},
        {"the eye inside the layer", {4, 40.5f, 4}, std::nullopt, true, false},
        {"the lines cross into the next chunk", {60, 80, 4}, std::nullopt, true, true},
        {"the next chunk has no mesh", {60, 80, 4}, std::nullopt, false, false},
    };
    for (const int32_t base : {0, -3})
        for (const Case& c : cases) {
            Ground ground = c.hole ? Ground{base, {*c.hole}} : Ground{base, {}};
            ground.eastMeshed = c.eastMeshed;
            const float dx = 16.0f * base;
            render::FaceGroup shifted = group;
            shifted.bounds[0] += dx, shifted.bounds[3] += dx;
            const render::Vec3 eye{c.eye.x + dx, c.eye.y, c.eye.z};
            EXPECT_EQ(render::groupBuried(shifted, eye, ground.cover()), c.buried) << c.what << ", chunk " << base;
        }
}

}  // namespace
