// Targets reported to a running station are served to Google Earth: the aircraft KML
// server on 4181 + offset answers with a well-formed document that places them.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/report_codec.h"
#include "core/test_records.h"
#include "distribution/xml_lint.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

std::string Body(const std::string& response) {
    const std::size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : response.substr(end + 4);
}

TEST(KmlEndToEnd, ReportedTargetsAreServedAsKml) {
    const std::string dir = FreshDirectory("kml");
    const int offset = TestPortOffset(7);
    StationProcess station(
        dir, {"--headless", "--station-dir", dir, "--port-offset", std::to_string(offset)});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();

    struct Target {
        const char *icao, *call, *lat, *lon;
    };
    const Target targets[] = {{"4CA1FA", "RYR9QW  ", "53.42", "-6.24"},
                              {"3C6586", "DLH4AB  ", "53.50", "-6.10"},
                              {"406A3B", "BAW12   ", "51.47", "-0.45"}};
    LoopbackUdp sender("127.0.0.1", 0);
    std::string response;
    const auto placed = [&response](const Target& t) {
        return response.find(std::string("<coordinates>") + t.lon + "," + t.lat + ",") !=
               std::string::npos;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const Target& t : targets) {
            TSBSFlight r = Aircraft(t.icao);
            WithPosition(r, t.call, t.lat, t.lon);
            sender.SendTo("127.0.0.1", 7979 + offset, EncodeSbsReport(r, "1013", "5500"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        response = HttpGet(4181 + offset, "/aircraft.kml", 2);
        if (placed(targets[0]) && placed(targets[1]) && placed(targets[2])) break;
    }
    for (const Target& t : targets) EXPECT_TRUE(placed(t)) << t.icao << "\n" << response;
    EXPECT_EQ(response.rfind("HTTP/1.", 0), 0u);
    EXPECT_NE(response.find("application/vnd.google-earth.kml+xml"), std::string::npos);
    EXPECT_NE(response.find("<name>DLH4AB"), std::string::npos);
    // No target is selected: the cockpit server answers with an empty document.
    const std::string cockpit = HttpGet(4180 + offset, "/", 2);
    EXPECT_NE(cockpit.find(" 200 "), std::string::npos) << cockpit;
    EXPECT_EQ(Body(cockpit), "");

    station.Signal(SIGTERM);
    EXPECT_EQ(station.Wait(10), 0) << station.Stderr();
    if (!XmllintAvailable()) GTEST_SKIP() << "xmllint is missing (libxml2-utils)";
    EXPECT_TRUE(WellFormedXml(Body(response)));
}

}  // namespace
}  // namespace aerova::testing
