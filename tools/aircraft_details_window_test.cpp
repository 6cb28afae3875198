// The Aircraft Details window on a display: pages go to the opener hook (the desktop's
// browser in the station), the route file shows green or red, and the route buttons wait
// for a route.

#include "tools/aircraft_details_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "platform/test_widgets_app.h"

namespace aerova {
namespace {

TEST(AircraftDetailsWindow, PagesOpenThroughTheHookWithTheFlightsAddresses) {
    REQUIRE_WIDGETS_DISPLAY();
    AircraftDetailsState state;
    Tflight f;
    f.free = false;
    f.modes = "3C6586";
    f.flightid = "dlh123";
    f.sqlaircraft.found = true;
    f.sqlaircraft.columns[6] = "D-AIKA";
    ShowFlight(state, f, 3);
    std::vector<QString> opened;
    AircraftDetailsHooks hooks;
    hooks.openUrl = [&](const QUrl& url) { opened.push_back(url.toString()); };
    AircraftDetailsWindow w(state, hooks);
    qobject_cast<QPushButton*>(w.control("buload"))->click();
    qobject_cast<QPushButton*>(w.control("busearch"))->click();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QString::fromLatin1(kFlightPlanSite.data()) + "DLH123");
    EXPECT_EQ(opened[1], QString::fromLatin1(kImageSearchSite.data()) + "D-AIKA+registration");
}

TEST(AircraftDetailsWindow, TheRouteFileShowsGreenOrRedAndTheRouteButtonsWaitForARoute) {
    REQUIRE_WIDGETS_DISPLAY();
    const auto dir = std::filesystem::temp_directory_path() / "aerova_details_window";
    std::filesystem::remove_all(dir);
    RouteFiles routes(dir.string());
    AircraftDetailsState state;
    state.edflight = "DLH123";
    std::vector<std::pair<std::string, bool>> lookups;
    AircraftDetailsHooks hooks;
    hooks.lookup = [&](const std::string& callSign, bool yesterday) {
        lookups.emplace_back(callSign, yesterday);
    };
    AircraftDetailsWindow w(state, hooks);
    auto* label = qobject_cast<QLabel*>(w.control("lbroutefile"));
    auto* query = qobject_cast<QPushButton*>(w.control("buflightstatus"));

    query->click();
    EXPECT_FALSE(query->isEnabled()) << "one lookup at a time";
    TFlightStats stats;
    stats.message = "Flight not found on selected date";
    ApplyFlightStatus(state, "NIL", stats, routes);
    w.Refresh();
    EXPECT_TRUE(query->isEnabled());
    EXPECT_FALSE(w.control("bulabel")->isEnabled());
    EXPECT_EQ(label->styleSheet(), "color: red");

    std::filesystem::create_directories(dir);
    std::ofstream(dir / "DLH.rte") << "[routes]\n";
    stats = {};
    stats.route = "FRA 0700-0810 HAM";
    ApplyFlightStatus(state, stats.route, stats, routes);
    w.Refresh();
    EXPECT_TRUE(w.control("bulabel")->isEnabled());
    EXPECT_TRUE(w.control("bufilelabel")->isEnabled());
    EXPECT_EQ(label->text(), "aerova-routes\\DLH.rte");
    EXPECT_EQ(label->styleSheet(), "color: green");
    EXPECT_EQ(lookups, (std::vector<std::pair<std::string, bool>>{{"DLH123", false}}));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace aerova
