#include "tools/no_position_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/strings.h"

namespace aerova {
namespace {

// A flight as the station lists it: active, labelled, with selected level, rate, speed and
// track.
Tflight Listed() {
    Tflight f;
    f.deleted = f.free = false;
    f.state = 1;
    f.modes = "3C4A6B";
    f.labeltext = "DLH4AB";
    f.altlabel = "F350";
    f.hassel = true;
    f.mcp = "350";
    f.vratecode = "+12";
    f.reg = "D-AIBC";
    f.icaotype = "A320";
    f.squawk = "1000";
    f.gs4 = "450";
    f.track3 = "090";
    f.route = "EDDH-LEMD";
    return f;
}

struct LineCase {
    const char* name;
    std::function<void(Tflight&)> change;
    int slot;
    const char* columns;  // columns 9 onward
};

TEST(NoPositionLine, ColumnsCountBytesAndTakeTheFirstKnownSource) {
    const LineCase cases[] = {
        {"listed", [](Tflight&) {}, 5,
         "DLH4AB      *   5F350 =   +12 D-AIBC  A320  1000 450  090\xB0          #EDDH-LEMD"},
        {"registration label shows the address", [](Tflight& f) { f.labeltext = "&D-AIBC"; }, 5,
         "~3C4A6B     *   5F350 =   +12 D-AIBC  A320  1000 450  090\xB0          #EDDH-LEMD"},
        {"inactive, other selected level, last slot",
         [](Tflight& f) {
             f.state = 0;
             f.mcp = "300";
         },
         1999, "DLH4AB      ?1999F350 300 +12 D-AIBC  A320  1000 450  090\xB0          #EDDH-LEMD"},
        {"no selected level without a four-character label", [](Tflight& f) { f.altlabel = ""; }, 5,
         "DLH4AB      *   5         +12 D-AIBC  A320  1000 450  090\xB0          #EDDH-LEMD"},
        {"indicated airspeed and heading",
         [](Tflight& f) {
             f.gs4 = "";
             f.ias = "250";
             f.track3 = "";
             f.heading = "275";
         },
         5, "DLH4AB      *   5F350 =   +12 D-AIBC  A320  1000 i250 H275          #EDDH-LEMD"},
        {"true airspeed when no indicated one",
         [](Tflight& f) {
             f.gs4 = "";
             f.tas = "262";
         },
         5, "DLH4AB      *   5F350 =   +12 D-AIBC  A320  1000 t262 090\xB0          #EDDH-LEMD"},
        {"Mach when nothing else",
         [](Tflight& f) {
             f.gs4 = "";
             f.mach = "78";
         },
         5, "DLH4AB      *   5F350 =   +12 D-AIBC  A320  1000 m78  090\xB0          #EDDH-LEMD"},
        {"no speed, no direction: blanks, no lone degree sign",
         [](Tflight& f) {
             f.gs4 = "";
             f.track3 = "";
             f.route = "";
         },
         5,
         "DLH4AB      *   5F350 =   +12 D-AIBC  A320  1000 "
         "     "  // speed
         "     "  // direction
         "         #"},
    };
    for (const LineCase& c : cases) {
        Tflight f = Listed();
        c.change(f);
        EXPECT_EQ(NoPositionColumns(f, c.slot), c.columns) << c.name;
    }
}

struct KeyCase {
    NoPositionSort sort;
    const char* altlabel;
    const char* text;  // labeltext, reg or squawk as the sort reads it
    int slot;
    const char* key;
};

TEST(NoPositionLine, SortKeys) {
    using S = NoPositionSort;
    const KeyCase cases[] = {
        {S::kId, "", "DLH4AB", 0, "DLH4AB  "},
        {S::kId, "", "ABCDEFGHIJ", 0, "ABCDEFGH"},
        {S::kAlt, "F350", "", 0, "649     "},
        {S::kAlt, "F100", "", 0, "899     "},
        {S::kAlt, "A040", "", 0, "959     "},
        {S::kAlt, "F999", "", 0, "  0     "},
        {S::kAlt, "G---", "", 0, "999     "},
        {S::kAlt, "F---", "", 0, "        "},  // no level: as an empty label
        {S::kAlt, "Fx12", "", 0, "        "},
        {S::kAlt, "", "", 0, "        "},
        {S::kReg, "", "D-AIBC", 0, "D-AIBC  "},
        {S::kReg, "", "N123456789", 0, "N1234567"},
        {S::kReg, "", "X", 0, "        "},
        {S::kSquawk, "", "7700", 0, "7700    "},
        {S::kSquawk, "", "7", 0, "        "},
        {S::kNone, "", "", 5, "99999994"},
        {S::kNone, "", "", 0, "99999999"},
    };
    for (const KeyCase& c : cases) {
        Tflight f = Listed();
        f.altlabel = c.altlabel;
        f.labeltext = c.text;
        f.reg = c.text;
        f.squawk = c.text;
        EXPECT_EQ(NoPositionSortKey(f, c.slot, c.sort), c.key)
            << static_cast<int>(c.sort) << " " << c.altlabel << " " << c.text;
    }
}

TEST(NoPositionState, OneSortButtonAtMostAndTheFilterCaption) {
    NoPositionListState s;
    s.spbsortalt = s.spbsortsq = true;
    s.sbfilterCaption = "Fi9";
    NormaliseLoaded(s);
    EXPECT_EQ(SortOf(s), NoPositionSort::kId);
    EXPECT_FALSE(s.spbsortalt || s.spbsortsq || s.spbsortreg);
    EXPECT_EQ(s.sbfilterCaption, "Fi1");
    EXPECT_EQ(FilterWindow(s), 1);

    SetSort(s, NoPositionSort::kNone);
    EXPECT_EQ(SortOf(s), NoPositionSort::kNone);
    ReleaseFilter(s);
    EXPECT_EQ(s.sbfilterCaption, "Fi2");
    EXPECT_EQ(FilterWindow(s), 2);
    ReleaseFilter(s);
    EXPECT_EQ(s.sbfilterCaption, "Fi1");
}

class NoPositionListTest : public ::testing::Test {
  protected:
    NoPositionListTest() {
        radar1.window = 1;
        radar2.window = 2;
        // Colours apart from each other (most items default to white).
        colours[kColClimbing] = RgbFromBytes(255, 0, 0);
        colours[kColDescending] = RgbFromBytes(0, 0, 255);
        colours[kColGroundFlights] = RgbFromBytes(200, 100, 0);
        for (int item = kColUserFirst; item <= kColUserLast; ++item)
            colours[item] = RgbFromBytes(5 * item, 0, 100);
    }

