#pragma once
// Fitting a content model to an NPC or a mob: body parts of every vertex, the scale to the body
// height, the part pivots, and the NPC's rig with its clips bound by name.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "content/json.h"
#include "world/block_registry.h"

namespace content {
struct MobDef;
}

namespace adventure {

struct Npc;

// Part numbers of model vertices: 0 body, 1..3 the three model part names, then the legs.
inline constexpr uint32_t partLeftLeg = 4;
inline constexpr uint32_t partRightLeg = 5;

// Where the model of a content resource lives: its definition file and the parsed document.
struct ModelSource {
    std::filesystem::path definitionFile;  // empty when no definition.json names the id
    content::Json document;
};

// The first definition.json under contentDir (sorted path order) whose "id" is id, and the model
// document it names. Unreadable definitions are skipped.
ModelSource findModelSource(const std::filesystem::path& contentDir, const std::string& id);

// Element uuid -> part inherited from the outliner groups named after a part.
std::map<std::string, uint32_t> groupParts(const content::Json& document,
                                           const std::array<std::string, 3>& partNames);
// The part of one element object: its own name, a leg name, then its group's part.
uint32_t elementPart(const content::Json& element, const std::array<std::string, 3>& partNames,
                     const std::map<std::string, uint32_t>& groups);

struct ModelFit {
    double scale = 1.0;
    double centreX = 0.0;
    double centreZ = 0.0;
    double baseY = 0.0;
    double radius = 0.34;
};
// Scales the model's vertical extent to height and centres it on its footprint.
ModelFit fitModel(const std::vector<ModelVertex>& vertices, double height);
// Pivots of parts 1..3 (index part - 1) in fitted blocks: mean x and z; lowest y for the head,
// highest for the arms. A part without vertices keeps its pivot.
void fitPartPivots(const std::vector<ModelVertex>& vertices, const std::vector<uint32_t>& parts,
                   const ModelFit& fit, std::array<std::array<double, 3>, 3>& pivots);

// Fills the NPC's parts, fit, pivots, rig and clip indices from its model. Does nothing for an NPC
// without a model or a model id no definition names. Throws std::runtime_error.
void loadRig(Npc& npc, const std::filesystem::path& contentDir);

// The model fields of one mob definition (parts, bounds, scale, pivots of parts 0..5).
void prepareMobModel(content::MobDef& def, const std::filesystem::path& contentDir);

}  // namespace adventure
