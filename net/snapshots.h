#pragma once
// Entity snapshots from the host put into the records the renderer reads. Each snapshot replaces
// its list whole; what the previous snapshot said becomes the "previous" values drawing blends from.
#include <array>
#include <map>
#include <string>

#include "game/entities.h"
#include "net/protocol.h"
#include "net/remote_pose.h"

namespace net {

// Mobs by id: a mob seen before keeps its last position, yaw and walk phase as the previous ones.
void applyMobs(EntityState& entities, const MobsMessage& message);
// Arrows and piles carry no id: the one at the same place in the list gives the previous values.
void applyArrows(EntityState& entities, const ArrowsMessage& message);
void applyItems(EntityState& entities, const ItemsMessage& message);
void applyNpcs(std::map<std::string, std::array<double, 3>>& positions, const NpcsMessage& message);
// The other players' poses in our dimension; our own id, should the host list it, is left out, and so
// is a player in another dimension, whom we do not see.
void applyPoses(std::map<uint32_t, RemotePose>& poses, const PosesMessage& message, uint32_t ownId,
                const std::string& dimension);

}  // namespace net
