// Mob definitions: the built-ins, every message and range of a mob file, and replacement by id.
#include "content/mobs.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <tuple>
#include <variant>

#include "loader_fixture.h"
#include "support/failure.h"

namespace {

using loadertest::addResource;

constexpr std::uint8_t porkId = 40, boneId = 41, arrowId = 42, statueId = 43, hugeId = 44, emptyModelId = 45;

class MobsTest : public loadertest::LoaderTest {
   protected:
    void SetUp() override {
        LoaderTest::SetUp();
        addResource(porkId, "core:raw_pork", false, false, false);
        addResource(boneId, "core:bone", false, false, false);
        addResource(arrowId, "core:arrow", false, false, false);
        addModel(statueId, "test:statue", content::maxMobModelVertices);
        addModel(hugeId, "test:huge", content::maxMobModelVertices + 1);
        addModel(emptyModelId, "test:flat", 0);
    }
    static void addModel(std::uint8_t id, const std::string& name, std::size_t vertices) {
        voxel::BlockDef def = testsupport::namedBlock(name);
        def.modelVertices.resize(vertices);
        voxel::registerBlock(id, def);
    }
};

// A number as JSON text that reads back exactly.
std::string number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

using M = content::MobDef;

// A numeric key, its bounds and its field; integer keys read into whole-number fields.
struct NumericKey {
    const char* key;
    double min;
    double max;
    std::variant<double M::*, std::int32_t M::*> field;
    bool integer() const { return field.index() == 1; }
    double read(const M& m) const {
        return std::visit([&](auto member) { return static_cast<double>(m.*member); }, field);
    }
};

const NumericKey numericKeys[] = {
    {"territory_radius", 8, 128, &M::territoryRadius},
    {"pursuit_memory_ticks", 0, 1200, &M::pursuitMemoryTicks},
    {"rush_ticks", 4, 40, &M::rushTicks},
    {"rush_windup_ticks", 10, 100, &M::rushWindupTicks},
    {"wave_ticks", 10, 80, &M::waveTicks},
    {"wave_windup_ticks", 15, 120, &M::waveWindupTicks},
    {"phase_health_percent", 10, 90, &M::phaseHealthPercent},
    {"rush_speed", 2, 10, &M::rushSpeed},
    {"wave_range", 2, 10, &M::waveRange},
    {"phase_speed_multiplier", 1, 2, &M::phaseSpeedMultiplier},
    {"phase_damage_multiplier", 1, 2, &M::phaseDamageMultiplier},
    {"phase_cooldown_multiplier", 0.4, 1.0, &M::phaseCooldownMultiplier},
    {"windup_ticks", 4, 100, &M::windupTicks},
    {"heavy_every", 0, 20, &M::heavyEvery},
    {"heavy_damage", 1, 100, &M::heavyDamage},
    {"heavy_windup_ticks", 8, 200, &M::heavyWindupTicks},
    {"heavy_range", 1.5, 6.0, &M::heavyRange},
    {"health", 1, 1000, &M::health},
    {"damage", 1, 100, &M::damage},
    {"attack_ticks", 10, 1200, &M::attackTicks},
    {"spawn_limit", 0, 12, &M::spawnLimit},
    {"spawn_interval_ticks", 20, 480000, &M::spawnIntervalTicks},
    {"speed", 0, 6, &M::speed},
    {"flee_speed", 0, 6, &M::fleeSpeed},
    {"width", 0.3, 2.0, &M::width},
    {"height", 0.3, 3.0, &M::height},
    {"range", 2, 40, &M::range},
};

// The nearest value outside a bound: the next whole number for integer keys.
double beyond(double bound, double direction, bool integer) {
    return integer ? bound + direction
                   : std::nextafter(bound, direction * std::numeric_limits<double>::infinity());
}

std::string drops(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += std::string(i ? ", " : "") + R"({"id": "core:bone"})";
    return "[" + list + "]";
}

TEST_F(MobsTest, EveryFileMessageAtItsEdges) {
    const std::string tooLong(98, 'a'), nine = R"("a:1","a:2","a:3","a:4","a:5","a:6","a:7","a:8","a:9")";
    // Keys after a fresh id, or a whole file when it starts with a brace; "" when the file loads.
    std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"template": "dragon", "id": "t:dragon"})", "Invalid mob template"},
        {R"({})", "Invalid or duplicate mob ID"},
        {R"("dimensions": [])", "Mob requires 1..9 dimensions"},
        {R"("dimensions": "core:ash")", "Mob requires 1..9 dimensions"},
        {R"("dimensions": [)" + nine + "]", ""},
        {R"("dimensions": [)" + nine + R"(, "a:10"])", "Mob requires 1..9 dimensions"},
        {R"("dimensions": ["core:ash", "core:ash"])", "Invalid mob dimension"},
        {R"("dimensions": ["nocolon"])", "Invalid mob dimension"},
        {R"("dimensions": [7])", "Invalid mob dimension"},
        {R"("dimensions": ["a:)" + std::string(77, 'x') + R"("])", ""},
        {R"("dimensions": ["a:)" + std::string(78, 'x') + R"("])", "Invalid mob dimension"},
        {R"({"id": "t:)" + tooLong + R"("})", ""},
        {R"({"id": "t:)" + tooLong + R"(b"})", "Invalid or duplicate mob ID"},
        {R"({"id": "nocolon"})", "Invalid or duplicate mob ID"},
        {R"({"id": "t:twice", "template": "skeleton"})", ""},
        {R"({"id": "t:twice"})", "Invalid or duplicate mob ID"},
        {R"("health": 10.5)", "Invalid mob value: health"},
        {R"("behavior": "flying")", "Invalid behavior or spawn time"},
        {R"("spawn": "dusk")", "Invalid behavior or spawn time"},
        {R"("behavior": "melee", "spawn": "always")", ""},
        {R"("faction": ")" + std::string(100, 'f') + R"(")", ""},
        {R"("faction": ")" + std::string(101, 'f') + R"(")", "Invalid mob faction"},
        {R"("model_resource": "test:statue")", ""},
        {R"("model_resource": "test:huge")", "Mob model needs 1..10000 triangles"},
        {R"("model_resource": "test:flat")", "Mob model needs 1..10000 triangles"},
        {R"("model_resource": "test:none")", "Unknown mob resource: test:none"},
        {R"("drops": )" + drops(8), ""},
        {R"("drops": )" + drops(9), "Invalid mob drops"},
        {R"("drops": [{"id": "t:none", "count": 0}])", "Invalid mob drops"},
        {R"("drops": [{"id": "core:bone", "count": 64}])", ""},
        {R"("drops": [{"id": "core:bone", "count": 65}])", "Invalid mob drops"},
        {R"("drops": [{"id": "core:bone", "count": 1.5}])", "Invalid mob drops"},
        {R"("drops": [{"id": "core:stone"}])", "Unknown mob resource: core:stone"},
    };
    // Each numeric key at both bounds and just beyond each.
    for (const NumericKey& k : numericKeys) {
        const std::string refused = std::string("Invalid mob value: ") + k.key;
        for (const auto& [value, message] : {std::pair{k.min, std::string()},
                                             {beyond(k.min, -1, k.integer()), refused},
                                             {k.max, std::string()},
                                             {beyond(k.max, 1, k.integer()), refused}}) {
            cases.push_back({"\"" + std::string(k.key) + "\": " + number(value), message});
        }
    }
    std::string expected;
    std::size_t accepted = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string name = "n" + std::to_string(1000 + i);  // path order is case order
        const auto& [keys, message] = cases[i];
        const std::string file = name + ".mob.json";
        write(file, keys[0] == '{' ? keys : R"({"id": "t:)" + name + R"(", )" + keys + "}");
        if (message.empty())
            ++accepted;
        else
            expected += lineFor(file, message);
    }
    const std::vector<content::MobDef> mobs = content::loadMobs(content());
    EXPECT_EQ(errors("mob_errors.txt"), expected);
    EXPECT_EQ(mobs.size(), 2 + accepted);
}

