#pragma once
// Player-facing descriptions of blocks and items, read from the "description" of every
// definition.json (also from definitions the resource loader refused) and kept ready to draw.
#include <cstddef>
#include <filesystem>
#include <map>
#include <string>

struct App;

namespace content {

inline constexpr std::size_t maxDescriptionLength = 320;  // code points

// Content id -> description, at most maxDescriptionLength code points.
using DescriptionTable = std::map<std::string, std::u32string>;

// Every definition.json under contentDir; a later file replaces an earlier one with the same id. A
// file that cannot be read or parsed is skipped without a message. A failing walk throws.
DescriptionTable readDescriptions(const std::filesystem::path& contentDir);
// Rebuilds the App's table from its base directory's Content.
void loadDescriptions(App& app);

}  // namespace content
