#include "selftest/scenarios.h"

#include "selftest/scenario_log.h"

namespace selftest {

namespace {

int unavailableIn(const std::string& name, const Path& outputFolder, const std::string& needs) {
    return unavailable(outputFolder / (name + ".log"), name, needs);
}

}  // namespace

int map(const Path& a, const Path&) {
    return unavailableIn("map-self-test", a, "the world map");
}
int ai(const Path& a, const Path&) {
    return unavailableIn("ai-self-test", a, "mob behaviour");
}
int mapClients(const Path& a, const Path&, const Path&) {
    return unavailableIn("map-clients-self-test", a, "the LAN session protocol");
}
int rpg(const Path& out) {
    return unavailableIn("rpg-self-test", out, "progression");
}

}  // namespace selftest
