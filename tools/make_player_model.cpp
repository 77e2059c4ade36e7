// Writes the shipped player body: Assets/Models/Player/player.vxm (a blocky figure 1.8 blocks tall,
// feet at y 0, facing -z) and its 64 x 64 skin player.png, under the directory given as the only
// argument (the repository root; the current directory when none is given).
#include <array>
#include <charconv>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/image.h"
#include "tools/skin_palette.h"

namespace {

constexpr int kSkinSize = 64;

enum Piece { kHead, kTorso, kArm, kLeg };

// One box of the body and where its unwrap lies in the skin.
struct Box {
    const char* name;
    Piece piece;
    uint32_t part;  // 0 head and torso, 1 left arm, 2 right arm (holds items), 3 right leg, 4 left leg
    std::array<float, 3> min, max;
    std::array<float, 3> pivot;
    int skinX, skinY;          // top-left corner of the unwrap, pixels
    int width, height, depth;  // unwrap size in pixels along x, y, z
};

// Facing -z puts the figure's right side at +x. Arms hang beside the torso and reach past its lower
// edge; each limb pivots where it joins the body.
const std::array<Box, 6> kBoxes = {{
    {"head", kHead, 0, {-0.25, 1.3, -0.25}, {0.25, 1.8, 0.25}, {0, 1.3, 0}, 0, 0, 8, 8, 8},
    {"torso", kTorso, 0, {-0.25, 0.75, -0.125}, {0.25, 1.3, 0.125}, {0, 0.75, 0}, 16, 16, 8, 9, 4},
    {"right arm", kArm, 2, {0.25, 0.55, -0.125}, {0.5, 1.3, 0.125}, {0.375, 1.225, 0}, 40, 16, 4, 12, 4},
    {"left arm", kArm, 1, {-0.5, 0.55, -0.125}, {-0.25, 1.3, 0.125}, {-0.375, 1.225, 0}, 32, 48, 4, 12, 4},
    {"right leg", kLeg, 3, {0, 0, -0.125}, {0.25, 0.75, 0.125}, {0.125, 0.75, 0}, 0, 16, 4, 12, 4},
    {"left leg", kLeg, 4, {-0.25, 0, -0.125}, {0, 0.75, 0.125}, {-0.125, 0.75, 0}, 16, 48, 4, 12, 4},
}};

// Faces in the mesh's order -x, +x, -y, +y, -z, +z. Corners are top-left, bottom-left, bottom-right,
// top-right as seen from outside (0 = box minimum, 1 = maximum per axis), so both triangles wind
// counter-clockwise outwards. The unwrap rectangle starts at skin + (columns, rows) counted in box
// depths and widths: sides beside the front, top and bottom above it, the back last.
struct FaceLayout {
    std::array<std::array<int, 3>, 4> corners;
    int depthColumns, widthColumns, depthRows;
    bool spansWidth;   // rectangle is `width` wide, else `depth`
    bool spansHeight;  // rectangle is `height` tall, else `depth`
};
const std::array<FaceLayout, 6> kFaces = {{
    {{{{0, 1, 0}, {0, 0, 0}, {0, 0, 1}, {0, 1, 1}}}, 1, 1, 1, false, true},
    {{{{1, 1, 1}, {1, 0, 1}, {1, 0, 0}, {1, 1, 0}}}, 0, 0, 1, false, true},
    {{{{1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 0, 0}}}, 1, 1, 0, true, false},
    {{{{1, 1, 1}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}}}, 1, 0, 0, true, false},
    {{{{1, 1, 0}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0}}}, 1, 0, 1, true, true},
    {{{{0, 1, 1}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}}}, 2, 1, 1, true, true},
}};
constexpr int kFaceMinusX = 0, kFacePlusX = 1, kFaceMinusY = 2, kFacePlusY = 3, kFaceMinusZ = 4;
const std::array<std::array<int, 2>, 4> kCornerTexel = {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}};
const std::array<int, 6> kQuadTriangles = {0, 1, 2, 0, 2, 3};

struct SkinRect {
    int x, y, width, height;
};

SkinRect faceRect(const Box& box, int face) {
    const FaceLayout& layout = kFaces[face];
    return {box.skinX + layout.depthColumns * box.depth + layout.widthColumns * box.width,
            box.skinY + layout.depthRows * box.depth, layout.spansWidth ? box.width : box.depth,
            layout.spansHeight ? box.height : box.depth};
}

// ---- Mesh text ----

