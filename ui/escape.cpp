#include "ui/ui_state.h"

namespace ui {

namespace {

constexpr int32_t kReturnScreen = -1;  // the screen that opened this one

struct EscapeRule {
    int32_t first, last;  // screens the rule covers
    int32_t target;
    bool clearTextField;
};

// Screen 18 is handled apart: it first closes its sub-dialog.
const EscapeRule kEscapeRules[] = {
    {0, 0, 2, false},  // play -> pause
    {2, 2, 0, false},  // pause -> play
    {3, 4, kReturnScreen, false},
    {5, 5, 1, false},
    {17, 17, 1, false},
    {6, 6, 5, true},
    {12, 12, 5, true},
    {8, 11, 0, false},
    {13, 16, 0, false},
};

}  // namespace

EscapeStep escapeTarget(int32_t screen, int32_t returnScreen, bool subDialog) {
    if (screen == 18) return subDialog ? EscapeStep{18, false, true} : EscapeStep{0, false, false};
    for (const EscapeRule& rule : kEscapeRules) {
        if (screen < rule.first || screen > rule.last) continue;
        if (rule.target == kReturnScreen) return {returnScreen, rule.clearTextField, false};
        return {rule.target, rule.clearTextField, false};
    }
    return {screen, false, false};
}

}  // namespace ui
