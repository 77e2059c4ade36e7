#pragma once
// Messages about faulty files as the interface shows them: one overlay line each, with the file's
// name kept in view, and the world list's notice when every saved world was left out.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace ui {

// The most characters one overlay text line holds.
inline constexpr std::size_t kLineGlyphs = 60;

// The text as one line of at most `glyphs` characters. A text that fits is returned as it is; in a
// longer one the path it names (from the word holding its first '/' to the end of its file name)
// loses characters from the left behind "...", so the message and the file's name both stay.
// Without a path, or with no room left for one, the text is cut at its end.
std::u32string fitMessageLine(const std::u32string& text, std::size_t glyphs = kLineGlyphs);

// The world list's notice lines when no world could be listed: how many folders were left out, the
// first one's reason and where the whole list is. All empty when nothing was left out.
inline constexpr std::size_t kWorldNoticeRows = 3;
std::array<std::u32string, kWorldNoticeRows> worldListNotice(const std::vector<std::string>& skipped);

}  // namespace ui
