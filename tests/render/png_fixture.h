#pragma once
// Small PNG fixtures for the render tests: painted pictures, files of them and pixel checks.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/image.h"

namespace atlastest {

using Rgba = std::array<uint8_t, 4>;

// Opaque colours far enough apart that no scaling or packing mix-up goes unnoticed.
inline constexpr Rgba kRed{200, 30, 30, 255};
inline constexpr Rgba kGreen{30, 200, 30, 255};
inline constexpr Rgba kBlue{30, 30, 200, 255};

inline platform::Image paintedImage(uint32_t width, uint32_t height, const std::function<Rgba(uint32_t, uint32_t)>& paint) {
    platform::Image image{width, height, std::vector<uint8_t>(std::size_t{width} * height * 4)};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const Rgba c = paint(x, y);
            for (int i = 0; i < 4; ++i) image.pixels[(std::size_t{y} * width + x) * 4 + i] = c[i];
        }
    }
    return image;
}

inline void writePng(const std::filesystem::path& file, const platform::Image& image) {
    std::filesystem::create_directories(file.parent_path());
    platform::encodePng(file, image.width, image.height, image.pixels.data(), platform::PixelOrder::Rgba);
}

inline void writeSolidPng(const std::filesystem::path& file, uint32_t width, uint32_t height, Rgba colour) {
    writePng(file, paintedImage(width, height, [colour](uint32_t, uint32_t) { return colour; }));
}

inline Rgba pixelAt(const platform::Image& image, uint32_t x, uint32_t y) {
    const uint8_t* p = &image.pixels[(std::size_t{y} * image.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// True when every pixel of the w x h block at (x, y) is `colour`.
inline bool blockIs(const platform::Image& image, uint32_t x, uint32_t y, uint32_t w, uint32_t h, Rgba colour) {
    for (uint32_t row = y; row < y + h; ++row) {
        for (uint32_t column = x; column < x + w; ++column) {
            if (pixelAt(image, column, row) != colour) return false;
        }
    }
    return true;
}

}  // namespace atlastest
