#include "selftest/scene_probe.h"

#include <stdexcept>

#include "app/app.h"
#include "selftest/scenarios.h"

namespace selftest {

std::optional<Pixel> projectToPixel(const render::Matrix4& m, const std::array<double, 3>& point, uint32_t width,
                                    uint32_t height) {
    const double x = point[0], y = point[1], z = point[2];
    const double cx = m[0] * x + m[4] * y + m[8] * z + m[12];
    const double cy = m[1] * x + m[5] * y + m[9] * z + m[13];
    const double cw = m[3] * x + m[7] * y + m[11] * z + m[15];
    if (cw <= 0.0) return std::nullopt;
    const double px = (cx / cw * 0.5 + 0.5) * width, py = (cy / cw * 0.5 + 0.5) * height;
    if (px < 0.0 || py < 0.0 || px >= width || py >= height) return std::nullopt;
    return Pixel{static_cast<int32_t>(px), static_cast<int32_t>(py)};
}

Region probeAt(App& app, float fov, const platform::Image& image, const std::array<double, 3>& point, uint32_t half,
               const std::string& what) {
    render::Matrix4 camera{};
    app.computeCamera(camera.data(), fov);
    const std::optional<Pixel> p = projectToPixel(camera, point, image.width, image.height);
    const auto h = static_cast<int64_t>(half);
    if (!p || p->x < h || p->y < h || p->x + h >= int64_t(image.width) || p->y + h >= int64_t(image.height))
        throw std::runtime_error("Checked point is not in the capture: " + what);
    return {static_cast<uint32_t>(p->x - h), static_cast<uint32_t>(p->y - h), static_cast<uint32_t>(p->x + h),
            static_cast<uint32_t>(p->y + h)};
}

platform::Image captureChecked(App& app, const std::string& file) {
    const Path png = app.files.base / file;
    if (!captureFrame(app, png)) throw std::runtime_error("Render capture was not written: " + png.string());
    platform::Image image = platform::decodePng(png);
    requireNotFlat(image, file);
    return image;
}

}  // namespace selftest
