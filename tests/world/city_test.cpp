#include "world/city.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "support/fresh_registry.h"
#include "world/block_registry.h"
#include "world/chunk.h"

// Expected sites and levels were worked out from the hash, noise and surface formulas by a separate
// single-precision model of them, for seed 12345 at stage 4 with no custom biomes.
namespace {

using voxel::CitySite;
using voxel::GenerationContext;

constexpr uint8_t stone = 3;
constexpr uint8_t grass = 1;
constexpr uint8_t dirt = 2;
constexpr uint8_t water = 5;
constexpr uint8_t oakLog = 7;
constexpr uint8_t oakLeaves = 8;

// Palette resources registered by the builder tests.
enum PaletteId : uint8_t { paving = 13, plaster, roof, planks, glass };

std::shared_ptr<voxel::GenerationProfile> cityProfile(uint32_t spacing, float chance,
                                                      std::vector<std::string> biomes = {}) {
    auto profile = std::make_shared<voxel::GenerationProfile>();
    voxel::StructureRule tower;
    tower.id = "test:tower";
    tower.spacing = 256;
    tower.chance = 1.0f;
    voxel::StructureRule city;
    city.id = "test:city";
    city.city = true;
    city.spacing = spacing;
    city.chance = chance;
    city.biomes = std::move(biomes);
    profile->structures = {tower, city};
    return profile;
}

GenerationContext context(std::shared_ptr<const voxel::GenerationProfile> profile, uint32_t seed = 12345,
                          int32_t stage = 4) {
    GenerationContext c;
    c.seed = seed;
    c.stage = stage;
    c.profile = std::move(profile);
    return c;
}

void expectSite(const CitySite& site, int32_t x, int32_t y, int32_t z) {
    EXPECT_TRUE(site.present);
    EXPECT_EQ(site.x, x);
    EXPECT_EQ(site.y, y);
    EXPECT_EQ(site.z, z);
}

TEST(CitySiteTest, RegionsOfSeed12345) {
    const GenerationContext c = context(cityProfile(384, 1.0f));
    struct Expected {
        int32_t gx, gz;
        bool present;
        int32_t x, y, z;
    };
    // Some regions take their first candidate, others a later one (k = 4, 8, 13).
    const Expected expected[] = {
        {-2, -2, false, 0, 0, 0},     {-1, -2, true, -323, 69, -669}, {0, -2, true, 268, 61, -506},
        {1, -2, true, 569, 57, -593}, {-2, -1, true, -510, 67, -184}, {-1, -1, false, 0, 0, 0},
        {0, -1, true, 297, 65, -327}, {1, -1, true, 512, 56, -330},   {-2, 0, true, -680, 65, 179},
        {0, 0, false, 0, 0, 0},       {1, 0, false, 0, 0, 0},         {-1, 1, true, -307, 56, 701},
        {1, 1, true, 703, 66, 567},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(testing::Message() << "region " << e.gx << ", " << e.gz);
        const CitySite site = voxel::citySite(c, e.gx, e.gz);
        EXPECT_EQ(site.gx, e.gx);
        EXPECT_EQ(site.gz, e.gz);
        if (e.present) {
            expectSite(site, e.x, e.y, e.z);
        } else {
            EXPECT_FALSE(site.present);
        }
    }
}

TEST(CitySiteTest, OtherSeedsAndSpacings) {
    expectSite(voxel::citySite(context(cityProfile(384, 1.0f), 999), -1, -2), -131, 65, -713);
    expectSite(voxel::citySite(context(cityProfile(384, 1.0f), 4242), 0, -2), 322, 59, -511);
    EXPECT_FALSE(voxel::citySite(context(cityProfile(384, 1.0f), 4242), 0, 0).present);
    expectSite(voxel::citySite(context(cityProfile(128, 1.0f)), 2, -3), 312, 67, -328);
    EXPECT_FALSE(voxel::citySite(context(cityProfile(128, 1.0f)), 1, 0).present);
}

TEST(CitySiteTest, ChanceDecidesBeforeTerrain) {
    // The region hashes are 0.263 for (0, -1) and 0.671 for (1, -2).
    const GenerationContext half = context(cityProfile(384, 0.5f));
    expectSite(voxel::citySite(half, 0, -1), 297, 65, -327);
    EXPECT_FALSE(voxel::citySite(half, 1, -2).present);
    EXPECT_FALSE(voxel::citySite(context(cityProfile(384, 0.0f)), 0, -1).present);
}

TEST(CitySiteTest, NoCityWithoutRule) {
    EXPECT_FALSE(voxel::citySite(context(nullptr), 0, -2).present);
    auto noCity = cityProfile(384, 1.0f);
    noCity->structures.pop_back();
    EXPECT_EQ(voxel::cityRule(noCity.get()), nullptr);
    EXPECT_FALSE(voxel::citySite(context(noCity), 0, -2).present);
    EXPECT_TRUE(voxel::nearbyCitySites(context(noCity), 268, -506, 100).empty());
}

TEST(CitySiteTest, BiomeListRestrictsTheCentre) {
    // (0, -2) stands in plains, (0, -1) in desert.
    expectSite(voxel::citySite(context(cityProfile(384, 1.0f, {"core:plains"})), 0, -2), 268, 61, -506);
    EXPECT_FALSE(voxel::citySite(context(cityProfile(384, 1.0f, {"core:plains"})), 0, -1).present);
    EXPECT_FALSE(voxel::citySite(context(cityProfile(384, 1.0f, {"core:desert"})), 0, -2).present);
    expectSite(voxel::citySite(context(cityProfile(384, 1.0f, {"core:desert"})), 1, -1), 512, 56, -330);
}

TEST(CitySiteTest, NearbySitesInRegionOrder) {
    const GenerationContext c = context(cityProfile(384, 1.0f));
    const std::vector<CitySite> sites = voxel::nearbyCitySites(c, 0, -400, 300);
    ASSERT_EQ(sites.size(), 3u);
    expectSite(sites[0], -323, 69, -669);
    expectSite(sites[1], 268, 61, -506);
    expectSite(sites[2], 297, 65, -327);
    // The centre (268, -506) is exactly r + 32 away on x from 168, one block more from 167.
    EXPECT_EQ(voxel::nearbyCitySites(c, 168, -506, 68).size(), 1u);
    EXPECT_TRUE(voxel::nearbyCitySites(c, 167, -506, 68).empty());
}

TEST(CitySiteCacheTest, EmptiedWhenTheWorldChanges) {
    auto profile = cityProfile(384, 1.0f);
    voxel::CitySiteCache cache;
    expectSite(cache.site(context(profile), 0, -2), 268, 61, -506);
    expectSite(cache.site(context(profile), -1, -2), -323, 69, -669);
    EXPECT_EQ(cache.size(), 2u);

    // Another seed: the region answers for the new world.
    expectSite(cache.site(context(profile, 999), 0, -2), 212, 63, -446);
    EXPECT_EQ(cache.size(), 1u);

    // A new profile without cities, even one equal in every other way.
    auto noCity = std::make_shared<voxel::GenerationProfile>(*profile);
    noCity->structures.pop_back();
    EXPECT_FALSE(cache.site(context(noCity, 999), 0, -2).present);
    EXPECT_EQ(cache.size(), 1u);

    // Back to the first world, then another stage.
    expectSite(cache.site(context(profile), 0, -2), 268, 61, -506);
    const CitySite stage3 = voxel::citySite(context(profile, 12345, 3), 0, -2);
    const CitySite cached3 = cache.site(context(profile, 12345, 3), 0, -2);
    EXPECT_EQ(cached3.present, stage3.present);
    EXPECT_EQ(cached3.x, stage3.x);
    EXPECT_EQ(cached3.y, stage3.y);
    EXPECT_EQ(cache.size(), 1u);

    // Region (-1, -2) has its city elsewhere at stage 3: each stage answers with its own.
    const CitySite moved3 = voxel::citySite(context(profile, 12345, 3), -1, -2);
    ASSERT_TRUE(moved3.present);
    ASSERT_NE(moved3.x, -323);
    expectSite(cache.site(context(profile, 12345, 3), -1, -2), moved3.x, moved3.y, moved3.z);
    expectSite(cache.site(context(profile), -1, -2), -323, 69, -669);
    expectSite(cache.site(context(profile, 12345, 3), -1, -2), moved3.x, moved3.y, moved3.z);
    EXPECT_EQ(cache.size(), 1u);

    cache.clear();
    EXPECT_EQ(cache.size(), 0u);
}

// A world-space block grid that a city is built into.
struct Grid {
    int32_t originX, originZ, sizeX, sizeZ;
    std::vector<uint8_t> cells;

