#include "fuzz_tree.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

#include "world/block_registry.h"

namespace fuzztree {

namespace {

class ScratchDir {
   public:
    ScratchDir() {
        // Memory-backed when the system has it: the loaders write and sync files on every input.
        std::error_code error;
        const std::filesystem::path shm = "/dev/shm";
        const auto base =
            std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
        std::string pattern = (base / "quorvane-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("Cannot create the fuzz scratch directory");
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

   private:
    std::filesystem::path path_;
};

void addResource(uint32_t id, const std::string& contentId, bool isBlock, bool solid, bool opaque,
                 int32_t durability = 0) {
    voxel::BlockDef def;
    def.id = contentId;
    def.name = contentId;
    def.isBlock = isBlock;
    def.solid = solid;
    def.opaque = opaque;
    def.durability = durability;
    voxel::registerBlock(id, def);
}

}  // namespace

const std::filesystem::path& scratchDir() {
    static const ScratchDir dir;
    return dir.path();
}

void clearScratch() {
    for (const auto& entry : std::filesystem::directory_iterator(scratchDir()))
        std::filesystem::remove_all(entry.path());
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("Cannot write fuzz input " + path.string());
}

std::vector<std::string_view> splitPieces(std::string_view input, std::size_t maxPieces) {
    std::vector<std::string_view> pieces;
    while (pieces.size() + 1 < maxPieces) {
        const std::size_t cut = input.find('\0');
        if (cut == std::string_view::npos) break;
        pieces.push_back(input.substr(0, cut));
        input.remove_prefix(cut + 1);
    }
    pieces.push_back(input);
    return pieces;
}

void writePieces(const std::filesystem::path& dir, const std::vector<std::string_view>& pieces,
                 const std::string& suffix) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string number = (i < 10 ? "0" : "") + std::to_string(i);
        writeFile(dir / (number + suffix), pieces[i]);
    }
}

void resetRegistry() {
    voxel::resetBlockRegistry();
    addResource(13, "test:stick", false, false, false);
    addResource(14, "test:flask", false, false, false);
    addResource(15, "test:tonic", false, false, false);
    addResource(16, "test:blade", false, false, false, 250);
    addResource(17, "test:seeds", false, false, false);
    addResource(18, "test:farmland", true, true, true);
    addResource(19, "test:fog", true, false, true);
    for (uint32_t stage = 0; stage < 9; ++stage)
        addResource(20 + stage, "test:sprout_" + std::to_string(stage), true, false, false);
    // The drops of the built-in mobs, which the mob loader requires.
    addResource(29, "core:raw_pork", false, false, false);
    addResource(30, "core:bone", false, false, false);
    addResource(31, "core:arrow", false, false, false);
}

std::filesystem::path contentFromPieces(std::string_view input, std::size_t maxPieces,
                                        const std::string& suffix) {
    clearScratch();
    resetRegistry();
    const std::filesystem::path content = scratchDir() / "Content";
    std::filesystem::create_directories(content);
    writePieces(content, splitPieces(input, maxPieces), suffix);
    return content;
}

}  // namespace fuzztree
