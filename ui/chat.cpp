#include "ui/chat.h"

#include <algorithm>

#include "net/printable_text.h"
#include "render/interface/overlay_text.h"
#include "ui/ui_state.h"

namespace ui {

std::u32string chatLine(const std::u32string& name, const std::u32string& text) {
    return name.substr(0, kMaxChatNameChars) + U": " + text.substr(0, kMaxChatChars);
}

void addChatLine(std::vector<std::u32string>& lines, std::u32string line) {
    lines.push_back(std::move(line));
    if (lines.size() > kMaxChatLines)
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(lines.size() - kMaxChatLines));
}

void showChatLine(UiState& ui, std::u32string line, double now) {
    const bool scrolledBack = ui.textViewLine > 0;
    addChatLine(ui.chatLines, std::move(line));
    ui.textViewLineCount = static_cast<int32_t>(ui.chatLines.size());
    if (scrolledBack) ui.textViewLine = std::min(ui.textViewLine + 1, ui.textViewLineCount - 1);
    ui.chatShownUntil = now + kChatShowSeconds;
}

bool typeChatChar(std::u32string& entry, char32_t c) {
    if (!net::isPrintable(c) || entry.size() >= kMaxChatChars) return false;
    entry.push_back(c);
    return true;
}

std::u32string trimmedChatEntry(const std::u32string& entry) {
    const std::size_t first = entry.find_first_not_of(U' ');
    if (first == std::u32string::npos) return {};
    return entry.substr(first, entry.find_last_not_of(U' ') - first + 1);
}

std::u32string receivedChatText(const std::string& utf8) {
    std::u32string text = utf8ToUtf32(utf8);
    for (char32_t& c : text)
        if (!net::isPrintable(c)) c = U' ';
    if (text.size() > kMaxChatChars) text.resize(kMaxChatChars);
    return text;
}

std::vector<std::u32string> chatViewRows(const std::vector<std::u32string>& lines, int32_t scrolledBack,
                                         std::size_t rows) {
    const auto count = static_cast<int64_t>(lines.size());
    const int64_t end = count - std::clamp<int64_t>(scrolledBack, 0, std::max<int64_t>(0, count - 1));
    const int64_t begin = std::max<int64_t>(0, end - static_cast<int64_t>(rows));
    return {lines.begin() + begin, lines.begin() + end};
}

void writeChatOverlay(std::span<uint32_t> words, ChatOverlay chat) {
    const std::size_t needed = (render::kFirstTextLineRecord + kChatEntryTextLine + 1) * render::kTextLineWords;
    if (words.size() < needed) return;
    // The newest row sits just above the entry; the rows above it stay empty.
    if (chat.rows.size() > kChatRowsShown)
        chat.rows.erase(chat.rows.begin(), chat.rows.end() - static_cast<std::ptrdiff_t>(kChatRowsShown));
    chat.rows.insert(chat.rows.begin(), kChatRowsShown - chat.rows.size(), std::u32string());
    for (std::size_t row = 0; row < kChatRowsShown; ++row)
        render::encodeGlyphLine(words.data(), static_cast<uint32_t>(row), chat.rows[row]);
    std::u32string entry = chat.entryOpen ? U"> " + chat.entry : U"";
    render::encodeGlyphLine(words.data(), kChatEntryTextLine, entry);
}

}  // namespace ui