    Grid(int32_t x, int32_t z, int32_t sx, int32_t sz)
        : originX(x), originZ(z), sizeX(sx), sizeZ(sz), cells(static_cast<std::size_t>(sx) * sz * 128, 0) {}
    voxel::CellGrid view() { return {originX, originZ, sizeX, sizeZ, cells.data()}; }
    uint8_t at(int32_t x, int32_t y, int32_t z) const {
        return cells[(static_cast<std::size_t>(y) * sizeZ + (z - originZ)) * sizeX + (x - originX)];
    }
};

class CityBuilderTest : public testsupport::FreshRegistryTest {
   protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        add(paving, "core:city_paving");
        add(plaster, "core:city_plaster");
        add(roof, "core:city_roof");
        add(planks, "core:city_planks");
    }

    static void add(uint8_t id, const std::string& contentId) {
        voxel::BlockDef def = testsupport::namedBlock(contentId);
        def.solid = true;
        voxel::registerBlock(id, def);
    }

    // The city of region (0, -2), centre (268, 61, -506), built into a grid around it.
    Grid built() {
        Grid grid(site.x - 60, site.z - 60, 120, 120);
        voxel::buildCity(ctx, grid.view(), site);
        return grid;
    }
    // The cell at offsets from the city centre.
    int at(const Grid& g, int32_t dx, int32_t dy, int32_t dz) const {
        return g.at(site.x + dx, site.y + dy, site.z + dz);
    }

