#include "net/world_owner.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "app/app.h"
#include "game/melee.h"
#include "game/mob_rules.h"
#include "game/progression.h"
#include "ui/slot_moves.h"
#include "world/block_registry.h"

namespace net {

namespace {

// Seconds between two snapshots: the rates the others' drawing blends over (mobs 0.1 s, items 0.2 s).
constexpr double kEntityInterval = 0.1;
constexpr double kItemInterval = 0.2;
constexpr float kEyeHeight = 1.62f;  // a pose gives the eye; a pile lies at the feet

template <class T>
std::span<const T> upTo(const std::vector<T>& list, std::size_t limit) {
    return {list.data(), std::min(list.size(), limit)};
}

}  // namespace

MobsMessage mobsSnapshot(const EntityState& entities) {
    MobsMessage message;
    for (const Mob& mob : upTo(entities.mobs, kMaxMobs))
        message.mobs.push_back({mob.id, mob.kind, mob.x, mob.y, mob.z, mob.yaw, mob.walkPhase, mob.health});
    return message;
}

NpcsMessage npcsSnapshot(const std::map<std::string, std::array<double, 3>>& positions) {
    NpcsMessage message;
    for (const auto& [id, at] : positions) {
        if (message.npcs.size() == kMaxNpcs) break;
        if (id.size() <= kMaxNpcId) message.npcs.push_back({id, at[0], at[1], at[2]});
    }
    return message;
}

ArrowsMessage arrowsSnapshot(const EntityState& entities) {
    ArrowsMessage message;
    for (const Arrow& arrow : upTo(entities.arrows, kMaxArrows))
        message.arrows.push_back({arrow.x, arrow.y, arrow.z, arrow.facing});
    return message;
}

ItemsMessage itemsSnapshot(const EntityState& entities) {
    ItemsMessage message;
    for (const DroppedItem& item : upTo(entities.droppedItems, kMaxItems))
        message.items.push_back({item.id, item.x, item.y, item.z, item.phase, item.count, item.pile});
    return message;
}

bool applyMobHit(EntityState& entities, uint32_t mobId, int32_t damage) {
    if (damage < 0) return false;
    const auto mob = std::find_if(entities.mobs.begin(), entities.mobs.end(),
                                  [&](const Mob& m) { return m.id == mobId && m.health >= 1; });
    if (mob == entities.mobs.end()) return false;
    mob->health = static_cast<int32_t>(std::max<int64_t>(int64_t{mob->health} - damage, -1000000000));
    mob->hurtTimer = game::kHurtTicks;
    if (mob->health < 1) mob->deathTimer = 0;
    return true;
}

int32_t largestBlow(const std::vector<voxel::BlockDef>& registry, double heavyMultiplier) {
    int64_t attack = 0;
    for (const voxel::BlockDef& def : registry) attack = std::max<int64_t>(attack, def.attack);
    const double blow = static_cast<double>(attack + adventure::kMaxSkillLevel) * std::max(1.0, heavyMultiplier);
    return static_cast<int32_t>(std::clamp(std::floor(blow), 0.0, 1e9));
}

bool hitPlausible(const Pose& pose, const Mob& mob, int32_t damage, int32_t largest) {
    if (damage < 0 || damage > largest) return false;
    // A size the snapshot leaves at 0 is the template's default: taken generously.
    const double halfWidth = mob.halfWidth > 0.0 ? mob.halfWidth : 1.0;
    const double height = mob.height > 0.0 ? mob.height : 2.0;
    const double eye[3] = {pose[0], pose[1], pose[2]};
    const double low[3] = {mob.x - halfWidth, mob.y, mob.z - halfWidth};
    const double high[3] = {mob.x + halfWidth, mob.y + height, mob.z + halfWidth};
    double squared = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        const double gap = eye[axis] - std::clamp(eye[axis], low[axis], high[axis]);
        squared += gap * gap;
    }
    const double reach = game::kMeleeReach + kHitTolerance;
    return std::isfinite(squared) && squared <= reach * reach;
}

std::optional<uint32_t> grantedPile(const EntityState& entities, const std::set<uint32_t>& requested, uint32_t item,
                                    int32_t count) {
    for (const DroppedItem& pile : entities.droppedItems)
        if (requested.contains(pile.pile) && pile.id == item && count > 0 && count <= pile.count) return pile.pile;
    return std::nullopt;
}

std::optional<DroppedItem> takePile(EntityState& entities, uint32_t pile) {
    std::vector<DroppedItem>& items = entities.droppedItems;
    const auto found = std::find_if(items.begin(), items.end(), [&](const DroppedItem& item) {
        return item.pile == pile && item.count > 0;
    });
    if (found == items.end()) return std::nullopt;
    const DroppedItem taken = *found;
    items.erase(found);
    return taken;
}

