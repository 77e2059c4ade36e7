#include "save/text_lines.h"

#include <algorithm>

namespace filesave {

std::vector<std::string_view> splitLines(std::string_view text, std::size_t count) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (lines.size() < count && pos < text.size()) {
        const std::size_t stop = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, stop - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = stop + 1;
    }
    return lines;
}

}  // namespace filesave