    struct Cell {
        int32_t dx, dy, dz;
        int block;
    };
    void expectCells(const Grid& g, std::initializer_list<Cell> cells) const {
        for (const Cell& c : cells) {
            EXPECT_EQ(at(g, c.dx, c.dy, c.dz), c.block) << "offset " << c.dx << ", " << c.dy << ", " << c.dz;
        }
    }

    GenerationContext ctx = context(cityProfile(384, 1.0f));
    CitySite site = voxel::citySite(ctx, 0, -2);
};

TEST_F(CityBuilderTest, GroundPlazaAndFountain) {
    ASSERT_TRUE(site.present);
    expectCells(built(), {
        {-32, -14, -32, stone}, {-32, -15, -32, 0},  // the foundation and below it
        {31, -1, 31, stone}, {28, 0, -28, grass}, {28, 15, -28, 0},
        {-3, 0, 28, paving}, {4, 0, 28, grass},  // north-south road
        {28, 0, 3, paving}, {28, 0, 4, grass},   // east-west road
        {9, 0, -9, paving}, {6, 0, 6, paving},   // plaza, and a seal without its own block
        // The fountain: a 7 x 7 rim around a 5 x 5 pool, a three-block column, water on top.
        {-3, 1, 0, stone}, {-2, 1, -2, water}, {2, 1, 2, water},
        {0, 1, 0, stone}, {0, 2, 0, stone}, {0, 3, 0, stone}, {0, 4, 0, water}, {0, 5, 0, 0},
    });
}

