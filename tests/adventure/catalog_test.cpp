// Quest and NPC files: every message as one table, and what a good file turns into.
#include "adventure/catalog.h"

#include "content/loader_fixture.h"

namespace {

using loadertest::stick;

class CatalogTest : public loadertest::LoaderTest {
   protected:
    adventure::Catalog load() { return adventure::loadContent(content(), mobs, structures); }
    std::set<std::string> mobs{"core:boar", "t:wolf"};
    std::set<std::string> structures{"t:camp"};
};

std::string quest(const std::string& id, const std::string& objective,
                  const std::string& reward = R"({"experience": 5})") {
    return R"({"id": ")" + id + R"(", "title": "T", "objective": )" + objective +
           (reward.empty() ? "" : R"(, "reward": )" + reward) + "}";
}

using Cases = std::vector<std::pair<std::string, std::string>>;  // a file and its message, "" when it loads

TEST_F(CatalogTest, EveryFileMessage) {
    const std::string kill = R"({"kind": "kill", "target": "t:wolf"})";
    const Cases quests = {
        {"{}", "Invalid or duplicate quest ID"},
        {quest("t:q", kill), ""},
        {quest("t:q", kill), "Invalid or duplicate quest ID"},
        {R"({"id": "t:q4", "objective": {}})", "Quest requires a title"},
        {R"({"id": "t:q5", "title": ")" + std::string(80, 't') + R"(", "objective": )" + kill +
             R"(, "reward": {"item": "test:stick", "count": 64}})",
         ""},
        {R"({"id": "t:q6", "title": ")" + std::string(81, 't') + R"("})", "Invalid adventure text: title"},
        {R"({"id": "t:q7", "title": "a\nb"})", "Invalid adventure text: title"},
        {R"({"id": "t:q8", "title": "T"})", "Quest requires an objective"},
        {quest("t:q9", R"({"kind": "explore", "target": "t:wolf"})"), "Invalid quest objective"},
        {quest("t:q10", R"({"kind": "kill", "target": "t:bear"})"), "Unknown expedition structure or mob"},
        {quest("t:q11", R"({"kind": "visit", "target": "t:ruin"})"), "Unknown expedition structure or mob"},
        {quest("t:q12", R"({"kind": "visit", "target": "t:camp"})"), ""},
        {quest("t:q13", R"({"kind": "gather", "target": "t:none"})"), "Unknown adventure resource: t:none"},
        {quest("t:q14", R"({"kind": "gather", "target": "test:stick", "count": 999})"), ""},
        {quest("t:q15", R"({"kind": "gather", "target": "test:stick", "count": 1000})"),
         "Invalid adventure value: count"},
        {quest("t:q16", R"({"kind": "kill", "target": "t:wolf", "count": 0})"),
         "Invalid adventure value: count"},
        {quest("t:q17", kill, ""), "Quest requires a reward"},
        {quest("t:q18", kill, "{}"), "Quest requires a reward"},
        {quest("t:q19", kill, R"({"item": "test:stick", "count": 65})"), "Invalid adventure value: count"},
        {quest("t:q20", kill, R"({"experience": 100000})"), ""},
        {quest("t:q21", kill, R"({"experience": 100001})"), "Invalid adventure value: experience"},
        // A later stage names an earlier file's quest.
        {R"({"id": "t:q22", "title": "T", "previous": "t:q12", "objective": )" + kill + R"(, "reward": {"experience": 5}})",
         ""},
        {R"({"id": "t:q23", "title": "T", "previous": "t:q24", "objective": )" + kill + R"(, "reward": {"experience": 5}})",
         "Unknown previous quest"},
    };
    // NPC files are read after every quest file, whatever their paths.
    const Cases npcs = {
        {R"({"id": "t:smith", "quests": ["t:q", "t:q12"]})", ""},
        {"{}", "Invalid or duplicate NPC ID"},
        {R"({"id": "t:smith"})", "Invalid or duplicate NPC ID"},
        {R"({"id": "t:guard.city.x"})", "Invalid or duplicate NPC ID"},
        {R"({"id": "t:n5", "name": ")" + std::string(48, 'n') + R"("})", ""},
        {R"({"id": "t:n6", "name": ")" + std::string(49, 'n') + R"("})", "Invalid adventure text: name"},
        {R"({"id": "t:n7", "model": "t:none"})", "Unknown adventure resource: t:none"},
        {R"({"id": "t:n8", "parts": ["head", "arm"]})", "NPC requires three part names"},
        {R"({"id": "t:n9", "parts": ["head", "arm", 3]})", "NPC requires three part names"},
        {R"({"id": "t:n10", "height": 0.5})", ""},
        {R"({"id": "t:n11", "height": 0.49999})", "Invalid NPC height"},
        {R"({"id": "t:n12", "height": 4.0})", ""},
        {R"({"id": "t:n13", "height": 4.00001})", "Invalid NPC height"},
        {R"({"id": "t:n14", "quests": ["t:q4"]})", "Unknown or repeated NPC quest"},
        {R"({"id": "t:n15", "quests": ["t:q", "t:q"]})", "Unknown or repeated NPC quest"},
        {R"({"id": "t:n16", "quests": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17]})",
         "NPC offers at most 16 quests"},
        {R"({"id": "t:n17", "trade": {"wants": "test:stick"}})", "Unknown adventure resource: "},
        {R"({"id": "t:n18", "trade": {"wants": "test:stick", "gives": "test:seeds", "gives_count": 65}})",
         "Invalid adventure value: gives_count"},
        {R"({"id": "t:n19", "animations": {"walk": ")" + std::string(65, 'w') + R"("}})",
         "Invalid adventure text: walk"},
    };
    std::string expected;
    const auto writeAll = [&](const Cases& cases, const char* prefix, const char* suffix) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const std::string file = prefix + std::to_string(10 + i) + suffix;
            write(file, cases[i].first);
            if (!cases[i].second.empty()) expected += lineFor(file, cases[i].second);
        }
    };
    writeAll(quests, "q", ".quest.json");
    writeAll(npcs, "a", ".npc.json");
    const adventure::Catalog catalog = load();
    EXPECT_EQ(errors("adventure_errors.txt"), expected);
    EXPECT_EQ(catalog.quests.size(), 6u);
    EXPECT_EQ(catalog.quests.at("t:q22").previous, "t:q12");
    ASSERT_EQ(catalog.npcs.size(), 4u);
    EXPECT_EQ(catalog.npcs[0].quests, (std::vector<std::string>{"t:q", "t:q12"}));
}

