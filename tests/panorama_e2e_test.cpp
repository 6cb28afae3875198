// A station without windows still publishes its status pages and logs on the panorama
// server (7980 + offset): the flight page lists the targets reported to it.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/report_codec.h"
#include "core/test_records.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

TEST(PanoramaEndToEnd, HeadlessStationServesItsPagesAndLogs) {
    const std::string dir = FreshDirectory("panorama");
    const int offset = TestPortOffset(8);
    StationProcess station(
        dir, {"--headless", "--station-dir", dir, "--port-offset", std::to_string(offset)});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();

    LoopbackUdp sender("127.0.0.1", 0);
    TSBSFlight r = Aircraft("4CA1FA");
    WithPosition(r, "RYR9QW  ", "53.42", "-6.24");
    sender.SendTo("127.0.0.1", 7979 + offset, EncodeSbsReport(r, "1013", "5500"));

    // The page job's first run comes a few seconds after the start.
    std::string flights;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline &&
           flights.find("RYR9QW") == std::string::npos) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        flights = HttpGet(7980 + offset, "/flights", 2);
    }
    EXPECT_NE(flights.find("<title>Aerova Flight Status</title>"), std::string::npos) << flights;
    EXPECT_NE(flights.find("4CA1FA"), std::string::npos);
    EXPECT_NE(flights.find("text/html"), std::string::npos);

    const std::string panel = HttpGet(7980 + offset, "/", 2);
    EXPECT_NE(panel.find("Remote Control Panel"), std::string::npos) << panel;
    EXPECT_EQ(panel.find("radar1"), std::string::npos) << "no pictures without windows";
    EXPECT_NE(HttpGet(7980 + offset, "/radar2", 2).find("Unknown server command"),
              std::string::npos);
    const std::string log = HttpGet(7980 + offset, "/errorlog.txt", 2);
    EXPECT_NE(log.find(" 200 "), std::string::npos) << log;
    EXPECT_NE(log.find("text/plain"), std::string::npos) << log;

    station.Signal(SIGTERM);
    EXPECT_EQ(station.Wait(10), 0) << station.Stderr();
}

}  // namespace
}  // namespace aerova::testing
