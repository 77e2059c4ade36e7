#include "world/city.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "world/block_registry.h"
#include "world/noise.h"
#include "world/terrain_columns.h"

namespace voxel {
namespace {

constexpr uint8_t grassId = 1;
constexpr uint8_t dirtId = 2;
constexpr uint8_t stoneId = 3;
constexpr uint8_t oakLogId = 7;
constexpr uint8_t oakLeavesId = 8;

constexpr int32_t cityAttempts = 16;
// Candidate centres keep 48 blocks from their region's sides.
constexpr int32_t centreMargin = 48;
constexpr int32_t roadFirst = 32;
constexpr int32_t roadLast = 47;

// ---- Site choice ----

bool isWet(int32_t biome) {
    return biome == oceanBiome || biome == swampBiome;
}

bool listsBiome(const StructureRule& rule, const std::string& id) {
    return std::find(rule.biomes.begin(), rule.biomes.end(), id) != rule.biomes.end();
}

// Candidate k of a region, before any terrain test.
std::pair<int32_t, int32_t> candidateCentre(uint32_t seed, uint32_t spacing, int32_t gx, int32_t gz,
                                            uint32_t k) {
    const uint32_t ugx = static_cast<uint32_t>(gx);
    const uint32_t ugz = static_cast<uint32_t>(gz);
    const uint32_t h1 = (k * 0x9E3779B9u - ugx * 1105327941u) ^ (seed + 1907u) ^ (ugz * 0x85EBCA6Bu);
    const uint32_t h2 = (ugz * 0xF08005F1u - k * 2048144789u) ^ (ugx * 0x9E3779B9u) ^ (seed + 1913u);
    const float span = static_cast<float>(spacing - 2 * centreMargin);
    const uint32_t x = spacing * ugx + centreMargin +
                       static_cast<uint32_t>(static_cast<int32_t>(unitFromHash(mixHash(h1)) * span));
    const uint32_t z = spacing * ugz + centreMargin +
                       static_cast<uint32_t>(static_cast<int32_t>(unitFromHash(mixHash(h2)) * span));
    return {static_cast<int32_t>(x), static_cast<int32_t>(z)};
}

// The nine surroundings at +-28 must be dry land of at least 50, and flat together with h.
bool flatSurroundings(const GenerationContext& context, int32_t x, int32_t z, int32_t h) {
    static const std::array<int32_t, 3> offsets = {-28, 0, 28};
    int32_t lo = h;
    int32_t hi = h;
    for (int32_t dz : offsets) {
        for (int32_t dx : offsets) {
            const ColumnInfo column = columnInfo(context, x + dx, z + dz);
            const int32_t s = column.height;
            if (s < 50 || isWet(baseBiomeOf(context, column.biome))) return false;
            lo = std::min(lo, s);
            hi = std::max(hi, s);
        }
    }
    return hi - lo < 13 && hi < 91;
}

bool acceptableCentre(const GenerationContext& context, const StructureRule& rule, int32_t x, int32_t z,
                      const ColumnInfo& centre) {
    const int32_t biome = baseBiomeOf(context, centre.biome);
    const int32_t h = centre.height;
    if (isWet(biome) || biome == mountainsBiome || h < 52 || h > 86) return false;
    if (!rule.biomes.empty() && !listsBiome(rule, biomeId(context, x, z))) return false;
    return flatSurroundings(context, x, z, h);
}

// A sky city needs solid island ground under the whole square.
bool skyGroundHolds(const GenerationContext& context, int32_t x, int32_t z) {
    static const std::array<int32_t, 3> offsets = {-14, 0, 14};
    for (int32_t dz : offsets) {
        for (int32_t dx : offsets) {
            if (surfaceHeight(context, x + dx, z + dz) < 49) return false;
        }
    }
    return true;
}

// ---- Building ----

struct Palette {
    uint8_t paving, plaster, roof, planks, glass, seal, lantern, workbench, furnace, chest, crop, alchemy,
        vial, flower;
};

uint8_t blockOr(const char* name, uint8_t fallback) {
    const uint8_t id = findCustomBlock(name);
    return id != 0 ? id : fallback;
}

Palette cityPalette() {
    Palette p{};
    p.paving = blockOr("core:city_paving", stoneId);
    p.plaster = blockOr("core:city_plaster", stoneId);
    p.roof = blockOr("core:city_roof", oakLogId);
    p.planks = blockOr("core:city_planks", oakLogId);
    p.glass = blockOr("core:city_glass", airId);
    p.seal = blockOr("core:city_seal", p.paving);
    p.lantern = blockOr("demo:lantern", airId);
    p.workbench = blockOr("core:workbench", oakLogId);
    p.furnace = blockOr("core:furnace", stoneId);
    p.chest = blockOr("core:chest", oakLogId);
    p.crop = blockOr("core:wheat_stage_3", blockOr("core:tall_grass", oakLeavesId));
    p.alchemy = blockOr("core:alchemy_table", p.workbench);
    p.vial = blockOr("core:city_vial", p.glass);
    p.flower = blockOr("core:flower", oakLeavesId);
    return p;
}

// Offsets from the city centre, half-open on every axis.
struct Box {
    int32_t x0, y0, z0, x1, y1, z1;
};

// One city's writes into one grid: every write is a box of offsets from the centre, clipped to
// the grid and to y 1..127, so any split of the world into grids gives the same cells.
class CityCanvas {
   public:
    CityCanvas(const CellGrid& grid, const CitySite& site) : grid_(grid), site_(site) {}

