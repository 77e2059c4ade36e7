#include "content/file_limits.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "content/combat_rules.h"
#include "content/definition.h"
#include "content/dimensions.h"
#include "content/dungeons.h"
#include "content/living_world.h"
#include "content/loading_frame.h"
#include "content/rule_files.h"
#include "content/text.h"
#include "definition_fixture.h"
#include "support/failure.h"
#include "support/fresh_registry.h"
#include "support/largest_files.h"
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

struct Written {
    uint64_t size = 0;
    uint64_t values = 0;
};

using Reader = void (*)(const content::Json&);

// Parsed through its kind's limits, and read by its reader where one is given; not the model,
// whose parse alone would take 850 MB.
Written writeJson(const fs::path& file, ContentFile kind, Reader read) {
    const largest::File largest = largest::largestJson(kind);
    testsupport::writeFile(file, largest.bytes);
    if (kind != ContentFile::Model) {
        const content::Json json = content::loadJsonFile(file, kind);
        if (read) read(json);
    }
    return {largest.bytes.size(), largest.values};
}

Written writeTexture(const fs::path& file, ContentFile, Reader) {
    testsupport::writeFile(file, largest::largestTexture());
    content::checkTextureFile(file);
    return {fs::file_size(file), 0};
}

Written writeWave(const fs::path& file, ContentFile, Reader) {
    return {largest::writeLargestWave(file), 0};
}

void readDimension(const content::Json& json) {
    std::map<std::string, content::DimensionDef> dimensions;
    content::readDimension(json, dimensions);
}

// A quarter on top, rounded up to 4 KiB, or to 1 MiB above 1 MiB.
uint64_t derivedLimit(uint64_t largestSize) {
    const uint64_t step = largestSize + largestSize / 4 > (1u << 20) ? 1u << 20 : 4096;
    return (largestSize + largestSize / 4 + step - 1) / step * step;
}

// Each kind's largest file is accepted, and its limit is that file's size with the quarter and the
// rounding on top, or the game's earlier limit where that was larger, no more; one byte above the limit is refused unread. The generation pieces are
// read whole, to show that the largest file is one their readers take.
class LargestFiles : public testsupport::FreshRegistryTest {
   protected:
    void SetUp() override {
        FreshRegistryTest::SetUp();
        voxel::BlockDef block = testsupport::namedBlock(largest::sharedText(79));
        block.solid = true;
        voxel::registerBlock(13, block);
    }
};

TEST_F(LargestFiles, EveryKindsLargestFileIsAcceptedAndSetsItsLimit) {
    testsupport::TempDir dir;
    const auto biome = [](const content::Json& json) { voxel::loadBiomes(json); };
    const auto structure = [](const content::Json& json) { content::loadDungeons(json); };
    constexpr uint64_t KiB = 1024;
    const struct {
        ContentFile kind;
        Written (*write)(const fs::path&, ContentFile, Reader);
        Reader read;
        uint64_t earlier;
    } cases[] = {
        {ContentFile::Definition, writeJson, nullptr, 64 * KiB},
        {ContentFile::Recipe, writeJson, nullptr, 64 * KiB},
        {ContentFile::Potion, writeJson, nullptr, 64 * KiB},
        {ContentFile::Crop, writeJson, nullptr, 64 * KiB},
        {ContentFile::Loot, writeJson, nullptr, 256 * KiB},
        {ContentFile::Mob, writeJson, nullptr, 64 * KiB},
        {ContentFile::Dimension, writeJson, readDimension, 256 * KiB},
        {ContentFile::Biome, writeJson, biome, 64 * KiB},
        {ContentFile::Structure, writeJson, structure, 256 * KiB},
        {ContentFile::Quest, writeJson, nullptr, 256 * KiB},
        {ContentFile::Npc, writeJson, nullptr, 256 * KiB},
        {ContentFile::Sound, writeJson, nullptr, 16 * KiB},
        {ContentFile::CombatRules, writeJson, nullptr, 64 * KiB},
        {ContentFile::RpgRules, writeJson, nullptr, 64 * KiB},
        {ContentFile::FoodRules, writeJson, nullptr, 256 * KiB},
        {ContentFile::FurnaceRules, writeJson, nullptr, 256 * KiB},
        {ContentFile::LivingWorld, writeJson, nullptr, 1024 * KiB},
        {ContentFile::Model, writeJson, nullptr, 8192 * KiB},
        {ContentFile::Texture, writeTexture, nullptr, 8192 * KiB},
        {ContentFile::Wave, writeWave, nullptr, 32768 * KiB},
    };
    ASSERT_EQ(std::size(cases), content::contentFileKinds);
    for (const auto& c : cases) {
        const content::FileSizeLimit& limit = content::fileSizeLimits()[static_cast<std::size_t>(c.kind)];
        SCOPED_TRACE(limit.name);
        const fs::path file = dir.path() / (std::string("largest") + limit.name);
        Written written;
        ASSERT_NO_THROW(written = c.write(file, c.kind, c.read));
        EXPECT_EQ(limit.bytes, std::max(derivedLimit(written.size), c.earlier)) << written.size;
        EXPECT_LE(written.values, content::jsonValueLimit(c.kind));
        sizedFile(file, limit.bytes + 1);
        EXPECT_EQ(failureOf([&] { content::requireFileSize(file, limit.bytes); }),
                  tooLarge(limit.bytes + 1, limit.bytes));
        fs::remove(file);
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
    // Within the size, as many values as the kind allows, and one more: the array is a value too.
    const uint64_t values = content::jsonValueLimit(ContentFile::Mob);
    for (const uint64_t numbers : {values - 1, values}) {
        std::string dense = "[0";
        for (uint64_t i = 1; i < numbers; ++i) dense += ",0";
        testsupport::writeFile(file, dense + "]");
        EXPECT_EQ(failureOf([&] { content::loadJsonFile(file, ContentFile::Mob); }),
                  numbers < values ? "(no failure)"
                                   : "file too large (more than " + std::to_string(values) + " values)");
    }
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
