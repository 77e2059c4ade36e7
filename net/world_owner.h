#pragma once
// The world owner of a LAN session: its moving things as snapshots for the others, and the others'
// client events applied to its world.
#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "game/entities.h"
#include "net/protocol.h"
#include "world/block_registry.h"

namespace net {

// Each list as the message carries it, cut at the message's limit (an NPC id too long to send is
// left out rather than failing the whole snapshot).
MobsMessage mobsSnapshot(const EntityState& entities);
NpcsMessage npcsSnapshot(const std::map<std::string, std::array<double, 3>>& positions);
ArrowsMessage arrowsSnapshot(const EntityState& entities);
ItemsMessage itemsSnapshot(const EntityState& entities);

// A guest's blow on a living mob of ours; false (nothing changes) for an unknown or dead mob or a
// negative damage, which would heal it.
bool applyMobHit(EntityState& entities, uint32_t mobId, int32_t damage);
// How far beyond the melee reach a guest's reported blow may land: its pose is up to a fifth of a
// second old, and the mob has moved since the snapshot the guest aimed at.
inline constexpr double kHitTolerance = 1.5;
// The most one blow can take: the content's strongest weapon with the melee skill at its top,
// swung heavy.
int32_t largestBlow(const std::vector<voxel::BlockDef>& registry, double heavyMultiplier);
// Whether a guest whose eye the pose gives can have dealt the mob this blow: its body within reach
// (plus the tolerance) and the damage within 0..largest.
bool hitPlausible(const Pose& pose, const Mob& mob, int32_t damage, int32_t largest);
// The pile the guest asked for that the owner's grant of count of the item fits, if any.
std::optional<uint32_t> grantedPile(const EntityState& entities, const std::set<uint32_t>& requested, uint32_t item,
                                    int32_t count);
// Takes the pile out of the world; nothing when it is gone (someone was quicker).
std::optional<DroppedItem> takePile(EntityState& entities, uint32_t pile);
// A guest that becomes owner goes on from the last snapshots: new mobs and piles get fresh ids.
void continueAsOwner(EntityState& entities);
// Piles asked for stay asked for until the owner's snapshot no longer lists them.
void forgetGonePiles(std::set<uint32_t>& requested, const ItemsMessage& items);

}  // namespace net
