#include "radar/radar_input.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace aerova {
namespace {

using C = RadarCommand;

struct Mods {
    bool ctrl = false, alt = false, shift = false;
};
constexpr Mods kNoMods{};
constexpr Mods kCtrl{true, false, false};
constexpr Mods kAlt{false, true, false};
constexpr Mods kShift{false, false, true};
constexpr Mods kCtrlAlt{true, true, false};
constexpr Mods kCtrlShift{true, false, true};
constexpr Mods kCtrlAltShift{true, true, true};

KeyPress Key(RadarKey key, char ch, Mods m) {
    return {key, ch, m.ctrl, m.alt, m.shift};
}
KeyPress Letter(char ch, Mods m = kNoMods) {
    return Key(RadarKey::kLetter, ch, m);
}
KeyPress Digit(char ch) {
    return Key(RadarKey::kDigit, ch, kNoMods);
}

const std::string& Item(int index) {
    return FilterItems()[index];
}

TEST(RadarInput, KeyTable) {
    struct Case {
        KeyPress key;
        C command;
        bool redraws;
    } cases[] = {
        {Key(RadarKey::kF1, 0, kNoMods), C::kToggleHelp, false},
        {Key(RadarKey::kF4, 0, kNoMods), C::kNone, false},
        {Key(RadarKey::kF4, 0, kCtrl), C::kNone, false},
        {Key(RadarKey::kF4, 0, kAlt), C::kQuit, false},
        {Key(RadarKey::kF4, 0, kCtrlAlt), C::kQuit, false},
        {Key(RadarKey::kSpace, 0, kNoMods), C::kToggleControlBar, false},
        {Key(RadarKey::kComma, 0, kNoMods), C::kNone, false},
        {Key(RadarKey::kComma, 0, kCtrl), C::kNone, false},
        {Key(RadarKey::kComma, 0, kCtrlAlt), C::kShowGlDescriptor, false},
        {Key(RadarKey::kPageUp, 0, kNoMods), C::kZoomOut, true},
        {Key(RadarKey::kPageDown, 0, kShift), C::kZoomIn, true},
        {Key(RadarKey::kUp, 0, kNoMods), C::kPanUp, true},
        {Key(RadarKey::kDown, 0, kNoMods), C::kPanDown, true},
        {Key(RadarKey::kLeft, 0, kNoMods), C::kPanLeft, true},
        {Key(RadarKey::kRight, 0, kNoMods), C::kPanRight, true},
        // F: Ctrl+Alt before Ctrl before Shift before plain.
        {Letter('F'), C::kToggleNoPositionList, true},
        {Letter('F', kCtrl), C::kShowSearch, false},
        {Letter('D', kCtrl), C::kShowAircraftDetails, false},
        {Letter('D'), C::kNone, false},
        {Letter('F', kCtrlShift), C::kShowSearch, false},
        {Letter('F', kShift), C::kToggleFreeze, true},
        {Letter('F', kCtrlAlt), C::kMoveWindowTo10, false},
        {Letter('F', kCtrlAltShift), C::kMoveWindowTo10, false},
        // A named modifier must be held; others may be held too.
        {Letter('B'), C::kToggleAllWaypoints, true},
        {Letter('B', kCtrl), C::kShowBstControl, true},
        {Letter('B', kCtrlShift), C::kShowBstControl, true},
        {Letter('C'), C::kNone, false},
        {Letter('C', kCtrl), C::kToggleReceiverSettings, true},
        {Letter('I'), C::kNone, false},
        {Letter('I', kShift), C::kToggleWinds, false},
        {Letter('L'), C::kToggleLabelOption, true},
        {Letter('L', kCtrl), C::kShowLabelEditor, false},
        {Letter('M'), C::kToggleCentreMark, true},
        {Letter('M', kShift), C::kShowSidePanels, true},
        {Letter('N'), C::kNone, false},
        {Letter('N', kShift), C::kHideSidePanels, true},
        {Letter('P'), C::kPrintColour, true},
        {Letter('P', kCtrlAlt), C::kPrintBlackAndWhite, true},
        {Letter('G'), C::kToggleGrid, true},
        {Letter('J', kAlt), C::kSaveJpeg, true},
        {Letter('O'), C::kToggleAllOutlines, true},
        {Letter('Q'), C::kToggleLightning, true},
        {Letter('R'), C::kToggleRings, true},
        {Letter('S'), C::kNextSeparation, true},
        {Letter('T'), C::kToggleWaypointLayer20, true},
        {Letter('U'), C::kToggleUserColourOnly, true},
        {Letter('V'), C::kToggleWaypointLayer14, true},
        {Letter('Z'), C::kToggleOverlay, true},
        {Letter('A'), C::kNone, false},
        {Letter('K', kCtrl), C::kNone, false},
        {Digit('1'), C::kShowRadar1, false},
        {Digit('2'), C::kShowRadar2, false},
        {Digit('6'), C::kUpperFilterDown, true},
        {Digit('7'), C::kUpperFilterUp, true},
        {Digit('8'), C::kLowerFilterDown, true},
        {Digit('9'), C::kLowerFilterUp, true},
        {Digit('0'), C::kNone, false},
        {Digit('5'), C::kNone, false},
        {Key(RadarKey::kOther, '6', kNoMods), C::kNone, false},  // keypad
    };
    for (const auto& c : cases) {
        const C got = CommandForKey(c.key);
        EXPECT_EQ(got, c.command) << int(c.key.key) << " '" << c.key.ch << "' ctrl " << c.key.ctrl
                                  << " alt " << c.key.alt << " shift " << c.key.shift;
        EXPECT_EQ(CommandRedraws(got), c.redraws) << int(got);
    }
}

// The filter keys typed in sequence on a window whose filters start at the given indexes.
TEST(RadarInput, FilterKeysKeepTheLowerFilterBelowTheUpper) {
    struct Case {
        int upper, lower;
        std::string keys;
        int wantUpper, wantLower;
    } cases[] = {
        {0, 47, "666" + std::string(50, '9'), 0, 0},
        {46, 47, "6", 47, 47},  // "000" to "GND"; the lower filter stays "GND"
        {46, 47, "666", 47, 47},
        {46, 46, "6", 47, 47},  // the lower filter is pushed down with it
        {0, 47, "7", 0, 47},
        {0, 47, "8", 0, 47},
        {10, 10, "7", 9, 10},
        {10, 10, "8", 10, 11},
        {10, 10, "9", 9, 9},  // the upper filter is pulled up with it
        {10, 20, "999", 10, 17},
        {10, 20, "8888", 10, 24},
    };
    for (const auto& c : cases) {
        RadarDisplayState d;
        d.cbupper = Item(c.upper);
        d.cblower = Item(c.lower);
        for (char ch : c.keys) EXPECT_TRUE(ApplyDisplayCommand(CommandForKey(Digit(ch)), d));
        EXPECT_EQ(d.cbupper, Item(c.wantUpper)) << c.upper << "/" << c.lower << " " << c.keys;
        EXPECT_EQ(d.cblower, Item(c.wantLower)) << c.upper << "/" << c.lower << " " << c.keys;
    }
    EXPECT_EQ(FilterIndex("000"), 46);
    EXPECT_EQ(FilterIndex("FL100"), -1);
}

TEST(RadarInput, PickingAFilterMovesTheOtherWhenTheyCross) {
    struct Case {
        bool upperList;
        int pick;
        int wantUpper, wantLower;  // from upper 10, lower 20
    } cases[] = {
        {true, 30, 30, 30}, {true, 5, 5, 20},    {true, 20, 20, 20},
        {false, 5, 5, 5},   {false, 30, 10, 30}, {false, 10, 10, 10},
        {true, -1, 10, 20}, {true, 48, 10, 20},  {false, 48, 10, 20},
    };
    for (const auto& c : cases) {
        RadarDisplayState d;
        d.cbupper = Item(10);
        d.cblower = Item(20);
        if (c.upperList)
            PickUpperFilter(c.pick, d);
        else
            PickLowerFilter(c.pick, d);
        EXPECT_EQ(d.cbupper, Item(c.wantUpper)) << c.upperList << " " << c.pick;
        EXPECT_EQ(d.cblower, Item(c.wantLower)) << c.upperList << " " << c.pick;
    }
}

TEST(RadarInput, DisplayCommandsChangeOnlyTheirSwitch) {
    RadarDisplayState d;
    std::vector<int> separations;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(ApplyDisplayCommand(C::kNextSeparation, d));
        separations.push_back(d.separation);
    }
    EXPECT_EQ(separations, (std::vector<int>{3, 5, 10, 0, 3}));

