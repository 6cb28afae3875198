// A station under the load of a busy receiver: 2000 simulated aircraft sending 5000 frame
// texts a second to the receiver input. Each 1053 ms poll then emits about 2000 reports at
// once; the station must hold every aircraft, with its position inside the simulated area.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cmath>
#include <sstream>
#include <thread>

#include "base/day_time.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "receiver/cpr.h"
#include "sim/traffic_simulator.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

double NowUtc() {
    using namespace std::chrono;
    return FromUnixSeconds(duration<double>(system_clock::now().time_since_epoch()).count());
}

TEST(LoadEndToEnd, TwoThousandAircraftAreAllHeld) {
    const std::string dir = FreshDirectory("load");
    const int offset = TestPortOffset(5);
    StationProcess station(
        dir, {"--headless", "--station-dir", dir, "--port-offset", std::to_string(offset)});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();

    sim::SimOptions options;
    options.homelat = 52.52;  // the station's default receiver position
    options.homelon = 1.16;
    options.aircraft = 2000;
    options.vehicles = 0;
    options.framesPerSecond = 5000;
    sim::TrafficSimulator traffic(options);
    LoopbackUdp sender("127.0.0.1", 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    bool held = false;
    while (!held && std::chrono::steady_clock::now() < deadline) {
        for (const std::string& text : traffic.FramesDue(NowUtc()))
            sender.SendTo("127.0.0.1", 7933 + offset, text);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        held = station.Stdout().find("live targets 2000, with position 2000") != std::string::npos;
    }
    EXPECT_TRUE(held) << station.Stdout();

    // Every position lies within the simulated area (aircraft turn back at 120 NM).
    const std::string list = HttpGet(7988 + offset, "/req=?nopos=1", 5);
    std::istringstream lines(list.substr(list.find("\r\n\r\n") + 4));
    int aircraft = 0, outside = 0;
    for (std::string line; std::getline(lines, line);) {
        FieldReader fields(line);
        for (int i = 0; i < 4; ++i) fields.Next();
        const auto lat = TryParseReal(fields.Next()), lon = TryParseReal(fields.Next());
        if (!lat || !lon) continue;
        ++aircraft;
        if (DistanceNm(*lat, *lon, options.homelat, options.homelon) > options.radiusNm + 30)
            ++outside;
    }
    EXPECT_EQ(aircraft, 2000);
    EXPECT_EQ(outside, 0);
    station.Signal(SIGTERM);
    EXPECT_EQ(station.Wait(20), 0);
}

}  // namespace
}  // namespace aerova::testing
