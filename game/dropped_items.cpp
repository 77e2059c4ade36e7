// Items lying in the world: dropping them, their fall and spin each world step, the player picking
// them up and their despawn after a while.
#include <algorithm>
#include <cmath>
#include <span>

#include "app/app.h"
#include "ui/slot_moves.h"
#include "world/block_registry.h"

namespace {

constexpr float kGravityPerStep = 0.04f;  // blocks per step, per step
constexpr float kFallLimit = 1.0f;        // blocks per step: never skips through a block
constexpr float kSpinPerStep = 0.1f;
constexpr int32_t kPickUpDelay = 10;    // steps: a fresh drop is seen before it is taken
constexpr int32_t kDespawnAge = 3600;   // steps: three minutes
constexpr std::size_t kMaxItems = 512;  // the oldest go first when the world fills up
constexpr double kPickUpRadius = 1.5;   // blocks from the body's axis
constexpr double kEyeHeight = 1.62;

bool solidAt(const App& app, float x, float y, float z) {
    const uint8_t id = app.blockAt(static_cast<int32_t>(std::floor(x)), static_cast<int32_t>(std::floor(y)),
                                   static_cast<int32_t>(std::floor(z)));
    return voxel::isValidBlockId(id) && voxel::blockDef(id).solid;
}

bool loaded(const App& app, float x, float z) {
    return app.findChunk(voxel::floorDiv(static_cast<int32_t>(std::floor(x)), 16),
                         voxel::floorDiv(static_cast<int32_t>(std::floor(z)), 16)) != nullptr;
}

// Falls until the top of a solid block; an item in an unloaded chunk waits where it is.
void fall(const App& app, DroppedItem& item) {
    if (!loaded(app, item.x, item.z)) return;
    item.velocityY = std::max(item.velocityY - kGravityPerStep, -kFallLimit);
    const float next = item.y + item.velocityY;
    if (item.velocityY < 0.0f && solidAt(app, item.x, next, item.z)) {
        item.y = std::floor(next) + 1.0f;
        item.velocityY = 0.0f;
    } else {
        item.y = next;
    }
    if (item.y < 0.0f) item.age = kDespawnAge;  // fell out of the world
}

bool withinReach(const PlayerState& player, const DroppedItem& item) {
    const double feet = player.y - kEyeHeight;
    return std::hypot(item.x - player.x, item.z - player.z) <= kPickUpRadius && item.y >= feet - 0.5 &&
           item.y <= player.y + 0.5;
}

}  // namespace

void App::dropItem(uint8_t id, int32_t count, float x, float y, float z) {
    if (id == voxel::airId || count <= 0 || !voxel::isValidBlockId(id)) return;
    if (lan.entitiesFromHost() && lan.authenticated) {
        // Every pile lies in the owner's world: ours would vanish under its next snapshot. The owner
        // drops it at our feet and hands it over when we ask, like any other.
        sendClientEvent(net::kEventDropItem, id, count);
        return;
    }
    std::vector<DroppedItem>& items = entities.droppedItems;
    if (items.size() >= kMaxItems) items.erase(items.begin());
    DroppedItem item;
    item.id = id;
    item.count = count;
    item.pile = entities.nextPileId++;
    item.x = x, item.y = y, item.z = z;
    item.prevX = x, item.prevY = y, item.prevZ = z;
    item.phase = item.prevPhase = static_cast<float>(clock.tick % 64) * 0.37f;
    items.push_back(item);
}

void App::stepDroppedItems() {
    if (lan.entitiesFromHost()) {  // the owner's items: what lies in reach is asked for
        for (const DroppedItem& item : entities.droppedItems)
            if (withinReach(player, item)) requestPile(item);
        return;
    }
    bool pickedUp = false;
    for (DroppedItem& item : entities.droppedItems) {
        item.prevX = item.x, item.prevY = item.y, item.prevZ = item.z;
        item.prevPhase = item.phase;
        item.interpolate = 1;
        item.phase += kSpinPerStep;
        ++item.age;
        fall(*this, item);
        if (item.age < kPickUpDelay || !withinReach(player, item)) continue;
        const int32_t left = giveItem(item.id, item.count);
        pickedUp = pickedUp || left != item.count;
        item.count = left;
    }
    std::erase_if(entities.droppedItems,
                  [](const DroppedItem& item) { return item.count <= 0 || item.age >= kDespawnAge; });
    if (pickedUp) saveActionFiles();
}
