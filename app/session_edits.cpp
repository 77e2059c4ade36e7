// The loaded world's record of its edits in a LAN session: each change of a cell's id or state is
// recorded and queued for the peers, and the chunk index rebuild puts the recorded cells back into
// chunks that load later.
#include <climits>

#include "app/app.h"
#include "world/chunk.h"

namespace {

bool insideHeight(int32_t y) {
    return y >= 0 && y < voxel::chunkHeight;
}

}  // namespace

void App::sendBlockEdit(int32_t x, int32_t y, int32_t z) {
    if (!lan.networked || lan.applyingEdit || !insideHeight(y)) return;
    net::followDimension(lan, dimension);
    const auto water = meshing.waterLevels.find({x, y, z});
    const ChangedCell cell{blockAt(x, y, z), findBlockEntity(x, y, z),
                           water == meshing.waterLevels.end() ? uint8_t{0} : water->second};
    net::rememberCell(lan.changedCells, x, y, z, cell);
    if (!lan.authenticated) return;
    lan.pendingEdits.push_back({x, y, z, cell.id, cell.state, cell.water});
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
