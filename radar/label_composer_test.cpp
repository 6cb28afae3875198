#include "radar/label_composer.h"

#include <gtest/gtest.h>

#include "core/flight.h"

namespace aerova {
namespace {

const std::string kDeg(1, '\xB0');

class LabelComposerTest : public testing::Test {
  protected:
    LabelComposerTest() {
        context.layout = &layout;
        flight.deleted = false;
        flight.free = false;
        flight.labeltext = "BAW123";
        flight.modes = "4CA123";
        flight.squawk = "1000";
        flight.altlabel = "F350";
        flight.selvalid = true;
        flight.hdgvalid = true;
        flight.rollvalid = true;
        flight.windvalid = true;
    }

    std::string Item(int kind) { return FormatLabelItem(kind, flight, context); }

    LabelLayout layout;
    LabelContext context;
    Tflight flight;
};

TEST_F(LabelComposerTest, DefaultLayoutFirstLine) {
    const LabelLines lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[0], "BAW123 4CA123 1000 F350");
    for (int i = 1; i < 5; ++i) EXPECT_EQ(lines[i], "") << i;
}

TEST_F(LabelComposerTest, EmptyFirstLineMovesTheOthersUp) {
    flight.labeltext = "";
    flight.modes = "";
    flight.squawk = "";
    flight.altlabel = "";
    flight.vratecode = "+25";  // line 2: kinds 4 to 7
    flight.gs4 = "475";
    flight.mach = "854";  // line 3: kinds 8 to 11
    flight.qnh = "1013";  // line 4: kinds 12 to 15
    const LabelLines lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[0], "+25 475");
    EXPECT_EQ(lines[1], "M854");
    EXPECT_EQ(lines[2], "Q1013");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "");
}

TEST_F(LabelComposerTest, GapClosingOrder) {
    // Only lines 2 and 4 filled: line 3 takes line 4, then line 1 takes 2 and 3.
    flight.labeltext = "";
    flight.modes = "";
    flight.squawk = "";
    flight.altlabel = "";
    flight.gs4 = "475";
    flight.qnh = "1013";
    LabelLines lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[0], "475");
    EXPECT_EQ(lines[1], "Q1013");
    EXPECT_EQ(lines[2], "");
    // Lines 1 and 2 empty, 3 and 4 filled.
    flight.gs4 = "";
    flight.mach = "854";
    lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[0], "M854");
    EXPECT_EQ(lines[1], "Q1013");
    EXPECT_EQ(lines[2], "");
    // Only line 4 filled.
    flight.mach = "";
    lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[0], "Q1013");
    EXPECT_EQ(lines[3], "");
}

TEST_F(LabelComposerTest, AltitudeWithSelectedLevelAndBust) {
    struct Case {
        const char* altlabel;
        const char* mcp;
        bool selvalid;
        const char* vratecode;
        int format;
        const char* expected;
    } cases[] = {
        {"F350", "350", true, "", 0, "F350="},
        {"F350", "360", true, "-10", 0, "%F350>360"},
        {"F350", "360", true, " -5", 0, "%F350>360"},  // right-aligned rate code
        {"F350", "340", true, "+15", 0, "%F350>340"},
        {"F350", "360", true, "+15", 0, "F350>360"},    // climbing towards it
        {"F350", "360", false, "-10", 0, "F350$>360"},  // stale selection: no bust
        {"F350", "350", false, "", 0, "F350$="},
        {"F350", "", true, "-10", 0, "F350"},
        {"F350", "360", true, "-10", 1, "%FL350>360"},
        {"A040", "050", true, "", 2, "A040ft>050"},
        {"A040", "", true, "", 2, "A040ft"},
        {"A040", "040", true, "", 2, "A040ft="},
        {"A040", "050", false, "", 2, "A040ft$>050"},
        {"A040", "", true, "", 1, "ALT040"},
        {"A040", "050", true, "", 3, "ALT040ft>050"},
        {"G---", "", true, "", 2, "GND"},
        {"G---", "", true, "", 3, "GND"},
        {"G---", "050", true, "-10", 0, "G--->050"},  // "-" in the label: no bust
        {"F170", "", true, "", 3, "FL170"},
        {"", "350", true, "-10", 0, ""},
    };
    for (const auto& c : cases) {
        flight.altlabel = c.altlabel;
        flight.mcp = c.mcp;
        flight.selvalid = c.selvalid;
        flight.vratecode = c.vratecode;
        layout.formats.altitude = c.format;
        EXPECT_EQ(Item(3), c.expected) << c.altlabel << " " << c.mcp << " format " << c.format;
    }
}

