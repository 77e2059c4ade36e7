#pragma once
// PNG images as straight (not premultiplied) RGBA8 pixels, rows top to bottom.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace platform {

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;  // width * height * 4 bytes, RGBA
};

enum class PixelOrder { Rgba, Bgra };

struct PngSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// The size a PNG file declares in its header, read from its first 24 bytes without decoding, so
// that an untrusted image can be refused before any pixel memory is spent on it. Nothing when the
// file cannot be read or does not start with the PNG signature and a whole IHDR chunk header.
std::optional<PngSize> readPngSize(const std::filesystem::path& path);

// Decodes any PNG colour type and bit depth to RGBA8. Throws std::runtime_error when the file is
// missing or is not a valid PNG.
Image decodePng(const std::filesystem::path& path);
Image decodePngBytes(const uint8_t* data, std::size_t size);
// Encodes `pixels` (width * height * 4 bytes in `order`) as an RGBA PNG. Throws std::runtime_error
// on failure and leaves no partial file behind.
void encodePng(const std::filesystem::path& path, uint32_t width, uint32_t height, const uint8_t* pixels,
               PixelOrder order);
// Nearest-neighbour scaling (block tiles).
Image scaleNearest(const Image& source, uint32_t width, uint32_t height);
// Area-averaging scaling (interface pictures): each target pixel is the coverage-weighted mean of
// the source pixels under it.
Image scaleArea(const Image& source, uint32_t width, uint32_t height);

}  // namespace platform
