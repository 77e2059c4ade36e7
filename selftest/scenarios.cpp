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

}  // namespace selftest
