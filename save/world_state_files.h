#pragma once
// The per-world save files beside world.txt. The binary ones are one record each (layout in
// binary_record.h: magic, u32 version, then the fields below, little-endian, nothing after them); the
// text ones begin with a version tag line. Decoders give nothing for a file that is not whole: short,
// another version, a count over its limit, bytes left over or a value out of range. Encoders refuse a
// collection over its count limit ("Cannot save <file>: <count> records, at most <limit>") and a mob's
// definition id over 256 bytes, which the decoders would refuse: a save never leaves such a file to
// keep its world from opening. On disk each file is followed by its check line (sealFile in
// save/save_set.h), which the App's writer adds and its reader checks before these decoders run.
//   blockstates.dat     "QVBS": u32 n (<= 1,048,576), n x {i32 x, y, z, u8 id, u8 state}
//   voxel_inventory.bin "QVIN": 9 hotbar, 27 main, 1 cursor, 4 armour slots, i32 selected (0..8);
//                       a slot is {u8 id, i32 count (0..65,535), i32 wear (>= 0)}
//   progression.dat     "QVPR" version 2: u32 level (1..50), u32 experience (below the next level's
//                       cost unless at level 50), 4 x u32 skill levels, 4 x u32 skill experience
//                       (each level as its experience gives it), u32 n (<= 65,536) explored regions,
//                       n x {dimension id, i32 region x, z}, u32 n (<= 1,024) discovered biomes, n x
//                       biome id; an id is u32 length (1..256) + bytes, each region and biome once.
//                       Version 1 (no regions, no biomes) is read and settled
//   adventure.dat       "QVAD": u64 copper (below 10^12), i32 reputation (0..1000), then the quest
//                       log: u32 n (<= 4,096) accepted, n x {quest id, i32 progress (>= 0),
//                       u8 target block, u32 dug at accepting, u8 has place (0 or 1), f64 place x, z};
//                       u32 n (<= 4,096) completed, n x quest id; u32 n (<= 256) dug counts,
//                       n x {u8 block id, u32 count}; a quest id is u32 length (1..256) + bytes.
//                       The earlier "QVQL" file is the quest log alone (no wallet, no reputation).
//   voxel_world.bin     "QVPL": f32 x, y, z, yaw, pitch, velocity x, y, z, spawn x, y, z,
//                       i32 health, 4 x i32 food, i32 air, f64 stamina, u8 third person, u8 flying;
//                       the flags 0 or 1, every real finite
//   drops.dat           "QVDI": u32 n (<= 65,536), n x {u8 id, i32 count (1..65,535), f32 x, y, z, phase}
//   arrows.dat          "QVAR": u32 n (<= 65,536), n x {f64 x, y, z, facing x, y, z}
//   machines.dat        "QVMA" version 2: u32 n (<= 65,536), n x {dimension id (u32 length + bytes, a
//                       resource id), i32 x, y, z, 3 slots, i32 burn remaining, smelt progress, burn
//                       total}; each dimension and cell once. Version 1 (no dimension ids) is read
//                       as the overworld's furnaces
//   voxel_chests.txt    text: the line "VXC073", a line with n (<= 65,536), then n lines of a
//                       dimension id (a resource id) and 84 whole numbers, split by single spaces:
//                       x y z and 27 slots as id count wear (the ranges of the inventory's slots);
//                       each dimension and cell once. The earlier "VXC072" text (lines without the
//                       dimension id) and binary "QVCH" file (u32 n, n x {i32 x, y, z, 27 slots})
//                       are read as the overworld's chests.
//   bed.dat             "QVBD": u8 has bed (0 or 1), i32 x, y, z
//   crops.dat           "QVCR": u32 n (<= 1,048,576), n x {i32 x, y, z, u64 world steps the crop has
//                       shown its stage}; kept as an age, since the world's step counter starts again
//   water.dat           "QVWA": u32 n (<= 1,048,576), n x {i32 x, y, z, u8 level (0..8)}
//   actors.dat          "QVAC": u32 next id, u32 n (<= 4,096), n x {u32 kind, u32 id, u32 length
//                       (<= 256) + definition id bytes, f64 x, y, z, yaw, half width, height,
//                       i32 health}
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adventure/player_standing.h"
#include "app/chunk_window_state.h"
#include "game/containers.h"
#include "game/dimension_cells.h"
#include "game/entities.h"
#include "game/machine.h"
#include "game/player_state.h"
#include "game/progression.h"
#include "world/chunk.h"

