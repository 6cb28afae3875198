// Auto QNH in a headless station: the receiver settings ask for the QNH from the home
// airport's METAR, the station loads the METAR library from beside itself, fetches the
// report from the weather server of its settings and labels altitudes with its pressure.

#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <mutex>
#include <thread>

#include "base/files.h"
#include "base/ini_file.h"
#include "tests/station_process.h"

namespace aerova {
namespace {

using testing::FreshDirectory;
using testing::StationProcess;
using testing::TestPortOffset;

TEST(MetarEndToEnd, AHeadlessStationTakesItsQnhFromTheHomeAirportsMetar) {
    httplib::Server weather;
    std::mutex mutex;
    std::vector<std::string> asked;
    weather.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
        {
            std::scoped_lock lock(mutex);
            asked.push_back(req.path);
        }
        if (req.path == "/data/observations/metar/stations/EDDH.TXT") {
            res.set_content("2026/05/01 12:20\nEDDH 011220Z 27010KT 9999 Q0998 NOSIG\n",
                            "text/plain");
        } else {
            res.status = 404;
        }
    });
    const int port = weather.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread serving([&] { weather.listen_after_bind(); });

    const std::string dir = FreshDirectory("metar");
    IniFile ini(JoinPath(dir, "aerovas.ini"));
    ini.WriteString("metar", "server", "http://127.0.0.1:" + std::to_string(port));
    ASSERT_TRUE(ini.UpdateFile());
    ASSERT_TRUE(WriteFileReplacing(JoinPath(dir, "aerovas.sbs.ini"),
                                   "[default]\r\nicao=eddh\r\nauto=1\r\n"));
    StationProcess station(dir, {"--headless", "--station-dir", dir, "--port-offset",
                                 std::to_string(TestPortOffset(31))});
    const bool applied = station.WaitForOutput("Auto QNH EDDH: 998 hPa (12:20 UTC)", 20);
    station.Signal(SIGTERM);
    const int exit = station.Wait(15);
    weather.stop();
    serving.join();
    ASSERT_TRUE(applied) << station.Stdout() << station.Stderr();
    ASSERT_EQ(exit, 0) << station.Stderr();
    {
        std::scoped_lock lock(mutex);
        EXPECT_EQ(asked, std::vector<std::string>{"/data/observations/metar/stations/EDDH.TXT"});
    }
    // The receiver settings keep the pressure: 1060 - 998.
    EXPECT_EQ(IniFile(JoinPath(dir, "aerovas.sbs.ini")).ReadInteger("default", "hpa", -1), 62);
}

}  // namespace
}  // namespace aerova
