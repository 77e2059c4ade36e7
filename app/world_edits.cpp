// The edits of the loaded world: the chunk index rebuild with the session's changed cells and the
// states of newly indexed chunks, block and state stores, the neighbours' block updates and the
// player's edit record.
#include <climits>
#include <stdexcept>

#include "app/app.h"
#include "audio/positional.h"
#include "save/chunk_file.h"
#include "world/block_registry.h"
#include "world/shapes.h"

namespace {

struct CellOffset {
    int32_t dx, dy, dz;
};

// The cell first, then its neighbours +x, -x, +y, -y, +z, -z.
const CellOffset updateOrder[7] = {{0, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0},
                                   {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};

// The chunk and its four side neighbours.
const CellOffset remeshAround[5] = {{0, 0, 0}, {-1, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 0, 1}};

// The effects of the player's edits, from the sound definitions.
constexpr const char* kPlaceSound = "core:block.place";
constexpr const char* kBreakSound = "core:block.break";

// Completed doors and reapplied session cells are alike on every peer: none of them is news to send.
class QuietEdits {
   public:
    explicit QuietEdits(LanSession& lan) : lan_(lan), previous_(lan.applyingEdit) { lan.applyingEdit = true; }
    ~QuietEdits() { lan_.applyingEdit = previous_; }
    QuietEdits(const QuietEdits&) = delete;
    QuietEdits& operator=(const QuietEdits&) = delete;

   private:
    LanSession& lan_;
    bool previous_;
};

bool insideHeight(int32_t y) {
    return y >= 0 && y < voxel::chunkHeight;
}

std::size_t localIndex(const voxel::Chunk& chunk, int32_t x, int32_t y, int32_t z) {
    return voxel::cellIndex(static_cast<uint32_t>(x - 16 * chunk.cx), static_cast<uint32_t>(y),
                            static_cast<uint32_t>(z - 16 * chunk.cz));
}

// Doors and beds list only their first half for the functional-block meshes.
bool drawnAsFunctional(uint8_t id, uint8_t state) {
    const int32_t kind = voxel::shapeKind(voxel::blockDef(id));
    if (kind == voxel::shapeNone) return false;
    const bool twoPart = kind == voxel::shapeDoor || kind == voxel::shapeBed;
    return !(twoPart && (state & voxel::stateUpper));
}

// The second cell that a placed door or bed fills, if any.
void addSecondHalf(BlockEdit& edit, const App& app, uint8_t id, uint8_t state) {
    if (id == voxel::airId) return;
    const int32_t kind = voxel::shapeKind(voxel::blockDef(id));
    if (kind != voxel::shapeDoor && kind != voxel::shapeBed) return;
    if (kind == voxel::shapeDoor) {
        edit.dy = 1;
    } else {
        const voxel::CellStep step = voxel::bedStep(state & voxel::stateFacing);
        edit.dx = step.dx;
        edit.dz = step.dz;
    }
    const int32_t sx = edit.x + edit.dx, sy = edit.y + edit.dy, sz = edit.z + edit.dz;
    // A new state for a standing block (a door opened) keeps to the halves it has: a lone lower
    // half never grows over the block above it.
    if (edit.ids[0] == id && app.blockAt(sx, sy, sz) != id) {
        edit.dx = edit.dy = edit.dz = 0;
        return;
    }
    edit.hasSecond = true;
    edit.secondIds[0] = app.blockAt(sx, sy, sz);
    edit.secondStates[0] = app.findBlockEntity(sx, sy, sz);
    edit.secondIds[1] = id;
    edit.secondStates[1] = state | voxel::stateUpper;
}

bool isDoor(uint8_t id) {
    return voxel::shapeKind(voxel::blockDef(id)) == voxel::shapeDoor;
}

bool hasValidState(const App& app, int32_t x, int32_t y, int32_t z) {
    const auto found = app.world.blockStates.find({x, y, z});
    return found != app.world.blockStates.end() && found->second.id == app.blockAt(x, y, z);
}

// A door saved or generated without its states: the lower half of a pair, the upper half over a
// lower one, or a lone lower half that grows its upper half into the air above.
void completeDoor(App& app, uint8_t id, int32_t x, int32_t y, int32_t z) {
    if (y > 0 && app.blockAt(x, y - 1, z) == id && !(app.findBlockEntity(x, y - 1, z) & voxel::stateUpper)) {
        app.setBlockState(x, y, z, voxel::stateUpper);
        return;
    }
    app.setBlockState(x, y, z, 0);
    if (y + 1 < voxel::chunkHeight && app.blockAt(x, y + 1, z) == voxel::airId) {
        app.setBlock(x, y + 1, z, id);
        app.setBlockState(x, y + 1, z, voxel::stateUpper);
    }
}

// Shaped cells without a valid state get one, in cell index order.
void completeShapedCells(App& app, const voxel::Chunk& chunk) {
    const int32_t x0 = 16 * chunk.cx, z0 = 16 * chunk.cz;
    for (int32_t y = 0; y < voxel::chunkHeight; ++y) {
        for (int32_t z = 0; z < 16; ++z) {
            for (int32_t x = 0; x < 16; ++x) {
                const uint8_t id = chunk.cells[voxel::cellIndex(x, y, z)];
                if (!app.world.shaped[id] || hasValidState(app, x0 + x, y, z0 + z)) continue;
                if (isDoor(id)) {
                    completeDoor(app, id, x0 + x, y, z0 + z);
                } else {
                    app.setBlockState(x0 + x, y, z0 + z, 0);
                }
            }
        }
    }
}

}  // namespace

void App::reindexChunks() {
    world.chunkMap.clear();
    for (std::size_t i = 0; i < world.chunks.size(); ++i) {
        world.chunkMap[{world.chunks[i].cx, world.chunks[i].cz}] = i;
    }
    const QuietEdits quiet(lan);
    for (voxel::Chunk& chunk : world.chunks) reapplyChangedCells(chunk);
    for (voxel::Chunk& chunk : world.chunks) registerChunkBlockEntities(chunk);
}

void App::reapplyChangedCells(voxel::Chunk& chunk) {
    if (!lan.started) return;
    net::followDimension(lan, dimension);
    const int32_t x0 = 16 * chunk.cx, z0 = 16 * chunk.cz;
    for (auto it = lan.changedCells.lower_bound({x0, INT32_MIN, INT32_MIN});
         it != lan.changedCells.end() && std::get<0>(it->first) < x0 + 16; ++it) {
        const auto [x, y, z] = it->first;
        if (z < z0 || z >= z0 + 16) continue;
        chunk.set(static_cast<uint32_t>(x - x0), static_cast<uint32_t>(y), static_cast<uint32_t>(z - z0),
                  it->second.id);
        // Through the state store, so that the chunk's states and the state map stay one record.
        setBlockState(x, y, z, it->second.state);
    }
}

voxel::Chunk App::readChunk(int32_t cx, int32_t cz) {
    try {
        return voxel::loadOrGenerateChunk(files.world, files.seed, generationStage, cx, cz, world.profile,
                                          filesave::heldChunkBytes(files.world, cx, cz));
    } catch (const std::runtime_error&) {
        // As for a streamed chunk: nothing of the world may be written over while the player may
        // still recover it, and the step that met the file closes the world.
        saves.readFailed = true;
        throw;
    }
}

void App::ensureChunkAt(int32_t x, int32_t z) {
    const int32_t cx = voxel::floorDiv(x, 16), cz = voxel::floorDiv(z, 16);
    if (findChunk(cx, cz)) return;
    world.chunks.push_back(readChunk(cx, cz));
    reindexChunks();
    world.relight.insert({cx, cz});
    world.remesh.insert({cx, cz});
}

bool App::setBlock(int32_t x, int32_t y, int32_t z, uint8_t id) {
    const int32_t cx = voxel::floorDiv(x, 16), cz = voxel::floorDiv(z, 16);
    voxel::Chunk* chunk = findChunk(cx, cz);
    if (!chunk || !insideHeight(y)) return false;
    const auto lx = static_cast<uint32_t>(x - 16 * cx), lz = static_cast<uint32_t>(z - 16 * cz);
    const uint8_t before = chunk->get(lx, static_cast<uint32_t>(y), lz);
    chunk->set(lx, static_cast<uint32_t>(y), lz, id);
    world.modified.insert({cx, cz});
    world.relight.insert({cx, cz});
    for (const CellOffset& side : remeshAround) {
        if (findChunk(cx + side.dx, cz + side.dz)) world.remesh.insert({cx + side.dx, cz + side.dz});
    }
    queueNeighbourUpdates(x, y, z);
    if (before != id) sendBlockEdit(x, y, z);
    queueMapChunk({cx, cz}, kMapChunkEdited);
    return true;
}

void App::queueMapChunk(const ChunkKey& key, uint8_t reason) {
    uint8_t& queued = maps.view.queued[key];
    if (queued == 0) maps.view.queue.push_back(key);
    queued |= reason;
}

bool App::setBlockState(int32_t x, int32_t y, int32_t z, uint8_t state) {
    const int32_t cx = voxel::floorDiv(x, 16), cz = voxel::floorDiv(z, 16);
    voxel::Chunk* chunk = findChunk(cx, cz);
    if (!chunk || !insideHeight(y)) return false;
    const uint8_t bits = state & voxel::storedStateBits;
    const std::size_t index = localIndex(*chunk, x, y, z);
    const uint8_t id = chunk->cells[index];
    const CellKey cell{x, y, z};
    const uint8_t before = findBlockEntity(x, y, z);
    if (bits == 0 && !world.shaped[id]) {
        world.blockStates.erase(cell);
    } else {
        world.blockStates[cell] = {id, bits};
    }
    if (bits != 0) chunk->ensureStates();
    if (!chunk->states.empty()) chunk->states[index] = bits;
    if (world.shaped[id] && drawnAsFunctional(id, bits)) {
        world.functionalCells[{cx, cz}].insert(cell);
    } else if (auto listed = world.functionalCells.find({cx, cz}); listed != world.functionalCells.end()) {
        listed->second.erase(cell);
    }
    // An opened door or a grown stage must reach the peers as much as a new block does.
    if (before != bits) sendBlockEdit(x, y, z);
    return true;
}

void App::queueNeighbourUpdates(int32_t x, int32_t y, int32_t z) {
    for (const CellOffset& step : updateOrder) queueCellUpdate(x + step.dx, y + step.dy, z + step.dz);
}

void App::editBlock(int32_t x, int32_t y, int32_t z, uint8_t id, uint8_t state) {
    applyEdit(x, y, z, id, state);
    saveActionFiles({.blocks = true});
}

void App::applyEdit(int32_t x, int32_t y, int32_t z, uint8_t id, uint8_t state) {
    BlockEdit edit;
    edit.x = x;
    edit.y = y;
    edit.z = z;
    edit.ids[0] = blockAt(x, y, z);
    edit.states[0] = findBlockEntity(x, y, z);
    edit.ids[1] = id;
    edit.states[1] = state;
    addSecondHalf(edit, *this, id, state);
    placeTwoPartBlock(edit, 1);
    world.undo.push_back(edit);
    world.redo.clear();  // what was taken back no longer follows from this history
    if (world.undo.size() > ChunkWindowState::kUndoLimit) world.undo.pop_front();
    if (blockAt(x, y, z) == id) {
        const audio::Listener ears{player.x, player.y, player.z, player.yaw};
        audio::playAt(mixer, id == voxel::airId ? kBreakSound : kPlaceSound, ears, x + 0.5, y + 0.5, z + 0.5);
    }
}

void App::placeTwoPartBlock(const BlockEdit& edit, uint8_t side) {
    const int s = side ? 1 : 0;
    // The second cell's chunk is read first: a file that cannot be read stops the edit before any
    // cell or flag has changed.
    if (edit.hasSecond) ensureChunkAt(edit.x + edit.dx, edit.z + edit.dz);
    // Both cells are set before either is sent, so a peer never sees half a door.
    const bool send = lan.networked && !lan.applyingEdit;
    if (send) lan.applyingEdit = true;
    setBlock(edit.x, edit.y, edit.z, edit.ids[s]);
    setBlockState(edit.x, edit.y, edit.z, static_cast<uint8_t>(edit.states[s]));
    const int32_t sx = edit.x + edit.dx, sy = edit.y + edit.dy, sz = edit.z + edit.dz;
    if (edit.hasSecond) {
        setBlock(sx, sy, sz, edit.secondIds[s]);
        setBlockState(sx, sy, sz, static_cast<uint8_t>(edit.secondStates[s]));
    }
    if (!send) return;
    lan.applyingEdit = false;
    sendBlockEdit(edit.x, edit.y, edit.z);
    if (edit.hasSecond) sendBlockEdit(sx, sy, sz);
}

void App::registerChunkBlockEntities(voxel::Chunk& chunk) {
    if (chunk.statesApplied) return;
    chunk.statesApplied = true;
    const int32_t x0 = 16 * chunk.cx, z0 = 16 * chunk.cz;
    for (auto it = world.blockStates.lower_bound({x0, INT32_MIN, INT32_MIN});
         it != world.blockStates.end() && std::get<0>(it->first) < x0 + 16; ++it) {
        const auto [x, y, z] = it->first;
        if (z < z0 || z >= z0 + 16 || y < 0 || y >= voxel::chunkHeight) continue;
        const std::size_t index = localIndex(chunk, x, y, z);
        if (chunk.cells[index] != it->second.id) continue;
        chunk.ensureStates();
        chunk.states[index] = it->second.state;
    }
    completeShapedCells(*this, chunk);
}
