#include "render/figures/mob_figures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/figures/box_corners.h"

namespace render {

namespace {

constexpr double kPi = std::numbers::pi;

// Template defaults: the skeleton-like body (template 1) and the boar-like one (template 0).
constexpr MobBody kSkeletonBody{0.4, 1.9};
constexpr MobBody kBoarBody{0.7, 0.95};
constexpr double kMeleeReach = 0.65;

// One coordinate of a figure box: base + side x s + sideBob x s x bob + pose x attack pose.
struct Linear {
    double base = 0.0, side = 0.0, sideBob = 0.0, pose = 0.0;
};
struct SidedBox {
    Linear min[3];
    Linear max[3];
    Double3 colour;
};

constexpr Double3 kBone{0.83, 0.82, 0.73};
constexpr Double3 kSocket{0.035, 0.035, 0.035};

// Drawn once per side, leg then upper arm, forearm and eye.
constexpr SidedBox kSkeletonSides[] = {
    {{{-0.05, 0, 1, 0}, {0.05}, {-0.045, 0.13}}, {{0.05, 0, 1, 0}, {0.74, 0, 1, 0}, {0.045, 0.13}}, kBone},
    {{{-0.07}, {1.28}, {-0.035, 0.28}}, {{0.07}, {1.45}, {0.035, 0.28}}, kBone},
    {{{0.06, 0, 0, 0.45}, {0.92, 0, 0, 0.225}, {-0.035, 0.28}},
     {{0.13, 0, 0, 0.45}, {1.37, 0, 0, 0.225}, {0.035, 0.28}},
     kBone},
    {{{0.201}, {1.7}, {-0.044, 0.09}}, {{0.205}, {1.78}, {0.044, 0.09}}, kSocket},
};

constexpr Double3 kHide{0.39, 0.25, 0.15};
constexpr Double3 kHoof{0.22, 0.14, 0.1};
constexpr Double3 kTusk{0.88, 0.85, 0.72};
constexpr Double3 kBoarEye{0.03, 0.025, 0.02};
constexpr SidedBox kBoarTusk{{{0.53}, {0.51}, {-0.025, 0.15}}, {{0.6}, {0.65}, {0.025, 0.15}}, kTusk};
constexpr SidedBox kBoarEyeBox{{{0.45}, {0.67}, {-0.012, 0.224}}, {{0.49}, {0.72}, {0.012, 0.224}}, kBoarEye};

double evaluate(const Linear& c, double s, double bob, double pose) {
    return c.base + c.side * s + c.sideBob * s * bob + c.pose * pose;
}

FigureBox sided(const SidedBox& box, double s, double bob, double pose) {
    FigureBox out;
    for (int i = 0; i < 3; ++i) {
        out.min[i] = evaluate(box.min[i], s, bob, pose);
        out.max[i] = evaluate(box.max[i], s, bob, pose);
    }
    out.colour = box.colour;
    return out;
}

// Boar legs: back (sx -1) and front (sx +1), each on both sides; diagonal pairs move together.
FigureBox boarLeg(double sx, double sz, double bob) {
    const double m = (sx < 0.0 ? -0.32 : 0.2) + sx * sz * bob;
    return {{m - 0.06, 0.01, 0.19 * sz - 0.065}, {m + 0.06, 0.33 + sx * sz * bob, 0.19 * sz + 0.065}, kHoof};
}

bool windingUp(const Mob& mob) { return mob.windupRemaining > 0; }

double windupProgress(const Mob& mob, double alpha) {
    return 1.0 - (mob.windupRemaining - alpha) / std::max(1, mob.windupLength);
}

double strikeProgress(const Mob& mob, double alpha) {
    return std::clamp(1.0 - (mob.postAttackTimer - alpha) / 10.0, 0.0, 1.0);
}

// Model space (x, y) rotated about the pivot by angle.
void rotateAbout(double& x, double& y, double px, double py, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double dx = x - px, dy = y - py;
    x = px + c * dx - s * dy;
    y = py + s * dx + c * dy;
}

MeshVertex placedVertex(const ModelVertex& m, uint8_t resourceId, double x, double y, double z) {
    MeshVertex v;
    v.x = static_cast<float>(x);
    v.y = static_cast<float>(y);
    v.z = static_cast<float>(z);
    v.r = v.g = v.b = m.shade;
    v.u = m.u;
    v.v = m.v;
    v.layer = static_cast<float>(voxel::textureLayer(resourceId, static_cast<uint32_t>(m.texture)));
    return v;
}

// A ring of count markers, each turned to run along the circle.
void emitRing(std::vector<MeshVertex>& list, const Double3& centre, double radius, int count, const Double3& half,
              double height, const Double3& colour) {
    for (int k = 0; k < count; ++k) {
        const double angle = k * 2.0 * kPi / count;
        const Double3 at{centre[0] + radius * std::cos(angle), centre[1], centre[2] + radius * std::sin(angle)};
        emitColourBox(list, {-half[0], 0.0, -half[2]}, {half[0], height, half[2]}, at, angle + kPi / 2, colour, true);
    }
}

void emitWindupBar(std::vector<MeshVertex>& list, const Mob& mob, double figureHeight, const TelegraphView& view) {
    if (std::hypot(mob.x - view.playerX, mob.z - view.playerZ) > 24.0) return;
    const Double3 at{mob.x, mob.y + figureHeight + 0.16, mob.z};
    const double progress = windupProgress(mob, view.alpha);
    const Double3 fill = mob.attackKind == kAttackHeavy ? Double3{1.0, 0.32, 0.08} : Double3{1.0, 0.78, 0.22};
    emitColourBox(list, {-0.025, 0.0, -0.35}, {0.025, 0.035, 0.35}, at, view.viewYaw, {0.1, 0.1, 0.12}, true);
    emitColourBox(list, {-0.028, -0.002, -0.35}, {0.028, 0.038, progress * 0.7 - 0.35}, at, view.viewYaw, fill, true);
}

void emitRushPath(std::vector<MeshVertex>& list, const MobPlacement& place) {
    const double c = std::cos(place.yaw), s = std::sin(place.yaw);
    for (int i = 1; i <= 20; ++i) {
        const double d = 0.4 * i;
        const Double3 at{place.position[0] + c * d, place.position[1] + 0.04, place.position[2] + s * d};
        emitColourBox(list, {-0.13, 0.0, -0.13}, {0.13, 0.045, 0.13}, at, place.yaw, {1.0, 0.75, 0.12}, true);
    }
}

void emitWaveRing(std::vector<MeshVertex>& list, const Mob& mob, const content::MobDef& def,
                  const MobPlacement& place) {
    double f = 1.0;
    if (!windingUp(mob)) {
        if (mob.postAttackTimer <= 0) return;
        f = 1.0 - static_cast<double>(mob.postAttackTimer) / std::max(1, def.waveTicks);
    }
    const Double3 centre{place.position[0], place.position[1] + 0.06, place.position[2]};
    emitRing(list, centre, def.waveRange * f, 48, {0.16, 0.0, 0.07}, 0.05, {1.0, 0.35, 0.04});
}

void emitBuiltinFigure(std::vector<MeshVertex>& list, const Mob& mob, const content::MobDef& def,
                       const MobPlacement& place, const MobResources& resources, double pose) {
    const std::size_t from = list.size();
    const std::vector<FigureBox> boxes = mob.kind != 0 ? skeletonBoxes(place.bob, pose) : boarBoxes(place.bob);
    const double c = std::cos(place.yaw), s = std::sin(place.yaw);
    for (const FigureBox& box : boxes)
        emitTurnedColourBox(list, box.min, box.max, place.position, c, s, box.colour, false);
    if (mob.kind != 0 && resources.held != nullptr && resources.heldId != 0)
        emitHeldModel(list, *resources.held, resources.heldId, place.position, place.yaw);
    // The figures are drawn for the template's own size (width 0.8 x 1.9, or 1.4 x 0.95).
    const double baseWidth = mob.kind != 0 ? 0.8 : 1.4, baseHeight = mob.kind != 0 ? 1.9 : 0.95;
    scaleAbout(list, from, place.position, def.width / baseWidth, def.height / baseHeight);
}

}  // namespace

MobBody mobBody(const Mob& mob) {
    const MobBody fallback = mob.kind != 0 ? kSkeletonBody : kBoarBody;
    return {mob.halfWidth > 0.0 ? mob.halfWidth : fallback.halfWidth, mob.height > 0.0 ? mob.height : fallback.height};
}

const content::MobDef* mobDefinition(const std::vector<content::MobDef>& defs, const Mob& mob) {
    for (const content::MobDef& def : defs) {
        if (def.id == mob.defId) return &def;
    }
    const std::size_t fallback = mob.kind == 0 ? 0 : 1;
    return fallback < defs.size() ? &defs[fallback] : nullptr;
}

bool mobIsFinite(const Mob& mob) {
    const double values[] = {mob.x,    mob.y,     mob.z,         mob.prevX,     mob.prevY,     mob.prevZ,
                             mob.yaw,  mob.walkPhase, mob.velocityX, mob.velocityZ, mob.halfWidth, mob.height};
    return std::all_of(std::begin(values), std::end(values), [](double v) { return std::isfinite(v); });
}

bool mobInView(const Mob& mob, const content::MobDef& def, const ViewPlanes& planes, bool planesValid,
               bool hitboxes) {
    if (hitboxes || !planesValid) return true;
    double reach = kMeleeReach;
    if (windingUp(mob) && mob.attackKind == kAttackHeavy) reach = def.heavyRange;
    if (def.bossAttacks && mob.attackKind == kAttackWave && (windingUp(mob) || mob.postAttackTimer > 0))
        reach = def.waveRange;
    const MobBody body = mobBody(mob);
    const double w = body.halfWidth + reach;
    return boxInView(planes, {mob.x - w, mob.y - 0.2, mob.z - w, mob.x + w, mob.y + body.height + 0.3, mob.z + w});
}

double mobAttackPose(const Mob& mob, double alpha) {
    if (windingUp(mob)) return windupProgress(mob, alpha);
    if (mob.postAttackTimer <= 0) return 0.0;
    const double t = strikeProgress(mob, alpha);
    return std::sin(kPi * t) * 0.4 + (1.0 - t) * 0.8;
}

double modelPartAngle(uint32_t part, const Mob& mob, const content::MobDef& def, double phase, double speed,
                      double alpha) {
    if (def.flying && (part == 2 || part == 3)) {
        const double wing = std::sin((static_cast<double>(mob.ticks) + alpha) * 0.45) * 0.45;
        return part == 3 ? -wing : wing;
    }
    if (part == 3 && windingUp(mob))
        return -windupProgress(mob, alpha) * (mob.attackKind == kAttackHeavy ? 1.25 : 0.8);
    if (part == 3 && mob.postAttackTimer > 0) {
        const double t = strikeProgress(mob, alpha);
        return std::sin(kPi * t) * 1.7 - (1.0 - t) * 0.8;
    }
    const double offset = (part == 3 || part == 4) ? kPi : 0.0;
    return std::sin(phase + offset) * 0.25 * std::min(speed, 1.0);
}

MobPlacement placeMob(const Mob& mob, const MobSnapshot* snapshot, double alpha) {
    MobPlacement place;
    place.position = {mob.prevX + (mob.x - mob.prevX) * alpha, mob.prevY + (mob.y - mob.prevY) * alpha,
                      mob.prevZ + (mob.z - mob.prevZ) * alpha};
    place.speed = std::hypot(mob.velocityX, mob.velocityZ);
    if (snapshot != nullptr) {
        place.yaw = snapshot->yaw + std::remainder(mob.yaw - snapshot->yaw, 2.0 * kPi) * alpha;
        place.phase = snapshot->walkPhase + (mob.walkPhase - snapshot->walkPhase) * alpha;
    } else {
        place.yaw = mob.yaw;
        place.phase = mob.walkPhase + place.speed * alpha * 0.225;
    }
    place.bob = std::sin(place.phase) * 0.08 * std::min(place.speed, 1.0);
    return place;
}

std::vector<FigureBox> skeletonBoxes(double bob, double pose) {
    std::vector<FigureBox> boxes;
    boxes.push_back({{-0.18, 1.5, -0.19}, {0.2, 1.89, 0.19}, kBone});
    boxes.push_back({{-0.045, 0.68, -0.045}, {0.045, 1.48, 0.045}, kBone});
    for (int i = 0; i < 4; ++i) boxes.push_back({{-0.07, 1.02 + 0.1 * i, -0.24}, {0.08, 1.065 + 0.1 * i, 0.24}, kBone});
    boxes.push_back({{-0.075, 0.74, -0.22}, {0.075, 0.83, 0.22}, kBone});
    for (const double s : {-1.0, 1.0}) {
        for (const SidedBox& box : kSkeletonSides) boxes.push_back(sided(box, s, bob, pose));
    }
    boxes.push_back({{0.201, 1.55, -0.09}, {0.205, 1.61, 0.09}, kSocket});
    return boxes;
}

std::vector<FigureBox> boarBoxes(double bob) {
    std::vector<FigureBox> boxes;
    boxes.push_back({{-0.46, 0.26, -0.27}, {0.3, 0.81, 0.27}, kHide});
    boxes.push_back({{0.26, 0.41, -0.22}, {0.54, 0.78, 0.22}, {0.46, 0.29, 0.18}});
    boxes.push_back({{0.52, 0.42, -0.14}, {0.62, 0.58, 0.14}, {0.57, 0.38, 0.25}});
    for (const double sx : {-1.0, 1.0}) {
        for (const double sz : {-1.0, 1.0}) boxes.push_back(boarLeg(sx, sz, bob));
    }
    boxes.push_back({{0.3, 0.76, -0.21}, {0.43, 0.92, -0.12}, kHide});
    boxes.push_back({{0.3, 0.76, 0.12}, {0.43, 0.92, 0.21}, kHide});
    for (const double s : {-1.0, 1.0}) boxes.push_back(sided(kBoarTusk, s, bob, 0.0));
    for (const double s : {-1.0, 1.0}) boxes.push_back(sided(kBoarEyeBox, s, bob, 0.0));
    return boxes;
}

void emitHeldModel(std::vector<MeshVertex>& list, const std::vector<ModelVertex>& model, uint8_t resourceId,
                   const Double3& origin, double yaw) {
    const double c = std::cos(yaw), s = std::sin(yaw);
    for (const ModelVertex& m : model) {
        const double forward = (m.z - 0.38) * 0.35 + 0.28;
        const double up = (m.y - 1.0) * 0.43 + 1.15;
        const double side = (m.x - 0.5) * 0.43 + 0.21;
        MeshVertex v = placedVertex(m, resourceId, origin[0] + c * forward - s * side, origin[1] + up,
                                    origin[2] + s * forward + c * side);
        v.r = v.g = v.b = 0.8f;
        list.push_back(v);
    }
}

void emitMobModel(std::vector<MeshVertex>& list, const std::vector<ModelVertex>& model, uint8_t resourceId,
                  const Mob& mob, const content::MobDef& def, const MobPlacement& place, double alpha) {
    const auto& b = def.modelBounds;
    const double minY = b[1], h = std::max(b[4] - b[1], 0.01);
    const double cx = (b[0] + b[3]) / 2.0, cz = (b[2] + b[5]) / 2.0;
    const double s = def.modelScale;
    const double lean = mobAttackPose(mob, alpha) * 0.18;
    const double c = std::cos(place.yaw), sn = std::sin(place.yaw);
    double angles[6] = {};
    for (uint32_t part = 2; part <= 5; ++part)
        angles[part] = modelPartAngle(part, mob, def, place.phase, place.speed, alpha);
    for (std::size_t i = 0; i < model.size(); ++i) {
        const ModelVertex& m = model[i];
        double x = m.x, y = m.y;
        const uint32_t part = i < def.modelPartIndices.size() ? def.modelPartIndices[i] : 0;
        if (part >= 2 && part <= 5) rotateAbout(x, y, def.partPivots[part][0], def.partPivots[part][1], angles[part]);
        const double dy = y - minY;
        const double forward = dy * lean / h + (x - cx) * s;
        const double side = (m.z - cz) * s;
        list.push_back(placedVertex(m, resourceId, place.position[0] + c * forward - sn * side,
                                    place.position[1] + place.bob * 0.3 + dy * s,
                                    place.position[2] + sn * forward + c * side));
    }
}

void scaleAbout(std::vector<MeshVertex>& list, std::size_t from, const Double3& origin, double sx, double sy) {
    for (std::size_t i = from; i < list.size(); ++i) {
        MeshVertex& v = list[i];
        v.x = static_cast<float>(origin[0] + (v.x - origin[0]) * sx);
        v.y = static_cast<float>(origin[1] + (v.y - origin[1]) * sy);
        v.z = static_cast<float>(origin[2] + (v.z - origin[2]) * sx);
    }
}

double deathProgress(int32_t deathTimer, double alpha) {
    return std::clamp((deathTimer + alpha) * 0.0625, 0.0, 1.0);
}

Tint mobTint(const Mob& mob) {
    Tint tint;
    if (windingUp(mob)) {
        const bool heavy = mob.attackKind == kAttackHeavy;
        tint.green *= heavy ? 0.48 : 0.75;
        tint.blue *= heavy ? 0.25 : 0.65;
    }
    if (mob.hurtTimer != 0) {
        tint.green *= 0.45;
        tint.blue *= 0.45;
    }
    return tint;
}

void tipOver(std::vector<MeshVertex>& list, std::size_t from, const Double3& origin, double yaw, double progress,
             double width) {
    const double angle = progress * 1.45;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double c = std::cos(yaw), s = std::sin(yaw);
    const double lift = progress * width * 0.5;
    for (std::size_t i = from; i < list.size(); ++i) {
        MeshVertex& v = list[i];
        const double dx = v.x - origin[0], dz = v.z - origin[2], height = v.y - origin[1];
        const double forward = dx * c + dz * s;
        const double side = -dx * s + dz * c;
        const double side2 = side * ca - height * sa;
        const double height2 = side * sa + height * ca + lift;
        v.x = static_cast<float>(origin[0] + c * forward - s * side2);
        v.y = static_cast<float>(origin[1] + height2);
        v.z = static_cast<float>(origin[2] + s * forward + c * side2);
    }
}

void emitTelegraphs(std::vector<MeshVertex>& list, const Mob& mob, const content::MobDef& def,
                    const MobPlacement& place, double figureHeight, const TelegraphView& view) {
    if (windingUp(mob)) emitWindupBar(list, mob, figureHeight, view);
    if (windingUp(mob) && mob.attackKind == kAttackHeavy) {
        const Double3 centre{place.position[0], view.groundY, place.position[2]};
        emitRing(list, centre, def.heavyRange, 32, {0.12, 0.0, 0.06}, 0.035, {1.0, 0.25, 0.06});
    }
    if (!def.bossAttacks) return;
    if (mob.attackKind == kAttackRush && windingUp(mob)) emitRushPath(list, place);
    if (mob.attackKind == kAttackWave) emitWaveRing(list, mob, def, place);
}

void emitMob(std::vector<MeshVertex>& list, const Mob& mob, const content::MobDef& def, const MobPlacement& place,
             const MobResources& resources, const TelegraphView& view) {
    const std::size_t from = list.size();
    if (!def.modelResource.empty()) {
        if (resources.model != nullptr)
            emitMobModel(list, *resources.model, resources.modelId, mob, def, place, view.alpha);
    } else {
        emitBuiltinFigure(list, mob, def, place, resources, mobAttackPose(mob, view.alpha));
    }
    const MobBody body = mobBody(mob);
    emitTelegraphs(list, mob, def, place, body.height, view);
    const Tint tint = mobTint(mob);
    // Multiplying by 1 would leave every colour as it is.
    for (std::size_t i = tint.green == 1.0 && tint.blue == 1.0 ? list.size() : from; i < list.size(); ++i) {
        list[i].g = static_cast<float>(list[i].g * tint.green);
        list[i].b = static_cast<float>(list[i].b * tint.blue);
    }
    if (mob.health < 1)
        tipOver(list, from, place.position, place.yaw, deathProgress(mob.deathTimer, view.alpha), 2.0 * body.halfWidth);
}

void emitMobHitbox(std::vector<MeshVertex>& list, const Mob& mob, const Double3& position) {
    const MobBody body = mobBody(mob);
    const Double3 colour = mob.kind != 0 ? Double3{1.0, 0.2, 0.2} : Double3{0.1, 1.0, 0.2};
    emitBoxOutline(list, {position[0] - body.halfWidth, position[1], position[2] - body.halfWidth},
                   {position[0] + body.halfWidth, position[1] + body.height, position[2] + body.halfWidth}, colour);
}

}  // namespace render
