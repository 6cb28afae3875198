#include "radar/target_style.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace aerova {
namespace {

Tflight Airborne(const char* altlabel) {
    Tflight f;
    f.deleted = f.free = false;
    f.state = 1;
    f.altlabel = altlabel;
    f.labeltext = "DLH123";
    return f;
}

TEST(TargetStyle, ClassUnderTheAltitudeFilter) {
    struct Case {
        const char* altlabel;
        const char* upper;
        const char* lower;
        TargetClass expected;
    } cases[] = {
        {"F350", "340", "GND", kClassFiltered}, {"F350", "UNL", "GND", kClassAir},
        {"A040", "UNL", "GND", kClassAir},      {"F350", "UNL", "360", kClassFiltered},
        {"F340", "340", "340", kClassAir},      {"G---", "UNL", "GND", kClassGround},
        {"G---", "UNL", "000", kClassFiltered}, {"", "100", "050", kClassAir},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyTarget(c.altlabel, c.upper, c.lower), c.expected)
            << c.altlabel << " " << c.upper << "/" << c.lower;
    EXPECT_EQ(FilterLevel("UNL"), 999);
    EXPECT_EQ(FilterLevel("GND"), 0);
    EXPECT_EQ(FilterLevel("abc"), 1);
}

TEST(TargetStyle, FirstPassColours) {
    const ColourTable colours;
    ColourMarks marks;
    marks.caption[31] = "DLH";
    marks.caption[35] = "123";
    Tflight f = Airborne("F350");
    // Both items match: the higher-numbered one wins.
    auto s = FirstPassColour(f, colours, marks, "400");
    EXPECT_TRUE(s.userColoured);
    EXPECT_EQ(s.colour, colours[35]);
    marks.checked[35] = false;
    EXPECT_EQ(FirstPassColour(f, colours, marks, "400").colour, colours[31]);

    Tflight plain = Airborne("F350");
    plain.labeltext = "BAW1";
    EXPECT_EQ(FirstPassColour(plain, colours, marks, "400").colour, colours[kColActiveFlight]);
    EXPECT_FALSE(FirstPassColour(plain, colours, marks, "400").userColoured);
    plain.reg = "G-DLHX";  // failing the call sign, the registration
    EXPECT_TRUE(FirstPassColour(plain, colours, marks, "400").userColoured);
    plain.reg = "";

    struct RateCase {
        const char* code;
        int item;
    } rates[] = {{"+", kColActiveFlight}, {"+3", kColActiveFlight}, {"+4", kColActiveFlight},
                 {"+5", kColClimbing},    {"-25", kColDescending},  {" -9 ", kColDescending}};
    for (const auto& r : rates) {
        plain.vratecode = r.code;
        EXPECT_EQ(FirstPassColour(plain, colours, marks, "400").colour, colours[r.item]) << r.code;
    }
    plain.state = 0;
    EXPECT_EQ(FirstPassColour(plain, colours, marks, "400").colour, colours[kColInactiveFlight]);
}

TEST(TargetStyle, TheCycleStylesWhatTheWindowDraws) {
    auto table = std::make_unique<FlightTable>();
    const ColourTable colours;
    ColourMarks marks;
    marks.caption[31] = "DLH";
    for (int slot : {3, 4, 5}) {
        table->flights[slot] = Airborne("F350");
        table->flights[slot].nopos = false;
    }
    table->flights[4].nopos = true;  // not drawn: keeps its marks
    table->flights[5].labeltext = "BAW1";
    table->windows[1].usercolour[4] = true;
    StyleTargets(*table, 2, colours, marks, "400");
    const WindowTargetMarks& w = table->windows[1];
    EXPECT_TRUE(w.usercolour[3]);
    EXPECT_EQ((Rgb{w.colour[3][0], w.colour[3][1], w.colour[3][2]}), colours[31]);
    EXPECT_TRUE(w.usercolour[4]);
    EXPECT_FALSE(w.usercolour[5]);
    EXPECT_EQ((Rgb{w.colour[5][0], w.colour[5][1], w.colour[5][2]}), colours[kColActiveFlight]);
    EXPECT_FALSE(table->windows[0].usercolour[3]) << "window 1 is styled by its own settings";
}

TEST(TargetStyle, DistressWinsOverSelection) {
    const ColourTable colours;
    const ColourMarks marks;
    Tflight f = Airborne("F350");
    f.squawk = "7700";
    TargetRoles roles;
    roles.selected = true;
    EXPECT_EQ(SecondPassColour(f, kClassAir, colours[kColActiveFlight], roles, colours, marks),
              colours[kColDistress]);
    f.squawk = "1234";
    EXPECT_EQ(SecondPassColour(f, kClassAir, colours[kColActiveFlight], roles, colours, marks),
              colours[kColSelectedFlight]);
    f.squawk = "12*4";
    EXPECT_EQ(
        SecondPassColour(f, kClassAir, colours[kColActiveFlight], TargetRoles{}, colours, marks),
        colours[kColSquawkIdent]);
    f.squawk = "1234";
    f.colourcode = "3";
    EXPECT_EQ(
        SecondPassColour(f, kClassAir, colours[kColActiveFlight], TargetRoles{}, colours, marks),
        colours[25]);
    f.altlabel = "G---";
    EXPECT_EQ(
        SecondPassColour(f, kClassGround, colours[kColActiveFlight], TargetRoles{}, colours, marks),
        colours[kColGroundFlights]);
}

TEST(TargetStyle, SymbolsAndLabelSets) {
    Tflight f = Airborne("F350");
    EXPECT_EQ(TargetSymbol(f, kClassAir, false, ""), 1);
    EXPECT_EQ(TargetSymbol(f, kClassFiltered, false, "0"), 2);
    EXPECT_EQ(TargetSymbol(f, kClassAir, true, ""), 5);
    EXPECT_EQ(TargetSymbol(f, kClassAir, false, "-1"), 0);
    EXPECT_EQ(TargetSymbol(f, kClassAir, false, "1"), 7);
    EXPECT_EQ(TargetSymbol(f, kClassAir, false, "5"), 8);
    f.hold30s = true;
    EXPECT_EQ(TargetSymbol(f, kClassAir, false, ""), 8);

    RadarDisplayState w1, w2;
    w2.window = 2;
    Tflight g = Airborne("F350");
    g.fl = 350;
    EXPECT_EQ(LabelSetFor(g, kClassAir, {}, w1), 0);
    EXPECT_EQ(LabelSetFor(g, kClassAir, {}, w2), 1);
    w1.cbAutoLabel = true;
    EXPECT_EQ(LabelSetFor(g, kClassAir, {}, w1), 1);
    g.fl = 100;
    EXPECT_EQ(LabelSetFor(g, kClassAir, {}, w1), 0);
    EXPECT_EQ(LabelSetFor(g, kClassFiltered, {}, w1), 1);
    EXPECT_EQ(LabelSetFor(g, kClassGround, {}, w1), 2);
    TargetRoles sel;
    sel.selected = true;
    EXPECT_EQ(LabelSetFor(g, kClassGround, sel, w1), 3);
    sel.followed = true;
    EXPECT_EQ(LabelSetFor(g, kClassGround, sel, w1), 2);
    g.squawk = "7600";
    EXPECT_EQ(LabelSetFor(g, kClassGround, {}, w1), 3);
}

TEST(TargetStyle, LabelBoxPositionTable) {
    const std::array<std::string, 5> lines = {"DLH123", "F350", "", "", ""};
    struct Case {
        int position;
        int tx, ty, lx, ly;
    } small[] = {{-1, -48, -15, -15, -15}, {0, 30, 0, 28, -2},      {1, 15, -15, 13, -15},
                 {2, -4, -30, -1, -21},    {3, -48, -15, -15, -15}, {4, -48, 0, -15, -2},
                 {5, -48, 15, -15, 12},    {6, -4, 25, 4, 10},      {7, 15, 15, 13, 15}};
    for (const auto& c : small) {
        const LabelBox L = ComputeLabelBox(lines, c.position, false);
        EXPECT_EQ(L.width, 48);  // 7 * 6 + 6
        EXPECT_EQ(L.tx, c.tx) << c.position;
        EXPECT_EQ(L.ty, c.ty) << c.position;
        EXPECT_EQ(L.lx, c.lx) << c.position;
        EXPECT_EQ(L.ly, c.ly) << c.position;
    }
    const LabelBox big = ComputeLabelBox(lines, 6, true);
    EXPECT_EQ(big.width, 55);
    EXPECT_EQ(big.ty, 12 * 2 + 5);
}

TEST(TargetStyle, ClockAndStripExclusions) {
    EXPECT_TRUE(LabelExcluded(200, 1000, 1024, false, false));  // 24 below the top, under the clock
    EXPECT_FALSE(LabelExcluded(104, 1000, 1024, false, false));
    EXPECT_FALSE(LabelExcluded(200, 964, 1024, false, false));  // 60 below the top
    EXPECT_FALSE(LabelExcluded(400, 950, 1024, false, false));
    EXPECT_TRUE(LabelExcluded(400, 950, 1024, true, false));   // under the strip
    EXPECT_FALSE(LabelExcluded(200, 1000, 1024, true, true));  // overlays hidden
}

TEST(TargetStyle, RecordedTrailWalkWrapsToTheRingEnd) {
    EXPECT_EQ(RecordedTrailWalk(100, 60, 7, 7200),
              (std::vector<int>{100, 93, 86, 79, 72, 65, 58, 51, 44}));
    // Longer than the time since the index wrapped: on from the end of the ring.
    EXPECT_EQ(RecordedTrailWalk(5, 30, 4, 7200),
              (std::vector<int>{5, 1, 7197, 7193, 7189, 7185, 7181, 7177}));
    EXPECT_EQ(RecordedTrailWalk(0, 3, 1, 7200), (std::vector<int>{0, 7199, 7198}));
    EXPECT_TRUE(RecordedTrailWalk(0, 0, 1, 7200).empty());
    EXPECT_EQ(RecordedTrailStep(7000.0f), 7);  // round(628) div 100 + 1
    EXPECT_EQ(RecordedTrailStep(6372.5f), 1);
    EXPECT_EQ(RecordedTrailStep(42372.5f), 361);
}

TEST(TargetStyle, ClosestApproachOfConvergingPair) {
    Tflight a = Airborne("F350"), b = Airborne("F340");
    a.latf = 50.0f;
    a.lonf = 0.0f;
    a.trackf = 90;
    a.gsf = 360;  // 0.1 NM per second
    a.coslat = std::cos(50.0 * M_PI / 180);
    b = a;
    b.lonf = static_cast<float>(20.0 / 60 / a.coslat);  // 20 NM east, head-on
    b.trackf = 270;
    const ClosestApproach r = ComputeClosestApproach(a, b);
    ASSERT_TRUE(r.converging);
    EXPECT_NEAR(r.currentDistance, 19.8, 0.01);
    EXPECT_EQ(r.seconds, 99);  // 100 s to meet; the first step is t = 0
    EXPECT_LT(r.minimumDistance, 0.11);

    a.trackf = 270;  // both turn away from each other: never closer
    b.trackf = 90;
    EXPECT_FALSE(ComputeClosestApproach(a, b).converging);

    a.fl = 350;
    a.vratef = -1200;
    a.mcp = "300";
    EXPECT_EQ(PredictedLevel(a, 100), "330-300");
    a.fl = 5;
    EXPECT_EQ(PredictedLevel(a, 600), "000-300");
    a.vratef = 0;
    a.mcp = "";
    EXPECT_EQ(PredictedLevel(a, 10), "005=");
}

}  // namespace
}  // namespace aerova
