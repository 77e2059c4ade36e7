#pragma once
// A Content tree of definition.json files with real textures and models in a temporary directory,
// loaded into a fresh block registry the way start-up loads it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "content/resource_ids.h"
#include "platform/image.h"
#include "support/fresh_registry.h"
#include "support/temp_dir.h"

namespace deftest {

// One cube filling the cell, every face drawn with texture 0.
inline const char* const cubeModel = R"({"elements": [{"from": [0, 0, 0], "to": [16, 16, 16], "faces": {
    "up": {"uv": [0, 0, 16, 16], "texture": 0}, "down": {"uv": [0, 0, 16, 16], "texture": 0},
    "north": {"uv": [0, 0, 16, 16], "texture": 0}, "south": {"uv": [0, 0, 16, 16], "texture": 0},
    "east": {"uv": [0, 0, 16, 16], "texture": 0}, "west": {"uv": [0, 0, 16, 16], "texture": 0}}}]})";

// A slab three pixels high and deep: fits the box of every panel kind at the default thickness.
inline const char* const panelModel = R"({"elements": [{"from": [0, 0, 0], "to": [16, 3, 3],
    "faces": {"up": {"uv": [0, 0, 16, 16], "texture": 0}}}]})";

inline void writePng(const std::filesystem::path& file, uint32_t width, uint32_t height) {
    std::filesystem::create_directories(file.parent_path());
    const std::vector<uint8_t> pixels(std::size_t{width} * height * 4, 200);
    platform::encodePng(file, width, height, pixels.data(), platform::PixelOrder::Rgba);
}

class DefinitionTest : public testsupport::FreshRegistryTest {
   protected:
    std::filesystem::path content() const { return dir.path() / "Content"; }
    std::filesystem::path idsFile() const { return dir.path() / "Saves" / "content_ids.txt"; }

    // A definition in its own folder beside a 16 x 16 "t.png", "u.png", "v.png" and the cube model
    // "m.bbmodel" and the panel model "low.bbmodel". `keys` are JSON members without braces; textures and
    // model are added unless `keys` names them.
    void define(const std::string& folder, const std::string& keys) const {
        const std::filesystem::path at = content() / folder;
        for (const char* texture : {"t.png", "u.png", "v.png"}) writePng(at / texture, 16, 16);
        testsupport::writeFile(at / "m.bbmodel", cubeModel);
        testsupport::writeFile(at / "low.bbmodel", panelModel);
        std::string json = "{" + keys;
        if (keys.find("\"textures\"") == std::string::npos) json += R"(, "textures": ["t.png"])";
        if (keys.find("\"model\"") == std::string::npos) json += R"(, "model": "m.bbmodel")";
        testsupport::writeFile(at / "definition.json", json + "}");
    }
    // Loads the tree into the registry; returns what went to the standard output stream.
    std::string load() {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        content::loadResources(content(), idsFile());
        stderrText = testing::internal::GetCapturedStderr();
        return testing::internal::GetCapturedStdout();
    }
    std::string errorFile() const { return testsupport::readFile(content() / "content_errors.txt"); }
    std::string lineFor(const std::string& folder, const std::string& message) const {
        return (content() / folder / "definition.json").string() + ": " + message + "\n";
    }

    testsupport::TempDir dir;
    std::string stderrText;
};

}  // namespace deftest