TEST_F(CityBuilderTest, HousesFaceThePlazaOrTheRoad) {
    expectCells(built(), {
        // West house (-20, 0): plank floor, plaster walls, log corners, door towards the plaza, open
        // windows (no city glass), a path to the north-south axis.
        {-25, 0, -6, planks}, {-25, 2, 0, plaster}, {-25, 1, -6, oakLog}, {-15, 1, 5, oakLog},
        {-15, 1, -1, 0}, {-15, 1, 0, 0}, {-15, 1, 1, 0}, {-15, 1, 2, plaster},
        {-15, 2, -4, 0}, {-15, 1, -4, plaster}, {-10, 0, 1, paving},
        // East house (20, 0) has its door in its west wall.
        {15, 1, 0, 0}, {25, 1, 0, plaster},
        // North house (0, -20): door in the wall facing the road, path along x = 0.
        {0, 1, -15, 0}, {-2, 1, -15, plaster}, {5, 1, -26, oakLog},
        // North-east house (20, -20): door at z = -15, path from there to the road.
        {20, 1, -15, 0}, {20, 0, -10, paving}, {21, 0, -10, grass},
        // South-east house (20, 20): door at z = 14.
        {20, 1, 14, 0}, {17, 1, 14, plaster},
        // Roof layers of house (-20, -20), its chest (a log as fallback), no lantern without the
        // resource, its floor and wall.
        {-26, 4, -27, roof}, {-26, 6, -20, 0}, {-24, 6, -20, roof}, {-22, 7, -14, roof}, {-17, 7, -20, 0},
        {-17, 1, -17, oakLog}, {-20, 4, -20, 0}, {-24, 1, -24, planks}, {-24, 2, -24, plaster},
        {0, 0, 4, paving},  // the centre has no house
    });
}

TEST_F(CityBuilderTest, WorkshopsFieldPondAndPosts) {
    expectCells(built(), {
        // Fallbacks of the furnace and the workbench, the chimney top, alchemy falling back to the
        // workbench block, the vial to glass (here air).
        {-23, 1, -23, stone}, {-21, 1, -23, oakLog}, {-23, 8, -23, stone}, {20, 1, -19, oakLog},
        {18, 2, -23, 0},
        // Field: ditches every fourth block, crops (leaves as fallback) on the dirt, flower rows at
        // its far end.
        {-28, 0, 10, water}, {-27, 0, 10, dirt}, {-26, 1, 12, oakLeaves}, {-28, 1, 12, 0},
        {-14, 0, 14, dirt}, {-13, 0, 14, grass},
        // Pond with its plank floors.
        {27, 0, 14, water}, {16, 0, 9, planks}, {16, 1, 9, oakLog}, {-20, 0, 12, planks}, {-20, 1, 12, 0},
        // Lantern posts without a lantern resource.
        {-10, 3, 10, oakLog}, {10, 4, -10, 0},
    });
}

TEST_F(CityBuilderTest, WallsAndGates) {
    const Grid g = built();
    expectCells(g, {{-32, 1, -10, stone}, {-32, 2, -10, stone}, {-32, 3, -10, 0}, {31, 2, 31, stone},
                    {10, 1, -32, stone}, {10, 1, 31, stone}, {4, 1, -32, stone}, {31, 1, -4, stone}});
    for (int32_t i = -3; i <= 3; ++i) {
        expectCells(g, {{i, 1, -32, 0}, {i, 2, 31, 0}, {-32, 1, i, 0}, {31, 2, i, 0}});  // N, S, W, E gates
    }
}

TEST_F(CityBuilderTest, RoadsFollowTheGroundOneBlockPerBlock) {
    const Grid g = built();
    // Level offsets: ground minus y, limited to d - 31.
    struct Step {
        int32_t dx, dz, e;
    };
    const Step steps[] = {
        {32, 0, -1},                              // ground 59 two below, limited to one
        {35, 0, -3},  {40, 0, -3},  {47, 0, -4},  // +x
        {-33, 0, 0},  {-36, 0, -1}, {-48, 0, 0},  // -x
        {0, 32, 1},   {0, 40, 1},   {0, 47, 2},   // +z
        {0, -41, -2}, {0, -48, -3},               // -z
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "offset " << s.dx << ", " << s.dz);
        for (int32_t across = -3; across <= 3; ++across) {
            const int32_t x = s.dz == 0 ? s.dx : across;
            const int32_t z = s.dz == 0 ? across : s.dz;
            EXPECT_EQ(at(g, x, s.e, z), paving);
            EXPECT_EQ(at(g, x, s.e - 1, z), stone);
            EXPECT_EQ(at(g, x, -14, z), stone);
            EXPECT_EQ(at(g, x, -15, z), 0);
            for (int32_t up = 1; up <= 4; ++up) EXPECT_EQ(at(g, x, s.e + up, z), 0);
        }
    }
    EXPECT_EQ(at(g, 40, -3, 4), 0);  // the road is seven blocks wide
    EXPECT_EQ(at(g, 48, -4, 0), 0);  // and sixteen long
}

