#pragma once
// What the connection form says about the host's refusal: the host speaks English to its log, the
// player reads Russian like the rest of the game.
#include <string>

#include "net/session.h"

namespace net {

// The form's words for the refusal reason; a reason this game does not know gets the general line.
std::string refusalWords(const std::string& reason);
// How the last session failed, as the form and the toast say it; "" when it did not.
std::string failureWords(const LanSession& lan);

}  // namespace net
