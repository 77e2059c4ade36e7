#include "platform/image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::ElementsAreArray;

// Three by two pixels, with alpha values that a premultiplying codec would not keep.
const std::vector<uint8_t> kRgba = {
    255, 0,   0,   255, 0,  255, 0,  128, 0,  0,  255, 0,
    12,  34,  56,  78,  90, 100, 110, 1,  200, 201, 202, 255,
};

std::vector<fs::path> entries(const fs::path& dir) {
    std::vector<fs::path> result;
    for (const auto& entry : fs::directory_iterator(dir)) result.push_back(entry.path().filename());
    return result;
}

TEST(PngEncode, RoundTripsRgba) {
    testsupport::TempDir dir;
    const fs::path path = dir.path() / "shot.png";
    platform::encodePng(path, 3, 2, kRgba.data(), platform::PixelOrder::Rgba);
    const platform::Image image = platform::decodePng(path);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_THAT(image.pixels, ElementsAreArray(kRgba));
    EXPECT_THAT(entries(dir.path()), ElementsAre("shot.png"));
}

TEST(PngEncode, StoresBgraInputAsRgba) {
    std::vector<uint8_t> bgra = kRgba;
    for (std::size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
    testsupport::TempDir dir;
    const fs::path path = dir.path() / "shot.png";
    platform::encodePng(path, 3, 2, bgra.data(), platform::PixelOrder::Bgra);
    EXPECT_THAT(platform::decodePng(path).pixels, ElementsAreArray(kRgba));
    EXPECT_EQ(bgra[0], 0) << "the caller's pixels must stay in their order";
}

TEST(PngEncode, ReplacesAnExistingFile) {
    testsupport::TempDir dir;
    const fs::path path = dir.path() / "shot.png";
    testsupport::writeFile(path, "old contents");
    const std::vector<uint8_t> pixel = {1, 2, 3, 4};
    platform::encodePng(path, 1, 1, pixel.data(), platform::PixelOrder::Rgba);
    EXPECT_THAT(platform::decodePng(path).pixels, ElementsAreArray(pixel));
    EXPECT_THAT(entries(dir.path()), ElementsAre("shot.png"));
}

TEST(PngEncode, FailuresThrowAndLeaveNothing) {
    testsupport::TempDir dir;
    EXPECT_THROW(platform::encodePng(dir.path() / "missing" / "shot.png", 3, 2, kRgba.data(),
                                     platform::PixelOrder::Rgba),
                 std::runtime_error);
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));

    // libpng refuses an empty image only once the file has been created.
    EXPECT_THROW(platform::encodePng(dir.path() / "empty.png", 0, 2, kRgba.data(), platform::PixelOrder::Rgba),
                 std::runtime_error);
    EXPECT_TRUE(entries(dir.path()).empty());
}

}  // namespace
