#include "game/portals.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/app.h"
#include "world/block_registry.h"

namespace game {

namespace {

// Most chunks hold no portal block at all. A library search for each flagged id settles that far
// quicker than a look-up for every cell.
bool holdsAny(const std::vector<uint8_t>& cells, const std::array<bool, 256>& flagged) {
    for (std::size_t id = 0; id < flagged.size(); ++id)
        if (flagged[id] && std::memchr(cells.data(), static_cast<int>(id), cells.size())) return true;
    return false;
}

}  // namespace

void findPortals(const voxel::Chunk& chunk, const std::array<bool, 256>& isPortal, int32_t x, int32_t z,
                 int32_t radius, std::vector<PortalMarker>& out) {
    if (!holdsAny(chunk.cells, isPortal)) return;
    const int32_t baseX = chunk.cx * voxel::chunkSize, baseZ = chunk.cz * voxel::chunkSize;
    for (int32_t cy = 0; cy < voxel::chunkHeight; ++cy)
        for (int32_t cz = 0; cz < voxel::chunkSize; ++cz)
            for (int32_t cx = 0; cx < voxel::chunkSize; ++cx) {
                const uint8_t id = chunk.cells[voxel::cellIndex(cx, cy, cz)];
                if (!isPortal[id]) continue;
                if (std::abs(baseX + cx - x) > radius || std::abs(baseZ + cz - z) > radius) continue;
                out.push_back({{baseX + cx, cy, baseZ + cz}, id});
            }
}

}  // namespace game

// Looked for again once a second: the markers only show where portals stand.
void App::updatePortals() {
    if (!files.worldOpen) return;
    if (sim.portalsScanned && clock.tick - sim.portalScanTick < game::kPortalScanSteps) return;
    sim.portalsScanned = true;
    sim.portalScanTick = clock.tick;
    std::array<bool, 256> isPortal{};
    for (std::size_t id = 1; id < std::min<std::size_t>(voxel::blockCount(), 256); ++id)
        isPortal[id] = voxel::blockDef(static_cast<uint8_t>(id)).behavior == "portal";
    const auto px = static_cast<int32_t>(std::floor(player.x)), pz = static_cast<int32_t>(std::floor(player.z));
    const int32_t r = game::kPortalRadius;
    std::vector<PortalMarker> found;
    for (int32_t cx = voxel::floorDiv(px - r, 16); cx <= voxel::floorDiv(px + r, 16); ++cx)
        for (int32_t cz = voxel::floorDiv(pz - r, 16); cz <= voxel::floorDiv(pz + r, 16); ++cz)
            if (const voxel::Chunk* chunk = findChunk(cx, cz)) game::findPortals(*chunk, isPortal, px, pz, r, found);
    std::sort(found.begin(), found.end(), [](const PortalMarker& a, const PortalMarker& b) { return a.cell < b.cell; });
    // Each portal (a frame of portal blocks) becomes one marker of the current dimension's map.
    game::WorldMap& map = currentMap();
    for (const PortalMarker& portal : found) {
        const std::string& name = voxel::blockDef(portal.id).name;
        const auto [x, y, z] = portal.cell;
        game::addMarker(map, {x, y, z, game::kPortalMarker, game::isValidMarkerName(name) ? name : "ПОРТАЛ"});
    }
    sim.portals = std::move(found);
}