TEST_F(LabelComposerTest, RegistrationFormats) {
    struct Case {
        const char* reg;
        int format;
        bool userColoured;
        int kind;
        const char* expected;
    } cases[] = {
        {"G-ABCD", 0, false, 18, "GABCD"}, {"G-ABCD", 1, false, 18, "G-ABCD"},
        {"G-ABCD", 2, false, 18, "CD"},    {"D-AI-XA", 0, false, 18, "DAI-XA"},
        {"N1", 2, false, 18, "N1"},        {"G-ABCD", 0, false, 19, ""},
        {"G-ABCD", 1, true, 19, "G-ABCD"}, {"", 2, true, 19, ""},
    };
    for (const auto& c : cases) {
        flight.reg = c.reg;
        layout.formats.reg = c.format;
        context.userColoured = c.userColoured;
        EXPECT_EQ(Item(c.kind), c.expected) << c.reg << " " << c.format;
    }
}

TEST_F(LabelComposerTest, FormatChoices) {
    flight.squawk = "7700E";
    flight.vratecode = "-25";
    flight.track3 = "234";
    flight.heading = "205";
    flight.gs4 = "475";
    flight.tas = "480";
    flight.mach = "854";
    flight.ias = "275";
    flight.qnh = "1013";
    struct Case {
        int kind;
        int LabelFormats::*field;
        int format;
        std::string expected;
    } cases[] = {
        {2, &LabelFormats::squawk, 0, "7700E"},
        {2, &LabelFormats::squawk, 1, "SQ7700E"},
        {4, &LabelFormats::vrate, 0, "-25"},
        {4, &LabelFormats::vrate, 1, "V-25"},
        {4, &LabelFormats::vrate, 2, "V-2500ft/min"},
        {5, &LabelFormats::ttrack, 0, "234" + kDeg},
        {5, &LabelFormats::ttrack, 1, "TT234" + kDeg},
        {5, &LabelFormats::ttrack, 2, "TT234"},
        {6, &LabelFormats::heading, 0, "H205"},
        {6, &LabelFormats::heading, 1, "H205" + kDeg},
        {6, &LabelFormats::heading, 2, "MH205"},
        {6, &LabelFormats::heading, 3, "MH205" + kDeg},
        {7, &LabelFormats::gndspeed, 0, "475"},
        {7, &LabelFormats::gndspeed, 1, "475kt"},
        {7, &LabelFormats::gndspeed, 2, "GS475"},
        {7, &LabelFormats::gndspeed, 3, "GS475kt"},
        {8, &LabelFormats::tas, 0, "t480"},
        {8, &LabelFormats::tas, 1, "t480kt"},
        {8, &LabelFormats::tas, 2, "TAS480"},
        {8, &LabelFormats::tas, 3, "TAS480kt"},
        {9, &LabelFormats::mach, 0, "M854"},
        {9, &LabelFormats::mach, 1, "M85"},
        {9, &LabelFormats::mach, 2, ".85"},
        {9, &LabelFormats::mach, 3, ".854"},
        {9, &LabelFormats::mach, 4, "M.85"},
        {9, &LabelFormats::mach, 5, "M.854"},
        {10, &LabelFormats::ias, 0, "i275"},
        {10, &LabelFormats::ias, 1, "i275kt"},
        {10, &LabelFormats::ias, 2, "IAS275"},
        {10, &LabelFormats::ias, 3, "IAS275kt"},
        {13, &LabelFormats::qnh, 0, "Q1013"},
        {13, &LabelFormats::qnh, 1, "Q1013hPa"},
        {13, &LabelFormats::qnh, 2, "QNH1013"},
        {13, &LabelFormats::qnh, 3, "QNH1013hPa"},
        {13, &LabelFormats::qnh, 9, "Q1013"},  // unknown choice: the normal form
    };
    for (const auto& c : cases) {
        layout.formats = LabelFormats{};
        layout.formats.*c.field = c.format;
        EXPECT_EQ(Item(c.kind), c.expected) << "kind " << c.kind << " format " << c.format;
    }
}

