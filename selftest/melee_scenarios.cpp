// The boss and combat self-tests: mobs of the content pack's definitions stand on a stone floor
// before the player, who strikes them with the melee attack of the game's combat rules until they
// die and are gone.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/app.h"
#include "content/combat_rules.h"
#include "game/mob_rules.h"
#include "platform/file_read.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "world/block_registry.h"

namespace selftest {

namespace {

constexpr int32_t kFloor = 64;
constexpr int32_t kMidday = 12000;

// The eye over the middle of chunk (0, 0), looking along +x over a floor two chunks long.
void prepareArena(App& app, const Path& work, const Path& contentRoot) {
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    const uint8_t stone = requireResource("core:stone", "ground");
    for (int32_t cx = -1; cx <= 1; ++cx) addGroundChunk(app, cx, 0, stone, kFloor);
    app.clock.timeOfDay = kMidday;  // no night spawn joins the scene
    app.player.x = 8.5f, app.player.y = kFloor + 1.62f, app.player.z = 8.5f;
    app.player.yaw = 0.0f, app.player.pitch = 0.0f;
    const uint8_t sword = requireResource("core:iron_sword", "sword");
    app.inventory.selected = 0;
    app.inventory.hotbar[0] = InventorySlot{sword, 1, 0};
    app.inventory.heldBlock = sword;
}

Mob& spawnMob(App& app, const content::MobDef& def, double x) {
    Mob mob;
    app.applyMobDef(mob, def);
    mob.id = app.entities.nextMobId++;
    mob.health = std::max(1, def.health);
    mob.x = mob.prevX = x;
    mob.y = mob.prevY = kFloor;
    mob.z = mob.prevZ = 8.5;
    app.entities.mobs.push_back(mob);
    return app.entities.mobs.back();
}

Mob* findMob(App& app, uint32_t id) {
    const auto found = std::find_if(app.entities.mobs.begin(), app.entities.mobs.end(),
                                    [&](const Mob& m) { return m.id == id; });
    return found == app.entities.mobs.end() ? nullptr : &*found;
}

// Turns the view to the middle of the mob's body.
void aimAt(App& app, const Mob& mob) {
    const double dx = mob.x - app.player.x, dz = mob.z - app.player.z;
    const double dy = mob.y + mob.height / 2.0 - app.player.y;
    app.player.yaw = static_cast<float>(std::atan2(dz, dx));
    app.player.pitch = static_cast<float>(std::atan2(dy, std::hypot(dx, dz)));
}

void waitForSwing(App& app) {
    for (int32_t step = 0; step < 1000 && app.combat.meleeTimer > 0; ++step) app.stepMobs();
}

// Strikes the mob with quick blows until it dies; every blow takes the melee damage exactly, and
// a blow struck while the swing is under way takes nothing.
void strikeUntilDead(App& app, uint32_t id, const std::string& name) {
    const int32_t damage = static_cast<int32_t>(app.meleeDamage());
    const int32_t swing = app.rules.combat.quickWindupTicks + app.rules.combat.quickRecoveryTicks;
    const int32_t full = findMob(app, id)->health;
    const int32_t blows = (full + damage - 1) / damage;
    aimAt(app, *findMob(app, id));
    for (int32_t blow = 1; blow <= blows; ++blow) {
        require(app.meleeRayHit(true, 0), name + " in reach", "blow " + std::to_string(blow) + " missed");
        const int32_t health = findMob(app, id)->health;
        require(health == full - blow * damage, name + " takes the melee damage",
                "health " + std::to_string(health) + " after blow " + std::to_string(blow));
        require(app.combat.meleeTimer == std::max(1, swing), name + " swing timer",
                std::to_string(app.combat.meleeTimer) + " steps");
        app.meleeRayHit(true, 0);
        require(findMob(app, id)->health == health, name + " one blow per swing", "a second blow landed");
        waitForSwing(app);
    }
    const Mob& dead = *findMob(app, id);
    require(dead.health < 1, name + " dies", "health " + std::to_string(dead.health) + " after its blows");
}

// A dead mob lies for the corpse time and is gone the step after.
void corpseGoes(App& app, uint32_t id, const std::string& name) {
    const int32_t lying = game::kCorpseTicks - findMob(app, id)->deathTimer;
    for (int32_t step = 1; step < lying; ++step) app.stepMobs();
    require(findMob(app, id) != nullptr, name + " lies", "gone before the corpse time");
    app.stepMobs();
    require(findMob(app, id) == nullptr, name + " goes", "still there after the corpse time");
}

const content::MobDef* firstMob(const App& app, bool boss) {
    const auto found = std::find_if(app.rules.mobs.begin(), app.rules.mobs.end(),
                                    [&](const content::MobDef& m) { return m.enabled && m.boss == boss; });
    return found == app.rules.mobs.end() ? nullptr : &*found;
}

void requireSpawned(const Mob& mob, const content::MobDef& def) {
    require(mob.defId == def.id && mob.health == std::max(1, def.health) && mob.halfWidth == def.width / 2.0 &&
                mob.height == def.height,
            "spawned as defined", def.id + " spawned as " + mob.defId + " with health " + std::to_string(mob.health));
}

void bossChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareArena(app, work, contentRoot);
    const content::MobDef* boss = firstMob(app, true);
    const content::MobDef* other = firstMob(app, false);
    require(boss != nullptr, "boss definition", "no mob definition of the content pack is a boss");
    require(other != nullptr, "second mob definition", "every mob definition is a boss");
    const uint32_t first = spawnMob(app, *boss, 11.5).id;
    const uint32_t second = spawnMob(app, *other, 5.5).id;
    requireSpawned(*findMob(app, first), *boss);
    requireSpawned(*findMob(app, second), *other);
    require(app.meleeDamage() > 0, "sword damage", "a sword that does no damage");
    strikeUntilDead(app, first, "boss");
    require(findMob(app, second)->health == std::max(1, other->health), "the other mob is spared",
            "health " + std::to_string(findMob(app, second)->health));
    corpseGoes(app, first, "boss");
    strikeUntilDead(app, second, other->id);
    corpseGoes(app, second, other->id);
    require(app.entities.mobs.empty(), "no mob left", std::to_string(app.entities.mobs.size()) + " mobs");
}

// --- combat -------------------------------------------------------------------------------

void rulesRead(const App& app) {
    const Path errors = app.files.base / "Content" / "combat_errors.txt";
    const std::string text = platform::readFileBytes(errors).value_or("");
    require(text.empty(), "combat rules read", text);
    const content::CombatRules& r = app.rules.combat;
    require(r.quickWindupTicks + r.quickRecoveryTicks > 0 && r.heavyMultiplier >= 1.0, "combat rules sane",
            "quick swing of " + std::to_string(r.quickWindupTicks + r.quickRecoveryTicks) + " steps");
}

// A skeleton-sized mob whose box begins `ahead` blocks in front of the eye.
uint32_t mobAhead(App& app, double ahead) {
    app.entities.mobs.clear();
    Mob& mob = spawnMob(app, *firstMob(app, false), 0.0);
    mob.kind = 1;
    mob.halfWidth = 0.4;
    mob.height = 1.9;
    mob.x = app.player.x + ahead + 0.4;
    return mob.id;
}

void reachEdges(App& app) {
    struct Row {
        double ahead;
        bool wall, hit;
    };
    for (const Row row : {Row{3.9, false, true}, Row{4.1, false, false}, Row{3.9, true, false}}) {
        app.setBlock(10, kFloor + 1, 8, row.wall ? requireResource("core:stone", "ground") : voxel::airId);
        mobAhead(app, row.ahead);
        const std::string what = std::to_string(row.ahead) + (row.wall ? " behind a wall" : "");
        require(app.meleeRayHit(false, 0) == row.hit, "melee reach", what + (row.hit ? " missed" : " hit"));
    }
    app.setBlock(10, kFloor + 1, 8, voxel::airId);
}

void heavyBlow(App& app) {
    const uint32_t id = mobAhead(app, 1.0);
    Mob& mob = *findMob(app, id);
    mob.health = 1000;
    const content::CombatRules& r = app.rules.combat;
    const int32_t expected = 1000 - static_cast<int32_t>(std::floor(app.meleeDamage() * r.heavyMultiplier));
    require(app.meleeRayHit(true, 1), "heavy blow", "missed");
    require(mob.health == expected, "heavy blow damage", std::to_string(mob.health) + ", not " + std::to_string(expected));
    require(app.combat.meleeTimer == std::max(1, r.heavyWindupTicks + r.heavyRecoveryTicks), "heavy swing timer",
            std::to_string(app.combat.meleeTimer) + " steps");
    waitForSwing(app);
}

void combatChecks(const Path& work) {
    App app;
    prepareArena(app, work, app.files.root);
    require(firstMob(app, false) != nullptr, "mob definition", "the content pack has no ordinary mob");
    rulesRead(app);
    reachEdges(app);
    heavyBlow(app);
    const uint32_t id = mobAhead(app, 1.0);
    strikeUntilDead(app, id, "mob");
    corpseGoes(app, id, "mob");
}

}  // namespace

int boss(const Path& out, const Path& contentRoot) {
    return runChecks(out / "boss-self-test.log",
                     "BOSS_OK: a boss and a second mob spawned from their definitions, struck with the sword "
                     "until dead, lying and gone",
                     [&] { bossChecks(out / "boss-self-test", contentRoot); });
}

int combat(const Path& out) {
    return runChecks(out / "combat-self-test.log",
                     "COMBAT_OK: combat rules read, melee reach at its edge and through a wall, heavy and quick "
                     "blows by the rules, a mob killed and gone",
                     [&] { combatChecks(out / "combat-self-test"); });
}

}  // namespace selftest