    const struct {
        C command;
        bool RadarDisplayState::*field;
    } toggles[] = {
        {C::kToggleOverlay, &RadarDisplayState::overlayHidden},
        {C::kToggleCentreMark, &RadarDisplayState::centreMarkShown},
        {C::kToggleLabelOption, &RadarDisplayState::labelOption},
        {C::kToggleUserColourOnly, &RadarDisplayState::usercolorshowonly},
    };
    for (const auto& t : toggles) {
        RadarDisplayState s;
        const bool before = s.*t.field;
        ASSERT_TRUE(ApplyDisplayCommand(t.command, s));
        EXPECT_NE(s.*t.field, before) << int(t.command);
        for (const auto& other : toggles) {
            if (other.field != t.field) {
                EXPECT_EQ(s.*other.field, RadarDisplayState{}.*other.field) << int(t.command);
            }
        }
    }
    RadarDisplayState s;
    for (C other : {C::kToggleGrid, C::kZoomIn, C::kSaveJpeg, C::kNone})
        EXPECT_FALSE(ApplyDisplayCommand(other, s)) << int(other);
}

TEST(RadarInput, WheelZonesInTheirOrder) {
    using Z = WheelZone;
    struct Case {
        int x, y;
        Z zone;
    } cases[] = {
        {52, 5, Z::kUpperFilter},    {97, 12, Z::kUpperFilter},
        {52, 13, Z::kDeadRow},       {97, 15, Z::kDeadRow},
        {52, 16, Z::kLowerFilter},   {97, 28, Z::kLowerFilter},
        {52, 4, Z::kZoom},           {52, 29, Z::kZoom},
        {98, 10, Z::kZoom},          {51, 10, Z::kZoom},
        {3, 5, Z::kSeparation},      {50, 28, Z::kSeparation},
        {2, 10, Z::kZoom},           {50, 29, Z::kZoom},
        {619, 5, Z::kLevelSelector}, {650, 29, Z::kLevelSelector},
        {618, 10, Z::kZoom},         {651, 10, Z::kZoom},
        {630, 30, Z::kZoom},         {400, 300, Z::kZoom},
    };
    for (const auto& c : cases) EXPECT_EQ(WheelZoneAt(c.x, c.y), c.zone) << c.x << "," << c.y;

    // Wheel towards the user over the upper filter row is key 6, away over the lower row 9.
    RadarDisplayState d;
    ApplyWheel(WheelZone::kUpperFilter, -120, d);
    ApplyWheel(WheelZone::kLowerFilter, 120, d);
    EXPECT_EQ(d.cbupper, "450");
    EXPECT_EQ(d.cblower, "000");
    ApplyWheel(WheelZone::kDeadRow, -120, d);
    ApplyWheel(WheelZone::kZoom, -120, d);
    ApplyWheel(WheelZone::kSeparation, -120, d);
    ApplyWheel(WheelZone::kLevelSelector, 120, d);
    EXPECT_EQ(d.cbupper, "450");
    EXPECT_EQ(d.cblower, "000");
    EXPECT_EQ(d.separation, 10);
    EXPECT_EQ(d.levelSelector, 380);
}

