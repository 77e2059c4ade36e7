#include "ui/message_lines.h"

#include "ui/ui_state.h"

namespace ui {

std::u32string fitMessageLine(const std::u32string& text, std::size_t glyphs) {
    if (text.size() <= glyphs) return text;
    const std::size_t slash = text.find(U'/');
    if (slash == std::u32string::npos) return text.substr(0, glyphs);
    const std::size_t space = text.rfind(U' ', slash);
    const std::size_t start = space == std::u32string::npos ? 0 : space + 1;
    // The file name runs to the end, or to the ": " after which a message gives the cause.
    std::size_t end = text.find(U": ", text.rfind(U'/'));
    if (end == std::u32string::npos) end = text.size();
    static const std::u32string kEllipsis = U"...";
    const std::size_t fixed = start + (text.size() - end) + kEllipsis.size();
    if (fixed >= glyphs) return text.substr(0, glyphs);
    const std::size_t kept = glyphs - fixed;
    return text.substr(0, start) + kEllipsis + text.substr(end - kept, kept) + text.substr(end);
}

std::array<std::u32string, kWorldNoticeRows> worldListNotice(const std::vector<std::string>& skipped) {
    if (skipped.empty()) return {};
    return {U"ОТЛОЖЕНО МИРОВ: " + utf8ToUtf32(std::to_string(skipped.size())) + U", ИХ ФАЙЛЫ НЕ ЧИТАЮТСЯ",
            fitMessageLine(utf8ToUtf32(skipped.front())), U"ВСЕ ПРИЧИНЫ: SAVES/WORLD_LIST_ERRORS.TXT"};
}

}  // namespace ui
