#include "app/game_root.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "app/app.h"
#include "platform/environment.h"

namespace fs = std::filesystem;

namespace content {

namespace {

bool present(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

const fs::path kPlayerModel = fs::path("Assets") / "Models" / "Player" / "player.vxm";

}  // namespace

fs::path gameRoot(const fs::path& start, const fs::path& fallback) {
    fs::path dir = start;
    for (int level = 0; level < 6; ++level) {
        if (present(dir / kPlayerModel) && (present(dir / "shaders") || present(dir / "buildBB" / "shaders")))
            return dir;
        if (present(dir / "Game" / kPlayerModel) && present(dir / "Game" / "shaders")) return dir / "Game";
        dir = dir.parent_path();
    }
    if (present(fallback / "Game" / kPlayerModel)) return fallback / "Game";
    return fallback;
}

fs::path executableDirectory(const fs::path& fallback) {
    return gameRoot(platform::executablePath().parent_path(), fallback);
}

// A development build falls back to the tree it was built from.
fs::path developmentRoot() { return QUORVANE_SOURCE_ROOT; }
fs::path developmentShaderDirectory() { return QUORVANE_SHADER_BUILD_DIR; }

fs::path shaderPath(const fs::path& root, const std::optional<std::string>& overrideDir,
                    const fs::path& developmentDir, const std::string& name) {
    fs::path dir = present(root / "shaders" / "cross.frag.spv") ? root / "shaders" : root / "buildBB" / "shaders";
    if (overrideDir) dir = fs::path(*overrideDir);
    if (!present(dir / name)) dir = developmentDir;
    return dir / name;
}

std::vector<uint32_t> readShaderFile(const fs::path& path, const std::string& name) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("Shader missing: " + name);
    const std::streamoff size = in.tellg();
    constexpr uint32_t kSpirvMagic = 0x07230203;
    if (size <= 0 || size % 4 != 0) throw std::runtime_error("Invalid shader: " + name);
    std::vector<uint32_t> words(static_cast<size_t>(size) / 4);
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(words.data()), size) || words[0] != kSpirvMagic)
        throw std::runtime_error("Invalid shader: " + name);
    return words;
}

}  // namespace content

std::vector<uint32_t> App::loadShaderCode(const std::string& fileName) const {
    const fs::path path = content::shaderPath(files.root, platform::environmentValue("QUORVANE_TEST_SHADERS"),
                                              content::developmentShaderDirectory(), fileName);
    if (files.shaderReads) files.shaderReads->push_back(path);
    return content::readShaderFile(path, fileName);
}
