#pragma once
// The chat: the lines said in play (the player's own and, in a LAN session, the others'), the line
// being typed, and the view of them over play. Pure, so it is tested without a window.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct UiState;

namespace ui {

// Characters a player types into one line: with the longest shown name and the ": " it fits one
// overlay text line of 60 glyphs.
inline constexpr std::size_t kMaxChatChars = 48;
inline constexpr std::size_t kMaxChatNameChars = 10;
// Lines kept; the oldest goes when one more arrives.
inline constexpr std::size_t kMaxChatLines = 100;
// Overlay text lines 0..9 show the view, line 10 the line being typed.
inline constexpr std::size_t kChatRowsShown = 10;
inline constexpr uint32_t kChatEntryTextLine = 10;
// Without the entry open, the newest lines stay in sight this long after the last one came.
inline constexpr std::size_t kChatIdleRows = 5;
inline constexpr double kChatShowSeconds = 10.0;

// "<name>: <text>", the name cut to kMaxChatNameChars and the text to kMaxChatChars.
std::u32string chatLine(const std::u32string& name, const std::u32string& text);

// Appends the line and drops the oldest beyond kMaxChatLines.
void addChatLine(std::vector<std::u32string>& lines, std::u32string line);


// A line joins the chat lines at `now` (GLFW seconds) and shows for a while; a view scrolled back
// stays on the lines it shows.
void showChatLine(UiState& ui, std::u32string line, double now);

// A typed character joins the entry when it is printable and the entry has room; false otherwise.
bool typeChatChar(std::u32string& entry, char32_t c);

// The entry with the spaces at both ends cut; empty when there is nothing to say.
std::u32string trimmedChatEntry(const std::u32string& entry);

// A text from the network: decoded, each control character shown as a space, cut to kMaxChatChars.
std::u32string receivedChatText(const std::string& utf8);

// The rows of the view, oldest first: at most `rows` lines that end `scrolledBack` lines before the
// newest (0 = the newest at the bottom).
std::vector<std::u32string> chatViewRows(const std::vector<std::u32string>& lines, int32_t scrolledBack,
                                         std::size_t rows);

// What the overlay shows of the chat this frame.
struct ChatOverlay {
    std::vector<std::u32string> rows;  // at most kChatRowsShown
    bool entryOpen = false;
    std::u32string entry;
};

// The view rows into overlay text lines 0..9, the newest in line 9, and the entry ("> " and the text) into line 10; lines
// left over are emptied. `words` is the whole overlay record.
void writeChatOverlay(std::span<uint32_t> words, ChatOverlay chat);

}  // namespace ui
