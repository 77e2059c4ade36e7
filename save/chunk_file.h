#pragma once
// Chunk files: one binary file per chunk column that left the window modified, under
// <world>/Chunks as <cx>_<cz>.bin. Layout, little-endian:
//   "QVCK", u32 version 1, u32 world seed, u32 generation value, i32 cx, i32 cz,
//   u32 parts (bit 0: states follow, bit 1: water levels follow),
//   32,768 cell ids, then the states and the water levels when present (32,768 bytes each),
//   u64 FNV-1a checksum of every byte before it.
// Light is not stored: it is recomputed when the chunk is lit again.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "world/chunk.h"
#include "world/generation_profile.h"

namespace filesave {

std::filesystem::path chunkFilePath(const std::filesystem::path& worldDir, int32_t cx, int32_t cz);

// The file's bytes for a chunk of the world with this seed and generation value.
std::string encodeChunk(uint32_t seed, int32_t generation, const voxel::Chunk& chunk);

// Reads the bytes back. Raises when they are not a chunk file, are damaged, or belong to another
// seed, generation value or position than the one asked for; `path` names the file in the message.
voxel::Chunk decodeChunk(const std::string& bytes, uint32_t seed, int32_t generation, int32_t cx, int32_t cz,
                         const std::filesystem::path& path);

// Writes the chunk's file crash-safely (through filesave::Output); raises on failure.
void writeChunk(const std::filesystem::path& worldDir, uint32_t seed, int32_t generation,
                const voxel::Chunk& chunk);

// The bytes of the chunk's file that the background writer still holds, newer than the disk's;
// taken on the thread that saves, before a load of the chunk is launched.
std::optional<std::string> heldChunkBytes(const std::filesystem::path& worldDir, int32_t cx, int32_t cz);

}  // namespace filesave

namespace voxel {

// The chunk from its file when there is one (checked as decodeChunk does), else generated. Touches
// no App state, so it runs on a task thread.
Chunk loadOrGenerateChunk(const std::filesystem::path& worldDir, uint32_t seed, int32_t generation,
                          int32_t cx, int32_t cz, const ProfilePtr& profile);
// As above, but from `held` (filesave::heldChunkBytes) when the writer still held the newest bytes.
Chunk loadOrGenerateChunk(const std::filesystem::path& worldDir, uint32_t seed, int32_t generation,
                          int32_t cx, int32_t cz, const ProfilePtr& profile,
                          const std::optional<std::string>& held);

}  // namespace voxel