TEST(RadarInput, WheelStepsSeparationAndLevel) {
    struct Case {
        int current, delta, want;
    };
    const Case separation[] = {
        {0, 120, 3},  {3, 120, 5},  {5, 120, 10},  {10, 120, 0},  {10, -120, 5},
        {5, -120, 3}, {3, -120, 0}, {0, -120, 10}, {7, -120, 10}, {3, 0, 3},
    };
    for (const auto& c : separation)
        EXPECT_EQ(SeparationAfterWheel(c.current, c.delta), c.want) << c.current << " " << c.delta;
    const Case level[] = {
        {0, 1, 60},     {60, 1, 120},   {120, 1, 190},  {190, 1, 240}, {240, 1, 300},
        {300, 1, 380},  {380, 1, 0},    {75, 1, 60},    {0, -1, 380},  {380, -1, 300},
        {300, -1, 240}, {240, -1, 190}, {190, -1, 120}, {120, -1, 60}, {60, -1, 0},
        {75, -1, 380},  {190, 0, 190},
    };
    for (const auto& c : level)
        EXPECT_EQ(LevelAfterWheel(c.current, c.delta), c.want) << c.current << " " << c.delta;
}

TEST(RadarInput, WheelAccumulatorGivesWholeNotches) {
    struct Case {
        std::vector<int> deltas;
        std::vector<int> notches;
    } cases[] = {
        {std::vector<int>(15, 8),
         [] {
             std::vector<int> v(15, 0);
             v.back() = 1;
             return v;
         }()},
        {{240}, {2}},
        {{-360}, {-3}},
        {{100, -100, 100, 20}, {0, 0, 0, 1}},
        {{-60, -60}, {0, -1}},
        {{130, 110}, {1, 1}},
        {{-130, 20}, {-1, 0}},
    };
    for (const auto& c : cases) {
        WheelAccumulator acc;
        std::vector<int> got;
        for (int d : c.deltas) got.push_back(acc.Add(d));
        EXPECT_EQ(got, c.notches) << c.deltas.front();
    }
}

