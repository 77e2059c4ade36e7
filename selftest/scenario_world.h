#pragma once
// What the self-test scenarios that build their own App share: a work folder of the scenario's own
// with a copy of the content pack it tests, the content loaded as start-up loads it, and a flat
// ground of loaded chunks to act on, with no window and no device.
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "world/city.h"

namespace selftest {

// <out>/<name>: emptied, given a copy of <contentRoot>/Content, and made the App's base, world and
// saves directory. Fails when the content root has no Content folder or lies inside the work folder.
void prepareScenarioApp(App& app, const std::filesystem::path& work, const std::filesystem::path& contentRoot);

// Start-up's content stages: the resources with their ids, then the rules and catalogs.
void loadScenarioContent(App& app);

// A chunk of `ground` blocks below y `height` and air above, loaded into the App.
void addGroundChunk(App& app, int32_t cx, int32_t cz, uint8_t ground, int32_t height);

// The present city site nearest the origin within `reach` blocks of it (by either axis); a site
// that is not present when there is none.
voxel::CitySite nearestCitySite(const App& app, int32_t reach);

// The numeric id of an available resource; the check fails when the content pack lacks it.
uint8_t requireResource(const std::string& contentId, const std::string& check);

}  // namespace selftest
