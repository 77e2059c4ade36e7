#include "render/figures/npc_figures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/figures/box_corners.h"

namespace render {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr Double3 kNoPivot{0.0, 0.0, 0.0};
constexpr Double3 kHeadPivot{0.0, 1.43, 0.0};
constexpr Double3 kSkin{0.73, 0.53, 0.35};
constexpr Double3 kSleeve{0.25, 0.49, 0.44};
constexpr Double3 kEye{0.05, 0.045, 0.04};

struct PartBox {
    Double3 min, max, colour;
    uint32_t part;
    Double3 pivot;
};

// Drawn first, in this order; x points forwards.
constexpr PartBox kTrunkBoxes[] = {
    {{-0.12, 0.02, -0.23}, {0.12, 0.72, -0.045}, {0.19, 0.24, 0.31}, 4, kNoPivot},  // legs
    {{-0.12, 0.02, 0.045}, {0.12, 0.72, 0.23}, {0.19, 0.24, 0.31}, 4, kNoPivot},
    {{-0.18, 0.7, -0.24}, {0.18, 1.41, 0.24}, {0.2, 0.43, 0.4}, 0, kNoPivot},     // torso
    {{-0.18, 0.7, -0.24}, {0.18, 0.79, 0.24}, {0.36, 0.25, 0.13}, 0, kNoPivot},   // belt
    {{-0.16, 1.43, -0.19}, {0.18, 1.79, 0.19}, kSkin, 1, kHeadPivot},             // head
    {{-0.18, 1.74, -0.21}, {0.19, 1.83, 0.21}, {0.26, 0.16, 0.1}, 1, kHeadPivot},  // hair
};

// Per side s: x from, x to, y from, y to, z half-width about the side's centre 0.255 s or 0.085 s.
struct SideBox {
    double x0, x1, y0, y1;
    double centre, halfZ;
    Double3 colour;
    bool arm;  // part 3 on the -1 side and 2 on the +1 side, pivot at the shoulder; else the head
};
constexpr SideBox kSideBoxes[] = {
    {-0.075, 0.075, 0.9, 1.36, 0.255, 0.04, kSleeve, true},  // arm
    {-0.075, 0.075, 0.81, 0.96, 0.255, 0.04, kSkin, true},   // hand
    {0.181, 0.188, 1.61, 1.67, 0.085, 0.025, kEye, false},   // eye
};
constexpr double kBlinkEyeBottom = 1.64;
constexpr double kBlinkEyeTop = 1.65;

// The cosine and sine of a turn, taken once for all the points it turns.
struct Turn {
    double c = 1.0, s = 0.0;
    explicit Turn(double angle) : c(std::cos(angle)), s(std::sin(angle)) {}
};

double partAngle(uint32_t part, const NpcBody& body) {
    return part >= 1 && part <= 3 ? body.motion.angles[part - 1] : 0.0;
}

// Turns (x, y) about the pivot.
Double3 turnAbout(const Double3& p, const Double3& pivot, const Turn& t) {
    const double dx = p[0] - pivot[0], dy = p[1] - pivot[1];
    return {pivot[0] + t.c * dx - t.s * dy, pivot[1] + t.s * dx + t.c * dy, p[2]};
}

Double3 posePoint(const Double3& point, uint32_t part, const Double3& pivot, const NpcBody& body, const Turn& t) {
    Double3 p = part >= 1 && part <= 3 ? turnAbout(point, pivot, t) : point;
    if (part <= 1) p[1] += body.motion.bob;
    return clampIntoBody(p, body);
}

Double3 placeWith(const Double3& local, const NpcBody& body, const Turn& yaw) {
    return {body.position[0] + yaw.c * local[0] - yaw.s * local[2], body.position[1] + local[1],
            body.position[2] + yaw.s * local[0] + yaw.c * local[2]};
}

MeshVertex withPosition(MeshVertex v, const Double3& p) {
    v.x = static_cast<float>(p[0]);
    v.y = static_cast<float>(p[1]);
    v.z = static_cast<float>(p[2]);
    return v;
}

void emitSideBoxes(std::vector<MeshVertex>& list, double s, const NpcBody& body) {
    for (const SideBox& box : kSideBoxes) {
        const double z = box.centre * s;
        double y0 = box.y0, y1 = box.y1;
        if (!box.arm && body.motion.blink) {
            y0 = kBlinkEyeBottom;
            y1 = kBlinkEyeTop;
        }
        const uint32_t part = box.arm ? (s < 0.0 ? 3u : 2u) : 1u;
        const Double3 pivot = box.arm ? Double3{0.0, 1.35, 0.255 * s} : kHeadPivot;
        emitNpcPartBox(list, {box.x0, y0, z - box.halfZ}, {box.x1, y1, z + box.halfZ}, box.colour, part, pivot,
                       body);
    }
}

// The vertex's own bone maps it from rest to the sampled pose, in pixels.
Double3 bonePoint(const std::array<double, 12>& m, const ModelVertex& v) {
    const double x = v.x * 16.0, y = v.y * 16.0, z = v.z * 16.0;
    return {(m[0] * x + m[1] * y + m[2] * z + m[3]) * 0.0625, (m[4] * x + m[5] * y + m[6] * z + m[7]) * 0.0625,
            (m[8] * x + m[9] * y + m[10] * z + m[11]) * 0.0625};
}

const std::array<double, 12>* vertexBone(const NpcModelFigure& model, std::size_t i) {
    if (model.bones == nullptr || model.vertexBones == nullptr || i >= model.vertexBones->size()) return nullptr;
    // A bone index past the sampled bones takes the part path rather than reading beyond them.
    const uint32_t bone = (*model.vertexBones)[i];
    return bone < model.bones->size() ? &(*model.bones)[bone] : nullptr;
}

}  // namespace