TEST_F(LabelComposerTest, StaleMarks) {
    flight.heading = "205";
    flight.mach = "854";
    flight.ias = "275";
    flight.roll = "5>";
    flight.turn = "<2";
    flight.qnh = "1013";
    flight.mcpmode = 'V';
    flight.hdgvalid = false;
    flight.rollvalid = false;
    flight.selvalid = false;
    layout.formats.heading = 3;
    layout.formats.ias = 1;
    EXPECT_EQ(Item(6), "$MH205" + kDeg);
    EXPECT_EQ(Item(9), "$M854");
    EXPECT_EQ(Item(10), "$i275kt");
    EXPECT_EQ(Item(11), "$b5>");
    EXPECT_EQ(Item(12), "$r<2");
    EXPECT_EQ(Item(13), "$Q1013");
    EXPECT_EQ(Item(15), "$[V]");
    flight.hdgvalid = flight.rollvalid = flight.selvalid = true;
    EXPECT_EQ(Item(6), "MH205" + kDeg);
    EXPECT_EQ(Item(11), "b5>");
    EXPECT_EQ(Item(12), "r<2");
    EXPECT_EQ(Item(15), "[V]");
    flight.mcpmode = ' ';
    EXPECT_EQ(Item(15), "");

    // Vessels: no heading format and no marks where the rule is for aircraft only.
    flight.vessel = true;
    flight.hdgvalid = flight.rollvalid = flight.selvalid = false;
    EXPECT_EQ(Item(6), "H205");
    EXPECT_EQ(Item(9), "$M854");  // Mach and IAS are marked for every target
    EXPECT_EQ(Item(11), "b5>");
    EXPECT_EQ(Item(12), "<2");
    EXPECT_EQ(Item(13), "Q1013");
}

TEST_F(LabelComposerTest, FlightIdMarks) {
    struct Case {
        bool hold3min;
        const char* posquality;
        const char* route;
        bool markLabel;
        std::string expected;
    } cases[] = {
        {false, "HI", "", true, "BAW123"},
        {true, "HI", "", true, "#BAW123"},
        {false, "XXX", "", true, ":BAW123"},
        {false, "HI", "EGLL-EDDH", true, kDeg + "BAW123"},
        {false, "HI", "EGLL-EDDH", false, "BAW123"},
        {true, "XXX", "EGLL-EDDH", true, kDeg + ":#BAW123"},
    };
    for (const auto& c : cases) {
        flight.hold3min = c.hold3min;
        flight.posquality = c.posquality;
        flight.route = c.route;
        context.markLabel = c.markLabel;
        EXPECT_EQ(Item(0), c.expected);
    }
    // The airline-name, IATA and radio-call forms have no source: empty.
    layout.formats.flightid = 2;
    EXPECT_EQ(Item(0), "");
    flight.vessel = true;  // vessels always show their label
    flight.labeltext = "DE";
    EXPECT_EQ(Item(0), "DE");
}

TEST_F(LabelComposerTest, OtherKinds) {
    flight.gps = "-125";
    flight.icaotype = "A320";
    flight.route = "EGLL-EDDH";
    flight.lat = "53.12345";
    flight.lon = "9.87654";
    flight.sqlaircraft.columns[5] = "Lufthansa";
    flight.sqlaircraft.columns[48] = "last";
    context.bearingText = "121";
    context.distanceText = "65.5";
    EXPECT_EQ(Item(1), "4CA123");
    EXPECT_EQ(Item(14), "(-125)");
    EXPECT_EQ(Item(16), "A320");
    EXPECT_EQ(Item(17), "");
    context.userColoured = true;
    EXPECT_EQ(Item(17), "A320");
    EXPECT_EQ(Item(20), "EGLL-EDDH");
    EXPECT_EQ(Item(21), "53.12345 9.87654");
    EXPECT_EQ(Item(22), "121" + kDeg + "/65.5");
    EXPECT_EQ(Item(24), "");
    EXPECT_EQ(Item(30), "Lufthansa");
    EXPECT_EQ(Item(73), "last");
    EXPECT_EQ(Item(74), "");
    EXPECT_EQ(Item(-1), "");
    context.bearingText = "???";
    context.distanceText = "????.?";
    EXPECT_EQ(Item(22), "");

    struct Box {
        const char* box;
        const char* expected;
    } boxes[] = {{"", ""}, {"0000", ""}, {"0101", "*0101"}, {"9990", ""}, {"35000", "*35000"}};
    for (const auto& b : boxes) {
        flight.box = b.box;
        EXPECT_EQ(Item(23), b.expected) << b.box;
        layout.formats.peer = 1;
        EXPECT_EQ(Item(23), b.expected) << b.box;
        layout.formats.peer = 0;
    }
}