    void fill(const Box& b, uint8_t block) const {
        const int32_t xa = std::max(site_.x + b.x0 - grid_.originX, 0);
        const int32_t xb = std::min(site_.x + b.x1 - grid_.originX, grid_.sizeX);
        const int32_t za = std::max(site_.z + b.z0 - grid_.originZ, 0);
        const int32_t zb = std::min(site_.z + b.z1 - grid_.originZ, grid_.sizeZ);
        const int32_t ya = std::max(site_.y + b.y0, 1);
        const int32_t yb = std::min(site_.y + b.y1, chunkHeight);
        for (int32_t y = ya; y < yb; ++y) {
            for (int32_t z = za; z < zb; ++z) {
                uint8_t* row = grid_.cells + (static_cast<std::size_t>(y) * grid_.sizeZ + z) * grid_.sizeX;
                std::fill(row + xa, row + std::max(xa, xb), block);
            }
        }
    }
    void cell(int32_t x, int32_t y, int32_t z, uint8_t block) const {
        fill({x, y, z, x + 1, y + 1, z + 1}, block);
    }
    // Whether any column of the offsets x0..x1, z0..z1 (half-open) lies in the grid.
    bool touches(int32_t x0, int32_t z0, int32_t x1, int32_t z1) const {
        return site_.x + x1 > grid_.originX && site_.x + x0 < grid_.originX + grid_.sizeX &&
               site_.z + z1 > grid_.originZ && site_.z + z0 < grid_.originZ + grid_.sizeZ;
    }
    const CitySite& site() const { return site_; }

