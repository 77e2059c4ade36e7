#include "content/loading_frame.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "content/json.h"
#include "support/failure.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using content::Json;

namespace {

using testsupport::failureOf;

Json object(const std::string& text) {
    return content::parseJsonText(text);
}

Json num(double x) {
    Json j;
    j.tag = content::JsonNumber;
    j.number = x;
    return j;
}

TEST(ContentWalk, SortedRecursiveAndExactNames) {
    testsupport::TempDir dir;
    const fs::path content = dir.path() / "Content";
    for (const char* file :
         {"b/definition.json", "a/z/definition.json", "a/definition.json", "definition.json",
          "a/Definition.json", "c/definition.json.bak", "x.recipe.json", "a/y.recipe.json", "recipe.json"}) {
        testsupport::writeFile(content / file, "{}");
    }
    fs::create_directories(content / "d" / "definition.json");
    const std::vector<fs::path> expected = {content / "a/definition.json", content / "a/z/definition.json",
                                            content / "b/definition.json", content / "definition.json"};
    EXPECT_EQ(content::findFilesNamed(content, "definition.json"), expected);
    const std::vector<fs::path> recipes = {content / "a/y.recipe.json", content / "x.recipe.json"};
    EXPECT_EQ(content::findFilesEndingWith(content, ".recipe.json"), recipes);
    EXPECT_TRUE(content::findFilesNamed(dir.path() / "missing", "definition.json").empty());
}

TEST(ContentErrors, EmptiedAtEveryLoadAndOneLinePerFaultyFile) {
    testsupport::TempDir dir;
    const fs::path content = dir.path() / "Content";
    testsupport::writeFile(content / "a.thing.json", "{\"ok\":1}");
    testsupport::writeFile(content / "b.thing.json", "{\"ok\":1");
    testsupport::writeFile(content / "c.thing.json", "{\"ok\":\"no\"}");
    testsupport::writeFile(content / "d.thing.json", "{\"ok\":2}");
    testsupport::writeFile(content / "thing_errors.txt", "stale line\n");
    std::vector<double> read;
    {
        content::ErrorFile errors(content, "thing_errors.txt", false);
        EXPECT_EQ(testsupport::readFile(content / "thing_errors.txt"), "");
        content::forEachContentFile(content::findFilesEndingWith(content, ".thing.json"), errors,
                                    [&](const fs::path& file) {
                                        const Json json = content::loadJsonFile(file, content::ContentFile::Definition);
                                        const Json& ok = Json::find(json, "ok");
                                        if (ok.tag != content::JsonNumber)
                                            throw std::runtime_error("ok must be a number");
                                        read.push_back(ok.number);
                                    });
    }
    EXPECT_EQ(read, (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(testsupport::readFile(content / "thing_errors.txt"),
              (content / "b.thing.json").string() + ": Unexpected end of JSON\n" +
                  (content / "c.thing.json").string() + ": ok must be a number\n");
    {
        content::ErrorFile errors(content, "thing_errors.txt", false);
        errors.writeLine("rule line");
    }
    EXPECT_EQ(testsupport::readFile(content / "thing_errors.txt"), "rule line\n");
}

TEST(ContentErrors, EchoGoesToStderrEvenWithoutAnErrorFile) {
    testsupport::TempDir dir;
    testing::internal::CaptureStderr();
    {
        content::ErrorFile errors(dir.path() / "missing", "content_errors.txt", true);
        errors.report(dir.path() / "missing" / "definition.json", "bad");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              (dir.path() / "missing/definition.json").string() + ": bad\n");
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

TEST(ValueChecks, SettingsDefaultOnOtherKindsAndNameTheKey) {
    const Json o = object(R"({"s":"7","n":7,"f":7.5,"big":1e300,"neg":-1})");
    EXPECT_EQ(content::readCombatSetting(o, "s", 3, 0, 10, true), 3);
    EXPECT_EQ(content::readCombatSetting(o, "missing", 3, 0, 10, true), 3);
    EXPECT_EQ(content::readCombatSetting(o, "f", 3, 0, 10, false), 7.5);
    EXPECT_EQ(failureOf([&] { content::readCombatSetting(o, "f", 3, 0, 10, true); }),
              "Invalid combat setting: f");
    EXPECT_EQ(failureOf([&] { content::readCombatSetting(o, "n", 3, 0, 6, false); }),
              "Invalid combat setting: n");
    EXPECT_EQ(failureOf([&] { content::readMobValue(o, "neg", 3, 0, 6, false); }), "Invalid mob value: neg");
    EXPECT_EQ(content::readMobValue(o, "n", 3, 7, 7, true), 7);

    EXPECT_EQ(content::readBoundedNumber(o, "missing", 0.5, 0, 1), 0.5);
    EXPECT_EQ(content::readBoundedNumber(object(R"({"k":null})"), "k", 0.5, 0, 1), 0.5);
    EXPECT_EQ(failureOf([&] { content::readBoundedNumber(o, "s", 0.5, 0, 10); }), "Invalid s");
    EXPECT_EQ(failureOf([&] { content::readBoundedNumber(o, "big", 0.5, 0, 10); }), "Out of range: big");
    EXPECT_EQ(content::readBoundedNumber(o, "f", 0.5, 0, 10), 7.5);

    const std::vector<std::string> names = {"none", "plant", "leaves"};
    EXPECT_EQ(content::readNamedValue(object(R"({"w":"leaves"})"), "w", names, 0), 2u);
    EXPECT_EQ(content::readNamedValue(o, "w", names, 1), 1u);
    EXPECT_EQ(failureOf([&] { content::readNamedValue(o, "n", names, 0); }), "Invalid n");
    EXPECT_EQ(failureOf([&] { content::readNamedValue(object(R"({"w":"Leaves"})"), "w", names, 0); }),
              "Unknown w");
}

TEST(ValueChecks, WholeNumberChecks) {
    const Json text = object("\"5\"");
    EXPECT_EQ(content::readShieldSetting(text, 80, 1, 95), 80);
    EXPECT_EQ(content::readShieldSetting(num(95), 80, 1, 95), 95);
    for (double bad : {95.5, 0.0, 96.0, 1e300})
        EXPECT_EQ(failureOf([&] { content::readShieldSetting(num(bad), 80, 1, 95); }), "Invalid shield setting") << bad;
    EXPECT_EQ(content::requireCount(num(64)), 64);
    EXPECT_EQ(content::requireCount(num(1)), 1);
    for (const Json& bad : {num(64.5), num(0), num(65), text})
        EXPECT_EQ(failureOf([&] { content::requireCount(bad); }), "count must be an integer 1..64");
    EXPECT_EQ(content::readPotionNumber(text, -1, 5), -1);
    EXPECT_EQ(failureOf([&] { content::readPotionNumber(text, 0, 5); }), "Invalid potion number");
    EXPECT_EQ(failureOf([&] { content::readPotionNumber(num(2.5), 0, 5); }), "Invalid potion number");
    EXPECT_EQ(content::readPotionNumber(num(5), 0, 5), 5);

    const Json o = object(R"({"v":12,"w":1.5,"s":"x","huge":1e12})");
    EXPECT_EQ(adventure::readValue(o, "v", 3, 0, 20), 12);
    EXPECT_EQ(adventure::readValue(o, "s", 3, 0, 20), 3);
    EXPECT_EQ(failureOf([&] { adventure::readValue(o, "w", 3, 0, 20); }), "Invalid adventure value: w");
    EXPECT_EQ(failureOf([&] { adventure::readValue(o, "huge", 3, 0, std::numeric_limits<int32_t>::max()); }),
              "Invalid adventure value: huge");
}

TEST(ValueChecks, FloatChecks) {
    const auto flight = [](const Json& value) { return content::readFlightSetting(value, 9.0f, 4.0f, 16.0f); };
    EXPECT_EQ(std::tuple(flight(Json()), flight(object("\"12\"")), flight(num(16.0)), flight(num(4.5))),
              std::tuple(9.0f, 9.0f, 16.0f, 4.5f));
    // Bounds compare as doubles: a value just above the bound fails even if it rounds onto it as f32.
    for (double bad : {16.0000000001, 3.9})
        EXPECT_EQ(failureOf([&] { flight(num(bad)); }), "Invalid flight setting") << bad;

    const auto scale = [](const Json& value) { return content::checkRange(value, 0.5f, 0.0f, 1.0f, "scale"); };
    EXPECT_EQ(std::tuple(scale(Json()), scale(num(1.00000001))), std::tuple(0.5f, 1.0f));
    for (double bad : {1.1, 1e300}) EXPECT_EQ(failureOf([&] { scale(num(bad)); }), "scale outside range") << bad;
    const auto ticks = [](const Json& value) { return content::requireInt(value, 1, 0, 10, "ticks"); };
    EXPECT_EQ(std::tuple(ticks(num(7)), ticks(Json())), std::tuple(7, 1));
    EXPECT_EQ(failureOf([&] { ticks(num(7.5)); }), "ticks must be an integer");
    EXPECT_EQ(failureOf([&] { ticks(num(11)); }), "ticks outside range");
    EXPECT_EQ(content::requireInt(num(2147483647.0), 1, 0, std::numeric_limits<int32_t>::max(), "n"),
              std::numeric_limits<int32_t>::max());
}

TEST(ValueChecks, ResourceAndContentIds) {
    using namespace std::string_literals;
    const std::string b77 = "a:" + std::string(77, 'b'), b98 = "a:" + std::string(98, 'b');
    for (const std::string& id : {"core:stone"s, "my-mod:big_stone2"s, b77})
        EXPECT_TRUE(content::isValidResourceId(id)) << id;
    for (const std::string& id :
         {":stone"s, "core:"s, "a:b:c"s, "Core:stone"s, "core stone"s, "core.x:y"s, "corestone"s, ""s, b77 + 'b'})
        EXPECT_FALSE(content::isValidResourceId(id)) << id;

    for (const std::string& id : {"Core.Mod:Stone-1_x"s, ":"s, b98}) EXPECT_TRUE(content::isValidContentId(id)) << id;
    for (const std::string& id : {b98 + 'b', "stone"s, "a:b c"s, "a:\xD0\x96"s})
        EXPECT_FALSE(content::isValidContentId(id)) << id;

    EXPECT_TRUE(adventure::hasFiniteCoords({1.0, -2.0, 0.0}));
    EXPECT_FALSE(adventure::hasFiniteCoords({1.0, std::numeric_limits<double>::infinity(), 0.0}));
    EXPECT_FALSE(adventure::hasFiniteCoords({1.0, 0.0, std::numeric_limits<double>::quiet_NaN()}));
}

}  // namespace
