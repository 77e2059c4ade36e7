#include "net/printable_text.h"

#include <cstddef>
#include <cstdint>

namespace net {

bool isPrintable(char32_t c) {
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && c < 0xD800;
}

bool isPrintableText(const std::string& utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<uint8_t>(utf8[at]);
        // Four-byte sequences only hold characters past the printable ones.
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                                                 : 0;
        if (length == 0 || at + length > utf8.size()) return false;
        char32_t c = length == 1 ? lead : lead & (length == 2 ? 0x1F : 0x0F);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<uint8_t>(utf8[at + i]);
            if ((next & 0xC0) != 0x80) return false;
            c = c << 6 | (next & 0x3F);
        }
        if ((length == 3 && c < 0x800) || !isPrintable(c)) return false;
        at += length;
    }
    return true;
}

}  // namespace net
