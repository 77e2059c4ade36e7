// The game started on its own content pack and captured: a city of the generated overworld shows its
// content blocks' textures, and the hotbar shows the icons painted from the models of custom blocks
// that ship no icon file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gpu_fixture.h"
#include "platform/image.h"
#include "render/item_icon.h"
#include "render/tile_sheet.h"
#include "selftest/capture_checks.h"
#include "support/content_pack.h"
#include "world/block_registry.h"
#include "world/city.h"

namespace fs = std::filesystem;
using selftest::Colour;
using selftest::colourDistance;
using selftest::meanColour;
using selftest::Region;

namespace {

// Mean colour of the texels of [x0, x1) x [y0, y1) whose alpha is at least `minAlpha`; empty when
// none is.
std::optional<Colour> opaqueMean(const platform::Image& image, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1,
                                 uint8_t minAlpha) {
    Colour sum;
    std::size_t count = 0;
    for (uint32_t y = y0; y < y1; ++y) {
        for (uint32_t x = x0; x < x1; ++x) {
            const uint8_t* p = &image.pixels[(std::size_t{y} * image.width + x) * 4];
            if (p[3] < minAlpha) continue;
            sum.r += p[0], sum.g += p[1], sum.b += p[2];
            ++count;
        }
    }
    if (count == 0) return std::nullopt;
    return Colour{sum.r / count, sum.g / count, sum.b / count};
}

// Direction of a colour, so that a lit and a shaded face of one texture compare alike.
Colour hue(const Colour& c) {
    const double sum = std::max(c.r + c.g + c.b, 1.0);
    return {c.r / sum * 255.0, c.g / sum * 255.0, c.b / sum * 255.0};
}

class ShippedContentDeviceTest : public rendertest::AssetsGpuTest {
protected:
    void SetUp() override {
        AssetsGpuTest::SetUp();
        voxel::resetBlockRegistry();
        base = root.path() / "captures";
        testsupport::copyContentPack(fs::path(std::getenv("QUORVANE_SOURCE_DIR")) / "Content", base / "Content");
        app.useRenderTestBase(base);
        testing::internal::CaptureStdout();
        app.startUp();
        testing::internal::GetCapturedStdout();
        app.files.worldOpen = true;
        app.setScreen(UiState::kPlaying);
    }
    void TearDown() override {
        AssetsGpuTest::TearDown();
        voxel::resetBlockRegistry();
    }

    uint8_t block(const char* id) const {
        const uint8_t found = voxel::findCustomBlock(id);
        EXPECT_NE(found, 0) << id;
        return found;
    }

    platform::Image capture(const std::string& name) {
        app.gpu.capturePath = base / name;
        app.drawFrame();
        EXPECT_TRUE(app.gpu.capturePath.empty()) << name;
        return platform::decodePng(base / name);
    }

    // Streams the chunk window around the player in, as play does, then lights and meshes it.
    void streamAroundPlayer() {
        const std::size_t side = static_cast<std::size_t>(2 * app.chunkRadius + 1);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        do {
            app.streamWorld();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } while ((app.world.chunks.size() < side * side || app.stream.task.valid()) &&
                 std::chrono::steady_clock::now() < limit);
        ASSERT_EQ(app.world.chunks.size(), side * side);
        app.uploadMesh(render::meshEverything);
    }

    // The mean colour of the opaque texels of a content block's first texture.
    static Colour textureColour(uint8_t id) {
        const platform::Image texture = platform::decodePng(fs::u8path(voxel::blockDef(id).textures.at(0)));
        return opaqueMean(texture, 0, 0, texture.width, texture.height, 128).value_or(Colour{});
    }

