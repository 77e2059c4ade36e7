#include "save/chunk_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "world/block_registry.h"
#include "world/generate.h"

namespace {

using testing::ThrowsMessage;

constexpr uint32_t kSeed = 12345;

// A chunk with a few cells, a door state and water levels that no generator would make.
voxel::Chunk editedChunk(int32_t cx, int32_t cz) {
    voxel::Chunk chunk(cx, cz);
    for (uint32_t i = 0; i < voxel::chunkCellCount; i += 97) chunk.cells[i] = static_cast<uint8_t>(i % 13);
    chunk.ensureStates();
    chunk.states[voxel::cellIndex(3, 40, 7)] = 9;
    chunk.waterLevels.assign(voxel::chunkCellCount, 0);
    chunk.waterLevels[voxel::cellIndex(15, 127, 15)] = 6;
    chunk.light.assign(voxel::chunkCellCount, 0x3C);
    return chunk;
}

void expectSameContents(const voxel::Chunk& read, const voxel::Chunk& written) {
    EXPECT_EQ(read.cx, written.cx);
    EXPECT_EQ(read.cz, written.cz);
    EXPECT_EQ(read.cells, written.cells);
    EXPECT_EQ(read.states, written.states);
    EXPECT_EQ(read.waterLevels, written.waterLevels);
    EXPECT_TRUE(read.light.empty()) << "light is computed again, never stored";
}

class ChunkFile : public testing::Test {
   protected:
    std::filesystem::path pathOf(int32_t cx, int32_t cz) const {
        return filesave::chunkFilePath(dir.path(), cx, cz);
    }
    voxel::Chunk load(int32_t cx, int32_t cz, uint32_t seed = kSeed, int32_t generation = 4) const {
        return voxel::loadOrGenerateChunk(dir.path(), seed, generation, cx, cz, profile);
    }
    // Loading chunk (cx, cz) fails with `what` and the path of its file.
    void expectLoadFails(int32_t cx, int32_t cz, const std::string& what) const {
        EXPECT_THAT([&] { load(cx, cz); },
                    ThrowsMessage<std::runtime_error>(what + ": " + pathOf(cx, cz).string()));
    }

