#pragma once
// The connection form (screen 17): address, port and room code, typed through the key and
// character callbacks. A field takes only what can belong to it: the address digits and dots up
// to 15 ("255.255.255.255"), the port up to 5 digits, the room code up to 8 digits.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ui {

inline constexpr int32_t kConnectionScreen = 17;
inline constexpr uint32_t kFormFields = 3;  // 0 address, 1 port, 2 room code
inline constexpr std::array<std::size_t, kFormFields> kFormFieldLimits{15, 5, 8};
// Focus past the last field: Tab has left the form and typing goes nowhere.
inline constexpr uint32_t kNoFormField = kFormFields;

// Focus and the whole-text selection that Ctrl+A makes, which the next typed character replaces.
struct ConnectionFormFocus {
    uint32_t field = 0;
    bool allSelected = false;
};

bool formAccepts(uint32_t field, char32_t c);
// Types one character into the focused field's text; false when it was rejected (the text and the
// selection stay).
bool typeFormChar(ConnectionFormFocus& focus, std::string& text, char32_t c);
// Tab (258) moves to the next field, from the last one out of the form (kNoFormField) and from there
// back to the first; Ctrl+A (65 with the control bit) selects the whole text; Backspace (259)
// removes the last character or the selection. Without a focused field the text is never touched.
// False for other keys.
bool formKey(ConnectionFormFocus& focus, std::string& text, int key, int modifiers);

}  // namespace ui
