// The loaded world's record of its edits in a LAN session: each change of a cell's id or state is
// recorded and queued for the peers, and the record follows the player into another dimension. The
// chunk index rebuild (app/world_edits.cpp) puts the recorded cells back into chunks that load later.
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

namespace net {

bool rememberCell(ChangedCells& cells, int32_t x, int32_t y, int32_t z, const ChangedCell& cell,
                  std::size_t cap) {
    const auto found = cells.find({x, y, z});
    if (found != cells.end()) {
        found->second = cell;
        return true;
    }
    if (cells.size() >= cap) return false;
    cells.emplace(std::tuple{x, y, z}, cell);
    return true;
}

void followDimension(LanSession& lan, const std::string& dimension) {
    if (lan.cellsDimension == dimension) return;
    appendEditFrames(lan.connection.sendBuffer, lan.pendingEdits, lan.cellsDimension);
    lan.pendingEdits.clear();
    lan.changedCells.clear();
    lan.cellsDimension = dimension;
    lan.lastPoseSent = 0.0;
}

}  // namespace net
