#include <gtest/gtest.h>
#include <signal.h>

#include "base/files.h"
#include "platform/running_mark.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

TEST(HeadlessStationTest, RunsRefusesASecondCopyAndShutsDownInOrderOnSigterm) {
    const std::string dir = FreshDirectory("headless");
    const std::string offset = std::to_string(TestPortOffset(1));
    StationProcess station(dir, {"--headless", "--station-dir", dir, "--port-offset", offset});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();
    EXPECT_TRUE(station.WaitForOutput("Time check failed", 1)) << "no time server is configured";
    EXPECT_EQ(ReadRunningMark(dir).Active, 1);
    EXPECT_TRUE(FileExists(JoinPath(dir, "aerova-logs/aerova-error.log")));

    StationProcess second(dir, {"--headless", "--station-dir", dir, "--port-offset", offset});
    EXPECT_EQ(second.Wait(10), 1);
    EXPECT_NE(second.Stderr().find("already running"), std::string::npos) << second.Stderr();

    station.Signal(SIGTERM);
    EXPECT_EQ(station.Wait(10), 0) << station.Stderr();
    const std::string err = station.Stderr();
    EXPECT_LT(err.find("Shutdown internet connections..."), err.find("Shutdown completed."));
    EXPECT_EQ(ReadRunningMark(dir).Active, 0);
}

TEST(HeadlessStationTest, PrintsAStatusLineEveryTenSeconds) {
    const std::string dir = FreshDirectory("status");
    StationProcess station(dir, {"nosrv", "--headless", "--station-dir", dir, "--port-offset",
                                 std::to_string(TestPortOffset(2))});
    EXPECT_TRUE(station.WaitForOutput("live targets 0, with position 0, peers 0, cycle ", 20))
        << station.Stdout();
    station.Signal(SIGTERM);
    EXPECT_EQ(station.Wait(10), 0) << station.Stderr();
}

// A station whose ports are taken says which on the terminal, and one that can open none of
// its inputs ends instead of running on deaf.
TEST(HeadlessStationTest, PortsThatAreTakenAreNamedAndNoInputAtAllEndsTheStation) {
    const std::string dir = FreshDirectory("ports");
    const int offset = TestPortOffset(4);
    LoopbackUdp listener("0.0.0.0", 7979 + offset), input("0.0.0.0", 7933 + offset);
    ASSERT_EQ(listener.port(), 7979 + offset);
    ASSERT_EQ(input.port(), 7933 + offset);
    StationProcess station(
        dir, {"--headless", "--station-dir", dir, "--port-offset", std::to_string(offset)});
    EXPECT_NE(station.Wait(20), 0);
    const std::string err = station.Stderr();
    EXPECT_NE(
        err.find("Cannot open the report listener on UDP port " + std::to_string(7979 + offset)),
        std::string::npos)
        << err;
    EXPECT_NE(
        err.find("Cannot open the receiver input on UDP port " + std::to_string(7933 + offset)),
        std::string::npos)
        << err;
    EXPECT_NE(err.find("none of the station's inputs could be opened"), std::string::npos) << err;
    EXPECT_EQ(ReadRunningMark(dir).Active, 0) << "the shut-down ran";
}

TEST(HeadlessStationTest, BadOptionsAreRefused) {
    const std::string dir = FreshDirectory("options");
    StationProcess station(dir, {"--port-offset", "many"});
    EXPECT_EQ(station.Wait(10), 2);
    EXPECT_NE(station.Stderr().find("--port-offset takes a number"), std::string::npos);
}

}  // namespace
}  // namespace aerova::testing

namespace aerova::testing {
namespace {

// The whole path of a target: simulated frames through the receiver link, the decoder
// and the report emission, over UDP to the report listener, into the flight table and out
// on the BaseStation-format feed.
TEST(HeadlessStationTest, DemoTrafficReachesTheTableAndTheFeed) {
    const std::string dir = FreshDirectory("demo");
    const int offset = TestPortOffset(3);
    StationProcess station(dir, {"--headless", "--demo", "--station-dir", dir, "--port-offset",
                                 std::to_string(offset)});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();
    const std::string feed = ReadTcpUntil(30014 + offset, "MSG,3,", 15);
    EXPECT_NE(feed.find("AIR,"), std::string::npos) << feed.substr(0, 400);
    EXPECT_NE(feed.find("MSG,3,"), std::string::npos) << feed.substr(0, 400);
    station.Signal(SIGINT);
    EXPECT_EQ(station.Wait(10), 0);
}

}  // namespace
}  // namespace aerova::testing
