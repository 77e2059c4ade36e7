#include "models/blockbench_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/failure.h"

namespace {

using content::parseJsonText;
using testsupport::failureOf;

voxel::BlockDef twoTextureItem() {
    voxel::BlockDef def;
    def.isBlock = false;
    def.textures = {"a.png", "b.png"};
    return def;
}

voxel::BlockDef load(const std::string& document, voxel::BlockDef def = twoTextureItem(),
                     const content::PartCallback& partOf = {}) {
    content::loadBlockbenchModel(def, parseJsonText(document), partOf);
    return def;
}

std::string loadFailure(const std::string& document, voxel::BlockDef def = twoTextureItem()) {
    return failureOf([&] { content::loadBlockbenchModel(def, parseJsonText(document)); });
}

// One cube element with the given members and only an "up" face.
std::string cubeWithUp(const std::string& members, const std::string& upFace) {
    return R"({"elements": [{)" + members + R"("faces": {"up": {)" + upFace + "}}}]}";
}
const std::string kUp = R"("texture": 0, "uv": [0, 0, 16, 16])";

// A mesh fan over `count` keys, all naming the one vertex "a".
std::string meshFan(std::size_t count) {
    std::string keys;
    for (std::size_t i = 0; i < count; ++i) keys += std::string(i == 0 ? "" : ",") + "\"a\"";
    return R"({"elements": [{"type": "mesh", "vertices": {"a": [0, 0, 0]}, "faces": {"f": {"texture": 0,
              "uv": {"a": [0, 0]}, "vertices": [)" +
           keys + "]}}}]}";
}

struct Expected {
    float x, y, z, u, v;
};

void expectVertices(const voxel::BlockDef& def, const std::vector<Expected>& expected, float shade) {
    ASSERT_EQ(def.modelVertices.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const ModelVertex& got = def.modelVertices[i];
        EXPECT_NEAR(got.x, expected[i].x, 1e-5);
        EXPECT_NEAR(got.y, expected[i].y, 1e-5);
        EXPECT_NEAR(got.z, expected[i].z, 1e-5);
        EXPECT_FLOAT_EQ(got.u, expected[i].u);
        EXPECT_FLOAT_EQ(got.v, expected[i].v);
        EXPECT_FLOAT_EQ(got.shade, shade);
    }
}

TEST(BlockbenchModel, RotatedCubeFaceTurnsAboutItsOriginWithAQuarterTurnOfUv) {
    // Corners (4,8,4) (4,8,12) (12,8,12) (12,8,4) turned 90 degrees about Y around (8,0,8); the uv
    // rectangle is 8 x 8 of a 32 x 16 texture, shifted one corner by the face rotation.
    const voxel::BlockDef def = load(
        R"({"resolution": {"width": 32, "height": 16}, "elements": [{"from": [4, 0, 4], "to": [12, 8, 12],
               "origin": [8, 0, 8], "rotation": [0, 90, 0],
               "faces": {"up": {"texture": "#1", "uv": [0, 0, 8, 8], "rotation": 90}}}]})");
    const Expected c0{0.25f, 0.5f, 0.75f, 0.0f, 0.5f}, c1{0.75f, 0.5f, 0.75f, 0.25f, 0.5f},
        c2{0.75f, 0.5f, 0.25f, 0.25f, 0.0f}, c3{0.25f, 0.5f, 0.25f, 0.0f, 0.0f};
    expectVertices(def, {c0, c1, c2, c0, c2, c3}, 1.0f);
    EXPECT_EQ(def.modelVertices[0].texture, 1);
    EXPECT_EQ(def.modelVertices[0].part, 0u);
}

TEST(BlockbenchModel, MeshFaceIsAFanRelativeToTheRotatedElementOrigin) {
    const voxel::BlockDef def =
        load(R"({"elements": [{"type": "mesh", "origin": [8, 0, 8], "rotation": [90, 0, 0],
        "vertices": {"a": [0, 0, 0], "b": [8, 0, 0], "c": [8, 8, 0], "d": [0, 8, 0]},
        "faces": {"f": {"texture": 0, "vertices": ["a", "b", "c", "d"],
                        "uv": {"a": [0, 0], "b": [16, 0], "c": [16, 16], "d": [0, 16]}}}}]})");
    const Expected a{0.5f, 0.0f, 0.5f, 0.0f, 0.0f}, b{1.0f, 0.0f, 0.5f, 1.0f, 0.0f},
        c{1.0f, 0.0f, 1.0f, 1.0f, 1.0f}, d{0.5f, 0.0f, 1.0f, 0.0f, 1.0f};
    expectVertices(def, {a, b, c, a, c, d}, 0.9f);
}

