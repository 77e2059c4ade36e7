#include "platform/message_box.h"

#include <cstdio>

namespace platform {

void showMessageBox(const std::string& title, const std::string& text, MessageIcon icon) {
    const char* kind = icon == MessageIcon::Error ? "error" : "information";
    // One formatted write, so that lines from other threads do not land inside the message.
    std::fprintf(stderr, "[%s] %s\n%s\n", kind, title.c_str(), text.c_str());
    std::fflush(stderr);
}

}  // namespace platform
