#pragma once
// The camera of one radar window: where it looks, how far away it is, and the rules by
// which keys, the wheel and the mouse move it. The steps scale with the camera height so
// that a close view moves in metres and a far view in hundreds of kilometres.
//
// Selection, highlight and follow marks of a window live in the flight table's
// WindowTargetMarks; the view functions that need them take those marks.

#include <string>

namespace aerova {

struct WindowTargetMarks;  // core/flight_table.h

// Camera distances from the earth's centre, km.
constexpr float kMaxCameraDistance = 42372.5f;
constexpr float kMinWheelDistance = 6372.5f;  // the wheel may go down to the surface
constexpr float kMinKeyDistance = 6373.0f;    // Page Down stops half a kilometre above it
constexpr float kSurfaceDistance = 6372.5f;   // the camera height is measured from here
constexpr float kDragRadius = 6373.0f;
constexpr float kInitialZoomReference = 7000.0f;
constexpr int kViewTimerIntervalMs = 50;

struct RadarView {
    float centreLat = 53.6f;
    float centreLon = 10.0f;
    float cameraDistance = 7000.0f;
    // The view asked for by mouse dragging; the view timer makes it current.
    float targetLat = 53.6f;
    float targetLon = 10.0f;
    float targetDistance = 7000.0f;
    float zoomReference = kInitialZoomReference;  // camera distance at the last zoom step
    float maxDistance = kMaxCameraDistance;
    float dragRadius = kDragRadius;
    // Ring centre (the station position of this window) as decimal-degree text.
    std::string ringCentreLatText = "53.5300";
    std::string ringCentreLonText = "010.1600";
};

// A fresh view of radar window 1 or 2 with the settings' first-start values
// (window 1 at 7000 km, window 2 at 15000 km, both over 53.6 N 10.0 E).
RadarView MakeRadarView(int windowNumber);

// Sets current and target view together (settings load, search, airport centre).
void SetView(RadarView& view, float lat, float lon, float distance);

// Height of the camera above the surface as the window shows it: "Alt: " "%6.1f" " km".
std::string CameraAltitudeText(const RadarView& view);

// Wheel zoom; a positive delta (wheel turned away from the user) zooms out. Current,
// target and zoom reference take the new distance, limited to maxDistance..6372.5.
// The caller redraws at once, re-enables its view timer and sets the view-changed mark.
void ZoomByWheel(RadarView& view, int wheelDelta);

enum class ZoomDirection { Out, In };  // Page Up, Page Down
enum class PanDirection { Up, Down, Left, Right };

// Key zoom: out limited to maxDistance, in limited to 6373.
void ZoomStep(RadarView& view, ZoomDirection direction);
// Arrow-key pan; latitude clamps at +-90, longitude past +-180 jumps to the other edge.
void PanStep(RadarView& view, PanDirection direction);
// Mouse drag with the left button: (dx, dy) screen pixels since the last mouse event,
// y growing downwards. Moves only the target view; the view timer applies it.
void DragPan(RadarView& view, int dx, int dy);
// Double click: centres (approximately) on pixel (x, y) of a panel of width x height,
// y growing downwards. Current and target view change.
void CentreOnPixel(RadarView& view, int x, int y, int width, int height);

// One tick of the window's 50 ms view timer: true when the target view differed and has
// become the current view (the window then redraws).
bool ApplyViewTimer(RadarView& view);

// The one view slot shared by both windows ("Restore last view before center").
struct SavedView {
    bool present = false;
    float centreLat = 0, centreLon = 0, cameraDistance = 0;
};

void SaveView(SavedView& slot, const RadarView& view);
// Copies the saved view into current and target view and clears the window's selection
// and following. An empty slot changes nothing; returns whether the view changed.
bool RestoreView(RadarView& view, WindowTargetMarks& marks, const SavedView& slot);

// Step tables, public for the overlays and tests. `d` is the camera distance.
float WheelStepKm(float d);
float KeyZoomStepKm(float d);
float PanStepDegrees(float d);
float DragDivisor(float d);

// Longitude after a pan step: above 180 becomes -180, below -180 becomes 180.
float WrapPanLongitude(float lon);

}  // namespace aerova
