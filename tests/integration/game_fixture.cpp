#include "integration/game_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "support/content_pack.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace testsupport {

void writeResource(const fs::path& folder, const std::string& id, const std::string& type) {
    const fs::path texture = fs::path(QUORVANE_SOURCE_TREE) / "Assets" / "Textures" / "Blocks" / "stone.png";
    fs::create_directories(folder);
    fs::copy_file(texture, folder / "texture.png", fs::copy_options::overwrite_existing);
    writeFile(folder / "model.bbmodel", R"({"elements": [{"from": [0, 0, 0], "to": [16, 16, 16],
        "faces": {"up": {"uv": [0, 0, 16, 16], "texture": 0}}}]})");
    writeFile(folder / "definition.json", R"({"id": ")" + id + R"(", "type": ")" + type +
                                              R"(", "textures": ["texture.png"], "model": "model.bbmodel"})");
}

void writeMobDropItems(const fs::path& contentDir) {
    for (const char* name : {"raw_pork", "bone", "arrow"}) {
        writeResource(contentDir / "mob_drops" / name, std::string("core:") + name, "item");
    }
}

GameInstall::GameInstall() : root_(dir_.path() / "game") {
    const fs::path source = QUORVANE_SOURCE_TREE;
    fs::create_directories(root_);
    fs::copy(source / "Assets", root_ / "Assets", fs::copy_options::recursive);
    // The install runs without the game's content pack, so its runs do not depend on it.
    writeMobDropItems(root_ / "Content");
    fs::create_directories(root_ / "buildBB" / "shaders");
    fs::copy(QUORVANE_SHADER_OUTPUT, root_ / "buildBB" / "shaders", fs::copy_options::recursive);
    executable_ = root_ / "buildBB" / "quorvane";
    fs::copy_file(QUORVANE_GAME_EXECUTABLE, executable_);
    fs::permissions(executable_, fs::perms::owner_exec, fs::perm_options::add);
    // The server program is built beside the game and found there.
    fs::copy_file(QUORVANE_SERVER_EXECUTABLE, root_ / "buildBB" / "quorvane-server");
    display_ = std::make_unique<Xvfb>();
}

RunResult GameInstall::run(RunOptions options) const {
    options.environment.emplace("DISPLAY", display_->display());
    const auto& unset = options.unset;
    if (std::find(unset.begin(), unset.end(), "QUORVANE_HEADLESS_CHECK") == unset.end())
        options.environment.emplace("QUORVANE_HEADLESS_CHECK", "");
    if (options.workingDirectory.empty()) options.workingDirectory = root_.string();
    return runProgram(executable_.string(), options);
}

void copyShippedContent(const fs::path& contentDir) {
    copyContentPack(fs::path(QUORVANE_SOURCE_TREE) / "Content", contentDir);
}

RunResult GameInstall::run(std::initializer_list<std::string> arguments) const {
    RunOptions options;
    options.arguments = arguments;
    return run(options);
}

}  // namespace testsupport
