// Mobs in the world step, and the player's melee against them. The rules are kept small: mobs
// appear near the player at night and stand still; a swing that reaches a live mob takes the
// player's melee damage from its health; a mob below 1 health tips over and is removed 2 s later.
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/app.h"
#include "game/melee.h"
#include "game/mob_rules.h"
#include "world/shapes.h"

namespace {

// Steps until the next swing: the quick (mode 0) or heavy attack's wind-up and recovery.
int32_t swingTicks(const content::CombatRules& rules, uint8_t mode) {
    return mode == 0 ? rules.quickWindupTicks + rules.quickRecoveryTicks
                     : rules.heavyWindupTicks + rules.heavyRecoveryTicks;
}

voxel::Vec3 relative(const game::Point3& p, const CellKey& origin) {
    const auto [x, y, z] = origin;
    return {p[0] - x, p[1] - y, p[2] - z};
}

// The segment's entry into a shaped block, tested in the part's own space where it is a box.
std::optional<double> shapeEntry(const App& app, const game::Point3& start, const game::Point3& end, int32_t x,
                                 int32_t y, int32_t z, const voxel::BlockDef& def, int32_t kind) {
    const CellKey anchor = app.twoPartAnchor(x, y, z);
    const auto [ax, ay, az] = anchor;
    const uint8_t state = app.findBlockEntity(ax, ay, az);
    const double angle = (kind == voxel::shapeDoor || kind == voxel::shapeTrapdoor) ? app.doorAngle(anchor) : 0.0;
    const double t = def.door_thickness;
    const voxel::Vec3 a = voxel::shapePointToLocal(relative(start, anchor), kind, state, angle, t);
    const voxel::Vec3 b = voxel::shapePointToLocal(relative(end, anchor), kind, state, angle, t);
    const voxel::Vec3 size = voxel::shapeSize(kind, t);
    return game::segmentEntry({a.x, a.y, a.z}, {b.x, b.y, b.z}, {0.0, 0.0, 0.0}, {size.x, size.y, size.z});
}

std::optional<double> cellEntry(const App& app, const game::Point3& start, const game::Point3& end, int32_t x,
                                int32_t y, int32_t z) {
    if (y < 0 || y >= voxel::chunkHeight) return std::nullopt;
    const voxel::BlockDef& def = voxel::blockDef(app.blockAt(x, y, z));
    const int32_t kind = voxel::shapeKind(def);
    const bool swings = kind == voxel::shapeDoor || kind == voxel::shapeTrapdoor;
    if (!def.solid && !swings) return std::nullopt;
    if (kind != voxel::shapeNone) return shapeEntry(app, start, end, x, y, z, def, kind);
    return game::segmentEntry(start, end, {double(x), double(y), double(z)}, {x + 1.0, y + 1.0, z + 1.0});
}

// The highest solid block of the column with two free cells above it; -1 when none.
int32_t standingHeight(const App& app, int32_t x, int32_t z) {
    for (int32_t y = voxel::chunkHeight - 3; y >= 0; --y) {
        if (!voxel::blockDef(app.blockAt(x, y, z)).solid) continue;
        const bool free = app.blockAt(x, y + 1, z) == voxel::airId && app.blockAt(x, y + 2, z) == voxel::airId;
        return free ? y + 1 : -1;
    }
    return -1;
}

std::size_t liveMobsOf(const std::vector<Mob>& mobs, const std::string& defId) {
    return static_cast<std::size_t>(std::count_if(
        mobs.begin(), mobs.end(), [&](const Mob& m) { return m.health >= 1 && (defId.empty() || m.defId == defId); }));
}

// One try at a night mob: a kind that comes out at night, on open ground 10 to 20 blocks from the
// player, while fewer than four mobs live and fewer than the kind's own limit.
void spawnNightMob(App& app) {
    std::vector<Mob>& mobs = app.entities.mobs;
    if (liveMobsOf(mobs, "") >= game::kNightMobLimit) return;
    const std::vector<std::size_t> candidates = game::nightSpawnCandidates(app.rules.mobs, app.dimension);
    if (candidates.empty()) return;
    const uint64_t seed = app.clock.tick ^ (uint64_t{app.files.seed} << 32);
    const game::SpawnSpot spot = game::spawnSpot(seed, app.player.x, app.player.z, candidates.size());
    const content::MobDef& def = app.rules.mobs[candidates[spot.pick]];
    if (liveMobsOf(mobs, def.id) >= static_cast<std::size_t>(def.spawnLimit)) return;
    const auto cx = static_cast<int32_t>(std::floor(spot.x)), cz = static_cast<int32_t>(std::floor(spot.z));
    if (app.findChunk(voxel::floorDiv(cx, 16), voxel::floorDiv(cz, 16)) == nullptr) return;
    const int32_t feet = standingHeight(app, cx, cz);
    if (feet < 0) return;
    Mob mob;
    app.applyMobDef(mob, def);
    mob.id = app.entities.nextMobId++;
    mob.health = std::max(1, def.health);
    mob.x = mob.prevX = cx + 0.5;
    mob.y = mob.prevY = feet;
    mob.z = mob.prevZ = cz + 0.5;
    mob.yaw = spot.yaw;
    mobs.push_back(mob);
}

}  // namespace

