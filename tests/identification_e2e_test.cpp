// A new target reported to a running station is identified in the aircraft database, gets
// the country of its address block and its route, and is served that way by the data
// server: the joined path of ingest, database, country table and route files.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/files.h"
#include "core/report_codec.h"
#include "core/test_records.h"
#include "database/test_support.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

TEST(IdentificationEndToEnd, NewTargetIsIdentifiedRoutedAndServed) {
    const std::string dir = FreshDirectory("identify");
    const std::string db = JoinPath(dir, "basestation.sqb");
    ASSERT_TRUE(CreateDatabaseFromSchema(db));
    {
        Connection other(db);
        ASSERT_GT(other.AddAircraft("4CA1FA", "EI-DCL", "B738"), 0);
    }
    std::filesystem::copy_file(std::string(AEROVA_SOURCE_DIR) + "/database/countries.dat",
                               JoinPath(dir, "countries.dat"));
    ForceDirectories(JoinPath(dir, "aerova-routes"));
    AppendLine(JoinPath(dir, "aerova-routes/RYR.rte"), "[routes]");
    AppendLine(JoinPath(dir, "aerova-routes/RYR.rte"), "9QW=DUB-STN");

    const int offset = TestPortOffset(6);
    StationProcess station(
        dir, {"--headless", "--station-dir", dir, "--port-offset", std::to_string(offset)});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();

    TSBSFlight known = Aircraft("4CA1FA");
    WithPosition(known, "RYR9QW  ", "53.42", "-6.24");
    known.altitude = "36025";
    TSBSFlight unknown = Aircraft("3C6586");
    WithPosition(unknown, "DLH4AB  ", "53.50", "-6.10");
    LoopbackUdp receiver("127.0.0.1", 0);
    std::string list;
    for (int i = 0; i < 20 && list.find("3C6586") == std::string::npos; ++i) {
        receiver.SendTo("127.0.0.1", 7979 + offset, EncodeSbsReport(known, "1013", "5500"));
        receiver.SendTo("127.0.0.1", 7979 + offset, EncodeSbsReport(unknown, "1013", "5500"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        list += HttpGet(7988 + offset, "/req=?nopos=1", 2);
    }
    // flightid:reg:icaotype:modes:...:route:box
    EXPECT_NE(list.find("RYR9QW:EIDCL:B738:4CA1FA:"), std::string::npos) << list;
    EXPECT_NE(list.find(":DUB-STN:"), std::string::npos) << list;
    // An unknown address is entered into the database with its country.
    station.Signal(SIGTERM);
    ASSERT_EQ(station.Wait(10), 0);
    Connection after(db);
    EXPECT_EQ(after.Scalar("SELECT ModeSCountry FROM aircraft WHERE ModeS = ?1", {"3C6586"}),
              "Germany");
}

}  // namespace
}  // namespace aerova::testing
