#include "save/generation_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "content/json.h"
#include "support/failure.h"
#include "support/fresh_registry.h"
#include "support/largest_files.h"

namespace {

using testsupport::failureOf;

voxel::ProfilePtr profileOf(const std::string& generation) {
    return content::readTerrain(content::parseJsonText(generation));
}

std::string hut(const std::string& more) {
    return R"({"id": "test:hut", "name": "Hut", "spacing": 64, "chance": 0.5,
        "parts": [{"from": [0, 0, 0], "to": [1, 1, 1], "block": "core:dirt"}])" +
           more + "}";
}

// The content as it is when the world is opened again: its overworld and one of its dimensions
// have changed since the file was written.
struct ContentNow {
    voxel::ProfilePtr overworld = profileOf(R"({"terrain": "normal"})");
    std::map<std::string, content::DimensionDef> dimensions;
    ContentNow() {
        const std::string hermit = hut(R"(, "spawns": ["test:hermit"])");
        dimensions["test:sky"].profile =
            profileOf(R"({"terrain": "normal", "structures": [)" + hermit + "]}");
        dimensions["test:new"].profile = profileOf(R"({"terrain": "frozen"})");
    }
};

std::string dimensionsMember(int count) {
    std::string members;
    for (int i = 0; i < count; ++i)
        members += std::string(i ? ", " : "") + "\"test:d" + std::to_string(i) + "\": {}";
    return R"({"dimensions": {)" + members + "}}";
}

TEST(GenerationFile, EachDimensionReadsItsOwnStoredObject) {
    const ContentNow now;
    const struct {
        const char* name;
        std::string text;
        std::string overworld;                      // its terrain
        std::map<std::string, std::string> stored;  // dimension id: terrain
        const char* failure;
    } cases[] = {
        {"a file of today: the overworld alone", R"({"terrain": "frozen"})", "frozen", {}, ""},
        {"every dimension, one the content no longer has",
         R"({"terrain": "ashen", "dimensions": {"test:sky": {"terrain": "sky", "structures": [)" + hut("") +
             R"(]}, "test:gone": {"terrain": "ashen"}}})",
         "ashen",
         {{"test:sky", "sky"}, {"test:gone", "ashen"}},
         ""},
        {"eight dimensions", dimensionsMember(8), "normal", {}, ""},
        {"nine dimensions", dimensionsMember(9), "", {}, "Invalid stored dimensions"},
        {"dimensions not an object", R"({"dimensions": []})", "", {}, "Invalid stored dimensions"},
        {"a dimension not an object",
         R"({"dimensions": {"test:sky": "sky"}})",
         "",
         {},
         "Invalid stored dimensions"},
        {"a dimension's faulty object",
         R"({"dimensions": {"test:sky": {"terrain": "moon"}}})",
         "",
         {},
         "Unknown dimension terrain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        filesave::StoredProfiles profiles;
        const std::string failure = failureOf<std::exception>(
            [&] { profiles = filesave::decodeGenerationFile(c.text, *now.overworld, now.dimensions); });
        EXPECT_EQ(failure, *c.failure ? c.failure : "(no failure)");
        if (*c.failure) continue;
        EXPECT_EQ(profiles.overworld->terrain, c.overworld);
        if (c.stored.empty()) continue;
        std::map<std::string, std::string> stored;
        for (const auto& [id, profile] : profiles.dimensions) stored[id] = profile->terrain;
        EXPECT_EQ(stored, c.stored);
        // The stored hut takes the residents the content gives it now, as the overworld's would.
        ASSERT_EQ(profiles.dimensions.at("test:sky")->structures.size(), 1u);
        EXPECT_EQ(profiles.dimensions.at("test:sky")->structures[0].spawns.size(), 1u);
    }
}

TEST(GenerationFile, WhatIsWrittenReadsBackAndAWorldAdoptsOnlyWhatItLacks) {
    const ContentNow now;
    std::map<std::string, voxel::ProfilePtr> kept = {{"test:sky", profileOf(R"({"terrain": "sky"})")}};
    filesave::adoptContentProfiles(kept, now.dimensions);
    EXPECT_EQ(kept.at("test:sky")->terrain, "sky") << "the world's own profile stays";
    EXPECT_EQ(kept.at("test:new"), now.dimensions.at("test:new").profile);

    const voxel::GenerationProfile codeBuilt;
    EXPECT_EQ(filesave::encodeGenerationFile(codeBuilt, {}), "{}");
    const filesave::StoredProfiles again = filesave::decodeGenerationFile(
        filesave::encodeGenerationFile(*profileOf(R"({"terrain": "ashen"})"), kept), *now.overworld, {});
    EXPECT_EQ(again.overworld->terrain, "ashen");
    ASSERT_EQ(again.dimensions.size(), 2u);
    EXPECT_EQ(again.dimensions.at("test:sky")->terrain, "sky");
    EXPECT_EQ(again.dimensions.at("test:new")->terrain, "frozen");
    EXPECT_EQ(again.overworld->generationText.find("dimensions"), std::string::npos)
        << "the overworld's own object holds no other dimension";

    std::map<std::string, voxel::ProfilePtr> full;
    for (int i = 0; i < 8; ++i) full["test:d" + std::to_string(i)] = now.overworld;
    filesave::adoptContentProfiles(full, now.dimensions);
    EXPECT_EQ(full.size(), 8u) << "no world stores more dimensions than the content may define";
}

// A world whose overworld and eight dimensions each hold the largest generation object still opens.
class LargestGenerationFile : public testsupport::FreshRegistryTest {};

TEST_F(LargestGenerationFile, OpensWithinItsLimits) {
    voxel::BlockDef block = testsupport::namedBlock(largest::sharedText(79));
    block.solid = true;
    voxel::registerBlock(13, block);
    const content::Json dimension =
        content::parseJsonText(largest::largestJson(content::ContentFile::Dimension).bytes);
    const voxel::ProfilePtr profile = content::readTerrain(content::Json::find(dimension, "generation"));
    std::map<std::string, voxel::ProfilePtr> dimensions;
    for (int i = 0; i < 8; ++i) dimensions["test:d" + std::to_string(i)] = profile;
    const std::string written = filesave::encodeGenerationFile(*profile, dimensions);
    EXPECT_LE(written.size(), filesave::maxGenerationFileBytes());
    const filesave::StoredProfiles read = filesave::decodeGenerationFile(written, *profile, {});
    EXPECT_EQ(read.overworld->structures.size(), 64u);
    EXPECT_EQ(read.dimensions.size(), 8u);
}

}  // namespace
