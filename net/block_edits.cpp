// The host's block edits in a LAN session, applied under the apply guard and recorded so that the
// chunk index rebuild (app/world_edits.cpp) puts them back into chunks that load later.
#include <climits>
#include <stdexcept>

#include "app/app.h"
#include "world/block_registry.h"
#include "world/chunk.h"
#include "world/shapes.h"

namespace {

bool insideHeight(int32_t y) {
    return y >= 0 && y < voxel::chunkHeight;
}

// The cell that swings when a door or trapdoor opens: a trapdoor, or a door's lower half.
bool swings(uint8_t id, uint8_t state) {
    const int32_t kind = voxel::shapeKind(voxel::blockDef(id));
    return kind == voxel::shapeTrapdoor || (kind == voxel::shapeDoor && !(state & voxel::stateUpper));
}

}  // namespace

void App::applyRemoteEdits(const net::BlockEditsMessage& edits) {
    // Edits of another dimension come only from a host out of step with our travel: they are not ours.
    if (edits.dimension != dimension) return;
    for (const net::CellEdit& edit : edits.cells)
        if (!voxel::isValidBlockId(edit.id))
            throw std::runtime_error("the server sent the unknown block id " + std::to_string(edit.id));
    lan.applyingEdit = true;
    for (const net::CellEdit& edit : edits.cells) {
        if (!insideHeight(edit.y)) continue;
        net::rememberCell(lan.changedCells, edit.x, edit.y, edit.z, {edit.id, edit.state, edit.water});
        const CellKey cell{edit.x, edit.y, edit.z};
        const bool sameBlock = blockAt(edit.x, edit.y, edit.z) == edit.id;
        const uint8_t before = findBlockEntity(edit.x, edit.y, edit.z);
        const float angle = doorAngle(cell);
        if (!setBlock(edit.x, edit.y, edit.z, edit.id)) continue;  // not loaded: the rebuild applies it
        setBlockState(edit.x, edit.y, edit.z, edit.state);
        // A peer's door swings here as it does there, from where it stands now.
        if (sameBlock && swings(edit.id, edit.state) && ((before ^ edit.state) & voxel::stateOpen))
            world.movingDoors[cell] = angle;
        if (edit.id == voxel::waterId) {
            meshing.waterLevels[{edit.x, edit.y, edit.z}] = edit.water;
        } else {
            meshing.waterLevels.erase({edit.x, edit.y, edit.z});
        }
        meshing.waterLevelsChanged = true;
    }
    lan.applyingEdit = false;
}

