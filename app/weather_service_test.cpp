#include "app/weather_service.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <chrono>
#include <memory>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "distribution/qt_test_support.h"
#include "weather/testing/picture_server.h"
#include "weather/testing/test_gifs.h"

namespace aerova {
namespace {

using namespace std::chrono_literals;

// A WX radar 1 picture with one severe cell at its top left.
std::string RadarGif() {
    return aerova::testing::EncodeGif(
        aerova::testing::FullFrame(445, 450, {{128, 128, 128}, {153, 0, 197}},
                                   [](int x, int y) { return x == 0 && y == 0 ? 1 : 0; }));
}

// A station directory whose wxradar.ini names the picture server for WX radar 1, and the
// service on it with reception running, both clocks standing still.
class WeatherServiceTest : public ::testing::Test {
  protected:
    WeatherServiceTest() : server(RadarGif()) {
        aerova::testing::QtApp();  // before the service's timers
        station.Write("wxradar.ini", Concat({"[wxradar]\r\n2=", server.Url("/c/"), "\r\n"}));
        service = std::make_unique<WeatherService>(
            station.path(), [] { return true; },
            [] {
                return WeatherClocks{EncodeDateTime(2024, 3, 9, 12, 7, 0, 0),
                                     EncodeDateTime(2024, 3, 9, 13, 7, 0, 0)};
            });
        service->onChanged = [this] { ++changes; };
        service->options().intensityBoxes.fill(true);
    }

    // Checks WX radar 1's boxes for window 1 and runs one cycle to its end.
    void DownloadOnce() {
        service->SetDisplayBox(kWxRadar1, 0, true);
        service->SetDownloadBox(kWxRadar1, true);
        ASSERT_TRUE(service->wxtimer().isActive());
        EXPECT_EQ(service->wxtimer().interval(), kWeatherStartDelayMs);
        RunCycle();
    }
    void RunCycle() {
        service->RunCycleNow();
        EXPECT_TRUE(service->cycle().running());
        EXPECT_FALSE(service->wxtimer().isActive());
        ASSERT_TRUE(
            aerova::testing::PumpUntil([this] { return !service->cycle().running(); }, 10000));
    }

    aerova::testing::PictureServer server;
    aerova::testing::TempDir station;
    std::unique_ptr<WeatherService> service;
    int changes = 0;
};

TEST_F(WeatherServiceTest, CheckedBoxBringsThePictureIntoFileTabAndLayer) {
    DownloadOnce();
    EXPECT_EQ(server.last().target, "/c/2024/03/09/1145.gif?1&LANG=de");
    std::string file;
    ASSERT_TRUE(ReadWholeFile(station.File("aerova-img/wxradar.gif"), file));
    EXPECT_EQ(file, server.picture());
    const WeatherTab& tab = service->cycle().tab(kWxRadar1);
    EXPECT_EQ(tab.currentLine, "Current download: 11:45:00 UTC");
    EXPECT_EQ(tab.nextLine, "Next download: 12:15:00 UTC");
    EXPECT_TRUE(service->wxtimer().isActive());
    EXPECT_EQ(service->wxtimer().interval(), 480000);

    const int changesBefore = changes;
    ASSERT_EQ(service->layer(0).cells.size(), 1u);
    const WeatherCell& cell = service->layer(0).cells[0];
    EXPECT_EQ(cell.intensityClass, 0);
    EXPECT_FLOAT_EQ(cell.north, 55.06f);
    EXPECT_FLOAT_EQ(cell.west, 4.6f);
    EXPECT_TRUE(service->layer(1).cells.empty());

    // Unchecking the class's box takes the cell away and tells the owner.
    service->options().intensityBoxes[0] = false;
    service->OptionsChanged();
    EXPECT_EQ(changes, changesBefore + 1);
    EXPECT_TRUE(service->layer(0).cells.empty());
}

TEST_F(WeatherServiceTest, FailedDownloadKeepsThePreviousGrid) {
    DownloadOnce();
    server.SetStatus(404);
    const int changesBefore = changes;
    RunCycle();
    EXPECT_GT(changes, changesBefore);
    const WeatherTab& tab = service->cycle().tab(kWxRadar1);
    EXPECT_EQ(tab.currentLine, "Current download: void");
    EXPECT_EQ(tab.nextLine, "Download error (002): retry at 12:12:00");
    EXPECT_EQ(service->wxtimer().interval(), 120000);
    EXPECT_EQ(service->layer(0).cells.size(), 1u);
}

TEST_F(WeatherServiceTest, ClosingCancelsARunningDownload) {
    server.SetSilent(true);
    service->SetDownloadBox(kWxRadar1, true);
    service->RunCycleNow();
    ASSERT_TRUE(server.WaitForRequests(1, 10s));
    EXPECT_TRUE(service->downloading());
    QElapsedTimer timer;
    timer.start();
    service.reset();
    // The transfer's own time-out is 20 s.
    EXPECT_LT(timer.elapsed(), 5000);
}

}  // namespace
}  // namespace aerova
