#include "content/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipSpace(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    return i;
}

// Decimal exponent of the leading significant digit of a decimal number text (without sign), with
// the written exponent saturated: positive means the value is at least 1.
long long decimalMagnitude(const char* first, const char* last) {
    const char* p = first;
    long long magnitude = 0;
    while (p < last && *p == '0') ++p;
    while (p < last && isDigit(*p)) {
        ++magnitude;
        ++p;
    }
    if (p < last && *p == '.') {
        ++p;
        if (magnitude == 0) {
            while (p < last && *p == '0') {
                --magnitude;
                ++p;
            }
        }
        while (p < last && isDigit(*p)) ++p;
    }
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = p < last && *p == '-';
        if (p < last && (*p == '+' || *p == '-')) ++p;
        long long exponent = 0;
        for (; p < last && isDigit(*p); ++p) exponent = std::min(exponent * 10 + (*p - '0'), 1000000000LL);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

}  // namespace

std::string toUtf8(const std::u32string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t unit : text) content::appendUtf8(out, unit);
    return out;
}

std::string toUtf8Bmp(const std::u32string& text) {
    return toUtf8(text);
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

namespace content {

void appendUtf8(std::string& out, char32_t codePoint) {
    const uint32_t u = static_cast<uint32_t>(codePoint);
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>((0xF0 | (u >> 18)) & 0xFF);
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

std::string pathToUtf8(const std::filesystem::path& path) {
    return path.string();
}

double parseDouble(const std::string& text, std::size_t* pos) {
    std::size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    double value = 0.0;
    if (first == last || *first == '+' || *first == '-') throw std::runtime_error("invalid stod argument");
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) throw std::runtime_error("invalid stod argument");
    if (result.ec == std::errc::result_out_of_range) {
        // Too large is an error; too small rounds to zero like any other inexact value.
        if (decimalMagnitude(first, result.ptr) > 0) throw std::runtime_error("stod argument out of range");
        value = 0.0;
    }
    if (pos != nullptr) *pos = static_cast<std::size_t>(result.ptr - text.data());
    return negative ? -value : value;
}

int parseInt(const std::string& text, std::size_t* pos) {
    std::size_t i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    long long magnitude = 0;
    bool overflow = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) {
            overflow = true;
            magnitude = 2147483648LL;
        }
    }
    if (i == digitsStart) throw std::runtime_error("invalid stoi argument");
    if (overflow || magnitude > (negative ? 2147483648LL : 2147483647LL)) {
        throw std::runtime_error("stoi argument out of range");
    }
    if (pos != nullptr) *pos = i;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return std::numeric_limits<int32_t>::min();
    if (value >= 2147483648.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483649.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace content