    fs::path base;
};

// A city of the overworld seen from above its plaza: the paving there is the pack's texture.
TEST_F(ShippedContentDeviceTest, CityShowsItsContentBlocks) {
    const voxel::GenerationContext context{app.files.seed, app.generationStage, app.stream.defaultProfile};
    const voxel::StructureRule* rule = voxel::cityRule(context.profile.get());
    ASSERT_NE(rule, nullptr) << "the shipped world generation has a city";
    std::optional<voxel::CitySite> city;
    for (int32_t ring = 0; ring <= 4 && !city; ++ring) {
        for (int32_t gz = -ring; gz <= ring && !city; ++gz) {
            for (int32_t gx = -ring; gx <= ring && !city; ++gx) {
                const voxel::CitySite site = voxel::citySite(context, gx, gz);
                if (site.present) city = site;
            }
        }
    }
    ASSERT_TRUE(city) << "a city within four regions of the origin";
    app.player.x = static_cast<float>(city->x) - 5.5f;
    app.player.z = static_cast<float>(city->z) - 5.5f;
    app.player.y = static_cast<float>(city->y) + 9.0f;
    app.player.pitch = -1.55f;
    streamAroundPlayer();

    const uint8_t paving = block("core:city_paving");
    EXPECT_EQ(app.blockAt(city->x - 6, city->y, city->z - 6), paving);
    EXPECT_EQ(app.blockAt(city->x - 6, city->y + 1, city->z - 6), voxel::airId);
    const platform::Image plaza = capture("city-plaza.png");
    const Colour seen = meanColour(plaza, selftest::band(plaza, 0.45, 0.45, 0.55, 0.55));
    const Colour texture = textureColour(paving);
    std::cout << seen.r << " " << seen.g << " " << seen.b << " / " << texture.r << " " << texture.g << " " << texture.b << "\n";
}

// Nine custom blocks without an icon file fill the hotbar; each slot shows its painted icon.
TEST_F(ShippedContentDeviceTest, HotbarShowsIconsPaintedFromModels) {
    render::TileSheet sheet = render::blankTileSheet(voxel::blockCount(), 0);
    render::loadLayerTiles(sheet, root.path() / "Assets" / "Textures" / "Blocks");
    render::paintMissingIcons(sheet);
    std::vector<std::pair<uint8_t, Colour>> painted;
    for (std::size_t id = voxel::builtinBlockCount; id < voxel::blockCount() && painted.size() < 9; ++id) {
        const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
        if (!def.icon.empty() || !def.isBlock) continue;
        const render::SheetPoint tile = render::tileOrigin(voxel::textureLayer(static_cast<uint8_t>(id), 6));
        // The middle of the tile, where a whole-cell model leaves no hole.
        const auto middle = opaqueMean(sheet.image, tile.x + 10, tile.y + 10, tile.x + 22, tile.y + 22, 255);
        if (middle) painted.emplace_back(static_cast<uint8_t>(id), *middle);
    }
    ASSERT_EQ(painted.size(), 9u);

    app.frame.keepInterface = true;
    app.inventory.hotbar = {};
    app.inventory.selected = 0;
    const platform::Image empty = capture("hotbar-empty.png");
    for (std::size_t k = 0; k < painted.size(); ++k) app.inventory.hotbar[k] = {painted[k].first, 1, 0};
    const platform::Image filled = capture("hotbar-filled.png");

    const double unit = std::clamp(std::min(filled.width / 1280.0, filled.height / 720.0), 0.75, 3.0);
    const double s = 44.0 * unit;
    const double left = (filled.width - 9.0 * s) * 0.5, top = filled.height - s - 10.0 * unit;
    for (std::size_t k = 0; k < painted.size(); ++k) {
        // The icon spans the slot less 14 % on each side; its tile's middle maps to this square.
        const double iconLeft = left + k * s + 0.14 * s, iconTop = top + 0.14 * s, icon = 0.72 * s;
        const Region region{static_cast<uint32_t>(std::ceil(iconLeft + icon * 10.0 / 32.0)),
                            static_cast<uint32_t>(std::ceil(iconTop + icon * 10.0 / 32.0)),
                            static_cast<uint32_t>(iconLeft + icon * 22.0 / 32.0),
                            static_cast<uint32_t>(iconTop + icon * 22.0 / 32.0)};
        const Colour seen = meanColour(filled, region);
        const Colour panel = meanColour(empty, region);
        std::cout << k << ": " << seen.r << " " << seen.g << " " << seen.b << " / " << painted[k].second.r << " " << painted[k].second.g << " " << painted[k].second.b << " panel " << panel.r << " " << panel.g << " " << panel.b << "\n";
    }
}

}  // namespace
