#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "save/world_state_files.h"
#include "support/failure.h"

using namespace filesave;

namespace {

InventorySlot slot(uint8_t id, int32_t count, int32_t wear = 0) { return InventorySlot{id, count, wear}; }

Mob mob(uint32_t id) {
    return {.kind = 1, .id = id, .defId = "core:skeleton", .x = 1.5, .y = 70.0, .z = -3.25, .yaw = 0.5,
            .halfWidth = 0.3, .height = 1.8, .health = 7};
}

Progression progression(std::array<uint32_t, 4> experience) {
    Progression p{adventure::kMaxLevel, 1234, {}, experience};
    for (std::size_t k = 0; k < 4; ++k) p.skills[k] = adventure::skillLevel(experience[k]);
    p.exploredRegions = {{"core:overworld", -1, 3}, {"core:ash", 0, 0}};
    p.discoveredBiomes = {"plains", "core:ash_waste"};
    return p;
}

adventure::PlayerStanding standing(const std::string& acceptedId) {
    adventure::PlayerStanding standing{adventure::kWalletLimit - 1, adventure::kMaxReputation, {}};
    adventure::QuestLog& log = standing.quests;
    log.accepted[acceptedId] = {.progress = 3, .targetBlock = 21, .minedAtAccept = 40, .hasPlace = true,
                                .placeX = -120.5, .placeZ = 3000.25};
    log.accepted["visit_city"];
    log.completed = {"first_steps", "talk_to_smith"};
    log.minedBlocks = {{21, 43}, {3, 9}};
    return standing;
}

// Each format: its bytes for a sample with every field set, and those bytes decoded and encoded
// again (nothing when the decoder refuses them).
struct Format {
    const char* name;
    std::function<std::string()> sample;
    std::function<std::optional<std::string>(const std::string&)> again;
};

template <typename Decode, typename Encode>
std::function<std::optional<std::string>(const std::string&)> reencode(Decode decode, Encode encode) {
    return [=](const std::string& bytes) -> std::optional<std::string> {
        const auto value = decode(bytes);
        if (!value) return std::nullopt;
        return encode(*value);
    };
}

const Format kFormats[] = {
    {"block states", [] { return encodeBlockStates({{{1, 2, 3}, {13, 5}}, {{-7, 127, 40}, {20, 1}}}); },
     reencode(decodeBlockStates, encodeBlockStates)},
    {"inventory",
     [] {
         InventoryRecord r;
         r.inventory.hotbar[8] = slot(9, 64, 3);
         r.inventory.main[26] = slot(40, kMaxStackCount);
         r.inventory.cursor = slot(5, 1);
         r.inventory.selected = 8;
         r.armor[3] = slot(60, 1, 12);
         return encodeInventory(r);
     },
     reencode(decodeInventory, encodeInventory)},
    {"player", [] { return encodePlayer({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, {13, 14, 15, 16}, 17, 18.5, true, true}); },
     reencode(decodePlayer, encodePlayer)},
    {"dropped items",
     [] { return encodeDroppedItems({DroppedItem{4, 1.0f, 2.0f, 3.0f, 0.5f}, DroppedItem{9, -1.0f, 0.0f, 8.0f}}); },
     reencode(decodeDroppedItems, encodeDroppedItems)},
    {"arrows", [] { return encodeArrows({Arrow{1, 2, 3, 0, 0, 0, {0.0, 0.6, 0.8}}}); },
     reencode(decodeArrows, encodeArrows)},
    {"machines",
     [] {
         const Machine burning{{slot(30, 2), slot(31, 1), slot(32, 7)}, 80, 12, 160};
         return encodeMachines({{"core:ash", {{{5, 64, -5}, burning}}}, {"core:overworld", {{{5, 64, -5}, Machine{}}}}});
     },
     reencode(decodeMachines, encodeMachines)},
    {"chests",
     [] {
         ChestSlots slots{};
         slots[0] = slot(3, 10);
         slots[26] = slot(12, 1, 4);
         return encodeChests({{"core:ash", {{{0, 65, 0}, slots}}}, {"core:overworld", {{{0, 65, 0}, ChestSlots{}}}}});
     },
     reencode(decodeChests, encodeChests)},
    {"bed", [] { return encodeBed({true, -100, 70, 2000}); }, reencode(decodeBed, encodeBed)},
    {"actors", [] { return encodeActors({9, {mob(3), mob(8)}}); }, reencode(decodeActors, encodeActors)},
    {"progression", [] { return encodeProgression(progression({0, 399, 1820, 0xFFFFFFFFu})); },
     reencode(decodeProgression, encodeProgression)},
    {"adventure", [] { return encodeAdventure(standing("mine_iron")); }, reencode(decodeAdventure, encodeAdventure)},
    {"crops", [] { return encodeCrops({{{1, 64, -2}, 0}, {{-9, 1, 30}, 0xFFFFFFFFFFull}}); },
     reencode(decodeCrops, encodeCrops)},
    {"water", [] { return encodeWater({{{0, 1, 0}, 0}, {{4, 127, -4}, kMaxWaterLevel}}); },
     reencode(decodeWater, encodeWater)},
};

// A cell-keyed file of `n` distinct cells, each followed by `valueBytes` zero bytes.
std::string cellFile(const char* magic, uint32_t n, std::size_t valueBytes) {
    std::string bytes(magic);
    bytes.append("\1\0\0\0", 4);
    bytes.append(reinterpret_cast<const char*>(&n), 4);
    bytes.reserve(bytes.size() + n * (12 + valueBytes));
    for (uint32_t i = 0; i < n; ++i) {
        bytes.append(reinterpret_cast<const char*>(&i), 4);
        bytes.append(8 + valueBytes, '\0');
    }
    return bytes;
}

}  // namespace

