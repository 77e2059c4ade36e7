#include "ui/new_world_form.h"

#include <limits>

namespace ui {

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

void typeIntoForm(NewWorldForm& form, char32_t c) {
    // A world file holds names of the first 65,536 code points only; a name it would refuse must
    // not get as far as a world folder.
    if (c < 0x20 || c == 0x7F || c > 0xFFFF) return;
    if (form.focusedField == 0u) {
        if (form.name.size() < kWorldNameLimit) form.name.push_back(c);
        return;
    }
    if (!isDigit(c) || form.seed.size() >= kSeedDigits) {
        form.seedError = true;
        return;
    }
    form.seed.push_back(c);
    form.seedError = false;
}

void eraseFromForm(NewWorldForm& form) {
    std::u32string& field = form.focusedField == 1u ? form.seed : form.name;
    if (!field.empty()) field.pop_back();
    if (form.focusedField == 1u) form.seedError = false;
}

void switchFormField(NewWorldForm& form) { form.focusedField = form.focusedField == 1u ? 0u : 1u; }

std::optional<uint32_t> formSeed(const std::u32string& text, uint32_t randomSeed) {
    if (text.empty()) return randomSeed;
    if (text.size() > kSeedDigits) return std::nullopt;
    uint64_t value = 0;
    for (const char32_t c : text) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10u + static_cast<uint64_t>(c - U'0');
    }
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::u32string formWorldName(const std::u32string& typed, const std::u32string& fallback) {
    const std::size_t first = typed.find_first_not_of(U' ');
    if (first == std::u32string::npos) return fallback;
    const std::size_t last = typed.find_last_not_of(U' ');
    return typed.substr(first, last - first + 1);
}

}  // namespace ui
