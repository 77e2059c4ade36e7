#pragma once
// The blocks and items of the content pack: definition keys, pictures and model of each.
#include <string>
#include <vector>

#include "tools/pack_json.h"
#include "tools/pack_models.h"

namespace packgen {

struct Resource {
    std::string folder;                  // "blocks/<name>" or "items/<name>" under Content
    Value definition = Value::object();  // every key but "textures", "icon" and "model"
    std::vector<std::string> textures;   // painter names in Blockbench order; files are <name>.png
    std::string icon;                    // painter name of the icon, empty for a painted-from-model icon
    std::vector<Element> elements;
    Value modelExtra = Value::object();  // display slots and held animations

    std::vector<std::string> modelTextureNames() const {
        std::vector<std::string> names;
        for (const std::string& t : textures) names.push_back(t + ".png");
        return names;
    }
};

std::vector<Resource> allResources();

}  // namespace packgen