void App::applyMobDef(Mob& mob, const content::MobDef& def) {
    mob.defId = def.id;
    mob.kind = def.templateKind == 1 ? 1u : 0u;
    mob.halfWidth = def.width / 2.0;
    mob.height = def.height;
}

void App::sweepBox(const double start[3], const double end[3], SweepHit& out, [[maybe_unused]] uint32_t flags) const {
    // flags: no variant of the sweep is defined yet; every caller passes 0.
    const game::Point3 s{start[0], start[1], start[2]}, e{end[0], end[1], end[2]};
    const std::optional<double> t =
        game::firstBlockingCell(s, e, [&](int x, int y, int z) { return cellEntry(*this, s, e, x, y, z); });
    out.hit = t.has_value();
    out.fraction = t.value_or(1.0);
}

uint32_t App::meleeDamage() const {
    // The weapon is what the selected slot holds now: the held-block value is only refreshed when a
    // world opens, so a slot changed since then would strike with the wrong item.
    // A negative attack value lowers the damage but never wraps it round to a huge number.
    const uint8_t weapon = inventory.hotbar[static_cast<std::size_t>(std::clamp(inventory.selected, 0, 8))].id;
    const int64_t attack = voxel::blockDef(weapon).attack;
    const int64_t total = int64_t{combat.progression.skills[1]} + attack;
    return static_cast<uint32_t>(std::clamp<int64_t>(total, 0, std::numeric_limits<uint32_t>::max()));
}

bool App::meleeRayHit(bool apply, uint8_t mode) {
    const game::Point3 start{player.x, player.y, player.z};
    const game::Point3 end = game::meleeRayEnd(start, player.yaw, player.pitch);
    SweepHit blocked;
    sweepBox(start.data(), end.data(), blocked, 0);
    const double tmax = blocked.hit ? blocked.fraction : 1.0;
    const std::optional<std::size_t> hit = game::nearestMobOnSegment(entities.mobs, start, end, tmax);
    if (!hit) return combat.meleeTimer > 0;
    if (apply) startMeleeAttack(entities.mobs[*hit].id, mode);
    return true;
}

void App::startMeleeAttack(uint32_t mobId, uint8_t mode) {
    if (combat.meleeTimer > 0) return;
    const auto mob = std::find_if(entities.mobs.begin(), entities.mobs.end(),
                                  [&](const Mob& m) { return m.id == mobId && m.health >= 1; });
    if (mob == entities.mobs.end()) return;
    combat.meleeTimer = std::max(1, swingTicks(rules.combat, mode));
    double damage = meleeDamage();
    if (mode != 0) damage *= rules.combat.heavyMultiplier;
    if (lan.entitiesFromHost())  // the owner's mob: the owner's world takes the blow too
        sendClientEvent(net::kEventHitMob, mobId,
                        static_cast<int32_t>(std::clamp(std::floor(damage), 0.0, 1e9)));
    mob->health = static_cast<int32_t>(std::max(mob->health - std::floor(damage), -1e9));
    mob->hurtTimer = game::kHurtTicks;
    if (mob->health >= 1) return;
    mob->deathTimer = 0;
    // The blow that kills pays the reward rules' experience; a dead mob cannot be struck again.
    adventure::addExperience(combat.progression, game::killExperience(rules.rpg, rules.mobs, *mob));
}

void App::stepMobs() {
    if (combat.meleeTimer > 0) --combat.meleeTimer;
    if (lan.entitiesFromHost()) return;  // a guest's mobs, timers and all, arrive from the owner
    for (Mob& mob : entities.mobs) game::stepMobTimers(mob);
    std::erase_if(entities.mobs, game::corpseExpired);
    if (game::isNight(clock.timeOfDay) && clock.tick % game::kSpawnEveryTicks == 0) spawnNightMob(*this);
}