    int Add(const char* label, const char* altlabel, bool nopos) {
        const int slot = table->AllocateSlot();
        Tflight& f = table->flights[static_cast<std::size_t>(slot)];
        f = Listed();
        f.labeltext = label;
        f.altlabel = altlabel;
        f.nopos = nopos;
        return slot;
    }
    Tflight& F(int slot) { return table->flights[static_cast<std::size_t>(slot)]; }
    NoPositionList Build() {
        return BuildNoPositionList(*table, state, colours, {&radar1, &radar2});
    }
    std::vector<std::string> Labels(const NoPositionList& list) {
        std::vector<std::string> labels;
        for (const auto& row : list.rows) labels.push_back(Trim(row.line.substr(8, 12)));
        return labels;
    }
    Rgb ColourIn(int window, int slot) {
        const auto& c = table->windows[static_cast<std::size_t>(window - 1)]
                            .colour[static_cast<std::size_t>(slot)];
        return Rgb{c[0], c[1], c[2]};
    }

    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    NoPositionListState state;
    ColourTable colours;
    RadarDisplayState radar1, radar2;
};

TEST_F(NoPositionListTest, AllFlightsByLabelOrOnlyThoseWithoutPosition) {
    Add("KLM12", "F200", false);
    const int nopos = Add("BAW9", "F100", true);
    Add("AFR7", "F300", false);
    const int gone = Add("SAS1", "F100", true);
    F(gone).deleted = true;

    NoPositionList list = Build();
    EXPECT_EQ(Labels(list), (std::vector<std::string>{"AFR7", "BAW9", "KLM12"}));
    EXPECT_EQ(list.caption, "3 flights");

    state.spbnopos = false;
    list = Build();
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].slot, nopos);
    EXPECT_EQ(list.caption, "1 no position flights");
}

