#pragma once
// What the user does to a radar window with the keyboard and the mouse, as plain rules:
// which command a key means, what the wheel does where, how hovering, clicking and double
// clicking change the highlight, selection, following and the display switches. The
// window turns its events into these calls and carries out the returned actions (view
// steps, window moves, dialogs, redraws).

#include "core/flight_table.h"
#include "radar/display_state.h"
#include "radar/screen_cache.h"

namespace aerova {

// ---- Keyboard -------------------------------------------------------------------------

enum class RadarKey {
    kOther,
    kF1,
    kF4,
    kSpace,
    kComma,
    kPageUp,
    kPageDown,
    kLeft,
    kRight,
    kUp,
    kDown,
    kLetter,
    kDigit
};

struct KeyPress {
    RadarKey key = RadarKey::kOther;
    // 'A'..'Z' for letters, '0'..'9' for the main-row digits (keypad digits are kOther).
    char ch = 0;
    bool ctrl = false, alt = false, shift = false;
};

enum class RadarCommand {
    kNone,
    kMoveWindowTo10,  // Ctrl+Alt+F: the active window to (10, 10)
    kToggleHelp,
    kQuit,
    kToggleControlBar,  // 30 pixels when lower, otherwise 3
    kShowGlDescriptor,
    kShowBstControl,
    kShowSearch,           // Ctrl+F: the search window
    kShowAircraftDetails,  // Ctrl+D: the aircraft details of the selected target
    kToggleAllWaypoints,
    kToggleReceiverSettings,
    kToggleFreeze,
    kToggleNoPositionList,
    kToggleGrid,
    kToggleWinds,
    kSaveJpeg,
    kShowLabelEditor,
    kToggleLabelOption,
    kShowSidePanels,
    kToggleCentreMark,
    kHideSidePanels,
    kToggleAllOutlines,
    kPrintBlackAndWhite,
    kPrintColour,
    kToggleLightning,
    kToggleRings,
    kNextSeparation,
    kToggleWaypointLayer20,
    kToggleUserColourOnly,
    kToggleWaypointLayer14,
    kToggleOverlay,
    kShowRadar1,
    kShowRadar2,
    kUpperFilterDown,  // key 6: one level lower
    kUpperFilterUp,    // key 7
    kLowerFilterDown,  // key 8
    kLowerFilterUp,    // key 9
    kZoomOut,          // Page Up
    kZoomIn,           // Page Down
    kPanUp,
    kPanDown,
    kPanLeft,
    kPanRight
};

// The command of a key. A modifier a command names must be held; others may be held too
// (Ctrl+Shift+B is Ctrl+B). F4 means something only with Alt, C only with Ctrl, I only with
// Shift, comma only with Ctrl+Alt.
RadarCommand CommandForKey(const KeyPress& key);
// False for the commands after which the window does not redraw (and for kNone).
bool CommandRedraws(RadarCommand command);

// ---- Altitude filters -----------------------------------------------------------------
// `cbupper` and `cblower` hold items of FilterItems(): a lower index is a higher altitude,
// and the lower filter is never above the upper one (its index never below the upper's).

// Index of a filter text in FilterItems(); -1 for a text not in the list.
int FilterIndex(const std::string& text);
// Keys 6, 7, 8 and 9 (kUpperFilterDown ... kLowerFilterUp); other commands do nothing.
void StepFilters(RadarCommand command, RadarDisplayState& display);
// The user picks an item in the upper or lower list; the other filter follows when it
// would cross. An index outside the list changes nothing.
void PickUpperFilter(int index, RadarDisplayState& display);
void PickLowerFilter(int index, RadarDisplayState& display);

// Separation-circle choice 0 -> 3 -> 5 -> 10 -> 0 (key S, click, wheel away from the user).
int NextSeparation(int current);

// The commands that only change the display state: S, Z, M, L, U and the filter keys.
// Returns false, changing nothing, for every other command.
bool ApplyDisplayCommand(RadarCommand command, RadarDisplayState& display);

// ---- Mouse wheel ----------------------------------------------------------------------
// A positive delta is the wheel turned away from the user.

enum class WheelZone { kUpperFilter, kLowerFilter, kDeadRow, kSeparation, kLevelSelector, kZoom };

// The zone under client pixel (x, y), y from the top.
WheelZone WheelZoneAt(int x, int y);
// Away: 0 -> 3 -> 5 -> 10 -> 0. Towards: 10 -> 5 -> 3 -> 0, any other value -> 10.
// A zero delta keeps the value.
int SeparationAfterWheel(int current, int delta);
// Away: 60 -> 120 -> 190 -> 240 -> 300 -> 380 -> 0, any other value -> 60. Towards:
// 380 -> 300 -> 240 -> 190 -> 120 -> 60 -> 0, any other value -> 380.
int LevelAfterWheel(int current, int delta);
// One notch in a zone that changes the display state (filters, separation, level
// selector); the dead row and the zoom zone change nothing here.
void ApplyWheel(WheelZone zone, int delta, RadarDisplayState& display);

// Touchpads send small deltas: they add up until a whole notch of +-120 is due.
class WheelAccumulator {
  public:
    static constexpr int kNotch = 120;
    // Whole notches now due (signed); the rest is kept for the next delta.
    int Add(int delta);

