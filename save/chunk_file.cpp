#include "save/chunk_file.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "platform/file_read.h"
#include "save/file_save.h"
#include "world/block_registry.h"
#include "world/generate.h"

namespace filesave {

namespace {

constexpr char kMagic[4] = {'Q', 'V', 'C', 'K'};
constexpr uint32_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 28;
constexpr std::size_t kChecksumBytes = 8;
constexpr uint32_t kHasStates = 1;
constexpr uint32_t kHasWater = 2;

uint64_t fnv1a(const char* data, std::size_t size) {
    uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<uint8_t>(data[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

void putLittle(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t getLittle(const std::string& in, std::size_t offset, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<uint64_t>(static_cast<uint8_t>(in[offset + i])) << (8 * i);
    return value;
}

void putList(std::string& out, const std::vector<uint8_t>& list) {
    out.append(reinterpret_cast<const char*>(list.data()), list.size());
}

std::vector<uint8_t> getList(const std::string& in, std::size_t& offset) {
    const auto* first = reinterpret_cast<const uint8_t*>(in.data() + offset);
    offset += voxel::chunkCellCount;
    return std::vector<uint8_t>(first, first + voxel::chunkCellCount);
}

// Only a full-size list that holds something is stored: an all-zero list reads back as an empty one.
bool worthStoring(const std::vector<uint8_t>& list) {
    return list.size() == voxel::chunkCellCount &&
           std::any_of(list.begin(), list.end(), [](uint8_t value) { return value != 0; });
}

uint32_t storedParts(const voxel::Chunk& chunk) {
    return (worthStoring(chunk.states) ? kHasStates : 0) | (worthStoring(chunk.waterLevels) ? kHasWater : 0);
}

std::size_t expectedSize(uint32_t parts) {
    const std::size_t lists = 1 + ((parts & kHasStates) != 0) + ((parts & kHasWater) != 0);
    return kHeaderBytes + lists * voxel::chunkCellCount + kChecksumBytes;
}

std::runtime_error fileError(const std::string& what, const std::filesystem::path& path) {
    return std::runtime_error(what + ": " + path.string());
}

std::string number(int64_t value) {
    return std::to_string(value);
}

struct Header {
    uint32_t version, seed, generation, parts;
    int32_t cx, cz;
};

Header readHeader(const std::string& bytes, const std::filesystem::path& path) {
    if (bytes.size() < kHeaderBytes + kChecksumBytes || bytes.compare(0, 4, kMagic, 4) != 0) {
        throw fileError("Not a chunk file", path);
    }
    Header header{};
    header.version = static_cast<uint32_t>(getLittle(bytes, 4, 4));
    header.seed = static_cast<uint32_t>(getLittle(bytes, 8, 4));
    header.generation = static_cast<uint32_t>(getLittle(bytes, 12, 4));
    header.cx = static_cast<int32_t>(getLittle(bytes, 16, 4));
    header.cz = static_cast<int32_t>(getLittle(bytes, 20, 4));
    header.parts = static_cast<uint32_t>(getLittle(bytes, 24, 4));
    return header;
}

void checkIntegrity(const std::string& bytes, const Header& header, const std::filesystem::path& path) {
    if (header.version != kVersion) {
        throw fileError("Unsupported chunk file version " + number(header.version), path);
    }
    if (header.parts > (kHasStates | kHasWater) || bytes.size() != expectedSize(header.parts)) {
        throw fileError("Damaged chunk file (wrong size)", path);
    }
    const std::size_t body = bytes.size() - kChecksumBytes;
    if (fnv1a(bytes.data(), body) != getLittle(bytes, body, 8)) {
        throw fileError("Damaged chunk file (checksum mismatch)", path);
    }
}

void checkIdentity(const Header& header, uint32_t seed, int32_t generation, int32_t cx, int32_t cz,
                   const std::filesystem::path& path) {
    if (header.seed != seed) {
        throw fileError(
            "Chunk file of another world (seed " + number(header.seed) + ", expected " + number(seed) + ")",
            path);
    }
    if (header.generation != static_cast<uint32_t>(generation)) {
        throw fileError("Chunk file of another generation (" + number(header.generation) + ", expected " +
                            number(generation) + ")",
                        path);
    }
    if (header.cx != cx || header.cz != cz) {
        throw fileError("Chunk file of another position (" + number(header.cx) + ", " + number(header.cz) +
                            "; expected " + number(cx) + ", " + number(cz) + ")",
                        path);
    }
}

}  // namespace

std::filesystem::path chunkFilePath(const std::filesystem::path& worldDir, int32_t cx, int32_t cz) {
    return worldDir / "Chunks" / (number(cx) + "_" + number(cz) + ".bin");
}

std::string encodeChunk(uint32_t seed, int32_t generation, const voxel::Chunk& chunk) {
    const uint32_t parts = storedParts(chunk);
    std::string out;
    out.reserve(expectedSize(parts));
    out.append(kMagic, 4);
    putLittle(out, kVersion, 4);
    putLittle(out, seed, 4);
    putLittle(out, static_cast<uint32_t>(generation), 4);
    putLittle(out, static_cast<uint32_t>(chunk.cx), 4);
    putLittle(out, static_cast<uint32_t>(chunk.cz), 4);
    putLittle(out, parts, 4);
    putList(out, chunk.cells);
    if (parts & kHasStates) putList(out, chunk.states);
    if (parts & kHasWater) putList(out, chunk.waterLevels);
    putLittle(out, fnv1a(out.data(), out.size()), 8);
    return out;
}

namespace {

// A cell the registry cannot name would fail far from here, in a meshing task, without the file's name.
void checkBlockIds(const voxel::Chunk& chunk, const std::filesystem::path& path) {
    const std::size_t known = voxel::blockCount();
    for (const uint8_t id : chunk.cells)
        if (id >= known) throw fileError("Damaged chunk file (unknown block id " + std::to_string(id) + ")", path);
}

}  // namespace

voxel::Chunk decodeChunk(const std::string& bytes, uint32_t seed, int32_t generation, int32_t cx, int32_t cz,
                         const std::filesystem::path& path) {
    const Header header = readHeader(bytes, path);
    checkIntegrity(bytes, header, path);
    checkIdentity(header, seed, generation, cx, cz, path);
    voxel::Chunk chunk(cx, cz);
    std::size_t offset = kHeaderBytes;
    chunk.cells = getList(bytes, offset);
    if (header.parts & kHasStates) chunk.states = getList(bytes, offset);
    if (header.parts & kHasWater) chunk.waterLevels = getList(bytes, offset);
    checkBlockIds(chunk, path);
    return chunk;
}

void writeChunk(const std::filesystem::path& worldDir, uint32_t seed, int32_t generation,
                const voxel::Chunk& chunk) {
    const std::filesystem::path path = chunkFilePath(worldDir, chunk.cx, chunk.cz);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) throw std::runtime_error("Cannot write " + path.string());
    const std::string bytes = encodeChunk(seed, generation, chunk);
    Output out(path);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.finish();
}

std::optional<std::string> heldChunkBytes(const std::filesystem::path& worldDir, int32_t cx, int32_t cz) {
    return backgroundWriter().heldBytes(chunkFilePath(worldDir, cx, cz));
}

}  // namespace filesave

namespace voxel {

Chunk loadOrGenerateChunk(const std::filesystem::path& worldDir, uint32_t seed, int32_t generation,
                          int32_t cx, int32_t cz, const ProfilePtr& profile) {
    const std::filesystem::path path = filesave::chunkFilePath(worldDir, cx, cz);
    const std::optional<std::string> bytes = platform::readFileBytes(path);
    if (!bytes) {
        std::error_code error;
        if (std::filesystem::exists(path, error) || error)
            throw std::runtime_error("Cannot read " + path.string());
        return generateChunk(GenerationContext{seed, generation, profile}, cx, cz);
    }
    return filesave::decodeChunk(*bytes, seed, generation, cx, cz, path);
}

Chunk loadOrGenerateChunk(const std::filesystem::path& worldDir, uint32_t seed, int32_t generation,
                          int32_t cx, int32_t cz, const ProfilePtr& profile,
                          const std::optional<std::string>& held) {
    if (!held) return loadOrGenerateChunk(worldDir, seed, generation, cx, cz, profile);
    return filesave::decodeChunk(*held, seed, generation, cx, cz, filesave::chunkFilePath(worldDir, cx, cz));
}

}  // namespace voxel
