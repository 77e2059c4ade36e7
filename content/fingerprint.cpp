#include "content/fingerprint.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "content/loading_frame.h"

namespace fs = std::filesystem;

namespace content {

namespace {

const std::array<const char*, 11> fingerprintedExtensions = {
    ".json", ".bbmodel", ".png", ".wav", ".ogg", ".vxm", ".jpg", ".jpeg", ".bmp", ".tga", ".flac"};

bool isFingerprinted(const std::string& fileName) {
    std::string extension = fs::path(fileName).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(fingerprintedExtensions.begin(), fingerprintedExtensions.end(), extension) !=
           fingerprintedExtensions.end();
}

void fold(uint64_t& hash, unsigned char byte) {
    hash = (hash ^ byte) * fnvPrime;
}

void foldName(uint64_t& hash, const fs::path& file, const fs::path& contentDir) {
    std::string name = file.lexically_relative(contentDir).string();
    std::replace(name.begin(), name.end(), '\\', '/');
    for (const char c : name) fold(hash, static_cast<unsigned char>(c));
    fold(hash, 0);
}

void foldBytes(uint64_t& hash, const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> block(16384);
    while (in.good()) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const std::streamsize count = in.gcount();
        for (std::streamsize i = 0; i < count; ++i) fold(hash, static_cast<unsigned char>(block[i]));
    }
    fold(hash, 0);
}

}  // namespace

uint64_t fingerprint(const fs::path& contentDir) {
    uint64_t hash = fnvOffsetBasis;
    for (const fs::path& file : findContentFiles(contentDir, isFingerprinted)) {
        foldName(hash, file, contentDir);
        foldBytes(hash, file);
    }
    return hash;
}

}  // namespace content
