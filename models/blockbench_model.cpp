#include "models/blockbench_model.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <stdexcept>

#include "content/text.h"
#include "models/display_settings.h"
#include "models/held_animations.h"

namespace content {
namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kPixelsToBlocks = 0.0625f;
constexpr float kMeshShade = 0.9f;
constexpr uint32_t kChestLidPart = 1;

// A cube face: its unit corners within the element box and, per corner, which entries of the "uv"
// rectangle (left 0, top 1, right 2, bottom 3) give u and v.
struct CubeFace {
    const char* name;
    float shade;
    std::array<Float3, 4> corners;
    std::array<std::array<int, 2>, 4> uvCorners;
};
constexpr std::array<std::array<int, 2>, 4> kFlatUv = {{{0, 1}, {0, 3}, {2, 3}, {2, 1}}};
constexpr std::array<std::array<int, 2>, 4> kSideUv = {{{0, 3}, {2, 3}, {2, 1}, {0, 1}}};
const std::array<CubeFace, 6> kCubeFaces = {{
    {"up", 1.0f, {{{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}}, kFlatUv},
    {"down", 0.53f, {{{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}}}, kFlatUv},
    {"north", 0.77f, {{{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}}}, kSideUv},
    {"south", 0.77f, {{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}}, kSideUv},
    {"east", 0.66f, {{{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}}}, kSideUv},
    {"west", 0.66f, {{{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}}, kSideUv},
}};
constexpr std::array<int, 6> kQuadTriangles = {0, 1, 2, 0, 2, 3};

std::runtime_error outlinerTooDeep() {
    return std::runtime_error("Blockbench outliner is too deep");
}

// Exactly count entries (non-numbers count 0), else nothing.
template <std::size_t count>
std::optional<std::array<float, count>> readNumbers(const Json& value) {
    if (value.tag != JsonArray || value.items.size() != count) return std::nullopt;
    std::array<float, count> numbers{};
    for (std::size_t i = 0; i < count; ++i) numbers[i] = toFloat(Json::numberOr(value.items[i], 0.0));
    return numbers;
}

// About X, then Y, then Z, by angles in degrees.
Float3 rotateXyz(Float3 p, const Float3& degrees) {
    const float ax = degrees[0] * kDegreesToRadians, ay = degrees[1] * kDegreesToRadians,
                az = degrees[2] * kDegreesToRadians;
    p = {p[0], p[1] * std::cos(ax) - p[2] * std::sin(ax), p[1] * std::sin(ax) + p[2] * std::cos(ax)};
    p = {p[0] * std::cos(ay) + p[2] * std::sin(ay), p[1], p[2] * std::cos(ay) - p[0] * std::sin(ay)};
    return {p[0] * std::cos(az) - p[1] * std::sin(az), p[0] * std::sin(az) + p[1] * std::cos(az), p[2]};
}

Float3 rotateAbout(const Float3& p, const Float3& pivot, const Float3& degrees) {
    const Float3 turned = rotateXyz({p[0] - pivot[0], p[1] - pivot[1], p[2] - pivot[2]}, degrees);
    return {turned[0] + pivot[0], turned[1] + pivot[1], turned[2] + pivot[2]};
}

bool isHidden(const Json& element) {
    const Json& exported = Json::find(element, "export");
    const Json& visible = Json::find(element, "visibility");
    return (exported.tag == JsonBool && !exported.boolean) || (visible.tag == JsonBool && !visible.boolean);
}

// A chest's lid and latch open together. An unnamed element never matches, whatever the names are.
uint32_t chestPart(const voxel::BlockDef& def, const Json& element) {
    const std::string name = jsonStringOr(Json::find(element, "name"), "");
    if (name.empty()) return 0;
    return name == def.lid_part || name == def.latch_part ? kChestLidPart : 0;
}

uint32_t elementPart(const voxel::BlockDef& def, const Json& element, const PartCallback& partOf) {
    if (partOf) return partOf(element);
    return def.behavior == "chest" ? chestPart(def, element) : 0;
}

// One element's share of the model: where its points go and what its vertices carry.
struct ElementEmitter {
    voxel::BlockDef& def;
    ElementPivots pivots;
    uint32_t part = 0;

    void append(const Float3& pixelPoint, float u, float v, int32_t texture, float shade) const {
        if (static_cast<std::size_t>(texture) >= def.textures.size())
            throw std::runtime_error("Model references a texture absent from definition.json");
        const Float3 p = transformModelPoint(pivots, pixelPoint);
        for (float c : p) {
            if (!(std::fabs(c) <= maxModelCoordinate))
                throw std::runtime_error("Model coordinates exceed supported bounds");
        }
        def.modelVertices.push_back({p[0], p[1], p[2], u, v, texture, shade, part});
        if (def.modelVertices.size() > maxModelVertices)
            throw std::runtime_error("Model exceeds 100000 triangles");
    }
};

// The face's quarter turns 0..3; reduced in double so that no angle overflows an integer.
int quarterTurns(const Json& face) {
    const double degrees = Json::numberOr(Json::find(face, "rotation"), 0.0);
    if (!std::isfinite(degrees)) return 0;
    double turns = std::fmod(std::trunc(std::trunc(degrees) / 90.0), 4.0);
    if (turns < 0.0) turns += 4.0;
    return static_cast<int>(turns);
}

void emitCubeFace(const ElementEmitter& out, const Json& document, const CubeFace& shape, const Json& face,
                  const Float3& from, const Float3& to) {
    const int32_t texture = readModelTextures(document, face);
    if (texture < 0) return;
    const TextureSize size = readTextureResolution(document, texture);
    const auto rectangle = readNumbers<4>(Json::find(face, "uv"));
    if (!rectangle) throw std::runtime_error("Cube face UV rectangle is missing");
    const std::array<float, 4> uv = {(*rectangle)[0] / size.width, (*rectangle)[1] / size.height,
                                     (*rectangle)[2] / size.width, (*rectangle)[3] / size.height};
    const int turns = quarterTurns(face);
    for (int k : kQuadTriangles) {
        Float3 corner;
        for (int axis = 0; axis < 3; ++axis)
            corner[axis] = from[axis] + (to[axis] - from[axis]) * shape.corners[k][axis];
        const std::array<int, 2>& uvCorner = shape.uvCorners[(k + turns) % 4];
        out.append(corner, uv[uvCorner[0]], uv[uvCorner[1]], texture, shape.shade);
    }
}

void emitCube(const ElementEmitter& out, const Json& document, const Json& element) {
    const Float3 from = readVec3(Json::find(element, "from"), {0.0f, 0.0f, 0.0f});
    const Float3 to = readVec3(Json::find(element, "to"), {16.0f, 16.0f, 16.0f});
    const Json& faces = Json::find(element, "faces");
    for (const CubeFace& shape : kCubeFaces)
        emitCubeFace(out, document, shape, Json::find(faces, shape.name), from, to);
}

void emitMeshCorner(const ElementEmitter& out, const Json& element, const Json& face, const Json& key,
                    int32_t texture, const TextureSize& size) {
    const std::string name = jsonStringOr(key, "");
    const auto position = readNumbers<3>(Json::find(Json::find(element, "vertices"), name));
    const auto uv = readNumbers<2>(Json::find(Json::find(face, "uv"), name));
    if (!position || !uv) throw std::runtime_error("Mesh vertex or UV is missing");
    // Mesh vertices are relative to the element origin.
    const Float3& origin = out.pivots.origin;
    const Float3 point = {(*position)[0] + origin[0], (*position)[1] + origin[1], (*position)[2] + origin[2]};
    out.append(point, (*uv)[0] / size.width, (*uv)[1] / size.height, texture, kMeshShade);
}

void emitMeshFace(const ElementEmitter& out, const Json& document, const Json& element, const Json& face) {
    const int32_t texture = readModelTextures(document, face);
    if (texture < 0) return;
    const TextureSize size = readTextureResolution(document, texture);
    const Json& keys = Json::find(face, "vertices");
    if (keys.tag != JsonArray) return;
    for (std::size_t i = 1; i + 1 < keys.items.size(); ++i) {
        for (std::size_t corner : {std::size_t{0}, i, i + 1})
            emitMeshCorner(out, element, face, keys.items[corner], texture, size);
    }
}

void emitMesh(const ElementEmitter& out, const Json& document, const Json& element) {
    for (const auto& [key, face] : Json::find(element, "faces").members)
        emitMeshFace(out, document, element, face);
}

void readElement(voxel::BlockDef& def, const Json& document, const Json& element, const ElementChains& chains,
                 const PartCallback& partOf) {
    if (isHidden(element)) return;
    const std::string type = jsonStringOr(Json::find(element, "type"), "cube");
    ElementEmitter out{def, {}, 0};
    out.pivots.origin = readVec3(Json::find(element, "origin"), {0.0f, 0.0f, 0.0f});
    out.pivots.rotation = readVec3(Json::find(element, "rotation"), {0.0f, 0.0f, 0.0f});
    const auto chain = chains.find(jsonStringOr(Json::find(element, "uuid"), ""));
    if (chain != chains.end()) out.pivots.chain = chain->second;
    out.part = elementPart(def, element, partOf);
    if (out.part != 0) def.movingParts = true;
    if (type == "cube") {
        emitCube(out, document, element);
    } else if (type == "mesh") {
        emitMesh(out, document, element);
    } else {
        throw std::runtime_error("Unsupported Blockbench element type: " + type);
    }
}

// The first texture whose "uuid" is uuid.
std::optional<int32_t> findTexture(const Json& document, const std::string& uuid) {
    const Json& textures = Json::find(document, "textures");
    if (textures.tag != JsonArray) return std::nullopt;
    for (std::size_t i = 0; i < textures.items.size(); ++i) {
        const Json& own = Json::find(textures.items[i], "uuid");
        if (own.tag == JsonString && own.text == uuid) return static_cast<int32_t>(i);
    }
    return std::nullopt;
}

ElementChains readOutliner(const Json& document) {
    OutlinerWalk walk = startOutlinerWalk(document);
    const Json& outliner = Json::find(document, "outliner");
    if (outliner.tag == JsonArray) {
        for (const Json& node : outliner.items) readOutlinerNode(node, nullptr, walk);
    }
    return std::move(walk.chains);
}

}  // namespace

const Json& GroupView::member(const std::string& key) const {
    const Json& own = Json::find(*node, key);
    if (own.tag != JsonNull || group == nullptr || node->members.count(key) != 0) return own;
    return Json::find(*group, key);
}

void loadBlockbenchModel(voxel::BlockDef& def, const Json& document, const PartCallback& partOf) {
    const Json& elements = Json::find(document, "elements");
    if (elements.tag != JsonArray) throw std::runtime_error("Blockbench elements are missing");
    const ElementChains chains = readOutliner(document);
    for (const Json& element : elements.items) readElement(def, document, element, chains, partOf);
    if (def.modelVertices.empty()) throw std::runtime_error("Model has no textured faces");
    readFirstPersonDisplay(def, document);
    readThirdPersonDisplay(def, document);
    bbanim::loadHeldAnimations(def, document);
}

OutlinerWalk startOutlinerWalk(const Json& document) {
    OutlinerWalk walk;
    const Json& groups = Json::find(document, "groups");
    if (groups.tag != JsonArray) return walk;
    for (const Json& group : groups.items) {
        const Json& uuid = Json::find(group, "uuid");
        if (group.tag == JsonObject && uuid.tag == JsonString) walk.groups.emplace(uuid.text, &group);
    }
    return walk;
}

void readOutlinerNode(const Json& node, const PivotChain& chain, OutlinerWalk& walk) {
    if (++walk.nodesVisited > maxOutlinerNodes) throw outlinerTooDeep();
    if (node.tag == JsonString) {
        walk.chains[node.text] = chain;
        return;
    }
    const GroupView group = readModelGroups(walk, node);
    if (!group.isObject()) return;
    const uint32_t depth = chain ? chain->depth + 1 : 1;
    if (depth > maxOutlinerDepth) throw outlinerTooDeep();
    const GroupPivot pivot{readVec3(group.member("origin"), {0.0f, 0.0f, 0.0f}),
                           readVec3(group.member("rotation"), {0.0f, 0.0f, 0.0f})};
    const PivotChain extended = std::make_shared<const PivotLink>(PivotLink{pivot, chain, depth});
    const Json& children = group.member("children");
    if (children.tag != JsonArray) return;
    for (const Json& child : children.items) readOutlinerNode(child, extended, walk);
}

GroupView readModelGroups(const OutlinerWalk& walk, const Json& node) {
    GroupView view{&node, nullptr};
    const Json& uuid = Json::find(node, "uuid");
    if (node.tag != JsonObject || uuid.tag != JsonString) return view;
    const auto found = walk.groups.find(uuid.text);
    if (found != walk.groups.end()) view.group = found->second;
    return view;
}

int32_t readModelTextures(const Json& document, const Json& face) {
    const Json& reference = Json::find(face, "texture");
    if (reference.tag == JsonNumber) return reference.number < 0.0 ? -1 : truncateToInt32(reference.number);
    if (reference.tag != JsonString || reference.text.empty()) return -1;
    if (reference.text[0] == '#') return parseInt(reference.text.substr(1));
    const std::optional<int32_t> index = findTexture(document, reference.text);
    if (!index) throw std::runtime_error("Unknown model texture reference");
    return *index;
}

TextureSize readTextureResolution(const Json& document, int32_t texture) {
    const Json& resolution = Json::find(document, "resolution");
    double width = Json::numberOr(Json::find(resolution, "width"), 16.0);
    double height = Json::numberOr(Json::find(resolution, "height"), 16.0);
    const Json& textures = Json::find(document, "textures");
    if (textures.tag == JsonArray && texture >= 0 &&
        static_cast<std::size_t>(texture) < textures.items.size()) {
        const Json& own = textures.items[static_cast<std::size_t>(texture)];
        width = Json::numberOr(Json::find(own, "width"), width);
        height = Json::numberOr(Json::find(own, "height"), height);
    }
    // Checked after narrowing: a width too small for a float would divide by zero.
    const TextureSize size{toFloat(width), toFloat(height)};
    if (!(size.width > 0.0f) || !(size.height > 0.0f)) throw std::runtime_error("Invalid texture resolution");
    return size;
}

Float3 transformModelPoint(const ElementPivots& pivots, const Float3& point) {
    Float3 p = rotateAbout(point, pivots.origin, pivots.rotation);
    for (const PivotLink* link = pivots.chain.get(); link != nullptr; link = link->outer.get())
        p = rotateAbout(p, link->pivot.origin, link->pivot.rotation);
    return {p[0] * kPixelsToBlocks, p[1] * kPixelsToBlocks, p[2] * kPixelsToBlocks};
}

Float3 readVec3(const Json& value, const Float3& fallback) {
    if (value.tag != JsonArray) return fallback;
    const auto numbers = readNumbers<3>(value);
    if (!numbers) throw std::runtime_error("Expected three coordinates");
    return *numbers;
}

}  // namespace content