TEST_F(NoPositionListTest, AltitudeSortHighestFirstGroundLast) {
    Add("A", "F100", true);
    Add("B", "G---", true);
    Add("C", "F350", true);
    Add("D", "F---", true);  // no level yet: with the unlabelled flights
    SetSort(state, NoPositionSort::kAlt);
    EXPECT_EQ(Labels(Build()), (std::vector<std::string>{"D", "C", "A", "B"}));
    SetSort(state, NoPositionSort::kNone);
    EXPECT_EQ(Labels(Build()), (std::vector<std::string>{"D", "C", "B", "A"}));
}

TEST_F(NoPositionListTest, AltitudeFilterUsesTheNamedWindowsBounds) {
    Add("GND1", "G---", true);
    Add("LOW", "F090", true);
    Add("F100", "F100", true);
    Add("HIGH", "F350", true);
    Add("NONE", "", true);
    state.sbfilter = true;
    EXPECT_EQ(Build().rows.size(), 5u);  // GND to UNL

    radar2.cblower = "100";
    EXPECT_EQ(Build().rows.size(), 5u) << "window 1's bounds apply";
    state.sbfilterCaption = "Fi2";
    EXPECT_EQ(Labels(Build()), (std::vector<std::string>{"F100", "HIGH", "NONE"}));
    radar2.cbupper = "300";
    EXPECT_EQ(Labels(Build()), (std::vector<std::string>{"F100", "NONE"}));
}

TEST_F(NoPositionListTest, UserColoursPerWindowAndTheUserColouredFilter) {
    const int dlh = Add("DLH4AB", "F350", true);
    const int baw = Add("BAW9", "F100", true);
    F(baw).reg = "G-EUPA";
    const int klm = Add("KLM12", "F200", true);
    F(klm).reg = "PH-BXA";
    radar2.marks.caption[31] = "DLH";
    radar1.marks.caption[35] = "G-EU";  // matched in the registration
    // A user item nobody has named matches nothing, though "" occurs in every text.
    radar2.marks.caption[30] = "";
    radar1.marks.caption[30] = "";

    NoPositionList list = Build();
    EXPECT_TRUE(table->windows[1].usercolour[static_cast<std::size_t>(dlh)]);
    EXPECT_EQ(ColourIn(2, dlh), colours[31]);
    EXPECT_FALSE(table->windows[0].usercolour[static_cast<std::size_t>(dlh)]);
    EXPECT_TRUE(table->windows[0].usercolour[static_cast<std::size_t>(baw)]);
    EXPECT_EQ(ColourIn(1, baw), colours[35]);
    EXPECT_FALSE(table->IsUserColoured(klm));

    state.buuconly = true;
    EXPECT_EQ(Labels(Build()), (std::vector<std::string>{"BAW9", "DLH4AB"}));

    // An item unchecked no longer colours; the mark goes with the next rebuild.
    radar2.marks.checked[31] = false;
    EXPECT_EQ(Labels(Build()), (std::vector<std::string>{"BAW9"}));
}

struct ColourCase {
    const char* name;
    int state;
    const char* vratecode;
    int trend;
    bool climbChecked;
    int item;  // expected colour item in radar window 2
};

