#pragma once
// The camera of one frame as plain matrices: a 60 degree perspective whose far plane
// cuts away the far side of the globe, and a model-view that puts the view centre on
// the positive z axis straight in front of the camera. The renderer loads these
// matrices; picking and tests project points with them without a graphics context.
//
// Matrices are column-major 4x4 arrays, exactly as glLoadMatrixd expects them.

#include <array>
#include <optional>

#include "radar/geo_model.h"

namespace aerova {

struct RadarView;
struct Tflight;

using Matrix4 = std::array<double, 16>;

constexpr double kFieldOfViewDeg = 60.0;
constexpr double kNearPlane = 1.0;
constexpr double kFarPlaneCut = 2000.0;  // far plane = cameraDistance - 2000

struct FrameProjection {
    Matrix4 projection{};
    Matrix4 modelview{};
    std::array<int, 4> viewport{};  // x, y, width, height: the whole drawing panel
};

// One frame's camera for a panel of width x height pixels (steps 2 to 6 of a frame).
// When the window follows a flight (`followed` non-null), the view centre and target
// first take that flight's position, so the view is written back.
FrameProjection BeginFrameProjection(RadarView& view, int width, int height,
                                     const Tflight* followed);

// The same matrices for a given view, without following anything.
FrameProjection ViewProjection(const RadarView& view, int width, int height);

Matrix4 IdentityMatrix();
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);  // a * b
Matrix4 PerspectiveMatrix(double fovyDeg, double aspect, double zNear,
                          double zFar);                                 // gluPerspective
Matrix4 TranslationMatrix(double x, double y, double z);                // glTranslate
Matrix4 RotationMatrix(double angleDeg, double x, double y, double z);  // glRotate
Matrix4 OrthoMatrix(double left, double right, double bottom, double top, double zNear,
                    double zFar);  // glOrtho
// The overlays' pixel projection: origin lower left, one unit per pixel.
Matrix4 PixelProjection(int width, int height);

struct WindowPoint {
    double x = 0, y = 0, z = 0;  // window coordinates, origin lower left; z in 0..1
};

// gluProject: model point to window coordinates; empty only when the point lies in the
// plane of the eye (w = 0). It does not check the view volume.
std::optional<WindowPoint> Project(const ModelPoint& point, const Matrix4& modelview,
                                   const Matrix4& projection, const std::array<int, 4>& viewport);
std::optional<WindowPoint> Project(const ModelPoint& point, const FrameProjection& frame);

struct PixelPoint {
    int x = 0, y = 0;  // whole pixels, origin lower left
};

// The raster position a target gets: the projected point rounded to whole pixels, empty
// (invisible for labels and picking) when the point lies outside the view volume -
// clipped by the window edges, behind the camera or beyond the far plane.
std::optional<PixelPoint> RasterPosition(const ModelPoint& point, const FrameProjection& frame);
// Convenience for a geographic position at the target height (0.01 km).
std::optional<PixelPoint> TargetPixel(float latDeg, float lonDeg, const FrameProjection& frame);

}  // namespace aerova
