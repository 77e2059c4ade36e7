#include "render/view/view_planes.h"

namespace render {

namespace {

struct Row {
    float x, y, z, w;
};

Row row(const Matrix4& m, int r) { return {m[r], m[4 + r], m[8 + r], m[12 + r]}; }

Plane sum(const Row& a, const Row& b, float sign) {
    return {a.x + sign * b.x, a.y + sign * b.y, a.z + sign * b.z, a.w + sign * b.w};
}

}  // namespace

ViewPlanes extractViewPlanes(const Matrix4& m) {
    const Row r0 = row(m, 0), r1 = row(m, 1), r2 = row(m, 2), r3 = row(m, 3);
    return {sum(r3, r0, 1.0f), sum(r3, r0, -1.0f), sum(r3, r1, 1.0f),
            sum(r3, r1, -1.0f), Plane{r2.x, r2.y, r2.z, r2.w}, sum(r3, r2, -1.0f)};
}

bool boxInView(const ViewPlanes& planes, const Box& box) {
    for (const Plane& p : planes) {
        const double x = p.nx >= 0.0f ? box[3] : box[0];
        const double y = p.ny >= 0.0f ? box[4] : box[1];
        const double z = p.nz >= 0.0f ? box[5] : box[2];
        if (p.nx * x + p.ny * y + p.nz * z + p.w < -0.01) return false;
    }
    return true;
}

Box widenedBox(const Box& box, double margin) {
    return {box[0] - margin, box[1] - margin, box[2] - margin, box[3] + margin, box[4] + margin, box[5] + margin};
}

Box chunkColumnBox(int32_t cx, int32_t cz) {
    const double x = 16.0 * cx, z = 16.0 * cz;
    return {x - 1.0, -2.0, z - 1.0, x + 17.0, 131.0, z + 17.0};
}

}  // namespace render