TEST_F(CityBuilderTest, CityGlassAndLanternWhenPresent) {
    add(glass, "core:city_glass");
    add(30, "demo:lantern");
    add(31, "core:flower");
    expectCells(built(), {{-15, 2, -4, glass}, {-15, 3, 4, glass}, {20, 2, -23, glass},  // vial: glass
                          {10, 4, -10, 30}, {-20, 4, -20, 30},
                          {-27, 1, 13, 31}, {-27, 1, 14, 31}, {-27, 1, 12, oakLeaves}});
}

// Filler that makes every cell of the world distinct enough to show a misplaced write.
uint8_t pattern(int32_t x, int32_t y, int32_t z) {
    return static_cast<uint8_t>((static_cast<uint32_t>(x * 7 + y * 13 + z * 3) & 0x7FFFFFFFu) % 13);
}

// The coordinates of cell i of a grid laid out like a chunk: x fastest, then z, then y.
std::array<int32_t, 3> cellOf(std::size_t i, int32_t sizeX, int32_t sizeZ) {
    const auto n = static_cast<int32_t>(i);
    return {n % sizeX, n / sizeX / sizeZ, n / sizeX % sizeZ};
}

TEST_F(CityBuilderTest, ChunkByChunkEqualsOneLargeGrid) {
    const int32_t cx0 = voxel::floorDiv(site.x - 64, 16);
    const int32_t cz0 = voxel::floorDiv(site.z - 64, 16);
    const int32_t count = 9;  // reaches past the roads on every side
    Grid whole(cx0 * 16, cz0 * 16, count * 16, count * 16);
    for (std::size_t i = 0; i < whole.cells.size(); ++i) {
        const auto [x, y, z] = cellOf(i, whole.sizeX, whole.sizeZ);
        whole.cells[i] = pattern(whole.originX + x, y, whole.originZ + z);
    }
    const std::vector<uint8_t> before = whole.cells;
    voxel::buildCity(ctx, whole.view(), site);
    ASSERT_NE(whole.cells, before);

    int64_t untouchedChunks = 0;
    for (int32_t cz = cz0; cz < cz0 + count; ++cz) {
        for (int32_t cx = cx0; cx < cx0 + count; ++cx) {
            voxel::Chunk chunk(cx, cz);
            for (std::size_t i = 0; i < voxel::chunkCellCount; ++i) {
                const auto [x, y, z] = cellOf(i, 16, 16);
                chunk.cells[voxel::cellIndex(x, y, z)] = pattern(cx * 16 + x, y, cz * 16 + z);
            }
            const std::vector<uint8_t> fresh = chunk.cells;
            voxel::buildCity(ctx, chunk, site);
            if (chunk.cells == fresh) ++untouchedChunks;
            for (std::size_t i = 0; i < voxel::chunkCellCount; ++i) {
                const auto [x, y, z] = cellOf(i, 16, 16);
                ASSERT_EQ(chunk.cells[voxel::cellIndex(x, y, z)], whole.at(cx * 16 + x, y, cz * 16 + z))
                    << "chunk " << cx << ", " << cz << " cell " << x << ", " << y << ", " << z;
            }
        }
    }
    // The outer ring of chunks lies beyond the roads.
    EXPECT_GT(untouchedChunks, 0);
}

TEST_F(CityBuilderTest, AbsentSiteWritesNothing) {
    CitySite none = site;
    none.present = false;
    voxel::Chunk chunk(voxel::floorDiv(site.x, 16), voxel::floorDiv(site.z, 16));
    voxel::buildCity(ctx, chunk, none);
    EXPECT_EQ(chunk.cells, std::vector<uint8_t>(voxel::chunkCellCount, 0));
}

}  // namespace