TEST(WorldStateFiles, EveryFormatReadsBackWhole) {
    for (const Format& format : kFormats) {
        const std::string bytes = format.sample();
        EXPECT_EQ(format.again(bytes), bytes) << format.name;
    }
}

TEST(WorldStateFiles, ANonWholeFileIsRefused) {
    for (const Format& format : kFormats) {
        const std::string bytes = format.sample();
        std::string otherVersion = bytes;
        otherVersion[4] = 9;  // no version any reader knows
        const std::string cases[] = {bytes.substr(0, bytes.size() - 1), bytes + '\0', otherVersion, "", "QVZZ"};
        for (const std::string& bad : cases)
            EXPECT_EQ(format.again(bad), std::nullopt) << format.name << ", " << bad.size() << " bytes";
    }
}

TEST(WorldStateFiles, ValuesAreBoundedAtTheirEdges) {
    struct Case {
        const char* name;
        std::string bytes;
        bool accepted;
    };
    const auto withInventory = [](auto change) {
        InventoryRecord r;
        change(r);
        return encodeInventory(r);
    };
    const Case cases[] = {
        {"stack at its limit", withInventory([](auto& r) { r.inventory.main[0].count = kMaxStackCount; }), true},
        {"stack over it", withInventory([](auto& r) { r.inventory.main[0].count = kMaxStackCount + 1; }), false},
        {"negative stack", withInventory([](auto& r) { r.armor[0].count = -1; }), false},
        {"last hotbar slot", withInventory([](auto& r) { r.inventory.selected = 8; }), true},
        {"past the hotbar", withInventory([](auto& r) { r.inventory.selected = 9; }), false},
        {"before the hotbar", withInventory([](auto& r) { r.inventory.selected = -1; }), false},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeInventory(c.bytes).has_value(), c.accepted) << c.name;

    const std::pair<int32_t, bool> piles[] = {{1, true}, {kMaxStackCount, true}, {0, false}, {kMaxStackCount + 1, false}};
    for (const auto& [count, accepted] : piles) {
        const auto read = decodeDroppedItems(encodeDroppedItems({DroppedItem{.id = 4, .count = count}}));
        EXPECT_EQ(read.has_value(), accepted) << "a dropped pile of " << count;
        if (read) {
            EXPECT_EQ(read->front().count, count);
        }
    }

    PlayerRecord player;
    player.yaw = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(decodePlayer(encodePlayer(player))) << "a NaN pose";
    player.yaw = 0.0f;
    std::string flags = encodePlayer(player);
    EXPECT_TRUE(decodePlayer(flags));
    flags.back() = 2;
    EXPECT_FALSE(decodePlayer(flags)) << "a flying byte of 2";
    EXPECT_FALSE(decodeBed(encodeBed({true, 0, 0, 0}).replace(8, 1, 1, '\2'))) << "a has-bed byte of 2";

    const struct {
        uint32_t level, experience;
        bool accepted;
    } levels[] = {{1, 0, true},     {adventure::kMaxLevel, 0, true},   {0, 0, false},
                  {adventure::kMaxLevel + 1, 0, false}, {1, 99, true}, {1, 100, false},  // level 1 costs 100
                  {49, 2019, true}, {49, 2020, false}, {adventure::kMaxLevel, 0xFFFFFFFFu, true}};
    for (const auto& row : levels)
        EXPECT_EQ(decodeProgression(encodeProgression({row.level, row.experience, {}})).has_value(), row.accepted)
            << "level " << row.level << ", experience " << row.experience;
    Progression skills = progression({800, 0, 0, 0});
    EXPECT_TRUE(decodeProgression(encodeProgression(skills)));
    skills.skills[0] = 1;
    EXPECT_FALSE(decodeProgression(encodeProgression(skills))) << "a skill level its experience does not give";
    skills = progression({8400, 0, 0, 0});
    EXPECT_EQ(skills.skills[0], adventure::kMaxSkillLevel);
    EXPECT_TRUE(decodeProgression(encodeProgression(skills)));
    skills.skills[0] = 21;
    EXPECT_FALSE(decodeProgression(encodeProgression(skills))) << "a skill over its top level";

    const std::pair<uint64_t, bool> wallets[] = {{adventure::kWalletLimit - 1, true}, {adventure::kWalletLimit, false}};
    const std::pair<int32_t, bool> reputations[] = {{0, true}, {-1, false}, {1000, true}, {1001, false}};
    const auto withStanding = [](uint64_t copper, int32_t reputation) {
        std::string bytes = encodeAdventure({});
        bytes.replace(8, 8, reinterpret_cast<const char*>(&copper), 8);
        bytes.replace(16, 4, reinterpret_cast<const char*>(&reputation), 4);
        return bytes;
    };
    for (const auto& [copper, accepted] : wallets)
        EXPECT_EQ(decodeAdventure(withStanding(copper, 0)).has_value(), accepted) << copper << " copper";
    for (const auto& [reputation, accepted] : reputations)
        EXPECT_EQ(decodeAdventure(withStanding(0, reputation)).has_value(), accepted) << "reputation " << reputation;
    const auto strayStanding = decodeAdventure(encodeAdventure({adventure::kWalletLimit + 5, 2000, {}}));
    ASSERT_TRUE(strayStanding) << "a stray wallet or reputation is saved at its bound";
    EXPECT_EQ(std::pair(strayStanding->copper, strayStanding->reputation),
              std::pair(adventure::kWalletLimit - 1, adventure::kMaxReputation));

    const std::pair<std::string, bool> questIds[] = {{std::string(256, 'q'), true}, {std::string(257, 'q'), false},
                                                     {"", false}};
    for (const auto& [id, accepted] : questIds)
        EXPECT_EQ(decodeAdventure(encodeAdventure(standing(id))).has_value(), accepted) << id.size() << "-byte quest id";
    adventure::PlayerStanding behind = standing("mine_iron");
    behind.quests.accepted["mine_iron"].progress = -1;
    EXPECT_FALSE(decodeAdventure(encodeAdventure(behind))) << "negative progress";
    behind.quests.accepted["mine_iron"].progress = 0;
    EXPECT_TRUE(decodeAdventure(encodeAdventure(behind)));

    const std::pair<uint8_t, bool> water[] = {{kMaxWaterLevel, true}, {kMaxWaterLevel + 1, false}};
    for (const auto& [level, accepted] : water)
        EXPECT_EQ(decodeWater(encodeWater({{{0, 0, 0}, level}})).has_value(), accepted) << "water level " << +level;
}

