#pragma once
// The content fingerprint a LAN guest sends with its room code: host and guest must agree byte for byte.
#include <cstdint>
#include <filesystem>

namespace content {

inline constexpr uint64_t fnvOffsetBasis = 0xCBF29CE484222325ull;
inline constexpr uint64_t fnvPrime = 0x100000001B3ull;

// 64-bit FNV-1a over the relative names and bytes of every content and asset file, in sorted path
// order; error files and other text files do not count. A missing or empty tree is the offset basis.
uint64_t fingerprint(const std::filesystem::path& contentDir);

}  // namespace content
