#include "selftest/scenarios.h"

#include "selftest/scenario_log.h"

namespace selftest {

namespace {

int unavailableIn(const std::string& name, const Path& outputFolder, const std::string& needs) {
    return unavailable(outputFolder / (name + ".log"), name, needs);
}

}  // namespace

int ui(const Path& a, const Path&) {
    return unavailableIn("ui-self-test", a, "the interface screens");
}
int inventory(const Path& a, const Path&) {
    return unavailableIn("inventory-self-test", a, "the inventory");
}
int expedition(const Path& a, const Path&) {
    return unavailableIn("expedition-self-test", a, "the adventure rules");
}
int map(const Path& a, const Path&) {
    return unavailableIn("map-self-test", a, "the world map");
}
int sky(const Path& a, const Path&) {
    return unavailableIn("sky-self-test", a, "dimension travel");
}
int frost(const Path& a, const Path&) {
    return unavailableIn("frost-self-test", a, "dimension travel");
}
int held(const Path& a, const Path&) {
    return unavailableIn("held-self-test", a, "held-item animation");
}
int boss(const Path& a, const Path&) {
    return unavailableIn("boss-self-test", a, "mobs and combat");
}
int ai(const Path& a, const Path&) {
    return unavailableIn("ai-self-test", a, "mob behaviour");
}
int chat(const Path& a, const Path&) {
    return unavailableIn("chat-self-test", a, "chat and its commands");
}
int dimensions(const Path& a, const Path&) {
    return unavailableIn("dimensions-self-test", a, "dimension travel");
}
int skills(const Path& a, const Path&) {
    return unavailableIn("skills-self-test", a, "progression");
}
int quest(const Path& a, const Path&) {
    return unavailableIn("quest-self-test", a, "quests");
}
int mapClients(const Path& a, const Path&, const Path&) {
    return unavailableIn("map-clients-self-test", a, "the LAN session protocol");
}
int motion(const Path& a, const Path&, const Path&) {
    return unavailableIn("motion-self-test", a, "the LAN session protocol");
}
int dimensionClients(const Path& a, const Path&, const Path&) {
    return unavailableIn("dimension-clients-self-test", a, "the LAN session protocol");
}
int rpg(const Path& out) {
    return unavailableIn("rpg-self-test", out, "progression");
}
int combat(const Path& out) {
    return unavailableIn("combat-self-test", out, "mobs and combat");
}
int shared(const Path& out) {
    return unavailableIn("shared-self-test", out, "the LAN session protocol");
}

}  // namespace selftest
