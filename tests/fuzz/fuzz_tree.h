#pragma once
// What the fuzz targets share: one scratch directory per run for the readers that take a file or a
// Content tree, the cutting of one input into several files, and the small block and item registry
// that the content loaders resolve resource names through.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzztree {

// A private directory in /dev/shm or else the system temporary folder, emptied by clearScratch and removed
// when the run ends normally.
const std::filesystem::path& scratchDir();
// Removes everything inside the scratch directory.
void clearScratch();
// Writes bytes to path, creating its parent folders.
void writeFile(const std::filesystem::path& path, std::string_view bytes);

// The input cut at NUL bytes, which no text file of the game holds, into at most maxPieces; the last
// piece keeps the rest. An empty input is one empty piece.
std::vector<std::string_view> splitPieces(std::string_view input, std::size_t maxPieces);
// Each piece written as "<NN><suffix>" into dir (NN from 00), the way several content files of one
// kind lie in a Content tree.
void writePieces(const std::filesystem::path& dir, const std::vector<std::string_view>& pieces,
                 const std::string& suffix);

// The built-in blocks plus a few test resources ("test:stick", "test:flask", "test:tonic",
// "test:blade", "test:seeds", "test:farmland", "test:fog", "test:sprout_0".."test:sprout_8") and
// the built-in mobs' drops ("core:raw_pork", "core:bone", "core:arrow"), fresh for every input since
// some loaders change the registry.
void resetRegistry();

// The usual start of a content loader target: an empty scratch directory, a fresh registry, and
// the input's pieces as "<NN><suffix>" files in scratch/Content, which is returned.
std::filesystem::path contentFromPieces(std::string_view input, std::size_t maxPieces,
                                        const std::string& suffix);

inline std::string_view asText(const uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzztree
