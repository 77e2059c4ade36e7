// Chunk files. The input is decoded as it is, which exercises the header, size and checksum checks,
// and then repaired: cut or padded to the size its parts field asks for and given the right
// checksum, so that the lists and the block id check behind the checksum are reached as well.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "save/chunk_file.h"
#include "world/block_registry.h"

namespace {

constexpr std::size_t kHeaderBytes = 28;

uint32_t little32(const std::string& bytes, std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= uint32_t{static_cast<uint8_t>(bytes[at + i])} << (8 * i);
    return value;
}

void putChecksum(std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 1099511628211ull;
    }
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>((hash >> (8 * i)) & 0xFF));
}

void decode(const std::string& bytes) {
    if (bytes.size() < kHeaderBytes) {
        try {
            (void)filesave::decodeChunk(bytes, 0, 0, 0, 0, "fuzz.bin");
        } catch (const std::runtime_error&) {
        }
        return;
    }
    // The identity the file claims, so that a repaired file is not refused as another world's.
    const auto seed = little32(bytes, 8);
    const auto generation = static_cast<int32_t>(little32(bytes, 12));
    const auto cx = static_cast<int32_t>(little32(bytes, 16));
    const auto cz = static_cast<int32_t>(little32(bytes, 20));
    try {
        (void)filesave::decodeChunk(bytes, seed, generation, cx, cz, "fuzz.bin");
    } catch (const std::runtime_error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    decode(raw);
    std::string repaired = raw.substr(0, kHeaderBytes);
    repaired.resize(kHeaderBytes, '\0');
    const uint32_t parts = little32(repaired, 24) & 3u;
    repaired.replace(24, 4, std::string{static_cast<char>(parts), '\0', '\0', '\0'});
    const std::size_t lists = 1 + (parts & 1u) + ((parts >> 1) & 1u);
    repaired += raw.size() > kHeaderBytes ? raw.substr(kHeaderBytes) : std::string();
    repaired.resize(kHeaderBytes + lists * voxel::chunkCellCount, '\0');
    putChecksum(repaired);
    decode(repaired);
    return 0;
}
