#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "models/vxm.h"
#include "support/temp_dir.h"

namespace {

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
    EXPECT_FLOAT_EQ(v.x, 0.5f);
    EXPECT_FLOAT_EQ(v.y, 1.25f);
    EXPECT_FLOAT_EQ(v.z, -2.0f);
    EXPECT_FLOAT_EQ(v.u, 0.125f);
    EXPECT_FLOAT_EQ(v.v, 0.75f);
    EXPECT_EQ(v.face, 4u);
    EXPECT_FLOAT_EQ(v.pivotX, 7.0f);
    EXPECT_FLOAT_EQ(v.pivotY, 8.0f);
    EXPECT_FLOAT_EQ(v.pivotZ, 9.0f);
    EXPECT_FLOAT_EQ(v.rotationX, 0.1f);
    EXPECT_FLOAT_EQ(v.rotationY, 0.2f);
    EXPECT_FLOAT_EQ(v.rotationZ, 0.3f);
    EXPECT_EQ(v.part, 2u);
    EXPECT_EQ(result.mesh[2].face, 5u);
    EXPECT_EQ(result.mesh[2].part, 4u);
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

TEST(VxmReader, SkipsCommentsAndEmptyLinesSilently) {
    const LoadResult result = loadText("VXM 3\n# body\n\n" + kTriangle + "#\n\n");
    EXPECT_EQ(result.mesh.size(), 3u);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output, loaded(1, 3));
}

TEST(VxmReader, ToleratesCarriageReturnsAndIgnoresNumbersAfterTheThirteenth) {
    const LoadResult result = loadText(
        "VXM 3\r\n# comment\r\n\r\n"
        "0 0 0 0 0 1 0 0 0 0 0 0 1 99 junk\r\n"
        "1\t0 0   0 0 1 0 0 0 0 0 0 1\r\n"
        "0 1 0 0 0 1 0 0 0 0 0 0 1\r\n");
    EXPECT_EQ(result.mesh.size(), 3u);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output, loaded(1, 3));
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

TEST(VxmReader, DropsTheVerticesOfAnIncompleteTriangle) {
    const std::string vertex = "0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    std::string text = "VXM 3\n";
    for (int i = 0; i < 7; ++i) text += vertex;
    const LoadResult result = loadText(text);
    EXPECT_EQ(result.mesh.size(), 6u);
    EXPECT_EQ(result.errors, "Blockbench: VXM 3 vertex count is not divisible by 3\n");
    EXPECT_EQ(result.output, loaded(2, 6));
}

TEST(VxmReader, EmptyBodyLoadsAsAnEmptyMesh) {
    const LoadResult result = loadText("VXM 3\n");
    EXPECT_TRUE(result.mesh.empty());
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output, loaded(0, 0));
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
