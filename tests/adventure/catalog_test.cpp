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

std::string quest(const std::string& id, const std::string& objective, const std::string& extra = "") {
    return R"({"id": ")" + id + R"(", "title": "T", "objective": )" + objective +
           R"(, "reward": {"experience": 5})" + extra + "}";
}

TEST_F(CatalogTest, EveryFileMessage) {
    const std::string kill = R"({"kind": "kill", "target": "t:wolf"})";
    const FileCase cases[] = {
        {"q01.quest.json", "{}", "Invalid or duplicate quest ID"},
        {"q02.quest.json", quest("t:q", kill), ""},
        {"q03.quest.json", quest("t:q", kill), "Invalid or duplicate quest ID"},
        {"q04.quest.json", R"({"id": "t:q4", "objective": {}})", "Quest requires a title"},
        {"q05.quest.json",
         R"({"id": "t:q5", "title": ")" + std::string(80, 't') + R"(", "objective": )" + kill +
             R"(, "reward": {"item": "test:stick", "count": 64}})",
         ""},
        {"q06.quest.json", R"({"id": "t:q6", "title": ")" + std::string(81, 't') + R"("})",
         "Invalid adventure text: title"},
        {"q07.quest.json", R"({"id": "t:q7", "title": "a\nb"})", "Invalid adventure text: title"},
        {"q08.quest.json", R"({"id": "t:q8", "title": "T"})", "Quest requires an objective"},
        {"q09.quest.json", quest("t:q9", R"({"kind": "explore", "target": "t:wolf"})"),
         "Invalid quest objective"},
        {"q10.quest.json", quest("t:q10", R"({"kind": "kill", "target": "t:bear"})"),
         "Unknown expedition structure or mob"},
        {"q11.quest.json", quest("t:q11", R"({"kind": "visit", "target": "t:ruin"})"),
         "Unknown expedition structure or mob"},
        {"q12.quest.json", quest("t:q12", R"({"kind": "visit", "target": "t:camp"})"), ""},
        {"q13.quest.json", quest("t:q13", R"({"kind": "gather", "target": "t:none"})"),
         "Unknown adventure resource: t:none"},
        {"q14.quest.json", quest("t:q14", R"({"kind": "gather", "target": "test:stick", "count": 999})"), ""},
        {"q15.quest.json", quest("t:q15", R"({"kind": "gather", "target": "test:stick", "count": 1000})"),
         "Invalid adventure value: count"},
        {"q16.quest.json", quest("t:q16", R"({"kind": "kill", "target": "t:wolf", "count": 0})"),
         "Invalid adventure value: count"},
        {"q17.quest.json", R"({"id": "t:q17", "title": "T", "objective": )" + kill + "}",
         "Quest requires a reward"},
        {"q18.quest.json", R"({"id": "t:q18", "title": "T", "objective": )" + kill + R"(, "reward": {}})",
         "Quest requires a reward"},
        {"q19.quest.json",
         R"({"id": "t:q19", "title": "T", "objective": )" + kill +
             R"(, "reward": {"item": "test:stick", "count": 65}})",
         "Invalid adventure value: count"},
        {"q20.quest.json",
         R"({"id": "t:q20", "title": "T", "objective": )" + kill + R"(, "reward": {"experience": 100000}})",
         ""},
        {"q21.quest.json",
         R"({"id": "t:q21", "title": "T", "objective": )" + kill + R"(, "reward": {"experience": 100001}})",
         "Invalid adventure value: experience"},
        // NPC files are read after every quest file, whatever their paths.
        {"a01.npc.json", R"({"id": "t:smith", "quests": ["t:q", "t:q12"]})", ""},
        {"a02.npc.json", "{}", "Invalid or duplicate NPC ID"},
        {"a03.npc.json", R"({"id": "t:smith"})", "Invalid or duplicate NPC ID"},
        {"a04.npc.json", R"({"id": "t:guard.city.x"})", "Invalid or duplicate NPC ID"},
        {"a05.npc.json", R"({"id": "t:n5", "name": ")" + std::string(48, 'n') + R"("})", ""},
        {"a06.npc.json", R"({"id": "t:n6", "name": ")" + std::string(49, 'n') + R"("})",
         "Invalid adventure text: name"},
        {"a07.npc.json", R"({"id": "t:n7", "model": "t:none"})", "Unknown adventure resource: t:none"},
        {"a08.npc.json", R"({"id": "t:n8", "parts": ["head", "arm"]})", "NPC requires three part names"},
        {"a09.npc.json", R"({"id": "t:n9", "parts": ["head", "arm", 3]})", "NPC requires three part names"},
        {"a10.npc.json", R"({"id": "t:n10", "height": 0.5})", ""},
        {"a11.npc.json", R"({"id": "t:n11", "height": 0.49999})", "Invalid NPC height"},
        {"a12.npc.json", R"({"id": "t:n12", "height": 4.0})", ""},
        {"a13.npc.json", R"({"id": "t:n13", "height": 4.00001})", "Invalid NPC height"},
        {"a14.npc.json", R"({"id": "t:n14", "quests": ["t:q4"]})", "Unknown or repeated NPC quest"},
        {"a15.npc.json", R"({"id": "t:n15", "quests": ["t:q", "t:q"]})", "Unknown or repeated NPC quest"},
        {"a16.npc.json", R"({"id": "t:n16", "quests": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17]})",
         "NPC offers at most 16 quests"},
        {"a17.npc.json", R"({"id": "t:n17", "trade": {"wants": "test:stick"}})",
         "Unknown adventure resource: "},
        {"a18.npc.json",
         R"({"id": "t:n18", "trade": {"wants": "test:stick", "gives": "test:seeds", "gives_count": 65}})",
         "Invalid adventure value: gives_count"},
        {"a19.npc.json", R"({"id": "t:n19", "animations": {"walk": ")" + std::string(65, 'w') + R"("}})",
         "Invalid adventure text: walk"},
    };
    std::string expected;
    for (const FileCase& c : cases) {
        write(c.file, c.json);
        if (*c.message == '\0' || std::string(c.file).find(".quest.") == std::string::npos) continue;
        expected += lineFor(c.file, c.message);
    }
    for (const FileCase& c : cases) {
        if (*c.message != '\0' && std::string(c.file).find(".npc.") != std::string::npos)
            expected += lineFor(c.file, c.message);
    }
    const adventure::Catalog catalog = load();
    EXPECT_EQ(errors("adventure_errors.txt"), expected);
    EXPECT_EQ(catalog.quests.size(), 5u);
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

TEST_F(CatalogTest, AFileAboveOneMebibyteIsRefusedUnread) {
    const std::string big = R"({"id": "t:big"})", huge = R"({"id": "t:huge"})";
    write("big.npc.json", big + std::string(adventure::maxAdventureFileBytes - big.size(), ' '));
    write("huge.npc.json", huge + std::string(adventure::maxAdventureFileBytes - huge.size() + 1, ' '));
    const adventure::Catalog catalog = load();
    ASSERT_EQ(catalog.npcs.size(), 1u);
    EXPECT_EQ(catalog.npcs[0].id, "t:big");
    EXPECT_EQ(errors("adventure_errors.txt"), lineFor("huge.npc.json", "Adventure file is too large"));
}

}  // namespace
