#pragma once
// Blockbench documents for the content pack: cube elements in pixels (16 to a block) whose faces
// name their texture by "#<index>" into the definition's texture list.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/pack_json.h"

namespace packgen {

using Vec3 = std::array<double, 3>;

// Face order of a cube element: up, down, north, south, east, west. A texture of -1 leaves the
// face out.
using FaceTextures = std::array<int, 6>;
inline constexpr std::array<const char*, 6> faceNames = {"up", "down", "north", "south", "east", "west"};

struct Element {
    std::string name;
    Vec3 from{0, 0, 0};
    Vec3 to{16, 16, 16};
    FaceTextures textures{0, 0, 0, 0, 0, 0};
    Vec3 origin{8, 8, 8};
    Vec3 rotation{0, 0, 0};
    bool fullUv = false;  // each face shows the whole texture instead of its own part of it
};

inline FaceTextures allFaces(int texture) {
    return {texture, texture, texture, texture, texture, texture};
}

// A repeatable uuid: the FNV-1a hash of the seed text spread over the 32 hex digits.
inline std::string uuidFor(const std::string& seed) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char c : seed) h = (h ^ c) * 0x100000001B3ull;
    uint64_t g = h;
    for (int i = 0; i < 8; ++i) g = (g ^ (h >> (i * 8))) * 0x100000001B3ull;
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%012llx", static_cast<unsigned>(h >> 32),
                  static_cast<unsigned>(h >> 16) & 0xFFFFu, static_cast<unsigned>(h) & 0xFFFFu,
                  static_cast<unsigned>(g >> 48), static_cast<unsigned long long>(g & 0xFFFFFFFFFFFFull));
    return text;
}

// The part of a 16-pixel tile that a face covers; elements beyond the first block (door tops, bed
// feet) map back into their own tile.
inline std::array<double, 4> projectedUv(const Element& e, int face) {
    Vec3 a = e.from;
    Vec3 b = e.to;
    for (int i = 0; i < 3; ++i) {
        const double tile = std::floor(a[i] / 16.0) * 16.0;
        if (b[i] - tile <= 16.0) {
            a[i] -= tile;
            b[i] -= tile;
        }
    }
    switch (face) {
        case 0:
        case 1:
            return {a[0], a[2], b[0], b[2]};
        case 2:
            return {16 - b[0], 16 - b[1], 16 - a[0], 16 - a[1]};
        case 3:
            return {a[0], 16 - b[1], b[0], 16 - a[1]};
        case 4:
            return {16 - b[2], 16 - b[1], 16 - a[2], 16 - a[1]};
        default:
            return {a[2], 16 - b[1], b[2], 16 - a[1]};
    }
}

inline Value elementJson(const Element& e, const std::string& seed) {
    Value faces = Value::object();
    for (int f = 0; f < 6; ++f) {
        if (e.textures[static_cast<std::size_t>(f)] < 0) continue;
        const std::array<double, 4> uv = e.fullUv ? std::array<double, 4>{0, 0, 16, 16} : projectedUv(e, f);
        faces.set(faceNames[static_cast<std::size_t>(f)],
                  Value::object()
                      .set("uv", Value::numbers({uv[0], uv[1], uv[2], uv[3]}))
                      .set("texture", "#" + std::to_string(e.textures[static_cast<std::size_t>(f)])));
    }
    Value out = Value::object();
    out.set("name", e.name)
        .set("type", "cube")
        .set("box_uv", false)
        .set("from", Value::numbers({e.from[0], e.from[1], e.from[2]}))
        .set("to", Value::numbers({e.to[0], e.to[1], e.to[2]}))
        .set("origin", Value::numbers({e.origin[0], e.origin[1], e.origin[2]}));
    if (e.rotation != Vec3{0, 0, 0})
        out.set("rotation", Value::numbers({e.rotation[0], e.rotation[1], e.rotation[2]}));
    out.set("faces", std::move(faces)).set("uuid", uuidFor(seed));
    return out;
}

// The whole document. `extra` members (display, held animations) are laid over the end.
inline Value bbmodel(const std::string& name, const std::vector<std::string>& textures,
                     const std::vector<Element>& elements, const Value& extra = Value::object()) {
    Value elementList = Value::array();
    Value outliner = Value::array();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string seed = name + "/" + elements[i].name + "/" + std::to_string(i);
        elementList.push(elementJson(elements[i], seed));
        outliner.push(uuidFor(seed));
    }
    Value textureList = Value::array();
    for (std::size_t i = 0; i < textures.size(); ++i) {
        textureList.push(Value::object()
                             .set("name", textures[i])
                             .set("id", std::to_string(i))
                             .set("width", 16)
                             .set("height", 16)
                             .set("uv_width", 16)
                             .set("uv_height", 16)
                             .set("uuid", uuidFor(name + "/texture/" + std::to_string(i))));
    }
    Value doc = Value::object();
    doc.set("meta",
            Value::object().set("format_version", "4.10").set("model_format", "free").set("box_uv", false))
        .set("name", name)
        .set("resolution", Value::object().set("width", 16).set("height", 16))
        .set("elements", std::move(elementList))
        .set("outliner", std::move(outliner))
        .set("textures", std::move(textureList));
    doc.merge(extra);
    return doc;
}

// Two planes crossed at right angles through the cell's vertical axis, for plants.
inline std::vector<Element> crossedPlanes() {
    Element a{"plane_a", {0, 0, 8}, {16, 16, 8}, {-1, -1, 0, 0, -1, -1}, {8, 8, 8}, {0, 45, 0}, true};
    Element b = a;
    b.name = "plane_b";
    b.rotation = {0, -45, 0};
    return {a, b};
}

// A flat item: one pixel thick, the picture on both sides.
inline std::vector<Element> itemPlane() {
    return {Element{"item", {0, 0, 7.5}, {16, 16, 8.5}, {-1, -1, 0, 0, -1, -1}, {8, 8, 8}, {0, 0, 0}, true}};
}

}  // namespace packgen