TEST(BlockbenchModel, NestedGroupsTurnInnermostFirstAndTheNodeOverridesItsGroupsEntry) {
    // Inner group: origin (4,4,0) from "groups", rotation Z 90 from the node (over the entry's 45).
    // Outer group: Y 90 about (8,0,8).
    const voxel::BlockDef def = load(R"({
        "groups": [{"uuid": "g2", "origin": [4, 4, 0], "rotation": [0, 0, 45]}],
        "outliner": [{"uuid": "g1", "origin": [8, 0, 8], "rotation": [0, 90, 0],
                      "children": [{"uuid": "g2", "rotation": [0, 0, 90], "children": ["e1"]}]}],
        "elements": [{"uuid": "e1", "from": [4, 0, 0], "to": [8, 4, 4],
                      "faces": {"up": {"texture": 0, "uv": [0, 0, 16, 16]}}}]})");
    const Expected c0{0.0f, 0.25f, 0.75f, 0.0f, 0.0f}, c1{0.25f, 0.25f, 0.75f, 0.0f, 1.0f},
        c2{0.25f, 0.5f, 0.75f, 1.0f, 1.0f}, c3{0.0f, 0.5f, 0.75f, 1.0f, 0.0f};
    expectVertices(def, {c0, c1, c2, c0, c2, c3}, 1.0f);
}

TEST(BlockbenchModel, FaceRotationsGiveQuarterTurnsEvenBeyondTheIntegerRange) {
    const struct {
        const char* rotation;
        float firstU, firstV;  // uv of corner 0 of the up face
    } cases[] = {{"0", 0.0f, 0.0f},
                 {"45", 0.0f, 0.0f},
                 {"90", 0.0f, 1.0f},
                 {"-90", 1.0f, 0.0f},
                 {"270", 1.0f, 0.0f},
                 {"180", 1.0f, 1.0f},
                 {"193273528410", 0.0f, 1.0f},  // 90 x (2^31 + 1)
                 {"-193273528410", 1.0f, 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rotation);
        const voxel::BlockDef def = load(cubeWithUp("", kUp + R"(, "rotation": )" + c.rotation));
        EXPECT_FLOAT_EQ(def.modelVertices[0].u, c.firstU);
        EXPECT_FLOAT_EQ(def.modelVertices[0].v, c.firstV);
    }
}

TEST(BlockbenchModel, HiddenElementsAndNegativeOrNullTexturesDrawNothing) {
    const struct {
        const char* members;
        const char* texture;
        std::size_t vertices;
    } cases[] = {{R"("export": false,)", "0", 0},
                 {R"("visibility": false,)", "0", 0},
                 {R"("visibility": 0,)", "0", 6},
                 {"", "null", 0},
                 {"", "-1", 0},
                 {"", "-0.5", 0},
                 {"", "\"#-1\"", 0},
                 {"", "\"\"", 0},
                 {"", "1.9", 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.members) + c.texture);
        voxel::BlockDef def = twoTextureItem();
        const std::string message = failureOf([&] {
            content::loadBlockbenchModel(
                def, parseJsonText(cubeWithUp(
                         c.members, std::string(R"("uv": [0, 0, 16, 16], "texture": )") + c.texture)));
        });
        EXPECT_EQ(def.modelVertices.size(), c.vertices);
        EXPECT_EQ(message, c.vertices == 0 ? "Model has no textured faces" : "(no failure)");
    }
}

TEST(BlockbenchModel, EveryFaultHasItsMessage) {
    const std::string absent = "Model references a texture absent from definition.json";
    const struct {
        std::string document;
        std::string message;
    } cases[] = {
        {"{}", "Blockbench elements are missing"},
        {R"({"elements": {}})", "Blockbench elements are missing"},
        {cubeWithUp("", R"("texture": 0)"), "Cube face UV rectangle is missing"},
        {cubeWithUp("", R"("texture": 0, "uv": [0, 0, 16])"), "Cube face UV rectangle is missing"},
        {R"({"elements": [{"type": "mesh", "vertices": {"a": [0, 0, 0]}, "faces": {"f": {"texture": 0,
            "vertices": ["a", "a", "b"], "uv": {"a": [0, 0], "b": [0, 0]}}}}]})",
         "Mesh vertex or UV is missing"},
        {R"({"elements": [{"type": "mesh", "vertices": {"a": [0, 0, 0]}, "faces": {"f": {"texture": 0,
            "vertices": ["a", "a", "a"], "uv": {"a": [0, 0, 0]}}}}]})",
         "Mesh vertex or UV is missing"},
        {R"({"elements": [{"type": "locator"}]})", "Unsupported Blockbench element type: locator"},
        {cubeWithUp("", R"("texture": "nope", "uv": [0, 0, 16, 16])"), "Unknown model texture reference"},
        {cubeWithUp("", R"("texture": "#x", "uv": [0, 0, 16, 16])"), "invalid stoi argument"},
        {R"({"resolution": {"width": 0}, )" + cubeWithUp("", kUp).substr(1), "Invalid texture resolution"},
        {R"({"resolution": {"height": 1e-50}, )" + cubeWithUp("", kUp).substr(1),
         "Invalid texture resolution"},
        {R"({"textures": [{"uuid": "t", "width": -16}], )" + cubeWithUp("", kUp).substr(1),
         "Invalid texture resolution"},
        {cubeWithUp(R"("from": [0, 0],)", kUp), "Expected three coordinates"},
        {cubeWithUp("", R"("texture": 2, "uv": [0, 0, 16, 16])"), absent},
        {cubeWithUp("", R"("texture": 2147483647, "uv": [0, 0, 16, 16])"), absent},
        {cubeWithUp("", R"("texture": 2147483648, "uv": [0, 0, 16, 16])"), absent},
        {cubeWithUp(R"("to": [256.1, 16, 16],)", kUp), "Model coordinates exceed supported bounds"},
        {cubeWithUp(R"("from": [-256.1, 0, 0],)", kUp), "Model coordinates exceed supported bounds"},
        {cubeWithUp(R"("to": [1e300, 16, 16],)", kUp), "Model coordinates exceed supported bounds"},
        {meshFan(100003), "Model exceeds 100000 triangles"},
        {cubeWithUp("", R"("texture": null)"), "Model has no textured faces"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document.substr(0, 200));
        EXPECT_EQ(loadFailure(c.document), c.message);
    }
}

