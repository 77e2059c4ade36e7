#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "content/json.h"
#include "support/failure.h"

using content::Json;

namespace {

Json number(double value) {
    Json json;
    json.tag = content::JsonNumber;
    json.number = value;
    return json;
}

TEST(JsonWriter, CompactOutputInMapOrder) {
    const struct {
        std::string input;
        std::string output;
    } cases[] = {
        {"[]", "[]"},
        {"{}", "{}"},
        {" { \"b\" : 1 , \"a\" : [ true , false , null ] } ", R"({"a":[true,false,null],"b":1})"},
        {R"({"B":1,"a":2,"":3})", R"({"":3,"B":1,"a":2})"},
        {R"("q\"b\\n\nr\rt\t/")", R"("q\"b\\n\nr\rt\t/")"},
        {R"("\u0416\u007f")", "\"\xD0\x96\x7F\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(content::writeJson(content::parseJsonText(c.input)), c.output) << c.input;
}

TEST(JsonWriter, NumbersAtSeventeenDigits) {
    EXPECT_EQ(content::writeJson(number(1.0)), "1");
    EXPECT_EQ(content::writeJson(number(1e21)), "1e+21");
    EXPECT_EQ(content::writeJson(number(-0.0)), "-0");
    EXPECT_EQ(content::writeJson(number(0.3)), "0.29999999999999999");
    EXPECT_EQ(content::writeJson(number(123456.5)), "123456.5");
    EXPECT_EQ(content::writeJson(number(1e-7)), "9.9999999999999995e-08");
}

TEST(JsonWriter, OutputParsesBackToTheSameValue) {
    const std::string text =
        R"({"list":[0.1,-2.5e-300,4.9406564584124654e-324,1.7976931348623157e308],"s":"\u00e9\/"})";
    const Json first = content::parseJsonText(text);
    const Json second = content::parseJsonText(content::writeJson(first));
    EXPECT_EQ(content::writeJson(second), content::writeJson(first));
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Json::at(Json::find(second, "list"), i).number,
                  Json::at(Json::find(first, "list"), i).number);
    }
}

TEST(JsonWriter, ControlCharactersOtherThanLineBreaksAndTabFail) {
    for (const char c : {'\b', '\f', '\0', '\x1F'}) {
        EXPECT_EQ(testsupport::failureOf([&] { content::writeJsonString(std::string("a") + c); }),
                  "Control character in string")
            << "byte " << int(c);
    }
    Json bad = content::parseJsonText(R"({"k":["\b"]})");
    EXPECT_THROW(content::writeJson(bad), std::runtime_error);
}

TEST(JsonWriter, UnknownTagsWriteNull) {
    Json odd;
    odd.tag = 9;
    EXPECT_EQ(content::writeJson(odd), "null");
    EXPECT_EQ(content::writeJson(Json()), "null");
}

}  // namespace
