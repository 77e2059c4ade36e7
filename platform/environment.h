#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// Full path of the running executable.
std::filesystem::path executablePath();
// True when the variable exists, even with an empty value.
bool environmentHas(const char* name);
std::optional<std::string> environmentValue(const char* name);
std::string computerName();
// 16 random bytes for identities.
std::array<uint8_t, 16> randomGuidBytes();
// The system clock in 100-nanosecond units since 1970-01-01 UTC.
uint64_t systemTime100ns();

}  // namespace platform
