#pragma once
// The player's network identity: a random 128-bit value made once per game folder and kept in
// Saves/network_identity118.txt, so that a host knows the same player in every session.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace net {

inline constexpr const char* kIdentityFileName = "network_identity118.txt";
inline constexpr const char* kIdentityTag = "NETID118";

// The identity as 32 lower-case hexadecimal digits.
std::string identityText(const std::array<uint8_t, 16>& bytes);
// The file's bytes: the tag line and the 32 digits on the next line; nothing when they are not that.
std::optional<std::string> parseIdentityFile(const std::string& bytes);
std::string identityFile(const std::string& identity);

// The identity of the saves folder: read from its file, or made and written there when the file is
// missing or damaged. A file that cannot be written leaves the new identity to this session alone.
std::string loadNetworkIdentity(const std::filesystem::path& saves);

}  // namespace net
