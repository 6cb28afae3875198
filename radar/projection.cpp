#include "radar/projection.h"

#include <cmath>

#include "core/flight.h"
#include "radar/radar_view.h"

namespace aerova {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Column-major element (row r, column c).
constexpr int At(int r, int c) {
    return c * 4 + r;
}

std::array<double, 4> Transform(const Matrix4& m, const std::array<double, 4>& v) {
    std::array<double, 4> out{};
    for (int r = 0; r < 4; ++r) {
        out[r] = m[At(r, 0)] * v[0] + m[At(r, 1)] * v[1] + m[At(r, 2)] * v[2] + m[At(r, 3)] * v[3];
    }
    return out;
}

std::array<double, 4> ClipCoordinates(const ModelPoint& p, const FrameProjection& frame) {
    const std::array<double, 4> model{p.x, p.y, p.z, 1.0};
    return Transform(frame.projection, Transform(frame.modelview, model));
}

}  // namespace

Matrix4 IdentityMatrix() {
    Matrix4 m{};
    m[At(0, 0)] = m[At(1, 1)] = m[At(2, 2)] = m[At(3, 3)] = 1.0;
    return m;
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 c{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[At(row, k)] * b[At(k, col)];
            c[At(row, col)] = sum;
        }
    }
    return c;
}

Matrix4 PerspectiveMatrix(double fovyDeg, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovyDeg * kPi / 360.0);
    Matrix4 m{};
    m[At(0, 0)] = f / aspect;
    m[At(1, 1)] = f;
    m[At(2, 2)] = (zFar + zNear) / (zNear - zFar);
    m[At(2, 3)] = 2.0 * zFar * zNear / (zNear - zFar);
    m[At(3, 2)] = -1.0;
    return m;
}

Matrix4 TranslationMatrix(double x, double y, double z) {
    Matrix4 m = IdentityMatrix();
    m[At(0, 3)] = x;
    m[At(1, 3)] = y;
    m[At(2, 3)] = z;
    return m;
}

Matrix4 RotationMatrix(double angleDeg, double x, double y, double z) {
    const double len = std::sqrt(x * x + y * y + z * z);
    if (len == 0) return IdentityMatrix();
    x /= len;
    y /= len;
    z /= len;
    const double a = angleDeg * kPi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double t = 1.0 - c;
    Matrix4 m = IdentityMatrix();
    m[At(0, 0)] = x * x * t + c;
    m[At(0, 1)] = x * y * t - z * s;
    m[At(0, 2)] = x * z * t + y * s;
    m[At(1, 0)] = y * x * t + z * s;
    m[At(1, 1)] = y * y * t + c;
    m[At(1, 2)] = y * z * t - x * s;
    m[At(2, 0)] = x * z * t - y * s;
    m[At(2, 1)] = y * z * t + x * s;
    m[At(2, 2)] = z * z * t + c;
    return m;
}

Matrix4 OrthoMatrix(double left, double right, double bottom, double top, double zNear,
                    double zFar) {
    Matrix4 m = IdentityMatrix();
    m[At(0, 0)] = 2.0 / (right - left);
    m[At(1, 1)] = 2.0 / (top - bottom);
    m[At(2, 2)] = -2.0 / (zFar - zNear);
    m[At(0, 3)] = -(right + left) / (right - left);
    m[At(1, 3)] = -(top + bottom) / (top - bottom);
    m[At(2, 3)] = -(zFar + zNear) / (zFar - zNear);
    return m;
}

Matrix4 PixelProjection(int width, int height) {
    return OrthoMatrix(0, width > 0 ? width : 1, 0, height > 0 ? height : 1, -1, 1);
}

FrameProjection ViewProjection(const RadarView& view, int width, int height) {
    FrameProjection frame;
    const int w = width > 0 ? width : 1;
    const int h = height > 0 ? height : 1;
    frame.viewport = {0, 0, w, h};
    frame.projection = PerspectiveMatrix(kFieldOfViewDeg, static_cast<double>(w) / h, kNearPlane,
                                         static_cast<double>(view.cameraDistance) - kFarPlaneCut);
    // Camera on the line from the centre through the view point, looking at the centre:
    // rotate the view point onto +z, then move the globe away by the camera distance.
    frame.modelview =
        Multiply(TranslationMatrix(0, 0, -static_cast<double>(view.cameraDistance)),
                 Multiply(RotationMatrix(view.centreLat, 1, 0, 0),
                          RotationMatrix(-static_cast<double>(view.centreLon), 0, 1, 0)));
    return frame;
}

FrameProjection BeginFrameProjection(RadarView& view, int width, int height,
                                     const Tflight* followed) {
    // A followed target that has lost its position (or its slot) would pull the view to
    // 0 N 0 E; the view then stays where it is.
    if (followed != nullptr && followed->live() && !followed->nopos) {
        view.centreLat = followed->latf;
        view.centreLon = followed->lonf;
        view.targetLat = followed->latf;
        view.targetLon = followed->lonf;
    }
    return ViewProjection(view, width, height);
}

std::optional<WindowPoint> Project(const ModelPoint& point, const Matrix4& modelview,
                                   const Matrix4& projection, const std::array<int, 4>& viewport) {
    const std::array<double, 4> model{point.x, point.y, point.z, 1.0};
    const std::array<double, 4> clip = Transform(projection, Transform(modelview, model));
    if (clip[3] == 0.0) return std::nullopt;
    const double nx = clip[0] / clip[3];
    const double ny = clip[1] / clip[3];
    const double nz = clip[2] / clip[3];
    WindowPoint out;
    out.x = viewport[0] + (1.0 + nx) * viewport[2] / 2.0;
    out.y = viewport[1] + (1.0 + ny) * viewport[3] / 2.0;
    out.z = (1.0 + nz) / 2.0;
    return out;
}

std::optional<WindowPoint> Project(const ModelPoint& point, const FrameProjection& frame) {
    return Project(point, frame.modelview, frame.projection, frame.viewport);
}

std::optional<PixelPoint> RasterPosition(const ModelPoint& point, const FrameProjection& frame) {
    const std::array<double, 4> clip = ClipCoordinates(point, frame);
    const double w = clip[3];
    if (!(w > 0.0)) return std::nullopt;
    for (int i = 0; i < 3; ++i) {
        if (clip[i] < -w || clip[i] > w) return std::nullopt;
    }
    const auto& vp = frame.viewport;
    PixelPoint out;
    out.x = static_cast<int>(std::lround(vp[0] + (1.0 + clip[0] / w) * vp[2] / 2.0));
    out.y = static_cast<int>(std::lround(vp[1] + (1.0 + clip[1] / w) * vp[3] / 2.0));
    return out;
}

std::optional<PixelPoint> TargetPixel(float latDeg, float lonDeg, const FrameProjection& frame) {
    return RasterPosition(GeoToModel(latDeg, lonDeg, kTargetHeightKm), frame);
}

}  // namespace aerova
