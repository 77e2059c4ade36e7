// The per-world save files of the player, the inventory and the world's things, read at start-up in
// a fixed order and written by saveWorld and the single-file writers. Formats: world_state_files.h.
#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "app/app.h"
#include "platform/file_read.h"
#include "save/file_save.h"
#include "save/living_state_file.h"
#include "save/loot_state_file.h"
#include "save/potion_effects_file.h"
#include "save/save_set.h"
#include "save/world_state_files.h"

namespace fs = std::filesystem;

namespace {

constexpr uintmax_t kMaxSaveFileBytes = 64u << 20;

std::optional<std::string> readBounded(const fs::path& path) {
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxSaveFileBytes) return std::nullopt;
    return platform::readFileBytes(path);
}

// The file a reader takes: the present name, else the earlier name of a world saved before the
// file was renamed; empty when neither exists.
fs::path savedFilePath(const fs::path& world, const char* name) {
    if (fs::exists(world / name)) return world / name;
    const char* earlier = filesave::earlierFileName(name);
    if (earlier && fs::exists(world / earlier)) return world / earlier;
    return {};
}

// The files the sixteen readers take: each carries its own check line (save/save_set.h).
constexpr const char* kStateFiles[] = {
    filesave::kBlockStatesFile, filesave::kInventoryFile,  filesave::kProgressionFile,   filesave::kAdventureFile,
    filesave::kPlayerFile,      filesave::kPotionEffectsFile, filesave::kDroppedItemsFile, filesave::kArrowsFile,
    filesave::kMachinesFile,    filesave::kChestsFile,     filesave::kLootStateFile,     filesave::kBedFile,
    filesave::kCropsFile,       filesave::kWaterFile,      filesave::kActorsFile,        filesave::kLivingStateFile};

bool isStateFile(std::string_view name) {
    return std::find(std::begin(kStateFiles), std::end(kStateFiles), name) != std::end(kStateFiles);
}

}  // namespace

template <typename T>
std::optional<T> App::readSaveFile(const char* name, std::optional<T> (*decode)(const std::string&)) {
    const fs::path path = savedFilePath(files.world, name);
    if (path.empty()) return std::nullopt;
    const std::optional<std::string> bytes = readBounded(path);
    // A damaged byte anywhere fails the file's check, as a file cut short fails its reader.
    const std::optional<std::string> records = bytes ? filesave::unsealFile(*bytes) : std::nullopt;
    std::optional<T> value = records ? decode(*records) : std::nullopt;
    if (!value) {
        saves.readFailed = true;
        throw std::runtime_error("Unreadable save file, left as it is: " + path.string());
    }
    return value;
}

void App::writeSaveFile(const char* name, const std::string& bytes) {
    if (saves.readFailed) return;
    filesave::SaveSetScope set(files.world);
    {
        filesave::Output out(files.world / name);
        const std::string written = isStateFile(name) ? filesave::sealFile(bytes) : bytes;
        out.write(written.data(), static_cast<std::streamsize>(written.size()));
        out.finish();
    }
    if (set.commit()) filesave::removeEarlierFiles(files.world);
}

void App::loadBlockStates() {
    if (auto states = readSaveFile(filesave::kBlockStatesFile, filesave::decodeBlockStates))
        world.blockStates = std::move(*states);
}

void App::loadInventory() {
    if (auto record = readSaveFile(filesave::kInventoryFile, filesave::decodeInventory)) {
        inventory = record->inventory;
        player.armor = record->armor;
    }
}

void App::loadProgression() {
    if (auto progression = readSaveFile(filesave::kProgressionFile, filesave::decodeProgression))
        combat.progression = *progression;
}

void App::loadAdventure() {
    if (auto standing = readSaveFile(filesave::kAdventureFile, filesave::decodeAdventure))
        adventureState.standing = std::move(*standing);
}

void App::loadPlayer() {
    const auto r = readSaveFile(filesave::kPlayerFile, filesave::decodePlayer);
    if (!r) return;
    player.x = r->x, player.y = r->y, player.z = r->z;
    player.yaw = r->yaw, player.pitch = r->pitch;
    player.velocityX = r->velocityX, player.velocityY = r->velocityY, player.velocityZ = r->velocityZ;
    player.spawnX = r->spawnX, player.spawnY = r->spawnY, player.spawnZ = r->spawnZ;
    player.health = r->health;
    player.food = r->food;
    player.air = r->air;
    player.stamina = r->stamina;
    player.thirdPerson = r->thirdPerson;
    motion.flying = r->flying;
}

void App::loadDroppedItems() {
    if (auto items = readSaveFile(filesave::kDroppedItemsFile, filesave::decodeDroppedItems))
        entities.droppedItems = std::move(*items);
}

void App::loadArrows() {
    if (auto arrows = readSaveFile(filesave::kArrowsFile, filesave::decodeArrows)) {
        entities.arrows = std::move(*arrows);
        game::keepNewestArrows(entities.arrows);
    }
}

void App::loadMachines() {
    if (auto loaded = readSaveFile(filesave::kMachinesFile, filesave::decodeMachines)) machines = std::move(*loaded);
}

void App::loadChests() {
    if (auto chests = readSaveFile(filesave::kChestsFile, filesave::decodeChests))
        containers.chests = std::move(*chests);
}

