#include "adventure/npc_rig.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "adventure/npc.h"
#include "content/asset_path.h"
#include "content/loading_frame.h"
#include "content/mobs.h"
#include "models/blockbench_model.h"
#include "models/rig.h"

namespace adventure {
namespace {

using content::Json;

constexpr double kUnbounded = 1000000000.0;
constexpr double kMinExtent = 0.01;
constexpr double kPivotLift = 0.01;
constexpr double kMinRadius = 0.15;
constexpr double kMaxRadius = 2.0;
constexpr double kRadiusMargin = 0.02;

// The parsed definition, or null when the file does not read or parse.
Json readDefinition(const std::filesystem::path& file) {
    try {
        return content::loadJsonFile(file, content::ContentFile::Definition);
    } catch (const std::exception&) {
        return {};
    }
}

void walkPartNode(const content::OutlinerWalk& walk, const Json& node, uint32_t part,
                  const std::array<std::string, 3>& partNames, std::map<std::string, uint32_t>& parts,
                  uint32_t depth, uint32_t& visited) {
    if (depth > content::maxOutlinerDepth || ++visited > content::maxOutlinerNodes)
        throw std::runtime_error("Blockbench outliner is too deep");
    if (node.tag == content::JsonString) {
        parts[node.text] = part;
        return;
    }
    const content::GroupView group = content::readModelGroups(walk, node);
    if (!group.isObject()) return;
    const std::string name = content::jsonStringOr(group.member("name"), "");
    for (uint32_t i = 0; i < partNames.size(); ++i)
        if (!partNames[i].empty() && name == partNames[i]) part = i + 1;
    for (const Json& child : group.member("children").items)
        walkPartNode(walk, child, part, partNames, parts, depth + 1, visited);
}

// z of "from" or "to"; an absent entry or a non-number counts 0.
double thirdCoordinate(const Json& element, const char* key) {
    const Json& vec = Json::find(element, key);
    if (vec.tag != content::JsonArray || vec.items.size() < 3) return 0.0;
    return Json::numberOr(vec.items[2], 0.0);
}

uint32_t legPart(const Json& element, const std::string& name) {
    if (name == "left_leg") return partLeftLeg;
    if (name == "right_leg") return partRightLeg;
    if (name != "leg" && name != "shoe") return 0;
    return thirdCoordinate(element, "from") + thirdCoordinate(element, "to") < 0.0 ? partLeftLeg
                                                                                   : partRightLeg;
}

// The model loaded again with every element tagged by its part.
voxel::BlockDef loadPartGeometry(const ModelSource& source, const voxel::BlockDef& registered,
                                 const std::array<std::string, 3>& partNames) {
    const std::map<std::string, uint32_t> groups = groupParts(source.document, partNames);
    voxel::BlockDef copy = registered;
    copy.modelVertices.clear();
    copy.behavior.clear();
    const content::PartCallback visitNode = [&](const Json& element) {
        return elementPart(element, partNames, groups);
    };
    content::loadBlockbenchModel(copy, source.document, visitNode);
    if (copy.modelVertices.size() != registered.modelVertices.size())
        throw std::runtime_error("NPC rig geometry mismatch");
    return copy;
}

std::vector<uint32_t> vertexPartsOf(const std::vector<ModelVertex>& vertices) {
    std::vector<uint32_t> parts;
    parts.reserve(vertices.size());
    for (const ModelVertex& vertex : vertices) parts.push_back(vertex.part);
    return parts;
}

int32_t bindClip(const bbanim::Rig& rig, const std::string& name) {
    if (name.empty()) return -1;
    for (std::size_t i = 0; i < rig.clips.size(); ++i)
        if (rig.clips[i].name == name) return static_cast<int32_t>(i);
    const auto rejected = rig.rejectedClips.find(name);
    if (rejected != rig.rejectedClips.end())
        throw std::runtime_error("NPC animation " + name + ": " + rejected->second);
    throw std::runtime_error("NPC animation not found: " + name);
}

bool hasAnimations(const Json& document) {
    const Json& animations = Json::find(document, "animations");
    return animations.tag == content::JsonArray && !animations.items.empty();
}

// Sums and extents of one part's vertices in fitted blocks.
struct PartSpan {
    double sumX = 0.0;
    double sumZ = 0.0;
    double lowY = std::numeric_limits<double>::infinity();
    double highY = -std::numeric_limits<double>::infinity();
    std::size_t count = 0;
};

void addToSpan(PartSpan& span, double x, double y, double z) {
    span.sumX += x;
    span.sumZ += z;
    span.lowY = std::min(span.lowY, y);
    span.highY = std::max(span.highY, y);
    ++span.count;
}

void fillMobPivots(content::MobDef& def, const voxel::BlockDef& block) {
    std::array<PartSpan, 6> spans{};
    const std::size_t count = std::min(block.modelVertices.size(), def.modelPartIndices.size());
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t part = def.modelPartIndices[i];
        const ModelVertex& v = block.modelVertices[i];
        if (part >= 1 && part <= 5) addToSpan(spans[part], v.x, v.y, v.z);
    }
    for (std::size_t p = 1; p < spans.size(); ++p) {
        const PartSpan& span = spans[p];
        if (span.count == 0) continue;
        const auto n = static_cast<double>(span.count);
        def.partPivots[p] = {span.sumX / n, span.highY, span.sumZ / n};
    }
}

void fillMobBounds(content::MobDef& def, const voxel::BlockDef& block) {
    for (std::size_t i = 0; i < 6; ++i) def.modelBounds[i] = block.modelBounds[i];
    const double dx = def.modelBounds[3] - def.modelBounds[0];
    const double dy = def.modelBounds[4] - def.modelBounds[1];
    const double dz = def.modelBounds[5] - def.modelBounds[2];
    def.modelScale =
        std::min(def.width / std::max({kMinExtent, dx, dz}), def.height / std::max(kMinExtent, dy));
}

}  // namespace

