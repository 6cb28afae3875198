#include "tools/aircraft_details.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "base/ini_file.h"

namespace aerova {
namespace {

class AircraftDetailsTest : public ::testing::Test {
  protected:
    AircraftDetailsTest() {
        dir_ = std::filesystem::temp_directory_path() /
               ("aerova_details_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        routes = std::make_unique<RouteFiles>((dir_ / "aerova-routes").string());
        Tflight& f = Flight();
        f.free = f.deleted = false;
        f.modes = "3C6586";
        f.flightid = "dlh123";
        f.lat = "53.6300";
        f.lon = "10.0000";
        f.nopos = false;
        f.altft = "35000";
        f.squawk = "1000";
        f.icaotype = "A320";
        f.sqlaircraft.found = true;
        f.sqlaircraft.columns[6] = "D-AIKA";
    }
    ~AircraftDetailsTest() override { std::filesystem::remove_all(dir_); }

    Tflight& Flight() { return table->flights[kSlot]; }
    // A lookup of `callsign` that gave `route`.
    void LookedUp(const char* route) {
        state.edflight = "dlh123 ";
        BeginFlightStatus(state);
        TFlightStats stats;
        stats.route = route;
        ApplyFlightStatus(state, route, stats, *routes);
    }

    static constexpr int kSlot = 7;
    std::filesystem::path dir_;
    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    std::unique_ptr<RouteFiles> routes;
    AircraftDetailsState state;
};

TEST_F(AircraftDetailsTest, ShowsTheFlightAndNoticesASlotTakenOver) {
    ShowFlight(state, Flight(), kSlot);
    EXPECT_EQ(state.edposition, "53.6300 10.0000");
    EXPECT_EQ(state.edaltitude, "35000");
    EXPECT_EQ(state.edsquawk, "1000");
    EXPECT_EQ(state.edtype, "A320");
    EXPECT_EQ(state.edflight, "DLH123");
    EXPECT_EQ(state.row.columns[6], "D-AIKA");

    Flight().squawk = "7700";
    EXPECT_TRUE(RefreshFlight(state, *table));
    EXPECT_EQ(state.edsquawk, "7700");
    Flight().modes = "4CA1FB";
    Flight().squawk = "2000";
    EXPECT_FALSE(RefreshFlight(state, *table));
    EXPECT_EQ(state.edsquawk, "7700");
}

TEST_F(AircraftDetailsTest, TheRouteFileShowsWhetherItExists) {
    ShowFlight(state, Flight(), kSlot);
    LookedUp("FRA 0700-0810 HAM");
    EXPECT_TRUE(state.statusvalid);
    EXPECT_EQ(state.routefile, "aerova-routes\\DLH.rte");
    EXPECT_FALSE(state.routefileexists);

    std::filesystem::create_directories(dir_ / "aerova-routes");
    std::ofstream(dir_ / "aerova-routes" / "DLH.rte") << "[routes]\n";
    LookedUp("NIL");
    EXPECT_FALSE(state.statusvalid);
    EXPECT_TRUE(state.routefileexists);
}

TEST_F(AircraftDetailsTest, LabelCopiesTheRouteWithItsMarks) {
    ShowFlight(state, Flight(), kSlot);
    LookedUp("NIL");
    EXPECT_FALSE(CopyRouteToFlight(state, *table, "HAM"));
    EXPECT_EQ(Flight().route, "");

    LookedUp("FRA 0700-0810 HAM");
    ASSERT_TRUE(CopyRouteToFlight(state, *table, "ham"));
    EXPECT_EQ(Flight().route, "FRA 0700-0810 HAM");
    EXPECT_TRUE(Flight().routeflag1);
    EXPECT_FALSE(Flight().routeflag2);
    EXPECT_EQ(Flight().routefrom, "FRA/0810");

    // Another aircraft in the slot keeps its own route.
    Flight().modes = "4CA1FB";
    Flight().route = "";
    EXPECT_FALSE(CopyRouteToFlight(state, *table, "HAM"));
    EXPECT_EQ(Flight().route, "");
}

TEST_F(AircraftDetailsTest, FileAndLabelStoresTheRouteAndLooksTheFlightUpAgain) {
    ShowFlight(state, Flight(), kSlot);
    LookedUp("HAM 0700-0810 FRA");
    Flight().flightid = "DLH123";
    ASSERT_TRUE(StoreRouteForFlight(state, *table, *routes, "HAM", 46000.5));
    EXPECT_TRUE(state.routefileexists);
    IniFile file((dir_ / "aerova-routes" / "DLH.rte").string());
    EXPECT_EQ(file.ReadString("routes", "123", ""), "HAM 0700-0810 FRA");
    EXPECT_EQ(Flight().route, "HAM 0700-0810 FRA");
    EXPECT_TRUE(Flight().routeflag2);
    EXPECT_EQ(Flight().routeto, "0700/FRA");
}

TEST_F(AircraftDetailsTest, PageAddresses) {
    ShowFlight(state, Flight(), kSlot);
    EXPECT_EQ(FlightPlanAddress("https://track.example/f/", " dlh123"),
              "https://track.example/f/DLH123");
    EXPECT_EQ(ImageSearchAddress(state, "https://img.example/?q="),
              "https://img.example/?q=D-AIKA+registration");
    state.imagesearch = "%14+%6+";
    state.row.columns[14] = "A320 neo";
    EXPECT_EQ(ImageSearchAddress(state, "https://img.example/?q="),
              "https://img.example/?q=A320%20neo+D-AIKA");
}

}  // namespace
}  // namespace aerova
