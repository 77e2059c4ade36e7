#include "ui/ui_state.h"

#include "content/text.h"

namespace ui {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool isTwoByteLead(unsigned char byte) {
    return byte >= 0xC0 && byte <= 0xDF;
}
bool isThreeByteLead(unsigned char byte) {
    return byte >= 0xE0 && byte <= 0xEF;
}
bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

}  // namespace

std::u32string utf8ToUtf32(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (isTwoByteLead(lead) && i + 1 < size) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            out.push_back(static_cast<char32_t>(((lead & 0x1F) << 6) | (b1 & 0x3F)));
            i += 2;
        } else if (isThreeByteLead(lead) && i + 2 < size) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            out.push_back(static_cast<char32_t>(((lead & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F)));
            i += 3;
        } else {
            out.push_back(static_cast<char32_t>(lead));
            i += 1;
        }
    }
    return out;
}

// Surrogates and values past the last code point have no UTF-8 form; they become U+FFFD.
std::string utf32ToUtf8(const std::u32string& text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) content::appendUtf8(out, (c > kLastCodePoint || isSurrogate(c)) ? kReplacement : c);
    return out;
}

}  // namespace ui
