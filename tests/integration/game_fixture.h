#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"
#include "support/xvfb.h"

namespace testsupport {

// A definition.json for the id in its own folder, with a texture and a small model beside it.
void writeResource(const std::filesystem::path& folder, const std::string& id, const std::string& type);

// Definitions of the items the built-in mobs drop, which start-up requires, written into a content
// folder of a run.
void writeMobDropItems(const std::filesystem::path& contentDir);

// A game installed into a temporary game root (the executable, its assets and the shaders),
// run there under a private X server, so that its files never touch the source tree.
class GameInstall {
   public:
    GameInstall();
    const std::filesystem::path& root() const { return root_; }
    // The private X server's ":<n>", for tools that drive the game's window.
    const std::string& display() const { return display_->display(); }
    RunResult run(RunOptions options) const;
    RunResult run(std::initializer_list<std::string> arguments) const;

   private:
    TempDir dir_;
    std::filesystem::path root_;
    std::filesystem::path executable_;
    std::unique_ptr<Xvfb> display_;
};

// Copies the game's own content pack into `contentDir`.
void copyShippedContent(const std::filesystem::path& contentDir);

}  // namespace testsupport
