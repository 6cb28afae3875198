#include "radar/radar_input.h"

#include <cstdlib>
#include <iterator>

namespace aerova {

namespace {

RadarCommand LetterCommand(const KeyPress& k) {
    switch (k.ch) {
        case 'B':
            return k.ctrl ? RadarCommand::kShowBstControl : RadarCommand::kToggleAllWaypoints;
        case 'C':
            return k.ctrl ? RadarCommand::kToggleReceiverSettings : RadarCommand::kNone;
        case 'D':
            return k.ctrl ? RadarCommand::kShowAircraftDetails : RadarCommand::kNone;
        case 'F':
            if (k.ctrl && k.alt) return RadarCommand::kMoveWindowTo10;
            if (k.ctrl) return RadarCommand::kShowSearch;
            return k.shift ? RadarCommand::kToggleFreeze : RadarCommand::kToggleNoPositionList;
        case 'G':
            return RadarCommand::kToggleGrid;
        case 'I':
            return k.shift ? RadarCommand::kToggleWinds : RadarCommand::kNone;
        case 'J':
            return RadarCommand::kSaveJpeg;
        case 'L':
            return k.ctrl ? RadarCommand::kShowLabelEditor : RadarCommand::kToggleLabelOption;
        case 'M':
            return k.shift ? RadarCommand::kShowSidePanels : RadarCommand::kToggleCentreMark;
        case 'N':
            return k.shift ? RadarCommand::kHideSidePanels : RadarCommand::kNone;
        case 'O':
            return RadarCommand::kToggleAllOutlines;
        case 'P':
            return k.ctrl ? RadarCommand::kPrintBlackAndWhite : RadarCommand::kPrintColour;
        case 'Q':
            return RadarCommand::kToggleLightning;
        case 'R':
            return RadarCommand::kToggleRings;
        case 'S':
            return RadarCommand::kNextSeparation;
        case 'T':
            return RadarCommand::kToggleWaypointLayer20;
        case 'U':
            return RadarCommand::kToggleUserColourOnly;
        case 'V':
            return RadarCommand::kToggleWaypointLayer14;
        case 'Z':
            return RadarCommand::kToggleOverlay;
        default:
            return RadarCommand::kNone;
    }
}

RadarCommand DigitCommand(char ch) {
    switch (ch) {
        case '1':
            return RadarCommand::kShowRadar1;
        case '2':
            return RadarCommand::kShowRadar2;
        case '6':
            return RadarCommand::kUpperFilterDown;
        case '7':
            return RadarCommand::kUpperFilterUp;
        case '8':
            return RadarCommand::kLowerFilterDown;
        case '9':
            return RadarCommand::kLowerFilterUp;
        default:
            return RadarCommand::kNone;
    }
}

constexpr int kLastFilter = 47;  // "GND"

bool Within(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

// The filter box right of the separation box: the upper row, a dead row, the lower row.
bool InFilterBox(int x, int y) {
    return Within(x, 52, 97) && Within(y, 5, 28);
}

int UpperIndex(const RadarDisplayState& d) {
    const int i = FilterIndex(d.cbupper);
    return i < 0 ? 0 : i;
}
int LowerIndex(const RadarDisplayState& d) {
    const int i = FilterIndex(d.cblower);
    return i < 0 ? kLastFilter : i;
}
void SetFilters(RadarDisplayState& d, int upper, int lower) {
    d.cbupper = FilterItems()[upper];
    d.cblower = FilterItems()[lower];
}

// Only this modifier of Ctrl, Alt and Shift is down.
bool OnlyCtrl(const MouseDown& d) {
    return d.ctrl && !d.alt && !d.shift;
}
bool OnlyAlt(const MouseDown& d) {
    return d.alt && !d.ctrl && !d.shift;
}

}  // namespace

RadarCommand CommandForKey(const KeyPress& k) {
    switch (k.key) {
        case RadarKey::kF1:
            return RadarCommand::kToggleHelp;
        case RadarKey::kF4:
            return k.alt ? RadarCommand::kQuit : RadarCommand::kNone;
        case RadarKey::kSpace:
            return RadarCommand::kToggleControlBar;
        case RadarKey::kComma:
            return k.ctrl && k.alt ? RadarCommand::kShowGlDescriptor : RadarCommand::kNone;
        case RadarKey::kPageUp:
            return RadarCommand::kZoomOut;
        case RadarKey::kPageDown:
            return RadarCommand::kZoomIn;
        case RadarKey::kUp:
            return RadarCommand::kPanUp;
        case RadarKey::kDown:
            return RadarCommand::kPanDown;
        case RadarKey::kLeft:
            return RadarCommand::kPanLeft;
        case RadarKey::kRight:
            return RadarCommand::kPanRight;
        case RadarKey::kLetter:
            return LetterCommand(k);
        case RadarKey::kDigit:
            return DigitCommand(k.ch);
        case RadarKey::kOther:
            break;
    }
    return RadarCommand::kNone;
}

bool CommandRedraws(RadarCommand command) {
    switch (command) {
        case RadarCommand::kNone:
        case RadarCommand::kMoveWindowTo10:
        case RadarCommand::kToggleHelp:
        case RadarCommand::kQuit:
        case RadarCommand::kToggleControlBar:
        case RadarCommand::kShowGlDescriptor:
        case RadarCommand::kToggleWinds:
        case RadarCommand::kShowLabelEditor:
        case RadarCommand::kShowSearch:
        case RadarCommand::kShowAircraftDetails:
        case RadarCommand::kShowRadar1:
        case RadarCommand::kShowRadar2:
            return false;
        default:
            return true;
    }
}

int FilterIndex(const std::string& text) {
    const auto& items = FilterItems();
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
        if (items[i] == text) return i;
    return -1;
}

void StepFilters(RadarCommand command, RadarDisplayState& display) {
    int upper = UpperIndex(display);
    int lower = LowerIndex(display);
    switch (command) {
        case RadarCommand::kUpperFilterDown:
            if (upper < kLastFilter) ++upper;
            if (lower < upper) lower = upper;
            break;
        case RadarCommand::kUpperFilterUp:
            if (upper > 0) --upper;
            break;
        case RadarCommand::kLowerFilterDown:
            if (lower < kLastFilter) ++lower;
            break;
        case RadarCommand::kLowerFilterUp:
            if (lower > 0) --lower;
            if (lower < upper) upper = lower;
            break;
        default:
            return;
    }
    SetFilters(display, upper, lower);
}

void PickUpperFilter(int index, RadarDisplayState& display) {
    if (!Within(index, 0, kLastFilter)) return;
    const int lower = LowerIndex(display);
    SetFilters(display, index, lower < index ? index : lower);
}

void PickLowerFilter(int index, RadarDisplayState& display) {
    if (!Within(index, 0, kLastFilter)) return;
    const int upper = UpperIndex(display);
    SetFilters(display, index < upper ? index : upper, index);
}

int NextSeparation(int current) {
    switch (current) {
        case 0:
            return 3;
        case 3:
            return 5;
        case 5:
            return 10;
        default:
            return 0;
    }
}

bool ApplyDisplayCommand(RadarCommand command, RadarDisplayState& display) {
    switch (command) {
        case RadarCommand::kNextSeparation:
            display.separation = NextSeparation(display.separation);
            return true;
        case RadarCommand::kToggleOverlay:
            display.overlayHidden = !display.overlayHidden;
            return true;
        case RadarCommand::kToggleCentreMark:
            display.centreMarkShown = !display.centreMarkShown;
            return true;
        case RadarCommand::kToggleLabelOption:
            display.labelOption = !display.labelOption;
            return true;
        case RadarCommand::kToggleUserColourOnly:
            display.usercolorshowonly = !display.usercolorshowonly;
            return true;
        case RadarCommand::kUpperFilterDown:
        case RadarCommand::kUpperFilterUp:
        case RadarCommand::kLowerFilterDown:
        case RadarCommand::kLowerFilterUp:
            StepFilters(command, display);
            return true;
        default:
            return false;
    }
}

WheelZone WheelZoneAt(int x, int y) {
    if (Within(x, 52, 97)) {
        if (Within(y, 5, 12)) return WheelZone::kUpperFilter;
        if (Within(y, 16, 28)) return WheelZone::kLowerFilter;
        if (Within(y, 13, 15)) return WheelZone::kDeadRow;
    }
    if (Within(x, 3, 50) && Within(y, 5, 28)) return WheelZone::kSeparation;
    if (Within(x, 619, 650) && Within(y, 5, 29)) return WheelZone::kLevelSelector;
    return WheelZone::kZoom;
}

int SeparationAfterWheel(int current, int delta) {
    if (delta > 0) return NextSeparation(current);
    if (delta == 0) return current;
    switch (current) {
        case 10:
            return 5;
        case 5:
            return 3;
        case 3:
            return 0;
        default:
            return 10;
    }
}

int LevelAfterWheel(int current, int delta) {
    static constexpr int kLevels[] = {60, 120, 190, 240, 300, 380};
    constexpr int kCount = static_cast<int>(std::size(kLevels));
    if (delta == 0) return current;
    for (int i = 0; i < kCount; ++i) {
        if (kLevels[i] != current) continue;
        if (delta > 0) return i + 1 < kCount ? kLevels[i + 1] : 0;
        return i > 0 ? kLevels[i - 1] : 0;
    }
    return delta > 0 ? kLevels[0] : kLevels[kCount - 1];
}

void ApplyWheel(WheelZone zone, int delta, RadarDisplayState& display) {
    if (delta == 0) return;
    switch (zone) {
        case WheelZone::kUpperFilter:
            StepFilters(delta < 0 ? RadarCommand::kUpperFilterDown : RadarCommand::kUpperFilterUp,
                        display);
            break;
        case WheelZone::kLowerFilter:
            StepFilters(delta < 0 ? RadarCommand::kLowerFilterDown : RadarCommand::kLowerFilterUp,
                        display);
            break;
        case WheelZone::kSeparation:
            display.separation = SeparationAfterWheel(display.separation, delta);
            break;
        case WheelZone::kLevelSelector:
            display.levelSelector = LevelAfterWheel(display.levelSelector, delta);
            break;
        case WheelZone::kDeadRow:
        case WheelZone::kZoom:
            break;
    }
}

int WheelAccumulator::Add(int delta) {
    rest_ += delta;
    const int notches = rest_ / kNotch;  // towards zero: the rest keeps its sign
    rest_ -= notches * kNotch;
    return notches;
}

bool InEdgeBand(int x, int y, int width, int height) {
    return !(Within(x, kEdgeBand, width - kEdgeBand) && Within(y, kEdgeBand, height - kEdgeBand));
}

int PickTarget(const ScreenCache& cache, const FlightTable& table, int x, int yFromTop,
               int height) {
    constexpr int kReach = 6;
    const int y = height - yFromTop;
    for (int slot = 0; slot < kMaxFlights; ++slot) {
        const TargetScreenEntry& e = cache[slot];
        const Tflight& f = table.flights[slot];
        if (!e.onscreen || f.deleted || f.nopos) continue;
        if (std::abs(e.x - x) <= kReach && std::abs(e.y - y) <= kReach) return slot;
    }
    return -1;
}

MoveResult HandleMouseMove(const MouseMove& move, RadarInteraction& interaction,
                           RadarDisplayState& display, WindowTargetMarks& marks,
                           const ScreenCache& cache, const FlightTable& table) {
    MoveResult r;
    r.edgeBand = InEdgeBand(move.x, move.y, move.width, move.height);
    interaction.lastX = move.x;
    interaction.lastY = move.y;
    interaction.lastCtrl = move.ctrl;
    display.ctrlHeld = move.ctrl;

    const int slot = PickTarget(cache, table, move.x, move.y, move.height);
    if (slot >= 0) {
        const bool qualifies =
            !display.usercolorshowonly || display.spbdiamonds || marks.usercolour[slot];
        if (marks.highlighted < 0 && qualifies) {
            marks.highlighted = slot;
            r.redraw = true;
        }
        return r;
    }
    if (marks.highlighted >= 0 && !interaction.stickyHighlight) {
        marks.highlighted = -1;
        r.redraw = true;
    }
    if (move.leftHeld) {
        r.pan = true;
        r.panDx = move.screenX - interaction.cursorX;
        r.panDy = move.screenY - interaction.cursorY;
    }
    interaction.cursorX = move.screenX;
    interaction.cursorY = move.screenY;
    return r;
}

DownResult HandleMouseDown(const MouseDown& down, RadarInteraction& interaction,
                           RadarDisplayState& display, WindowTargetMarks& marks, ScreenCache& cache,
                           FlightTable& table) {
    if (InEdgeBand(down.x, down.y, down.width, down.height)) return DownResult::kSystemMove;
    if (down.button == MouseButton::kMiddle) {
        interaction.stickyHighlight = !interaction.stickyHighlight;
        return DownResult::kNothing;
    }
    interaction.stickyHighlight = false;
    // A press in the filter rows steps no filter (the wheel does that there); it is an
    // ordinary press on the picture.
    const int h = marks.highlighted;
    const bool leftColumn = Within(down.x, 2, 50);

    if (down.button == MouseButton::kRight) {
        if (!leftColumn) {
            if (h >= 0 && OnlyCtrl(down)) {
                marks.selected = h;
                marks.followed = h;
                display.cbctrgps = false;
            } else if (h < 0 && OnlyAlt(down)) {
                display.defaultLabelPosition = (display.defaultLabelPosition + 1) % 8;
            } else if (h < 0) {
                marks.followed = -1;
                marks.selected = -1;
            } else {
                cache[h].labelMode = kLabelManual;
                cache[h].labelPosition = (cache[h].labelPosition + 1) % 8;
            }
        } else if (Within(down.y, 141, 158)) {
            display.cbAutoLabel = !display.cbAutoLabel;
        }
        return DownResult::kRedraw;
    }

    if (h < 0 && OnlyAlt(down)) {
        display.defaultLabelPosition = (display.defaultLabelPosition + 7) % 8;
        return DownResult::kRedraw;
    }
    if (leftColumn && Within(down.y, 4, 30)) {
        display.separation = NextSeparation(display.separation);
        return DownResult::kRedraw;
    }
    if (leftColumn && Within(down.y, 32, 50)) {
        if (down.x < 25) return DownResult::kMaximise;
        if (down.x < 50) return DownResult::kRestore;
        return DownResult::kNothing;
    }
    if (marks.followed < 0) {
        marks.selected = h;
        if (h >= 0) table.flights[h].announcesel = true;
    }
    return DownResult::kRedraw;
}

DoubleClickResult HandleDoubleClick(int x, int y, RadarDisplayState& display) {
    DoubleClickResult r;
    if (InFilterBox(x, y)) {
        SetFilters(display, 0, kLastFilter);
        r.redraw = true;
    }
    const bool leftEdgeBoxes = (y <= 29 && x <= 101) || (y <= 254 && x <= 54);
    if (!leftEdgeBoxes) {
        r.centre = true;
        r.redraw = true;
    }
    return r;
}

std::string CleanAirportCode(std::string_view text) {
    std::string code;
    for (const char c : text) {
        if (code.size() == 4) break;
        if (c >= 'a' && c <= 'z')
            code += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            code += c;
    }
    return code;
}

}  // namespace aerova
