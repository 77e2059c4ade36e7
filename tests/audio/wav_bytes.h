#pragma once
// Builds WAV files byte by byte, so each test states exactly what the reader is given.
#include <cstdint>
#include <string>
#include <vector>

namespace wavtest {

inline std::string le16(uint16_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

inline std::string le32(uint32_t value) {
    return le16(static_cast<uint16_t>(value & 0xFFFF)) + le16(static_cast<uint16_t>(value >> 16));
}

// A chunk with its pad byte when the size is odd.
inline std::string chunk(const std::string& id, const std::string& body) {
    return id + le32(static_cast<uint32_t>(body.size())) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

inline std::string fmtBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

inline std::string riff(const std::string& chunks) {
    return "RIFF" + le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

inline std::string pcm16(const std::vector<int16_t>& samples) {
    std::string bytes;
    for (int16_t s : samples) bytes += le16(static_cast<uint16_t>(s));
    return bytes;
}

inline std::string pcm8(const std::vector<uint8_t>& samples) {
    return std::string(samples.begin(), samples.end());
}

inline std::string wav(uint16_t channels, uint32_t rate, uint16_t bits, const std::string& data) {
    return riff(chunk("fmt ", fmtBody(channels, rate, bits)) + chunk("data", data));
}

}  // namespace wavtest
