// Filling the world map as the player goes: the chunks around the player join the map of the
// current dimension a few a frame, edited chunks are recorded again, and a city whose walls an
// explored chunk touches becomes a marker.
#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "world/city.h"

namespace {

// Chunks around the player's own (a 5 x 5 square) count as explored.
constexpr int32_t kExploreRadius = 2;
// Recording a chunk reads its 32,768 cells; a few a frame keep the frame short.
constexpr int kChunksRecordedPerFrame = 2;

// The city rule's name cut to what a marker holds, at a character boundary.
std::string cityName(const voxel::StructureRule& rule, int32_t gx, int32_t gz) {
    std::string base = game::isValidMarkerName(rule.name) ? rule.name : "ГОРОД";
    const std::string suffix = " " + std::to_string(gx) + "," + std::to_string(gz);
    const std::size_t room = game::kMaxMarkerName - suffix.size();
    if (base.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
        base.resize(cut);
    }
    return base + suffix;
}

}  // namespace

void App::markCityOfChunk(const ChunkKey& key) {
    const voxel::StructureRule* rule = voxel::cityRule(world.profile.get());
    if (!rule || rule->spacing < voxel::minCitySpacing) return;
    const auto side = static_cast<int32_t>(rule->spacing);
    const int32_t x = key.first * 16 + 8, z = key.second * 16 + 8;
    const int32_t reach = voxel::cityHalfSide + 8;
    for (int32_t gz = voxel::floorDiv(z - reach, side); gz <= voxel::floorDiv(z + reach, side); ++gz)
        for (int32_t gx = voxel::floorDiv(x - reach, side); gx <= voxel::floorDiv(x + reach, side); ++gx) {
            const voxel::CitySite site = citySiteCached(gx, gz);
            if (!site.present || std::abs(site.x - x) > reach || std::abs(site.z - z) > reach) continue;
            game::addMarker(currentMap(), {site.x, std::clamp(site.y, 0, 127), site.z, game::kCityMarker,
                                           cityName(*rule, gx, gz)});
        }
}

void App::updateWorldMap() {
    if (!files.worldOpen) return;
    game::WorldMap& map = currentMap();
    const int32_t pcx = voxel::floorDiv(static_cast<int32_t>(std::floor(player.x)), 16);
    const int32_t pcz = voxel::floorDiv(static_cast<int32_t>(std::floor(player.z)), 16);
    for (int32_t dz = -kExploreRadius; dz <= kExploreRadius; ++dz)
        for (int32_t dx = -kExploreRadius; dx <= kExploreRadius; ++dx) {
            const ChunkKey key{pcx + dx, pcz + dz};
            if (!map.chunks.contains(key) && findChunk(key.first, key.second)) queueMapChunk(key, kMapChunkExplored);
        }
    MapViewState& view = maps.view;
    for (int recorded = 0; recorded < kChunksRecordedPerFrame && !view.queue.empty();) {
        const ChunkKey key = view.queue.front();
        view.queue.pop_front();
        const uint8_t reason = view.queued[key];
        view.queued.erase(key);
        const voxel::Chunk* chunk = findChunk(key.first, key.second);
        const bool explored = (reason & kMapChunkExplored) != 0;
        if (!chunk || (!explored && !map.chunks.contains(key))) continue;
        game::recordChunk(map, key, chunkMapColours(*chunk));
        if (explored) markCityOfChunk(key);
        ++recorded;
    }
}
