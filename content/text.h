#pragma once
// Text conversions: UTF-32 to UTF-8, paths to UTF-8, and locale-free number conversions whose
// failures carry the messages the game reports.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// UTF-32 to UTF-8 without validation (surrogate values are encoded like any other value).
std::string toUtf8(const std::u32string& text);
// The same for texts of the Basic Multilingual Plane; values from 0x10000 up are encoded in four
// bytes as `toUtf8` does.
std::string toUtf8Bmp(const std::u32string& text);
bool endsWith(const std::string& text, const std::string& suffix);

namespace content {

// Appends one value in UTF-8 without validation: surrogates and values past 0x10FFFF are encoded
// like any other (the lead byte keeps only its low eight bits); callers that must not write them
// replace them first.
void appendUtf8(std::string& out, char32_t codePoint);

// The path's text as UTF-8, separators as the path holds them.
std::string pathToUtf8(const std::filesystem::path& path);

// Decimal text to double, correctly rounded, independent of the locale. Leading white space is
// skipped; parsing stops at the first byte that cannot continue the number and, when pos is given,
// the count of bytes used is stored there. No number: "invalid stod argument". A magnitude beyond
// the double range: "stod argument out of range". Values too small for a double (subnormals
// included) are not errors: they round, down to a signed zero.
double parseDouble(const std::string& text, std::size_t* pos = nullptr);

// Decimal text to int, as the standard string-to-int conversion reads it (leading white space, an
// optional sign, the leading digits). No digits: "invalid stoi argument"; beyond int:
// "stoi argument out of range".
int parseInt(const std::string& text, std::size_t* pos = nullptr);

// Truncates toward zero; a value an int32_t cannot hold (or NaN) saturates to INT32_MAX or
// INT32_MIN, which every range check that follows refuses with its own message.
int32_t truncateToInt32(double value);

}  // namespace content
