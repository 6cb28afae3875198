// The ATC console and the Aircraft Details window in the desktop station: the console takes
// its settings and the blacklist at start, hands "ONG" and the airport to report ingest, and
// moves radar window 1; the flight-status lookup runs on a worker against a loopback service
// and gives up after its time-out.

#include "app/desktop_atc.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "app/desktop_aircraft_details.h"
#include "app/desktop_station.h"
#include "app/main_window.h"
#include "app/station_services.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "platform/test_file_server.h"
#include "platform/test_port_offset.h"
#include "platform/testing/event_wait.h"
#include "radar/gui_test_support.h"
#include "radar/radar_window.h"
#include "tools/aircraft_details_window.h"
#include "tools/atc_console_window.h"

namespace aerova {
namespace {

// A station directory with its settings file, removed at the end.
class StationDir {
  public:
    explicit StationDir(const char* name)
        : dir_(QDir::tempPath() + "/aerova-" + name + "-" +
               QString::number(QApplication::applicationPid())) {
        dir_.removeRecursively();
        dir_.mkpath(".");
    }
    ~StationDir() { dir_.removeRecursively(); }
    std::string path() const { return dir_.path().toStdString(); }
    std::string File(const char* name) const { return JoinPath(path(), name); }

  private:
    QDir dir_;
};

RunOptions Options(const StationDir& dir, int salt) {
    RunOptions options;
    options.stationDir = dir.path();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(salt);
    return options;
}

TEST(Gui, TheAtcConsoleTakesItsSettingsAndTheBlacklistAndMovesRadarWindowOne) {
    REQUIRE_DISPLAY();
    StationDir dir("atc-gui");
    IniFile ini(dir.File("aerovas.ini"));
    ini.WriteString("main", "firstrun", "0");
    ini.WriteString("radar2", "visible", "0");
    ini.WriteString("atcconsole", "ong", "1");
    ini.WriteString("atcconsole", "route", "fra");
    ini.WriteString("atcconsole", "lat1", "50");
    ini.WriteString("atcconsole", "lat2", "3");
    ini.WriteString("atcconsole", "long1", "8");
    ini.WriteString("atcconsole", "long2", "57");
    ini.WriteString("atcconsole", "long0", "7");  // no such item: "E" stays
    ini.WriteString("atcconsole", "arrsheight", "120");
    ini.WriteString("atcconsole", "localheight", "90");
    ASSERT_TRUE(ini.UpdateFile());
    std::ofstream(dir.File("blacklist.txt")) << "3c6586\n";
    {
        DesktopStation desk(Options(dir, 34));
        desk.askOverride = [](const std::string&, const std::string&) { return true; };
        ASSERT_TRUE(desk.Start());
        DesktopAtc& atc = desk.atc();
        const IngestSettings& ingest = desk.services().ingestSettings;
        // "ONG" stored down: the blacklist is there from the start.
        EXPECT_TRUE(ingest.spbONG);
        EXPECT_EQ(ingest.blacklist, "3c6586\n");
        EXPECT_EQ(ingest.atcairport, "fra");

        AtcConsoleWindow& w = atc.window();
        EXPECT_FALSE(w.isVisible());
        desk.mainWindow().button("sbatc")->click();
        ASSERT_TRUE(w.isVisible());
        EXPECT_EQ(qobject_cast<QPushButton*>(w.control("Button4"))->text(), "FRA");
        // The local list is as high as stored, not as the arrivals list.
        EXPECT_EQ(w.control("lbsq")->parentWidget()->height(), 90);
        EXPECT_EQ(w.control("lbarrs")->parentWidget()->height(), 120);

        RadarWindow& radar1 = desk.radar(1);
        radar1.show();
        desk.radar(2).hide();
        SetView(radar1.view(), 47.25f, 8.5f, 9000.0f);
        qobject_cast<QPushButton*>(w.control("Button4"))->click();
        EXPECT_NEAR(radar1.view().centreLat, 50.03f, 1e-4);
        EXPECT_NEAR(radar1.view().centreLon, 8.57f, 1e-4);
        EXPECT_NEAR(radar1.view().targetLon, 8.57f, 1e-4);
        qobject_cast<QPushButton*>(w.control("Button3"))->click();
        EXPECT_FLOAT_EQ(radar1.view().centreLat, 47.25f);
        EXPECT_FLOAT_EQ(radar1.view().centreLon, 8.5f);

        // Releasing "ONG" reaches ingest; closing the console releases `sbatc`.
        qobject_cast<QToolButton*>(w.control("spbONG"))->click();
        EXPECT_FALSE(ingest.spbONG);
        w.close();
        EXPECT_FALSE(desk.mainWindow().button("sbatc")->isChecked());

        ASSERT_TRUE(desk.station().settingsFile.SaveSettings(dir.File("saved.ini")));
        const IniFile saved(dir.File("saved.ini"));
        EXPECT_EQ(saved.ReadString("atcconsole", "localheight", ""), "90");
        EXPECT_EQ(saved.ReadString("atcconsole", "long2", ""), "57");
        EXPECT_EQ(saved.ReadString("atcconsole", "long0", ""), "0");
        EXPECT_EQ(saved.ReadString("atcconsole", "ong", ""), "0");
        desk.radar(1).hide();
    }
}

constexpr const char* kStatusPath = "/go/FlightStatus/flightStatusByFlight.do";
constexpr const char* kStatusPage = R"(<html><body><table>
<tr><td>Flight:</td><td>LH 123</td></tr><tr><td>Status:</td><td>Landed</td></tr>
<tr><td>Airport:</td><td>Frankfurt (FRA)</td></tr><tr><td>Scheduled:</td><td>07:00</td></tr>
<tr><td>Airport:</td><td>HAM</td></tr><tr><td>Scheduled:</td><td>08:10</td></tr>
</table></body></html>)";

// A flight-status service that keeps every request waiting until it ends.
class SilentService {
  public:
    SilentService() {
        server_.Get(".*", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(mutex_);
            released_.wait_for(lock, std::chrono::seconds(5), [this] { return stop_; });
            res.set_content("", "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~SilentService() {
        {
            std::scoped_lock lock(mutex_);
            stop_ = true;
        }
        released_.notify_all();
        server_.stop();
        thread_.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool stop_ = false;
};

TEST(Gui, TheFlightStatusLookupRunsOnAWorkerAndGivesUpAfterItsTimeOut) {
    REQUIRE_DISPLAY();
    StationDir dir("details-gui");
    IniFile ini(dir.File("aerovas.ini"));
    ini.WriteString("main", "firstrun", "0");
    ASSERT_TRUE(ini.UpdateFile());
    testing::TestFileServer service({{kStatusPath, {200, kStatusPage, {}}}});
    SilentService silent;
    {
        DesktopStation desk(Options(dir, 35));
        desk.askOverride = [](const std::string&, const std::string&) { return true; };
        ASSERT_TRUE(desk.Start());
        desk.services().ingestSettings.atcairport = "HAM";
        DesktopAircraftDetails& details = desk.aircraftDetails();
        details.service().baseAddress = service.Url();
        const int slot = testing::AddTarget(desk.table(), 53.5f, 10.0f, "F350", "1000");
        desk.table().flights[static_cast<std::size_t>(slot)].flightid = "DLH123";
        details.ShowFlight(slot);
        AircraftDetailsWindow& w = details.window();
        ASSERT_TRUE(w.isVisible());

        auto* query = qobject_cast<QPushButton*>(w.control("buflightstatus"));
        query->click();
        // The click returned before the reply: the UI thread never waits on the service.
        EXPECT_TRUE(details.state().querying);
        EXPECT_FALSE(query->isEnabled());
        ASSERT_TRUE(testing::WaitForEvents([&] { return !details.state().querying; }));
        EXPECT_EQ(details.state().route, "FRA 0700-0810 HAM");
        EXPECT_EQ(qobject_cast<QLabel*>(w.control("lbroutefile"))->text(),
                  "aerova-routes\\DLH.rte");
        ASSERT_EQ(service.paths(), std::vector<std::string>{kStatusPath});

        qobject_cast<QPushButton*>(w.control("bulabel"))->click();
        const Tflight& f = desk.table().flights[static_cast<std::size_t>(slot)];
        EXPECT_EQ(f.route, "FRA 0700-0810 HAM");
        EXPECT_TRUE(f.routeflag1);  // arrives at the home airport

        details.service().baseAddress = silent.Url();
        details.service().timeoutMs = 300;
        query->click();
        ASSERT_TRUE(testing::WaitForEvents([&] { return !details.state().querying; }, 4000));
        EXPECT_EQ(details.state().route, "NIL");
        EXPECT_EQ(details.state().stats.message.rfind("No reply", 0), 0u)
            << details.state().stats.message;
        EXPECT_FALSE(w.control("bulabel")->isEnabled());
        w.close();
        desk.radar(1).hide();
        desk.radar(2).hide();
    }
}

}  // namespace
}  // namespace aerova