void continueAsOwner(EntityState& entities) {
    for (const Mob& mob : entities.mobs) entities.nextMobId = std::max(entities.nextMobId, mob.id + 1);
    for (const DroppedItem& item : entities.droppedItems)
        entities.nextPileId = std::max(entities.nextPileId, item.pile + 1);
    entities.mobSnapshots.clear();
}

void forgetGonePiles(std::set<uint32_t>& requested, const ItemsMessage& items) {
    std::set<uint32_t> listed;
    for (const ItemState& item : items.items) listed.insert(item.pile);
    std::erase_if(requested, [&](uint32_t pile) { return !listed.contains(pile); });
}

}  // namespace net

void App::sendWorldSnapshots(double now) {
    if (!lan.worldOwner) return;
    std::vector<uint8_t>& out = lan.connection.sendBuffer;
    if (now - lan.lastEntitiesSent >= net::kEntityInterval) {
        lan.lastEntitiesSent = now;
        net::appendFrame(out, net::mobsSnapshot(entities));
        net::appendFrame(out, net::npcsSnapshot(adventureState.npcPositions));
        net::appendFrame(out, net::arrowsSnapshot(entities));
    }
    if (now - lan.lastItemsSent >= net::kItemInterval) {
        lan.lastItemsSent = now;
        net::appendFrame(out, net::itemsSnapshot(entities));
    }
}

void App::applyClientEvent(const net::ClientEventMessage& event) {
    if (lan.worldOwner && event.event == net::kEventHitMob) {
        // Only a blow the guest can have dealt from where it last stood, with a weapon that exists.
        const auto pose = lan.remotePoses.find(event.player);
        const auto mob = std::find_if(entities.mobs.begin(), entities.mobs.end(),
                                      [&](const Mob& m) { return m.id == event.subject; });
        if (pose == lan.remotePoses.end() || mob == entities.mobs.end() ||
            !net::hitPlausible(pose->second.values, *mob, event.amount,
                               net::largestBlow(voxel::blockRegistry(), rules.combat.heavyMultiplier)))
            return;
        net::applyMobHit(entities, event.subject, event.amount);
    } else if (lan.worldOwner && event.event == net::kEventTakePile) {
        if (const std::optional<DroppedItem> pile = net::takePile(entities, event.subject))
            net::appendFrame(
                lan.connection.sendBuffer,
                net::ClientEventMessage{net::kEventPileGiven, event.player, pile->id, pile->count});
    } else if (lan.worldOwner && event.event == net::kEventDropItem) {
        const auto pose = lan.remotePoses.find(event.player);
        if (pose == lan.remotePoses.end() || !voxel::isValidBlockId(event.subject) || event.amount <= 0 ||
            event.amount > voxel::blockDef(event.subject).max_stack)
            return;
        const std::array<float, 7>& at = pose->second.values;
        dropItem(static_cast<uint8_t>(event.subject), event.amount, at[0], at[1] - net::kEyeHeight + 0.25f, at[2]);
    } else if (!lan.worldOwner && event.event == net::kEventPileGiven) {
        // Never more than a pile we asked for held, and each pile once.
        const std::optional<uint32_t> pile = net::grantedPile(entities, lan.requestedPiles, event.subject, event.amount);
        if (!pile || !voxel::isValidBlockId(event.subject)) return;
        std::erase_if(entities.droppedItems, [&](const DroppedItem& item) { return item.pile == *pile; });
        giveItem(static_cast<uint8_t>(event.subject), event.amount);
    }
}

void App::requestPile(const DroppedItem& item) {
    if (!lan.ready || item.count <= 0 || !voxel::isValidBlockId(item.id) ||
        lan.requestedPiles.contains(item.pile))
        return;
    // Asked for only when all of it fits, so that nothing the owner hands over is lost.
    Inventory room = inventory;
    const int32_t maxStack = voxel::blockDef(item.id).max_stack;
    const int32_t left = ui::addItems(room.hotbar, item.id, item.count, maxStack);
    if (ui::addItems(room.main, item.id, left, maxStack) > 0) return;
    lan.requestedPiles.insert(item.pile);
    sendClientEvent(net::kEventTakePile, item.pile);
}

void App::sendClientEvent(uint32_t event, uint32_t subject, int32_t amount) {
    if (!lan.networked || lan.host || !lan.authenticated) return;
    net::appendFrame(lan.connection.sendBuffer, net::ClientEventMessage{event, 0, subject, amount});
}
