#pragma once
// The largest file of each content kind that its reader accepts, written as generously as a person
// or a tool might: every list at its longest, every text at its longest, one value on each line
// indented by a tab per level, every number in 20 characters. The file limits are derived from them.
#include <cstdint>
#include <filesystem>
#include <string>

#include "content/file_limits.h"

namespace largest {

struct File {
    std::string bytes;
    uint64_t values = 0;  // JSON values written, containers included; 0 for PNG and WAV
};

// JSON from a template: every number is written in 20 characters with its value kept; a string "$N"
// becomes a text of N bytes, different from every other, and "=N" sharedText(N); an array
// ["*N", item] holds item N times.
File expand(const std::string& jsonTemplate);
// The same N bytes every time; the largest generation objects name their blocks by it.
std::string sharedText(std::size_t bytes);

File largestJson(content::ContentFile kind);
// A PNG of the most pixels a texture may have, at 16 bits a channel, stored without compression in
// 8 KiB data chunks; it decodes.
std::string largestTexture();
// Writes the WAV header of ten minutes of 16-bit stereo at 44,100 Hz and sizes the file to match;
// its samples are silence. Returns the file's size.
uint64_t writeLargestWave(const std::filesystem::path& file);

}  // namespace largest