   private:
    CellGrid grid_;
    CitySite site_;
};

struct Fill {
    Box box;
    uint8_t Palette::*role;  // null: the fixed block
    uint8_t block;
};

void applyFills(const CityCanvas& canvas, const Palette& palette, const Fill* fills, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        canvas.fill(fills[i].box, fills[i].role ? palette.*fills[i].role : fills[i].block);
    }
}

template <std::size_t N>
void applyFills(const CityCanvas& canvas, const Palette& palette, const Fill (&fills)[N]) {
    applyFills(canvas, palette, fills, N);
}

const Fill groundAndPlaza[] = {
    {{-32, -14, -32, 32, 0, 32}, nullptr, stoneId},  // foundation
    {{-32, 0, -32, 32, 1, 32}, nullptr, grassId},    // ground
    {{-32, 1, -32, 32, 16, 32}, nullptr, airId},     // clearance
    {{-3, 0, -32, 4, 1, 32}, &Palette::paving, 0},   // north-south road
    {{-32, 0, -3, 32, 1, 4}, &Palette::paving, 0},   // east-west road
    {{-9, 0, -9, 10, 1, 10}, &Palette::paving, 0},   // plaza
    {{-3, 1, -3, 4, 2, 4}, nullptr, stoneId},        // fountain rim
    {{-2, 1, -2, 3, 2, 3}, nullptr, waterId},        // fountain pool
    {{0, 1, 0, 1, 4, 1}, nullptr, stoneId},          // fountain column
    {{0, 4, 0, 1, 5, 1}, nullptr, waterId},          // fountain top
    {{6, 0, 6, 7, 1, 7}, &Palette::seal, 0},         // seal
};

const Fill workshops[] = {
    {{-23, 1, -23, -22, 2, -22}, &Palette::furnace, 0}, {{-21, 1, -23, -20, 2, -22}, &Palette::workbench, 0},
    {{-23, 2, -23, -22, 7, -22}, nullptr, stoneId},     {{-23, 7, -23, -22, 9, -22}, nullptr, stoneId},
    {{-3, 1, -23, -2, 2, -22}, &Palette::workbench, 0}, {{0, 1, -23, 1, 2, -22}, &Palette::furnace, 0},
    {{20, 1, -19, 21, 2, -18}, &Palette::alchemy, 0},   {{17, 1, -23, 21, 2, -22}, &Palette::planks, 0},
    {{18, 2, -23, 19, 3, -22}, &Palette::vial, 0},      {{20, 2, -23, 21, 3, -22}, &Palette::vial, 0},
    {{-25, 1, -2, -24, 3, -1}, nullptr, stoneId},       {{-23, 1, -2, -22, 2, -1}, &Palette::chest, 0},
    {{19, 1, 2, 22, 2, 3}, &Palette::workbench, 0},     {{17, 1, 2, 18, 4, 3}, nullptr, oakLogId},
};

const Fill pond[] = {
    {{14, 0, 9, 28, 1, 15}, nullptr, waterId},  {{16, 0, 9, 18, 1, 15}, &Palette::planks, 0},
    {{16, 1, 9, 18, 2, 10}, nullptr, oakLogId}, {{-21, 0, 9, -18, 1, 15}, &Palette::planks, 0},
    {{-21, 1, 9, -18, 2, 15}, nullptr, airId},  {{19, 0, 9, 22, 1, 15}, &Palette::planks, 0},
};

const Fill wallAndGates[] = {
    {{-32, 1, -32, 32, 3, -31}, nullptr, stoneId}, {{-32, 1, 31, 32, 3, 32}, nullptr, stoneId},
    {{-32, 1, -32, -31, 3, 32}, nullptr, stoneId}, {{31, 1, -32, 32, 3, 32}, nullptr, stoneId},
    {{-3, 1, -32, 4, 4, -31}, nullptr, airId},  // north gate
    {{-3, 1, 31, 4, 4, 32}, nullptr, airId},    // south gate
    {{-32, 1, -3, -31, 4, 4}, nullptr, airId},  // west gate
    {{31, 1, -3, 32, 4, 4}, nullptr, airId},    // east gate
};

// The door, its windows and the path of a house on the east-west road: the door faces the plaza.
void buildPlazaFacingFront(const CityCanvas& c, const Palette& p, int32_t hx) {
    const int32_t wall = hx < 1 ? hx + 5 : hx - 5;
    c.fill({wall, 1, -1, wall + 1, 4, 2}, airId);
    c.fill({wall, 2, -4, wall + 1, 4, -2}, p.glass);
    c.fill({wall, 2, 3, wall + 1, 4, 5}, p.glass);
    c.fill({std::min(wall, 0), 0, -1, std::max(wall, 0) + 1, 1, 2}, p.paving);
}

// The door and windows of a house off the east-west road face that road; its path runs along
// x = hx from the house to the road.
void buildRoadFacingFront(const CityCanvas& c, const Palette& p, int32_t hx, int32_t hz) {
    const int32_t wall = hz < 1 ? hz + 5 : hz - 6;
    c.fill({hx - 1, 1, wall, hx + 2, 4, wall + 1}, airId);
    c.fill({hx - 4, 2, wall, hx - 2, 4, wall + 1}, p.glass);
    c.fill({hx + 3, 2, wall, hx + 5, 4, wall + 1}, p.glass);
    if (hz < 1) {
        c.fill({hx, 0, wall + 1, hx + 1, 1, -3}, p.paving);
    } else {
        c.fill({hx, 0, 4, hx + 1, 1, wall}, p.paving);
    }
}

void buildHouse(const CityCanvas& c, const Palette& p, int32_t hx, int32_t hz) {
    c.fill({hx - 5, 0, hz - 6, hx + 6, 1, hz + 6}, p.planks);
    c.fill({hx - 5, 1, hz - 6, hx + 6, 5, hz + 6}, p.plaster);
    c.fill({hx - 4, 1, hz - 5, hx + 5, 5, hz + 5}, airId);
    for (int32_t px : {hx - 5, hx + 5}) {
        for (int32_t pz : {hz - 6, hz + 5}) c.fill({px, 1, pz, px + 1, 5, pz + 1}, oakLogId);
    }
    if (hz == 0) {
        buildPlazaFacingFront(c, p, hx);
    } else {
        buildRoadFacingFront(c, p, hx, hz);
    }
    c.fill({hx - 6, 4, hz - 7, hx + 7, 6, hz + 7}, p.roof);
    c.fill({hx - 4, 6, hz - 7, hx + 5, 7, hz + 7}, p.roof);
    c.fill({hx - 2, 7, hz - 7, hx + 3, 8, hz + 7}, p.roof);
    c.fill({hx - 4, 1, hz - 4, hx - 1, 2, hz - 2}, p.planks);
    c.fill({hx - 4, 2, hz - 4, hx - 1, 3, hz - 2}, p.plaster);
    c.cell(hx + 3, 1, hz + 3, p.chest);
    c.cell(hx, 4, hz, p.lantern);
}

void buildHouses(const CityCanvas& c, const Palette& p) {
    static const std::array<int32_t, 3> centres = {-20, 0, 20};
    for (int32_t hz : centres) {
        for (int32_t hx : centres) {
            if (hx != 0 || hz != 0) buildHouse(c, p, hx, hz);
        }
    }
}

void buildField(const CityCanvas& c, const Palette& p) {
    for (int32_t x = -28; x <= -14; ++x) {
        const bool ditch = x % 4 == 0;
        c.fill({x, 0, 10, x + 1, 1, 15}, ditch ? waterId : dirtId);
        if (!ditch) c.fill({x, 1, 10, x + 1, 2, 15}, p.crop);
    }
    static const std::array<int32_t, 6> flowerRows = {-27, -25, -23, -21, -19, -17};
    for (int32_t x : flowerRows) c.fill({x, 1, 13, x + 1, 2, 15}, p.flower);
}

void buildLanternPosts(const CityCanvas& c, const Palette& p) {
    for (int32_t x : {-10, 10}) {
        for (int32_t z : {-10, 10}) {
            c.fill({x, 1, z, x + 1, 4, z + 1}, oakLogId);
            if (p.lantern != airId) c.cell(x, 4, z, p.lantern);
        }
    }
}

// One step of a road leaving a gate: `along` is the offset on the road's axis.
struct RoadDirection {
    bool alongX;
    bool positive;
};

const RoadDirection roadDirections[] = {{true, true}, {true, false}, {false, true}, {false, false}};

void buildRoadStep(const CityCanvas& c, const GenerationContext& context, const Palette& p,
                   const RoadDirection& dir, int32_t d) {
    const int32_t along = dir.positive ? d : -(d + 1);
    const int32_t ox0 = dir.alongX ? along : -3;
    const int32_t ox1 = dir.alongX ? along + 1 : 4;
    const int32_t oz0 = dir.alongX ? -3 : along;
    const int32_t oz1 = dir.alongX ? 4 : along + 1;
    if (!c.touches(ox0, oz0, ox1, oz1)) return;
    const CitySite& s = c.site();
    const int32_t ground =
        dir.alongX ? surfaceHeight(context, s.x + along, s.z) : surfaceHeight(context, s.x, s.z + along);
    const int32_t limit = d - 31;
    const int32_t e = std::clamp(ground - s.y, -limit, limit);
    c.fill({ox0, -14, oz0, ox1, e + 1, oz1}, stoneId);
    c.fill({ox0, e, oz0, ox1, e + 1, oz1}, p.paving);
    c.fill({ox0, e + 1, oz0, ox1, e + 5, oz1}, airId);
}

void buildRoads(const CityCanvas& c, const GenerationContext& context, const Palette& p) {
    for (const RoadDirection& dir : roadDirections) {
        for (int32_t d = roadFirst; d <= roadLast; ++d) buildRoadStep(c, context, p, dir, d);
    }
}

}  // namespace

