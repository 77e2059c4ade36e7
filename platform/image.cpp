#include "platform/image.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/file_read.h"

namespace platform {

namespace {

// Larger sides are refused before any pixel memory is allocated.
constexpr uint32_t kMaxSide = 1u << 14;

// libpng reports errors by a long jump back to the setjmp of the call that failed. The functions
// holding a setjmp keep only plain data in their frames, so that no jump skips a destructor, and
// every libpng call that can fail runs inside one of them.
struct PngErrorText {
    char text[128] = {};
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<PngErrorText*>(png_get_error_ptr(png));
    std::snprintf(error->text, sizeof error->text, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

struct MemorySource {
    const uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) png_error(png, "Truncated PNG data");
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

class PngReadStructs {
public:
    explicit PngReadStructs(PngErrorText* error)
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, error, onPngError, onPngWarning)) {
        if (png_) info_ = png_create_info_struct(png_);
        if (!info_) {
            png_destroy_read_struct(&png_, nullptr, nullptr);
            throw std::bad_alloc();
        }
    }
    ~PngReadStructs() { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngReadStructs(const PngReadStructs&) = delete;
    PngReadStructs& operator=(const PngReadStructs&) = delete;
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

class PngWriteStructs {
public:
    explicit PngWriteStructs(PngErrorText* error)
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, error, onPngError, onPngWarning)) {
        if (png_) info_ = png_create_info_struct(png_);
        if (!info_) {
            png_destroy_write_struct(&png_, nullptr);
            throw std::bad_alloc();
        }
    }
    ~PngWriteStructs() { png_destroy_write_struct(&png_, &info_); }
    PngWriteStructs(const PngWriteStructs&) = delete;
    PngWriteStructs& operator=(const PngWriteStructs&) = delete;
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

struct DecodedSize {
    uint32_t width;
    uint32_t height;
    std::size_t rowBytes;
};

// Asks libpng to expand whatever the file holds to 8-bit RGBA with straight alpha.
void requestRgba8(png_structp png, png_infop info) {
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (hasTransparency) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_scale_16(png);
    if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !hasTransparency) png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
}

bool readHeader(png_structp png, png_infop info, DecodedSize* size) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    requestRgba8(png, info);
    png_read_update_info(png, info);
    size->width = png_get_image_width(png, info);
    size->height = png_get_image_height(png, info);
    size->rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool readRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

struct EncodeJob {
    FILE* file;
    uint32_t width;
    uint32_t height;
    png_bytepp rows;
    bool bgr;
};

bool writeRows(png_structp png, png_infop info, const EncodeJob* job) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, job->file);
    png_set_IHDR(png, info, job->width, job->height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (job->bgr) png_set_bgr(png);
    png_write_image(png, job->rows);
    png_write_end(png, nullptr);
    return true;
}

std::runtime_error invalidPng(const std::string& what, const PngErrorText& error) {
    std::string message = "Invalid PNG " + what;
    if (error.text[0]) message += std::string(" (") + error.text + ")";
    return std::runtime_error(message);
}

Image decode(const uint8_t* data, std::size_t size, const std::string& what) {
    PngErrorText error;
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) throw invalidPng(what, error);
    PngReadStructs structs(&error);
    MemorySource source{data, size, 0};
    png_set_read_fn(structs.png(), &source, readFromMemory);
    DecodedSize decoded{};
    if (!readHeader(structs.png(), structs.info(), &decoded)) throw invalidPng(what, error);
    if (decoded.rowBytes != std::size_t{decoded.width} * 4) throw invalidPng(what, error);
    Image image{decoded.width, decoded.height, std::vector<uint8_t>(decoded.rowBytes * decoded.height)};
    std::vector<png_bytep> rows(decoded.height);
    for (uint32_t y = 0; y < decoded.height; ++y) rows[y] = image.pixels.data() + y * decoded.rowBytes;
    if (!readRows(structs.png(), rows.data())) throw invalidPng(what, error);
    return image;
}

bool writePngFile(FILE* file, uint32_t width, uint32_t height, const uint8_t* pixels, PixelOrder order) {
    PngErrorText error;
    PngWriteStructs structs(&error);
    std::vector<png_bytep> rows(height);
    // libpng copies each row before transforming it, so the caller's pixels stay untouched.
    for (uint32_t y = 0; y < height; ++y) rows[y] = const_cast<png_bytep>(pixels + std::size_t{y} * width * 4);
    const EncodeJob job{file, width, height, rows.data(), order == PixelOrder::Bgra};
    return writeRows(structs.png(), structs.info(), &job);
}

// For each target pixel along one axis: the source pixels under it and how much of each it covers.
// Lengths are measured in units of 1 / (source size * target size), so every weight is a whole
// number and the weights of one target pixel add up to the source size.
struct Coverage {
    uint32_t first;
    std::vector<uint32_t> weights;
};

std::vector<Coverage> coverageAlong(uint32_t sourceSize, uint32_t targetSize) {
    std::vector<Coverage> result(targetSize);
    for (uint32_t t = 0; t < targetSize; ++t) {
        const uint64_t start = uint64_t{t} * sourceSize;
        const uint64_t end = start + sourceSize;
        const auto first = static_cast<uint32_t>(start / targetSize);
        const auto last = static_cast<uint32_t>((end - 1) / targetSize);
        result[t].first = first;
        for (uint32_t s = first; s <= last; ++s) {
            const uint64_t from = std::max(start, uint64_t{s} * targetSize);
            const uint64_t to = std::min(end, uint64_t{s + 1} * targetSize);
            result[t].weights.push_back(static_cast<uint32_t>(to - from));
        }
    }
    return result;
}

