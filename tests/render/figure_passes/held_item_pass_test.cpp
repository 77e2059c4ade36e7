// What the hand holds: a block without a model comes from the dropped items' meshes, whole (a door
// too), and usable items are drawn at the small size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "world/loaded_world.h"

namespace {

constexpr uint8_t kModelDoor = 20;
constexpr uint8_t kModelAxe = 21;

class HeldItemTest : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        load(0, 0);
        app.player.x = 8.5f, app.player.y = 66.0f, app.player.z = 8.5f;
        app.ui.menuOpen = false;
        app.ui.inventoryOpen = false;
        // A unit cube of corner points, held as a door and as a plain tool.
        for (const auto& [id, behavior] : {std::pair{kModelDoor, "door"}, {kModelAxe, ""}}) {
            voxel::BlockDef def;
            def.id = "test:model" + std::to_string(id);
            def.behavior = behavior;
            def.tool = "axe";
            for (int c = 0; c < 8; ++c) def.modelVertices.push_back({float(c & 1), float(c >> 1 & 1), float(c >> 2)});
            def.modelBounds = {0, 0, 0, 1, 1, 1};
            voxel::registerBlock(id, def);
        }
    }
    void hold(uint8_t id) {
        app.inventory.hotbar[0] = {id, 1, 0};
        app.inventory.selected = 0;
    }
    // The largest distance between two held vertices.
    double spread() const {
        double most = 0.0;
        for (const render::MeshVertex& a : app.body.heldVertices)
            for (const render::MeshVertex& b : app.body.heldVertices)
                most = std::max(most, std::hypot(double{a.x} - b.x, double{a.y} - b.y, double{a.z} - b.z));
        return most;
    }
};

TEST_F(HeldItemTest, ABlockWithoutAModelIsTheDroppedItemsWholeMesh) {
    const struct {
        const char* what;
        uint8_t id;
        bool thirdPerson;
        bool drawn;
    } rows[] = {{"door", worldtest::door, false, true},       {"trapdoor", worldtest::trapdoor, false, true},
                {"plain block", worldtest::lantern, false, true}, {"door in third person", worldtest::door, true, false},
                {"empty hand", 0, false, false}};
    for (const auto& row : rows) {
        hold(row.id);
        app.player.thirdPerson = row.thirdPerson;
        app.buildHeldItem();
        EXPECT_EQ(!app.body.heldVertices.empty(), row.drawn) << row.what;
        if (!row.drawn) continue;
        const render::BlockFaces& cached = render::cachedItemMesh(app.dynamicPass, row.id);
        EXPECT_EQ(app.body.heldVertices.size(), cached.indices.size()) << row.what << ": one vertex per index";
    }
}

// Third person, where the model is scaled: a usable item (a door) at 0.24 of a block, a tool at 0.85.
TEST_F(HeldItemTest, UsableItemsAreHeldSmall) {
    app.player.thirdPerson = true;
    for (const auto& [id, size] : {std::pair{kModelDoor, 0.24}, {kModelAxe, 0.85}}) {
        hold(id);
        app.buildHeldItem();
        ASSERT_EQ(app.body.heldVertices.size(), 8u);
        EXPECT_NEAR(spread(), size * std::sqrt(3.0), 1e-4) << int{id};
    }
}

}  // namespace
