// Writes the game's own content pack under the directory given as the only argument (the repository
// root; the current directory when none is given): every block and item in Content/blocks and
// Content/items with its definition.json, pictures and Blockbench model, and the recipe, potion,
// crop, loot, dimension, biome, structure and rule files beside them. The old Content/ is replaced.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/pack_json.h"
#include "tools/pack_models.h"
#include "tools/pack_resources.h"
#include "tools/pack_rules.h"
#include "tools/pack_textures.h"

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) throw std::runtime_error("Cannot write " + path.string());
}

void writeResource(const fs::path& content, const packgen::Resource& r) {
    const fs::path folder = content / r.folder;
    const std::string shortName = r.folder.substr(r.folder.find('/') + 1);
    packgen::Value definition = r.definition;
    packgen::Value textures = packgen::Value::array();
    for (const std::string& texture : r.textures) textures.push(texture + ".png");
    definition.set("textures", std::move(textures));
    if (!r.icon.empty()) definition.set("icon", r.icon + ".png");
    definition.set("model", shortName + ".bbmodel");
    writeText(folder / "definition.json", definition.write());
    writeText(folder / (shortName + ".bbmodel"),
              packgen::bbmodel(shortName, r.modelTextureNames(), r.elements, r.modelExtra).write());
    std::vector<std::string> painted;
    for (const std::string& texture : r.textures) {
        bool done = false;
        for (const std::string& p : painted) done = done || p == texture;
        if (done) continue;
        packgen::paintTexture(texture).write(folder / (texture + ".png"));
        painted.push_back(texture);
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::current_path();
        const fs::path content = root / "Content";
        fs::remove_all(content);
        const std::vector<packgen::Resource> resources = packgen::allResources();
        for (const packgen::Resource& r : resources) writeResource(content, r);
        for (const packgen::RuleFile& file : packgen::ruleFiles())
            writeText(content / file.path, file.json.write());
        std::cout << "Content pack: " << resources.size() << " blocks and items in " << content.string()
                  << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make_content_pack: " << e.what() << "\n";
        return 1;
    }
}
