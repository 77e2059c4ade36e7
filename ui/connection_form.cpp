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
    const bool inField = focus.field < kFormFields;
    if (key == kKeyTab) {
        // Leaving the last field leaves the form, so that nothing typed next lands in a field by
        // surprise; one more Tab comes back to the first.
        focus.field = inField ? focus.field + 1 : 0;
        focus.allSelected = false;
    } else if (key == kKeyA && (modifiers & kControlBit) != 0) {
        focus.allSelected = inField;
    } else if (key == kKeyBackspace) {
        if (!inField) return true;
        if (focus.allSelected) text.clear();
        else if (!text.empty()) text.pop_back();
        focus.allSelected = false;
    } else {
        return false;
    }
    return true;
}

}  // namespace ui
