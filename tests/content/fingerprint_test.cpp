#include "content/fingerprint.h"

#include <gtest/gtest.h>

#include <string>

#include "content/asset_path.h"
#include "support/failure.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

uint64_t fnv(const std::string& bytes) {
    uint64_t h = content::fnvOffsetBasis;
    for (const unsigned char b : bytes) h = (h ^ b) * content::fnvPrime;
    return h;
}

std::string failure(const fs::path& base, const std::string& text) {
    return testsupport::failureOf([&] { content::resolveAsset(base, text); });
}

TEST(Fingerprint, EmptyOrMissingTreeIsTheOffsetBasis) {
    testsupport::TempDir dir;
    EXPECT_EQ(content::fingerprint(dir.path()), 0xCBF29CE484222325ull);
    EXPECT_EQ(content::fingerprint(dir.path() / "missing"), 0xCBF29CE484222325ull);
}

TEST(Fingerprint, FoldsRelativeNamesAndBytesInSortedOrder) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "b.json", "{}");
    testsupport::writeFile(dir.path() / "a" / "t.PNG", "xy");
    const std::string expected = std::string("a/t.PNG") + '\0' + "xy" + '\0' + "b.json" + '\0' + "{}" + '\0';
    EXPECT_EQ(content::fingerprint(dir.path()), fnv(expected));

    // Error files and other text files do not count; directories named like assets neither.
    testsupport::writeFile(dir.path() / "content_errors.txt", "boom\n");
    testsupport::writeFile(dir.path() / "notes.md", "x");
    fs::create_directories(dir.path() / "folder.json");
    EXPECT_EQ(content::fingerprint(dir.path()), fnv(expected));
}

TEST(Fingerprint, NamesCaseAndContentsChangeIt) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "s.WAV", "RIFF");
    const uint64_t upper = content::fingerprint(dir.path());
    EXPECT_NE(upper, content::fnvOffsetBasis);
    fs::rename(dir.path() / "s.WAV", dir.path() / "s.wav");
    const uint64_t lower = content::fingerprint(dir.path());
    EXPECT_NE(lower, upper);
    testsupport::writeFile(dir.path() / "s.wav", "RIFX");
    EXPECT_NE(content::fingerprint(dir.path()), lower);
    // A large file is read in blocks without losing a byte.
    const std::string big(40000, 'q');
    testsupport::writeFile(dir.path() / "s.wav", big);
    EXPECT_EQ(content::fingerprint(dir.path()), fnv(std::string("s.wav") + '\0' + big + '\0'));
}

TEST(AssetPath, ResolvesRelativeFilesOnly) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "models" / "box.bbmodel", "{}");
    EXPECT_EQ(content::resolveAsset(dir.path(), "models/box.bbmodel"), dir.path() / "models/box.bbmodel");
    EXPECT_EQ(content::resolveAsset(dir.path(), "models\\box.bbmodel"), dir.path() / "models/box.bbmodel");
    EXPECT_EQ(failure(dir.path(), ""), "Empty asset path");
    for (const char* path : {"/etc/passwd", "\\models\\box.bbmodel", "C:\\models\\box.bbmodel", "c:box.png"})
        EXPECT_EQ(failure(dir.path(), path), "Asset paths must be relative") << path;
    EXPECT_EQ(failure(dir.path(), "models/../models/box.bbmodel"), "Asset path cannot contain '..'");
    EXPECT_EQ(failure(dir.path(), "..\\box.bbmodel"), "Asset path cannot contain '..'");
    for (const char* path : {"models", "models/none.png", "models/box.bbmodel/x.png"})
        EXPECT_EQ(failure(dir.path(), path), "Missing asset: " + (dir.path() / path).string()) << path;
}

}  // namespace
