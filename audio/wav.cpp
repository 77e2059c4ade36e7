#include "audio/wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "content/text.h"
#include "platform/file_read.h"

namespace audio {

namespace {

constexpr uint64_t kOutputRate = 44100;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kRiffHeaderBytes = 12;

struct WavFormat {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;

    std::size_t bytesPerSample() const { return bitsPerSample / 8u; }
    std::size_t bytesPerFrame() const { return channels * bytesPerSample(); }
};

struct WavChunks {
    std::optional<WavFormat> format;
    std::optional<std::string_view> data;
};

[[noreturn]] void refuse(const std::string& reason) {
    throw std::runtime_error("Invalid WAV file: " + reason);
}

// Little-endian fields; callers have checked that they lie inside bytes.
uint16_t readU16(std::string_view bytes, std::size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

uint32_t readU32(std::string_view bytes, std::size_t at) {
    return static_cast<uint32_t>(readU16(bytes, at)) | static_cast<uint32_t>(readU16(bytes, at + 2)) << 16;
}

// The chunks after "WAVE". The walk stops at the RIFF size or the end of the file, whichever comes
// first: writers that stream often leave a RIFF size larger than what they wrote.
std::string_view riffBody(std::string_view bytes) {
    if (bytes.size() < kRiffHeaderBytes) refuse("too short for a RIFF header");
    if (bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") refuse("not a RIFF/WAVE file");
    const uint64_t riffEnd = std::max<uint64_t>(uint64_t{8} + readU32(bytes, 4), kRiffHeaderBytes);
    const std::size_t end = static_cast<std::size_t>(std::min<uint64_t>(riffEnd, bytes.size()));
    return bytes.substr(kRiffHeaderBytes, end - kRiffHeaderBytes);
}

WavFormat readFormat(std::string_view chunk) {
    if (chunk.size() < 16) refuse("fmt chunk too short");
    const uint16_t tag = readU16(chunk, 0);
    if (tag != 1) refuse("unsupported format " + std::to_string(tag) + " (only PCM)");
    const WavFormat format{readU16(chunk, 2), readU32(chunk, 4), readU16(chunk, 14)};
    if (format.channels == 0) refuse("zero channels");
    if (format.channels > 2) refuse("unsupported channel count " + std::to_string(format.channels));
    if (format.sampleRate == 0) refuse("zero sample rate");
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) {
        refuse("unsupported sample size of " + std::to_string(format.bitsPerSample) + " bits");
    }
    if (readU16(chunk, 12) != format.bytesPerFrame()) refuse("block alignment does not match the format");
    return format;
}

void takeChunk(std::string_view id, std::string_view body, WavChunks& chunks) {
    if (id == "fmt ") {
        if (chunks.format) refuse("repeated fmt chunk");
        chunks.format = readFormat(body);
    } else if (id == "data") {
        if (chunks.data) refuse("repeated data chunk");
        chunks.data = body;
    }
}

WavChunks findChunks(std::string_view riff) {
    WavChunks chunks;
    std::size_t at = 0;
    while (at < riff.size()) {
        if (riff.size() - at < kChunkHeaderBytes) refuse("truncated chunk header");
        const uint32_t size = readU32(riff, at + 4);
        if (size > riff.size() - at - kChunkHeaderBytes) refuse("chunk extends beyond the end of the file");
        takeChunk(riff.substr(at, 4), riff.substr(at + kChunkHeaderBytes, size), chunks);
        // An odd-sized chunk is followed by a pad byte; a last one may lack it.
        at += kChunkHeaderBytes + size + (size & 1u);
    }
    if (!chunks.format) refuse("fmt chunk missing");
    if (!chunks.data) refuse("data chunk missing");
    return chunks;
}

int16_t readSample(std::string_view data, std::size_t at, uint16_t bits) {
    if (bits == 8) return static_cast<int16_t>((static_cast<uint8_t>(data[at]) - 128) * 256);
    return static_cast<int16_t>(readU16(data, at));
}

// Interleaved stereo at the source rate; a mono sample goes to both sides and a trailing partial
// frame is dropped.
std::vector<int16_t> decodeStereo(std::string_view data, const WavFormat& format) {
    const std::size_t frames = data.size() / format.bytesPerFrame();
    std::vector<int16_t> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t frameStart = i * format.bytesPerFrame();
        const std::size_t rightStart = frameStart + (format.channels - 1u) * format.bytesPerSample();
        out[i * 2] = readSample(data, frameStart, format.bitsPerSample);
        out[i * 2 + 1] = readSample(data, rightStart, format.bitsPerSample);
    }
    return out;
}

// Below this the mixer would only stretch a few bytes into megabytes of output.
constexpr uint32_t kMinSampleRate = 8000;

// The output keeps the sound's duration: floor(frames x 44,100 / rate) frames.
std::size_t outputFrameCount(std::size_t frames, uint32_t rate) {
    if (rate < kMinSampleRate) refuse("sample rate below 8000 Hz");
    const uint64_t count = static_cast<uint64_t>(frames) * kOutputRate / rate;
    if (count > kMaxWavFrames) refuse("longer than ten minutes");
    return static_cast<std::size_t>(count);
}

// Linear interpolation between the two source frames around each output frame's time; the last
// source frame is held at the very end.
std::vector<int16_t> resample(const std::vector<int16_t>& in, uint32_t rate, std::size_t outFrames) {
    if (rate == kOutputRate) return in;
    const std::size_t inFrames = in.size() / 2;
    std::vector<int16_t> out(outFrames * 2);
    for (std::size_t j = 0; j < outFrames; ++j) {
        const uint64_t time = static_cast<uint64_t>(j) * rate;
        const std::size_t index = static_cast<std::size_t>(time / kOutputRate);  // < inFrames
        const std::size_t next = std::min(index + 1, inFrames - 1);
        const double fraction = static_cast<double>(time % kOutputRate) / static_cast<double>(kOutputRate);
        for (std::size_t c = 0; c < 2; ++c) {
            const double a = in[index * 2 + c];
            const double b = in[next * 2 + c];
            out[j * 2 + c] = static_cast<int16_t>(std::lround(a + (b - a) * fraction));
        }
    }
    return out;
}

}  // namespace

Sound decodeWav(std::string_view bytes) {
    const WavChunks chunks = findChunks(riffBody(bytes));
    const WavFormat& format = *chunks.format;
    const std::size_t outFrames = outputFrameCount(chunks.data->size() / format.bytesPerFrame(), format.sampleRate);
    Sound sound;
    sound.frames = resample(decodeStereo(*chunks.data, format), format.sampleRate, outFrames);
    return sound;
}

Sound readWav(const std::filesystem::path& path) {
    const std::string cannotOpen = "Cannot open " + content::pathToUtf8(path);
    const std::optional<std::string> bytes = platform::readFileBytes(path);
    if (!bytes) throw std::runtime_error(cannotOpen);
    return decodeWav(*bytes);
}

}  // namespace audio