ActorMotion actorIdleMotion(const ActorIdleState& state, bool animated, double amplitude) {
    ActorMotion m;
    if (!animated) return m;
    const double t = state.time, v = state.speed, a = state.attack, e = state.alert;
    m.bob = std::sin(2.0 * t) * 0.006 * amplitude;
    m.angles[0] = (std::sin(2.4 * t) * v * 0.035 + std::sin(0.7 * t) * 0.04) * amplitude;
    m.angles[1] = std::sin(1.1 * t) * 0.035 * amplitude;
    m.angles[2] = std::sin(1.1 * t + 1.0) * 0.035 * amplitude;
    if (a > 0.0) {
        const double ramp = std::max(0.0, std::min({1.0, a / 0.35, (1.7 - a) * 4.0}));
        m.angles[2] += (2.55 + 0.14 * std::sin(12.0 * (1.7 - a))) * ramp * amplitude;
    }
    if (e > 0.0) {
        const double k = std::min(e / 0.4, 1.0);
        m.angles[0] += std::sin(4.0 * t) * 0.08 * k * amplitude;
        m.angles[1] += (std::sin(3.0 * t) * 0.08 + 0.18) * k * amplitude;
    }
    m.angles[0] = std::clamp(m.angles[0], -0.25, 0.25);
    m.angles[1] = std::clamp(m.angles[1], -0.6, 0.6);
    m.angles[2] = std::clamp(m.angles[2], -0.6, 2.9);
    m.blink = amplitude > 0.0 && std::fmod(t + 1.8, 4.7) < 0.13;
    return m;
}

Double3 clampIntoBody(const Double3& point, const NpcBody& body) {
    const double w = body.halfWidth;
    Double3 p{std::clamp(point[0], -w, w), std::clamp(point[1], 0.01, body.height + 0.03),
              std::clamp(point[2], -w, w)};
    // Well inside the circle the exact radius is not needed; near and beyond it decides as before.
    if (p[0] * p[0] + p[2] * p[2] < w * w * 0.999999) return p;
    const double radius = std::hypot(p[0], p[2]);
    if (radius > w) {
        p[0] *= w / radius;
        p[2] *= w / radius;
    }
    return p;
}

Double3 npcPartPoint(const Double3& point, uint32_t part, const Double3& pivot, const NpcBody& body) {
    return posePoint(point, part, pivot, body, Turn(partAngle(part, body)));
}

Double3 placeOnBody(const Double3& local, const NpcBody& body) {
    return placeWith(local, body, Turn(body.yaw));
}

void emitNpcPartBox(std::vector<MeshVertex>& list, const Double3& min, const Double3& max, const Double3& colour,
                    uint32_t part, const Double3& pivot, const NpcBody& body) {
    const double k = body.height / kBoxFigureHeight;
    const Double3 scaledPivot{pivot[0] * k, pivot[1] * k, pivot[2] * k};
    // Eight corners posed once; the 36 vertices take theirs by the box face table.
    const Turn pose(partAngle(part, body)), yaw(body.yaw);
    Double3 corners[8];
    for (int c = 0; c < 8; ++c) {
        const Double3 local{((c & 1) ? max[0] : min[0]) * k, ((c & 2) ? max[1] : min[1]) * k,
                            ((c & 4) ? max[2] : min[2]) * k};
        corners[c] = placeWith(posePoint(local, part, scaledPivot, body, pose), body, yaw);
    }
    emitBoxFromCorners(list, corners, colour, false);
}

void emitBoxFigure(std::vector<MeshVertex>& list, const NpcBody& body) {
    for (const PartBox& box : kTrunkBoxes)
        emitNpcPartBox(list, box.min, box.max, box.colour, box.part, box.pivot, body);
    emitSideBoxes(list, -1.0, body);
    emitSideBoxes(list, 1.0, body);
}

double modelLegSwing(double walkAmount, double amplitude) {
    return 0.45 * std::clamp(walkAmount, 0.0, 1.0) * amplitude;
}

Double3 modelFigurePoint(const NpcModelFigure& model, std::size_t i, const NpcBody& body) {
    const ModelVertex& v = (*model.vertices)[i];
    if (const std::array<double, 12>* bone = vertexBone(model, i)) {
        const Double3 posed = bonePoint(*bone, v);
        return clampIntoBody({(posed[0] - model.foot[0]) * model.scale,
                              (posed[1] - model.foot[1]) * model.scale + 0.01,
                              (posed[2] - model.foot[2]) * model.scale},
                             body);
    }
    const uint32_t part = model.parts != nullptr && i < model.parts->size() ? (*model.parts)[i] : 0;
    const Double3 local{(v.x - model.foot[0]) * model.scale, (v.y - model.foot[1]) * model.scale + 0.01,
                        (v.z - model.foot[2]) * model.scale};
    if (part <= 3) return npcPartPoint(local, part, model.pivots[part], body);
    const double swing = model.legSwing * std::sin(model.walkPhase + (part == 4 ? 0.0 : kPi));
    return clampIntoBody(turnAbout(local, {0.0, body.height * 0.38, 0.0}, Turn(swing)), body);
}

void emitModelFigure(std::vector<MeshVertex>& list, const NpcModelFigure& model, const NpcBody& body) {
    for (std::size_t i = 0; i < model.vertices->size(); ++i) {
        const ModelVertex& m = (*model.vertices)[i];
        MeshVertex v;
        v.r = v.g = v.b = m.shade;
        v.u = m.u;
        v.v = m.v;
        v.layer = model.layerOf(m.texture);
        v.sky = 1.0f;
        v.block = 0.0f;
        list.push_back(withPosition(v, placeOnBody(modelFigurePoint(model, i, body), body)));
    }
}

}  // namespace render