TEST_F(CatalogTest, AGoodNpcKeepsEveryField) {
    write("smith.npc.json", R"({"id": "t:smith", "name": "Кузнец", "height": 2.5, "parts": ["a", "b", "c"],
        "animations": {"idle": "rest", "gesture": "wave"},
        "trade": {"wants": "test:stick", "wants_count": 4, "gives": "test:blade"}})");
    write("plain.npc.json", R"({"id": "t:plain"})");
    const adventure::Catalog catalog = load();
    ASSERT_EQ(catalog.npcs.size(), 2u);
    const adventure::Npc& plain = catalog.npcs[0];
    EXPECT_EQ(plain.name, "t:plain");
    EXPECT_DOUBLE_EQ(plain.height, 1.82);
    EXPECT_EQ(plain.modelPartNames[2], "right_arm");
    EXPECT_FALSE(plain.trades);
    const adventure::Npc& smith = catalog.npcs[1];
    EXPECT_EQ(smith.name, "Кузнец");
    EXPECT_DOUBLE_EQ(smith.height, 2.5);
    EXPECT_EQ(smith.modelPartNames, (std::array<std::string, 3>{"a", "b", "c"}));
    EXPECT_EQ(smith.animationNames, (std::array<std::string, 3>{"rest", "", "wave"}));
    EXPECT_TRUE(smith.trades);
    EXPECT_EQ(smith.trade.wantsCount, 4);
    EXPECT_EQ(smith.trade.givesCount, 1);
    EXPECT_EQ(smith.trade.gives, "test:blade");
}

// The catalog holds at most 256 quests and 128 NPCs, and an NPC offers at most 16 quests: the last
// that fits loads, the first beyond is refused.
TEST_F(CatalogTest, CountLimitsOfQuestsNpcsAndOfferedQuests) {
    const adventure::ContentIndexes indexes{mobs, structures};
    const std::string kill = R"({"kind": "kill", "target": "t:wolf"})";
    const auto questCatalog = [](std::size_t count) {
        adventure::Catalog catalog;
        for (std::size_t i = 0; i < count; ++i)
            catalog.quests["t:q" + std::to_string(i)].id = "t:q" + std::to_string(i);
        return catalog;
    };
    const auto offered = [](std::size_t count) {
        std::string list;
        for (std::size_t i = 0; i < count; ++i) list += (i ? ", \"t:q" : "\"t:q") + std::to_string(i) + "\"";
        return content::parseJsonText(R"({"id": "t:n", "quests": [)" + list + "]}");
    };
    const struct {
        const char* what;
        std::size_t quests, npcs, offers;
        bool npcFile;
        const char* message;  // "" when it loads
    } rows[] = {
        {"quest 256", adventure::maxQuests - 1, 0, 0, false, ""},
        {"quest 257", adventure::maxQuests, 0, 0, false, "Too many quests"},
        {"NPC 128", 16, adventure::maxNpcs - 1, 0, true, ""},
        {"NPC 129", 16, adventure::maxNpcs, 0, true, "Too many NPCs"},
        {"16 offered quests", 16, 0, 16, true, ""},
        {"17 offered quests", 17, 0, 17, true, "NPC offers at most 16 quests"},
    };
    for (const auto& row : rows) {
        adventure::Catalog catalog = questCatalog(row.quests);
        for (std::size_t i = 0; i < row.npcs; ++i)
            catalog.npcs.emplace_back().id = "t:other" + std::to_string(i);
        std::string message;
        try {
            if (row.npcFile) {
                EXPECT_EQ(adventure::readNpc(offered(row.offers), catalog).quests.size(), row.offers)
                    << row.what;
            } else {
                adventure::readQuest(content::parseJsonText(quest("t:new", kill)), indexes, catalog);
            }
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_EQ(message, row.message) << row.what;
    }
}

TEST_F(CatalogTest, AFileAboveItsKindsLimitIsRefusedUnread) {
    const uint64_t limit = content::fileSizeLimit(content::ContentFile::Npc);
    const std::string big = R"({"id": "t:big"})", huge = R"({"id": "t:huge"})";
    write("big.npc.json", big + std::string(limit - big.size(), ' '));
    write("huge.npc.json", huge + std::string(limit - huge.size() + 1, ' '));
    const adventure::Catalog catalog = load();
    ASSERT_EQ(catalog.npcs.size(), 1u);
    EXPECT_EQ(catalog.npcs[0].id, "t:big");
    EXPECT_EQ(errors("adventure_errors.txt"),
              lineFor("huge.npc.json", "file too large (" + std::to_string(limit + 1) + " bytes, at most " +
                                           std::to_string(limit) + ")"));
}

}  // namespace
