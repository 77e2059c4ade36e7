#pragma once
// Blockbench models: cube and mesh elements under the outliner's group pivots, turned into the
// textured triangles of a block, item or NPC model (pixels in, blocks out).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "content/json.h"
#include "models/float3.h"
#include "world/block_registry.h"

namespace content {

// Hostile documents can nest "groups" references without end; both limits fail with
// "Blockbench outliner is too deep".
inline constexpr uint32_t maxOutlinerDepth = 256;
inline constexpr uint32_t maxOutlinerNodes = 65536;
inline constexpr std::size_t maxModelVertices = 300000;
// Largest coordinate of a model vertex, blocks.
inline constexpr float maxModelCoordinate = 16.0f;

// One enclosing group: its "origin" (pixels) and "rotation" (degrees).
struct GroupPivot {
    Float3 origin{};
    Float3 rotation{};
};

// The groups enclosing an element, innermost first. Siblings share their enclosing links, so a wide
// outliner costs one link per group visited instead of one copy of the whole chain per element.
struct PivotLink {
    GroupPivot pivot;
    std::shared_ptr<const PivotLink> outer;  // null past the outermost group
    uint32_t depth = 1;                      // groups in the chain from here outwards
};
using PivotChain = std::shared_ptr<const PivotLink>;  // null: no enclosing group

// Element uuid -> its chain; an element the outliner never names has none.
using ElementChains = std::map<std::string, PivotChain>;

// The state of one outliner walk: the document's "groups" by uuid (the first entry of a uuid wins),
// the chains found so far and the nodes visited.
struct OutlinerWalk {
    std::map<std::string, const Json*> groups;
    ElementChains chains;
    uint32_t nodesVisited = 0;
};
// Indexes the document's "groups"; the document must outlive the walk.
OutlinerWalk startOutlinerWalk(const Json& document);

// The element's own pivot and rotation and its enclosing groups.
struct ElementPivots {
    Float3 origin{};
    Float3 rotation{};
    PivotChain chain;
};

// An outliner node's effective group: the node's members laid over the top-level "groups" entry of
// the same "uuid". Read through member() so that no group is copied.
struct GroupView {
    const Json* node = nullptr;
    const Json* group = nullptr;  // null when "groups" has no entry for the node
    bool isObject() const { return node->tag == JsonObject; }
    // The node's member when it has one, else the group's, else null.
    const Json& member(const std::string& key) const;
};

// Returns the part number of one element object (NPC rigs); empty for blocks and items.
using PartCallback = std::function<uint32_t(const Json& element)>;

// Appends the model's triangles to def's model vertices, sets the moving-parts flag, then reads the
// display settings and held animations. Throws std::runtime_error; vertices appended before a
// failure stay.
void loadBlockbenchModel(voxel::BlockDef& def, const Json& document, const PartCallback& partOf = {});

// Walks one outliner node: a string stores the chain as that element's chain; a group extends the
// chain and walks its "children".
void readOutlinerNode(const Json& node, const PivotChain& chain, OutlinerWalk& walk);
GroupView readModelGroups(const OutlinerWalk& walk, const Json& node);
// Texture index of a face, or -1 when the face is not drawn. A number of 2^31 or more saturates to
// INT32_MAX, which no texture list reaches.
int32_t readModelTextures(const Json& document, const Json& face);

struct TextureSize {
    float width = 16.0f;
    float height = 16.0f;
};
TextureSize readTextureResolution(const Json& document, int32_t texture);

// Element rotation X, Y, Z about its origin, then each group from the innermost outwards, then 1/16.
Float3 transformModelPoint(const ElementPivots& pivots, const Float3& point);
// An array of exactly three (non-numbers count 0); another kind gives fallback; another length
// fails with "Expected three coordinates".
Float3 readVec3(const Json& value, const Float3& fallback);

}  // namespace content
