// The RPG self-test: the game's reward rules paid as experience cross each level edge at its cost
// and stop at the top level, a skill stops at its top level, exploring pays once per region and
// biome, the wallet and the reputation hold at
// their bounds, and the progression and the standing come back from the world's files and start
// over with a new world.
#include <algorithm>
#include <cstdint>
#include <string>

#include "adventure/player_standing.h"
#include "app/app.h"
#include "game/progression.h"
#include "platform/file_read.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"

namespace selftest {

namespace {

std::string levelText(const Progression& p) {
    return "level " + std::to_string(p.level) + ", experience " + std::to_string(p.experience);
}

void rulesRead(const App& app) {
    const Path errors = app.files.base / "Content" / "rpg_errors.txt";
    const std::string text = platform::readFileBytes(errors).value_or("missing");
    require(text.empty(), "rpg rules read", text);
    require(app.rules.rpg.hostileXp > 0, "hostile reward", std::to_string(app.rules.rpg.hostileXp));
}

// Pays the reward until the next payment would reach the level's cost, then once more: the level
// rises by exactly one at the payment that reaches its cost and not one payment before.
void crossLevelEdge(Progression& p, int32_t reward) {
    const uint32_t level = p.level;
    const uint32_t cost = adventure::levelCost(level);
    while (p.experience + static_cast<uint32_t>(reward) < cost) {
        adventure::addExperience(p, reward);
        require(p.level == level, "below the edge of level " + std::to_string(level + 1), levelText(p));
    }
    const uint32_t over = p.experience + static_cast<uint32_t>(reward) - cost;
    require(adventure::addExperience(p, reward) == 1, "level " + std::to_string(level + 1), levelText(p));
    require(p.level == level + 1 && p.experience == over, "experience left over", levelText(p));
}

void progressionChecks(App& app) {
    Progression& p = app.combat.progression;
    // A payment no larger than the first level's cost crosses one edge at a time: costs only grow.
    const int32_t reward = std::clamp(app.rules.rpg.hostileXp, 1, static_cast<int32_t>(adventure::levelCost(1)));
    for (int edge = 0; edge < 3; ++edge) crossLevelEdge(p, reward);
    require(p.level == 4, "three levels", levelText(p));
    while (p.level < adventure::kMaxLevel) adventure::addExperience(p, 10000);
    adventure::addExperience(p, 10000);
    require(p.level == adventure::kMaxLevel, "top level", levelText(p));

    const auto topSkill = static_cast<int32_t>(adventure::kMaxSkillLevel * adventure::kExperiencePerSkillLevel);
    adventure::addSkillExperience(p, 2, topSkill - 1);
    require(p.skills[2] == adventure::kMaxSkillLevel - 1, "one short of the top skill level",
            std::to_string(p.skills[2]));
    adventure::addSkillExperience(p, 2, 1 + static_cast<int32_t>(adventure::kExperiencePerSkillLevel));
    require(p.skills[2] == adventure::kMaxSkillLevel, "skill stops at its top level", std::to_string(p.skills[2]));
}

// The first chunk of a world is a region and a biome not seen before; the next chunk of the same
// region pays nothing more.
void explorationChecks(App& app) {
    const Progression& p = app.combat.progression;
    const uint64_t before = adventure::totalExperience(p);
    app.player.x = 8.0f, app.player.z = 8.0f;
    app.updatePlayerChunk();
    const uint64_t paid = adventure::totalExperience(p) - before;
    const auto expected = static_cast<uint64_t>(app.rules.rpg.regionXp + app.rules.rpg.biomeXp);
    require(paid == expected, "a new region and biome pay", std::to_string(paid) + ", expected " + std::to_string(expected));
    app.player.x = 24.0f;
    app.updatePlayerChunk();
    require(adventure::totalExperience(p) - before == paid, "a known region pays nothing",
            std::to_string(adventure::totalExperience(p) - before - paid));
}

void standingChecks(adventure::PlayerStanding& s) {
    const uint64_t top = adventure::kWalletLimit - 1;
    require(adventure::earnCoins(s, top - 1) == top - 1 && adventure::earnCoins(s, 5) == 1 && s.copper == top,
            "wallet stops one coin short of its limit", std::to_string(s.copper));
    require(!adventure::spendCoins(s, top + 1) && s.copper == top, "a price over the wallet refused",
            std::to_string(s.copper));
    require(adventure::spendCoins(s, top - 12'345) && adventure::coinsOf(s.copper) == adventure::Coins{1, 23, 45},
            "coins counted as 1 gold, 23 silver, 45 copper", std::to_string(s.copper));
    adventure::changeReputation(s, 5000);
    require(s.reputation == adventure::kMaxReputation, "reputation held at its top", std::to_string(s.reputation));
    adventure::changeReputation(s, -5000);
    require(s.reputation == 0, "reputation held at 0", std::to_string(s.reputation));
    adventure::changeReputation(s, 321);
}

void readBack(const Path& world) {
    App again;
    again.useBaseDirectory(std::filesystem::absolute(world));
    again.loadProgression();
    again.loadAdventure();
    const Progression& p = again.combat.progression;
    const adventure::PlayerStanding& s = again.adventureState.standing;
    require(p.level == adventure::kMaxLevel && p.skills[2] == adventure::kMaxSkillLevel &&
                p.exploredRegions.size() == 1 && p.discoveredBiomes.size() == 1,
            "progression read back",
            levelText(p) + ", skill " + std::to_string(p.skills[2]) + ", " +
                std::to_string(p.exploredRegions.size()) + " regions");
    require(s.copper == 12'345 && s.reputation == 321, "standing read back",
            std::to_string(s.copper) + " copper, reputation " + std::to_string(s.reputation));
    again.resetWorldState();
    require(again.combat.progression.level == 1 && again.adventureState.standing.copper == 0 &&
                again.adventureState.standing.reputation == 0,
            "a new world starts over", levelText(again.combat.progression));
}

void rpgChecks(const Path& work) {
    {
        App app;
        prepareScenarioApp(app, work, app.files.root);
        loadScenarioContent(app);
        rulesRead(app);
        progressionChecks(app);
        explorationChecks(app);
        standingChecks(app.adventureState.standing);
        app.saveWorld();
    }
    readBack(work);
}

}  // namespace

int rpg(const Path& out) {
    return runChecks(out / "rpg-self-test.log",
                     "RPG_OK: rewards raise the level exactly at its cost up to level 50, a skill stops at 20, "
                     "a new region and biome pay once, "
                     "wallet and reputation held at their bounds, progression and standing read back and "
                     "started over",
                     [&] { rpgChecks(out / "rpg-self-test"); });
}

}  // namespace selftest
