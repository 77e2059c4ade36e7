#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "render/figures/mob_figures.h"

namespace {

constexpr double kPlayerHalfWidth = 0.29;
constexpr double kEyeToFeet = 1.62;
constexpr double kEyeToTop = 0.18;

// The cell of a finite coordinate; far beyond the world it stops at the i32 range instead of
// overflowing the conversion.
int32_t cellOf(double coordinate) {
    return static_cast<int32_t>(std::clamp(std::floor(coordinate), -2147483648.0, 2147483647.0));
}

int32_t chunkOf(double coordinate) { return voxel::floorDiv(cellOf(coordinate), 16); }

// Top of the first solid block 1 to 4 below the feet, where a heavy attack's ring lies.
double heavyRingHeight(const App& app, const Mob& mob) {
    const int32_t x = cellOf(mob.x), z = cellOf(mob.z);
    const int64_t feet = cellOf(mob.y);
    for (int32_t down = 1; down <= 4; ++down) {
        const int64_t y = feet - down;
        if (y < 0 || y > 127) continue;
        if (voxel::blockDef(app.blockAt(x, static_cast<int32_t>(y), z)).solid) return static_cast<double>(y) + 1.035;
    }
    return mob.y + 0.035;
}

render::MobResources mobResources(const App& app, const content::MobDef& def, const Mob& mob) {
    render::MobResources resources;
    if (!def.modelResource.empty()) {
        resources.modelId = app.customResourceId(def.modelResource);
        if (resources.modelId != 0) resources.model = &voxel::blockDef(resources.modelId).modelVertices;
    } else if (mob.kind != 0) {
        resources.heldId = app.customResourceId(def.behavior == "melee" ? "core:iron_sword" : "core:bow");
        if (resources.heldId != 0) resources.held = &voxel::blockDef(resources.heldId).modelVertices;
    }
    return resources;
}

}  // namespace

double App::mobAttackPose(const Mob& mob) const { return render::mobAttackPose(mob, tickAlpha()); }

void App::buildActorGeometry(std::vector<render::MeshVertex>& list) {
    const double alpha = tickAlpha();
    const bool lanGuest = lan.entitiesFromHost();
    render::TelegraphView view;
    view.alpha = alpha;
    view.viewYaw = player.yaw;
    view.playerX = player.x;
    view.playerZ = player.z;
    for (const Mob& mob : entities.mobs) {
        if (!render::mobIsFinite(mob)) continue;
        if (findChunk(chunkOf(mob.x), chunkOf(mob.z)) == nullptr) continue;
        const content::MobDef* def = render::mobDefinition(rules.mobs, mob);
        if (def == nullptr) continue;
        if (!render::mobInView(mob, *def, frame.planes, frame.planesValid, showHitboxes)) continue;
        const auto snapshot = entities.mobSnapshots.find(mob.id);
        const bool haveSnapshot = lanGuest && snapshot != entities.mobSnapshots.end();
        const render::MobPlacement place = render::placeMob(mob, haveSnapshot ? &snapshot->second : nullptr, alpha);
        view.groundY = mob.windupRemaining > 0 && mob.attackKind == render::kAttackHeavy ? heavyRingHeight(*this, mob) : mob.y;
        render::emitMob(list, mob, *def, place, mobResources(*this, *def, mob), view);
        if (showHitboxes && mob.health >= 1) render::emitMobHitbox(list, mob, place.position);
    }
    if (showHitboxes && player.thirdPerson) {
        render::emitBoxOutline(list, {player.x - kPlayerHalfWidth, player.y - kEyeToFeet, player.z - kPlayerHalfWidth},
                               {player.x + kPlayerHalfWidth, player.y + kEyeToTop, player.z + kPlayerHalfWidth},
                               {0.2, 0.6, 1.0});
    }
}