TEST(BlockbenchModel, LimitsPassAtTheirEdges) {
    const ModelVertex far = load(cubeWithUp("", kUp)).modelVertices[2];  // a cube without "to": one block
    EXPECT_EQ((std::array<float, 3>{far.x, far.y, far.z}), (std::array<float, 3>{1, 1, 1}));
    EXPECT_EQ(load(cubeWithUp(R"("from": [-256, 0, 0], "to": [256, 16, 16],)", kUp)).modelVertices.size(),
              6u);
    EXPECT_EQ(load(cubeWithUp("", R"("texture": 1, "uv": [0, 0, 16, 16])")).modelVertices.size(), 6u);
    EXPECT_EQ(load(meshFan(100002)).modelVertices.size(), 300000u);
    EXPECT_EQ(loadFailure(meshFan(3)), "(no failure)");
    EXPECT_EQ(loadFailure(meshFan(2)), "Model has no textured faces");
}

// A chain of groups `depth` deep, each reached through a "groups" reference.
std::string outlinerChain(int depth) {
    std::string groups;
    for (int i = 1; i <= depth; ++i) {
        const std::string child = i == depth ? "\"e\"" : R"({"uuid": "g)" + std::to_string(i + 1) + "\"}";
        groups += std::string(i == 1 ? "" : ",") + R"({"uuid": "g)" + std::to_string(i) +
                  R"(", "children": [)" + child + "]}";
    }
    return R"({"groups": [)" + groups + R"(], "outliner": [{"uuid": "g1"}],
              "elements": [{"uuid": "e", "faces": {"up": {"texture": 0, "uv": [0, 0, 16, 16]}}}]})";
}

std::string outlinerOfStrings(std::size_t count) {
    std::string nodes;
    for (std::size_t i = 0; i < count; ++i) nodes += i == 0 ? "\"e\"" : ",\"e\"";
    return R"({"outliner": [)" + nodes +
           R"(], "elements": [{"faces": {"up": {"texture": 0, "uv": [0, 0, 16, 16]}}}]})";
}

TEST(BlockbenchModel, OutlinerDepthAndNodeCountAreCappedAtTheirEdges) {
    const std::string tooDeep = "Blockbench outliner is too deep";
    EXPECT_EQ(loadFailure(outlinerChain(256)), "(no failure)");
    EXPECT_EQ(loadFailure(outlinerChain(257)), tooDeep);
    EXPECT_EQ(loadFailure(outlinerOfStrings(65536)), "(no failure)");
    EXPECT_EQ(loadFailure(outlinerOfStrings(65537)), tooDeep);
    EXPECT_EQ(
        loadFailure(R"({"groups": [{"uuid": "g", "children": [{"uuid": "g"}]}], "outliner": [{"uuid": "g"}],
                              "elements": []})"),
        tooDeep);
}

TEST(BlockbenchModel, PartsComeFromTheCallbackOrAChestsNamedLidAndLatch) {
    const auto named = [](const std::string& name) {
        return cubeWithUp(name.empty() ? "" : R"("name": ")" + name + "\",", kUp);
    };
    const struct {
        std::string lid, latch, element;
        uint32_t part;
    } cases[] = {{"lid", "latch", "lid", 1}, {"lid", "latch", "latch", 1}, {"lid", "latch", "body", 0},
                 {"", "latch", "", 0},       {"lid", "", "", 0},           {"", "", "", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lid + "/" + c.latch + "/" + c.element);
        voxel::BlockDef chest = twoTextureItem();
        chest.behavior = "chest";
        chest.lid_part = c.lid;
        chest.latch_part = c.latch;
        const voxel::BlockDef def = load(named(c.element), chest);
        EXPECT_EQ(def.modelVertices[0].part, c.part);
        EXPECT_EQ(def.movingParts, c.part != 0);
    }
    const voxel::BlockDef rigged =
        load(named("lid"), twoTextureItem(), [](const content::Json&) { return 7u; });
    EXPECT_EQ(rigged.modelVertices[5].part, 7u);
    EXPECT_TRUE(rigged.movingParts);
}

}  // namespace
