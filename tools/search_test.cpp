#include "tools/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace aerova {

void PrintTo(const SearchView& v, std::ostream* os) {
    *os << "{" << v.lat << ", " << v.lon << ", " << v.distance << "}";
}
bool operator==(const SearchView& a, const SearchView& b) {
    return a.lat == b.lat && a.lon == b.lon && a.distance == b.distance;
}

namespace {

// Two radar windows that record what a search does to them.
class FakeDisplays : public SearchDisplays {
  public:
    std::array<bool, 2> visible{true, true};
    std::array<SearchView, 2> views{SearchView{53.6f, 10.0f, 7000}, SearchView{50, 8, 15000}};
    std::array<bool, 2> ctrGps{true, true};
    std::array<int, 2> moves{0, 0};
    std::array<int, 2> zoom{0, 0};

    bool Visible(int tag) const override { return visible[Index(tag)]; }
    SearchView View(int tag) const override { return views[Index(tag)]; }
    void MoveTo(int tag, const SearchView& view) override {
        views[Index(tag)] = view;
        ++moves[Index(tag)];
    }
    void UntickCentreGps(int tag) override { ctrGps[Index(tag)] = false; }
    void Zoom(int tag, int delta) override { zoom[Index(tag)] += delta; }

  private:
    static std::size_t Index(int tag) { return static_cast<std::size_t>(tag - 1); }
};

WaypointName Waypoint(const char* name, float lat, float lon) {
    WaypointName w{};
    std::memcpy(w.name, name, std::min<std::size_t>(std::strlen(name), 5));
    w.lat = lat;
    w.lon = lon;
    return w;
}

class SearchTest : public ::testing::Test {
  protected:
    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    FakeDisplays displays;
    SearchState state;

