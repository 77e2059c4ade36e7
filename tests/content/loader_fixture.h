#pragma once
// A Content tree in a temporary directory and a small block and item registry for the rule and
// catalog loaders, which resolve every resource name through the registry.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "support/fresh_registry.h"
#include "support/temp_dir.h"
#include "world/block_registry.h"

namespace loadertest {

// Numeric ids of the resources the fixture registers.
enum FixtureId : std::uint8_t {
    stick = 13,     // plain item
    flask = 14,     // plain item, a potion
    tonic = 15,     // plain item, a second potion
    blade = 16,     // item with durability
    seeds = 17,     // plain item
    farmland = 18,  // solid, opaque block
    fog = 19,       // opaque, non-solid block
    sprout = 20,    // stage blocks: sprout .. sprout + 8, non-solid, non-opaque
};

inline void addResource(std::uint8_t id, const std::string& contentId, bool isBlock, bool solid, bool opaque,
                        std::int32_t durability = 0) {
    voxel::BlockDef def = testsupport::namedBlock(contentId);
    def.isBlock = isBlock;
    def.solid = solid;
    def.opaque = opaque;
    def.durability = durability;
    voxel::registerBlock(id, def);
}

class LoaderTest : public testsupport::FreshRegistryTest {
   protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        addResource(stick, "test:stick", false, false, false);
        addResource(flask, "test:flask", false, false, false);
        addResource(tonic, "test:tonic", false, false, false);
        addResource(blade, "test:blade", false, false, false, 250);
        addResource(seeds, "test:seeds", false, false, false);
        addResource(farmland, "test:farmland", true, true, true);
        addResource(fog, "test:fog", true, false, true);
        for (int stage = 0; stage < 9; ++stage) {
            addResource(static_cast<std::uint8_t>(sprout + stage), "test:sprout_" + std::to_string(stage),
                        true, false, false);
        }
        std::filesystem::create_directories(content());
    }
    std::filesystem::path content() const { return temp.path() / "Content"; }
    void write(const std::string& relative, const std::string& text) const {
        testsupport::writeFile(content() / relative, text);
    }
    std::string errors(const std::string& fileName) const {
        return testsupport::readFile(content() / fileName);
    }
    // The error line of a file: its path in UTF-8, ": " and the message.
    std::string lineFor(const std::string& relative, const std::string& message) const {
        return (content() / relative).string() + ": " + message + "\n";
    }

    // A file for one loader and the message it must be refused with ("" when it loads).
    struct FileCase {
        const char* file;
        std::string json;
        const char* message;
    };
    // Writes every case and returns the error lines of the refused ones, in order.
    std::string writeCases(std::span<const FileCase> cases) const {
        std::string expected;
        for (const FileCase& c : cases) {
            write(c.file, c.json);
            if (*c.message != '\0') expected += lineFor(c.file, c.message);
        }
        return expected;
    }

    testsupport::TempDir temp;
};

}  // namespace loadertest
