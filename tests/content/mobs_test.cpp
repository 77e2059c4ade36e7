// Mob definitions: the built-ins, every message and range of a mob file, and replacement by id.
#include "content/mobs.h"

#include <cmath>
#include <cstdio>
#include <limits>

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

struct NumericKey {
    const char* key;
    double min;
    double max;
    bool integer;
};

const NumericKey numericKeys[] = {
    {"territory_radius", 8, 128, false},
    {"pursuit_memory_ticks", 0, 1200, true},
    {"rush_ticks", 4, 40, true},
    {"rush_windup_ticks", 10, 100, true},
    {"wave_ticks", 10, 80, true},
    {"wave_windup_ticks", 15, 120, true},
    {"phase_health_percent", 10, 90, true},
    {"rush_speed", 2, 10, false},
    {"wave_range", 2, 10, false},
    {"phase_speed_multiplier", 1, 2, false},
    {"phase_damage_multiplier", 1, 2, false},
    {"phase_cooldown_multiplier", 0.4, 1.0, false},
    {"windup_ticks", 4, 100, true},
    {"heavy_every", 0, 20, true},
    {"heavy_damage", 1, 100, true},
    {"heavy_windup_ticks", 8, 200, true},
    {"heavy_range", 1.5, 6.0, false},
    {"health", 1, 1000, true},
    {"damage", 1, 100, true},
    {"attack_ticks", 10, 1200, true},
    {"spawn_limit", 0, 12, true},
    {"spawn_interval_ticks", 20, 480000, true},
    {"speed", 0, 6, false},
    {"flee_speed", 0, 6, false},
    {"width", 0.3, 2.0, false},
    {"height", 0.3, 3.0, false},
    {"range", 2, 40, false},
};

// The nearest value outside a bound: the next whole number for integer keys.
double beyond(double bound, double direction, bool integer) {
    return integer ? bound + direction
                   : std::nextafter(bound, direction * std::numeric_limits<double>::infinity());
}

struct MobCase {
    std::string file;
    std::string json;
    std::string message;  // empty when the file loads
};

std::string drops(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += std::string(i ? ", " : "") + R"({"id": "core:bone"})";
    return "[" + list + "]";
}