ModelSource findModelSource(const std::filesystem::path& contentDir, const std::string& id) {
    ModelSource source;
    for (const std::filesystem::path& file : content::findFilesNamed(contentDir, "definition.json")) {
        const Json definition = readDefinition(file);
        if (content::jsonStringOr(Json::find(definition, "id"), "") != id) continue;
        const std::string model = content::jsonStringOr(Json::find(definition, "model"), "");
        source.definitionFile = file;
        const std::filesystem::path modelFile = content::resolveAsset(file.parent_path(), model);
        content::requireFileSizeNamed(modelFile, content::fileSizeLimit(content::ContentFile::Model));
        source.document = content::loadJsonFile(modelFile, content::ContentFile::Model);
        return source;
    }
    return source;
}

std::map<std::string, uint32_t> groupParts(const Json& document,
                                           const std::array<std::string, 3>& partNames) {
    std::map<std::string, uint32_t> parts;
    const content::OutlinerWalk walk = content::startOutlinerWalk(document);
    uint32_t visited = 0;
    for (const Json& node : Json::find(document, "outliner").items)
        walkPartNode(walk, node, 0, partNames, parts, 0, visited);
    return parts;
}

uint32_t elementPart(const Json& element, const std::array<std::string, 3>& partNames,
                     const std::map<std::string, uint32_t>& groups) {
    const std::string name = content::jsonStringOr(Json::find(element, "name"), "");
    for (uint32_t i = 0; i < partNames.size(); ++i)
        if (!partNames[i].empty() && name == partNames[i]) return i + 1;
    if (const uint32_t leg = legPart(element, name); leg != 0) return leg;
    const auto found = groups.find(content::jsonStringOr(Json::find(element, "uuid"), ""));
    return found == groups.end() ? 0 : found->second;
}

ModelFit fitModel(const std::vector<ModelVertex>& vertices, double height) {
    std::array<double, 3> low{kUnbounded, kUnbounded, kUnbounded};
    std::array<double, 3> high{-kUnbounded, -kUnbounded, -kUnbounded};
    for (const ModelVertex& v : vertices) {
        const std::array<double, 3> p{v.x, v.y, v.z};
        for (std::size_t a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], p[a]);
            high[a] = std::max(high[a], p[a]);
        }
    }
    ModelFit fit;
    fit.scale = height / std::max(high[1] - low[1], kMinExtent);
    fit.centreX = (low[0] + high[0]) / 2.0;
    fit.centreZ = (low[2] + high[2]) / 2.0;
    fit.baseY = low[1];
    const double radius = std::hypot(high[0] - low[0], high[2] - low[2]) * 0.5 * fit.scale + kRadiusMargin;
    fit.radius = std::clamp(radius, kMinRadius, kMaxRadius);
    return fit;
}

void fitPartPivots(const std::vector<ModelVertex>& vertices, const std::vector<uint32_t>& parts,
                   const ModelFit& fit, std::array<std::array<double, 3>, 3>& pivots) {
    std::array<PartSpan, 3> spans{};
    const std::size_t count = std::min(vertices.size(), parts.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (parts[i] < 1 || parts[i] > 3) continue;
        const ModelVertex& v = vertices[i];
        addToSpan(spans[parts[i] - 1], (v.x - fit.centreX) * fit.scale,
                  (v.y - fit.baseY) * fit.scale + kPivotLift, (v.z - fit.centreZ) * fit.scale);
    }
    for (std::size_t p = 0; p < spans.size(); ++p) {
        const PartSpan& span = spans[p];
        if (span.count == 0) continue;
        const auto n = static_cast<double>(span.count);
        // The head hangs from its lowest point, the arms from their shoulders.
        pivots[p] = {span.sumX / n, p == 0 ? span.lowY : span.highY, span.sumZ / n};
    }
}

void loadRig(Npc& npc, const std::filesystem::path& contentDir) {
    if (npc.modelResource.empty()) return;
    const ModelSource source = findModelSource(contentDir, npc.modelResource);
    if (source.definitionFile.empty()) return;
    const voxel::BlockDef& registered = voxel::blockDef(voxel::findCustomBlock(npc.modelResource));
    const voxel::BlockDef geometry = loadPartGeometry(source, registered, npc.modelPartNames);
    const ModelFit fit = fitModel(geometry.modelVertices, npc.height);
    npc.modelScale = fit.scale;
    npc.modelCentreX = fit.centreX;
    npc.modelCentreZ = fit.centreZ;
    npc.modelBaseY = fit.baseY;
    npc.collisionRadius = fit.radius;
    npc.vertexParts = vertexPartsOf(geometry.modelVertices);
    fitPartPivots(geometry.modelVertices, npc.vertexParts, fit, npc.partPivots);
    if (hasAnimations(source.document)) npc.rig = bbanim::load(source.document, registered);
    for (std::size_t i = 0; i < npc.animationNames.size(); ++i)
        npc.animationClips[i] = bindClip(npc.rig, npc.animationNames[i]);
}

void prepareMobModel(content::MobDef& def, const std::filesystem::path& contentDir) {
    def.modelPartIndices.clear();
    def.partPivots = {};
    if (!def.modelResource.empty()) {
        Npc npc;
        npc.modelResource = def.modelResource;
        loadRig(npc, contentDir);
        def.modelPartIndices = std::move(npc.vertexParts);
    }
    const voxel::BlockDef& block = voxel::blockDef(voxel::findCustomBlock(def.modelResource));
    fillMobBounds(def, block);
    fillMobPivots(def, block);
}

}  // namespace adventure
