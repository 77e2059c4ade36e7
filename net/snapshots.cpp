#include "net/snapshots.h"

#include <algorithm>

namespace net {

namespace {

// Where a thing drawn from a snapshot was at the previous one, so that drawing can move it between
// the two.
template <typename Thing, typename Before>
void keepPreviousPosition(Thing& thing, const Before& before) {
    thing.prevX = before.x;
    thing.prevY = before.y;
    thing.prevZ = before.z;
}

}  // namespace

void applyMobs(EntityState& entities, const MobsMessage& message) {
    std::map<uint32_t, const Mob*> before;
    for (const Mob& mob : entities.mobs) before[mob.id] = &mob;
    std::vector<Mob> mobs;
    std::map<uint32_t, MobSnapshot> snapshots;
    for (const MobState& state : message.mobs) {
        Mob mob;
        mob.id = state.id;
        mob.kind = state.kind;
        mob.x = state.x;
        mob.y = state.y;
        mob.z = state.z;
        mob.yaw = state.yaw;
        mob.walkPhase = state.walkPhase;
        mob.health = state.health;
        const auto old = before.find(state.id);
        const Mob& previous = old != before.end() ? *old->second : mob;
        keepPreviousPosition(mob, previous);
        snapshots[state.id] = {previous.yaw, previous.walkPhase};
        mobs.push_back(std::move(mob));
    }
    entities.mobs = std::move(mobs);
    entities.mobSnapshots = std::move(snapshots);
}

void applyArrows(EntityState& entities, const ArrowsMessage& message) {
    std::vector<Arrow> arrows;
    for (std::size_t i = 0; i < message.arrows.size(); ++i) {
        const ArrowState& state = message.arrows[i];
        Arrow arrow;
        arrow.x = state.x;
        arrow.y = state.y;
        arrow.z = state.z;
        arrow.facing = state.facing;
        const Arrow& previous = i < entities.arrows.size() ? entities.arrows[i] : arrow;
        keepPreviousPosition(arrow, previous);
        arrows.push_back(arrow);
    }
    entities.arrows = std::move(arrows);
}

void applyItems(EntityState& entities, const ItemsMessage& message) {
    std::vector<DroppedItem> items;
    for (std::size_t i = 0; i < message.items.size(); ++i) {
        const ItemState& state = message.items[i];
        DroppedItem item;
        item.id = state.id;
        item.x = state.x;
        item.y = state.y;
        item.z = state.z;
        item.phase = state.spin;
        item.count = state.count;
        item.pile = state.pile;
        if (i < entities.droppedItems.size()) {
            const DroppedItem& previous = entities.droppedItems[i];
            keepPreviousPosition(item, previous);
            item.prevPhase = previous.phase;
            item.interpolate = 1;
        }
        items.push_back(item);
    }
    entities.droppedItems = std::move(items);
}

void applyNpcs(std::map<std::string, std::array<double, 3>>& positions, const NpcsMessage& message) {
    positions.clear();
    for (const NpcState& npc : message.npcs) positions[npc.id] = {npc.x, npc.y, npc.z};
}

void applyPoses(std::map<uint32_t, RemotePose>& poses, const PosesMessage& message, uint32_t ownId,
                const std::string& dimension) {
    poses.clear();
    for (const PlayerPose& player : message.players)
        if (player.id != ownId && player.dimension == dimension) poses[player.id].values = player.pose;
}

}  // namespace net
