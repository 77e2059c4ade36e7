#pragma once
// Where the game finds its files: the game root (models, textures, shaders) and the shaders.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct GameFiles {
    std::filesystem::path root;    // fixed for the run
    std::filesystem::path base;    // Content, Saves, error files; a render test's output folder
    std::filesystem::path saves;   // base/"Saves"
    std::filesystem::path world;   // the open world's folder
    bool worldOpen = false;
    uint32_t seed = 12345;
    std::u32string worldName = U"НОВЫЙ МИР";
    // Where a test collects the path of every shader file read; null in the game.
    std::vector<std::filesystem::path>* shaderReads = nullptr;
};

namespace content {

// The first of `start` and up to five ancestors that holds the player model and a shader directory
// (or whose "Game" folder does); else fallback/"Game" when that holds the model, else `fallback`.
std::filesystem::path gameRoot(const std::filesystem::path& start, const std::filesystem::path& fallback);
// gameRoot from the executable's directory.
std::filesystem::path executableDirectory(const std::filesystem::path& fallback);
// The fallback root of a development build: the source tree.
std::filesystem::path developmentRoot();

// Where shader `name` is read: root/"shaders" when it holds "cross.frag.spv", else
// root/"buildBB/shaders"; `overrideDir` (QUORVANE_TEST_SHADERS) replaces that; a directory without
// the file gives way to the development shader directory.
std::filesystem::path shaderPath(const std::filesystem::path& root, const std::optional<std::string>& overrideDir,
                                 const std::filesystem::path& developmentDir, const std::string& name);
std::filesystem::path developmentShaderDirectory();

// Reads a shader file whole as SPIR-V words. "Shader missing: <name>" when it cannot be opened;
// "Invalid shader: <name>" when it is empty, not a whole number of words or lacks the magic number.
std::vector<uint32_t> readShaderFile(const std::filesystem::path& path, const std::string& name);

}  // namespace content
