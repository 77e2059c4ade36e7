#include "content/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "support/failure.h"

namespace {

using testsupport::failureOf;

TEST(TextConversion, Utf32ToUtf8) {
    EXPECT_EQ(toUtf8(U"\u0416"), "\xD0\x96");
    EXPECT_EQ(toUtf8(U"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(toUtf8(U""), "");
    EXPECT_EQ(toUtf8(U"A\u00e9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    const std::u32string withZero(U"a\0b", 3);
    EXPECT_EQ(toUtf8(withZero), std::string("a\0b", 3));
    // Surrogate values are encoded like any other unit.
    EXPECT_EQ(toUtf8(std::u32string(1, char32_t(0xD800))), "\xED\xA0\x80");
    EXPECT_EQ(toUtf8Bmp(U"\u0416\u041C"), "\xD0\x96\xD0\x9C");
    EXPECT_EQ(toUtf8Bmp(U"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(TextConversion, EndsWithAndPaths) {
    EXPECT_TRUE(endsWith("a.recipe.json", ".recipe.json"));
    EXPECT_TRUE(endsWith(".recipe.json", ".recipe.json"));
    EXPECT_FALSE(endsWith("recipe.json", ".recipe.json"));
    EXPECT_FALSE(endsWith("a.RECIPE.json", ".recipe.json"));
    EXPECT_TRUE(endsWith("x", ""));
    EXPECT_EQ(content::pathToUtf8(std::filesystem::path("Content") / "\xD0\x96.json"),
              "Content/\xD0\x96.json");
}

TEST(NumberConversion, DoublesAreLocaleFreeAndFailOnOverflowOnly) {
    std::size_t used = 0;
    EXPECT_EQ(content::parseDouble("  -12.5e1xyz", &used), -125.0);
    EXPECT_EQ(used, 9u);
    EXPECT_EQ(content::parseDouble("+0.1"), 0.1);
    EXPECT_EQ(content::parseDouble("4.9406564584124654e-324"), 4.9406564584124654e-324);
    EXPECT_EQ(content::parseDouble("1e-320"), 1e-320);
    EXPECT_EQ(content::parseDouble("1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(content::parseDouble("-1e-400")));
    EXPECT_EQ(content::parseDouble("0.0000000000000000000000001e-99999999999999999999"), 0.0);
    EXPECT_EQ(content::parseDouble("1,5"), 1.0);
    for (const char* text : {"1e400", "-1e99999999999999999999"})
        EXPECT_EQ(failureOf([&] { content::parseDouble(text); }), "stod argument out of range") << text;
    for (const char* text : {"", "abc", "+-1", " ."})
        EXPECT_EQ(failureOf([&] { content::parseDouble(text); }), "invalid stod argument") << text;
}

TEST(NumberConversion, IntsReadAsTheStandardConversionDoes) {
    std::size_t used = 0;
    EXPECT_EQ(content::parseInt(" 29810x", &used), 29810);
    EXPECT_EQ(used, 6u);
    EXPECT_EQ(content::parseInt("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(content::parseInt("+2147483647"), std::numeric_limits<int>::max());
    EXPECT_EQ(content::parseInt("007"), 7);
    for (const char* text : {"2147483648", "-2147483649", "99999999999999999999999"})
        EXPECT_EQ(failureOf([&] { content::parseInt(text); }), "stoi argument out of range") << text;
    for (const char* text : {"port", "-", ""})
        EXPECT_EQ(failureOf([&] { content::parseInt(text); }), "invalid stoi argument") << text;
}

TEST(NumberConversion, TruncationToInt32Saturates) {
    constexpr int32_t low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
    const std::pair<double, int32_t> cases[] = {
        {64.9, 64},    {-1.9, -1},           {2147483647.9, 2147483647}, {-2147483648.9, low},
        {1e300, high}, {4294967360.0, high}, {-1e300, low},              {std::numeric_limits<double>::quiet_NaN(), low}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(content::truncateToInt32(value), expected) << value;
}

}  // namespace
