// The weather texts in the radar windows on a real display: "Reload" draws the wait and then
// the report of the window's airport in the METAR line, "Auto" starts the reload cycle, and
// leaving the airport box loads the new airport.

#include "app/desktop_weather.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "app/wx_reports_window.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "platform/test_file_server.h"
#include "platform/test_port_offset.h"
#include "radar/gui_test_support.h"
#include "radar/radar_controls.h"
#include "weather/weather_window.h"

namespace aerova {
namespace {

using testing::GrabFrame;

constexpr const char* kMetar =
    "2026/05/01 12:20\nEDDH 011220Z 27010KT 9999 FEW030 15/08 Q0998 NOSIG\n";

constexpr const char* kTaf = "2026/05/01 11:00\nTAF EDDH 011100Z 0112/0218 27010KT 9999\n";

// A weather text server with EDDH's report and forecast; records the paths asked for.
class WeatherServer : public testing::TestFileServer {
  public:
    WeatherServer()
        : TestFileServer({{"/data/observations/metar/stations/EDDH.TXT", {200, kMetar, {}}},
                          {"/data/forecasts/taf/stations/EDDH.TXT", {200, kTaf, {}}}}) {}
};

bool PumpUntil(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Pixels of the METAR line's colour (128, 255, 255) in the lower left corner of a picture.
int MetarPixels(const QImage& picture) {
    int n = 0;
    for (int y = picture.height() - 60; y < picture.height(); ++y)
        for (int x = 0; x < std::min(picture.width(), 600); ++x)
            if (picture.pixelColor(x, y) == QColor(128, 255, 255)) ++n;
    return n;
}

TEST(Gui, TheMetarLineShowsTheWaitAndThenTheReportOfTheWindowsAirport) {
    REQUIRE_DISPLAY();
    WeatherServer weather;
    QDir dir(QDir::tempPath() + "/aerova-weather-gui-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    ASSERT_TRUE(dir.mkpath("."));
    IniFile ini(JoinPath(dir.path().toStdString(), "aerovas.ini"));
    ini.WriteString("metar", "server", weather.Url());
    ini.WriteString("metar", "loc1", "eddh");
    ini.WriteString("main", "firstrun", "0");
    ASSERT_TRUE(ini.UpdateFile());
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(11);
    {
        DesktopStation station(options);
        station.askOverride = [](const std::string&, const std::string&) { return true; };
        station.services().metar().source().library = AEROVA_METAR_LIBRARY;
        ASSERT_TRUE(station.Start());
        RadarWindow& radar = station.radar(1);
        EXPECT_EQ(radar.display().edicao, "EDDH");  // upper-cased from the settings
        const int empty = MetarPixels(GrabFrame(radar));

        // "Auto" starts the cycle with a first run two seconds later.
        qobject_cast<QCheckBox*>(radar.controls().control("cbmetauto"))->setChecked(true);
        EXPECT_TRUE(station.services().metar().timerActive());
        EXPECT_EQ(station.services().metar().timerIntervalMs(), 2000);

        // "Reload" runs it at once.
        auto* reload = qobject_cast<QToolButton*>(radar.controls().control("SpeedButton4"));
        ASSERT_NE(reload, nullptr);
        ASSERT_TRUE(reload->isEnabled());
        reload->click();
        EXPECT_EQ(radar.display().metar, "Loading METAR...");
        EXPECT_GT(MetarPixels(GrabFrame(radar)), empty);  // "Loading WX data..."
        ASSERT_TRUE(
            PumpUntil([&] { return radar.display().metar.find("Q0998") != std::string::npos; }));
        EXPECT_EQ(radar.display().metar,
                  "2026/05/01 12:20 EDDH 011220Z 27010KT 9999 FEW030 15/08 Q0998 NOSIG ");
        const int report = MetarPixels(GrabFrame(radar));
        EXPECT_GT(report, empty + 200);  // the report and the large "0998" above it

        EXPECT_EQ(station.services().metar().timerIntervalMs(), 10 * 60000);

        // Leaving the airport box loads both windows; the server has no EDDF.
        auto* box = qobject_cast<QLineEdit*>(radar.controls().control("edicao"));
        box->setText("EDDF");
        radar.display().edicao = "EDDF";
        Q_EMIT box->editingFinished();
        ASSERT_TRUE(PumpUntil([&] { return !station.services().metar().busy(); }));
        EXPECT_EQ(radar.display().metar, "");
        EXPECT_EQ(station.services().metar().timerIntervalMs(), 10 * 60000);
        station.radar(1).hide();
        station.radar(2).hide();
    }
    const std::vector<std::string> asked = weather.paths();
    ASSERT_GE(asked.size(), 3u);
    EXPECT_EQ(asked[0], "/data/observations/metar/stations/EDDH.TXT");
    EXPECT_EQ(asked[1], "/data/observations/metar/stations/EDDF.TXT");  // window 1
    EXPECT_EQ(asked[2], "/data/observations/metar/stations/EDDF.TXT");  // window 2's default
    dir.removeRecursively();
}

// The WX window shows both files as the server keeps them; a code of other than four
// characters asks nothing.
TEST(Gui, TheWxWindowShowsTheReportAndTheForecastOfAnyAirport) {
    REQUIRE_DISPLAY();
    WeatherServer weather;
    WxReportsWindow window;
    window.source = [&] {
        WeatherTextSource s;
        s.library = AEROVA_METAR_LIBRARY;
        s.server = weather.Url();
        return s;
    };
    window.show();
    window.icao().setText("EDD");
    window.GetWx();
    EXPECT_FALSE(window.busy());
    EXPECT_TRUE(window.icao().hasSelectedText());
    window.icao().setText("EDDH");
    Q_EMIT window.icao().returnPressed();
    ASSERT_TRUE(PumpUntil([&] { return !window.busy(); }));
    EXPECT_EQ(window.reports().toStdString(), std::string(kMetar) + "\n\n" + kTaf);
    EXPECT_EQ(weather.paths().size(), 2u);
}

// The weather display manager on the main window's WX button: its boxes reach the download
// cycle, boxes kept in the settings start it once reception runs, and a shut-down keeps what
// was changed.
TEST(Gui, TheWeatherWindowOpensFromTheMainWindowAndKeepsItsBoxesAndColours) {
    REQUIRE_DISPLAY();
    QDir dir(QDir::tempPath() + "/aerova-wxform-gui-" +
             QString::number(QApplication::applicationPid()));
    dir.removeRecursively();
    ASSERT_TRUE(dir.mkpath("."));
    const std::string path = JoinPath(dir.path().toStdString(), "aerovas.ini");
    IniFile ini(path);
    ini.WriteString("wxform", "prepnr1", "1");  // WX radar 2 downloads
    ini.WriteString("wxform", "prepcb3", "1");
    ini.WriteString("colors", "blitz7", std::to_string(WeatherColour(1, 2, 3)));
    ini.WriteString("main", "firstrun", "0");
    ASSERT_TRUE(ini.UpdateFile());
    RunOptions options;
    options.stationDir = dir.path().toStdString();
    options.nosrv = true;
    options.portOffset = testing::TestPortOffset(12);
    {
        DesktopStation station(options);
        station.askOverride = [](const std::string&, const std::string&) { return true; };
        ASSERT_TRUE(station.Start());
        WeatherService& service = station.weather().service();
        EXPECT_TRUE(service.cycle().boxes(kWxRadar2).download);
        EXPECT_TRUE(service.options().intensityBoxes[2]);
        EXPECT_EQ(service.options().colours[7], WeatherColour(1, 2, 3));
        // Restored from the settings, the box starts the cycle five seconds after reception.
        EXPECT_TRUE(service.wxtimer().isActive());
        EXPECT_EQ(service.wxtimer().interval(), kWeatherStartDelayMs);

        QToolButton* button = station.mainWindow().button("sbwx");
        ASSERT_TRUE(button->isEnabled());
        button->click();
        WeatherWindow& window = station.weather().window();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.windowTitle(), "Aerova Weather Display Manager");
        window.findChild<QCheckBox*>("cbwx")->click();
        window.findChild<QCheckBox*>("cbwxdisp2")->click();
        window.findChild<QCheckBox*>("CheckBox1")->click();
        EXPECT_TRUE(service.cycle().boxes(kWxRadar1).download);
        EXPECT_TRUE(service.cycle().boxes(kWxRadar1).display[1]);
        EXPECT_TRUE(service.options().intensityBoxes[0]);
        window.close();
        EXPECT_FALSE(button->isChecked());
        station.radar(1).hide();
        station.radar(2).hide();
        EXPECT_TRUE(station.Quit());
    }
    const IniFile saved(path);
    EXPECT_EQ(saved.ReadString("wxform", "prepceur", ""), "1");
    EXPECT_EQ(saved.ReadString("wxform", "prepwx2", ""), "1");
    EXPECT_EQ(saved.ReadString("wxform", "prepnr1", ""), "1");
    EXPECT_EQ(saved.ReadString("wxform", "prepcb1", ""), "1");
    EXPECT_EQ(saved.ReadString("wxform", "prepcb3", ""), "1");
    EXPECT_EQ(saved.ReadInteger("colors", "blitz7", 0), WeatherColour(1, 2, 3));
    dir.removeRecursively();
}

}  // namespace
}  // namespace aerova
