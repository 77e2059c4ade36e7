#include "save/world_state_files.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "save/binary_record.h"
#include "save/dimension_ids.h"

namespace filesave {

namespace {

constexpr uint32_t kVersion = 1;
constexpr uint32_t kProgressionVersion = 2;
constexpr uint32_t kMachinesVersion = 2;
constexpr std::size_t kSlotBytes = 9;
constexpr std::size_t kCellBytes = 12;

void putSlot(ByteWriter& out, const InventorySlot& slot) {
    out.put(slot.id);
    out.put(slot.count);
    out.put(slot.wear);
}

InventorySlot getSlot(ByteReader& in) {
    InventorySlot slot{in.get<uint8_t>(), in.get<int32_t>(), in.get<int32_t>()};
    if (slot.count < 0 || slot.count > kMaxStackCount || slot.wear < 0) in.refuse();
    return slot;
}

template <std::size_t N>
void putSlots(ByteWriter& out, const std::array<InventorySlot, N>& slots) {
    for (const InventorySlot& slot : slots) putSlot(out, slot);
}

template <std::size_t N>
void getSlots(ByteReader& in, std::array<InventorySlot, N>& slots) {
    for (InventorySlot& slot : slots) slot = getSlot(in);
}

void putCell(ByteWriter& out, const CellKey& cell) {
    out.put(std::get<0>(cell));
    out.put(std::get<1>(cell));
    out.put(std::get<2>(cell));
}

CellKey getCell(ByteReader& in) {
    const int32_t x = in.get<int32_t>();
    const int32_t y = in.get<int32_t>();
    return {x, y, in.get<int32_t>()};
}

// A float or double that must be finite: NaN or infinity would poison the physics.
template <typename T>
T getFinite(ByteReader& in) {
    const T value = in.get<T>();
    if (!std::isfinite(value)) in.refuse();
    return value;
}

bool getFlag(ByteReader& in) {
    const uint8_t flag = in.get<uint8_t>();
    if (flag > 1) in.refuse();
    return flag == 1;
}

template <typename T>
std::optional<T> wholeOrNothing(const ByteReader& in, T value) {
    if (!in.whole()) return std::nullopt;
    return value;
}

// A file that its own reader would refuse is never written: the save stops with this message and the
// file on disk stays as it was, so the world can still be opened.
void checkRecordCount(const char* file, std::size_t count, uint32_t limit) {
    if (count > limit)
        throw std::runtime_error(std::string("Cannot save ") + file + ": " + std::to_string(count) +
                                 " records, at most " + std::to_string(limit));
}

// A cell-keyed map: count, then each cell with its value; a repeated cell is refused.
template <typename Value, typename PutValue>
std::string encodeCellMap(const char* file, const char* magic, const std::map<CellKey, Value>& map, uint32_t limit,
                          PutValue putValue) {
    checkRecordCount(file, map.size(), limit);
    ByteWriter out(magic, kVersion);
    out.put(static_cast<uint32_t>(map.size()));
    for (const auto& [cell, value] : map) {
        putCell(out, cell);
        putValue(out, value);
    }
    return out.take();
}

template <typename Value, typename GetValue>
std::optional<std::map<CellKey, Value>> decodeCellMap(const std::string& bytes, const char* magic, uint32_t limit,
                                                      std::size_t valueBytes, GetValue getValue) {
    ByteReader in(bytes, magic, kVersion);
    std::map<CellKey, Value> map;
    const uint32_t n = in.count(limit, kCellBytes + valueBytes);
    for (uint32_t i = 0; i < n; ++i) {
        const CellKey cell = getCell(in);
        if (!map.emplace(cell, getValue(in)).second) in.refuse();
    }
    return wholeOrNothing(in, std::move(map));
}

template <typename Item, typename PutItem>
std::string encodeList(const char* file, const char* magic, const std::vector<Item>& list, PutItem putItem) {
    checkRecordCount(file, list.size(), kMaxRecords);
    ByteWriter out(magic, kVersion);
    out.put(static_cast<uint32_t>(list.size()));
    for (const Item& item : list) putItem(out, item);
    return out.take();
}

template <typename Item, typename GetItem>
std::optional<std::vector<Item>> decodeList(const std::string& bytes, const char* magic, std::size_t itemBytes,
                                            GetItem getItem) {
    ByteReader in(bytes, magic, kVersion);
    std::vector<Item> list(in.count(kMaxRecords, itemBytes));
    for (Item& item : list) item = getItem(in);
    return wholeOrNothing(in, std::move(list));
}

}  // namespace

const char* earlierFileName(std::string_view present) {
    for (const EarlierFileName& name : kEarlierFileNames)
        if (present == name.present) return name.earlier;
    return nullptr;
}

void removeEarlierFiles(const std::filesystem::path& folder) {
    for (const EarlierFileName& name : kEarlierFileNames) {
        std::error_code ignored;
        if (std::filesystem::exists(folder / name.present, ignored)) std::filesystem::remove(folder / name.earlier, ignored);
    }
}

std::string encodeBlockStates(const std::map<CellKey, StoredBlockState>& states) {
    return encodeCellMap(kBlockStatesFile, "QVBS", states, kMaxBlockStates, [](ByteWriter& out, const StoredBlockState& s) {
        out.put(s.id);
        out.put(s.state);
    });
}

std::optional<std::map<CellKey, StoredBlockState>> decodeBlockStates(const std::string& bytes) {
    return decodeCellMap<StoredBlockState>(bytes, "QVBS", kMaxBlockStates, 2, [](ByteReader& in) {
        const uint8_t id = in.get<uint8_t>();
        return StoredBlockState{id, in.get<uint8_t>()};
    });
}

std::string encodeInventory(const InventoryRecord& record) {
    ByteWriter out("QVIN", kVersion);
    putSlots(out, record.inventory.hotbar);
    putSlots(out, record.inventory.main);
    putSlot(out, record.inventory.cursor);
    putSlots(out, record.armor);
    out.put(record.inventory.selected);
    return out.take();
}

std::optional<InventoryRecord> decodeInventory(const std::string& bytes) {
    ByteReader in(bytes, "QVIN", kVersion);
    InventoryRecord record;
    getSlots(in, record.inventory.hotbar);
    getSlots(in, record.inventory.main);
    record.inventory.cursor = getSlot(in);
    getSlots(in, record.armor);
    record.inventory.selected = in.get<int32_t>();
    if (record.inventory.selected < 0 || record.inventory.selected > 8) in.refuse();
    else record.inventory.heldBlock = record.inventory.hotbar[static_cast<std::size_t>(record.inventory.selected)].id;
    return wholeOrNothing(in, record);
}

std::string encodePlayer(const PlayerRecord& r) {
    ByteWriter out("QVPL", kVersion);
    for (float value : {r.x, r.y, r.z, r.yaw, r.pitch, r.velocityX, r.velocityY, r.velocityZ, r.spawnX, r.spawnY,
                        r.spawnZ})
        out.put(value);
    out.put(r.health);
    for (int32_t value : r.food) out.put(value);
    out.put(r.air);
    out.put(r.stamina);
    out.put(static_cast<uint8_t>(r.thirdPerson));
    out.put(static_cast<uint8_t>(r.flying));
    return out.take();
}

std::optional<PlayerRecord> decodePlayer(const std::string& bytes) {
    ByteReader in(bytes, "QVPL", kVersion);
    PlayerRecord r;
    for (float* value : {&r.x, &r.y, &r.z, &r.yaw, &r.pitch, &r.velocityX, &r.velocityY, &r.velocityZ, &r.spawnX,
                         &r.spawnY, &r.spawnZ})
        *value = getFinite<float>(in);
    r.health = in.get<int32_t>();
    for (int32_t& value : r.food) value = in.get<int32_t>();
    r.air = in.get<int32_t>();
    r.stamina = getFinite<double>(in);
    r.thirdPerson = getFlag(in);
    r.flying = getFlag(in);
    return wholeOrNothing(in, r);
}

std::string encodeDroppedItems(const std::vector<DroppedItem>& items) {
    return encodeList(kDroppedItemsFile, "QVDI", items, [](ByteWriter& out, const DroppedItem& item) {
        out.put(item.id);
        out.put(item.count);
        for (float value : {item.x, item.y, item.z, item.phase}) out.put(value);
    });
}

std::optional<std::vector<DroppedItem>> decodeDroppedItems(const std::string& bytes) {
    return decodeList<DroppedItem>(bytes, "QVDI", 21, [](ByteReader& in) {
        DroppedItem item;
        item.id = in.get<uint8_t>();
        item.count = in.get<int32_t>();
        if (item.count < 1 || item.count > kMaxStackCount) in.refuse();
        for (float* value : {&item.x, &item.y, &item.z, &item.phase}) *value = getFinite<float>(in);
        return item;
    });
}

std::string encodeArrows(const std::vector<Arrow>& arrows) {
    return encodeList(kArrowsFile, "QVAR", arrows, [](ByteWriter& out, const Arrow& arrow) {
        for (double value : {arrow.x, arrow.y, arrow.z}) out.put(value);
        for (double value : arrow.facing) out.put(value);
    });
}

std::optional<std::vector<Arrow>> decodeArrows(const std::string& bytes) {
    return decodeList<Arrow>(bytes, "QVAR", 48, [](ByteReader& in) {
        Arrow arrow;
        for (double* value : {&arrow.x, &arrow.y, &arrow.z}) *value = getFinite<double>(in);
        for (double& value : arrow.facing) value = getFinite<double>(in);
        // The previous position is where the arrow is: nothing to interpolate after a load.
        arrow.prevX = arrow.x, arrow.prevY = arrow.y, arrow.prevZ = arrow.z;
        return arrow;
    });
}

std::string encodeMachines(const CellsByDimension<Machine>& machines) {
    checkRecordCount(kMachinesFile, countCells(machines), kMaxRecords);
    ByteWriter out("QVMA", kMachinesVersion);
    out.put(static_cast<uint32_t>(countCells(machines)));
    for (const auto& [dimension, cells] : machines) {
        if (!cells.empty()) checkDimensionId(kMachinesFile, dimension);
        for (const auto& [cell, machine] : cells) {
            out.putText(dimension);
            putCell(out, cell);
            putSlots(out, machine.slots);
            for (int32_t value : {machine.burnRemaining, machine.smeltProgress, machine.burnTotal})
                out.put(value);
        }
    }
    return out.take();
}

namespace {

Machine getMachine(ByteReader& in) {
    Machine machine;
    getSlots(in, machine.slots);
    for (int32_t* value : {&machine.burnRemaining, &machine.smeltProgress, &machine.burnTotal}) {
        *value = in.get<int32_t>();
        if (*value < 0) in.refuse();
    }
    return machine;
}

// Version 1 named no dimension: its furnaces are the overworld's.
std::optional<CellsByDimension<Machine>> readMachines(const std::string& bytes, uint32_t version) {
    ByteReader in(bytes, "QVMA", version);
    const bool named = version == kMachinesVersion;
    CellsByDimension<Machine> machines;
    const uint32_t n = in.count(kMaxRecords, (named ? 4 : 0) + kCellBytes + 3 * kSlotBytes + 12);
    for (uint32_t i = 0; i < n; ++i) {
        const std::string dimension = named ? in.getText(kMaxDimensionIdLength) : kEarlierRecordsDimension;
        if (!isSavedDimensionId(dimension)) in.refuse();
        const CellKey cell = getCell(in);
        if (!machines[dimension].emplace(cell, getMachine(in)).second) in.refuse();
    }
    return wholeOrNothing(in, std::move(machines));
}

}  // namespace

std::optional<CellsByDimension<Machine>> decodeMachines(const std::string& bytes) {
    if (auto machines = readMachines(bytes, kMachinesVersion)) return machines;
    return readMachines(bytes, 1);
}

std::string encodeBed(const BedRecord& record) {
    ByteWriter out("QVBD", kVersion);
    out.put(static_cast<uint8_t>(record.hasBed));
    for (int32_t value : {record.x, record.y, record.z}) out.put(value);
    return out.take();
}

std::optional<BedRecord> decodeBed(const std::string& bytes) {
    ByteReader in(bytes, "QVBD", kVersion);
    BedRecord record;
    record.hasBed = getFlag(in);
    for (int32_t* value : {&record.x, &record.y, &record.z}) *value = in.get<int32_t>();
    return wholeOrNothing(in, record);
}

std::string encodeActors(const ActorsRecord& record) {
    checkRecordCount(kActorsFile, record.mobs.size(), kMaxActors);
    for (const Mob& mob : record.mobs)
        if (mob.defId.size() > kMaxActorIdLength)
            throw std::runtime_error(std::string("Cannot save ") + kActorsFile + ": a definition id of " +
                                     std::to_string(mob.defId.size()) + " bytes, at most " +
                                     std::to_string(kMaxActorIdLength));
    ByteWriter out("QVAC", kVersion);
    out.put(record.nextId);
    out.put(static_cast<uint32_t>(record.mobs.size()));
    for (const Mob& mob : record.mobs) {
        out.put(mob.kind);
        out.put(mob.id);
        out.putText(mob.defId);
        for (double value : {mob.x, mob.y, mob.z, mob.yaw, mob.halfWidth, mob.height}) out.put(value);
        out.put(mob.health);
    }
    return out.take();
}

std::optional<ActorsRecord> decodeActors(const std::string& bytes) {
    ByteReader in(bytes, "QVAC", kVersion);
    ActorsRecord record;
    record.nextId = in.get<uint32_t>();
    record.mobs.resize(in.count(kMaxActors, 64));
    for (Mob& mob : record.mobs) {
        mob.kind = in.get<uint32_t>();
        mob.id = in.get<uint32_t>();
        mob.defId = in.getText(kMaxActorIdLength);
        for (double* value : {&mob.x, &mob.y, &mob.z, &mob.yaw, &mob.halfWidth, &mob.height})
            *value = getFinite<double>(in);
        mob.health = in.get<int32_t>();
        mob.prevX = mob.x, mob.prevY = mob.y, mob.prevZ = mob.z;
    }
    return wholeOrNothing(in, std::move(record));
}

std::string encodeProgression(const Progression& progression) {
    checkRecordCount(kProgressionFile, progression.exploredRegions.size(), adventure::kMaxExploredRegions);
    checkRecordCount(kProgressionFile, progression.discoveredBiomes.size(), adventure::kMaxDiscoveredBiomes);
    const auto checkId = [](const std::string& id) {
        if (id.empty() || id.size() > adventure::kMaxExplorationIdLength)
            throw std::runtime_error(std::string("Cannot save ") + kProgressionFile + ": an id of " +
                                     std::to_string(id.size()) + " bytes, 1 to " +
                                     std::to_string(adventure::kMaxExplorationIdLength));
    };
    for (const auto& region : progression.exploredRegions) checkId(std::get<0>(region));
    for (const std::string& biome : progression.discoveredBiomes) checkId(biome);
    ByteWriter out("QVPR", kProgressionVersion);
    out.put(progression.level);
    out.put(progression.experience);
    for (uint32_t value : progression.skills) out.put(value);
    for (uint32_t value : progression.skillExperience) out.put(value);
    out.put(static_cast<uint32_t>(progression.exploredRegions.size()));
    for (const auto& [dimension, x, z] : progression.exploredRegions) {
        out.putText(dimension);
        out.put(x);
        out.put(z);
    }
    out.put(static_cast<uint32_t>(progression.discoveredBiomes.size()));
    for (const std::string& biome : progression.discoveredBiomes) out.putText(biome);
    return out.take();
}

namespace {

std::string explorationId(ByteReader& in) {
    std::string id = in.getText(adventure::kMaxExplorationIdLength);
    if (id.empty()) in.refuse();
    return id;
}

void getExploration(ByteReader& in, Progression& progression) {
    const uint32_t regions = in.count(adventure::kMaxExploredRegions, 4 + 1 + 8);
    for (uint32_t k = 0; k < regions; ++k) {
        std::string dimension = explorationId(in);
        const int32_t x = in.get<int32_t>();
        const int32_t z = in.get<int32_t>();
        if (!progression.exploredRegions.emplace(std::move(dimension), x, z).second) in.refuse();
    }
    const uint32_t biomes = in.count(adventure::kMaxDiscoveredBiomes, 4 + 1);
    for (uint32_t k = 0; k < biomes; ++k)
        if (!progression.discoveredBiomes.insert(explorationId(in)).second) in.refuse();
}

// Version 1 came before the level curve and the skill cap: its experience never bought a level and
// its skill levels had no top. Read, it is settled into what the same experience buys today.
std::optional<Progression> readProgression(const std::string& bytes, uint32_t version) {
    ByteReader in(bytes, "QVPR", version);
    Progression progression;
    progression.level = in.get<uint32_t>();
    if (progression.level < 1 || progression.level > adventure::kMaxLevel) in.refuse();
    progression.experience = in.get<uint32_t>();
    const bool settled = progression.level == adventure::kMaxLevel ||
                         progression.experience < adventure::levelCost(progression.level);
    if (version == kProgressionVersion && !settled) in.refuse();
    for (uint32_t& value : progression.skills) value = in.get<uint32_t>();
    for (std::size_t k = 0; k < progression.skillExperience.size(); ++k) {
        const uint32_t experience = in.get<uint32_t>();
        progression.skillExperience[k] = experience;
        const uint32_t level = version == kProgressionVersion ? adventure::skillLevel(experience)
                                                              : experience / adventure::kExperiencePerSkillLevel;
        if (progression.skills[k] != level) in.refuse();
        progression.skills[k] = adventure::skillLevel(experience);
    }
    if (version == kProgressionVersion) getExploration(in, progression);
    adventure::settleLevel(progression);
    return wholeOrNothing(in, progression);
}

}  // namespace

std::optional<Progression> decodeProgression(const std::string& bytes) {
    if (auto progression = readProgression(bytes, kProgressionVersion)) return progression;
    return readProgression(bytes, 1);
}

namespace {

constexpr uint32_t kMaxQuests = 4096;
constexpr uint32_t kMaxQuestIdLength = 256;
constexpr const char* kAdventureMagic = "QVAD";
constexpr const char* kEarlierQuestLogMagic = "QVQL";

std::string questId(ByteReader& in) {
    std::string id = in.getText(kMaxQuestIdLength);
    if (id.empty()) in.refuse();
    return id;
}

void putQuestLog(ByteWriter& out, const adventure::QuestLog& log) {
    out.put(static_cast<uint32_t>(log.accepted.size()));
    for (const auto& [id, q] : log.accepted) {
        out.putText(id);
        out.put(q.progress);
        out.put(q.targetBlock);
        out.put(q.minedAtAccept);
        out.put(static_cast<uint8_t>(q.hasPlace));
        out.put(q.placeX);
        out.put(q.placeZ);
    }
    out.put(static_cast<uint32_t>(log.completed.size()));
    for (const std::string& id : log.completed) out.putText(id);
    out.put(static_cast<uint32_t>(log.minedBlocks.size()));
    for (const auto& [block, count] : log.minedBlocks) {
        out.put(block);
        out.put(count);
    }
}

void getQuestLog(ByteReader& in, adventure::QuestLog& log) {
    const uint32_t accepted = in.count(kMaxQuests, 4 + 1 + 4 + 1 + 4 + 1 + 16);
    for (uint32_t k = 0; k < accepted; ++k) {
        const std::string id = questId(in);
        adventure::QuestProgress q;
        q.progress = in.get<int32_t>();
        q.targetBlock = in.get<uint8_t>();
        q.minedAtAccept = in.get<uint32_t>();
        const uint8_t hasPlace = in.get<uint8_t>();
        q.hasPlace = hasPlace == 1;
        q.placeX = getFinite<double>(in);
        q.placeZ = getFinite<double>(in);
        if (q.progress < 0 || hasPlace > 1 || !log.accepted.emplace(id, q).second) in.refuse();
    }
    const uint32_t completed = in.count(kMaxQuests, 5);
    for (uint32_t k = 0; k < completed; ++k)
        if (!log.completed.insert(questId(in)).second) in.refuse();
    const uint32_t mined = in.count(256, 5);
    for (uint32_t k = 0; k < mined; ++k) {
        const uint8_t block = in.get<uint8_t>();
        if (!log.minedBlocks.emplace(block, in.get<uint32_t>()).second) in.refuse();
    }
}

// The adventure file of worlds saved before the wallet held only the quest log.
std::optional<adventure::PlayerStanding> readEarlierQuestLog(const std::string& bytes) {
    ByteReader in(bytes, kEarlierQuestLogMagic, kVersion);
    adventure::PlayerStanding standing;
    getQuestLog(in, standing.quests);
    return wholeOrNothing(in, std::move(standing));
}

}  // namespace

std::string encodeAdventure(const adventure::PlayerStanding& standing) {
    const adventure::QuestLog& log = standing.quests;
    checkRecordCount(kAdventureFile, log.accepted.size(), kMaxQuests);
    checkRecordCount(kAdventureFile, log.completed.size(), kMaxQuests);
    ByteWriter out(kAdventureMagic, kVersion);
    // Held at their bounds, so that no stray value keeps the file from being read.
    out.put(std::min(standing.copper, adventure::kWalletLimit - 1));
    out.put(std::clamp(standing.reputation, 0, adventure::kMaxReputation));
    putQuestLog(out, log);
    return out.take();
}

std::optional<adventure::PlayerStanding> decodeAdventure(const std::string& bytes) {
    if (bytes.starts_with(kEarlierQuestLogMagic)) return readEarlierQuestLog(bytes);
    ByteReader in(bytes, kAdventureMagic, kVersion);
    adventure::PlayerStanding standing;
    standing.copper = in.get<uint64_t>();
    standing.reputation = in.get<int32_t>();
    if (standing.copper >= adventure::kWalletLimit || standing.reputation < 0 ||
        standing.reputation > adventure::kMaxReputation)
        in.refuse();
    getQuestLog(in, standing.quests);
    return wholeOrNothing(in, std::move(standing));
}

std::string encodeCrops(const std::map<CellKey, uint64_t>& ages) {
    return encodeCellMap(kCropsFile, "QVCR", ages, kMaxBlockStates, [](ByteWriter& out, uint64_t age) { out.put(age); });
}

std::optional<std::map<CellKey, uint64_t>> decodeCrops(const std::string& bytes) {
    return decodeCellMap<uint64_t>(bytes, "QVCR", kMaxBlockStates, 8,
                                   [](ByteReader& in) { return in.get<uint64_t>(); });
}

std::string encodeWater(const std::map<CellKey, uint8_t>& levels) {
    return encodeCellMap(kWaterFile, "QVWA", levels, kMaxBlockStates, [](ByteWriter& out, uint8_t level) { out.put(level); });
}

std::optional<std::map<CellKey, uint8_t>> decodeWater(const std::string& bytes) {
    return decodeCellMap<uint8_t>(bytes, "QVWA", kMaxBlockStates, 1, [](ByteReader& in) {
        const uint8_t level = in.get<uint8_t>();
        if (level > kMaxWaterLevel) in.refuse();
        return level;
    });
}

}  // namespace filesave
