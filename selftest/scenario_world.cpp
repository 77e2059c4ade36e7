#include "selftest/scenario_world.h"

#include <algorithm>
#include <stdexcept>

#include "content/resource_ids.h"
#include "selftest/check_list.h"
#include "world/chunk.h"

namespace fs = std::filesystem;

namespace selftest {

namespace {

bool isInside(const fs::path& inner, const fs::path& outer) {
    const fs::path a = fs::weakly_canonical(inner), b = fs::weakly_canonical(outer);
    auto [end, ignored] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return end == b.end();
}

}  // namespace

void prepareScenarioApp(App& app, const fs::path& work, const fs::path& contentRoot) {
    const fs::path source = contentRoot / "Content";
    require(fs::is_directory(source), "content", source.string() + " is not a folder");
    // Emptying the work folder must never reach the content being tested.
    require(!isInside(contentRoot, work), "content", contentRoot.string() + " lies inside " + work.string());
    fs::remove_all(work);
    app.useBaseDirectory(fs::absolute(work));
    fs::copy(source, work / "Content", fs::copy_options::recursive);
}

void loadScenarioContent(App& app) {
    app.loadContentResources();
    app.loadContentRules();
}

void addGroundChunk(App& app, int32_t cx, int32_t cz, uint8_t ground, int32_t height) {
    voxel::Chunk chunk(cx, cz);
    for (int32_t y = 0; y < height; ++y) {
        for (uint32_t i = 0; i < 256; ++i) chunk.cells[voxel::cellIndex(i % 16, y, i / 16)] = ground;
    }
    app.world.chunks.push_back(std::move(chunk));
    app.reindexChunks();
}

voxel::CitySite nearestCitySite(const App& app, int32_t reach) {
    const voxel::GenerationContext context{app.files.seed, app.generationStage, app.world.profile};
    voxel::CitySite best;
    int64_t bestDistance = INT64_MAX;
    for (const voxel::CitySite& site : voxel::nearbyCitySites(context, 0, 0, reach)) {
        const int64_t d = int64_t{site.x} * site.x + int64_t{site.z} * site.z;
        if (site.present && d < bestDistance) {
            best = site;
            bestDistance = d;
        }
    }
    return best;
}

uint8_t requireResource(const std::string& contentId, const std::string& check) {
    try {
        return content::resourceId(contentId);
    } catch (const std::exception& missing) {
        throw CheckFailure(check, missing.what());
    }
}

}  // namespace selftest
