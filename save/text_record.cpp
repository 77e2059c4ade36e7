#include "save/text_record.h"

namespace filesave {

namespace {

constexpr std::string_view kEndLine = "end";

// The line's fields, or nothing unless it has exactly `fields` of them, none empty.
std::optional<std::vector<std::string_view>> splitFields(std::string_view line, std::size_t fields) {
    std::vector<std::string_view> out;
    out.reserve(fields);
    std::size_t pos = 0;
    while (out.size() < fields) {
        const std::size_t stop = std::min(line.find(' ', pos), line.size());
        if (stop == pos) return std::nullopt;
        out.push_back(line.substr(pos, stop - pos));
        pos = stop + 1;
        if (stop == line.size()) break;
    }
    if (out.size() != fields || pos <= line.size()) return std::nullopt;
    return out;
}

}  // namespace

std::string formatTextRecord(std::string_view tag, const std::vector<TextRow>& rows) {
    std::string text(tag);
    text += '\n';
    for (const TextRow& row : rows) {
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (k > 0) text += ' ';
            text += row[k];
        }
        text += '\n';
    }
    text += kEndLine;
    text += '\n';
    return text;
}

std::optional<std::vector<std::vector<std::string_view>>> parseTextRecord(std::string_view text,
                                                                          std::string_view tag,
                                                                          std::size_t fields,
                                                                          std::size_t maxRows) {
    const std::string closing = "\n" + std::string(kEndLine) + "\n";
    if (text.size() < tag.size() + closing.size() || text.substr(0, tag.size()) != tag ||
        text.substr(text.size() - closing.size()) != closing)
        return std::nullopt;
    // Between the tag and the closing line: nothing, or rows each ended by "\n".
    std::string_view body = text.substr(tag.size(), text.size() - closing.size() - tag.size() + 1);
    if (body.empty() || body.front() != '\n') return std::nullopt;
    body.remove_prefix(1);
    std::vector<std::vector<std::string_view>> rows;
    while (!body.empty()) {
        if (rows.size() == maxRows) return std::nullopt;
        const std::size_t stop = body.find('\n');
        auto row = splitFields(body.substr(0, stop), fields);
        if (!row) return std::nullopt;
        rows.push_back(std::move(*row));
        body.remove_prefix(stop + 1);
    }
    return rows;
}

}  // namespace filesave