// The file with its u32 count at `countAt` raised by one and its last `recordBytes` bytes repeated.
std::string withOneMore(std::string bytes, std::size_t countAt, std::size_t recordBytes) {
    uint32_t n = 0;
    bytes.copy(reinterpret_cast<char*>(&n), 4, countAt);
    ++n;
    bytes.replace(countAt, 4, reinterpret_cast<const char*>(&n), 4);
    return bytes + bytes.substr(bytes.size() - recordBytes);
}

void expectNotSaved(const std::function<std::string()>& encode, const std::string& message) {
    EXPECT_EQ(testsupport::failureOf(encode), message);
}

// A cell-keyed file at its count limit reads back and is written again byte for byte; one record more
// is refused by the reader and never written by the encoder.
template <typename Value>
void expectCellMapBounded(const char* file, const char* magic, uint32_t limit, std::size_t valueBytes,
                          std::optional<std::map<CellKey, Value>> (*decode)(const std::string&),
                          std::string (*encode)(const std::map<CellKey, Value>&)) {
    SCOPED_TRACE(file);
    const std::string full = cellFile(magic, limit, valueBytes);
    std::optional<std::map<CellKey, Value>> read = decode(full);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), limit);
    EXPECT_TRUE(encode(*read) == full);
    EXPECT_FALSE(decode(cellFile(magic, limit + 1, valueBytes)));
    read->emplace(CellKey{-1, 0, 0}, Value{});
    expectNotSaved([&] { return encode(*read); }, std::string("Cannot save ") + file + ": " +
                                                      std::to_string(limit + 1) + " records, at most " +
                                                      std::to_string(limit));
}