    testsupport::TempDir dir;
    voxel::ProfilePtr profile = std::make_shared<const voxel::GenerationProfile>();
};

TEST_F(ChunkFile, WrittenChunkReloadsIdenticalWithAndWithoutOptionalLists) {
    const voxel::Chunk full = editedChunk(-3, 7);
    filesave::writeChunk(dir.path(), kSeed, 4, full);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Chunks" / "-3_7.bin")) << "x first, then z";
    expectSameContents(load(-3, 7), full);

    voxel::Chunk bare(2, -1);
    bare.cells[voxel::cellIndex(0, 0, 0)] = 1;
    filesave::writeChunk(dir.path(), kSeed, 4, bare);
    expectSameContents(load(2, -1), bare);
    EXPECT_EQ(testsupport::readFile(pathOf(2, -1)).size(), 28u + voxel::chunkCellCount + 8u);
}

TEST_F(ChunkFile, WithoutAFileTheChunkIsGenerated) {
    const voxel::Chunk generated = voxel::generateChunk(voxel::GenerationContext{kSeed, 4, profile}, 1, -2);
    const voxel::Chunk loaded = load(1, -2);
    EXPECT_EQ(loaded.cells, generated.cells);
    EXPECT_EQ(loaded.cx, 1);
    EXPECT_EQ(loaded.cz, -2);
    EXPECT_FALSE(std::filesystem::exists(pathOf(1, -2))) << "loading never writes";
}

// A header and a checksum are the least a chunk file holds: one byte less is no chunk file at all.
TEST_F(ChunkFile, DamagedFilesRaiseAndStayUntouched) {
    filesave::writeChunk(dir.path(), kSeed, 4, editedChunk(4, 4));
    std::string flipped = testsupport::readFile(pathOf(4, 4));
    flipped[28 + 1000] ^= 0x01;
    const std::pair<std::string, std::string> rows[] = {
        {flipped, "Damaged chunk file (checksum mismatch)"},
        {flipped.substr(0, flipped.size() - 1), "Damaged chunk file (wrong size)"},
        {flipped.substr(0, 36), "Damaged chunk file (wrong size)"},
        {flipped.substr(0, 35), "Not a chunk file"},
        {"QUORVANE_WORLD 1\nname x\nseed 1\ngeneration 4\n", "Not a chunk file"},
    };
    for (const auto& [bytes, message] : rows) {
        testsupport::writeFile(pathOf(4, 4), bytes);
        expectLoadFails(4, 4, message);
        EXPECT_EQ(testsupport::readFile(pathOf(4, 4)), bytes) << message;
    }
}

TEST_F(ChunkFile, CellsTheRegistryCannotNameRaise) {
    voxel::Chunk chunk = editedChunk(5, 5);
    chunk.cells[voxel::cellIndex(1, 2, 3)] = 200;
    filesave::writeChunk(dir.path(), kSeed, 4, chunk);
    expectLoadFails(5, 5, "Damaged chunk file (unknown block id 200)");
}

TEST_F(ChunkFile, FilesOfAnotherWorldGenerationOrPositionRaise) {
    filesave::writeChunk(dir.path(), 999, 4, editedChunk(0, 1));
    expectLoadFails(0, 1, "Chunk file of another world (seed 999, expected 12345)");
    filesave::writeChunk(dir.path(), kSeed, 3, editedChunk(0, 2));
    expectLoadFails(0, 2, "Chunk file of another generation (3, expected 4)");
    filesave::writeChunk(dir.path(), kSeed, 4, editedChunk(5, 6));
    std::filesystem::copy_file(pathOf(5, 6), pathOf(-5, 6));
    expectLoadFails(-5, 6, "Chunk file of another position (5, 6; expected -5, 6)");
}

// The last id the registry names loads; the first one past it is refused, with its number.
TEST_F(ChunkFile, BlockIdsUpToTheRegistrysLastLoad) {
    const std::size_t count = voxel::blockCount();
    ASSERT_LT(count, 256u);
    voxel::Chunk last = editedChunk(6, 6);
    last.cells[voxel::cellIndex(15, 127, 15)] = static_cast<uint8_t>(count - 1);
    filesave::writeChunk(dir.path(), kSeed, 4, last);
    expectSameContents(load(6, 6), last);

    voxel::Chunk past = editedChunk(6, 6);
    past.cells[voxel::cellIndex(0, 0, 0)] = static_cast<uint8_t>(count);
    filesave::writeChunk(dir.path(), kSeed, 4, past);
    expectLoadFails(6, 6, "Damaged chunk file (unknown block id " + std::to_string(count) + ")");
}

// A file is read only at the position it was written for: each axis on its own decides.
TEST_F(ChunkFile, PositionMustMatchOnBothAxes) {
    filesave::writeChunk(dir.path(), kSeed, 4, editedChunk(5, 6));
    struct Row {
        int32_t cx, cz;
        const char* message;  // empty when the file loads
    };
    const Row rows[] = {
        {5, 6, ""},
        {5, 7, "Chunk file of another position (5, 6; expected 5, 7)"},
        {5, 5, "Chunk file of another position (5, 6; expected 5, 5)"},
        {6, 6, "Chunk file of another position (5, 6; expected 6, 6)"},
        {4, 6, "Chunk file of another position (5, 6; expected 4, 6)"},
    };
    for (const Row& row : rows) {
        if (row.cx != 5 || row.cz != 6) std::filesystem::copy_file(pathOf(5, 6), pathOf(row.cx, row.cz));
        if (*row.message == '\0')
            expectSameContents(load(row.cx, row.cz), editedChunk(5, 6));
        else
            expectLoadFails(row.cx, row.cz, row.message);
    }
}

// Only version 1 is read, and only the two known optional lists may be announced.
TEST_F(ChunkFile, UnknownVersionsAndPartsRaise) {
    filesave::writeChunk(dir.path(), kSeed, 4, editedChunk(3, 3));
    const std::string written = testsupport::readFile(pathOf(3, 3));
    struct Row {
        std::size_t offset;
        char value;
        const char* message;
    };
    const Row rows[] = {
        {4, 2, "Unsupported chunk file version 2"},
        {4, 0, "Unsupported chunk file version 0"},
        {24, 4, "Damaged chunk file (wrong size)"},
        {24, 1, "Damaged chunk file (wrong size)"},
    };
    for (const Row& row : rows) {
        std::string bytes = written;
        bytes[row.offset] = row.value;
        testsupport::writeFile(pathOf(3, 3), bytes);
        expectLoadFails(3, 3, row.message);
    }
}

}  // namespace
