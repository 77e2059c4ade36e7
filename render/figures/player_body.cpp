#include "render/figures/player_body.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/figures/held_item.h"

namespace render {

namespace {

constexpr double kEyeHeight = 1.62;

Double3 cross(const Double3& a, const Double3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Double3 normalised(const Double3& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

// A body point l in the frame of a player standing at the eye, turned by yaw (the mesh faces -z).
Double3 bodyToWorld(const Double3& l, const Double3& eye, double yaw) {
    const double s = std::sin(yaw), c = std::cos(yaw);
    return {eye[0] - l[0] * s - l[2] * c, eye[1] - kEyeHeight + l[1], eye[2] + l[0] * c - l[2] * s};
}

// Turns the offset from the pivot about the x axis and adds the pivot back.
Double3 swingAboutPivot(const Double3& posed, const VxmVertex& v, double angle) {
    const double y = posed[1] - v.pivotY, z = posed[2] - v.pivotZ;
    const double c = std::cos(angle), s = std::sin(angle);
    return {posed[0], v.pivotY + c * y - s * z, v.pivotZ + s * y + c * z};
}

MeshVertex skinVertex(const Double3& p, const VxmVertex& v) {
    MeshVertex out;
    out.x = static_cast<float>(p[0]);
    out.y = static_cast<float>(p[1]);
    out.z = static_cast<float>(p[2]);
    out.u = v.u;
    out.v = v.v;
    out.layer = kSkinMaterial;
    return out;
}

Double3 at(const VxmVertex& v) { return {v.x, v.y, v.z}; }

// Shade of an unposed face for the third-person shells: top, bottom, the sides, front and back.
float bodyShade(const Double3& n) {
    if (n[1] > 0.5) return 0.95f;
    if (n[1] < -0.5) return 0.55f;
    return std::abs(n[0]) > 0.5 ? 0.72f : 0.83f;
}

double partTop(const std::vector<VxmVertex>& mesh) {
    double top = 0.0;
    for (const VxmVertex& v : mesh)
        if (v.part == 2) top = std::max(top, static_cast<double>(v.y));
    return top;
}

}  // namespace

Double3 poseAboutPivot(const VxmVertex& v) {
    const double dx = v.x - v.pivotX, dy = v.y - v.pivotY, dz = v.z - v.pivotZ;
    const double cx = std::cos(v.rotationX), sx = std::sin(v.rotationX);
    const double y1 = cx * dy - sx * dz, z1 = sx * dy + cx * dz;
    const double cy = std::cos(v.rotationY), sy = std::sin(v.rotationY);
    const double x2 = cy * dx + sy * z1, z2 = cy * z1 - sy * dx;
    const double cz = std::cos(v.rotationZ), sz = std::sin(v.rotationZ);
    const double x3 = cz * x2 - sz * y1, y3 = cz * y1 + sz * x2;
    return {v.pivotX + x3, v.pivotY + y3, v.pivotZ + z2};
}

Double3 triangleNormal(const Double3& a, const Double3& b, const Double3& c) {
    const Double3 n = cross({b[0] - a[0], b[1] - a[1], b[2] - a[2]}, {c[0] - a[0], c[1] - a[1], c[2] - a[2]});
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length <= 1e-10) return {1.0, 0.0, 0.0};
    return {n[0] / length, n[1] / length, n[2] / length};
}

int32_t armourSlotOf(uint32_t part, double averageY) {
    if (part == 1 || part == 2) return 1;
    if (part == 3 || part == 4) return averageY < 0.25 ? 3 : 2;
    if (averageY > 1.4) return 0;
    return averageY > 0.83 ? 1 : 2;
}

bool isArmoured(const ArmourWorn& worn, int32_t slot, double normalZ) {
    return worn[static_cast<std::size_t>(slot)] && (slot != 0 || normalZ >= -0.5);
}

std::array<float, 3> armourColour(int32_t slot, float shade) {
    const float b = 0.63f - (slot == 2 ? 0.06f : slot == 3 ? 0.12f : 0.0f);
    return {b * shade, (b + 0.05f) * shade, (b + 0.1f) * shade};
}

void appendFirstPersonArm(std::vector<MeshVertex>& out, const std::vector<VxmVertex>& mesh, const Double3& anchor,
                          const ViewBasis& basis, const Double3& eye) {
    double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
    for (const VxmVertex& v : mesh) {
        if (v.part != 2) continue;
        const Double3 p = at(v);
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
    }
    const double cx = (lo[0] + hi[0]) / 2.0, cz = (lo[2] + hi[2]) / 2.0, h = std::max(hi[1] - lo[1], 0.001);
    const Double3 p = normalised({0.2, -0.52, -0.32}), q = normalised({0.52, 0.2, 0.0});
    const Double3 r = normalised(cross(q, p));
    for (const VxmVertex& v : mesh) {
        if (v.part != 2) continue;
        const double t = (v.y - lo[1]) / h * 0.65, a = (v.x - cx) * 0.7, b = (v.z - cz) * 0.7;
        Double3 view{};
        for (int k = 0; k < 3; ++k) view[k] = anchor[k] + p[k] * t + q[k] * a + r[k] * b;
        out.push_back(skinVertex(viewToWorld(basis, eye, view), v));
    }
}

double localLimbAngle(uint32_t part, const BodyPose& pose) {
    if (part == 1 || part == 4) return pose.limb;
    if (part == 3) return -pose.limb;
    if (part == 2) return pose.raised ? 0.0 : -pose.limb + 0.85 * pose.swing;
    return 0.0;
}

void appendThirdPersonBody(std::vector<MeshVertex>& out, const std::vector<VxmVertex>& mesh, const BodyPose& pose,
                           const ArmourWorn& worn) {
    const double top = partTop(mesh), turn = pose.pitch + std::numbers::pi / 2.0;
    for (std::size_t i = 0; i + 2 < mesh.size(); i += 3) {
        const Double3 n = triangleNormal(at(mesh[i]), at(mesh[i + 1]), at(mesh[i + 2]));
        const double averageY = (mesh[i].y + mesh[i + 1].y + mesh[i + 2].y) / 3.0;
        const int32_t slot = armourSlotOf(mesh[i].part, averageY);
        const bool armoured = isArmoured(worn, slot, n[2]);
        const std::array<float, 3> colour = armourColour(slot, bodyShade(n));
        for (std::size_t k = i; k < i + 3; ++k) {
            const VxmVertex& v = mesh[k];
            Double3 l = swingAboutPivot(poseAboutPivot(v), v, localLimbAngle(v.part, pose));
            if (pose.raised && v.part == 2) {
                const double c = std::cos(turn), s = std::sin(turn), y = l[1] - top;
                l = {l[0], c * y - s * l[2] + top, c * l[2] + s * y};
            }
            MeshVertex vertex = skinVertex(bodyToWorld(l, pose.eye, pose.yaw), v);
            if (armoured) {
                vertex.r = colour[0], vertex.g = colour[1], vertex.b = colour[2];
                vertex.layer = kArmourMaterial;
            }
            out.push_back(vertex);
        }
    }
}

void appendGlider(std::vector<MeshVertex>& out, const voxel::BlockDef& glider, uint8_t gliderId, const Double3& eye,
                  double yaw, bool spread) {
    const double s = spread ? 1.0 : 0.28;
    for (const ModelVertex& m : glider.modelVertices) {
        const Double3 l{(m.x - 0.5) * s, m.y + 0.55, (m.z - 0.5) + 0.28};
        out.push_back(heldVertex(m, gliderId, bodyToWorld(l, eye, yaw)));
    }
}

double remoteLimbAngle(uint32_t part, double angle) {
    if (part == 1 || part == 4) return angle;
    if (part == 2 || part == 3) return -angle;
    return 0.0;
}

bool appendRemotePlayer(std::vector<MeshVertex>& out, const std::vector<VxmVertex>& mesh,
                        const std::array<float, 7>& pose) {
    for (std::size_t k : {0, 1, 2, 3, 5, 6})
        if (!std::isfinite(pose[k])) return false;
    const Double3 eye{pose[0], pose[1], pose[2]};
    const double limb = std::sin(pose[6]) * pose[5] * 0.55;
    for (const VxmVertex& v : mesh) {
        const Double3 l = swingAboutPivot(poseAboutPivot(v), v, remoteLimbAngle(v.part, limb));
        out.push_back(skinVertex(bodyToWorld(l, eye, pose[3]), v));
    }
    return true;
}

}  // namespace render
