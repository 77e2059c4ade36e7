#include "platform/image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "png_writer.h"
#include "support/temp_dir.h"

namespace {

using testing::ElementsAreArray;
using testpng::PngFile;

std::vector<uint8_t> decodeWritten(const PngFile& file) {
    testsupport::TempDir dir;
    const auto path = dir.path() / "picture.png";
    testpng::writePng(path, file);
    const platform::Image image = platform::decodePng(path);
    EXPECT_EQ(image.width, file.width);
    EXPECT_EQ(image.height, file.height);
    return image.pixels;
}

TEST(PngDecode, ExpandsGreyLevels) {
    PngFile grey8{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .rows = {{0, 200}}};
    EXPECT_THAT(decodeWritten(grey8), ElementsAreArray<uint8_t>({0, 0, 0, 255, 200, 200, 200, 255}));

    // Four 1-bit pixels 1, 0, 1, 1 packed from the high bit.
    PngFile grey1{.width = 4, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1, .rows = {{0b10110000}}};
    EXPECT_THAT(decodeWritten(grey1),
                ElementsAreArray<uint8_t>({255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255}));

    PngFile greyAlpha{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY_ALPHA, .rows = {{100, 50}}};
    EXPECT_THAT(decodeWritten(greyAlpha), ElementsAreArray<uint8_t>({100, 100, 100, 50}));
}

TEST(PngDecode, ExpandsPaletteWithTransparency) {
    // Three 2-bit indices 0, 1, 2; only the first two entries have tRNS alpha.
    PngFile file{.width = 3,
                 .height = 1,
                 .colorType = PNG_COLOR_TYPE_PALETTE,
                 .bitDepth = 2,
                 .rows = {{0b00011000}},
                 .palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}},
                 .paletteAlpha = {0, 128}};
    EXPECT_THAT(decodeWritten(file),
                ElementsAreArray<uint8_t>({10, 20, 30, 0, 40, 50, 60, 128, 70, 80, 90, 255}));
}

TEST(PngDecode, ReducesSixteenBitChannels) {
    PngFile rgb{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_RGB, .bitDepth = 16,
                .rows = {{0xff, 0xff, 0x00, 0x00, 0x80, 0x80}}};
    EXPECT_THAT(decodeWritten(rgb), ElementsAreArray<uint8_t>({255, 0, 128, 255}));

    PngFile rgba{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_RGBA, .bitDepth = 16,
                 .rows = {{0x00, 0x00, 0xff, 0xff, 0x80, 0x80, 0x7f, 0x7f}}};
    EXPECT_THAT(decodeWritten(rgba), ElementsAreArray<uint8_t>({0, 255, 128, 127}));
}

TEST(PngDecode, TurnsColourKeysIntoAlpha) {
    PngFile rgb{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGB, .rows = {{1, 2, 3, 4, 5, 6}},
                .transparentColour = png_color_16{0, 4, 5, 6, 0}};
    EXPECT_THAT(decodeWritten(rgb), ElementsAreArray<uint8_t>({1, 2, 3, 255, 4, 5, 6, 0}));

    PngFile grey16{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 16,
                   .rows = {{0x12, 0x34, 0xff, 0xff}}, .transparentColour = png_color_16{0, 0, 0, 0, 0x1234}};
    EXPECT_THAT(decodeWritten(grey16), ElementsAreArray<uint8_t>({18, 18, 18, 0, 255, 255, 255, 255}));
}

TEST(PngDecode, ReadsInterlacedImages) {
    PngFile file{.width = 9, .height = 9, .colorType = PNG_COLOR_TYPE_RGB, .interlace = PNG_INTERLACE_ADAM7};
    std::vector<uint8_t> expected;
    for (uint8_t y = 0; y < 9; ++y) {
        auto& row = file.rows.emplace_back();
        for (uint8_t x = 0; x < 9; ++x) {
            const std::vector<uint8_t> pixel{uint8_t(x * 20), uint8_t(y * 20), uint8_t(x + y)};
            row.insert(row.end(), pixel.begin(), pixel.end());
            expected.insert(expected.end(), pixel.begin(), pixel.end());
            expected.push_back(255);
        }
    }
    EXPECT_THAT(decodeWritten(file), ElementsAreArray(expected));
}

class BrokenPng : public testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.path() / "good.png";
        PngFile file{.width = 4, .height = 4, .colorType = PNG_COLOR_TYPE_GRAY, .rows = std::vector<std::vector<uint8_t>>(4, {1, 2, 3, 4})};
        testpng::writePng(path_, file);
        bytes_ = testsupport::readFile(path_);
    }
    std::vector<uint8_t> bytes(std::size_t count) const { return {bytes_.begin(), bytes_.begin() + count}; }

    testsupport::TempDir dir_;
    std::filesystem::path path_;
    std::string bytes_;
};

TEST_F(BrokenPng, IntactFileDecodesFromMemory) {
    const auto all = bytes(bytes_.size());
    const platform::Image image = platform::decodePngBytes(all.data(), all.size());
    EXPECT_EQ(image.width, 4u);
    EXPECT_THAT(std::vector<uint8_t>(image.pixels.begin(), image.pixels.begin() + 8),
                ElementsAreArray<uint8_t>({1, 1, 1, 255, 2, 2, 2, 255}));
}

TEST_F(BrokenPng, FailuresThrow) {
    EXPECT_THROW(platform::decodePng(dir_.path() / "missing.png"), std::runtime_error);

    testsupport::writeFile(dir_.path() / "text.png", "just some text, not a picture");
    EXPECT_THROW(platform::decodePng(dir_.path() / "text.png"), std::runtime_error);

    const auto truncated = bytes(bytes_.size() - 20);
    EXPECT_THROW(platform::decodePngBytes(truncated.data(), truncated.size()), std::runtime_error);
    const auto headerOnly = bytes(8);
    EXPECT_THROW(platform::decodePngBytes(headerOnly.data(), headerOnly.size()), std::runtime_error);

    // A flipped byte inside IDAT breaks its checksum.
    std::string corrupt = bytes_;
    const std::size_t idat = corrupt.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    corrupt[idat + 6] = static_cast<char>(corrupt[idat + 6] ^ 0x55);
    testsupport::writeFile(dir_.path() / "corrupt.png", corrupt);
    EXPECT_THROW(platform::decodePng(dir_.path() / "corrupt.png"), std::runtime_error);
}

}  // namespace
