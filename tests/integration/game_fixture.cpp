#include "integration/game_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "support/content_pack.h"

namespace fs = std::filesystem;

namespace testsupport {

GameInstall::GameInstall() : root_(dir_.path() / "game") {
    const fs::path source = QUORVANE_SOURCE_TREE;
    fs::create_directories(root_);
    fs::copy(source / "Assets", root_ / "Assets", fs::copy_options::recursive);
    fs::create_directories(root_ / "buildBB" / "shaders");
    fs::copy(QUORVANE_SHADER_OUTPUT, root_ / "buildBB" / "shaders", fs::copy_options::recursive);
    executable_ = root_ / "buildBB" / "quorvane";
    fs::copy_file(QUORVANE_GAME_EXECUTABLE, executable_);
    fs::permissions(executable_, fs::perms::owner_exec, fs::perm_options::add);
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
