#include "save/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using filesave::formatSettings;
using filesave::parseSettings;

std::vector<int32_t> allValues(const StoredSettings& s) {
    const SettingsBlock& b = s.block;
    std::vector<int32_t> values(b.visualEffects.begin(), b.visualEffects.end());
    values.insert(values.end(), {b.chunkRadius, b.smoothLight, b.cornerShadows, b.textureRelief,
                                 b.textureSmoothing, b.waterWaves, b.skyReflection, b.waterTransparency,
                                 b.fog, b.brightness, b.saturation, b.contrast, b.skyAndClouds,
                                 b.verticalSync, s.volumes.master, s.volumes.effects, s.volumes.ambient});
    return values;
}

// Every value differs from its default.
StoredSettings customSettings() {
    StoredSettings s;
    s.block = {.visualEffects = {0, 2, 1, 0, 1, 0}, .chunkRadius = 10, .smoothLight = 0, .cornerShadows = 0,
               .textureRelief = 1, .textureSmoothing = 0, .waterWaves = 1, .skyReflection = 0,
               .waterTransparency = 1, .fog = 0, .brightness = 50, .saturation = 150, .contrast = 77,
               .skyAndClouds = 1, .verticalSync = 0};
    s.volumes = {0, 100, 33};
    return s;
}

const std::string kHead = "QUORVANE_SETTINGS 1\n";
const std::string kGoodGraphics = "GFX077 8 0 0 1 1 1 1 1 1 90 91 92 1 0\n";

TEST(Settings, DefaultsAreWrittenInTheDocumentedLayout) {
    EXPECT_EQ(formatSettings(StoredSettings{}),
              "QUORVANE_SETTINGS 1\n"
              "GFX077 6 1 1 2 2 2 2 2 2 100 105 105 2 1\n"
              "SND078 70 80 50\n"
              "VFX101 1 1 2 1\n"
              "VFX105 2 2\n");
}

TEST(Settings, RoundTripKeepsEveryValue) {
    const StoredSettings custom = customSettings();
    EXPECT_EQ(allValues(parseSettings(formatSettings(custom), StoredSettings{})), allValues(custom));
}

TEST(Settings, FileRoundTripAndMissingFile) {
    testsupport::TempDir dir;
    const auto path = dir.path() / filesave::kSettingsFile;
    const StoredSettings custom = customSettings();
    EXPECT_EQ(allValues(filesave::readSettingsFile(path, custom)), allValues(custom));

    filesave::writeSettingsFile(path, custom);
    EXPECT_EQ(allValues(filesave::readSettingsFile(path, StoredSettings{})), allValues(custom));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "voxel_settings.txt.tmp"));
}

TEST(Settings, AFailedWriteLeavesThePreviousSettings) {
    testsupport::TempDir dir;
    EXPECT_THAT([&] { filesave::writeSettingsFile(dir.path() / "none" / "s.txt", StoredSettings{}); },
                testing::ThrowsMessage<std::runtime_error>(testing::StartsWith("Cannot write ")));

    const auto path = dir.path() / filesave::kSettingsFile;
    const StoredSettings custom = customSettings();
    filesave::writeSettingsFile(path, custom);
    // The temporary file cannot be made, so the new settings cannot be written.
    std::filesystem::create_directory(dir.path() / "voxel_settings.txt.tmp");
    EXPECT_THROW(filesave::writeSettingsFile(path, StoredSettings{}), std::runtime_error);
    EXPECT_EQ(allValues(filesave::readSettingsFile(path, StoredSettings{})), allValues(custom));
}

TEST(Settings, WrongHeadLineLeavesEverything) {
    const StoredSettings defaults = customSettings();
    for (const std::string head : {"QUORVANE_SETTINGS 2\n", "", "\n", "quorvane_settings 1\n", "GFX077\n"}) {
        const std::string text = head + kGoodGraphics + "SND078 1 2 3\n";
        EXPECT_EQ(allValues(parseSettings(text, defaults)), allValues(defaults)) << head;
    }
}

TEST(Settings, MissingSectionKeepsItsDefaultsOnly) {
    const StoredSettings result = parseSettings(kHead + "SND078 1 2 3\n", StoredSettings{});
    EXPECT_EQ(result.volumes.master, 1);
    EXPECT_EQ(result.volumes.effects, 2);
    EXPECT_EQ(result.volumes.ambient, 3);
    StoredSettings expected;
    expected.volumes = {1, 2, 3};
    EXPECT_EQ(allValues(result), allValues(expected));
}

TEST(Settings, BadSectionKeepsItsDefaultsOthersAreRead) {
    const std::vector<std::string> badGraphics = {
        "GFX077 8 0 0 1 1 1 1 1 1 90 91 92 1\n",              // 13 values
        "GFX077 8 0 0 1 1 1 1 1 1 90 91 92 1 0 0\n",          // 15 values
        "GFX077 8 0 0 1 1 1 1 1 1 90 91 92 1 x\n",            // a word
        "GFX077 8 0 0 1 1 1 1 1 1 90 91 92 1 0.5\n",          // a fraction
        "GFX077 8 0 0 1 1 1 1 1 1 90 91 92 1 +1\n",           // an explicit plus
        "GFX077 8 0 0 1 1 1 1 1 1 90 91 92 1 99999999999\n",  // past 32 bits
    };
    for (const std::string& graphics : badGraphics) {
        const StoredSettings result = parseSettings(kHead + graphics + "VFX105 0 1\n", StoredSettings{});
        StoredSettings expected;
        expected.block.visualEffects[4] = 0;
        expected.block.visualEffects[5] = 1;
        EXPECT_EQ(allValues(result), allValues(expected)) << graphics;
    }
}

TEST(Settings, SectionsInAnyOrderWithWindowsLineEndings) {
    const std::string text =
        "QUORVANE_SETTINGS 1\r\nVFX101 0 0 0 0\r\nunknown 1 2\r\n\r\nGFX077 8 0 0 1 1 1 1 1 1 90 91 92 1 "
        "0\r\n";
    const StoredSettings result = parseSettings(text, StoredSettings{});
    EXPECT_EQ(result.block.chunkRadius, 8);
    EXPECT_EQ(result.block.verticalSync, 0);
    EXPECT_EQ(result.block.contrast, 92);
    EXPECT_EQ(result.block.visualEffects[0], 0);
    EXPECT_EQ(result.block.visualEffects[3], 0);
    EXPECT_EQ(result.block.visualEffects[4], 2);
}

TEST(Settings, ValuesAreClampedToTheirBounds) {
    const std::string low = kHead +
                            "GFX077 -5 -1 -1 -1 -1 -1 -1 -1 -1 0 -100 49 -1 -7\nSND078 -1 -50 -2147483648\n" +
                            "VFX101 -1 -1 -1 -1\nVFX105 -3 -3\n";
    const StoredSettings lowResult = parseSettings(low, StoredSettings{});
    EXPECT_EQ(allValues(lowResult),
              (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 50, 50, 50, 0, 0, 0, 0, 0}));

    const std::string high =
        kHead + "GFX077 13 2 2 3 3 3 3 3 3 151 1000 2147483647 3 9\nSND078 101 500 2147483647\n" +
        "VFX101 3 3 3 3\nVFX105 9 9\n";
    const StoredSettings highResult = parseSettings(high, StoredSettings{});
    EXPECT_EQ(allValues(highResult), (std::vector<int32_t>{2, 2, 2, 2,   2,   2,   12, 1, 1,   2,   2,  2,
                                                           2, 2, 2, 150, 150, 150, 2,  1, 100, 100, 100}));
}

}  // namespace
