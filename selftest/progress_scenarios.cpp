// The skills and quest self-tests. Skills: experience raises a skill's level at each whole step and
// nowhere else, the first skill raises the health maximum, the second the melee damage, and the
// progression comes back from its file. Quest: the shipped smith offers his quest, a gather quest
// counts the blocks the player digs from the moment it is accepted, ends at its count and not one
// block before, pays its reward once, and the quest log comes back from its file.
#include <cstdint>
#include <string>

#include "adventure/quest_log.h"
#include "app/app.h"
#include "content/resource_ids.h"
#include "game/progression.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "ui/npc_window.h"

namespace selftest {

namespace {

using adventure::kExperiencePerSkillLevel;

std::string numbers(uint32_t found, uint32_t expected) {
    return std::to_string(found) + ", expected " + std::to_string(expected);
}

void levelEdges() {
    struct Step {
        int32_t add;
        uint32_t level;
    };
    // From nothing: one short of a level, the level itself, one short of the next, and the next.
    Progression p;
    const Step steps[] = {{static_cast<int32_t>(kExperiencePerSkillLevel) - 1, 0},
                          {1, 1},
                          {static_cast<int32_t>(kExperiencePerSkillLevel) - 1, 1},
                          {1, 2}};
    uint32_t total = 0;
    for (const Step& step : steps) {
        require(adventure::addSkillExperience(p, 2, step.add), "experience added", "refused " + std::to_string(step.add));
        total += static_cast<uint32_t>(step.add);
        require(p.skills[2] == step.level, "level at " + std::to_string(total), numbers(p.skills[2], step.level));
    }
    require(!adventure::addSkillExperience(p, 4, 100), "skill 4 refused", "accepted");
    require(!adventure::addSkillExperience(p, 0, 0), "zero experience refused", "accepted");
    require(p.skills[0] == 0 && p.skillExperience[0] == 0, "refusals change nothing",
            "skill 0 at " + std::to_string(p.skillExperience[0]));
}

void skillEffects(App& app) {
    const int32_t before = adventure::maxHealth(app.combat.progression);
    const uint32_t damage = app.meleeDamage();
    adventure::addSkillExperience(app.combat.progression, 0, static_cast<int32_t>(kExperiencePerSkillLevel));
    adventure::addSkillExperience(app.combat.progression, 1, static_cast<int32_t>(2 * kExperiencePerSkillLevel));
    const int32_t after = adventure::maxHealth(app.combat.progression);
    require(after == before + 2, "health maximum", numbers(static_cast<uint32_t>(after), static_cast<uint32_t>(before + 2)));
    require(app.meleeDamage() == damage + 2, "melee damage", numbers(app.meleeDamage(), damage + 2));
}

void skillsChecks(const Path& work, const Path& contentRoot) {
    levelEdges();
    {
        App app;
        prepareScenarioApp(app, work, contentRoot);
        loadScenarioContent(app);
        skillEffects(app);
        app.saveWorld();
    }
    App again;
    again.useBaseDirectory(std::filesystem::absolute(work));
    again.loadProgression();
    const Progression& p = again.combat.progression;
    require(p.skills[0] == 1 && p.skills[1] == 2 && p.skillExperience[1] == 2 * kExperiencePerSkillLevel,
            "progression read back", "skills " + std::to_string(p.skills[0]) + ", " + std::to_string(p.skills[1]));
}

constexpr const char* kSmith = "core:smith";

// Digs `count` blocks of `id` from the ground under the player, through the hands' own break.
void dig(App& app, uint8_t id, int32_t count, int32_t& column) {
    for (int32_t k = 0; k < count; ++k, ++column) {
        app.setBlock(column % 16, 10, column / 16, id);
        app.breakBlock(column % 16, 10, column / 16);
    }
}

const adventure::Quest& smithsQuest(App& app) {
    require(app.openNpcWindow(kSmith), "smith's window", "the content pack has no " + std::string(kSmith));
    ui::NpcWindow window;
    app.buildNpcWindow(window);
    require(!window.quests.empty(), "smith's quests", "none offered");
    require(window.acceptEnabled, "accept enabled", "the first quest cannot be accepted");
    const adventure::Quest& quest = app.adventureState.catalog.quests.at(window.quests[window.selected].questId);
    require(quest.kind == adventure::ObjectiveKind::gather, "gather quest", quest.id + " is no gather quest");
    return quest;
}

void questChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    addGroundChunk(app, 0, 0, requireResource("core:stone", "ground"), 8);
    const adventure::Quest& quest = smithsQuest(app);
    const uint8_t target = requireResource(quest.target, "quest target");
    int32_t column = 0;
    dig(app, target, 3, column);  // dug before accepting: does not count
    require(app.acceptSelectedQuest(), "accepted", quest.id + " refused");
    require(!app.acceptSelectedQuest(), "accepted once", quest.id + " accepted twice");
    dig(app, target, quest.count - 1, column);
    app.updateQuests();
    require(adventure::questState(quest, app.adventureState.standing.quests) == adventure::QuestState::accepted,
            "one block short", "the quest ended early");
    const uint64_t experience = adventure::totalExperience(app.combat.progression);
    const int32_t rewards = app.countItem(quest.rewardItem);
    dig(app, target, 1, column);
    app.updateQuests();
    app.updateQuests();
    require(adventure::questState(quest, app.adventureState.standing.quests) == adventure::QuestState::done, "done at its count",
            "not done after " + std::to_string(quest.count) + " blocks");
    const uint64_t paid = adventure::totalExperience(app.combat.progression) - experience;
    require(paid == static_cast<uint64_t>(quest.rewardExperience), "experience paid once",
            std::to_string(paid) + ", expected " + std::to_string(quest.rewardExperience));
    if (quest.rewardItem != 0)
        require(app.countItem(quest.rewardItem) == rewards + quest.rewardCount, "item paid once",
                numbers(static_cast<uint32_t>(app.countItem(quest.rewardItem)),
                        static_cast<uint32_t>(rewards + quest.rewardCount)));
    app.saveWorld();
    App again;
    again.useBaseDirectory(std::filesystem::absolute(work));
    again.loadAdventure();
    require(again.adventureState.standing.quests.completed.contains(quest.id), "quest log read back", quest.id + " not done");
}

}  // namespace

int skills(const Path& out, const Path& contentRoot) {
    return runChecks(out / "skills-self-test.log",
                     "SKILLS_OK: skill levels at each step of experience and not before, refusals change nothing, "
                     "health maximum and melee damage follow the skills, progression read back",
                     [&] { skillsChecks(out / "skills-self-test", contentRoot); });
}

int quest(const Path& out, const Path& contentRoot) {
    return runChecks(out / "quest-self-test.log",
                     "QUEST_OK: the smith's quest accepted once, blocks dug before it not counted, done at its count "
                     "and not one block before, reward paid once, quest log read back",
                     [&] { questChecks(out / "quest-self-test", contentRoot); });
}

}  // namespace selftest
