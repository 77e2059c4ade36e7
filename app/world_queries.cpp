// What movement, lighting, meshing, the world map and the save code ask of the loaded world, from
// the chunk lookup on, and the block-update queue that edits and the water reader fill.
#include <algorithm>

#include "app/app.h"
#include "world/block_registry.h"
#include "world/map_colour.h"
#include "world/shapes.h"

namespace {

struct Neighbour {
    int32_t dx, dy, dz;
};

const Neighbour lightNeighbours[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};

std::size_t localIndex(const voxel::Chunk& chunk, int32_t x, int32_t y, int32_t z) {
    return voxel::cellIndex(static_cast<uint32_t>(x - 16 * chunk.cx), static_cast<uint32_t>(y),
                            static_cast<uint32_t>(z - 16 * chunk.cz));
}

bool insideHeight(int32_t y) {
    return y >= 0 && y < voxel::chunkHeight;
}

}  // namespace

int32_t App::blockState(int32_t x, int32_t y, int32_t z) const {
    if (!findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16))) return 3;
    if (y < 0) return 2;
    const uint8_t id = blockAt(x, y, z);
    if (id == voxel::waterId) return 1;
    const voxel::BlockDef& def = voxel::blockDef(id);
    if (!def.solid) return 0;
    // Shaped blocks are thin: their collision is the shape's, not the cell's.
    return voxel::shapeKind(def) == voxel::shapeNone ? 2 : 0;
}

App::Light App::lightAt(int32_t x, int32_t y, int32_t z) const {
    if (y >= voxel::chunkHeight) return {1.0f, 0.0f};
    const voxel::Chunk* chunk = findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16));
    if (!chunk || y < 0) return {0.0f, 0.0f};
    const std::size_t index = localIndex(*chunk, x, y, z);
    const uint8_t own = chunk->lightByte(index);
    int32_t sky = own & 15, block = own >> 4;
    // An opaque cell holds no light of its own; it shows the brightest face around it.
    if (voxel::blockDef(chunk->cells[index]).opaque) {
        for (const Neighbour& step : lightNeighbours) {
            const int32_t nx = x + step.dx, ny = y + step.dy, nz = z + step.dz;
            const voxel::Chunk* near = findChunk(voxel::floorDiv(nx, 16), voxel::floorDiv(nz, 16));
            if (!near) continue;
            const uint8_t byte = ny >= voxel::chunkHeight ? 15 : ny < 0 ? 0 : near->lightByte(localIndex(*near, nx, ny, nz));
            sky = std::max(sky, byte & 15);
            block = std::max(block, byte >> 4);
        }
    }
    return {sky / 15.0f, block / 15.0f};
}

uint8_t App::findBlockEntity(int32_t x, int32_t y, int32_t z) const {
    const auto found = world.blockStates.find({x, y, z});
    if (found == world.blockStates.end() || blockAt(x, y, z) != found->second.id) return 0;
    return found->second.state;
}

voxel::CitySite App::citySiteCached(int32_t gx, int32_t gz) {
    // The context holds its own reference, so the profile outlives the computation.
    const voxel::GenerationContext context{files.seed, generationStage, world.profile};
    return world.citySites.site(context, gx, gz);
}

uint32_t App::blockColour(uint8_t id, int32_t y) const {
    return voxel::mapColour(id, y);
}

game::ChunkColours App::chunkMapColours(const voxel::Chunk& chunk) const {
    game::ChunkColours colours{};
    for (int32_t z = 0; z < voxel::chunkSize; ++z)
        for (int32_t x = 0; x < voxel::chunkSize; ++x) {
            int32_t y = voxel::chunkHeight - 1;
            while (y > 0 && chunk.cells[voxel::cellIndex(x, y, z)] == 0) --y;
            colours[static_cast<std::size_t>(z * voxel::chunkSize + x)] =
                blockColour(chunk.cells[voxel::cellIndex(x, y, z)], y);
        }
    return colours;
}

ChunkMesh& App::recordChunkMesh(uint64_t key, const MeshWork& work, render::SplitIndices& split) {
    const int32_t cx = voxel::chunkKeyX(key), cz = voxel::chunkKeyZ(key);
    ChunkMesh& mesh = world.meshes[key];
    const voxel::Chunk* chunk = findChunk(cx, cz);
    if (chunk) {
        world.columnHeights[{cx, cz}] = voxel::columnHeights(*chunk);
        ++world.heightsRevision;
    }
    // A mesh built on the spot was built from the chunk as it is now.
    mesh.opaque = work.opaque ? *work.opaque : chunk ? render::opaqueRows(*chunk) : render::OpaqueRows{};
    split = work.split ? *work.split
                       : render::splitChunkTriangles(work.vertices, work.indices, work.tied, atlases.cutOutMaterials);
    mesh.solidIndexCount = static_cast<uint32_t>(split.solid.size());
    mesh.plainIndexCount = split.plainIndexCount;
    mesh.plainGroups = split.plainGroups;
    mesh.waterIndexCount = static_cast<uint32_t>(split.water.size());
    mesh.bounds = render::meshBounds(work.vertices, cx, cz);
    return mesh;
}

void App::installChunkMesh(uint64_t key, const MeshWork& work) {
    render::SplitIndices split;
    ChunkMesh& mesh = recordChunkMesh(key, work, split);
    uploadBuffer(mesh.vertices, work.vertices.size() * sizeof(render::MeshVertex), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT,
                 work.vertices.data());
    uploadBuffer(mesh.solidIndices, split.solid.size() * 4, VK_BUFFER_USAGE_INDEX_BUFFER_BIT, split.solid.data());
    uploadBuffer(mesh.waterIndices, split.water.size() * 4, VK_BUFFER_USAGE_INDEX_BUFFER_BIT, split.water.data());
}

voxel::Chunk* App::findChunk(int32_t cx, int32_t cz) {
    const auto found = world.chunkMap.find({cx, cz});
    return found == world.chunkMap.end() ? nullptr : &world.chunks[found->second];
}

const voxel::Chunk* App::findChunk(int32_t cx, int32_t cz) const {
    const auto found = world.chunkMap.find({cx, cz});
    return found == world.chunkMap.end() ? nullptr : &world.chunks[found->second];
}

uint8_t App::blockAt(int32_t x, int32_t y, int32_t z) const {
    if (!insideHeight(y)) return voxel::airId;
    const voxel::Chunk* chunk = findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16));
    return chunk ? chunk->cells[localIndex(*chunk, x, y, z)] : voxel::airId;
}

void App::queueCellUpdate(int32_t x, int32_t y, int32_t z) {
    if (y < 1 || y >= voxel::chunkHeight) return;
    if (!findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16))) return;
    if (world.updateSet.insert({x, y, z}).second) world.updateQueue.push_back({x, y, z});
}
