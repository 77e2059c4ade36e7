#include "net/network_identity.h"

#include <fstream>

#include "platform/environment.h"
#include "platform/file_read.h"
#include "platform/file_replace.h"

namespace fs = std::filesystem;

namespace net {

namespace {

constexpr std::size_t kIdentityDigits = 32;

bool hexDigits(const std::string& text) {
    return text.size() == kIdentityDigits &&
           text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

std::string identityText(const std::array<uint8_t, 16>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 15]);
    }
    return text;
}

std::optional<std::string> parseIdentityFile(const std::string& bytes) {
    const std::string head = std::string(kIdentityTag) + "\n";
    if (!bytes.starts_with(head) || bytes.size() != head.size() + kIdentityDigits + 1 || bytes.back() != '\n')
        return std::nullopt;
    std::string identity = bytes.substr(head.size(), kIdentityDigits);
    if (!hexDigits(identity)) return std::nullopt;
    return identity;
}

std::string identityFile(const std::string& identity) {
    return std::string(kIdentityTag) + "\n" + identity + "\n";
}

std::string loadNetworkIdentity(const fs::path& saves) {
    const fs::path file = saves / kIdentityFileName;
    if (const std::optional<std::string> bytes = platform::readFileBytes(file))
        if (std::optional<std::string> identity = parseIdentityFile(*bytes)) return *identity;
    const std::string identity = identityText(platform::randomGuidBytes());
    try {
        fs::create_directories(saves);
        const fs::path temporary = fs::path(file).concat(".tmp");
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << identityFile(identity);
            if (!out.flush()) return identity;
        }
        platform::replaceFile(temporary, file);
    } catch (const std::exception&) {
        // Playing goes on: the host sees this session's player under the new identity.
    }
    return identity;
}

}  // namespace net
