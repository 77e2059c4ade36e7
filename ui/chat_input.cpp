#include <GLFW/glfw3.h>

#include "app/app.h"
#include "net/protocol.h"
#include "ui/chat.h"

void App::openChat(bool byLetterKey) {
    ui.textEntryActive = true;
    ui.chatEntry.clear();
    ui.chatSkipChar = byLetterKey;
    ui.textViewLine = 0;
    ui.textViewLineCount = static_cast<int32_t>(ui.chatLines.size());
    // What the hands were doing stops: the keys and buttons now belong to the entry.
    hands.leftHeld = hands.rightHeld = false;
    ui::clearPresses(ui.keyPresses);
    ui::clearPresses(ui.buttonPresses);
}

void App::chatKey(int key) {
    if (key == GLFW_KEY_ENTER || key == GLFW_KEY_KP_ENTER) {
        submitChat();
    } else if (key == GLFW_KEY_BACKSPACE && !ui.chatEntry.empty()) {
        ui.chatEntry.pop_back();
    }
}

void App::chatChar(unsigned int codePoint) {
    if (ui.chatSkipChar) {
        ui.chatSkipChar = false;
        return;
    }
    ui::typeChatChar(ui.chatEntry, static_cast<char32_t>(codePoint));
}

void App::submitChat() {
    const std::u32string text = ui::trimmedChatEntry(ui.chatEntry);
    ui.chatEntry.clear();
    resetTextEntry();
    if (text.empty()) return;
    ui::showChatLine(ui, ui::chatLine(ui::utf8ToUtf32(lan.shownName.empty() ? lan.playerName : lan.shownName), text), gpu.win ? glfwGetTime() : 0.0);
    if (lan.networked && lan.ready)
        net::appendFrame(lan.connection.sendBuffer, net::ChatMessage{0, "", ui::utf32ToUtf8(text)});
}