    int AddFlight(const char* label, float lat, float lon, int active = 1, bool nopos = false) {
        const int slot = table->AllocateSlot();
        Tflight& f = table->flights[static_cast<std::size_t>(slot)];
        f.deleted = f.free = false;
        f.state = active;
        f.nopos = nopos;
        f.labeltext = label;
        f.latf = lat;
        f.lonf = lon;
        f.lat = std::to_string(lat);
        f.lon = std::to_string(lon);
        f.altlabel = "350";
        return slot;
    }
    int Flights(const char* text) {
        state.Edit1 = text;
        return SearchFlights(state, *table, displays);
    }
    WindowTargetMarks& marks(int tag) { return table->windows[static_cast<std::size_t>(tag - 1)]; }
};

TEST(SearchLines, FixedColumnsThenTheIndex) {
    Tflight f;
    f.labeltext = "BAW12 ABCDEF";  // the field keeps 11 characters
    f.altlabel = "350";
    f.lat = "53.630123";
    f.lon = "9.9876543";
    EXPECT_EQ(FlightResultLine(f, 42), "BAW12    350   53.630   9.98765             @42");
    f.labeltext = "";
    f.altlabel = "";
    f.lat = "";
    f.lon = "";
    EXPECT_EQ(FlightResultLine(f, 0), std::string(9 + 5 + 1 + 8 + 1 + 9, ' ') + "           @0");

    struct Case {
        WaypointName waypoint;
        const char* line;
    } cases[] = {
        {Waypoint("HAM", 53.63f, 9.99f), "HAM      53.63    9.99                @7"},
        {Waypoint("SYDNE", -33.9461f, 151.1772f), "SYDNE    -33.9461 151.1772            @7"},
        // A text wider than its column is not cut.
        {Waypoint("X", -33.94612f, -151.17722f), "X        -33.94612 -151.17722           @7"},
        {Waypoint("ZERO", 0.1f, -0.5f), "ZERO     0.1      -0.5                @7"},
    };
    for (const Case& c : cases) EXPECT_EQ(WaypointResultLine(c.waypoint, 7), c.line);
}

TEST(SearchLines, TheIndexAfterTheMark) {
    struct Case {
        const char* line;
        std::optional<int> index;
    } cases[] = {
        {"HAM      53.63    9.99                @7", 7},
        {"A@B           @1999", 1999},
        {"no mark", std::nullopt},
        {"line @", std::nullopt},
        {"line @-1", std::nullopt},
        {"line @12x", std::nullopt},
        {"line @99999999999", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ResultIndex(c.line), c.index) << c.line;
}

TEST_F(SearchTest, TwoMatchesAreListedAndNoWindowMoves) {
    const int a = AddFlight("DLH123", 51, 7);
    const int b = AddFlight("DLH124", 52, 8);
    AddFlight("BAW1", 40, 1);
    ShowSearch(state, displays);
    EXPECT_EQ(Flights(" dlh12 "), 2);
    ASSERT_EQ(state.ListBox1.size(), 2u);
    EXPECT_EQ(ResultIndex(state.ListBox1[0]), a);
    EXPECT_EQ(ResultIndex(state.ListBox1[1]), b);
    EXPECT_EQ(state.caption, "Search");  // not exactly one: the old caption returns
    EXPECT_EQ(state.Edit1, "");
    EXPECT_EQ(displays.moves[1], 0);
    EXPECT_TRUE(displays.ctrGps[1]);
    EXPECT_EQ(marks(2).selected, -1);
}

TEST_F(SearchTest, InactiveFlightsAndFlightsWithoutPositionAreNeverListed) {
    AddFlight("DLH1", 51, 7, 0);
    AddFlight("DLH2", 51, 7, 1, true);
    const int live = AddFlight("DLH3", 51, 7);
    EXPECT_EQ(Flights("DLH"), 1);
    EXPECT_EQ(ResultIndex(state.ListBox1.at(0)), live);
    EXPECT_EQ(Flights(""), 0);  // an empty text matches nothing
}

TEST_F(SearchTest, OneFlightCentresTheChosenWindowOnceOrFollowsIt) {
    for (const bool follow : {false, true}) {
        SCOPED_TRACE(follow);
        table = std::make_unique<FlightTable>();
        displays = FakeDisplays{};
        state = SearchState{};
        state.follow = follow;
        const int slot = AddFlight("EZY42AB", 48.35f, 11.78f);
        ShowSearch(state, displays);
        EXPECT_EQ(Flights("ezy42"), 1);
        EXPECT_EQ(state.caption, "EZY42");
        // Display #2 is chosen: window 1 stays where it is.
        EXPECT_EQ(displays.moves[0], 0);
        EXPECT_EQ(displays.views[1], (SearchView{48.35f, 11.78f, 15000}));
        EXPECT_FALSE(displays.ctrGps[1]);
        EXPECT_TRUE(displays.ctrGps[0]);
        EXPECT_EQ(marks(2).selected, slot);
        EXPECT_EQ(marks(2).followed, follow ? slot : -1);
        EXPECT_EQ(state.last, 1);
        EXPECT_EQ(state.history[1].name, "EZY42");
        EXPECT_EQ(state.history[1].view, displays.views[1]);
        EXPECT_TRUE(state.Button3);
    }
}

TEST_F(SearchTest, AHiddenOrUnchosenWindowDoesNotMove) {
    AddFlight("EZY42", 48, 11);
    displays.visible[1] = false;
    ShowSearch(state, displays);
    EXPECT_EQ(state.last, -1);  // nothing pushed for a hidden window
    EXPECT_EQ(Flights("EZY42"), 1);
    EXPECT_EQ(displays.moves, (std::array<int, 2>{0, 0}));
}

TEST_F(SearchTest, OneWaypointMovesTheWindowAndKeepsItsDistance) {
    const std::vector<WaypointName> waypoints = {Waypoint("HAM", 53.63f, 9.99f),
                                                 Waypoint("HAMBU", 53.5f, 10.0f),
                                                 Waypoint("BRE", 53.05f, 8.79f)};
    state.search1 = true;
    NormaliseDisplayChoice(state);
    ShowSearch(state, displays);
    state.Edit1 = "bre";
    EXPECT_EQ(SearchWaypoints(state, waypoints, displays), 1);
    EXPECT_EQ(state.mode, SearchMode::kWaypoints);
    EXPECT_EQ(displays.views[0], (SearchView{53.05f, 8.79f, 7000}));
    EXPECT_FALSE(displays.ctrGps[0]);
    EXPECT_EQ(displays.moves[1], 0);
    state.Edit1 = "HAM";
    EXPECT_EQ(SearchWaypoints(state, waypoints, displays), 2);

    // Entry screen: the view of the window when the search window was shown.
    RestoreEntryView(state, displays);
    EXPECT_EQ(displays.views[0], (SearchView{53.6f, 10.0f, 7000}));
    EXPECT_EQ(state.caption, "Search");
}

TEST_F(SearchTest, ADoubleClickReadsTheIndexAgainstTheTableAsItIsNow) {
    std::vector<WaypointName> waypoints = {Waypoint("AAA", 1, 1), Waypoint("BBB", 2, 2),
                                           Waypoint("CCC", 3, 3)};
    ShowSearch(state, displays);
    state.Edit1 = "C";
    SearchWaypoints(state, waypoints, displays);
    const std::string line = state.ListBox1.at(0);
    // "Apply files" rebuilds the table with fewer waypoints: the line names nothing now.
    waypoints.resize(1);
    const int moves = displays.moves[1];
    EXPECT_FALSE(OpenResult(state, line, *table, waypoints, displays));
    EXPECT_EQ(displays.moves[1], moves);

    waypoints = {Waypoint("AAA", 1, 1), Waypoint("BBB", 2, 2), Waypoint("DDD", 4, 5)};
    EXPECT_TRUE(OpenResult(state, line, *table, waypoints, displays));
    EXPECT_EQ(state.caption, "DDD");
    EXPECT_EQ(displays.views[1], (SearchView{4, 5, 15000}));

    // Flights: a slot past the table, a slot that has ended, a live one.
    const int slot = AddFlight("SAS7", 60, 11);
    Flights("SAS");
    EXPECT_FALSE(OpenResult(state, "x           @2000", *table, waypoints, displays));
    EXPECT_FALSE(OpenResult(state, "x           @1999", *table, waypoints, displays));
    table->flights[static_cast<std::size_t>(slot)].state = 0;
    EXPECT_FALSE(OpenResult(state, state.ListBox1.at(0), *table, waypoints, displays));
    table->flights[static_cast<std::size_t>(slot)].state = 1;
    EXPECT_TRUE(OpenResult(state, state.ListBox1.at(0), *table, waypoints, displays));
    EXPECT_EQ(state.caption, "SAS7");
}

TEST(SearchHistory, TheOldestIsLostBeyondTen) {
    SearchState state;
    FakeDisplays displays;
    displays.visible[0] = false;
    ShowSearch(state, displays);  // entry 0: "Search"
    for (int i = 1; i <= 10; ++i)
        PushView(state, "VIEW" + std::to_string(i), SearchView{float(i), 0, 7000});
    EXPECT_EQ(state.last, 9);
    EXPECT_EQ(state.current, 9);
    EXPECT_EQ(state.history[0].name, "VIEW1");
    EXPECT_EQ(state.history[9].name, "VIEW10");
    PushView(state, "LONGNAME123", SearchView{11, 0, 7000});
    EXPECT_EQ(state.history[0].name, "VIEW2");
    EXPECT_EQ(state.history[9].name, "LONGNAME");
}

TEST(SearchHistory, StepsShowTheEntryAndEnableTheButtonsByPosition) {
    SearchState state;
    FakeDisplays displays;
    ShowSearch(state, displays);  // entry 0: window 2's view
    PushView(state, "HAM", SearchView{53.63f, 9.99f, 7000});
    PushView(state, "SYD", SearchView{-33.9461f, 151.1772f, 9000});
    EXPECT_TRUE(state.Button3);
    EXPECT_FALSE(state.Button6);

    state.ListBox1 = {"x"};
    StepHistory(state, HistoryStep::kOlder, displays);
    EXPECT_TRUE(state.ListBox1.empty());
    EXPECT_EQ(state.current, 1);
    EXPECT_EQ(state.caption, "HAM [1]  53.630    9.990");
    EXPECT_EQ(displays.views[1], (SearchView{53.63f, 9.99f, 7000}));
    EXPECT_TRUE(state.Button3);
    EXPECT_TRUE(state.Button6);  // a newer entry is there to go back to

    StepHistory(state, HistoryStep::kOlder, displays);
    EXPECT_EQ(state.current, 0);
    EXPECT_FALSE(state.Button3);
    EXPECT_TRUE(state.Button6);
    StepHistory(state, HistoryStep::kOlder, displays);  // stays at the oldest
    EXPECT_EQ(state.current, 0);

    StepHistory(state, HistoryStep::kNewer, displays);
    StepHistory(state, HistoryStep::kNewer, displays);
    EXPECT_EQ(state.current, 2);
    EXPECT_EQ(state.caption, "SYD [2] -33.946  151.177");
    EXPECT_TRUE(state.Button3);
    EXPECT_FALSE(state.Button6);
    StepHistory(state, HistoryStep::kNewer, displays);  // never past the newest
    EXPECT_EQ(state.current, 2);
}

TEST(SearchHistory, StepsOfAnEmptyHistoryDoNothing) {
    SearchState state;
    FakeDisplays displays;
    displays.visible = {false, false};
    ShowSearch(state, displays);
    state.Button3 = true;
    StepHistory(state, HistoryStep::kOlder, displays);
    EXPECT_EQ(state.current, -1);
    EXPECT_FALSE(state.Button3);
    EXPECT_EQ(displays.moves, (std::array<int, 2>{0, 0}));
}

TEST_F(SearchTest, SearchingAfterSteppingBackDropsTheNewerEntries) {
    AddFlight("AAA1", 10, 10);
    AddFlight("BBB1", 20, 20);
    AddFlight("CCC1", 30, 30);
    ShowSearch(state, displays);
    Flights("AAA");
    Flights("BBB");
    StepHistory(state, HistoryStep::kOlder, displays);
    StepHistory(state, HistoryStep::kOlder, displays);
    EXPECT_EQ(state.current, 0);
    Flights("CCC");
    EXPECT_EQ(state.last, 1);
    EXPECT_EQ(state.history[1].name, "CCC");
    EXPECT_FALSE(state.Button6);
}

TEST(SearchChoice, OneDisplayIsChosen) {
    struct Case {
        bool search1, search2;
        bool chosen1, chosen2;
    } cases[] = {
        {false, true, false, true},
        {true, false, true, false},
        {true, true, true, false},
        {false, false, false, true},
    };
    FakeDisplays displays;
    for (const Case& c : cases) {
        SearchState state;
        state.search1 = c.search1;
        state.search2 = c.search2;
        NormaliseDisplayChoice(state);
        EXPECT_EQ(SearchActsOn(state, displays, 1), c.chosen1);
        EXPECT_EQ(SearchActsOn(state, displays, 2), c.chosen2);
    }
}

TEST(SearchKeys, OnlyALoneShiftStartsAWaypointSearch) {
    struct Key {
        bool down;
        bool shift;
    };
    constexpr Key kShiftDown{true, true}, kShiftUp{false, true};
    constexpr Key kOtherDown{true, false}, kOtherUp{false, false};
    struct Case {
        std::vector<Key> keys;
        int taps;
    } cases[] = {
        {{kShiftDown, kShiftUp}, 1},
        {{kShiftDown, kOtherDown, kOtherUp, kShiftUp}, 0},  // a capital letter
        {{kShiftDown, kShiftDown, kShiftDown, kShiftUp}, 1},
        {{kOtherDown, kShiftDown, kOtherUp, kShiftUp}, 1},
        {{kShiftUp}, 0},
        {{kShiftDown, kShiftUp, kShiftUp}, 1},
    };
    for (const Case& c : cases) {
        ShiftTap tap;
        int taps = 0;
        for (const Key& k : c.keys) {
            if (k.down)
                tap.KeyDown(k.shift);
            else
                taps += tap.KeyUp(k.shift) ? 1 : 0;
        }
        EXPECT_EQ(taps, c.taps);
    }
}

}  // namespace
}  // namespace aerova
