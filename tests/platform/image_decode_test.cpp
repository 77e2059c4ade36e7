#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/image.h"
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

// A written PNG whose header is then changed to declare another size (with its checksum fixed), so
// that its data no longer matches what the header promises.
std::string withDeclaredSize(std::string png, uint32_t width, uint32_t height) {
    const std::size_t ihdr = png.find("IHDR");
    const uint32_t sides[2] = {width, height};
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < 4; ++i)
            png[ihdr + 4 + side * 4 + i] = static_cast<char>(sides[side] >> (24 - 8 * i));
    const auto* fields = reinterpret_cast<const Bytef*>(png.data() + ihdr);
    const uLong crc = crc32(0, fields, 17);
    for (int i = 0; i < 4; ++i) png[ihdr + 17 + i] = static_cast<char>(crc >> (24 - 8 * i));
    return png;
}

std::string refusalOf(const std::string& png, uint64_t maxPixels) {
    try {
        platform::decodePngBytes(reinterpret_cast<const uint8_t*>(png.data()), png.size(), maxPixels);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

std::string writtenGrey(uint32_t width, uint32_t height) {
    testsupport::TempDir dir;
    PngFile file{.width = width,
                 .height = height,
                 .colorType = PNG_COLOR_TYPE_GRAY,
                 .rows = std::vector<std::vector<uint8_t>>(height, std::vector<uint8_t>(width))};
    testpng::writePng(dir.path() / "grey.png", file);
    return testsupport::readFile(dir.path() / "grey.png");
}

TEST(PngLimits, DeclaredPixelCountIsBoundedAtItsExactEdge) {
    const std::string png = writtenGrey(4, 3);
    struct Case {
        uint64_t maxPixels;
        std::string refusal;
    };
    const Case cases[] = {
        {12, ""},
        {11, "Invalid PNG data (4 x 3 pixels exceed the limit of 11)"},
        {0, "Invalid PNG data (4 x 3 pixels exceed the limit of 0)"},
    };
    for (const Case& c : cases) EXPECT_EQ(refusalOf(png, c.maxPixels), c.refusal) << c.maxPixels;
}

TEST(PngLimits, DefaultLimitIsSixteenMegapixels) {
    // The declared sizes pass or fail the pixel check; none has the data, which is checked next.
    const std::string small = writtenGrey(1, 1);
    const auto refusal = [&](uint32_t width, uint32_t height) {
        const std::string png = withDeclaredSize(small, width, height);
        try {
            platform::decodePngBytes(reinterpret_cast<const uint8_t*>(png.data()), png.size());
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(refusal(4096, 4096), "Invalid PNG data (image data ends early)");
    EXPECT_EQ(refusal(4097, 4096), "Invalid PNG data (4097 x 4096 pixels exceed the limit of 16777216)");
    EXPECT_EQ(refusal(16384, 16384), "Invalid PNG data (16384 x 16384 pixels exceed the limit of 16777216)");
    EXPECT_EQ(platform::kDefaultMaxPngPixels, 16777216u);
}

TEST(PngLimits, HeaderPromisingMoreThanTheFileCanHoldIsRefusedBeforeDecoding) {
    // A few dozen bytes cannot inflate to 4096 x 4096 grey pixels even at deflate's best ratio.
    const std::string bomb = withDeclaredSize(writtenGrey(1, 1), 4096, 4096);
    EXPECT_LT(bomb.size(), 100u);
    EXPECT_EQ(refusalOf(bomb, platform::kDefaultMaxPngPixels), "Invalid PNG data (image data ends early)");
}

TEST(PngLimits, HighlyCompressedPictureWithinTheLimitsDecodes) {
    // One colour compresses close to deflate's best ratio and must still be accepted.
    const std::string png = writtenGrey(2048, 2048);
    EXPECT_LT(png.size() * 900, std::size_t{2048} * 2048);
    const platform::Image image =
        platform::decodePngBytes(reinterpret_cast<const uint8_t*>(png.data()), png.size(), 2048 * 2048);
    EXPECT_EQ(image.width, 2048u);
    EXPECT_EQ(image.pixels.size(), std::size_t{2048} * 2048 * 4);
}

}  // namespace
