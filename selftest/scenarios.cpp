#include "selftest/scenarios.h"

#include "selftest/scenario_log.h"

namespace selftest {

namespace {

int unavailableIn(const std::string& name, const Path& outputFolder, const std::string& needs) {
    return unavailable(outputFolder / (name + ".log"), name, needs);
}

}  // namespace

int ai(const Path& a, const Path&) {
    return unavailableIn("ai-self-test", a, "mob behaviour");
}
int chat(const Path& a, const Path&) {
    return unavailableIn("chat-self-test", a, "chat and its commands");
}
int dimensionClients(const Path& a, const Path&, const Path&) {
    return unavailableIn("dimension-clients-self-test", a, "the LAN session protocol");
}
int shared(const Path& out) {
    return unavailableIn("shared-self-test", out, "the LAN session protocol");
}

}  // namespace selftest
