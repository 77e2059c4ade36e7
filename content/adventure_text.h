#pragma once
#include <cstddef>
#include <string>

#include "content/json.h"

namespace adventure {

// The member's string, or fallback when it is no string. A text longer than maxLength bytes or
// holding a carriage return, line feed or tab fails with "Invalid adventure text: " + key.
std::string readText(const content::Json& object, const std::string& key, const std::string& fallback,
                     std::size_t maxLength);

}  // namespace adventure