// Sums along rows: one value per (source row, target column, channel), scaled by the source width
// (at most 255 times it, which fits 32 bits for any width an image can have).
std::vector<uint32_t> sumAlongRows(const Image& source, const std::vector<Coverage>& columns) {
    const std::size_t targetWidth = columns.size();
    std::vector<uint32_t> sums(std::size_t{source.height} * targetWidth * 4);
    for (uint32_t y = 0; y < source.height; ++y) {
        const uint8_t* row = source.pixels.data() + std::size_t{y} * source.width * 4;
        uint32_t* out = sums.data() + std::size_t{y} * targetWidth * 4;
        for (std::size_t x = 0; x < targetWidth; ++x) {
            const Coverage& cover = columns[x];
            for (std::size_t i = 0; i < cover.weights.size(); ++i)
                for (int c = 0; c < 4; ++c) out[x * 4 + c] += cover.weights[i] * row[(cover.first + i) * 4 + c];
        }
    }
    return sums;
}

bool isEmpty(const Image& image) {
    if (image.pixels.size() != std::size_t{image.width} * image.height * 4)
        throw std::runtime_error("Image pixels do not match its size");
    return image.width == 0 || image.height == 0;
}

Image blankImage(uint32_t width, uint32_t height) {
    return Image{width, height, std::vector<uint8_t>(std::size_t{width} * height * 4)};
}

}  // namespace

Image decodePng(const std::filesystem::path& path) {
    const std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes) throw std::runtime_error("Cannot open PNG file: " + path.string());
    return decode(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size(), "file: " + path.string());
}

std::optional<PngSize> readPngSize(const std::filesystem::path& path) {
    // Signature, the IHDR length (always 13) and type, then width and height, all big-endian.
    constexpr std::size_t kHeaderBytes = 24;
    std::ifstream in(path, std::ios::binary);
    uint8_t header[kHeaderBytes] = {};
    if (!in.read(reinterpret_cast<char*>(header), kHeaderBytes)) return std::nullopt;
    if (png_sig_cmp(header, 0, 8) != 0) return std::nullopt;
    const auto bigEndian = [&](std::size_t at) {
        return uint32_t{header[at]} << 24 | uint32_t{header[at + 1]} << 16 | uint32_t{header[at + 2]} << 8 |
               uint32_t{header[at + 3]};
    };
    if (bigEndian(8) != 13 || std::memcmp(header + 12, "IHDR", 4) != 0) return std::nullopt;
    return PngSize{bigEndian(16), bigEndian(20)};
}

Image decodePngBytes(const uint8_t* data, std::size_t size) {
    return decode(data, size, "data");
}

void encodePng(const std::filesystem::path& path, uint32_t width, uint32_t height, const uint8_t* pixels,
               PixelOrder order) {
    const std::runtime_error failure("Cannot write PNG file: " + path.string());
    if (!pixels) throw failure;
    // A temporary file beside the target, renamed over it once complete: readers never see half a file.
    std::string temporary = path.string() + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) throw failure;
    fchmod(descriptor, 0644);
    FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        close(descriptor);
        unlink(temporary.c_str());
        throw failure;
    }
    bool written = false;
    try {
        written = writePngFile(file, width, height, pixels, order);
    } catch (...) {
        std::fclose(file);
        unlink(temporary.c_str());
        throw;
    }
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        throw failure;
    }
}

Image scaleNearest(const Image& source, uint32_t width, uint32_t height) {
    Image target = blankImage(width, height);
    if (isEmpty(source)) return target;
    for (uint32_t y = 0; y < height; ++y) {
        // The source pixel under the centre of the target pixel.
        const auto sy = static_cast<uint32_t>((uint64_t{y} * 2 + 1) * source.height / (uint64_t{height} * 2));
        for (uint32_t x = 0; x < width; ++x) {
            const auto sx = static_cast<uint32_t>((uint64_t{x} * 2 + 1) * source.width / (uint64_t{width} * 2));
            std::memcpy(&target.pixels[(std::size_t{y} * width + x) * 4],
                        &source.pixels[(std::size_t{sy} * source.width + sx) * 4], 4);
        }
    }
    return target;
}

Image scaleArea(const Image& source, uint32_t width, uint32_t height) {
    Image target = blankImage(width, height);
    if (isEmpty(source) || width == 0 || height == 0) return target;
    const std::vector<uint32_t> rowSums = sumAlongRows(source, coverageAlong(source.width, width));
    const std::vector<Coverage> rows = coverageAlong(source.height, height);
    const uint64_t total = uint64_t{source.width} * source.height;
    for (uint32_t y = 0; y < height; ++y) {
        const Coverage& cover = rows[y];
        for (std::size_t x = 0; x < width; ++x) {
            for (int c = 0; c < 4; ++c) {
                uint64_t sum = 0;
                for (std::size_t i = 0; i < cover.weights.size(); ++i)
                    sum += uint64_t{cover.weights[i]} * rowSums[((cover.first + i) * width + x) * 4 + c];
                target.pixels[(y * std::size_t{width} + x) * 4 + c] = static_cast<uint8_t>((sum + total / 2) / total);
            }
        }
    }
    return target;
}

}  // namespace platform
