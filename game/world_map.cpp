#include "game/world_map.h"

#include <cstdlib>
#include <limits>

#include "world/chunk.h"

namespace game {

bool isValidMarkerName(const std::string& name) {
    if (name.empty() || name.size() > kMaxMarkerName) return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

namespace {

int64_t squaredDistance(const MapChunkKey& a, const MapChunkKey& b) {
    const int64_t dx = int64_t{a.first} - b.first, dz = int64_t{a.second} - b.second;
    return dx * dx + dz * dz;
}

bool samePlace(const MapMarker& a, const MapMarker& b) {
    if (a.kind != b.kind) return false;
    const int64_t reach = a.kind == kPortalMarker ? kSamePortalReach : 0;
    return std::llabs(int64_t{a.x} - b.x) <= reach && std::llabs(int64_t{a.y} - b.y) <= reach &&
           std::llabs(int64_t{a.z} - b.z) <= reach;
}

}  // namespace

void recordChunk(WorldMap& map, const MapChunkKey& key, const ChunkColours& colours) {
    auto found = map.chunks.find(key);
    if (found != map.chunks.end()) {
        if (found->second == colours) return;
        found->second = colours;
        map.dirty = true;
        return;
    }
    if (map.chunks.size() >= kMaxMapChunks) {
        auto farthest = map.chunks.begin();
        for (auto it = map.chunks.begin(); it != map.chunks.end(); ++it)
            if (squaredDistance(it->first, key) > squaredDistance(farthest->first, key)) farthest = it;
        map.chunks.erase(farthest);
    }
    map.chunks.emplace(key, colours);
    map.dirty = true;
}

bool addMarker(WorldMap& map, const MapMarker& marker) {
    if (marker.kind > kLastMarkerKind || !isValidMarkerName(marker.name)) return false;
    if (map.markers.size() >= kMaxMapMarkers) return false;
    for (const MapMarker& known : map.markers)
        if (samePlace(known, marker)) return false;
    map.markers.push_back(marker);
    map.dirty = true;
    return true;
}

uint32_t columnColour(const WorldMap& map, int32_t x, int32_t z) {
    const auto found = map.chunks.find({voxel::floorDiv(x, 16), voxel::floorDiv(z, 16)});
    if (found == map.chunks.end()) return 0;
    const int32_t lx = x - found->first.first * 16, lz = z - found->first.second * 16;
    return found->second[static_cast<std::size_t>(lz * 16 + lx)];
}

}  // namespace game
