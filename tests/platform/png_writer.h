#pragma once
// Writes PNG files of any colour type and bit depth straight through libpng, to feed the decoder
// layouts that our own encoder never produces.
#include <png.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace testpng {

struct PngFile {
    uint32_t width = 0;
    uint32_t height = 0;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    int interlace = PNG_INTERLACE_NONE;
    std::vector<std::vector<uint8_t>> rows = {};  // packed as the file stores them (16-bit big-endian)
    std::vector<png_color> palette = {};
    std::vector<png_byte> paletteAlpha = {};       // tRNS of a palette image
    std::optional<png_color_16> transparentColour = {};  // tRNS of a grey or RGB image
};

void writePng(const std::filesystem::path& path, const PngFile& file);

}  // namespace testpng