TEST_F(MobsTest, EveryFileMessageAtItsEdges) {
    const std::string tooLong(98, 'a');
    std::vector<MobCase> cases = {
        {"a01.mob.json", R"({"template": "dragon", "id": "t:a01"})", "Invalid mob template"},
        {"a02.mob.json", R"({})", "Invalid or duplicate mob ID"},
        {"a03.mob.json", R"({"id": "t:a03", "dimensions": []})", "Mob requires 1..9 dimensions"},
        {"a04.mob.json", R"({"id": "t:a04", "dimensions": "core:ash"})", "Mob requires 1..9 dimensions"},
        {"a05.mob.json",
         R"({"id": "t:a05", "dimensions": ["a:1","a:2","a:3","a:4","a:5","a:6","a:7","a:8","a:9"]})", ""},
        {"a06.mob.json",
         R"({"id": "t:a06", "dimensions": ["a:1","a:2","a:3","a:4","a:5","a:6","a:7","a:8","a:9","a:10"]})",
         "Mob requires 1..9 dimensions"},
        {"a07.mob.json", R"({"id": "t:a07", "dimensions": ["core:ash", "core:ash"]})",
         "Invalid mob dimension"},
        {"a08.mob.json", R"({"id": "t:a08", "dimensions": ["nocolon"]})", "Invalid mob dimension"},
        {"a09.mob.json", R"({"id": "t:a09", "dimensions": [7]})", "Invalid mob dimension"},
        {"a10.mob.json", R"({"id": "t:a10", "dimensions": ["a:)" + std::string(77, 'x') + R"("]})", ""},
        {"a11.mob.json", R"({"id": "t:a11", "dimensions": ["a:)" + std::string(78, 'x') + R"("]})",
         "Invalid mob dimension"},
        {"a12.mob.json", R"({"id": "t:)" + tooLong + R"("})", ""},
        {"a13.mob.json", R"({"id": "t:)" + tooLong + R"(b"})", "Invalid or duplicate mob ID"},
        {"a14.mob.json", R"({"id": "nocolon"})", "Invalid or duplicate mob ID"},
        {"a15.mob.json", R"({"id": "t:a01x", "template": "skeleton"})", ""},
        {"a16.mob.json", R"({"id": "t:a01x"})", "Invalid or duplicate mob ID"},
        {"a17.mob.json", R"({"id": "t:a17", "health": 10.5})", "Invalid mob value: health"},
        {"a18.mob.json", R"({"id": "t:a18", "behavior": "flying"})", "Invalid behavior or spawn time"},
        {"a19.mob.json", R"({"id": "t:a19", "spawn": "dusk"})", "Invalid behavior or spawn time"},
        {"a20.mob.json", R"({"id": "t:a20", "behavior": "melee", "spawn": "always"})", ""},
        {"a21.mob.json", R"({"id": "t:a21", "faction": ")" + std::string(100, 'f') + R"("})", ""},
        {"a22.mob.json", R"({"id": "t:a22", "faction": ")" + std::string(101, 'f') + R"("})",
         "Invalid mob faction"},
        {"a23.mob.json", R"({"id": "t:a23", "model_resource": "test:statue"})", ""},
        {"a24.mob.json", R"({"id": "t:a24", "model_resource": "test:huge"})",
         "Mob model needs 1..10000 triangles"},
        {"a25.mob.json", R"({"id": "t:a25", "model_resource": "test:flat"})",
         "Mob model needs 1..10000 triangles"},
        {"a26.mob.json", R"({"id": "t:a26", "model_resource": "test:none"})",
         "Unknown mob resource: test:none"},
        {"a27.mob.json", R"({"id": "t:a27", "drops": )" + drops(8) + "}", ""},
        {"a28.mob.json", R"({"id": "t:a28", "drops": )" + drops(9) + "}", "Invalid mob drops"},
        {"a29.mob.json", R"({"id": "t:a29", "drops": [{"id": "t:none", "count": 0}]})", "Invalid mob drops"},
        {"a30.mob.json", R"({"id": "t:a30", "drops": [{"id": "core:bone", "count": 64}]})", ""},
        {"a31.mob.json", R"({"id": "t:a31", "drops": [{"id": "core:bone", "count": 65}]})",
         "Invalid mob drops"},
        {"a32.mob.json", R"({"id": "t:a32", "drops": [{"id": "core:bone", "count": 1.5}]})",
         "Invalid mob drops"},
        {"a33.mob.json", R"({"id": "t:a33", "drops": [{"id": "core:stone"}]})",
         "Unknown mob resource: core:stone"},
    };
    // Each numeric key at both bounds and just beyond each.
    for (const NumericKey& k : numericKeys) {
        const std::string refused = std::string("Invalid mob value: ") + k.key;
        const std::pair<double, std::string> values[] = {{k.min, ""},
                                                         {beyond(k.min, -1, k.integer), refused},
                                                         {k.max, ""},
                                                         {beyond(k.max, 1, k.integer), refused}};
        for (const auto& [value, message] : values) {
            const std::string count = std::to_string(cases.size());
            const std::string name =
                "n" + std::string(3 - count.size(), '0') + count;  // path order is case order
            cases.push_back({name + ".mob.json",
                             R"({"id": "t:)" + name + R"(", ")" + k.key + R"(": )" + number(value) + "}",
                             message});
        }
    }
    std::string expected;
    for (const MobCase& c : cases) {
        write(c.file, c.json);
        if (!c.message.empty()) expected += lineFor(c.file, c.message);
    }
    const std::vector<content::MobDef> mobs = content::loadMobs(content());
    EXPECT_EQ(errors("mob_errors.txt"), expected);
    std::size_t accepted = 0;
    for (const MobCase& c : cases) accepted += c.message.empty();
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
    EXPECT_EQ(mobs[0].id, "core:boar");
    EXPECT_EQ(mobs[0].name, "core:boar");
    EXPECT_DOUBLE_EQ(mobs[0].speed, 2.5);
    EXPECT_TRUE(mobs[0].drops.empty());
    EXPECT_EQ(mobs[1].id, "core:skeleton");
    ASSERT_EQ(mobs[1].drops.size(), 2u);
    EXPECT_EQ(mobs[1].drops[0].item, boneId);
    EXPECT_EQ(mobs[1].drops[1].item, arrowId);
    EXPECT_EQ(mobs[1].drops[1].count, 2);
    const content::MobDef& ghoul = mobs[2];
    EXPECT_EQ(ghoul.health, 16);
    EXPECT_EQ(ghoul.behavior, "ranged");
    EXPECT_EQ(ghoul.hurtSound, "mob.skeleton.hurt");
    EXPECT_EQ(ghoul.dimensions, std::vector<std::string>{"core:ash"});
    ASSERT_EQ(ghoul.drops.size(), 2u);
    EXPECT_EQ(ghoul.drops[0].item, porkId);
    EXPECT_EQ(ghoul.drops[0].count, 3);
    EXPECT_EQ(ghoul.drops[1].count, 1);
}

TEST_F(MobsTest, EveryNumericKeyReachesItsOwnField) {
    std::string json = R"({"id": "t:max")";
    for (const NumericKey& k : numericKeys) json += std::string(", \"") + k.key + "\": " + number(k.max);
    write("max.mob.json", json + "}");
    const content::MobDef m = content::loadMobs(content()).at(2);
    const double read[] = {m.territoryRadius,
                           double(m.pursuitMemoryTicks),
                           double(m.rushTicks),
                           double(m.rushWindupTicks),
                           double(m.waveTicks),
                           double(m.waveWindupTicks),
                           double(m.phaseHealthPercent),
                           m.rushSpeed,
                           m.waveRange,
                           m.phaseSpeedMultiplier,
                           m.phaseDamageMultiplier,
                           m.phaseCooldownMultiplier,
                           double(m.windupTicks),
                           double(m.heavyEvery),
                           double(m.heavyDamage),
                           double(m.heavyWindupTicks),
                           m.heavyRange,
                           double(m.health),
                           double(m.damage),
                           double(m.attackTicks),
                           double(m.spawnLimit),
                           double(m.spawnIntervalTicks),
                           m.speed,
                           m.fleeSpeed,
                           m.width,
                           m.height,
                           m.range};
    ASSERT_EQ(std::size(read), std::size(numericKeys));
    for (std::size_t i = 0; i < std::size(read); ++i)
        EXPECT_EQ(read[i], numericKeys[i].max) << numericKeys[i].key;
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
