#include <cmath>

#include "adventure/residents.h"
#include "app/app.h"

void App::prepareCities() {
    std::map<std::string, std::array<double, 3>>& positions = adventureState.npcPositions;
    std::erase_if(positions,
                  [](const auto& entry) { return entry.first != adventure::baseIdOf(entry.first); });
    std::erase_if(adventureState.npcMotion,
                  [](const auto& entry) { return entry.first != adventure::baseIdOf(entry.first); });
    std::set<std::string> npcIds;
    for (const adventure::Npc& npc : adventureState.catalog.npcs) npcIds.insert(npc.id);
    const voxel::GenerationContext context{files.seed, generationStage, world.profile};
    const int32_t x = static_cast<int32_t>(std::floor(player.x));
    const int32_t z = static_cast<int32_t>(std::floor(player.z));
    // The whole chunk window and a chunk beyond it.
    const int32_t reach = (chunkRadius + 1) * 16;
    for (const auto& [id, feet] : adventure::placeResidents(context, npcIds, x, z, reach)) {
        positions[id] = feet;
        adventureState.npcMotion[id].previous = feet;
    }
}

const adventure::Npc* App::findNpc(const std::string& id) const {
    for (const adventure::Npc& npc : adventureState.catalog.npcs) {
        if (npc.active && npc.id == id) return &npc;
    }
    return nullptr;
}
