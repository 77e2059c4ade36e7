#include "content/file_limits.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "content/combat_rules.h"
#include "content/living_world.h"
#include "content/loading_frame.h"
#include "content/rule_files.h"
#include "content/text.h"
#include "definition_fixture.h"
#include "support/failure.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using content::ContentFile;
using testsupport::failureOf;

std::string tooLarge(uint64_t size, uint64_t limit) {
    return "file too large (" + std::to_string(size) + " bytes, at most " + std::to_string(limit) + ")";
}

// A file of exactly `bytes` bytes; sparse, so the largest limits cost no disk.
fs::path sizedFile(const fs::path& file, uint64_t bytes) {
    testsupport::writeFile(file, "");
    fs::resize_file(file, bytes);
    return file;
}

TEST(FileSizeLimits, EveryKindIsReadAtItsLimitAndRefusedOneByteAbove) {
    testsupport::TempDir dir;
    for (const content::FileSizeLimit& limit : content::fileSizeLimits()) {
        const fs::path file = dir.path() / (std::string("x") + limit.name);
        EXPECT_EQ(content::fileSizeLimit(limit.kind), limit.bytes) << limit.name;
        sizedFile(file, limit.bytes);
        EXPECT_NO_THROW(content::requireFileSize(file, limit.bytes)) << limit.name;
        EXPECT_NO_THROW(content::requireFileSizeNamed(file, limit.bytes)) << limit.name;
        sizedFile(file, limit.bytes + 1);
        EXPECT_EQ(failureOf([&] { content::requireFileSize(file, limit.bytes); }),
                  tooLarge(limit.bytes + 1, limit.bytes))
            << limit.name;
        EXPECT_EQ(failureOf([&] { content::requireFileSizeNamed(file, limit.bytes); }),
                  file.string() + ": " + tooLarge(limit.bytes + 1, limit.bytes))
            << limit.name;
    }
}

TEST(FileSizeLimits, AFileWithoutASizeIsLeftToItsReader) {
    testsupport::TempDir dir;
    EXPECT_NO_THROW(content::requireFileSize(dir.path() / "absent.json", 1));
    EXPECT_NO_THROW(content::requireFileSize(dir.path(), 1));
}

TEST(FileSizeLimits, JsonIsParsedAtTheLimitAndRefusedUnreadAbove) {
    testsupport::TempDir dir;
    const uint64_t limit = content::fileSizeLimit(ContentFile::Mob);
    const fs::path file = dir.path() / "a.mob.json";
    testsupport::writeFile(file, "[1]" + std::string(limit - 3, ' '));
    EXPECT_EQ(content::loadJsonFile(file, ContentFile::Mob).items.size(), 1u);
    // One byte more, and not JSON at all: refused for its size before the parser sees it.
    sizedFile(file, limit + 1);
    EXPECT_EQ(failureOf([&] { content::loadJsonFile(file, ContentFile::Mob); }), tooLarge(limit + 1, limit));
}

// The shipped pack leaves ample room under every limit.
TEST(FileSizeLimits, ShippedFilesUseAtMostAQuarterOfTheirLimit) {
    const fs::path pack = fs::path(std::getenv("QUORVANE_SOURCE_DIR")) / "Content";
    std::size_t checked = 0;
    for (const content::FileSizeLimit& limit : content::fileSizeLimits()) {
        for (const fs::path& file : content::findFilesEndingWith(pack, limit.name)) {
            EXPECT_LE(fs::file_size(file) * 4, limit.bytes) << file;
            ++checked;
        }
    }
    EXPECT_GT(checked, 300u);
}

// A single rule file's error lines carry no path of their own, so its refusal names the file.
TEST(FileSizeLimits, ASingleRuleFileAboveItsLimitIsNamedInItsErrorFile) {
    testsupport::TempDir dir;
    const fs::path content = dir.path() / "Content";
    const struct {
        ContentFile kind;
        const char* errors;
        void (*load)(const fs::path&);
    } cases[] = {
        {ContentFile::CombatRules, "combat_errors.txt", [](const fs::path& c) { content::loadCombatRules(c); }},
        {ContentFile::RpgRules, "rpg_errors.txt", [](const fs::path& c) { content::loadRpgRules(c); }},
        {ContentFile::FurnaceRules, "furnace_errors.txt", [](const fs::path& c) { content::loadFurnaceRules(c); }},
        {ContentFile::FoodRules, "food_errors.txt", [](const fs::path& c) { content::loadFoodRules(c); }},
    };
    for (const auto& c : cases) {
        const content::FileSizeLimit& limit = content::fileSizeLimits()[static_cast<std::size_t>(c.kind)];
        const fs::path file = sizedFile(content / limit.name, limit.bytes + 1);
        c.load(content);
        EXPECT_EQ(testsupport::readFile(content / c.errors),
                  file.string() + ": " + tooLarge(limit.bytes + 1, limit.bytes) + "\n")
            << limit.name;
    }
    const uint64_t living = content::fileSizeLimit(ContentFile::LivingWorld);
    const fs::path file = sizedFile(content / "living_world.json", living + 1);
    EXPECT_EQ(failureOf([&] { content::loadLivingWorld(content); }),
              file.string() + ": " + tooLarge(living + 1, living));
}

// Each file a definition reads is refused with its own path when it is too large.
class DefinitionFileSizes : public deftest::DefinitionTest {};

TEST_F(DefinitionFileSizes, ADefinitionItsModelAndItsTexturesAreRefusedAboveTheirLimits) {
    const uint64_t model = content::fileSizeLimit(ContentFile::Model);
    const uint64_t texture = content::fileSizeLimit(ContentFile::Texture);
    const uint64_t definition = content::fileSizeLimit(ContentFile::Definition);
    define("a", R"("id": "t:a")");
    sizedFile(content() / "a" / "m.bbmodel", model + 1);
    define("b", R"("id": "t:b")");
    sizedFile(content() / "b" / "t.png", texture + 1);
    define("c", R"("id": "t:c")");
    sizedFile(content() / "c" / "definition.json", definition + 1);
    define("d", R"("id": "t:d")");
    load();
    const fs::path modelFile = content() / "a" / "m.bbmodel", textureFile = content() / "b" / "t.png";
    EXPECT_EQ(errorFile(), lineFor("a", modelFile.string() + ": " + tooLarge(model + 1, model)) +
                               lineFor("b", "Invalid texture " + textureFile.string() + ": " +
                                                tooLarge(texture + 1, texture)) +
                               lineFor("c", tooLarge(definition + 1, definition)));
    EXPECT_NE(voxel::findCustomBlock("t:d"), 0);
}

}  // namespace
