#include "png_writer.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace testpng {

namespace {

// Holds only plain data: libpng's long jump lands here.
bool writeWithLibpng(png_structp png, png_infop info, FILE* out, const PngFile* file, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, out);
    png_set_IHDR(png, info, file->width, file->height, file->bitDepth, file->colorType, file->interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!file->palette.empty()) png_set_PLTE(png, info, file->palette.data(), static_cast<int>(file->palette.size()));
    if (!file->paletteAlpha.empty())
        png_set_tRNS(png, info, file->paletteAlpha.data(), static_cast<int>(file->paletteAlpha.size()), nullptr);
    if (file->transparentColour) png_set_tRNS(png, info, nullptr, 0, &*file->transparentColour);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

void writePng(const std::filesystem::path& path, const PngFile& file) {
    std::vector<std::vector<uint8_t>> rowCopies = file.rows;
    std::vector<png_bytep> rows;
    for (auto& row : rowCopies) rows.push_back(row.data());
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool written = writeWithLibpng(png, info, out, &file, rows.data());
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    ASSERT_TRUE(written);
}

}  // namespace testpng
