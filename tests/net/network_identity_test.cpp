// The player's network identity: made once per game folder, read back the same, and made again
// only when its file is missing or damaged.
#include "net/network_identity.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const std::string kDigits = "0123456789abcdef0123456789abcdef";

TEST(NetworkIdentity, TheFileHoldsItsTagAndExactly32HexDigits) {
    const std::string tag = std::string(net::kIdentityTag) + "\n";
    struct Row {
        const char* name;
        std::string bytes;
        bool read;
    };
    const Row rows[] = {
        {"as written", net::identityFile(kDigits), true},
        {"31 digits", tag + kDigits.substr(1) + "\n", false},
        {"33 digits", tag + kDigits + "0\n", false},
        {"upper case", tag + "0123456789ABCDEF0123456789abcdef\n", false},
        {"no line end", tag + kDigits, false},
        {"another tag", "NETID117\n" + kDigits + "\n", false},
        {"empty", "", false},
    };
    for (const Row& row : rows) {
        const std::optional<std::string> identity = net::parseIdentityFile(row.bytes);
        EXPECT_EQ(identity.has_value(), row.read) << row.name;
        if (row.read) {
            EXPECT_EQ(*identity, kDigits);
        }
    }
    EXPECT_EQ(net::identityText({0x00, 0x01, 0xAB, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}),
              "0001abff000000000000000000000010");
}

TEST(NetworkIdentity, MadeOnceThenReadBackAndRemadeWhenDamaged) {
    const testsupport::TempDir dir;
    const fs::path saves = dir.path() / "Saves";
    const std::string first = net::loadNetworkIdentity(saves);
    ASSERT_TRUE(net::parseIdentityFile(net::identityFile(first)).has_value()) << first;
    EXPECT_EQ(testsupport::readFile(saves / "network_identity118.txt"), net::identityFile(first));
    EXPECT_EQ(net::loadNetworkIdentity(saves), first) << "the same player in every session";
    EXPECT_FALSE(fs::exists(saves / "network_identity118.txt.tmp"));

    testsupport::writeFile(saves / "network_identity118.txt", "garbage");
    const std::string remade = net::loadNetworkIdentity(saves);
    EXPECT_NE(remade, first);
    EXPECT_EQ(net::loadNetworkIdentity(saves), remade);
    EXPECT_NE(net::loadNetworkIdentity(dir.path() / "other"), remade) << "another game folder, another player";
}

}  // namespace
