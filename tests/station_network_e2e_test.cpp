// Two stations on one machine, each with its own directory and port offset, talking over
// real UDP and HTTP on the loopback range.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "base/files.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

// A station's full status as a peer sends it.
const std::string kPeerStatus =
    "\x04"
    "52.60:1.30:1200:013:2991:5000:Norwich:EGSH:www.example.org:0:45000.25:info\x03:3.1.0:4711:"
    "\x05";
// A network flight report of a target near the stations; only a report with a newer time
// text than the last one updates the target.
std::string FlightReport(int sequence) {
    char time[32];
    std::snprintf(time, sizeof time, "46000.%04d", sequence);
    return "[3C6586:DLH4AB :0:35000:52.55:1.25:-1200:450.5:271.3:1000:013:50:x:" +
           std::string(time) + ":0:y:0000100 0:abc:460:25]";
}

TEST(StationNetworkEndToEnd, PeersAnnouncementsNetworkFlightsAndPolling) {
    const std::string dirA = FreshDirectory("stationA");
    const std::string dirB = FreshDirectory("stationB");
    const int a = TestPortOffset(4);
    const int b = TestPortOffset(5);
    // Station B polls station A's first data server every second.
    AppendLine(JoinPath(dirB, "aerovas.ini"), "[mini]");
    AppendLine(JoinPath(dirB, "aerovas.ini"), "url1=127.0.0.1");
    AppendLine(JoinPath(dirB, "aerovas.ini"), "port1=" + std::to_string(7988 + a));
    AppendLine(JoinPath(dirB, "aerovas.ini"), "interval1=1");
    // Relayed targets are not marked for B's own servers: list everything B holds.
    AppendLine(JoinPath(dirB, "aerovas.ini"), "cb7988=0");

    StationProcess stationA(
        dirA, {"--headless", "--station-dir", dirA, "--port-offset", std::to_string(a)});
    StationProcess stationB(
        dirB, {"--headless", "--poll", "--station-dir", dirB, "--port-offset", std::to_string(b)});
    ASSERT_TRUE(stationA.WaitForOutput("Aerova mini Edition V", 10)) << stationA.Stderr();
    ASSERT_TRUE(stationB.WaitForOutput("Aerova mini Edition V", 10)) << stationB.Stderr();

    // A peer on 127.0.0.2 makes itself known to A and is announced to on its port 7978.
    LoopbackUdp peer("127.0.0.2", 0);
    LoopbackUdp announcements("127.0.0.2", 7978 + a);
    ASSERT_TRUE(peer.SendTo("127.0.0.1", 7979 + a, kPeerStatus));
    std::optional<std::string> announced;
    for (int i = 0; i < 10 && !announced; ++i) {
        announced = announcements.Receive(1.0);
        if (!announced) peer.SendTo("127.0.0.1", 7979 + a, kPeerStatus);
    }
    ASSERT_TRUE(announced.has_value()) << "no announcement within 10 s";
    EXPECT_EQ(*announced, "#aerovas1.0.0*");

    // The peer's flight report enters A's table; B polls A's data server and shows it too.
    int sequence = 1;
    ASSERT_TRUE(peer.SendTo("127.0.0.1", 7979 + a, FlightReport(sequence++)));
    ASSERT_TRUE(stationA.WaitForOutput("live targets 1,", 15)) << stationA.Stdout();
    std::string listB;
    for (int i = 0; i < 40 && listB.find("3C6586") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        listB = HttpGet(7988 + b, "/req=?nopos=1", 2);
        peer.SendTo("127.0.0.1", 7979 + a, FlightReport(sequence++));
    }
    EXPECT_NE(listB.find("3C6586"), std::string::npos) << listB;
    EXPECT_NE(listB.find("DLH4AB"), std::string::npos) << listB;

    stationA.Signal(SIGTERM);
    stationB.Signal(SIGTERM);
    EXPECT_EQ(stationA.Wait(10), 0);
    EXPECT_EQ(stationB.Wait(10), 0);
}

}  // namespace
}  // namespace aerova::testing
