#include "content/json.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include "content/text.h"
#include "platform/file_read.h"

namespace content {

namespace {

constexpr uint32_t maxDepth = 64;

[[noreturn]] void fail(const char* message) {
    throw std::runtime_error(message);
}

bool isJsonSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

const std::string& source(const JsonParser& parser) {
    return *parser.text;
}

bool atEnd(const JsonParser& parser) {
    return parser.position >= source(parser).size();
}

char peek(const JsonParser& parser) {
    return source(parser)[parser.position];
}

// The next byte, failing with "Unexpected end of JSON" when the text is used up.
char takeByte(JsonParser& parser) {
    if (atEnd(parser)) fail("Unexpected end of JSON");
    return source(parser)[parser.position++];
}

uint32_t hexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
    fail("Invalid Unicode escape");
}

uint32_t readHex4(JsonParser& parser) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 4) | hexValue(takeByte(parser));
    return value;
}

uint32_t readUnicodeEscape(JsonParser& parser) {
    const uint32_t first = readHex4(parser);
    if (first >= 0xDC00 && first <= 0xDFFF) fail("Unpaired surrogate");
    if (first < 0xD800 || first > 0xDBFF) return first;
    const std::string& text = source(parser);
    const uint64_t at = parser.position;
    if (at + 1 >= text.size() || text[at] != '\\' || text[at + 1] != 'u') fail("Missing surrogate pair");
    parser.position += 2;
    const uint32_t low = readHex4(parser);
    if (low < 0xDC00 || low > 0xDFFF) fail("Invalid surrogate pair");
    return 0x10000 + (first - 0xD800) * 1024 + (low - 0xDC00);
}

void readEscape(JsonParser& parser, std::string& out) {
    const char c = takeByte(parser);
    switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u':
            appendUtf8(out, readUnicodeEscape(parser));
            break;
        default:
            fail("Invalid JSON escape");
    }
}

void parseWord(JsonParser& parser, const std::string& word) {
    if (source(parser).compare(parser.position, word.size(), word) != 0) fail("Invalid JSON token");
    parser.position += word.size();
}

// Steps over digits; returns how many there were.
uint64_t skipDigits(JsonParser& parser) {
    const uint64_t start = parser.position;
    while (!atEnd(parser) && isDigit(peek(parser))) ++parser.position;
    return parser.position - start;
}

void parseNumber(JsonParser& parser, Json& out) {
    const uint64_t start = parser.position;
    if (peek(parser) == '-') ++parser.position;
    if (atEnd(parser) || !isDigit(peek(parser))) fail("Expected JSON value");
    if (peek(parser) == '0') {
        ++parser.position;
    } else {
        skipDigits(parser);
    }
    if (!atEnd(parser) && peek(parser) == '.') {
        ++parser.position;
        if (skipDigits(parser) == 0) fail("Invalid fraction");
    }
    if (!atEnd(parser) && (peek(parser) == 'e' || peek(parser) == 'E')) {
        ++parser.position;
        if (!atEnd(parser) && (peek(parser) == '+' || peek(parser) == '-')) ++parser.position;
        if (skipDigits(parser) == 0) fail("Invalid exponent");
    }
    const double value = parseDouble(source(parser).substr(start, parser.position - start));
    if (!std::isfinite(value)) fail("Non-finite JSON number");
    out.tag = JsonNumber;
    out.number = value;
}

void parseArray(JsonParser& parser, Json& out) {
    ++parser.position;
    out.tag = JsonArray;
    parser.skipWhitespace();
    if (!atEnd(parser) && peek(parser) == ']') {
        ++parser.position;
        return;
    }
    for (;;) {
        Json element;
        parseJsonValue(parser, element);
        out.items.push_back(std::move(element));
        parser.skipWhitespace();
        const char c = takeByte(parser);
        if (c == ']') return;
        if (c != ',') fail("Expected comma in array");
    }
}

void parseObject(JsonParser& parser, Json& out) {
    ++parser.position;
    out.tag = JsonObject;
    parser.skipWhitespace();
    if (!atEnd(parser) && peek(parser) == '}') {
        ++parser.position;
        return;
    }
    for (;;) {
        parser.skipWhitespace();
        std::string key;
        parseJsonString(parser, key);
        parser.skipWhitespace();
        if (takeByte(parser) != ':') fail("Expected colon");
        if (out.members.count(key) != 0) fail("Duplicate JSON key");
        Json value;
        parseJsonValue(parser, value);
        out.members.emplace(std::move(key), std::move(value));
        parser.skipWhitespace();
        const char c = takeByte(parser);
        if (c == '}') return;
        if (c != ',') fail("Expected comma in object");
    }
}

}  // namespace