// At its limit a collection is written and read back; one record more is refused by the reader and
// never written by the encoder, so a save cannot leave a file that keeps its world from opening.
TEST(WorldStateFiles, CountsAreBoundedAtTheirEdges) {
    const std::string drops = encodeDroppedItems(std::vector<DroppedItem>(kMaxRecords));
    EXPECT_EQ(decodeDroppedItems(drops)->size(), kMaxRecords);
    EXPECT_FALSE(decodeDroppedItems(withOneMore(drops, 8, 21)));
    expectNotSaved([] { return encodeDroppedItems(std::vector<DroppedItem>(kMaxRecords + 1)); },
                   "Cannot save drops.dat: 65537 records, at most 65536");
    expectNotSaved([] { return encodeArrows(std::vector<Arrow>(kMaxRecords + 1)); },
                   "Cannot save arrows.dat: 65537 records, at most 65536");

    ActorsRecord actors{1, std::vector<Mob>(kMaxActors)};
    const std::string fullActors = encodeActors(actors);
    EXPECT_EQ(decodeActors(fullActors)->mobs.size(), kMaxActors);
    EXPECT_FALSE(decodeActors(withOneMore(fullActors, 12, 64)));
    actors.mobs.resize(kMaxActors + 1);
    expectNotSaved([&] { return encodeActors(actors); }, "Cannot save actors.dat: 4097 records, at most 4096");

    Mob named = mob(1);
    named.defId.assign(kMaxActorIdLength, 'a');
    const std::string longest = encodeActors({2, {named}});
    EXPECT_TRUE(decodeActors(longest));
    std::string overlong = longest;
    overlong.replace(24, 4, "\x01\x01\x00\x00", 4);  // the id's length, 257
    overlong.insert(28, "a");
    EXPECT_FALSE(decodeActors(overlong));
    named.defId += 'a';
    expectNotSaved([&] { return encodeActors({2, {named}}); },
                   "Cannot save actors.dat: a definition id of 257 bytes, at most 256");

    // The quest log: 4,096 accepted and 4,096 completed quests and a dug count for every block id.
    const auto withOneMoreCompleted = [](uint32_t before) {
        adventure::PlayerStanding standing;
        for (uint32_t i = 0; i < before; ++i) standing.quests.completed.insert("q:" + std::to_string(i));
        std::string bytes = encodeAdventure(standing);
        bytes.resize(bytes.size() - 4);  // the empty list of dug counts
        const uint32_t n = before + 1;
        bytes.replace(24, 4, reinterpret_cast<const char*>(&n), 4);
        return bytes + std::string("\5\0\0\0z:new\0\0\0\0", 13);
    };
    EXPECT_EQ(decodeAdventure(withOneMoreCompleted(4095))->quests.completed.size(), 4096u);
    EXPECT_FALSE(decodeAdventure(withOneMoreCompleted(4096)));
    adventure::PlayerStanding many;
    adventure::QuestLog& quests = many.quests;
    for (uint32_t i = 0; i <= 4096; ++i) quests.accepted["q:" + std::to_string(i)];
    expectNotSaved([&] { return encodeAdventure(many); }, "Cannot save adventure.dat: 4097 records, at most 4096");
    quests.accepted.erase(quests.accepted.begin());
    for (int id = 0; id < 256; ++id) quests.minedBlocks[static_cast<uint8_t>(id)] = 1;
    const auto readQuests = decodeAdventure(encodeAdventure(many));
    ASSERT_TRUE(readQuests);
    EXPECT_EQ(readQuests->quests.accepted.size(), 4096u);
    EXPECT_EQ(readQuests->quests.minedBlocks.size(), 256u);
    for (uint32_t i = 0; i <= 4096; ++i) quests.completed.insert("q:" + std::to_string(i));
    expectNotSaved([&] { return encodeAdventure(many); }, "Cannot save adventure.dat: 4097 records, at most 4096");

    // Explored regions and discovered biomes at their limits, and one more.
    Progression explored;
    for (int32_t k = 0; k < static_cast<int32_t>(adventure::kMaxExploredRegions); ++k)
        explored.exploredRegions.emplace("d:x", k, 0);
    for (uint32_t k = 0; k < adventure::kMaxDiscoveredBiomes; ++k) explored.discoveredBiomes.insert("b" + std::to_string(k));
    const auto readExplored = decodeProgression(encodeProgression(explored));
    ASSERT_TRUE(readExplored);
    EXPECT_EQ(readExplored->exploredRegions, explored.exploredRegions);
    EXPECT_EQ(readExplored->discoveredBiomes, explored.discoveredBiomes);
    explored.discoveredBiomes.insert("one more");
    expectNotSaved([&] { return encodeProgression(explored); }, "Cannot save progression.dat: 1025 records, at most 1024");
    explored.discoveredBiomes.clear();
    explored.exploredRegions.emplace("d:x", -1, 0);
    expectNotSaved([&] { return encodeProgression(explored); }, "Cannot save progression.dat: 65537 records, at most 65536");
    explored.exploredRegions.clear();
    explored.discoveredBiomes = {std::string(adventure::kMaxExplorationIdLength, 'b')};
    EXPECT_TRUE(decodeProgression(encodeProgression(explored)));
    explored.discoveredBiomes = {std::string(adventure::kMaxExplorationIdLength + 1, 'b')};
    expectNotSaved([&] { return encodeProgression(explored); }, "Cannot save progression.dat: an id of 257 bytes, 1 to 256");
    explored.discoveredBiomes.clear();
    std::string overlongBiome = encodeProgression(explored);
    overlongBiome.resize(overlongBiome.size() - 4);  // no biomes: one of 257 bytes instead
    overlongBiome += std::string("\1\0\0\0\x01\x01\0\0", 8) + std::string(257, 'b');
    EXPECT_FALSE(decodeProgression(overlongBiome));

    const std::string arrows = encodeArrows(std::vector<Arrow>(kMaxRecords));
    EXPECT_EQ(decodeArrows(arrows)->size(), kMaxRecords);
    EXPECT_FALSE(decodeArrows(withOneMore(arrows, 8, 48)));

    expectCellMapBounded(kBlockStatesFile, "QVBS", kMaxBlockStates, 2, decodeBlockStates, encodeBlockStates);
    // Furnaces: the earlier file, without dimension ids, is read as the overworld's.
    const auto furnaces = decodeMachines(cellFile("QVMA", kMaxRecords, 39));
    ASSERT_TRUE(furnaces);
    EXPECT_EQ(furnaces->at("core:overworld").size(), kMaxRecords);
    EXPECT_FALSE(decodeMachines(cellFile("QVMA", kMaxRecords + 1, 39)));
    const std::string withIds = encodeMachines(*furnaces);
    EXPECT_EQ(countCells(*decodeMachines(withIds)), kMaxRecords);
    EXPECT_FALSE(decodeMachines(withOneMore(withIds, 8, 4 + 14 + 12 + 39)));
    CellsByDimension<Machine> more = *furnaces;
    more["core:ash"][{0, 0, 0}] = Machine{};
    expectNotSaved([&] { return encodeMachines(more); }, "Cannot save machines.dat: 65537 records, at most 65536");
    expectCellMapBounded(kCropsFile, "QVCR", kMaxBlockStates, 8, decodeCrops, encodeCrops);
    expectCellMapBounded(kWaterFile, "QVWA", kMaxBlockStates, 1, decodeWater, encodeWater);

    // A count that claims more records than the file holds is refused before anything is reserved.
    std::string huge = encodeDroppedItems({});
    huge.replace(8, 4, "\xff\xff\x00\x00", 4);
    EXPECT_FALSE(decodeDroppedItems(huge));
    std::string repeated = encodeMachines({{"core:ash", {{{0, 0, 0}, Machine{}}}}});
    std::string capital = repeated;
    capital[16] = 'C';
    EXPECT_FALSE(decodeMachines(capital)) << "a dimension id that is no resource id";
    repeated.replace(8, 1, 1, '\2');
    repeated += repeated.substr(12);
    EXPECT_FALSE(decodeMachines(repeated)) << "the same dimension and cell twice";
}