TEST_F(NoPositionListTest, WindowTwoColourFromStateAndVerticalRate) {
    const ColourCase cases[] = {
        {"active, level", 1, "", 0, true, kColActiveFlight},
        {"inactive", 0, "+12", 1, true, kColInactiveFlight},
        {"climbing code", 1, "+12", 0, true, kColClimbing},
        {"climbing unchecked", 1, "+12", 0, false, kColActiveFlight},
        {"small rate", 1, "+3", 1, true, kColActiveFlight},
        {"descending code", 1, " -8", 0, true, kColDescending},
        {"trend without code", 1, "", 1, true, kColClimbing},
        {"descending trend", 1, " ", -1, true, kColDescending},
    };
    const int slot = Add("X1", "F100", true);
    for (const ColourCase& c : cases) {
        F(slot).state = c.state;
        F(slot).vratecode = c.vratecode;
        F(slot).trend = c.trend;
        radar2.marks.checked[kColClimbing] = c.climbChecked;
        Build();
        EXPECT_EQ(ColourIn(2, slot), colours[c.item]) << c.name;
    }
}

TEST_F(NoPositionListTest, AnInactiveFlightKeepsItsUserMarks) {
    const int slot = Add("DLH4AB", "F350", true);
    radar2.marks.caption[31] = "DLH";
    Build();
    ASSERT_TRUE(table->IsUserColoured(slot));
    F(slot).state = 0;
    Build();
    EXPECT_TRUE(table->windows[1].usercolour[static_cast<std::size_t>(slot)]);
    EXPECT_EQ(ColourIn(2, slot), colours[kColInactiveFlight]);
}

TEST_F(NoPositionListTest, DrawnRowSegmentsAndTheirColours) {
    const int slot = Add("DLH4AB", "F350", true);
    F(slot).selvalid = true;
    F(slot).labelaltvalid = 1;
    F(slot).routestate = 2;
    NoPositionList list = Build();
    ASSERT_EQ(list.rows.size(), 1u);
    const Rgb climbing = colours[kColClimbing];
    NoPositionRow row = list.rows[0];
    EXPECT_EQ(row.segments[0].text,
              "\xB0"
              "DLH4AB      F350 ");
    EXPECT_EQ(row.segments[1].text, "=   ");
    EXPECT_EQ(row.segments[2].text, "+12 D-AIBC  A320  1000 ");
    EXPECT_EQ(row.segments[3].text, "450  090\xB0          #EDDH-LEMD");
    const int xs[] = {0, 124, 148, 310};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(row.segments[static_cast<std::size_t>(i)].x, xs[i]);
        EXPECT_EQ(row.segments[static_cast<std::size_t>(i)].colour, climbing) << i;
    }
    EXPECT_FALSE(row.italic);
    EXPECT_EQ(row.frame, 2);

    // A substitute speed while the heading block is old, no selected level heard, on the
    // ground, no route, no altitude label lately.
    Tflight& f = F(slot);
    f.gs4 = "";
    f.ias = "250";
    f.hdgvalid = false;
    f.selvalid = false;
    f.ground = "1";
    f.route = "";
    f.vratecode = "";
    f.labelaltvalid = 0;
    row = Build().rows[0];
    const Rgb ground = colours[kColGroundFlights];
    const Rgb inactive = colours[kColInactiveFlight];
    EXPECT_EQ(row.segments[0].text, " DLH4AB      F350 ");
    EXPECT_EQ(row.segments[0].colour, ground);
    EXPECT_EQ(row.segments[1].colour, inactive);
    EXPECT_EQ(row.segments[2].colour, ground);
    EXPECT_EQ(row.segments[3].text, "i250 090\xB0          #");
    EXPECT_EQ(row.segments[3].colour, inactive);
    EXPECT_TRUE(row.italic);
    f.hdgvalid = true;
    EXPECT_EQ(Build().rows[0].segments[3].colour, ground);
}

}  // namespace
}  // namespace aerova