std::string number(float value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

void writeVertex(std::ostream& out, const Box& box, int face, int corner) {
    const std::array<int, 3>& select = kFaces[face].corners[corner];
    const SkinRect rect = faceRect(box, face);
    const float u = float(rect.x + kCornerTexel[corner][0] * rect.width) / kSkinSize;
    const float v = float(rect.y + kCornerTexel[corner][1] * rect.height) / kSkinSize;
    for (int axis = 0; axis < 3; ++axis) out << number(select[axis] ? box.max[axis] : box.min[axis]) << ' ';
    out << number(u) << ' ' << number(v) << ' ' << face;
    for (const float p : box.pivot) out << ' ' << number(p);
    out << " 0 0 0 " << box.part << '\n';
}

void writeBox(std::ostream& out, const Box& box) {
    out << "# " << box.name << '\n';
    for (int face = 0; face < 6; ++face) {
        for (const int corner : kQuadTriangles) writeVertex(out, box, face, corner);
    }
}

void writeMesh(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "VXM 3\n"
           "# Player body, written by tools/make_player_model. Blocks, feet at y 0, facing -z.\n"
           "# Per vertex: x y z u v face pivotX pivotY pivotZ rotationX rotationY rotationZ part\n"
           "# Faces 0..5: -x +x -y +y -z +z. Parts: 0 head and torso, 1 left arm, 2 right arm\n"
           "# (holds items), 3 right leg, 4 left leg.\n";
    for (const Box& box : kBoxes) writeBox(out, box);
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// ---- Skin ----

using namespace texgen;

// A pixel of a face: column and row inside the face's rectangle, rows counted from the top (for the
// top and bottom faces from the back and front edge, as the unwrap lays them out).
struct FacePixel {
    int face, column, row, width, height;
};

// The columns nearest the back of a head side: +x faces run back to front, -x faces front to back.
bool towardsBack(const FacePixel& p) {
    return p.face == kFacePlusX ? p.column < 3 : p.column >= p.width - 3;
}

Colour headFront(const FacePixel& p) {
    const bool leftEye = p.column == 1 || p.column == 2;
    const bool rightEye = p.column == 5 || p.column == 6;
    if (p.row < 2) return kHair;
    if (p.row == 2) return (leftEye || rightEye) ? kBrow : kSkinTone;
    if (p.row == 3 && leftEye) return p.column == 1 ? kEyeWhite : kIris;
    if (p.row == 3 && rightEye) return p.column == 6 ? kEyeWhite : kIris;
    if (p.row == 4 && (p.column == 3 || p.column == 4)) return kSkinShadow;
    if (p.row == 6 && (p.column == 3 || p.column == 4)) return kMouth;
    return kSkinTone;
}

Colour paintHead(const FacePixel& p) {
    switch (p.face) {
        case kFaceMinusZ:
            return headFront(p);
        case kFacePlusY:
            return kHair;
        case kFaceMinusY:
            return kSkinShadow;
        case kFaceMinusX:
        case kFacePlusX:
            if (p.row < 2 || towardsBack(p)) return kHair;
            return (p.row == 4 && (p.column == 3 || p.column == 4)) ? kSkinShadow : kSkinTone;
        default:
            return p.row < p.height - 1 ? kHair : kSkinShadow;
    }
}

Colour paintTorso(const FacePixel& p) {
    if (p.face == kFacePlusY) return kTunic;
    if (p.face == kFaceMinusY) return kTrousers;
    const bool middle = p.column == 3 || p.column == 4;
    if (p.face == kFaceMinusZ && p.row == 0 && middle) return kSkinTone;
    if (p.row == 6) return (p.face == kFaceMinusZ && middle) ? kBuckle : kBelt;
    return p.row > 6 ? kTunicDark : kTunic;
}

Colour paintArm(const FacePixel& p) {
    if (p.face == kFacePlusY) return kTunic;
    if (p.face == kFaceMinusY) return kSkinShadow;
    if (p.row < 6) return kTunic;
    if (p.row == 6) return kTunicDark;
    return p.row == p.height - 1 ? kSkinShadow : kSkinTone;
}

Colour paintLeg(const FacePixel& p) {
    if (p.face == kFacePlusY) return kTrousers;
    if (p.face == kFaceMinusY) return kSole;
    if (p.row < 8) return kTrousers;
    if (p.row == 8) return kBootCuff;
    return kBoot;
}

Colour paint(Piece piece, const FacePixel& p) {
    switch (piece) {
        case kHead:
            return paintHead(p);
        case kTorso:
            return paintTorso(p);
        case kArm:
            return paintArm(p);
        default:
            return paintLeg(p);
    }
}

// A little fixed grain so that large areas do not look flat.
int grain(int x, int y) {
    uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return int(h % 13u) - 6;
}

uint8_t channel(int value) {
    return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

void putPixel(std::vector<uint8_t>& pixels, int x, int y, Colour colour) {
    const int shift = grain(x, y);
    uint8_t* out = &pixels[(std::size_t(y) * kSkinSize + std::size_t(x)) * 4];
    out[0] = channel(colour.r + shift);
    out[1] = channel(colour.g + shift);
    out[2] = channel(colour.b + shift);
    out[3] = 255;
}

void paintBox(std::vector<uint8_t>& pixels, const Box& box) {
    for (int face = 0; face < 6; ++face) {
        const SkinRect rect = faceRect(box, face);
        for (int row = 0; row < rect.height; ++row) {
            for (int column = 0; column < rect.width; ++column) {
                const FacePixel pixel{face, column, row, rect.width, rect.height};
                putPixel(pixels, rect.x + column, rect.y + row, paint(box.piece, pixel));
            }
        }
    }
}

// Texels outside every face stay fully transparent.
void writeSkin(const std::filesystem::path& path) {
    std::vector<uint8_t> pixels(std::size_t(kSkinSize) * kSkinSize * 4, 0);
    for (const Box& box : kBoxes) paintBox(pixels, box);
    platform::encodePng(path, kSkinSize, kSkinSize, pixels.data(), platform::PixelOrder::Rgba);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::filesystem::path root =
            argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::current_path();
        const std::filesystem::path folder = root / "Assets" / "Models" / "Player";
        std::filesystem::create_directories(folder);
        writeMesh(folder / "player.vxm");
        writeSkin(folder / "player.png");
        std::cout << "Wrote " << (folder / "player.vxm").string() << " and "
                  << (folder / "player.png").string() << '\n';
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "make_player_model: " << error.what() << '\n';
        return 1;
    }
}