const StructureRule* cityRule(const GenerationProfile* profile) {
    if (!profile) return nullptr;
    for (const StructureRule& rule : profile->structures) {
        if (rule.city) return &rule;
    }
    return nullptr;
}

CitySite citySite(const GenerationContext& context, int32_t gx, int32_t gz) {
    CitySite site;
    site.gx = gx;
    site.gz = gz;
    const StructureRule* rule = cityRule(context.profile.get());
    if (!rule || !(rule->chance > 0.0f)) return site;
    if (latticeUnit(gx, gz, context.seed + 1901u) > rule->chance) return site;
    // A spacing the centre margins do not fit in has no candidates; the readers refuse it.
    if (rule->spacing < minCitySpacing) return site;
    for (uint32_t k = 0; k < cityAttempts; ++k) {
        const auto [x, z] = candidateCentre(context.seed, rule->spacing, gx, gz, k);
        const ColumnInfo centre = columnInfo(context, x, z);
        if (!acceptableCentre(context, *rule, x, z, centre)) continue;
        if (context.profile->terrain == "sky" && !skyGroundHolds(context, x, z)) return site;
        site.x = x;
        site.y = centre.height;
        site.z = z;
        site.present = true;
        return site;
    }
    return site;
}

std::vector<CitySite> nearbyCitySites(const GenerationContext& context, int32_t x, int32_t z, int32_t r) {
    const StructureRule* rule = cityRule(context.profile.get());
    std::vector<CitySite> sites;
    if (!rule) return sites;
    const int32_t side = static_cast<int32_t>(rule->spacing);
    if (side < static_cast<int32_t>(minCitySpacing)) return sites;
    const int32_t reach = r + cityHalfSide;
    for (int32_t gz = floorDiv(z - reach, side); gz <= floorDiv(z + reach, side); ++gz) {
        for (int32_t gx = floorDiv(x - reach, side); gx <= floorDiv(x + reach, side); ++gx) {
            const CitySite site = citySite(context, gx, gz);
            if (site.present && std::abs(site.x - x) <= reach && std::abs(site.z - z) <= reach) {
                sites.push_back(site);
            }
        }
    }
    return sites;
}