// An 800 x 600 panel; slot 5 is drawn at (200, 300) from the top. Other slots at the same
// pixel are hidden, deleted or without position (1 to 3), or come after it (9).
struct Picture {
    static constexpr int kW = 800, kH = 600, kSlot = 5;
    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    std::unique_ptr<ScreenCache> cache = std::make_unique<ScreenCache>();
    RadarDisplayState display;
    RadarInteraction interaction;
    WindowTargetMarks& marks = table->windows[0];

    Picture() {
        auto place = [&](int slot, bool onscreen, bool deleted, bool nopos) {
            (*cache)[slot].onscreen = onscreen;
            (*cache)[slot].x = 200;
            (*cache)[slot].y = kH - 300;
            table->flights[slot].deleted = deleted;
            table->flights[slot].free = deleted;
            table->flights[slot].nopos = nopos;
        };
        place(1, false, false, false);
        place(2, true, true, false);
        place(3, true, false, true);
        place(kSlot, true, false, false);
        place(9, true, false, false);
    }
    MoveResult Move(int x, int y, bool left, int sx, int sy, bool ctrl = false) {
        return HandleMouseMove({x, y, kW, kH, left, ctrl, sx, sy}, interaction, display, marks,
                               *cache, *table);
    }
};

TEST(RadarInput, HoverPicksTheFirstVisibleTargetWithinSixPixels) {
    Picture p;
    struct Case {
        int x, y, want;
    } cases[] = {
        {200, 300, 5},  {206, 294, 5},  {194, 306, 5},  {207, 300, -1},
        {200, 307, -1}, {193, 300, -1}, {200, 293, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickTarget(*p.cache, *p.table, c.x, c.y, Picture::kH), c.want)
            << c.x << "," << c.y;

    // With "only user-coloured targets" down a target qualifies when symbols for other
    // flights are shown or it is user-coloured in this window.
    struct Qualify {
        bool onlyUser, diamonds, userColoured;
        int want;
    } qualify[] = {
        {false, false, false, 5},
        {true, true, false, 5},
        {true, false, true, 5},
        {true, false, false, -1},
    };
    for (const auto& q : qualify) {
        Picture f;
        f.display.usercolorshowonly = q.onlyUser;
        f.display.spbdiamonds = q.diamonds;
        f.table->windows[1].usercolour[5] = true;  // the other window's mark counts not
        f.marks.usercolour[5] = q.userColoured;
        const MoveResult r = f.Move(200, 300, false, 0, 0);
        EXPECT_EQ(f.marks.highlighted, q.want) << q.onlyUser << q.diamonds << q.userColoured;
        EXPECT_EQ(r.redraw, q.want >= 0);
    }
}

TEST(RadarInput, MovesHighlightDragAndRememberTheCursor) {
    Picture p;
    MoveResult r = p.Move(400, 300, false, 1000, 1000);
    EXPECT_FALSE(r.pan || r.redraw || r.edgeBand);

    // Onto the target with the button held: highlighted, no pan, cursor kept.
    r = p.Move(200, 300, true, 1010, 1005, true);
    EXPECT_TRUE(r.redraw);
    EXPECT_FALSE(r.pan);
    EXPECT_EQ(p.marks.highlighted, 5);
    EXPECT_TRUE(p.display.ctrlHeld);
    EXPECT_EQ(p.interaction.lastX, 200);

    // Off it: the highlight goes and the whole displacement since (1000, 1000) pans.
    r = p.Move(400, 300, true, 1020, 1008);
    EXPECT_TRUE(r.redraw);
    EXPECT_EQ(p.marks.highlighted, -1);
    EXPECT_FALSE(p.display.ctrlHeld);
    ASSERT_TRUE(r.pan);
    EXPECT_EQ(r.panDx, 20);
    EXPECT_EQ(r.panDy, 8);
    r = p.Move(405, 300, true, 1025, 1000);
    EXPECT_EQ(r.panDx, 5);
    EXPECT_EQ(r.panDy, -8);
    EXPECT_FALSE(r.redraw);

    // A sticky highlight stays when the cursor leaves; a highlight is not replaced.
    p.marks.highlighted = 9;
    p.interaction.stickyHighlight = true;
    r = p.Move(200, 300, false, 0, 0);
    EXPECT_EQ(p.marks.highlighted, 9);
    r = p.Move(400, 300, false, 0, 0);
    EXPECT_EQ(p.marks.highlighted, 9);
    EXPECT_FALSE(r.redraw || r.pan);

    const struct {
        int x, y;
        bool edge;
    } band[] = {
        {9, 300, true}, {10, 10, false}, {790, 590, false}, {791, 300, true}, {400, 591, true}};
    for (const auto& b : band)
        EXPECT_EQ(p.Move(b.x, b.y, false, 0, 0).edgeBand, b.edge) << b.x << "," << b.y;
}

TEST(RadarInput, MouseDownCases) {
    using B = MouseButton;
    using R = DownResult;
    struct Case {
        const char* name;
        B button;
        int x, y;
        Mods mods;
        int highlighted, followed, defaultLabel;
        R result;
        int selected, wantFollowed, wantDefaultLabel, labelPosition, labelMode;
        bool sticky, autoLabel, announced, ctrGps;
        int separation;
    };
    // Before each press: selected 3, label of slot 5 at 7 (default mode), separation 10,
    // sticky highlight on, "Ctr GPS" checked.
    const int kDef = kLabelDefault, kMan = kLabelManual;
    const Case cases[] = {
        {"edge band", B::kLeft, 5, 300, kNoMods, 5, -1, 7, R::kSystemMove, 3, -1, 7, 7, kDef, true,
         false, false, true, 10},
        {"middle", B::kMiddle, 400, 300, kNoMods, 5, -1, 7, R::kNothing, 3, -1, 7, 7, kDef, false,
         false, false, true, 10},
        {"right ctrl follows", B::kRight, 400, 300, kCtrl, 5, -1, 7, R::kRedraw, 5, 5, 7, 7, kDef,
         false, false, false, false, 10},
        {"right ctrl+shift rotates", B::kRight, 400, 300, kCtrlShift, 5, -1, 7, R::kRedraw, 3, -1,
         7, 0, kMan, false, false, false, true, 10},
        {"right on target", B::kRight, 51, 300, kNoMods, 5, 3, 7, R::kRedraw, 3, 3, 7, 0, kMan,
         false, false, false, true, 10},
        {"right alt rotates default", B::kRight, 400, 300, kAlt, -1, 3, 7, R::kRedraw, 3, 3, 0, 7,
         kDef, false, false, false, true, 10},
        {"right ctrl+alt stops following", B::kRight, 400, 300, kCtrlAlt, -1, 3, 7, R::kRedraw, -1,
         -1, 7, 7, kDef, false, false, false, true, 10},
        {"right auto label box", B::kRight, 20, 150, kNoMods, -1, 3, 7, R::kRedraw, 3, 3, 7, 7,
         kDef, false, true, false, true, 10},
        {"right left column", B::kRight, 50, 160, kNoMods, 5, 3, 7, R::kRedraw, 3, 3, 7, 7, kDef,
         false, false, false, true, 10},
        {"left alt rotates default", B::kLeft, 400, 300, kAlt, -1, -1, 0, R::kRedraw, 3, -1, 7, 7,
         kDef, false, false, false, true, 10},
        {"left separation box", B::kLeft, 20, 10, kNoMods, 5, -1, 7, R::kRedraw, 3, -1, 7, 7, kDef,
         false, false, false, true, 0},
        {"left max", B::kLeft, 24, 40, kNoMods, -1, -1, 7, R::kMaximise, 3, -1, 7, 7, kDef, false,
         false, false, true, 10},
        {"left nrm", B::kLeft, 25, 50, kNoMods, -1, -1, 7, R::kRestore, 3, -1, 7, 7, kDef, false,
         false, false, true, 10},
        {"left box edge", B::kLeft, 50, 32, kNoMods, -1, -1, 7, R::kNothing, 3, -1, 7, 7, kDef,
         false, false, false, true, 10},
        {"left selects", B::kLeft, 400, 300, kAlt, 5, -1, 7, R::kRedraw, 5, -1, 7, 7, kDef, false,
         false, true, true, 10},
        {"left while following", B::kLeft, 400, 300, kNoMods, 5, 3, 7, R::kRedraw, 3, 3, 7, 7, kDef,
         false, false, false, true, 10},
        {"left on nothing", B::kLeft, 400, 300, kNoMods, -1, -1, 7, R::kRedraw, -1, -1, 7, 7, kDef,
         false, false, false, true, 10},
        {"left in filter row", B::kLeft, 60, 20, kNoMods, -1, -1, 7, R::kRedraw, -1, -1, 7, 7, kDef,
         false, false, false, true, 10},
    };
    for (const auto& c : cases) {
        Picture p;
        p.marks.highlighted = c.highlighted;
        p.marks.selected = 3;
        p.marks.followed = c.followed;
        p.display.defaultLabelPosition = c.defaultLabel;
        p.display.separation = 10;
        p.display.cbctrgps = true;
        p.interaction.stickyHighlight = true;
        (*p.cache)[5].labelPosition = 7;
        const MouseDown down{c.button,    c.x,         c.y,        Picture::kW,
                             Picture::kH, c.mods.ctrl, c.mods.alt, c.mods.shift};
        EXPECT_EQ(HandleMouseDown(down, p.interaction, p.display, p.marks, *p.cache, *p.table),
                  c.result)
            << c.name;
        EXPECT_EQ(p.marks.highlighted, c.highlighted) << c.name;
        EXPECT_EQ(p.marks.selected, c.selected) << c.name;
        EXPECT_EQ(p.marks.followed, c.wantFollowed) << c.name;
        EXPECT_EQ(p.display.defaultLabelPosition, c.wantDefaultLabel) << c.name;
        EXPECT_EQ((*p.cache)[5].labelPosition, c.labelPosition) << c.name;
        EXPECT_EQ((*p.cache)[5].labelMode, c.labelMode) << c.name;
        EXPECT_EQ(p.interaction.stickyHighlight, c.sticky) << c.name;
        EXPECT_EQ(p.display.cbAutoLabel, c.autoLabel) << c.name;
        EXPECT_EQ(p.table->flights[5].announcesel, c.announced) << c.name;
        EXPECT_EQ(p.display.cbctrgps, c.ctrGps) << c.name;
        EXPECT_EQ(p.display.separation, c.separation) << c.name;
        EXPECT_EQ(p.display.cbupper, "UNL") << c.name;
        EXPECT_EQ(p.display.cblower, "GND") << c.name;
    }
}

TEST(RadarInput, DoubleClickResetsFiltersAndCentresOutsideTheCornerBoxes) {
    struct Case {
        int x, y;
        bool reset, centre;
    } cases[] = {
        {60, 10, true, false},   {97, 28, true, false},  {20, 10, false, false},
        {101, 29, false, false}, {102, 29, false, true}, {60, 30, false, true},
        {54, 254, false, false}, {55, 254, false, true}, {54, 255, false, true},
        {400, 300, false, true},
    };
    for (const auto& c : cases) {
        RadarDisplayState d;
        d.cbupper = "100";
        d.cblower = "050";
        const DoubleClickResult r = HandleDoubleClick(c.x, c.y, d);
        EXPECT_EQ(d.cbupper, c.reset ? "UNL" : "100") << c.x << "," << c.y;
        EXPECT_EQ(d.cblower, c.reset ? "GND" : "050") << c.x << "," << c.y;
        EXPECT_EQ(r.centre, c.centre) << c.x << "," << c.y;
        EXPECT_EQ(r.redraw, c.reset || c.centre) << c.x << "," << c.y;
    }
}

}  // namespace
}  // namespace aerova

namespace aerova {
namespace {

TEST(RadarInputTest, TheMetarBoxKeepsLettersAndDigitsOnly) {
    EXPECT_EQ(CleanAirportCode("eddh"), "EDDH");
    EXPECT_EQ(CleanAirportCode("ED-D!H9"), "EDDH");
    EXPECT_EQ(CleanAirportCode("K1\r\n2"), "K12");
    EXPECT_EQ(CleanAirportCode("a\xb0z7q"), "AZ7Q");
    EXPECT_EQ(CleanAirportCode(""), "");
}

}  // namespace
}  // namespace aerova
