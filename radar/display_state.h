#pragma once
// What one radar window shows besides its camera (RadarView) and screen cache, as plain
// data: the controls the renderer reads, named after them, and the overlays' texts.
// The window binds its controls to this struct; settings load and save it.

#include <array>
#include <string>
#include <vector>

#include "radar/colour_list.h"
#include "radar/ring_centre.h"

namespace aerova {

// Items of the window's selection lists. The settings store a list's index, so the
// order is part of the file format. The altitude filters' 48 items are "UNL", "450" down
// to "010" in tens, "000" and "GND" (FilterItems()).
inline const std::vector<std::string> kRingItems = {"10", "20", "30", "40",
                                                    "50", "60", "80", "100"};
inline const std::vector<std::string> kVectorItems = {"30", "60", "90", "120"};
inline const std::vector<std::string> kFontItems = {"8", "10"};
// Recent-trail dot interval `cbtrails1`.
inline const std::vector<std::string> kTrailDotItems = {"1", "5", "6", "12"};
// Recorded-trail minutes `cbtrailsmin`.
inline const std::vector<std::string> kTrailMinuteItems = {
    "0.5", "1", "2", "3", "5", "10", "15", "20", "30", "45", "60", "90", "120"};
const std::vector<std::string>& FilterItems();
// Lists that only the settings and the keys step through, kept as indexes: `cbtrails`
// (six recent-trail lengths), `cbqnh` (0 flight levels, 1 altitudes below the transition
// level), `tbmaxtrails` (track bar 0 to 10), `labelset` (label layouts 0 to 3); the
// automatic label-set change altitude `cblblalt` is a flight level in tens, 000 to 450.
constexpr int kLabelAltitudeStep = 10;

// The receiver controls of the control bar; both windows show the same state.
struct ReceiverBarState {
    std::string cbCOMPORTS;    // the serial port chosen
    int cbbaudrate = 1;        // index into kBaudRates
    bool sbUSB = false;        // "Open/close USB port"
    bool sbpgr = false;        // "Use Planegadgetradar"
    bool sbcpr = false;        // "Use global CPR decoding"
    bool sbcenterpos = false;  // "Center receiver location"
};

// The window's frame: control bar, side panels, title bar and top-most switch.
struct RadarLayoutState {
    int controlBarHeight = 30;  // 30, or 3 when collapsed
    bool panel2 = false;        // " TARGETS"
    bool panel3 = false;        // " COLORS"
    bool panel4 = false;        // " RADAR"
    bool spbtop = false;        // "Keep window on top"
    bool spbcap = false;        // "Hide caption bar"
};

inline std::array<bool, 31> MarksAllOn() {
    std::array<bool, 31> marks{};
    marks.fill(true);
    return marks;
}

struct RadarDisplayState {
    int window = 1;         // 1 or 2 (the component tag)
    RingCentre ringCentre;  // the panel "Radar ring center"

    ColourMarks marks;  // check marks and user captions of `cbcolors`

    // Panel "RADAR".
    std::string cbrings = "60";  // "10" to "100"
    bool cbinner = true;         // "Clear inner ring"
    int cbvari = 0;              // magnetic variation, -20 to 20

    // Panel "TARGETS" and the keys.
    bool oksymbol = true, xsymbol = true, gndsymbol = true;
    bool oktrails = true, xtrails = true, gndtrails = true;
    bool okvector = true, xvector = true, gndvector = true;
    std::string cbupper = "UNL";  // "UNL", "450" ... "010", "000", "GND"
    std::string cblower = "GND";
    std::string cbvector = "60";  // "30", "60", "90", "120" seconds
    std::string cbfont = "8";     // "8" or "10"

    // Further state reached through keys and settings.
    std::string cbtrails1 = "1";    // dot interval of recent trails: "1", "5", "6", "12"
    std::string cbtrailsmin = "1";  // minutes of recorded trail: "0.5" to "120"
    bool cbatctrails = false;       // "ATC style trails"
    bool cbuserstyle = false;       // "User colored only"
    bool usercolorshowonly = false;
    bool spbdiamonds = true;  // "Show symbols for other flights only"
    bool spbshowregs = false;
    bool spbhideall = false;  // "Hide all"
    bool vesselsShown = true;
    int cbtrails = 0;     // recent-trail length index
    int cbqnh = 0;        // 0 flight levels, 1 altitudes below the transition level
    int tbmaxtrails = 1;  // "Max size: " position " MB"
    int labelset = 1;
    bool cbAutoLabel = false;
    bool cbctrgps = false;  // "Ctr GPS"
    bool cbgps = false;
    bool cbusertrails = false;
    bool cbsbsonly = false, cbaisonly = false;
    bool ok2symbol = true, ok2trails = true, ok2vector = true;
    bool cbmetauto = false;       // METAR "Auto"
    bool cbtaf = false;           // the TAF switch: the reloads fetch the forecasts too
    std::string edicao = "EDDH";  // the window's METAR airport
    RadarLayoutState layout;
    // Check marks of `cboutlines` and `cbwaypoints`: item 0 all layers, 1 to 30 the types.
    std::array<bool, 31> outlineMarks = MarksAllOn();
    std::array<bool, 31> waypointMarks = MarksAllOn();
    int cblblalt = 150;  // automatic label-set change altitude (flight level)
    bool cbworld = false, cbautoheight = true;
    int separation = 0;       // 0, 3, 5 or 10 NM
    int levelSelector = 300;  // 0, 60, 120, 190, 240, 300 or 380
    int defaultLabelPosition = 0;
    bool overlayHidden = false;  // key Z
    bool centreMarkShown = false;
    bool labelOption = false;  // key L: the wind line
    bool ctrlHeld = false;     // the bearing readout follows the highlighted target
    bool showWinds = false;    // the weather window's wind switch

    // Weather texts of the window's airport and their display mode: 0 METAR, 1 short TAF,
    // 2 TAF, 3 METAR and short TAF, 4 METAR and TAF.
    std::string metar, shortTaf, taf;
    int wxshow = 0;
};

}  // namespace aerova
