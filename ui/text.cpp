#include "ui/ui_state.h"

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

void appendEncoded(std::string& out, char32_t c) {
    auto put = [&out](unsigned value) { out.push_back(static_cast<char>(value)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
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
    for (char32_t c : text) appendEncoded(out, (c > kLastCodePoint || isSurrogate(c)) ? kReplacement : c);
    return out;
}

}  // namespace ui
