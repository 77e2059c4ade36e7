#pragma once
// What the App keeps about the open world's save files.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "world/generation_profile.h"

// What one action of the player changed beyond the files that hold items (the inventory, the chests,
// the furnaces, the dropped items and the filled structure chests, which every action's save holds):
// App::saveActionFiles commits these with them as one save set.
struct ActionFiles {
    bool blocks = false;         // the changed chunks and the block states
    bool quests = false;         // the adventure and progression files
    bool player = false;         // food, health and where the player stands
    bool potionEffects = false;
};

struct SaveState {
    // The overworld profile the world was created with (generation.json); null until a world is
    // read or first generated.
    voxel::ProfilePtr profile;
    // The profile of each other dimension the world has met, by dimension id, stored beside it.
    std::map<std::string, voxel::ProfilePtr> dimensionProfiles;
    // Set when a save file of this world exists but could not be read whole: the writers then leave
    // every file alone, so the next save cannot replace what the player may still recover.
    bool readFailed = false;
    // One line per world folder that listWorlds left out, "<folder name>: <cause>", in folder
    // order; the world list says why it is empty from them.
    std::vector<std::string> worldListProblems;
};
