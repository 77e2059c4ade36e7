#include "models/display_settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace content {
namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr Float3 kZero = {0.0f, 0.0f, 0.0f};
constexpr Float3 kOne = {1.0f, 1.0f, 1.0f};

// The values of one display slot, as read (scale already mirrored).
struct DisplaySlot {
    Float3 rotation = kZero;
    Float3 translation = kZero;
    Float3 scale = kOne;
    Float3 absoluteScale = kOne;
    Float3 rotationPivot = kZero;
    Float3 scalePivot = kZero;
};

// What differs between the two views: the slot name, the vector reader and the messages.
struct DisplayView {
    const char* slotName;
    Float3 (*readVector)(const Json& slot, const std::string& key, const Float3& fallback, float bound);
    const char* invalidSlot;
    const char* invalidMirrors;
    const char* invalidMirror;
};
const DisplayView kFirstPerson = {"firstperson_righthand", readDisplayVector, "Invalid first-person display",
                                  "Invalid display mirrors", "Invalid display mirror"};
const DisplayView kThirdPerson = {"thirdperson_righthand", readThirdPersonVector,
                                  "Invalid third-person display", "Invalid third-person mirrors",
                                  "Invalid third-person mirror"};

// Key, default and bound of each vector of a slot.
struct DisplayVectorKey {
    const char* key;
    Float3 fallback;
    float bound;
    Float3 DisplaySlot::*field;
};
const std::array<DisplayVectorKey, 5> kDisplayVectors = {{
    {"rotation", kZero, 360.0f, &DisplaySlot::rotation},
    {"translation", kZero, 80.0f, &DisplaySlot::translation},
    {"scale", kOne, 4.0f, &DisplaySlot::scale},
    {"rotation_pivot", kZero, 16.0f, &DisplaySlot::rotationPivot},
    {"scale_pivot", kZero, 16.0f, &DisplaySlot::scalePivot},
}};

// The slot named in "display", or in "display_settings" when "display" has none.
const Json& findDisplaySlot(const Json& document, const char* name) {
    const Json& slot = Json::find(Json::find(document, "display"), name);
    if (slot.tag != JsonNull) return slot;
    return Json::find(Json::find(document, "display_settings"), name);
}

// "mirror": null, or three entries each null or a boolean; a true entry negates that scale.
void applyMirror(const Json& slot, const DisplayView& view, DisplaySlot& values) {
    const Json& mirror = Json::find(slot, "mirror");
    if (mirror.tag == JsonNull) return;
    if (mirror.tag != JsonArray || mirror.items.size() != 3) throw std::runtime_error(view.invalidMirrors);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const Json& entry = mirror.items[axis];
        if (entry.tag != JsonNull && entry.tag != JsonBool) throw std::runtime_error(view.invalidMirror);
        if (entry.boolean && entry.tag == JsonBool) values.scale[axis] = -std::fabs(values.scale[axis]);
    }
}

DisplaySlot readSlot(const Json& slot, const DisplayView& view) {
    DisplaySlot values;
    for (const DisplayVectorKey& vector : kDisplayVectors)
        values.*vector.field = view.readVector(slot, vector.key, vector.fallback, vector.bound);
    for (std::size_t axis = 0; axis < 3; ++axis) values.absoluteScale[axis] = std::fabs(values.scale[axis]);
    applyMirror(slot, view, values);
    return values;
}

Float3 multiply(const HeldDisplay& display, const Float3& p) {
    Float3 out;
    for (std::size_t row = 0; row < 3; ++row)
        out[row] =
            display.matrix[row][0] * p[0] + display.matrix[row][1] * p[1] + display.matrix[row][2] * p[2];
    return out;
}

// matrix = R x S (row-major, applied to column vectors); translation moves the rotation and scale
// pivots back to where they were.
HeldDisplay displayTransform(const DisplaySlot& values, bool authored) {
    HeldDisplay display;
    display.authored = authored;
    for (std::size_t column = 0; column < 3; ++column) {
        Float3 axis = kZero;
        axis[column] = 1.0f;
        const Float3 turned = rotateByEulerDegrees(axis, values.rotation);
        for (std::size_t row = 0; row < 3; ++row)
            display.matrix[row][column] = turned[row] * values.scale[column];
    }
    const Float3 rp = rotateByEulerDegrees(values.rotationPivot, values.rotation);
    const Float3 sp = rotateByEulerDegrees(values.scalePivot, values.rotation);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        display.translation[axis] = values.translation[axis] / 16.0f -
                                    (rp[axis] - values.rotationPivot[axis]) +
                                    (1.0f - values.absoluteScale[axis]) * sp[axis];
    }
    return display;
}

std::array<float, 6> modelBounds(const voxel::BlockDef& def) {
    std::array<float, 6> bounds = {1e9f, 1e9f, 1e9f, -1e9f, -1e9f, -1e9f};
    for (const ModelVertex& vertex : def.modelVertices) {
        const Float3 p = {vertex.x, vertex.y, vertex.z};
        for (std::size_t axis = 0; axis < 3; ++axis) {
            bounds[axis] = std::min(bounds[axis], p[axis]);
            bounds[axis + 3] = std::max(bounds[axis + 3], p[axis]);
        }
    }
    return bounds;
}

Float3 boundsCentre(const std::array<float, 6>& bounds) {
    return {(bounds[0] + bounds[3]) * 0.5f, (bounds[1] + bounds[4]) * 0.5f, (bounds[2] + bounds[5]) * 0.5f};
}

Float3 minusHalf(const Float3& p) {
    return {p[0] - 0.5f, p[1] - 0.5f, p[2] - 0.5f};
}

