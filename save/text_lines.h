#pragma once
// Small readers shared by the save files' text formats.
#include <charconv>
#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace filesave {

// The whole token as a number; nothing when it is empty, has anything else in it or is out of range.
template <typename Number>
std::optional<Number> parseWhole(std::string_view token) {
    Number value{};
    const char* end = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(token.data(), end, value);
    if (token.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// The first `count` lines of `text`, each without its "\n" or "\r\n"; a final "\n" starts no line.
std::vector<std::string_view> splitLines(std::string_view text,
                                         std::size_t count = std::numeric_limits<std::size_t>::max());

}  // namespace filesave
