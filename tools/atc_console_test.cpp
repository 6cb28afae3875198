#include "tools/atc_console.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace aerova {
namespace {

using L = AtcPositionList;

TEST(AtcConsole, PositionListsHoldTheirItems) {
    struct Case {
        L list;
        std::size_t count;
        const char* first;
        const char* last;
    };
    const Case cases[] = {{L::cblat0, 2, "N", "S"},        {L::cblat1, 90, "00", "89"},
                          {L::cblat2, 100, "00", "99"},    {L::cblong0, 2, "E", "W"},
                          {L::cblong1, 180, "000", "179"}, {L::cblong2, 100, "00", "99"}};
    for (const Case& c : cases) {
        const auto& items = AtcListItems(c.list);
        ASSERT_EQ(items.size(), c.count) << c.first;
        EXPECT_EQ(items.front(), c.first);
        EXPECT_EQ(items.back(), c.last);
    }
}

TEST(AtcConsole, AirportPositionFromTheListItems) {
    struct Case {
        std::array<int, kAtcPositionLists> position;
        double lat, lon;
    };
    const Case cases[] = {
        {{0, 53, 64, 0, 10, 0}, 53.64, 10.00},  // the first start: HAM
        {{1, 33, 94, 1, 118, 41}, -33.94, -118.41},
        {{1, 0, 5, 0, 179, 99}, -0.05, 179.99},
    };
    for (const Case& c : cases) {
        AtcConsoleState state;
        state.position = c.position;
        const AirportPosition p = AirportPositionOf(state);
        EXPECT_NEAR(p.lat, c.lat, 1e-9);
        EXPECT_NEAR(p.lon, c.lon, 1e-9);
    }
}

TEST(AtcConsole, IndexesOutsideTheirListAreRefused) {
    struct Case {
        L list;
        int index;
        bool accepted;
    };
    const Case cases[] = {{L::cblat0, 1, true},    {L::cblat0, 2, false},
                          {L::cblat1, 89, true},   {L::cblat1, 90, false},
                          {L::cblong1, 179, true}, {L::cblong1, 180, false},
                          {L::cblong2, -1, false}, {L::cblat2, 99, true}};
    for (const Case& c : cases) {
        AtcConsoleState state;
        const int before = state.position[static_cast<std::size_t>(c.list)];
        EXPECT_EQ(SetAtcIndex(state, c.list, c.index), c.accepted) << c.index;
        EXPECT_EQ(state.position[static_cast<std::size_t>(c.list)], c.accepted ? c.index : before);
    }
    // An index written past the checks reads as the list's default item.
    AtcConsoleState state;
    state.position = {7, 500, -3, 9, 999, 100};
    const AirportPosition p = AirportPositionOf(state);
    EXPECT_NEAR(p.lat, 53.64, 1e-9);
    EXPECT_NEAR(p.lon, 10.00, 1e-9);
}

TEST(AtcConsole, AirportCaptionIsUpperCasedAndTheFieldKeepsThreeCharacters) {
    EXPECT_EQ(AirportButtonCaption("fra"), "FRA");
    EXPECT_EQ(AirportCodeField("eddf"), "edd");
}

Tflight OnGround(const char* modes) {
    Tflight f;
    f.modes = modes;
    f.altlabel = "G---";
    return f;
}

TEST(AtcConsole, DepartureRouteOnTheGround) {
    struct Case {
        const char* name;
        const char* modes;
        const char* altlabel;
        const char* route;
        bool ong;
        const char* blacklist;
        const char* expected;
    };
    const Case cases[] = {
        {"on the ground", "3C6586", "G---", "", true, "blacklist", "HAM-"},
        {"ONG up", "3C6586", "G---", "", false, "blacklist", ""},
        {"airborne", "3C6586", "050", "", true, "blacklist", ""},
        {"has a route", "3C6586", "G---", "FRA-HAM", true, "blacklist", ""},
        {"blacklisted", "3C6586", "G---", "", true, "blacklist\n3C6586\n", ""},
        {"blacklisted in lower case", "3C6586", "G---", "", true, "3c6586\r\n", ""},
        {"lower-case address", "3c6586", "G---", "", true, "3C6586", ""},
        {"other address listed", "3C6586", "G---", "", true, "3C6587\n", "HAM-"},
    };
    for (const Case& c : cases) {
        Tflight f = OnGround(c.modes);
        f.altlabel = c.altlabel;
        f.route = c.route;
        EXPECT_EQ(OnGroundDepartureRoute(f, c.ong, "HAM", c.blacklist), c.expected) << c.name;
    }
    EXPECT_FALSE(BlacklistHolds("blacklist", ""));
}

class BlacklistFile : public ::testing::Test {
  protected:
    BlacklistFile() {
        dir_ = std::filesystem::temp_directory_path() /
               ("aerova_blacklist_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~BlacklistFile() override { std::filesystem::remove_all(dir_); }
    void Write(const std::string& text) {
        std::ofstream(dir_ / kBlacklistFileName, std::ios::binary) << text;
    }
    std::string dir() const { return dir_.string(); }

  private:
    std::filesystem::path dir_;
};

TEST_F(BlacklistFile, OngDownLoadsTheFileAndAMissingFileChangesNothing) {
    AtcConsoleState state;
    state.spbONG = true;
    OngClick(state, dir());
    EXPECT_EQ(state.blacklist, "blacklist") << "no file: the text stays";

    Write("3C6586\n4CA1FB\n");
    state.spbONG = false;
    OngClick(state, dir());
    EXPECT_EQ(state.blacklist, "blacklist") << "releasing the button loads nothing";
    state.spbONG = true;
    OngClick(state, dir());
    EXPECT_EQ(state.blacklist, "3C6586\n4CA1FB\n");
}

TEST_F(BlacklistFile, OngStoredDownLoadsTheFileWithTheSettings) {
    Write("3C6586\n");
    AtcConsoleState up;
    AtcSettingsLoaded(up, dir());
    EXPECT_EQ(up.blacklist, "blacklist");
    AtcConsoleState down;
    down.spbONG = true;
    down.edroute = "eddf";
    AtcSettingsLoaded(down, dir());
    EXPECT_EQ(down.blacklist, "3C6586\n");
    EXPECT_EQ(down.edroute, "edd");
}

TEST_F(BlacklistFile, AnOversizedFileIsReadUpToItsLastWholeLineWithinTheLimit) {
    std::string text;
    while (text.size() + 8 <= kMaxBlacklistBytes) text += "AAAAAA\r\n";
    text += "ABCDEF\r\n";  // crosses the limit
    text += std::string(kMaxBlacklistBytes, 'B');
    Write(text);
    const auto read = ReadBlacklistFile(dir());
    ASSERT_TRUE(read);
    EXPECT_LE(read->size(), kMaxBlacklistBytes);
    EXPECT_EQ(read->substr(read->size() - 8), "AAAAAA\r\n");
    EXPECT_FALSE(BlacklistHolds(*read, "ABCDEF"));
    EXPECT_FALSE(BlacklistHolds(*read, "BBBBBB"));
}

// Two radar windows as the console sees them.
class FakeRadars : public AtcRadarWindows {
  public:
    bool Shown(int tag) override { return shown[Index(tag)]; }
    RadarView& View(int tag) override { return views[Index(tag)]; }
    WindowTargetMarks& Marks(int tag) override { return marks[Index(tag)]; }
    void Redraw(int tag) override { redraws.push_back(tag); }

    std::array<bool, 2> shown{true, false};
    std::array<RadarView, 2> views{MakeRadarView(1), MakeRadarView(2)};
    std::array<WindowTargetMarks, 2> marks;
    std::vector<int> redraws;

  private:
    static std::size_t Index(int tag) { return tag == 2 ? 1 : 0; }
};

void ExpectView(const RadarView& v, float lat, float lon, float distance) {
    EXPECT_FLOAT_EQ(v.centreLat, lat);
    EXPECT_FLOAT_EQ(v.centreLon, lon);
    EXPECT_FLOAT_EQ(v.targetLat, lat);
    EXPECT_FLOAT_EQ(v.targetLon, lon);
    EXPECT_FLOAT_EQ(v.cameraDistance, distance);
}

TEST(AtcConsoleView, CentringSavesTheViewSoThatRestoreBringsItBack) {
    AtcConsoleState state;
    FakeRadars radars;
    SetView(radars.views[0], 48.35f, 11.78f, 9000.0f);
    radars.marks[0].selected = 5;
    radars.marks[0].followed = 5;

    EXPECT_EQ(CentreOnAirport(state, radars), 1);
    ExpectView(radars.views[0], 53.64f, 10.0f, 9000.0f);
    // A second press looks at the airport already: the view from before stays saved.
    CentreOnAirport(state, radars);

    EXPECT_TRUE(RestoreLastView(state, radars));
    ExpectView(radars.views[0], 48.35f, 11.78f, 9000.0f);
    EXPECT_EQ(radars.marks[0].selected, -1);
    EXPECT_EQ(radars.marks[0].followed, -1);
    EXPECT_EQ(radars.redraws, (std::vector<int>{1, 1, 1}));
}

TEST(AtcConsoleView, RadarWindowTwoWhenShownAndNothingSavedOnlyRedraws) {
    AtcConsoleState state;
    FakeRadars radars;
    radars.shown = {true, true};
    const RadarView before = radars.views[1];
    EXPECT_FALSE(RestoreLastView(state, radars));
    ExpectView(radars.views[1], before.centreLat, before.centreLon, before.cameraDistance);
    EXPECT_EQ(radars.redraws, (std::vector<int>{2}));

    state.position = {1, 33, 94, 1, 118, 41};
    EXPECT_EQ(CentreOnAirport(state, radars), 2);
    ExpectView(radars.views[1], -33.94f, -118.41f, before.cameraDistance);
    ExpectView(radars.views[0], 53.6f, 10.0f, 7000.0f);
}

}  // namespace
}  // namespace aerova
