#include "ui/connection_form.h"

namespace ui {

namespace {

constexpr int kKeyA = 65, kKeyTab = 258, kKeyBackspace = 259, kControlBit = 0x0002;

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

bool formAccepts(uint32_t field, char32_t c) {
    if (field == 0) return isDigit(c) || c == U'.';
    return field < kFormFields && isDigit(c);
}

bool typeFormChar(ConnectionFormFocus& focus, std::string& text, char32_t c) {
    if (!formAccepts(focus.field, c)) return false;
    const std::size_t kept = focus.allSelected ? 0 : text.size();
    if (kept >= kFormFieldLimits[focus.field]) return false;
    text.resize(kept);
    text.push_back(static_cast<char>(c));
    focus.allSelected = false;
    return true;
}

bool formKey(ConnectionFormFocus& focus, std::string& text, int key, int modifiers) {
    if (key == kKeyTab) {
        focus.field = (focus.field + 1) % kFormFields;
        focus.allSelected = false;
    } else if (key == kKeyA && (modifiers & kControlBit) != 0) {
        focus.allSelected = true;
    } else if (key == kKeyBackspace) {
        if (focus.allSelected) text.clear();
        else if (!text.empty()) text.pop_back();
        focus.allSelected = false;
    } else {
        return false;
    }
    return true;
}

}  // namespace ui
