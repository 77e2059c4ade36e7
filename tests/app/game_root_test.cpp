#include <gtest/gtest.h>

#include <vector>

#include "app/game_root.h"
#include "support/failure.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

void makeModel(const fs::path& dir) { writeFile(dir / "Assets/Models/Player/player.vxm", "VXM 3\n"); }

void writeWords(const fs::path& path, const std::vector<uint32_t>& words) {
    writeFile(path, std::string(reinterpret_cast<const char*>(words.data()), words.size() * 4));
}

}  // namespace

TEST(GameRoot, FindsTheNearestAncestorWithModelAndShaders) {
    TempDir t;
    makeModel(t.path());
    fs::create_directories(t.path() / "buildBB/shaders");
    const fs::path three = t.path() / "a/b/c";
    fs::create_directories(three);
    EXPECT_EQ(content::gameRoot(three, "/fallback"), t.path());

    const fs::path six = t.path() / "a/b/c/d/e/f";
    fs::create_directories(six);
    EXPECT_EQ(content::gameRoot(six, "/fallback"), fs::path("/fallback")) << "six levels is one too many";
}

TEST(GameRoot, SkipsModelWithoutShadersAndFindsGameFolder) {
    TempDir t;
    makeModel(t.path());
    fs::create_directories(t.path() / "shaders");
    const fs::path inner = t.path() / "inner";
    makeModel(inner);  // no shader directory: not a root
    fs::create_directories(inner / "bin");
    EXPECT_EQ(content::gameRoot(inner / "bin", "/fallback"), t.path());

    TempDir release;
    makeModel(release.path() / "Game");
    fs::create_directories(release.path() / "Game/shaders");
    EXPECT_EQ(content::gameRoot(release.path(), "/fallback"), release.path() / "Game");
}

TEST(GameRoot, FallbackPrefersItsGameFolder) {
    TempDir empty, fallback;
    EXPECT_EQ(content::gameRoot(empty.path(), fallback.path()), fallback.path());
    makeModel(fallback.path() / "Game");
    EXPECT_EQ(content::gameRoot(empty.path(), fallback.path()), fallback.path() / "Game");
}

TEST(ShaderPath, SearchOrderAndOverride) {
    TempDir root, dev, over;
    writeFile(root.path() / "shaders/cross.frag.spv", "x");
    writeFile(root.path() / "buildBB/shaders/voxel.vert.spv", "x");
    // The root's own shader folder wins once it holds cross.frag.spv; missing files come from the
    // development folder, not from buildBB.
    EXPECT_EQ(content::shaderPath(root.path(), std::nullopt, dev.path(), "cross.frag.spv"),
              root.path() / "shaders/cross.frag.spv");
    EXPECT_EQ(content::shaderPath(root.path(), std::nullopt, dev.path(), "voxel.vert.spv"),
              dev.path() / "voxel.vert.spv");
    writeFile(over.path() / "sky.frag.spv", "x");
    EXPECT_EQ(content::shaderPath(root.path(), over.path().string(), dev.path(), "sky.frag.spv"),
              over.path() / "sky.frag.spv");
    EXPECT_EQ(content::shaderPath(root.path(), over.path().string(), dev.path(), "cross.frag.spv"),
              dev.path() / "cross.frag.spv");

    TempDir plain;
    writeFile(plain.path() / "buildBB/shaders/voxel.vert.spv", "x");
    EXPECT_EQ(content::shaderPath(plain.path(), std::nullopt, dev.path(), "voxel.vert.spv"),
              plain.path() / "buildBB/shaders/voxel.vert.spv");
}

TEST(ShaderFile, ChecksSizeAndMagicAndHoldsWords) {
    TempDir t;
    const auto message = [](const fs::path& p) {
        return testsupport::failureOf([&] { content::readShaderFile(p, "s.spv"); });
    };
    EXPECT_EQ(message(t.path() / "none.spv"), "Shader missing: s.spv");
    writeFile(t.path() / "empty.spv", "");
    writeFile(t.path() / "odd.spv", std::string("\x03\x02\x23\x07\x00", 5));
    writeWords(t.path() / "magic.spv", {0x12345678u, 1u});
    for (const char* invalid : {"empty.spv", "odd.spv", "magic.spv"})
        EXPECT_EQ(message(t.path() / invalid), "Invalid shader: s.spv") << invalid;
    writeWords(t.path() / "good.spv", {0x07230203u, 0x00010100u, 42u});
    EXPECT_EQ(content::readShaderFile(t.path() / "good.spv", "s.spv"),
              (std::vector<uint32_t>{0x07230203u, 0x00010100u, 42u}));
}