void buildCity(const GenerationContext& context, const CellGrid& grid, const CitySite& site) {
    if (!site.present) return;
    const CityCanvas canvas(grid, site);
    if (!canvas.touches(-roadLast - 1, -roadLast - 1, roadLast + 1, roadLast + 1)) return;
    const Palette palette = cityPalette();
    applyFills(canvas, palette, groundAndPlaza);
    buildHouses(canvas, palette);
    applyFills(canvas, palette, workshops);
    buildField(canvas, palette);
    applyFills(canvas, palette, pond);
    buildLanternPosts(canvas, palette);
    applyFills(canvas, palette, wallAndGates);
    buildRoads(canvas, context, palette);
}

void buildCity(const GenerationContext& context, Chunk& chunk, const CitySite& site) {
    const CellGrid grid{chunk.cx * chunkSize, chunk.cz * chunkSize, chunkSize, chunkSize, chunk.cells.data()};
    buildCity(context, grid, site);
}

const CitySite& CitySiteCache::site(const GenerationContext& context, int32_t gx, int32_t gz) {
    if (context.seed != seed_ || context.stage != stage_ || context.profile != profile_) {
        sites_.clear();
        seed_ = context.seed;
        stage_ = context.stage;
        profile_ = context.profile;
    }
    const auto key = std::make_pair(gx, gz);
    auto found = sites_.find(key);
    if (found == sites_.end()) found = sites_.emplace(key, citySite(context, gx, gz)).first;
    return found->second;
}

void CitySiteCache::clear() {
    sites_.clear();
    profile_.reset();
    stage_ = 0;
}

}  // namespace voxel