TEST_F(LabelComposerTest, VesselStatusItem) {
    flight.vessel = true;
    struct Case {
        char status;
        const char* expected;
    } cases[] = {{'0', "[UWAY]"}, {'5', "[MOOR]"}, {'8', "[SAIL]"}, {'9', ""}, {' ', ""}};
    for (const auto& c : cases) {
        flight.mcpmode = c.status;
        EXPECT_EQ(Item(15), c.expected) << c.status;
    }
}

TEST_F(LabelComposerTest, WindLine) {
    flight.wind = "270/45";
    context.windOption = true;
    LabelLines lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[0], "BAW123 4CA123 1000 F350");
    EXPECT_EQ(lines[1], "270/45");
    flight.windvalid = false;
    lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[1], "$270/45");
    // All four lines in use: the wind goes to line 5.
    flight.vratecode = "+25";
    flight.mach = "854";
    flight.qnh = "1013";
    lines = ComposeLabel(kPageAirborne, flight, context);
    EXPECT_EQ(lines[3], "Q1013");
    EXPECT_EQ(lines[4], "$270/45");
    context.windOption = false;
    EXPECT_EQ(ComposeLabel(kPageAirborne, flight, context)[4], "");
}

TEST_F(LabelComposerTest, LayoutChoosesTheItems) {
    layout.kinds[kPageExtended][0] = {24, 2, 24, 0};
    layout.kinds[kPageExtended][1] = {16, 18, 24, 24};
    flight.reg = "D-AIPA";
    flight.icaotype = "A320";
    const LabelLines lines = ComposeLabel(kPageExtended, flight, context);
    EXPECT_EQ(lines[0], "1000 BAW123");
    EXPECT_EQ(lines[1], "A320 DAIPA");
    EXPECT_EQ(ComposeLabel(7, flight, context)[0], "");
    EXPECT_EQ(ComposeLabelLine(0, 4, flight, context), "");
}

TEST(LabelPreviewTest, SampleTargetsOnTheDefaultLayout) {
    LabelLayout layout;
    // The sample's roll and turn are stale; the preview shows them without "$".
    std::array<std::string, 4> lines = LabelPreview(layout, kPageAirborne, true);
    EXPECT_EQ(lines[0], kDeg + "DLH4AB 3C6444 1000 F350>360");
    EXPECT_EQ(lines[1], "+12 234" + kDeg + " H229 452");
    EXPECT_EQ(lines[2], "t465 M784 i274 b=");
    EXPECT_EQ(lines[3], "r= Q1013 (-125) [V]");
    layout.kinds[kPageExtended][0] = {22, 19, 17, 24};
    EXPECT_EQ(LabelPreview(layout, kPageExtended, false)[0], "121" + kDeg + "/65.5 DAIPA A320");
    layout.kinds[kPageVessel][0] = {0, 15, 6, 5};
    EXPECT_EQ(LabelPreview(layout, kPageVessel, true)[0], "DE [UWAY] H090 087" + kDeg);
}

TEST(LabelTextsTest, CaptionsAndVesselTexts) {
    EXPECT_EQ(LabelKindCaption(0), "Flight ID");
    EXPECT_EQ(LabelKindCaption(10), "Indicated Air Spd");
    EXPECT_EQ(LabelKindCaption(24), "++ BLANK ++");
    EXPECT_EQ(LabelKindCaption(25), "");
    struct Case {
        int type;
        const char* text;
    } cases[] = {{20, "WIG"},     {29, "WIG"},
                 {24, "WIG HAZ"}, {30, "FISHING"},
                 {32, "TOWING"},  {37, "PLEASURE"},
                 {44, "HSC HAZ"}, {53, "PORT TENDER"},
                 {56, ""},        {59, "MOB-83"},
                 {65, ""},        {69, "PASS"},
                 {71, "CGO HAZ"}, {84, "TANKER HAZ"},
                 {90, "OTHER"},   {94, "OTHER HAZ"},
                 {95, ""},        {0, ""},
                 {-1, ""}};
    for (const auto& c : cases) EXPECT_EQ(ShipTypeText(c.type), c.text) << c.type;
    EXPECT_EQ(NavigationStatusText('1'), "ANCH");
    EXPECT_EQ(NavigationStatusText('6'), "AGND");
    EXPECT_EQ(NavigationStatusText('A'), "");
}

}  // namespace
}  // namespace aerova
