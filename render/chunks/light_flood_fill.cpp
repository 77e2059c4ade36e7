#include "render/chunks/light_flood_fill.h"

#include <algorithm>
#include <cmath>

#include "world/block_registry.h"

namespace voxel {

namespace {

constexpr uint8_t fullLight = 15;
constexpr uint8_t waterAttenuation = 3;
constexpr uint8_t oakLeavesId = 8;
constexpr uint8_t leavesAttenuation = 2;

// The region with a one-cell opaque rim on every side, so that the fill never tests bounds: rim
// cells are blocked and never receive light. Cell (gx, y, gz) of the region sits at
// ((y + 1) * paddedDepth + gz + 1) * paddedWidth + gx + 1.
struct Region {
    int32_t minX = 0, minZ = 0;
    int32_t width = 0, depth = 0;  // in cells, without the rim
    int32_t paddedWidth = 0, paddedDepth = 0;
    std::size_t layer = 0;  // cells of one padded layer
    std::size_t cells = 0;  // cells of the padded grid

    std::size_t column(int32_t gx, int32_t gz) const {
        return static_cast<std::size_t>(gz + 1) * paddedWidth + static_cast<std::size_t>(gx + 1);
    }
    std::size_t index(int32_t gx, int32_t y, int32_t gz) const {
        return static_cast<std::size_t>(y + 1) * layer + column(gx, gz);
    }
};

Region regionOf(const std::vector<Chunk>& chunks) {
    int32_t minX = chunks.front().cx, maxX = minX, minZ = chunks.front().cz, maxZ = minZ;
    for (const Chunk& chunk : chunks) {
        minX = std::min(minX, chunk.cx);
        maxX = std::max(maxX, chunk.cx);
        minZ = std::min(minZ, chunk.cz);
        maxZ = std::max(maxZ, chunk.cz);
    }
    Region region;
    region.minX = minX;
    region.minZ = minZ;
    region.width = (maxX - minX) * chunkSize + chunkSize;
    region.depth = (maxZ - minZ) * chunkSize + chunkSize;
    region.paddedWidth = region.width + 2;
    region.paddedDepth = region.depth + 2;
    region.layer = static_cast<std::size_t>(region.paddedWidth) * region.paddedDepth;
    region.cells = region.layer * (chunkHeight + 2);
    return region;
}

void prepareGrids(LightScratch& scratch, const Region& region) {
    scratch.attenuation.assign(region.cells, lightBlocked);
    scratch.sky.assign(region.cells, 0);
    scratch.block.assign(region.cells, 0);
    scratch.columnLevel.assign(region.layer, fullLight);
    scratch.queue.clear();
}

// Copies each chunk's cells into the grids as attenuation and emitted block light.
void loadChunks(const std::vector<Chunk>& chunks, const Region& region, const LightTables& tables,
                LightScratch& scratch) {
    for (const Chunk& chunk : chunks) {
        const int32_t baseX = (chunk.cx - region.minX) * chunkSize;
        const int32_t baseZ = (chunk.cz - region.minZ) * chunkSize;
        const uint8_t* cell = chunk.cells.data();
        for (int32_t y = 0; y < chunkHeight; ++y) {
            for (int32_t z = 0; z < chunkSize; ++z) {
                const std::size_t row = region.index(baseX, y, baseZ + z);
                for (int32_t x = 0; x < chunkSize; ++x, ++cell) {
                    scratch.attenuation[row + x] = tables.attenuation[*cell];
                    scratch.block[row + x] = tables.emission[*cell];
                }
            }
        }
    }
}

// Sky light falling straight down each column: air keeps it, water and leaves take their
// attenuation, an opaque cell ends it for the rest of the column. Done layer by layer so that
// memory is walked in order.
void fillSkyColumns(const Region& region, LightScratch& scratch) {
    for (int32_t y = chunkHeight - 1; y >= 0; --y) {
        for (int32_t gz = 0; gz < region.depth; ++gz) {
            const std::size_t column = region.column(0, gz);
            const std::size_t row = region.index(0, y, gz);
            for (int32_t gx = 0; gx < region.width; ++gx) {
                const uint8_t a = scratch.attenuation[row + gx];
                uint8_t& level = scratch.columnLevel[column + gx];
                if (a == lightBlocked) {
                    level = 0;
                } else if (a > 1) {
                    level = level > a ? static_cast<uint8_t>(level - a) : 0;
                }
                scratch.sky[row + gx] = level;
            }
        }
    }
}

// True when the cell's light would raise the neighbour at offset: that is when it has to spread.
bool raises(const LightScratch& scratch, const std::vector<uint8_t>& light, std::size_t i, std::ptrdiff_t offset) {
    const std::size_t j = i + offset;
    const uint8_t a = scratch.attenuation[j];
    return a != lightBlocked && light[i] > light[j] + a;
}

// Straight columns never raise the cell above or below them, so only cells that would light a
// side neighbour start the fill; the fill's result does not depend on the order of its queue.
void queueSkyEdges(const Region& region, LightScratch& scratch) {
    const std::ptrdiff_t sides[4] = {-1, 1, -region.paddedWidth, region.paddedWidth};
    for (int32_t y = 0; y < chunkHeight; ++y) {
        for (int32_t gz = 0; gz < region.depth; ++gz) {
            const std::size_t row = region.index(0, y, gz);
            for (int32_t gx = 0; gx < region.width; ++gx) {
                const std::size_t i = row + gx;
                if (scratch.sky[i] <= 1) continue;
                for (const std::ptrdiff_t offset : sides) {
                    if (raises(scratch, scratch.sky, i, offset)) {
                        scratch.queue.push_back(static_cast<uint32_t>(i));
                        break;
                    }
                }
            }
        }
    }
}

// Spreads one channel from the queued cells until nothing rises any more; each step loses the
// attenuation of the cell entered.
void floodFill(const Region& region, LightScratch& scratch, std::vector<uint8_t>& light) {
    const std::ptrdiff_t row = region.paddedWidth;
    const std::ptrdiff_t layer = static_cast<std::ptrdiff_t>(region.layer);
    const std::ptrdiff_t neighbours[6] = {-1, 1, -row, row, -layer, layer};
    const uint8_t* attenuation = scratch.attenuation.data();
    uint8_t* level = light.data();
    for (std::size_t head = 0; head < scratch.queue.size(); ++head) {
        const uint32_t i = scratch.queue[head];
        const int32_t v = level[i];
        if (v <= 1) continue;
        for (const std::ptrdiff_t offset : neighbours) {
            const std::size_t j = i + offset;
            const int32_t a = attenuation[j];
            if (a == lightBlocked || v - a <= level[j]) continue;
            level[j] = static_cast<uint8_t>(v - a);
            scratch.queue.push_back(static_cast<uint32_t>(j));
        }
    }
}

void addLightSources(const std::vector<LightSource>& sources, const Region& region, LightScratch& scratch) {
    for (const LightSource& source : sources) {
        const int64_t gx = static_cast<int64_t>(source.x) - int64_t{chunkSize} * region.minX;
        const int64_t gz = static_cast<int64_t>(source.z) - int64_t{chunkSize} * region.minZ;
        if (gx < 0 || gx >= region.width || gz < 0 || gz >= region.depth) continue;
        if (source.y < 0 || source.y >= chunkHeight) continue;
        uint8_t& block = scratch.block[region.index(static_cast<int32_t>(gx), source.y, static_cast<int32_t>(gz))];
        block = std::max(block, static_cast<uint8_t>(std::clamp(source.level, 0, int32_t{fullLight})));
    }
}

void queueBlockLight(LightScratch& scratch) {
    const std::size_t cells = scratch.block.size();
    for (std::size_t i = 0; i < cells; ++i) {
        if (scratch.block[i] > 1) scratch.queue.push_back(static_cast<uint32_t>(i));
    }
}

// Packs the grids back into each chunk's light list (block light high, sky low); a chunk whose
// bytes are unchanged keeps its list and is not reported.
std::set<std::pair<int32_t, int32_t>> storeLight(std::vector<Chunk>& chunks, const Region& region,
                                                 const LightScratch& scratch) {
    std::set<std::pair<int32_t, int32_t>> changed;
    std::vector<uint8_t> light(chunkCellCount);
    for (Chunk& chunk : chunks) {
        const int32_t baseX = (chunk.cx - region.minX) * chunkSize;
        const int32_t baseZ = (chunk.cz - region.minZ) * chunkSize;
        uint8_t* out = light.data();
        for (int32_t y = 0; y < chunkHeight; ++y) {
            for (int32_t z = 0; z < chunkSize; ++z) {
                const std::size_t row = region.index(baseX, y, baseZ + z);
                for (int32_t x = 0; x < chunkSize; ++x, ++out) {
                    *out = static_cast<uint8_t>((scratch.block[row + x] << 4) | scratch.sky[row + x]);
                }
            }
        }
        if (chunk.light == light) continue;
        chunk.light = light;
        changed.insert({chunk.cx, chunk.cz});
    }
    return changed;
}

}  // namespace

LightTables lightTables() {
    LightTables tables;
    const std::vector<BlockDef>& registry = blockRegistry();
    for (std::size_t id = 0; id < registry.size() && id < tables.attenuation.size(); ++id) {
        const BlockDef& def = registry[id];
        uint8_t attenuation = 1;
        if (def.opaque) {
            attenuation = lightBlocked;
        } else if (id == waterId) {
            attenuation = waterAttenuation;
        } else if (id == oakLeavesId) {
            attenuation = leavesAttenuation;
        }
        tables.attenuation[id] = attenuation;
        tables.emission[id] = static_cast<uint8_t>(std::clamp(std::ceil(def.light), 0.0f, float{fullLight}));
    }
    return tables;
}

std::set<std::pair<int32_t, int32_t>> computeLight(std::vector<Chunk>& chunks, const std::vector<LightSource>& sources) {
    LightScratch scratch;
    return computeLight(chunks, sources, scratch);
}

std::set<std::pair<int32_t, int32_t>> computeLight(std::vector<Chunk>& chunks, const std::vector<LightSource>& sources,
                                                   LightScratch& scratch) {
    if (chunks.empty()) return {};
    const Region region = regionOf(chunks);
    prepareGrids(scratch, region);
    loadChunks(chunks, region, lightTables(), scratch);

    fillSkyColumns(region, scratch);
    queueSkyEdges(region, scratch);
    floodFill(region, scratch, scratch.sky);

    scratch.queue.clear();
    addLightSources(sources, region, scratch);
    queueBlockLight(scratch);
    floodFill(region, scratch, scratch.block);
    return storeLight(chunks, region, scratch);
}

}  // namespace voxel