  private:
    int rest_ = 0;
};

// ---- Mouse on the picture -------------------------------------------------------------

struct RadarInteraction {
    bool stickyHighlight = false;  // the highlight stays when the cursor leaves the target
    int lastX = 0, lastY = 0;      // panel pixels of the last move, y from the top
    bool lastCtrl = false;
    int cursorX = 0, cursorY = 0;  // screen cursor at the last move, for drag panning
};

// Pixels of the band along the panel's edges that moves the window.
constexpr int kEdgeBand = 10;
// True inside the band along the edges of a panel of width x height.
bool InEdgeBand(int x, int y, int width, int height);

// The target under panel pixel (x, yFromTop): the first slot shown on this window's last
// frame, neither deleted nor without position, within 6 pixels on both axes; -1 if none.
int PickTarget(const ScreenCache& cache, const FlightTable& table, int x, int yFromTop, int height);

struct MouseMove {
    int x = 0, y = 0;  // panel pixels, y from the top
    int width = 0, height = 0;
    bool leftHeld = false, ctrl = false;
    int screenX = 0, screenY = 0;  // the cursor on the screen
};

struct MoveResult {
    bool edgeBand = false;  // show the drag cursor (a press there moves the window)
    bool redraw = false;
    bool pan = false;  // DragPan by (panDx, panDy)
    int panDx = 0, panDy = 0;
};

// Hover: highlights a qualifying target under the cursor or drops a non-sticky highlight,
// and with the left button held drags the view. `marks` are this window's marks. A move
// that finds a target neither pans nor updates the stored cursor, so the displacement made
// over it is applied at the next move that pans.
MoveResult HandleMouseMove(const MouseMove& move, RadarInteraction& interaction,
                           RadarDisplayState& display, WindowTargetMarks& marks,
                           const ScreenCache& cache, const FlightTable& table);

enum class MouseButton { kLeft, kRight, kMiddle };

struct MouseDown {
    MouseButton button = MouseButton::kLeft;
    int x = 0, y = 0;  // panel pixels, y from the top
    int width = 0, height = 0;
    bool ctrl = false, alt = false, shift = false;
};

enum class DownResult {
    kNothing,
    kRedraw,
    kSystemMove,  // release the capture; the window system moves the window with the mouse
    kMaximise,    // remember the normal bounds, then maximise
    kRestore      // back to the normal window state
};

// A press on the picture: window move from the edge band, sticky highlight (middle),
// follow, label rotation, selection, and the separation, "Max"/"Nrm" and automatic
// label-set boxes. Ctrl for follow and Alt for label rotation must be held alone.
DownResult HandleMouseDown(const MouseDown& down, RadarInteraction& interaction,
                           RadarDisplayState& display, WindowTargetMarks& marks, ScreenCache& cache,
                           FlightTable& table);

struct DoubleClickResult {
    bool redraw = false;
    bool centre = false;  // CentreOnPixel at (x, y)
};

// Double click at the last mouse position: inside the filter box both filters go back to
// "UNL" and "GND"; then the view centres there unless (x, y) is in the boxes of the top
// left corner and the left edge.
DoubleClickResult HandleDoubleClick(int x, int y, RadarDisplayState& display);

// The METAR airport box keeps letters and digits only, upper-cased, at most four: the code
// goes into a request and the settings.
std::string CleanAirportCode(std::string_view text);

}  // namespace aerova
