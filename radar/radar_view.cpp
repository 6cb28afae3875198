#include "radar/radar_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/flight_table.h"

namespace aerova {
namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

float ClampLatitude(float lat) {
    return std::clamp(lat, -90.0f, 90.0f);
}

// Wraps any longitude into -180..180 (used where a step can be larger than a turn).
float NormaliseLongitude(double lon) {
    if (!std::isfinite(lon)) return 0.0f;
    double wrapped = std::fmod(lon + 180.0, 360.0);
    if (wrapped < 0) wrapped += 360.0;
    return static_cast<float>(wrapped - 180.0);
}

void SetTargetToCurrent(RadarView& view) {
    view.targetLat = view.centreLat;
    view.targetLon = view.centreLon;
    view.targetDistance = view.cameraDistance;
}

}  // namespace

RadarView MakeRadarView(int windowNumber) {
    RadarView view;
    SetView(view, 53.6f, 10.0f, windowNumber == 2 ? 15000.0f : 7000.0f);
    return view;
}

void SetView(RadarView& view, float lat, float lon, float distance) {
    view.centreLat = lat;
    view.centreLon = lon;
    view.cameraDistance = distance;
    SetTargetToCurrent(view);
}

std::string CameraAltitudeText(const RadarView& view) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "Alt: %6.1f km",
                  static_cast<double>(view.cameraDistance - kSurfaceDistance));
    return buf;
}

float WheelStepKm(float d) {
    if (d < 6380) return 0.005f;
    if (d < 6500) return 0.05f;
    if (d < 7000) return 0.2f;
    if (d < 8000) return 1.5f;
    if (d < 9000) return 3.0f;
    return 6.0f;
}

float KeyZoomStepKm(float d) {
    if (d < 6380) return 1;
    if (d < 6400) return 5;
    if (d < 6500) return 10;
    if (d < 7000) return 50;
    return 200;
}

float PanStepDegrees(float d) {
    if (d < 6380) return 0.01f;
    if (d < 6400) return 0.05f;
    if (d < 6500) return 0.1f;
    if (d < 7000) return 0.5f;
    return 5.0f;
}

float DragDivisor(float d) {
    if (d < 6377) return 5000;
    if (d < 6400) return 2000;
    if (d < 6500) return 500;
    if (d < 6600) return 240;
    if (d < 6700) return 120;
    if (d < 7000) return 60;
    if (d < 8000) return 30;
    return 4;
}

float WrapPanLongitude(float lon) {
    if (lon > 180.0f) return -180.0f;
    if (lon < -180.0f) return 180.0f;
    return lon;
}

void ZoomByWheel(RadarView& view, int wheelDelta) {
    const float d = view.cameraDistance;
    float next = d + static_cast<float>(wheelDelta) * WheelStepKm(d);
    next = std::min(next, view.maxDistance);
    next = std::max(next, kMinWheelDistance);
    view.cameraDistance = next;
    view.targetDistance = next;
    view.zoomReference = next;
}

void ZoomStep(RadarView& view, ZoomDirection direction) {
    const float d = view.cameraDistance;
    const float step = KeyZoomStepKm(d);
    float next = d;
    if (direction == ZoomDirection::Out) {
        next = std::min(d + step, view.maxDistance);
    } else {
        next = std::max(d - step, kMinKeyDistance);
    }
    view.cameraDistance = next;
    view.targetDistance = next;
    view.zoomReference = next;
}

void PanStep(RadarView& view, PanDirection direction) {
    const float step = PanStepDegrees(view.cameraDistance);
    switch (direction) {
        case PanDirection::Up:
            view.centreLat = ClampLatitude(view.centreLat + step);
            break;
        case PanDirection::Down:
            view.centreLat = ClampLatitude(view.centreLat - step);
            break;
        case PanDirection::Right:
            view.centreLon = WrapPanLongitude(view.centreLon + step);
            break;
        case PanDirection::Left:
            view.centreLon = WrapPanLongitude(view.centreLon - step);
            break;
    }
    view.targetLat = view.centreLat;
    view.targetLon = view.centreLon;
}

void DragPan(RadarView& view, int dx, int dy) {
    const float divisor = DragDivisor(view.cameraDistance);
    const float ratio = view.zoomReference / view.dragRadius;
    const float gain = ratio * ratio;
    view.targetLon = WrapPanLongitude(view.centreLon - gain * static_cast<float>(dx) / divisor);
    view.targetLat = ClampLatitude(view.centreLat + gain * static_cast<float>(dy) / divisor);
    view.targetDistance = view.cameraDistance;
}

void CentreOnPixel(RadarView& view, int x, int y, int width, int height) {
    const double k = (static_cast<double>(view.cameraDistance) - kSurfaceDistance) / 190.0;
    const double halfWidth = width / 2;
    const double halfHeight = height / 2;
    const double cosLat = std::cos(view.centreLat * kDegToRad);
    const double lat = view.centreLat - 2.0 * k * (y - halfHeight) / 1000.0;
    double lon = view.centreLon;
    // At the poles the longitude step has no meaning; keep the longitude.
    if (std::fabs(cosLat) > 1e-6) lon += 2.0 * k * (x - halfWidth) / 1000.0 / cosLat;
    view.centreLat = ClampLatitude(static_cast<float>(lat));
    view.centreLon = NormaliseLongitude(lon);
    view.targetLat = view.centreLat;
    view.targetLon = view.centreLon;
}

bool ApplyViewTimer(RadarView& view) {
    if (view.targetLat == view.centreLat && view.targetLon == view.centreLon &&
        view.targetDistance == view.cameraDistance) {
        return false;
    }
    view.centreLat = view.targetLat;
    view.centreLon = view.targetLon;
    view.cameraDistance = view.targetDistance;
    return true;
}

void SaveView(SavedView& slot, const RadarView& view) {
    slot.present = true;
    slot.centreLat = view.centreLat;
    slot.centreLon = view.centreLon;
    slot.cameraDistance = view.cameraDistance;
}

bool RestoreView(RadarView& view, WindowTargetMarks& marks, const SavedView& slot) {
    if (!slot.present) return false;
    SetView(view, slot.centreLat, slot.centreLon, slot.cameraDistance);
    marks.selected = -1;
    marks.followed = -1;
    return true;
}

}  // namespace aerova
