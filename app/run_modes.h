#pragma once
// The process entry: mode choice, the application's four phases and the top-level failure report.
#include <array>
#include <cstdint>
#include <string>

#include "game/player_state.h"

struct App;

namespace core {

int runMain(int argc, char** argv);

// The text appended to last_error.txt for a failure that ended the game.
std::string failureReport(const std::string& message, const std::string& worldDirectory, uint64_t tick,
                          int32_t screen, bool thirdPerson, const std::array<InventorySlot, 4>& armor);
std::string failureReport(const App& app, const std::string& message);

// The port argument of --lan-join: read like the standard string-to-int conversion (leading white
// space, a sign, then digits; "invalid stoi argument" / "stoi argument out of range"), cut to 16 bits.
uint16_t parsePortArgument(const std::string& text);

}  // namespace core
