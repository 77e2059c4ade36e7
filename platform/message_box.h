#pragma once
#include <string>

namespace platform {

enum class MessageIcon { Information, Error };

// Prints the title and text to stderr; never blocks.
void showMessageBox(const std::string& title, const std::string& text, MessageIcon icon);

}  // namespace platform