namespace filesave {

// The file names of a world folder. A file that was renamed keeps its earlier name in
// kEarlierFileNames: its reader takes the earlier file while the present one is absent, and the first
// save outside an autosave writes the present name and then removes the earlier file.
inline constexpr const char* kBlockStatesFile = "blockstates.dat";
inline constexpr const char* kInventoryFile = "voxel_inventory.bin";
inline constexpr const char* kPlayerFile = "voxel_world.bin";
inline constexpr const char* kDroppedItemsFile = "drops.dat";
inline constexpr const char* kArrowsFile = "arrows.dat";
inline constexpr const char* kMachinesFile = "machines.dat";
inline constexpr const char* kChestsFile = "voxel_chests.txt";
inline constexpr const char* kBedFile = "bed.dat";
inline constexpr const char* kActorsFile = "actors.dat";
inline constexpr const char* kProgressionFile = "progression.dat";
inline constexpr const char* kCropsFile = "crops.dat";
inline constexpr const char* kAdventureFile = "adventure.dat";
inline constexpr const char* kWaterFile = "water.dat";
inline constexpr const char* kGenerationFile = "generation.json";

struct EarlierFileName {
    const char* present;
    const char* earlier;
};
inline constexpr EarlierFileName kEarlierFileNames[] = {
    {kInventoryFile, "inventory.dat"},
    {kPlayerFile, "player.dat"},
    {kChestsFile, "chests.dat"},
    {kAdventureFile, "quests.dat"},
};
// The earlier name of a file, or null when it never had another.
const char* earlierFileName(std::string_view present);
// Removes each earlier file whose present file is in the folder. Called once a save is on the disk
// (for an action's save, by the background writer when it has landed): an autosave's files may still
// be on their way to the writer, and until a save has put the present file down the earlier one is
// only read when that one is absent.
void removeEarlierFiles(const std::filesystem::path& folder);

inline constexpr const char* kChestsTag = "VXC073";
inline constexpr const char* kEarlierChestsTag = "VXC072";

inline constexpr uint32_t kMaxBlockStates = 1u << 20;
inline constexpr uint32_t kMaxRecords = 1u << 16;
inline constexpr uint32_t kMaxActors = 4096;
inline constexpr uint32_t kMaxActorIdLength = 256;
inline constexpr int32_t kMaxStackCount = 65535;
inline constexpr uint8_t kMaxWaterLevel = voxel::maxWaterLevel;

struct InventoryRecord {
    Inventory inventory;
    std::array<InventorySlot, 4> armor{};
};

// The saved part of the player: pose, motion, spawn and survival values.
struct PlayerRecord {
    float x = 0, y = 0, z = 0, yaw = 0, pitch = 0;
    float velocityX = 0, velocityY = 0, velocityZ = 0;
    float spawnX = 0, spawnY = 0, spawnZ = 0;
    int32_t health = 0;
    std::array<int32_t, 4> food{};
    int32_t air = 0;
    double stamina = 0;
    bool thirdPerson = false;
    bool flying = false;
};

struct BedRecord {
    bool hasBed = false;
    int32_t x = 0, y = 0, z = 0;
};

struct ActorsRecord {
    uint32_t nextId = 1;
    std::vector<Mob> mobs;
};

std::string encodeBlockStates(const std::map<CellKey, StoredBlockState>& states);
std::optional<std::map<CellKey, StoredBlockState>> decodeBlockStates(const std::string& bytes);
std::string encodeInventory(const InventoryRecord& record);
std::optional<InventoryRecord> decodeInventory(const std::string& bytes);
std::string encodePlayer(const PlayerRecord& record);
std::optional<PlayerRecord> decodePlayer(const std::string& bytes);
std::string encodeDroppedItems(const std::vector<DroppedItem>& items);
std::optional<std::vector<DroppedItem>> decodeDroppedItems(const std::string& bytes);
std::string encodeArrows(const std::vector<Arrow>& arrows);
std::optional<std::vector<Arrow>> decodeArrows(const std::string& bytes);
// Encoders of records by dimension also refuse a dimension id that is no resource id
// (save/dimension_ids.h).
std::string encodeMachines(const CellsByDimension<Machine>& machines);
std::optional<CellsByDimension<Machine>> decodeMachines(const std::string& bytes);
std::string encodeChests(const CellsByDimension<ChestSlots>& chests);
std::optional<CellsByDimension<ChestSlots>> decodeChests(const std::string& bytes);
std::string encodeBed(const BedRecord& record);
std::optional<BedRecord> decodeBed(const std::string& bytes);
std::string encodeActors(const ActorsRecord& record);
std::optional<ActorsRecord> decodeActors(const std::string& bytes);
std::string encodeProgression(const Progression& progression);
std::optional<Progression> decodeProgression(const std::string& bytes);
// The adventure file: the player's standing with its quest log; the earlier quest log file reads as
// a standing with an empty wallet and no reputation.
std::string encodeAdventure(const adventure::PlayerStanding& standing);
std::optional<adventure::PlayerStanding> decodeAdventure(const std::string& bytes);
// Crop cell -> world steps it has shown its stage.
std::string encodeCrops(const std::map<CellKey, uint64_t>& ages);
std::optional<std::map<CellKey, uint64_t>> decodeCrops(const std::string& bytes);
std::string encodeWater(const std::map<CellKey, uint8_t>& levels);
std::optional<std::map<CellKey, uint8_t>> decodeWater(const std::string& bytes);

}  // namespace filesave
