#include "content/resource_ids.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "content/definition.h"
#include "content/json.h"
#include "content/loading_frame.h"
#include "save/file_save.h"
#include "world/block_registry.h"

namespace fs = std::filesystem;

namespace content {

namespace {

constexpr int32_t firstCustomId = 13;
constexpr int32_t idLimit = 256;
const std::string idsUsedUp = "The current save format permits 243 custom resources";

std::set<std::string>& lastUnnumbered() {
    static std::set<std::string> names;
    return names;
}

[[noreturn]] void invalidIdsFile() {
    throw std::runtime_error("Invalid content_ids.txt; restore its backup");
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A token reader over the file's text, read the way a text stream reads it.
struct IdsReader {
    const std::string& text;
    std::size_t position = 0;

    bool atEnd() const { return position >= text.size(); }
    void skipSpace() {
        while (!atEnd() && isSpace(text[position])) ++position;
    }

    // A quoted string with backslash escapes, or one blank-delimited word.
    bool readName(std::string& out) {
        skipSpace();
        if (atEnd()) return false;
        if (text[position] != '"') {
            while (!atEnd() && !isSpace(text[position])) out += text[position++];
            return true;
        }
        for (++position; !atEnd(); ++position) {
            char c = text[position];
            if (c == '"') {
                ++position;
                return true;
            }
            if (c == '\\' && position + 1 < text.size()) c = text[++position];
            out += c;
        }
        return false;
    }

    bool readNumber(int32_t& out) {
        skipSpace();
        std::size_t p = position;
        const bool negative = p < text.size() && text[p] == '-';
        if (p < text.size() && (text[p] == '-' || text[p] == '+')) ++p;
        const std::size_t digits = p;
        int64_t value = 0;
        for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
            value = value * 10 + (text[p] - '0');
            if (value > 2147483648LL) return false;
        }
        if (p == digits) return false;
        value = negative ? -value : value;
        if (value > 2147483647LL) return false;
        out = static_cast<int32_t>(value);
        position = p;
        return true;
    }
};

void addEntry(ResourceIds& ids, const std::string& contentId, int32_t id) {
    if (id < firstCustomId || id >= idLimit || ids.used.count(id) != 0) invalidIdsFile();
    ids.used.insert(id);
    ids.ids[contentId] = id;
    ids.next = std::max(ids.next, id + 1);
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

voxel::BlockDef placeholder(const std::string& contentId) {
    voxel::BlockDef def;
    def.name = "MISSING: " + contentId;
    def.id = contentId;
    def.solid = true;
    def.opaque = false;
    def.isBlock = true;
    def.available = false;
    return def;
}

void installDefinition(ResourceIds& ids, voxel::BlockDef def) {
    const int32_t id = assignResourceId(ids, def.id);
    const std::string contentId = def.id;
    voxel::registerBlock(static_cast<uint32_t>(id), std::move(def));
    std::cout << "Content loaded: " << contentId << " -> " << id << '\n';
}

// The first available entry from id 1 whose content id is name, or, with builtinNames, a built-in
// whose "core:" name is name. 0 when none.
uint8_t findResource(const std::string& name, bool builtinNames) {
    const std::vector<voxel::BlockDef>& registry = voxel::blockRegistry();
    for (std::size_t id = 1; id < registry.size(); ++id) {
        const voxel::BlockDef& def = registry[id];
        if (!def.available) continue;
        // Built-ins have no content id: an empty name must not find them.
        if (!def.id.empty() && def.id == name) return static_cast<uint8_t>(id);
        if (builtinNames && id < voxel::builtinBlockCount && "core:" + def.name == name) {
            return static_cast<uint8_t>(id);
        }
    }
    return 0;
}

uint8_t requireResource(const std::string& name, bool builtinNames, const std::string& message) {
    const uint8_t id = findResource(name, builtinNames);
    if (id != 0) return id;
    if (lastUnnumbered().count(name) != 0) {
        throw std::runtime_error(message + name + " (it got no numeric id: " + idsUsedUp + ")");
    }
    throw std::runtime_error(message + name);
}

}  // namespace

ResourceIds parseContentIds(const std::string& text) {
    ResourceIds ids;
    IdsReader reader{text};
    for (;;) {
        const std::size_t entryStart = reader.position;
        std::string contentId;
        int32_t id = 0;
        if (!reader.readName(contentId) || !reader.readNumber(id)) {
            // A cut-off entry would be dropped by the next rewrite, renumbering saved worlds.
            reader.position = entryStart;
            reader.skipSpace();
            if (!reader.atEnd()) invalidIdsFile();
            return ids;
        }
        addEntry(ids, contentId, id);
    }
}

ResourceIds readContentIds(const fs::path& idsFile) {
    if (!fs::exists(idsFile)) return {};
    std::ifstream in(idsFile, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseContentIds(text);
}

std::string formatContentIds(const ResourceIds& ids) {
    std::string out;
    for (const auto& [contentId, id] : ids.ids) out += quoted(contentId) + ' ' + std::to_string(id) + '\n';
    return out;
}

void installPlaceholders(const ResourceIds& ids) {
    for (const auto& [contentId, id] : ids.ids)
        voxel::registerBlock(static_cast<uint32_t>(id), placeholder(contentId));
}

int32_t assignResourceId(ResourceIds& ids, const std::string& contentId) {
    const auto known = ids.ids.find(contentId);
    if (known != ids.ids.end()) return known->second;
    if (ids.next >= idLimit) {
        ids.unnumbered.insert(contentId);
        throw std::runtime_error(idsUsedUp + ": no numeric id left for " + contentId);
    }
    const int32_t id = ids.next++;
    ids.ids[contentId] = id;
    ids.changed = true;
    return id;
}

void saveContentIds(const ResourceIds& ids, const fs::path& idsFile) {
    if (idsFile.has_parent_path()) fs::create_directories(idsFile.parent_path());
    if (fs::exists(idsFile)) {
        fs::copy_file(idsFile, fs::path(idsFile.native() + ".bak"), fs::copy_options::overwrite_existing);
    }
    filesave::Output out(idsFile);
    if (!out) throw std::runtime_error("Cannot save persistent resource IDs");
    out << formatContentIds(ids);
    out.flush();
    if (!out) throw std::runtime_error("Cannot write persistent resource IDs");
    out.finish();
}

void loadResources(const fs::path& contentDir, const fs::path& idsFile) {
    lastUnnumbered().clear();
    ResourceIds ids = readContentIds(idsFile);
    installPlaceholders(ids);
    const std::vector<fs::path> files = findFilesNamed(contentDir, "definition.json");
    ErrorFile errors(contentDir, "content_errors.txt", true);
    std::set<std::string> seenIds;
    forEachContentFile(files, errors, [&](const fs::path& file) {
        const Json json = loadJsonFile(file, ContentFile::Definition);
        installDefinition(ids, readDefinition(file, json, seenIds));
    });
    lastUnnumbered() = ids.unnumbered;
    if (ids.changed) saveContentIds(ids, idsFile);
}

uint8_t resourceId(const std::string& name) {
    return requireResource(name, true, "Unknown or unavailable resource: ");
}

uint8_t adventureResourceId(const std::string& name) {
    return requireResource(name, true, "Unknown adventure resource: ");
}

uint8_t lootItemId(const std::string& name) {
    return requireResource(name, true, "Unknown loot item: ");
}

uint8_t mobResourceId(const std::string& name) {
    return requireResource(name, false, "Unknown mob resource: ");
}

std::string qualifiedResourceName(uint8_t id) {
    const voxel::BlockDef& def = voxel::blockDef(id);
    return def.id.empty() ? "core:" + def.name : def.id;
}

}  // namespace content
