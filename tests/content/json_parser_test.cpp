#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>

#include "content/json.h"
#include "support/failure.h"
#include "support/temp_dir.h"

using content::Json;
using content::parseJsonText;

namespace {

std::string parseError(const std::string& text) {
    return testsupport::failureOf([&] { parseJsonText(text); });
}

std::string nested(int depth, const std::string& inner) {
    return std::string(depth, '[') + inner + std::string(depth, ']');
}

struct MalformedCase {
    std::string text;
    std::string message;
};

TEST(JsonParser, EveryMalformedInputHasItsMessage) {
    const MalformedCase cases[] = {
        {"", "Expected JSON value"},
        {" \n\t ", "Expected JSON value"},
        {"+1", "Expected JSON value"},
        {".5", "Expected JSON value"},
        {"-", "Expected JSON value"},
        {"-x", "Expected JSON value"},
        {"@", "Expected JSON value"},
        {"[1,]", "Expected JSON value"},
        {"[", "Expected JSON value"},
        {"[1", "Unexpected end of JSON"},
        {"[1 2]", "Expected comma in array"},
        {"[1}", "Expected comma in array"},
        {"{", "Unexpected end of JSON"},
        {"{\"a\":1,}", "Expected JSON string"},
        {"{a:1}", "Expected JSON string"},
        {"{\"a\" 1}", "Expected colon"},
        {"{\"a\"", "Unexpected end of JSON"},
        {"{\"a\":1", "Unexpected end of JSON"},
        {"{\"a\":1 \"b\":2}", "Expected comma in object"},
        {"{\"a\":1,\"a\":2}", "Duplicate JSON key"},
        {"{\"a\":1,\"a\":}", "Duplicate JSON key"},
        {"tru", "Invalid JSON token"},
        {"falsy", "Invalid JSON token"},
        {"nul", "Invalid JSON token"},
        {"nullx", "Trailing JSON data"},
        {"1.", "Invalid fraction"},
        {"1.e5", "Invalid fraction"},
        {"1e", "Invalid exponent"},
        {"1e+", "Invalid exponent"},
        {"1E-x", "Invalid exponent"},
        {"01", "Trailing JSON data"},
        {"1 2", "Trailing JSON data"},
        {"1e400", "stod argument out of range"},
        {"-1e400", "stod argument out of range"},
        {"\"abc", "Unexpected end of JSON"},
        {"\"a\\", "Unexpected end of JSON"},
        {"\"a\tb\"", "Control character in JSON string"},
        {"\"\x01\"", "Control character in JSON string"},
        {"\"\\x\"", "Invalid JSON escape"},
        {"\"\\u12G4\"", "Invalid Unicode escape"},
        {"\"\\u12", "Unexpected end of JSON"},
        {"\"\\uD83D\"", "Missing surrogate pair"},
        {"\"\\uD83Dx\"", "Missing surrogate pair"},
        {"\"\\uD83D\\n\"", "Missing surrogate pair"},
        {"\"\\uD83D\\u0041\"", "Invalid surrogate pair"},
        {"\"\\uD83D\\uD83D\"", "Invalid surrogate pair"},
        {"\"\\uDE00\"", "Unpaired surrogate"},
        {nested(65, ""), "JSON is too deeply nested"},
        {nested(64, "1"), "JSON is too deeply nested"},
        {"x\xEF\xBB\xBF", "Expected JSON value"},
        {"1\xEF\xBB\xBF", "Trailing JSON data"},
    };
    for (const MalformedCase& c : cases) EXPECT_EQ(parseError(c.text), c.message) << "input: " << c.text;
}

TEST(JsonParser, ByteOrderMarkIsSkippedAtTheStartOnly) {
    const Json value = parseJsonText("\xEF\xBB\xBF{\"a\":1}");
    EXPECT_EQ(value.tag, content::JsonObject);
    EXPECT_EQ(Json::find(value, "a").number, 1.0);
    EXPECT_EQ(parseJsonText("\"\xEF\xBB\xBF\"").text, "\xEF\xBB\xBF");
    EXPECT_EQ(parseError("\xEF\xBB"), "Expected JSON value");
}

TEST(JsonParser, NestingLimitCountsTheOutermostValue) {
    EXPECT_EQ(parseJsonText(nested(64, "")).tag, content::JsonArray);
    EXPECT_EQ(parseJsonText(nested(63, "1")).tag, content::JsonArray);
    // The depth falls back after each closed value, so long flat arrays of arrays are fine.
    std::string wide = "[";
    for (int i = 0; i < 200; ++i) wide += (i ? "," : "") + nested(63, "");
    EXPECT_EQ(parseJsonText(wide + "]").items.size(), 200u);
}

TEST(JsonParser, ScalarsAndContainers) {
    const Json value =
        parseJsonText("\v\f{ \"b\" : [true, false, null, -0, 12.5e-1, \"s\"], \"a\" : {} }\r\n");
    ASSERT_EQ(value.members.size(), 2u);
    EXPECT_EQ(value.members.begin()->first, "a");
    EXPECT_EQ(Json::find(value, "a").tag, content::JsonObject);
    const Json& b = Json::find(value, "b");
    ASSERT_EQ(b.items.size(), 6u);
    EXPECT_EQ(std::tie(b.items[0].boolean, b.items[1].tag, b.items[1].boolean, b.items[2].tag),
              std::tuple(true, content::JsonBool, false, content::JsonNull));
    EXPECT_EQ(std::tuple(b.items[3].number, std::signbit(b.items[3].number), b.items[4].number, b.items[5].text),
              std::tuple(0.0, true, 1.25, "s"));
}

TEST(JsonParser, NumbersAreCorrectlyRoundedIncludingSubnormals) {
    EXPECT_EQ(parseJsonText("0.1").number, 0.1);
    EXPECT_EQ(parseJsonText("1.7976931348623157e308").number, 1.7976931348623157e308);
    EXPECT_EQ(parseJsonText("4.9406564584124654e-324").number, 4.9406564584124654e-324);
    EXPECT_EQ(parseJsonText("2.2250738585072011e-308").number, 2.2250738585072009e-308);
    EXPECT_EQ(parseJsonText("1e-400").number, 0.0);
    EXPECT_EQ(parseJsonText("0e999999").number, 0.0);
}

TEST(JsonParser, StringEscapes) {
    EXPECT_EQ(parseJsonText(R"("\"\\\/\b\f\n\r\t")").text, "\"\\/\b\f\n\r\t");
    EXPECT_EQ(parseJsonText(R"("\u0416\u00e9A")").text,
              "\xD0\x96\xC3\xA9"
              "A");
    EXPECT_EQ(parseJsonText(R"("\uD83D\uDE00")").text, "\xF0\x9F\x98\x80");
    EXPECT_EQ(parseJsonText(R"("a\u0000b")").text, std::string("a\0b", 3));
    EXPECT_EQ(parseJsonText("\"\xFF\x80\"").text, "\xFF\x80");
}

TEST(JsonAccessors, FindAtAndDefaultsNeverConvertKinds) {
    const Json value = parseJsonText(R"({"n":"5","b":1,"s":true,"list":[7]})");
    EXPECT_EQ(Json::numberOr(Json::find(value, "n"), 3.0), 3.0);
    EXPECT_TRUE(content::getBool(Json::find(value, "b"), true));
    EXPECT_EQ(content::jsonStringOr(Json::find(value, "s"), "x"), "x");
    EXPECT_EQ(content::jsonStringOr(Json::find(value, "n"), "x"), "5");
    const Json& missing = Json::find(value, "none");
    EXPECT_EQ(missing.tag, content::JsonNull);
    EXPECT_EQ(&Json::find(Json::find(value, "b"), "x"), &missing);
    EXPECT_EQ(Json::at(Json::find(value, "list"), 0).number, 7.0);
    EXPECT_EQ(testsupport::failureOf([&] { Json::at(Json::find(value, "list"), 1); }), "Missing array value");
    EXPECT_THROW(Json::at(value, 0), std::runtime_error);
}

TEST(JsonValue, CopyIsDeepAndMoveEmptiesTheSource) {
    Json original = parseJsonText(R"({"a":[1,{"b":"t"}]})");
    Json copy = original;
    copy.members["a"].items[1].members["b"].text = "changed";
    EXPECT_EQ(Json::find(Json::at(Json::find(original, "a"), 1), "b").text, "t");
    Json moved = std::move(original);
    EXPECT_TRUE(original.members.empty());
    EXPECT_EQ(moved.tag, content::JsonObject);
    Json str = parseJsonText("\"text\"");
    Json target;
    target = std::move(str);
    EXPECT_EQ(target.text, "text");
    EXPECT_TRUE(str.text.empty());
}

TEST(JsonFile, LoadsFilesAndRefusesWhatIsNotARegularFile) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "a.json", "\xEF\xBB\xBF[1,2]");
    EXPECT_EQ(content::loadJsonFile(dir.path() / "a.json", content::ContentFile::Definition).items.size(), 2u);
    std::filesystem::create_directory(dir.path() / "folder.json");
    for (const std::filesystem::path& path : {dir.path() / "missing.json", dir.path() / "folder.json"}) {
        EXPECT_EQ(testsupport::failureOf([&] { content::loadJsonFile(path, content::ContentFile::Definition); }), "Cannot open " + path.string());
    }
    testsupport::writeFile(dir.path() / "bad.json", "[1,");
    EXPECT_THROW(content::loadJsonFile(dir.path() / "bad.json", content::ContentFile::Definition), std::runtime_error);
}

}  // namespace
