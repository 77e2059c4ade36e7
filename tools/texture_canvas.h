#pragma once
// A small RGBA canvas for the texture generators, with a fixed grain so that generated pictures are
// the same on every run.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "platform/image.h"

namespace texgen {

struct Colour {
    int r = 0, g = 0, b = 0, a = 255;
};

inline Colour mix(Colour a, Colour b, double t) {
    auto lerp = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b), lerp(a.a, b.a)};
}

inline Colour shaded(Colour c, int shift) {
    return {c.r + shift, c.g + shift, c.b + shift, c.a};
}

// A repeatable value in [0, 1) for a pixel and a salt.
inline double noise(int x, int y, uint32_t salt) {
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^ salt * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<double>(h % 10007u) / 10007.0;
}

class Canvas {
public:
    Canvas(uint32_t width, uint32_t height) {
        image_.width = width;
        image_.height = height;
        image_.pixels.assign(std::size_t{width} * height * 4, 0);
    }
    uint32_t width() const { return image_.width; }
    uint32_t height() const { return image_.height; }

    void set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= static_cast<int>(image_.width) || y >= static_cast<int>(image_.height)) return;
        uint8_t* p = &image_.pixels[(static_cast<std::size_t>(y) * image_.width + static_cast<std::size_t>(x)) * 4];
        const int values[4] = {c.r, c.g, c.b, c.a};
        for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(std::clamp(values[i], 0, 255));
    }
    Colour get(int x, int y) const {
        const uint8_t* p = &image_.pixels[(static_cast<std::size_t>(y) * image_.width + static_cast<std::size_t>(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    // Straight alpha blending of `c` over what is there.
    void blend(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= static_cast<int>(image_.width) || y >= static_cast<int>(image_.height)) return;
        const Colour under = get(x, y);
        const double a = c.a / 255.0;
        set(x, y, {static_cast<int>(c.r * a + under.r * (1 - a) + 0.5), static_cast<int>(c.g * a + under.g * (1 - a) + 0.5),
                   static_cast<int>(c.b * a + under.b * (1 - a) + 0.5), std::max(under.a, c.a)});
    }
    void fill(int x0, int y0, int x1, int y1, Colour c) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) set(x, y, c);
    }
    void write(const std::filesystem::path& path) const {
        platform::encodePng(path, image_.width, image_.height, image_.pixels.data(), platform::PixelOrder::Rgba);
    }
    const platform::Image& image() const { return image_; }

private:
    platform::Image image_;
};

}  // namespace texgen
