#pragma once
// Persistent numeric ids of content resources (Saves/content_ids.txt) and the name lookups every
// loader uses to turn a resource name into its one-byte id.
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace content {

// The ids known during one load: read from the file and extended as new content appears.
struct ResourceIds {
    std::map<std::string, int32_t> ids;  // content id -> numeric id
    std::set<int32_t> used;              // numeric ids read from the file
    int32_t next = 13;
    bool changed = false;
    std::set<std::string> unnumbered;  // content ids refused because ids 13..255 were used up
};

// Parses the text of content_ids.txt. Throws "Invalid content_ids.txt; restore its backup" for an
// id outside 13..255, a repeated id, or anything but white space left unread.
ResourceIds parseContentIds(const std::string& text);
// The file when it exists, else no ids.
ResourceIds readContentIds(const std::filesystem::path& idsFile);
// One line per entry in content id order: the quoted content id, a blank, the number.
std::string formatContentIds(const ResourceIds& ids);
// A "MISSING: <content id>" entry at every known id, so vanished content keeps its cells.
void installPlaceholders(const ResourceIds& ids);
// The known id, or the next free one (marking the ids changed). When ids 13..255 are used up the
// content id is kept in `unnumbered` and refused with "The current save format permits 243 custom
// resources: no numeric id left for <content id>".
int32_t assignResourceId(ResourceIds& ids, const std::string& contentId);
// Backs up the old file to ".bak", writes ".tmp" and commits it over the file.
void saveContentIds(const ResourceIds& ids, const std::filesystem::path& idsFile);

// Every definition.json under contentDir into the block registry at its persistent id.
void loadResources(const std::filesystem::path& contentDir, const std::filesystem::path& idsFile);

// Available resources by name: a content id, or "core:<name>" for the built-ins. A lookup failure
// for a resource that got no numeric id says so after the name, so that a mob, NPC or recipe
// refused for it shows why in its loader's error file (the last loadResources keeps those names).
uint8_t resourceId(const std::string& name);           // "Unknown or unavailable resource: "
uint8_t adventureResourceId(const std::string& name);  // "Unknown adventure resource: "
uint8_t lootItemId(const std::string& name);           // "Unknown loot item: "
// Content ids only, no "core:" form for the built-ins: "Unknown mob resource: ".
uint8_t mobResourceId(const std::string& name);
// The content id of an entry, or "core:" + its name for a built-in.
std::string qualifiedResourceName(uint8_t id);

}  // namespace content
