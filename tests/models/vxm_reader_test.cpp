#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "models/vxm.h"
#include "support/temp_dir.h"

namespace {

using testing::FloatEq;
using testing::Pointwise;

struct LoadResult {
    std::vector<VxmVertex> mesh;
    std::string errors;
    std::string output;
};

LoadResult loadCapturing(const std::filesystem::path& path) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    LoadResult result;
    result.mesh = content::loadVxmMesh(path);
    result.output = testing::internal::GetCapturedStdout();
    result.errors = testing::internal::GetCapturedStderr();
    return result;
}

LoadResult loadText(const std::string& text) {
    testsupport::TempDir dir;
    const std::filesystem::path path = dir.path() / "body.vxm";
    testsupport::writeFile(path, text);
    return loadCapturing(path);
}

// Three vertices whose numbers all differ, so that a misplaced field shows.
const std::string kTriangle =
    "0.5 1.25 -2 0.125 0.75 4 7 8 9 0.1 0.2 0.3 2\n"
    "1 0 0 0 0 0 0 0 0 0 0 0 0\n"
    "0 1 0 1 1 5 0 0 0 0 0 0 4\n";

const std::string kInvalid = "Blockbench: ignored invalid VXM 3 vertex\n";

std::string loaded(int triangles, int vertices) {
    return "Blockbench: loaded VXM 3 mesh: " + std::to_string(triangles) + " triangles / " +
           std::to_string(vertices) + " vertices\n";
}

TEST(VxmReader, ReadsTheThirteenFieldsInOrder) {
    const LoadResult result = loadText("VXM 3\n" + kTriangle);
    ASSERT_EQ(result.mesh.size(), 3u);
    const VxmVertex& v = result.mesh[0];
    EXPECT_THAT((std::array{v.x, v.y, v.z, v.u, v.v, v.pivotX, v.pivotY, v.pivotZ, v.rotationX, v.rotationY,
                            v.rotationZ}),
                Pointwise(FloatEq(),
                          std::array{0.5f, 1.25f, -2.0f, 0.125f, 0.75f, 7.0f, 8.0f, 9.0f, 0.1f, 0.2f, 0.3f}));
    EXPECT_EQ((std::array{v.face, v.part, result.mesh[2].face, result.mesh[2].part}), (std::array{4u, 2u, 5u, 4u}));
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output, loaded(1, 3));
}

TEST(VxmReader, RefusesAnyOtherFirstLine) {
    for (const std::string header : {"VXM 3 ", "VXM 2", "vxm 3", "", " VXM 3"}) {
        const LoadResult result = loadText(header + "\n" + kTriangle);
        EXPECT_TRUE(result.mesh.empty()) << '"' << header << '"';
        EXPECT_EQ(result.errors, "Blockbench: VXM 3 required\n") << '"' << header << '"';
        EXPECT_EQ(result.output, "") << '"' << header << '"';
    }
}

TEST(VxmReader, SkipsCommentsAndJunkDropsAnIncompleteTriangleAndLoadsAnEmptyBody) {
    const std::string sevenVertices = "VXM 3\n" + [] {
        std::string vertices;
        for (int i = 0; i < 7; ++i) vertices += "0 0 0 0 0 0 0 0 0 0 0 0 0\n";
        return vertices;
    }();
    const struct {
        const char* name;
        std::string text;
        std::size_t vertices;
        std::string errors, output;
    } cases[] = {
        {"comments and empty lines", "VXM 3\n# body\n\n" + kTriangle + "#\n\n", 3, "", loaded(1, 3)},
        {"carriage returns, numbers after the thirteenth",
         "VXM 3\r\n# comment\r\n\r\n"
         "0 0 0 0 0 1 0 0 0 0 0 0 1 99 junk\r\n"
         "1\t0 0   0 0 1 0 0 0 0 0 0 1\r\n"
         "0 1 0 0 0 1 0 0 0 0 0 0 1\r\n",
         3, "", loaded(1, 3)},
        {"an incomplete triangle is dropped", sevenVertices, 6,
         "Blockbench: VXM 3 vertex count is not divisible by 3\n", loaded(2, 6)},
        {"an empty body is an empty mesh", "VXM 3\n", 0, "", loaded(0, 0)},
        {"a plus sign before a decimal or a whole number",
         "VXM 3\n"
         "+0 +1.5 +0 +0 +0 +0 +0 +0 +0 +0 +0 +0 +0\n"
         "+1 0 +2e-1 0 0 +5 0 0 0 0 0 0 +4\n"
         "0 +1 0 +.5 0 1 0 0 0 0 0 0 1\n",
         3, "", loaded(1, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadResult result = loadText(c.text);
        EXPECT_EQ(result.mesh.size(), c.vertices);
        EXPECT_EQ(result.errors, c.errors);
        EXPECT_EQ(result.output, c.output);
    }
}

TEST(VxmReader, DropsInvalidLinesWithOneMessageEach) {
    const std::vector<std::string> invalid = {
        "0 0 0 0 0 1 0 0 0 0 0 0",       // twelve numbers
        "0 0 0 0 0 6 0 0 0 0 0 0 1",     // face 6
        "0 0 0 0 0 1 0 0 0 0 0 0 5",     // part 5
        "0 0 0 0 0 -1 0 0 0 0 0 0 1",    // negative face
        "0 0 0 0 0 1 0 0 0 0 0 0 -1",    // negative part
        "0 0 0 0 0 2.5 0 0 0 0 0 0 1",   // face not a whole number
        "0 0 0 0 0 1 0 0 0 0 0 0 1.0",   // part not a whole number
        "0 0 zero 0 0 1 0 0 0 0 0 0 1",  // not a number
        "0 0 0 0 0 1 0 0 0 nan 0 0 1",   // not a finite number
        "0 0 0 1,5 0 1 0 0 0 0 0 0 1",   // decimal comma
        "0 0 0 0 0 1 0 0 0 0 0 0 +-1",   // two signs
        "0 0 ++0 0 0 1 0 0 0 0 0 0 1",   // two plus signs
        "0 0 0 0 0 1 0 + 0 0 0 0 1",     // a sign alone
        " # indented comment",
    };
    std::string text = "VXM 3\n" + kTriangle;
    for (const std::string& line : invalid) text += line + "\n";
    const LoadResult result = loadText(text);
    EXPECT_EQ(result.mesh.size(), 3u);
    std::string expected;
    for (std::size_t i = 0; i < invalid.size(); ++i) expected += kInvalid;
    EXPECT_EQ(result.errors, expected);
    EXPECT_EQ(result.output, loaded(1, 3));
}

TEST(VxmReader, MissingFileGivesAnEmptyMeshAndTheMessage) {
    testsupport::TempDir dir;
    const std::filesystem::path path = dir.path() / "Assets" / "player.vxm";
    const LoadResult result = loadCapturing(path);
    EXPECT_TRUE(result.mesh.empty());
    EXPECT_EQ(result.errors, "Blockbench: missing " + path.string() + "\n");
    EXPECT_EQ(result.output, "");
}

}  // namespace