TEST_F(MobsTest, BuiltInsCarryTheirDropsAndAFileReplacesOneInPlace) {
    write("a.mob.json", R"({"id": "core:boar", "speed": 2.5})");
    write("b.mob.json", R"({"id": "core:boar"})");
    write("c.mob.json", R"({"id": "t:ghoul", "template": "skeleton", "dimensions": ["core:ash"],
        "drops": [{"id": "core:raw_pork", "count": 3}, {"id": "core:arrow"}]})");
    const std::vector<content::MobDef> mobs = content::loadMobs(content());

    EXPECT_EQ(errors("mob_errors.txt"), lineFor("b.mob.json", "Invalid or duplicate mob ID"));
    ASSERT_EQ(mobs.size(), 3u);
    EXPECT_EQ(std::tie(mobs[0].id, mobs[0].name, mobs[0].speed), std::tuple("core:boar", "core:boar", 2.5));
    EXPECT_TRUE(mobs[0].drops.empty());
    EXPECT_EQ(mobs[1].id, "core:skeleton");
    ASSERT_EQ(mobs[1].drops.size(), 2u);
    EXPECT_EQ(std::tie(mobs[1].drops[0].item, mobs[1].drops[1].item, mobs[1].drops[1].count),
              std::tuple(boneId, arrowId, 2));
    const content::MobDef& ghoul = mobs[2];
    EXPECT_EQ(std::tie(ghoul.health, ghoul.behavior, ghoul.hurtSound, ghoul.dimensions),
              std::tuple(16, "ranged", "mob.skeleton.hurt", std::vector<std::string>{"core:ash"}));
    ASSERT_EQ(ghoul.drops.size(), 2u);
    EXPECT_EQ(std::tie(ghoul.drops[0].item, ghoul.drops[0].count, ghoul.drops[1].count), std::tuple(porkId, 3, 1));
}

TEST_F(MobsTest, EveryNumericKeyReachesItsOwnField) {
    std::string json = R"({"id": "t:max")";
    for (const NumericKey& k : numericKeys) json += std::string(", \"") + k.key + "\": " + number(k.max);
    write("max.mob.json", json + "}");
    const content::MobDef m = content::loadMobs(content()).at(2);
    for (const NumericKey& k : numericKeys) EXPECT_EQ(k.read(m), k.max) << k.key;
}

TEST_F(MobsTest, EachMissingBuiltInDropItemEndsTheLoad) {
    for (const auto& [id, name] :
         {std::pair{porkId, "core:raw_pork"}, {boneId, "core:bone"}, {arrowId, "core:arrow"}}) {
        SetUp();
        voxel::BlockDef missing;
        voxel::registerBlock(id, missing);
        EXPECT_EQ(testsupport::failureOf<std::runtime_error>([&] { content::loadMobs(content()); }),
                  std::string("Unknown mob resource: ") + name);
    }
}

}  // namespace
