#include <gtest/gtest.h>

#include <string>

#include "platform/image.h"
#include "support/temp_dir.h"

namespace {

// Signature, IHDR length and type, width and height: the 24 bytes the size is read from.
std::string header(uint32_t width, uint32_t height, const char* type = "IHDR", uint8_t length = 13) {
    std::string bytes = "\x89PNG\r\n\x1a\n";
    bytes += std::string{'\0', '\0', '\0', static_cast<char>(length)} + type;
    for (const uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(value >> shift & 0xFF);
    }
    return bytes;
}

TEST(PngSize, ReadsTheDeclaredSizeWithoutDecoding) {
    testsupport::TempDir dir;
    struct Case {
        std::string bytes;
        bool found;
        uint32_t width, height;
    };
    const Case cases[] = {
        {header(3, 70000), true, 3, 70000},
        {header(0xFFFFFFFF, 1) + "rest is not read", true, 0xFFFFFFFF, 1},
        {header(3, 4).substr(0, 23), false, 0, 0},
        {header(3, 4, "IDAT"), false, 0, 0},
        {header(3, 4, "IHDR", 12), false, 0, 0},
        {"GIF89a" + header(3, 4).substr(6), false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto file = dir.path() / "picture.png";
        testsupport::writeFile(file, c.bytes);
        const std::optional<platform::PngSize> size = platform::readPngSize(file);
        ASSERT_EQ(size.has_value(), c.found) << c.bytes.size();
        if (!size) continue;
        EXPECT_EQ(size->width, c.width);
        EXPECT_EQ(size->height, c.height);
    }
    EXPECT_FALSE(platform::readPngSize(dir.path() / "absent.png").has_value());
    EXPECT_FALSE(platform::readPngSize(dir.path()).has_value());
}

}  // namespace
