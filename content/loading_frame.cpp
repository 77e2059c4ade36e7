#include "content/loading_frame.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "content/text.h"

namespace fs = std::filesystem;

namespace content {

namespace {

bool isNumber(const Json& value) {
    return value.tag == JsonNumber;
}

bool isWhole(double x) {
    return std::floor(x) == x;
}

bool inRange(double x, double min, double max) {
    return std::isfinite(x) && x >= min && x <= max;
}

// A finite double beyond the float range becomes an infinity instead of undefined behaviour.
float toFloat(double x) {
    if (std::isfinite(x) && std::fabs(x) > std::numeric_limits<float>::max()) {
        return x > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(x);
}

double readCheckedSetting(const Json& object, const std::string& key, double fallback, double min, double max,
                          bool integer, const std::string& message) {
    const Json& value = Json::find(object, key);
    if (!isNumber(value)) return fallback;
    const double x = value.number;
    if (!inRange(x, min, max) || (integer && !isWhole(x))) throw std::runtime_error(message + key);
    return x;
}

int32_t readWholeNumber(const Json& value, int32_t fallback, int32_t min, int32_t max,
                        const std::string& message) {
    if (!isNumber(value)) return fallback;
    const double x = value.number;
    if (!inRange(x, min, max) || !isWhole(x)) throw std::runtime_error(message);
    return truncateToInt32(x);
}

void throwIfFailed(const std::error_code& error, const char* what, const fs::path& path) {
    if (error) throw fs::filesystem_error(what, path, error);
}

}  // namespace

std::vector<fs::path> findContentFiles(const fs::path& contentDir,
                                       const std::function<bool(const std::string& fileName)>& keep,
                                       MissingContent missing) {
    std::vector<fs::path> files;
    if (missing == MissingContent::NoFiles && !fs::exists(contentDir)) return files;
    std::error_code error;
    fs::recursive_directory_iterator it(contentDir, error);
    throwIfFailed(error, "recursive_directory_iterator::recursive_directory_iterator", contentDir);
    for (const fs::recursive_directory_iterator end; it != end;) {
        const fs::directory_entry& entry = *it;
        std::error_code statusError;
        const fs::file_status status = entry.status(statusError);
        if (statusError && statusError != std::errc::no_such_file_or_directory) {
            throw fs::filesystem_error("directory_entry::status", entry.path(), statusError);
        }
        if (!statusError && fs::is_regular_file(status) && keep(entry.path().filename().string())) {
            files.push_back(entry.path());
        }
        it.increment(error);
        throwIfFailed(error, "recursive_directory_iterator::operator++", contentDir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> findFilesNamed(const fs::path& contentDir, const std::string& fileName) {
    return findContentFiles(contentDir, [&](const std::string& name) { return name == fileName; });
}

std::vector<fs::path> findFilesEndingWith(const fs::path& contentDir, const std::string& suffix,
                                          MissingContent missing) {
    return findContentFiles(
        contentDir, [&](const std::string& name) { return endsWith(name, suffix); }, missing);
}

ErrorFile::ErrorFile(const fs::path& contentDir, const std::string& fileName, bool echoToStderr)
    : path_(contentDir / fileName), out_(path_, std::ios::binary | std::ios::trunc), echo_(echoToStderr) {}

void ErrorFile::writeLine(const std::string& line) {
    if (echo_) std::cerr << line << '\n';
    if (!out_) return;
    out_ << line << '\n';
    out_.flush();
}

void ErrorFile::report(const fs::path& file, const std::string& message) {
    writeLine(pathToUtf8(file) + ": " + message);
}

void forEachContentFile(const std::vector<fs::path>& files, ErrorFile& errors,
                        const std::function<void(const fs::path& file)>& read) {
    for (const fs::path& file : files) {
        try {
            read(file);
        } catch (const std::exception& failure) {
            errors.report(file, failure.what());
        }
    }
}

double readCombatSetting(const Json& object, const std::string& key, double fallback, double min, double max,
                         bool integer) {
    return readCheckedSetting(object, key, fallback, min, max, integer, "Invalid combat setting: ");
}

double readMobValue(const Json& object, const std::string& key, double fallback, double min, double max,
                    bool integer) {
    return readCheckedSetting(object, key, fallback, min, max, integer, "Invalid mob value: ");
}

double readBoundedNumber(const Json& object, const std::string& key, double fallback, double min,
                         double max) {
    const Json& value = Json::find(object, key);
    if (value.tag == JsonNull) return fallback;
    if (!isNumber(value)) throw std::runtime_error("Invalid " + key);
    if (!inRange(value.number, min, max)) throw std::runtime_error("Out of range: " + key);
    return value.number;
}

uint32_t readNamedValue(const Json& object, const std::string& key, const std::vector<std::string>& names,
                        uint32_t defaultIndex) {
    const Json& value = Json::find(object, key);
    if (value.tag == JsonNull) return defaultIndex;
    if (value.tag != JsonString) throw std::runtime_error("Invalid " + key);
    const auto it = std::find(names.begin(), names.end(), value.text);
    if (it == names.end()) throw std::runtime_error("Unknown " + key);
    return static_cast<uint32_t>(it - names.begin());
}

int32_t readShieldSetting(const Json& value, int32_t fallback, int32_t min, int32_t max) {
    return readWholeNumber(value, fallback, min, max, "Invalid shield setting");
}

float readFlightSetting(const Json& value, float fallback, float min, float max) {
    if (!isNumber(value)) return fallback;
    if (!inRange(value.number, min, max)) throw std::runtime_error("Invalid flight setting");
    return static_cast<float>(value.number);
}

int32_t requireCount(const Json& value) {
    if (!isNumber(value) || !inRange(value.number, 1, 64) || !isWhole(value.number)) {
        throw std::runtime_error("count must be an integer 1..64");
    }
    return static_cast<int32_t>(value.number);
}

int32_t readPotionNumber(const Json& value, int32_t min, int32_t max) {
    const double x = isNumber(value) ? value.number : -1.0;
    if (!inRange(x, min, max) || !isWhole(x)) throw std::runtime_error("Invalid potion number");
    return truncateToInt32(x);
}

float checkRange(const Json& value, float fallback, float min, float max, const std::string& name) {
    if (!isNumber(value)) return fallback;
    const float x = toFloat(value.number);
    if (!(x >= min && x <= max)) throw std::runtime_error(name + " outside range");
    return x;
}

int32_t requireInt(const Json& value, int32_t fallback, int32_t min, int32_t max, const std::string& name) {
    const float x = checkRange(value, static_cast<float>(fallback), static_cast<float>(min),
                               static_cast<float>(max), name);
    if (std::floor(x) != x) throw std::runtime_error(name + " must be an integer");
    return truncateToInt32(x);
}

bool isValidContentId(const std::string& text) {
    if (text.empty() || text.size() > 100 || text.find(':') == std::string::npos) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
               c == '.' || c == ':' || c == '_';
    });
}

bool isValidResourceId(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
    if (text.find(':', colon + 1) != std::string::npos) return false;
    if (!isValidContentId(text) || text.size() >= 80) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':';
    });
}

}  // namespace content

namespace adventure {

int32_t readValue(const content::Json& object, const std::string& key, int32_t fallback, int32_t min,
                  int32_t max) {
    const content::Json& value = content::Json::find(object, key);
    if (value.tag != content::JsonNumber) return fallback;
    const double x = value.number;
    if (!std::isfinite(x) || x < min || x > max || std::floor(x) != x) {
        throw std::runtime_error("Invalid adventure value: " + key);
    }
    return content::truncateToInt32(x);
}

bool hasFiniteCoords(const std::array<double, 3>& coords) {
    return std::isfinite(coords[0]) && std::isfinite(coords[1]) && std::isfinite(coords[2]);
}

}  // namespace adventure
