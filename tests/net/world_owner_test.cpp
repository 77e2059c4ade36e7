// The world owner's pure side: snapshots cut at the message limits, and the others' events applied.
#include "net/world_owner.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(WorldOwner, SnapshotsStopAtEachLimitAndLeaveOutAnNpcIdTooLongToSend) {
    struct Row {
        std::size_t have, sent;
    };
    for (const Row row : {Row{256, 256}, Row{257, 256}}) {
        EntityState entities;
        entities.mobs.resize(row.have);
        EXPECT_EQ(net::mobsSnapshot(entities).mobs.size(), row.sent) << row.have;
        // Arrows and dropped items: twice as many, the whole list a world may hold.
        entities.arrows.resize(row.have * 2);
        EXPECT_EQ(net::arrowsSnapshot(entities).arrows.size(), row.sent * 2) << row.have;
        EXPECT_NO_THROW(net::encodeFrame(net::arrowsSnapshot(entities)));
        entities.droppedItems.resize(row.have * 2);
        EXPECT_EQ(net::itemsSnapshot(entities).items.size(), row.sent * 2) << row.have;
        // Whatever is made is something the message accepts.
        EXPECT_NO_THROW(net::encodeFrame(net::itemsSnapshot(entities)));
    }
    std::map<std::string, std::array<double, 3>> npcs{{std::string(100, 'a'), {1, 2, 3}},
                                                      {std::string(101, 'b'), {4, 5, 6}}};
    const net::NpcsMessage sent = net::npcsSnapshot(npcs);
    ASSERT_EQ(sent.npcs.size(), 1u);
    EXPECT_EQ(sent.npcs[0].z, 3.0);
    for (int i = 0; i < 200; ++i) npcs["n" + std::to_string(i)] = {};
    EXPECT_EQ(net::npcsSnapshot(npcs).npcs.size(), net::kMaxNpcs);
}

TEST(WorldOwner, AHitLowersOnlyALivingMobAndNeverHeals) {
    struct Row {
        const char* name;
        int32_t health, damage;
        bool hit;
        int32_t after;
    };
    const int32_t most = std::numeric_limits<int32_t>::max();
    const Row rows[] = {
        {"ordinary", 10, 3, true, 7},
        {"no damage", 10, 0, true, 10},
        {"negative damage", 10, -1, false, 10},
        {"exactly to 0", 3, 3, true, 0},
        {"already dead", 0, 3, false, 0},
        {"largest blow", 1, most, true, -1000000000},
        {"largest health", most, 1, true, most - 1},
    };
    for (const Row& row : rows) {
        EntityState entities;
        Mob mob;
        mob.id = 4;
        mob.health = row.health;
        mob.deathTimer = 9;
        entities.mobs.push_back(mob);
        EXPECT_EQ(net::applyMobHit(entities, 4, row.damage), row.hit) << row.name;
        EXPECT_EQ(entities.mobs[0].health, row.after) << row.name;
        EXPECT_EQ(entities.mobs[0].deathTimer, row.hit && row.after < 1 ? 0 : 9) << row.name;
        EXPECT_FALSE(net::applyMobHit(entities, 5, 1)) << "unknown id";
    }
}

TEST(WorldOwner, APileIsTakenOnceAndANewOwnerGoesOnWithFreshIds) {
    EntityState entities;
    entities.droppedItems.resize(2);
    entities.droppedItems[0].pile = 6;
    entities.droppedItems[1].pile = 9;
    entities.droppedItems[1].count = 12;
    const auto taken = net::takePile(entities, 9);
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->count, 12);
    EXPECT_FALSE(net::takePile(entities, 9).has_value());
    ASSERT_EQ(entities.droppedItems.size(), 1u);

    entities.mobs.resize(1);
    entities.mobs[0].id = 30;
    entities.mobSnapshots[30] = {};
    net::continueAsOwner(entities);
    EXPECT_EQ(entities.nextMobId, 31u);
    EXPECT_EQ(entities.nextPileId, 7u);
    EXPECT_TRUE(entities.mobSnapshots.empty());

    std::set<uint32_t> asked{6, 9};
    net::forgetGonePiles(asked, net::ItemsMessage{{{1, 0, 0, 0, 0, 1, 6}}});
    EXPECT_EQ(asked, std::set<uint32_t>{6});
}

}  // namespace

namespace {

// The owner believes a guest's blow only from within reach and up to the strongest weapon's damage.
TEST(WorldOwner, AGuestsBlowCountsOnlyWithinReachAndTheLargestDamage) {
    struct Row {
        const char* name;
        float eyeX, eyeY;
        int32_t damage;
        bool plausible;
    };
    // A mob 1 wide and 2 high at the origin; reach 4 plus the tolerance 1.5 from its side at x 0.5.
    const Row rows[] = {
        {"beside it", 1.0f, 1.6f, 5, true},
        {"at the edge of reach", 6.0f, 1.0f, 5, true},
        {"just beyond reach", 6.01f, 1.0f, 5, false},
        {"above it, at the edge", 0.0f, 7.5f, 5, true},
        {"above it, beyond", 0.0f, 7.51f, 5, false},
        {"the largest blow", 1.0f, 1.6f, 48, true},
        {"one more than the largest", 1.0f, 1.6f, 49, false},
        {"negative", 1.0f, 1.6f, -1, false},
        {"the largest number", 1.0f, 1.6f, std::numeric_limits<int32_t>::max(), false},
    };
    std::vector<voxel::BlockDef> registry(2);
    registry[0].attack = 3;
    registry[1].attack = 7;
    const int32_t largest = net::largestBlow(registry, 1.8);
    ASSERT_EQ(largest, 48) << "(7 + skill 20) x 1.8, rounded down";
    Mob mob;
    mob.halfWidth = 0.5;
    mob.height = 2.0;
    for (const Row& row : rows) {
        const net::Pose pose{row.eyeX, row.eyeY, 0, 0, 0, 0, 0};
        EXPECT_EQ(net::hitPlausible(pose, mob, row.damage, largest), row.plausible) << row.name;
    }
    EXPECT_FALSE(net::hitPlausible({std::numeric_limits<float>::quiet_NaN(), 0, 0}, mob, 1, largest));
    registry[1].attack = -9;
    EXPECT_EQ(net::largestBlow(registry, 0.5), 23) << "a light multiplier never lowers the plain blow";
}

// A grant is taken only for a pile asked for, of its item and no more than it held.
TEST(WorldOwner, AGrantFitsOnlyAPileAskedForAndWhatItHeld) {
    struct Row {
        const char* name;
        std::set<uint32_t> requested;
        uint32_t item;
        int32_t count;
        bool fits;
    };
    const Row rows[] = {
        {"the whole pile", {40}, 5, 12, true},
        {"part of it", {40}, 5, 1, true},
        {"one more than it held", {40}, 5, 13, false},
        {"another item", {40}, 6, 1, false},
        {"nothing", {40}, 5, 0, false},
        {"not asked for", {41}, 5, 12, false},
    };
    EntityState entities;
    entities.droppedItems.resize(1);
    entities.droppedItems[0].id = 5;
    entities.droppedItems[0].count = 12;
    entities.droppedItems[0].pile = 40;
    for (const Row& row : rows)
        EXPECT_EQ(net::grantedPile(entities, row.requested, row.item, row.count).has_value(), row.fits) << row.name;
}

}  // namespace
