#pragma once
// The versioned text records among the per-world files: a tag line naming the format and its
// version, one line per row of fields separated by single spaces, and a closing "end" line, each
// line ended by "\n". The closing line lets a reader tell a whole file from one cut short.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace filesave {

using TextRow = std::vector<std::string>;

std::string formatTextRecord(std::string_view tag, const std::vector<TextRow>& rows);
// The rows of a record with this tag; nothing when the tag line differs, the text does not end with
// the "end" line, a line holds anything but `fields` non-empty fields, or there are more than
// `maxRows` rows (refused before they are kept).
std::optional<std::vector<std::vector<std::string_view>>> parseTextRecord(std::string_view text,
                                                                          std::string_view tag,
                                                                          std::size_t fields,
                                                                          std::size_t maxRows);

}  // namespace filesave