bool isHeldTool(const voxel::BlockDef& def) {
    return !def.tool.empty() && def.behavior != "bow" && def.behavior != "shield";
}

// An unauthored first-person slot: the model scaled to a fixed size and turned as its kind is held.
DisplaySlot fittedSlot(const voxel::BlockDef& def, const std::array<float, 6>& bounds) {
    float size = def.tool.empty() ? 0.38f : 0.6f;
    if (def.behavior == "bow") size = 0.72f;
    if (def.behavior == "shield") size = 0.52f;
    const float extent =
        std::max({bounds[3] - bounds[0], bounds[4] - bounds[1], bounds[5] - bounds[2], 0.001f});
    DisplaySlot values;
    values.scale = values.absoluteScale = {size / extent, size / extent, size / extent};
    if (!def.tool.empty()) {
        values.rotation = {0.0f, -20.0f, -22.0f};
    } else if (def.isBlock) {
        values.rotation = {0.0f, 45.0f, 0.0f};
    }
    return values;
}

// Tools are gripped low on the handle; everything else at its centre.
Float3 gripPoint(const voxel::BlockDef& def, const std::array<float, 6>& bounds) {
    Float3 grip = boundsCentre(bounds);
    if (isHeldTool(def)) grip[1] = bounds[1] + 0.18f * (bounds[4] - bounds[1]);
    const Float3 moved = multiply(def.firstPersonDisplay, minusHalf(grip));
    const float* t = def.firstPersonDisplay.translation;
    return {moved[0] + t[0], moved[1] + t[1], moved[2] + t[2]};
}

const Json& requireSlotObject(const Json& document, const DisplayView& view) {
    const Json& slot = findDisplaySlot(document, view.slotName);
    if (slot.tag != JsonNull && slot.tag != JsonObject) throw std::runtime_error(view.invalidSlot);
    return slot;
}

// Reads a vector with the given failure messages for its shape, its entries and its values.
Float3 readBoundedVector(const Json& slot, const std::string& key, const Float3& fallback, float bound,
                         const std::string& badShape, const std::string& notNumber,
                         const std::string& outside) {
    const Json& value = Json::find(slot, key);
    if (value.tag == JsonNull) return fallback;
    if (value.tag != JsonArray || value.items.size() != 3) throw std::runtime_error(badShape);
    Float3 out;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const Json& entry = value.items[axis];
        if (entry.tag != JsonNumber) throw std::runtime_error(notNumber);
        if (!std::isfinite(entry.number) || std::fabs(entry.number) > bound)
            throw std::runtime_error(outside);
        out[axis] = static_cast<float>(entry.number);
    }
    return out;
}

Float3 displayPoint(const HeldDisplay& display, const Float3& point) {
    const Float3 moved = multiply(display, minusHalf(point));
    return {moved[0] + display.translation[0], moved[1] + display.translation[1],
            moved[2] + display.translation[2]};
}

}  // namespace

void readFirstPersonDisplay(voxel::BlockDef& def, const Json& document) {
    const Json& slot = requireSlotObject(document, kFirstPerson);
    def.modelBounds = modelBounds(def);
    const bool authored = slot.tag == JsonObject;
    def.firstPersonDisplay = displayTransform(
        authored ? readSlot(slot, kFirstPerson) : fittedSlot(def, def.modelBounds), authored);
    if (!authored) {
        const Float3 centre = multiply(def.firstPersonDisplay, minusHalf(boundsCentre(def.modelBounds)));
        for (std::size_t axis = 0; axis < 3; ++axis) def.firstPersonDisplay.translation[axis] = -centre[axis];
    }
    def.gripPoint = gripPoint(def, def.modelBounds);
}

void readThirdPersonDisplay(voxel::BlockDef& def, const Json& document) {
    const Json& slot = requireSlotObject(document, kThirdPerson);
    if (slot.tag != JsonObject) return;
    def.thirdPersonDisplay = displayTransform(readSlot(slot, kThirdPerson), true);
}

Float3 readDisplayVector(const Json& slot, const std::string& key, const Float3& fallback, float bound) {
    return readBoundedVector(slot, key, fallback, bound, "Invalid display vector",
                             "Display coordinates must be numeric", "Invalid first-person " + key);
}

Float3 readThirdPersonVector(const Json& slot, const std::string& key, const Float3& fallback, float bound) {
    return readBoundedVector(slot, key, fallback, bound, "Invalid third-person vector",
                             "Invalid third-person coordinate", "Invalid third-person coordinate");
}

Float3 rotateByEulerDegrees(const Float3& vector, const Float3& angles) {
    const float az = angles[2] * kDegreesToRadians, ay = angles[1] * kDegreesToRadians,
                ax = angles[0] * kDegreesToRadians;
    Float3 p = vector;
    p = {p[0] * std::cos(az) - p[1] * std::sin(az), p[0] * std::sin(az) + p[1] * std::cos(az), p[2]};
    p = {p[0] * std::cos(ay) + p[2] * std::sin(ay), p[1], p[2] * std::cos(ay) - p[0] * std::sin(ay)};
    return {p[0], p[1] * std::cos(ax) - p[2] * std::sin(ax), p[1] * std::sin(ax) + p[2] * std::cos(ax)};
}

Float3 firstPersonPoint(const voxel::BlockDef& def, const Float3& point) {
    return displayPoint(def.firstPersonDisplay, point);
}

Float3 thirdPersonPoint(const voxel::BlockDef& def, const Float3& point) {
    return displayPoint(def.thirdPersonDisplay, point);
}

}  // namespace content
