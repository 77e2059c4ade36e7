// The game started on its own content pack and captured: a city of the generated overworld shows its
// content blocks' textures, and the hotbar shows the icons painted from the models of custom blocks
// that ship no icon file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gpu_fixture.h"
#include "platform/image.h"
#include "render/atlases/item_icon.h"
#include "render/atlases/tile_sheet.h"
#include "selftest/capture_checks.h"
#include "support/content_pack.h"
#include "world/block_registry.h"
#include "world/city.h"
#include "world/features.h"

namespace fs = std::filesystem;
using selftest::Colour;
using selftest::colourDistance;
using selftest::meanColour;
using selftest::Region;

namespace {

// Mean colour of the texels of [x0, x1) x [y0, y1) whose alpha is at least `minAlpha`; empty when
// none is, or when `all` and any is not.
std::optional<Colour> opaqueMean(const platform::Image& image, uint32_t x0, uint32_t y0, uint32_t x1,
                                 uint32_t y1, uint8_t minAlpha, bool all = false) {
    Colour sum;
    std::size_t count = 0;
    for (uint32_t y = y0; y < y1; ++y) {
        for (uint32_t x = x0; x < x1; ++x) {
            const uint8_t* p = &image.pixels[(std::size_t{y} * image.width + x) * 4];
            if (p[3] < minAlpha) {
                if (all) return std::nullopt;
                continue;
            }
            sum.r += p[0], sum.g += p[1], sum.b += p[2];
            ++count;
        }
    }
    if (count == 0) return std::nullopt;
    return Colour{sum.r / count, sum.g / count, sum.b / count};
}

class ShippedContentDeviceTest : public rendertest::AssetsGpuTest {
   protected:
    void SetUp() override {
        AssetsGpuTest::SetUp();
        voxel::resetBlockRegistry();
        base = root.path() / "captures";
        testsupport::copyContentPack(fs::path(std::getenv("QUORVANE_SOURCE_DIR")) / "Content",
                                     base / "Content");
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

// The first city site of the overworld, searched ring by ring around the origin's region.
std::optional<voxel::CitySite> nearestCity(const voxel::GenerationContext& context) {
    for (int32_t ring = 0; ring <= 4; ++ring) {
        for (int32_t gz = -ring; gz <= ring; ++gz) {
            for (int32_t gx = -ring; gx <= ring; ++gx) {
                if (std::max(std::abs(gx), std::abs(gz)) != ring) continue;
                const voxel::CitySite site = voxel::citySite(context, gx, gz);
                if (site.present) return site;
            }
        }
    }
    return std::nullopt;
}

// A city of the overworld: its plaza seen from above shows the paving's texture.
TEST_F(ShippedContentDeviceTest, CityShowsItsContentBlocks) {
    const voxel::GenerationContext context{app.files.seed, app.generationStage, app.stream.defaultProfile};
    ASSERT_NE(voxel::cityRule(context.profile.get()), nullptr) << "the shipped world generation has a city";
    const std::optional<voxel::CitySite> city = nearestCity(context);
    ASSERT_TRUE(city) << "a city within four regions of the origin";
    app.player.x = static_cast<float>(city->x) - 5.5f;
    app.player.z = static_cast<float>(city->z) - 5.5f;
    app.player.y = static_cast<float>(city->y) + 9.0f;
    app.player.pitch = -1.55f;
    streamAroundPlayer();

    const uint8_t paving = block("core:city_paving");
    ASSERT_EQ(app.blockAt(city->x - 6, city->y, city->z - 6), paving);
    ASSERT_EQ(app.blockAt(city->x - 6, city->y + 1, city->z - 6), voxel::airId);
    const platform::Image plaza = capture("city-plaza.png");
    const Colour ground = meanColour(plaza, selftest::band(plaza, 0.45, 0.45, 0.55, 0.55));
    EXPECT_LT(colourDistance(ground, textureColour(paving)), 24.0) << "the plaza's paving under the camera";

    EXPECT_EQ(app.blockAt(city->x - 28, city->y, city->z - 28), voxel::grassId) << "grass inside the walls";
    EXPECT_EQ(app.blockAt(city->x - 27, city->y + 1, city->z + 13), block("core:flower"))
        << "the field's flowers";
}

// Where the middle of the icon in hotbar slot k shows on screen, for the interface's layout: slots
// 44 units square in a centred row 10 units above the bottom, icons inset 14 % of the slot on each
// side, and the square here the image of texels 10..21 of the 32-texel tile.
Region iconMiddle(const platform::Image& image, std::size_t k) {
    const double unit = std::clamp(std::min(image.width / 1280.0, image.height / 720.0), 0.75, 3.0);
    const double s = 44.0 * unit, icon = 0.72 * s;
    const double left = (image.width - 9.0 * s) * 0.5 + static_cast<double>(k) * s + 0.14 * s;
    const double top = image.height - s - 10.0 * unit + 0.14 * s;
    return {static_cast<uint32_t>(std::ceil(left + icon * 10.0 / 32.0)),
            static_cast<uint32_t>(std::ceil(top + icon * 10.0 / 32.0)),
            static_cast<uint32_t>(left + icon * 22.0 / 32.0),
            static_cast<uint32_t>(top + icon * 22.0 / 32.0)};
}

// Custom blocks that ship no icon file fill the hotbar; each slot shows the icon painted from the
// block's model, not the empty slot's panel.
TEST_F(ShippedContentDeviceTest, HotbarShowsIconsPaintedFromModels) {
    render::TileSheet sheet = render::blankTileSheet(voxel::blockCount(), 0);
    render::loadLayerTiles(sheet, root.path() / "Assets" / "Textures" / "Blocks");
    render::paintMissingIcons(sheet);
    std::vector<std::pair<uint8_t, Colour>> painted;
    for (std::size_t id = voxel::builtinBlockCount; id < voxel::blockCount(); ++id) {
        const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
        if (!def.icon.empty() || !def.isBlock) continue;
        const render::SheetPoint tile = render::tileOrigin(voxel::textureLayer(static_cast<uint8_t>(id), 6));
        // Only icons whose middle is wholly opaque: elsewhere the panel shows through.
        const auto middle =
            opaqueMean(sheet.image, tile.x + 10, tile.y + 10, tile.x + 22, tile.y + 22, 255, true);
        if (middle) painted.emplace_back(static_cast<uint8_t>(id), *middle);
    }

    app.frame.keepInterface = true;
    app.inventory.hotbar = {};
    app.inventory.selected = 0;
    const platform::Image empty = capture("hotbar-empty.png");
    // Each slot takes the next icon whose colours stand apart from that slot's empty panel.
    std::vector<Colour> expected;
    auto next = painted.begin();
    for (std::size_t k = 0; k < app.inventory.hotbar.size(); ++k) {
        const Colour panel = meanColour(empty, iconMiddle(empty, k));
        next = std::find_if(next, painted.end(),
                            [&](const auto& p) { return colourDistance(p.second, panel) > 60.0; });
        ASSERT_NE(next, painted.end()) << "too few painted icons for slot " << k;
        app.inventory.hotbar[k] = {next->first, 1, 0};
        expected.push_back(next->second);
        ++next;
    }
    const platform::Image filled = capture("hotbar-filled.png");
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const Region region = iconMiddle(filled, k);
        const Colour seen = meanColour(filled, region);
        EXPECT_LT(colourDistance(seen, expected[k]), 24.0)
            << "slot " << k << ": " << voxel::blockDef(app.inventory.hotbar[k].id).id;
        EXPECT_GT(colourDistance(seen, meanColour(empty, region)), 40.0) << "slot " << k;
    }
}

}  // namespace