Json::Json(Json&& other) noexcept
    : tag(other.tag),
      number(other.number),
      boolean(other.boolean),
      text(std::move(other.text)),
      items(std::move(other.items)),
      members(std::move(other.members)) {
    other.text.clear();
    other.items.clear();
    other.members.clear();
}

Json& Json::operator=(Json&& other) noexcept {
    if (this == &other) return *this;
    tag = other.tag;
    number = other.number;
    boolean = other.boolean;
    text = std::move(other.text);
    items = std::move(other.items);
    members = std::move(other.members);
    other.text.clear();
    other.items.clear();
    other.members.clear();
    return *this;
}

const Json& Json::find(const Json& value, const std::string& key) {
    static const Json null;
    const auto it = value.members.find(key);
    return it == value.members.end() ? null : it->second;
}

const Json& Json::at(const Json& value, uint64_t i) {
    if (i >= value.items.size()) throw std::runtime_error("Missing array value");
    return value.items[i];
}

double Json::numberOr(const Json& value, double fallback) {
    return value.tag == JsonNumber ? value.number : fallback;
}

JsonParser::JsonParser(const std::string& source) : text(&source) {
    if (source.size() >= 3 && source.compare(0, 3, "\xEF\xBB\xBF") == 0) position = 3;
}

void JsonParser::skipWhitespace() {
    while (position < text->size() && isJsonSpace((*text)[position])) ++position;
}

Json& parseJson(JsonParser& parser, Json& out) {
    parseJsonValue(parser, out);
    parser.skipWhitespace();
    if (!atEnd(parser)) fail("Trailing JSON data");
    return out;
}

Json& parseJsonValue(JsonParser& parser, Json& out) {
    parser.skipWhitespace();
    if (++parser.depth > maxDepth) fail("JSON is too deeply nested");
    if (++parser.values > parser.valueLimit)
        throw std::runtime_error("file too large (more than " + std::to_string(parser.valueLimit) +
                                 " values)");
    out = Json();
    if (atEnd(parser)) fail("Expected JSON value");
    switch (peek(parser)) {
        case '"':
            out.tag = JsonString;
            parseJsonString(parser, out.text);
            break;
        case '[':
            parseArray(parser, out);
            break;
        case '{':
            parseObject(parser, out);
            break;
        case 't':
            parseWord(parser, "true");
            out.tag = JsonBool;
            out.boolean = true;
            break;
        case 'f':
            parseWord(parser, "false");
            out.tag = JsonBool;
            break;
        case 'n':
            parseWord(parser, "null");
            break;
        default:
            parseNumber(parser, out);
    }
    --parser.depth;
    return out;
}

std::string& parseJsonString(JsonParser& parser, std::string& out) {
    if (takeByte(parser) != '"') fail("Expected JSON string");
    out.clear();
    for (;;) {
        const char c = takeByte(parser);
        if (c == '"') return out;
        if (static_cast<unsigned char>(c) < 0x20) fail("Control character in JSON string");
        if (c == '\\') {
            readEscape(parser, out);
        } else {
            out += c;
        }
    }
}

Json parseJsonText(const std::string& source, uint64_t valueLimit) {
    JsonParser parser(source);
    parser.valueLimit = valueLimit;
    Json out;
    parseJson(parser, out);
    return out;
}

Json loadJsonFile(const std::filesystem::path& path, ContentFile kind) {
    requireFileSize(path, fileSizeLimit(kind));
    const std::optional<std::string> text = platform::readFileBytes(path);
    if (!text) throw std::runtime_error("Cannot open " + path.string());
    return parseJsonText(*text, jsonValueLimit(kind));
}

bool getBool(const Json& value, bool fallback) {
    return value.tag == JsonBool ? value.boolean : fallback;
}

std::string jsonStringOr(const Json& value, const std::string& fallback) {
    return value.tag == JsonString ? value.text : fallback;
}

}  // namespace content
