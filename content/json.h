#pragma once
// The game's own strict JSON: one value type, a recursive-descent parser over a byte cursor, a file
// loader, the member accessors the content loaders read with, and a compact writer.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "content/file_limits.h"

namespace content {

enum JsonTag : uint32_t {
    JsonNull = 0,
    JsonNumber = 1,
    JsonBool = 2,
    JsonString = 3,
    JsonArray = 4,
    JsonObject = 5,
};

// One value; every field exists, `tag` says which one is meaningful.
struct Json {
    uint32_t tag = JsonNull;
    double number = 0.0;
    bool boolean = false;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    Json() = default;
    Json(const Json& other) = default;
    // Leaves the source with empty text, items and members.
    Json(Json&& other) noexcept;
    Json& operator=(const Json& other) = default;
    Json& operator=(Json&& other) noexcept;

    // The member named key, or the one shared null when there is none or value is not an object.
    static const Json& find(const Json& value, const std::string& key);
    // Element i; throws "Missing array value" beyond the last element or for a non-array.
    static const Json& at(const Json& value, uint64_t i);
    static double numberOr(const Json& value, double fallback);
};

// The cursor of one parse. A UTF-8 byte-order mark is skipped at the start only.
struct JsonParser {
    const std::string* text;  // not owned; must outlive the parse
    uint64_t position = 0;
    uint32_t depth = 0;
    // Values begun so far and the most the parse may begin: one more fails with
    // "file too large (more than <limit> values)".
    uint64_t values = 0;
    uint64_t valueLimit = UINT64_MAX;

    explicit JsonParser(const std::string& source);
    void skipWhitespace();
};

// One value followed only by white space, else "Trailing JSON data". Returns out.
Json& parseJson(JsonParser& parser, Json& out);
Json& parseJsonValue(JsonParser& parser, Json& out);
std::string& parseJsonString(JsonParser& parser, std::string& out);
// Convenience for a whole text already in memory (byte-order mark skipped).
Json parseJsonText(const std::string& source, uint64_t valueLimit = UINT64_MAX);
// Reads the whole file and parses it; "Cannot open <path>" for anything that is not a readable
// regular file, and the size refusal of requireFileSize, before the file is opened, when it is
// larger than its kind may be. The parse holds at most jsonValueLimit(kind) values.
Json loadJsonFile(const std::filesystem::path& path, ContentFile kind);

// Accessors never convert between kinds: a value of another kind yields the fallback.
bool getBool(const Json& value, bool fallback);
std::string jsonStringOr(const Json& value, const std::string& fallback);

// Compact JSON, keys in map order, numbers at 17 significant digits.
std::string writeJson(const Json& value);
// The quoted form of one string; throws "Control character in string" for bytes below 0x20 other
// than line feed, carriage return and tab.
std::string writeJsonString(const std::string& text);

}  // namespace content
