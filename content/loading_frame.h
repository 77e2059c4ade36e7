#pragma once
// The frame every content loader follows: a recursive walk of Content in sorted path order, a
// per-loader error file inside Content that is emptied at every load, one failure scope per file,
// and the shared value checks whose messages name the key they refused.
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "content/json.h"

namespace content {

// What a content directory that does not exist means to a loader: no files for most, for some a
// directory that cannot be walked.
enum class MissingContent { NoFiles, Fails };

// Regular files under contentDir (recursively) whose file name passes keep, sorted by the standard
// path comparison. A missing directory gives no files, or fails as missing says. A failing status
// (other than "not found") or iteration raises the file system's error: such a failure ends the
// loader.
std::vector<std::filesystem::path> findContentFiles(
    const std::filesystem::path& contentDir, const std::function<bool(const std::string& fileName)>& keep,
    MissingContent missing = MissingContent::NoFiles);
// Files named exactly fileName (byte comparison).
std::vector<std::filesystem::path> findFilesNamed(const std::filesystem::path& contentDir,
                                                  const std::string& fileName);
// Files whose name ends with suffix, such as ".recipe.json".
std::vector<std::filesystem::path> findFilesEndingWith(const std::filesystem::path& contentDir,
                                                       const std::string& suffix,
                                                       MissingContent missing = MissingContent::NoFiles);

// A loader's own "<kind>_errors.txt" inside Content, created or emptied when constructed. A file
// that cannot be opened is not a failure: its lines are then lost (except on stderr when echoed).
class ErrorFile {
   public:
    // echoToStderr: the line also goes to the standard error stream.
    ErrorFile(const std::filesystem::path& contentDir, const std::string& fileName, bool echoToStderr);
    // Writes line and a line feed.
    void writeLine(const std::string& line);
    // "<path as UTF-8>: <message>".
    void report(const std::filesystem::path& file, const std::string& message);
    const std::filesystem::path& path() const { return path_; }

   private:
    std::filesystem::path path_;
    std::ofstream out_;
    bool echo_;
};

// Runs read once per file, in the given order, each in its own failure scope: any std::exception
// becomes one error line for that file and the next file is still read.
void forEachContentFile(const std::vector<std::filesystem::path>& files, ErrorFile& errors,
                        const std::function<void(const std::filesystem::path& file)>& read);

// Shared value checks. A number is a value whose tag is JsonNumber; bounds are inclusive; nothing
// clamps. Integer results are truncated toward zero after the check.

// Not a number: the default. Else finite, within [min, max] and whole when integer is set, else
// "Invalid combat setting: " + key.
double readCombatSetting(const Json& object, const std::string& key, double fallback, double min, double max,
                         bool integer);
// As readCombatSetting with "Invalid mob value: " + key.
double readMobValue(const Json& object, const std::string& key, double fallback, double min, double max,
                    bool integer);
// Missing: the default; another kind: "Invalid " + key; outside or not finite: "Out of range: " + key.
double readBoundedNumber(const Json& object, const std::string& key, double fallback, double min, double max);
// Missing: the default index; another kind: "Invalid " + key; a string that is none of the names:
// "Unknown " + key.
uint32_t readNamedValue(const Json& object, const std::string& key, const std::vector<std::string>& names,
                        uint32_t defaultIndex);
// Not a number: the default; else a finite whole number within [min, max], "Invalid shield setting".
int32_t readShieldSetting(const Json& value, int32_t fallback, int32_t min, int32_t max);
// Not a number: the default; else finite within [min, max] (compared as f64), "Invalid flight
// setting"; returned as f32.
float readFlightSetting(const Json& value, float fallback, float min, float max);
// A whole number 1..64, else "count must be an integer 1..64" (also when not a number).
int32_t requireCount(const Json& value);
// Not a number counts as -1; then a finite whole number within [min, max], "Invalid potion number".
int32_t readPotionNumber(const Json& value, int32_t min, int32_t max);
// Not a number: the default; else the number as f32 within [min, max], name + " outside range".
float checkRange(const Json& value, float fallback, float min, float max, const std::string& name);
// checkRange with the bounds as f32, then a whole number, else name + " must be an integer".
int32_t requireInt(const Json& value, int32_t fallback, int32_t min, int32_t max, const std::string& name);

// 1 to 100 bytes, a ":" somewhere, every byte a letter, digit, "-", ".", ":" or "_".
bool isValidContentId(const std::string& text);
// Exactly one ":", neither first nor last, a valid content id, shorter than 80 bytes, and only
// a..z, 0..9, "-", "_", ":".
bool isValidResourceId(const std::string& text);

}  // namespace content

namespace adventure {

// Not a number: the default; else a finite whole number within [min, max], else
// "Invalid adventure value: " + key.
int32_t readValue(const content::Json& object, const std::string& key, int32_t fallback, int32_t min,
                  int32_t max);
bool hasFiniteCoords(const std::array<double, 3>& coords);

}  // namespace adventure