void App::loadBedSpawn() {
    const auto bed = readSaveFile(filesave::kBedFile, filesave::decodeBed);
    if (!bed) return;
    hasBed = bed->hasBed;
    bedX = bed->x, bedY = bed->y, bedZ = bed->z;
}

void App::loadCrops() {
    const auto ages = readSaveFile(filesave::kCropsFile, filesave::decodeCrops);
    if (!ages) return;
    // The clock holds the step at which the stage began. The step counter restarts with the game,
    // so that step may lie "before" zero: unsigned wrap-around keeps clock.tick - start == age.
    for (const auto& [cell, age] : *ages) sim.crops.insert_or_assign(cell, clock.tick - age);
}

void App::loadWater() {
    const auto levels = readSaveFile(filesave::kWaterFile, filesave::decodeWater);
    if (!levels) return;
    for (const auto& [cell, level] : *levels) {
        meshing.waterLevels.insert_or_assign(cell, level);
        // Water that was flowing when the world was saved moves on: a chunk not loaded yet wakes
        // its flowing water when it arrives.
        const auto [x, y, z] = cell;
        queueCellUpdate(x, y, z);
    }
    meshing.waterLevelsChanged = true;
}

void App::loadActors() {
    auto record = readSaveFile(filesave::kActorsFile, filesave::decodeActors);
    if (!record) return;
    entities.mobs = std::move(record->mobs);
    // A new mob must never take the id of a loaded one, whatever the stored counter says.
    entities.nextMobId = record->nextId;
    for (const Mob& mob : entities.mobs) entities.nextMobId = std::max(entities.nextMobId, mob.id + 1);
}

void App::loadPotionEffects() {
    if (auto effects = readSaveFile(filesave::kPotionEffectsFile, filesave::decodePotionEffects))
        potionEffects = *effects;
}

void App::loadLootState() {
    if (auto state = readSaveFile(filesave::kLootStateFile, filesave::decodeLootState)) loot = std::move(*state);
}

void App::loadLivingState() {
    if (auto clocks = readSaveFile(filesave::kLivingStateFile, filesave::decodeLivingState)) livingClocks = *clocks;
}

std::span<const App::SaveReader> App::saveReaders() {
    static constexpr SaveReader kReaders[] = {
        &App::loadBlockStates, &App::loadInventory,     &App::loadProgression,  &App::loadAdventure,
        &App::loadPlayer,      &App::loadPotionEffects, &App::loadDroppedItems, &App::loadArrows,
        &App::loadMachines,    &App::loadChests,        &App::loadLootState,    &App::loadBedSpawn,
        &App::loadCrops,       &App::loadWater,         &App::loadActors,       &App::loadLivingState};
    return kReaders;
}

void App::loadSavedState() {
    for (const SaveReader read : saveReaders()) (this->*read)();
}

void App::saveInventory() {
    writeSaveFile(filesave::kInventoryFile, filesave::encodeInventory({inventory, player.armor}));
}

namespace {

std::string encodedPlayer(const App& app) {
    const PlayerState& p = app.player;
    return filesave::encodePlayer({p.x, p.y, p.z, p.yaw, p.pitch, p.velocityX, p.velocityY, p.velocityZ, p.spawnX,
                                   p.spawnY, p.spawnZ, p.health, p.food, p.air, p.stamina, p.thirdPerson,
                                   app.motion.flying});
}

}  // namespace

void App::savePlayer() { writeSaveFile(filesave::kPlayerFile, encodedPlayer(*this)); }

void App::saveMachines() { writeSaveFile(filesave::kMachinesFile, filesave::encodeMachines(machines)); }

std::vector<std::pair<const char*, std::string>> App::encodeWorldState() const {
    std::map<CellKey, uint64_t> cropAges;
    for (const auto& [cell, start] : sim.crops) cropAges.emplace_hint(cropAges.end(), cell, clock.tick - start);
    return {
        {filesave::kBlockStatesFile, filesave::encodeBlockStates(world.blockStates)},
        {filesave::kProgressionFile, filesave::encodeProgression(combat.progression)},
        {filesave::kAdventureFile, filesave::encodeAdventure(adventureState.standing)},
        {filesave::kPlayerFile, encodedPlayer(*this)},
        {filesave::kPotionEffectsFile, filesave::encodePotionEffects(potionEffects)},
        {filesave::kDroppedItemsFile, filesave::encodeDroppedItems(entities.droppedItems)},
        {filesave::kArrowsFile, filesave::encodeArrows(entities.arrows)},
        {filesave::kMachinesFile, filesave::encodeMachines(machines)},
        {filesave::kChestsFile, filesave::encodeChests(containers.chests)},
        {filesave::kLootStateFile, filesave::encodeLootState(loot)},
        {filesave::kBedFile, filesave::encodeBed({hasBed, bedX, bedY, bedZ})},
        {filesave::kCropsFile, filesave::encodeCrops(cropAges)},
        {filesave::kWaterFile, filesave::encodeWater(meshing.waterLevels)},
        {filesave::kActorsFile, filesave::encodeActors({entities.nextMobId, entities.mobs})},
        {filesave::kLivingStateFile, filesave::encodeLivingState(livingClocks)},
    };
}

void App::saveWorldState() {
    const auto stateFiles = encodeWorldState();
    filesave::SaveSetScope set(files.world);
    for (const auto& [name, bytes] : stateFiles) writeSaveFile(name, bytes);
    if (set.commit()) filesave::removeEarlierFiles(files.world);
}
