#include "models/vxm.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

namespace content {
namespace {

constexpr std::string_view kHeader = "VXM 3";
constexpr std::size_t kNumbersPerVertex = 13;

// Where each decimal number of a vertex line goes; slots 5 (face) and 12 (part) are integers.
constexpr std::size_t kFaceSlot = 5;
constexpr std::size_t kPartSlot = 12;
struct DecimalField {
    std::size_t slot;
    float VxmVertex::*field;
};
const std::array<DecimalField, 11> kDecimalFields = {{
    {0, &VxmVertex::x},
    {1, &VxmVertex::y},
    {2, &VxmVertex::z},
    {3, &VxmVertex::u},
    {4, &VxmVertex::v},
    {6, &VxmVertex::pivotX},
    {7, &VxmVertex::pivotY},
    {8, &VxmVertex::pivotZ},
    {9, &VxmVertex::rotationX},
    {10, &VxmVertex::rotationY},
    {11, &VxmVertex::rotationZ},
}};
constexpr uint32_t kMaxFace = 5;
constexpr uint32_t kMaxPart = 4;

// The heights at which the body is cut, in blocks from the feet, in cutting order.
constexpr std::array<float, 3> kBandCuts = {0.25f, 0.83f, 1.40f};
constexpr float kCutTolerance = 0.000001f;

// A carriage return counts as white space so that files saved with CRLF line ends still read.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view nextWord(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && isBlank(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !isBlank(rest[end])) ++end;
    const std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

// The whole word must be the number: "2.5" is no face and "-1" no unsigned value. A plus sign may
// lead, as it may in any decimal number ("+0", "+1.5"); from_chars alone refuses it.
template <typename T>
bool parseWord(std::string_view word, T& value) {
    if (word.size() > 1 && word[0] == '+' && word[1] != '+' && word[1] != '-') word.remove_prefix(1);
    if (word.empty()) return false;
    const char* end = word.data() + word.size();
    const auto [ptr, error] = std::from_chars(word.data(), end, value);
    return error == std::errc() && ptr == end;
}

bool parseDecimal(std::string_view word, float& value) {
    return parseWord(word, value) && std::isfinite(value);
}

bool parseVertex(std::string_view line, VxmVertex& vertex) {
    std::array<std::string_view, kNumbersPerVertex> words;
    for (std::string_view& word : words) word = nextWord(line);
    for (const DecimalField& decimal : kDecimalFields) {
        if (!parseDecimal(words[decimal.slot], vertex.*decimal.field)) return false;
    }
    return parseWord(words[kFaceSlot], vertex.face) && parseWord(words[kPartSlot], vertex.part) &&
           vertex.face <= kMaxFace && vertex.part <= kMaxPart;
}

void stripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

bool isSkipped(const std::string& line) {
    return line.empty() || line.front() == '#';
}

void readVertices(std::istream& in, std::vector<VxmVertex>& mesh) {
    std::string line;
    while (std::getline(in, line)) {
        stripLineEnd(line);
        if (isSkipped(line)) continue;
        VxmVertex vertex{};
        if (parseVertex(line, vertex)) {
            mesh.push_back(vertex);
        } else {
            std::cerr << "Blockbench: ignored invalid VXM 3 vertex\n";
        }
    }
}

void dropIncompleteTriangle(std::vector<VxmVertex>& mesh) {
    if (mesh.size() % 3 == 0) return;
    std::cerr << "Blockbench: VXM 3 vertex count is not divisible by 3\n";
    mesh.resize(mesh.size() - mesh.size() % 3);
}

// A polygon left of a triangle after clipping by one plane has at most four corners.
struct Polygon {
    std::array<VxmVertex, 4> corners;
    std::size_t count = 0;
    void add(const VxmVertex& vertex) { corners[count++] = vertex; }
};

bool crossesCut(const VxmVertex* triangle, float height) {
    bool below = false;
    bool above = false;
    for (int i = 0; i < 3; ++i) {
        below = below || triangle[i].y < height - kCutTolerance;
        above = above || triangle[i].y > height + kCutTolerance;
    }
    return below && above;
}

VxmVertex pointOnCut(const VxmVertex& start, const VxmVertex& end, float height) {
    const float t = (height - start.y) / (end.y - start.y);
    VxmVertex point = start;
    point.x = start.x + (end.x - start.x) * t;
    point.y = height;
    point.z = start.z + (end.z - start.z) * t;
    point.u = start.u + (end.u - start.u) * t;
    point.v = start.v + (end.v - start.v) * t;
    return point;
}

// Keeps the side y <= height when `below`, else the side y >= height.
Polygon clipTriangle(const VxmVertex* triangle, float height, bool below) {
    Polygon polygon;
    for (int i = 0; i < 3; ++i) {
        const VxmVertex& start = triangle[i];
        const VxmVertex& end = triangle[(i + 1) % 3];
        if (below ? start.y <= height : start.y >= height) polygon.add(start);
        const bool crosses = (start.y < height && end.y > height) || (start.y > height && end.y < height);
        if (crosses) polygon.add(pointOnCut(start, end, height));
    }
    return polygon;
}

void appendFan(const Polygon& polygon, std::vector<VxmVertex>& out) {
    for (std::size_t i = 1; i + 1 < polygon.count; ++i) {
        out.push_back(polygon.corners[0]);
        out.push_back(polygon.corners[i]);
        out.push_back(polygon.corners[i + 1]);
    }
}

// Trailing vertices that make no whole triangle are left out.
std::vector<VxmVertex> cutAt(const std::vector<VxmVertex>& mesh, float height) {
    std::vector<VxmVertex> out;
    out.reserve(mesh.size() + mesh.size() / 2);
    for (std::size_t i = 0; i + 2 < mesh.size(); i += 3) {
        const VxmVertex* triangle = &mesh[i];
        if (!crossesCut(triangle, height)) {
            out.insert(out.end(), triangle, triangle + 3);
            continue;
        }
        appendFan(clipTriangle(triangle, height, true), out);
        appendFan(clipTriangle(triangle, height, false), out);
    }
    return out;
}

}  // namespace

std::vector<VxmVertex> loadVxmMesh(const std::filesystem::path& path) {
    std::vector<VxmVertex> mesh;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "Blockbench: missing " << path.string() << '\n';
        return mesh;
    }
    std::string header;
    std::getline(in, header);
    stripLineEnd(header);
    if (header != kHeader) {
        std::cerr << "Blockbench: VXM 3 required\n";
        return mesh;
    }
    readVertices(in, mesh);
    dropIncompleteTriangle(mesh);
    std::cout << "Blockbench: loaded VXM 3 mesh: " << mesh.size() / 3 << " triangles / " << mesh.size()
              << " vertices\n";
    return mesh;
}

std::vector<VxmVertex> splitIntoBands(const std::vector<VxmVertex>& mesh) {
    std::vector<VxmVertex> result = mesh;
    for (const float height : kBandCuts) result = cutAt(result, height);
    return result;
}

}  // namespace content
