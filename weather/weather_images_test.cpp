#include "weather/weather_images.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "weather/testing/test_gifs.h"

namespace aerova {
namespace {

constexpr WeatherRgb kSevere{153, 0, 197};  // scheme A code 11
constexpr WeatherRgb kGrey{128, 128, 128};
constexpr WeatherRgb kWhite{255, 255, 255};

DayTime At(int year, int month, int day, int hour, int minute, int second = 0, int msec = 0) {
    return EncodeDateTime(year, month, day, hour, minute, second, msec);
}
DayTime Today(int hour, int minute, int second = 0, int msec = 0) {
    return At(2024, 3, 9, hour, minute, second, msec);
}
std::string Stamp(DayTime t) {
    return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", t);
}

const std::array<std::string, kWeatherSourceCount> kBases = {
    "http://wx.example/c/", "http://nl.example/r?k=1", "http://nl.example/r?k=3",
    "http://be.example/radar"};

TEST(WeatherSlot, PictureTimeAndAddressOfEachSource) {
    struct Case {
        int source;
        DayTime clock;
        const char* slot;
        const char* next;
        const char* address;
    };
    const Case cases[] = {
        {kWxRadar1, Today(12, 7), "2024-03-09 11:45:00.000", "2024-03-09 12:15:00.000",
         "http://wx.example/c/2024/03/09/1145.gif?1&LANG=de"},
        {kWxRadar2, Today(12, 7), "2024-03-09 12:00:00.000", "2024-03-09 12:05:00.000",
         "http://nl.example/r?k=1&j=2024&m=03&d=09&mi=00&uhr=12&bliksem=0&voor=&srt=bild"},
        // Just after midnight the slot before lies on the previous day (and year).
        {kWxRadar1, At(2024, 1, 1, 0, 3, 10), "2023-12-31 23:45:00.000", "2024-01-01 00:15:00.000",
         "http://wx.example/c/2023/12/31/2345.gif?1&LANG=de"},
        {kWxRadar3, At(2024, 3, 1, 0, 0), "2024-02-29 23:55:00.000", "2024-03-01 00:00:00.000",
         "http://nl.example/r?k=3&j=2024&m=02&d=29&mi=55&uhr=23&bliksem=0&voor=&srt=bild"},
        // On a slot boundary the slot starting there is the running one.
        {kWxRadar1, Today(12, 15), "2024-03-09 12:00:00.000", "2024-03-09 12:30:00.000",
         "http://wx.example/c/2024/03/09/1200.gif?1&LANG=de"},
        {kWxRadar1, Today(12, 14, 59, 999), "2024-03-09 11:45:00.000", "2024-03-09 12:15:00.000",
         "http://wx.example/c/2024/03/09/1145.gif?1&LANG=de"},
        {kWxRadar4, At(2024, 7, 5, 9, 4, 59), "2024-07-05 08:55:00.000", "2024-07-05 09:00:00.000",
         "http://be.example/radar?bliksem=0&voor=&srt=&jaar=2024&maand=07&dag=05&minuut=55"
         "&uur=08"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Stamp(c.clock));
        const WeatherSource& source = kWeatherSources[c.source];
        const WeatherSlot slot = SlotAt(source, c.clock);
        EXPECT_EQ(Stamp(slot.slot), c.slot);
        EXPECT_EQ(Stamp(slot.next), c.next);
        EXPECT_EQ(RequestAddress(source, kBases[c.source], slot.slot), c.address);
    }
}

TEST(WeatherSlot, NextRunNeverStopsOrParksTheCycle) {
    struct Case {
        int source;
        DayTime now;
        int ms;
    };
    const DayTime next = Today(12, 15);
    const Case cases[] = {
        {kWxRadar1, Today(12, 7), 480000},         {kWxRadar1, Today(12, 7, 0, 400), 479600},
        {kWxRadar1, Today(12, 14, 59, 999), 1000},  // 1 ms left
        {kWxRadar1, Today(12, 15, 0, 500), 1000},   // the download ended after the boundary
        {kWxRadar1, Today(13, 40), 1000},           // the clock stepped forward
        {kWxRadar1, Today(9, 0), 900000},           // the clock stepped back
        {kWxRadar2, Today(12, 7), 300000},         {kWxRadar4, Today(13, 40), 300000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Stamp(c.now));
        EXPECT_EQ(NextRunMs(kWeatherSources[c.source], next, c.now), c.ms);
    }
}

TEST(WeatherSlot, AddressBoxShowsTheTailOfLongAddresses) {
    const std::string longBase(300, 'x');
    struct Case {
        int source;
        std::string address;
        std::string shown;
    };
    const Case cases[] = {
        {kWxRadar1, "http://wx.example/c/2024/03/09/1145.gif?1&LANG=de",
         "..3/09/1145.gif?1&LANG=de"},
        {kWxRadar4, "http://be.example/radar?x", "http://be.example/radar?x"},  // 25 bytes
        {kWxRadar4, longBase, Concat({"..", std::string(255, 'x')})},
        {kWxRadar2, longBase, longBase},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressBoxText(kWeatherSources[c.source], c.address), c.shown);
}

TEST(WeatherSources, LastCellEndsOnTheFrameEdge) {
    const WeatherSource& wx1 = kWeatherSources[kWxRadar1];
    const GeoFrame first = CellArea(wx1, 0, 0);
    const GeoFrame last = CellArea(wx1, 444, 449);
    EXPECT_DOUBLE_EQ(first.north, 55.06);
    EXPECT_DOUBLE_EQ(first.west, 4.6);
    EXPECT_NEAR(first.south, 55.06 - 7.99 / 450, 1e-12);
    EXPECT_NEAR(first.east, 4.6 + 11.6 / 445, 1e-12);
    EXPECT_NEAR(last.south, 47.07, 1e-9);
    EXPECT_NEAR(last.east, 16.2, 1e-9);
}

TEST(WeatherSources, AddressesFromTheStationDirectory) {
    aerova::testing::TempDir dir;
    EXPECT_EQ(ReadWeatherAddresses(dir.path()), (std::array<std::string, kWeatherSourceCount>{}));
    dir.Write("wxradar.ini", "[wxradar]\r\n1=http://nl.example/r?k=1\r\n2=http://wx.example/\r\n");
    EXPECT_EQ(ReadWeatherAddresses(dir.path()),
              (std::array<std::string, kWeatherSourceCount>{"http://wx.example/",
                                                            "http://nl.example/r?k=1", "", ""}));
}

// A picture of `width` x `height` in `colour` with one severe pixel at the top left.
std::string RadarGif(int width, int height, WeatherRgb colour) {
    return aerova::testing::EncodeGif(aerova::testing::FullFrame(
        width, height, {colour, kSevere}, [](int x, int y) { return x == 0 && y == 0 ? 1 : 0; }));
}

WeatherClocks Clocks(DayTime utc, DayTime local) {
    return {utc, local};
}
WeatherClocks Utc(DayTime utc) {
    return {utc, utc + 1.0 / 24};  // local time one hour ahead
}

TEST(WeatherCycle, GoodPictureFillsTheGridAndTheStatusLines) {
    WeatherCycle cycle(kBases);
    cycle.SetDownloadBox(kWxRadar1, true, true);
    EXPECT_TRUE(cycle.timer().Runs());
    EXPECT_EQ(cycle.timer().intervalMs, 5000);

    const auto fetch = cycle.TimerFired(Utc(Today(12, 7)));
    ASSERT_TRUE(fetch);
    EXPECT_EQ(fetch->source, kWxRadar1);
    EXPECT_EQ(fetch->address, "http://wx.example/c/2024/03/09/1145.gif?1&LANG=de");
    EXPECT_TRUE(cycle.running());
    EXPECT_FALSE(cycle.timer().enabled);
    EXPECT_EQ(cycle.tab(kWxRadar1).currentLine, "Downloading...");
    EXPECT_EQ(cycle.tab(kWxRadar1).nextLine, "");
    EXPECT_EQ(cycle.tab(kWxRadar1).address, "..3/09/1145.gif?1&LANG=de");
    EXPECT_FALSE(cycle.layerReady(kWxRadar1));

    EXPECT_FALSE(cycle.FetchEnded(WeatherFetchStatus::kReceived, RadarGif(445, 450, kGrey),
                                  Utc(Today(12, 7, 10))));
    EXPECT_FALSE(cycle.running());
    EXPECT_TRUE(cycle.timer().Runs());
    EXPECT_EQ(cycle.timer().intervalMs, 470000);
    EXPECT_EQ(cycle.tab(kWxRadar1).currentLine, "Current download: 11:45:00 UTC");
    EXPECT_EQ(cycle.tab(kWxRadar1).nextLine, "Next download: 12:15:00 UTC");
    EXPECT_TRUE(cycle.layerReady(kWxRadar1));
    ASSERT_NE(cycle.grid(kWxRadar1), nullptr);
    EXPECT_EQ(cycle.grid(kWxRadar1)->At(0, 0), 11);
    EXPECT_EQ(cycle.grid(kWxRadar1)->At(444, 449), 2);
    ASSERT_NE(cycle.picture(kWxRadar1), nullptr);
    EXPECT_EQ(cycle.picture(kWxRadar1)->width, 445);

    EXPECT_FALSE(cycle.DrawsLayer(kWxRadar1, 0));
    cycle.SetDisplayBox(kWxRadar1, 0, true, true);
    EXPECT_TRUE(cycle.DrawsLayer(kWxRadar1, 0));
    EXPECT_FALSE(cycle.DrawsLayer(kWxRadar1, 1));
}

// Every failure keeps the previous picture, grid and layer, and says when it retries (station
// clock + 5 minutes), whatever clock the source's slots follow.
TEST(WeatherCycle, FailureKeepsThePictureAndSaysWhenItRetries) {
    struct Case {
        int source;
        WeatherFetchStatus status;
        std::string reply;
        const char* nextLine;
        int intervalMs;
    };
    const std::string truncated = RadarGif(520, 520, kWhite).substr(0, 40);
    const Case cases[] = {
        {kWxRadar1, WeatherFetchStatus::kFileError, "", "File error (001): retry at 12:12:10",
         300000},
        {kWxRadar1, WeatherFetchStatus::kRequestFailed, "",
         "Download error (002): retry at 12:12:10", 120000},
        {kWxRadar1, WeatherFetchStatus::kReceived, "<html>503 Service Unavailable</html>",
         "Format error (003): retry at 12:12:10", 300000},
        {kWxRadar2, WeatherFetchStatus::kRequestFailed, "",
         "Download error (002): retry at 12:12:10", 300000},
        {kWxRadar2, WeatherFetchStatus::kReceived, truncated,
         "Format error (003): retry at 12:12:10", 300000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nextLine);
        WeatherCycle cycle(kBases);
        cycle.SetDownloadBox(c.source, true, true);
        const int side = c.source == kWxRadar1 ? 445 : 520;
        ASSERT_TRUE(cycle.TimerFired(Utc(Today(11, 50))));
        cycle.FetchEnded(WeatherFetchStatus::kReceived, RadarGif(side, side, kWhite),
                         Utc(Today(11, 50, 5)));
        const std::vector<std::uint8_t> cellsBefore = cycle.grid(c.source)->cells();

        ASSERT_TRUE(cycle.TimerFired(Utc(Today(12, 7))));
        EXPECT_FALSE(cycle.layerReady(c.source));
        EXPECT_FALSE(cycle.FetchEnded(c.status, c.reply, Utc(Today(12, 7, 10))));

        EXPECT_EQ(cycle.tab(c.source).currentLine, "Current download: void");
        EXPECT_EQ(cycle.tab(c.source).nextLine, c.nextLine);
        EXPECT_EQ(cycle.timer().intervalMs, c.intervalMs);
        EXPECT_TRUE(cycle.timer().Runs());
        EXPECT_TRUE(cycle.layerReady(c.source));
        EXPECT_EQ(cycle.grid(c.source)->cells(), cellsBefore);
        EXPECT_EQ(cycle.picture(c.source)->width, side);
    }
}

TEST(WeatherCycle, FailureBeforeAnyPictureLeavesTheLayerOff) {
    WeatherCycle cycle(kBases);
    cycle.SetDownloadBox(kWxRadar3, true, true);
    ASSERT_TRUE(cycle.TimerFired(Utc(Today(12, 7))));
    cycle.FetchEnded(WeatherFetchStatus::kReceived, "GIF89a", Utc(Today(12, 7, 1)));
    EXPECT_FALSE(cycle.layerReady(kWxRadar3));
    EXPECT_EQ(cycle.picture(kWxRadar3), nullptr);
    EXPECT_EQ(cycle.grid(kWxRadar3)->At(0, 0), 0);
}

TEST(WeatherCycle, DownloadEndingPastTheBoundaryKeepsTheCycleGoing) {
    WeatherCycle cycle(kBases);
    cycle.SetDownloadBox(kWxRadar1, true, true);
    ASSERT_TRUE(cycle.TimerFired(Utc(Today(12, 14, 59))));
    cycle.FetchEnded(WeatherFetchStatus::kReceived, RadarGif(445, 450, kGrey),
                     Utc(Today(12, 16, 30)));
    EXPECT_EQ(cycle.tab(kWxRadar1).nextLine, "Next download: 12:15:00 UTC");
    EXPECT_TRUE(cycle.timer().Runs());
    EXPECT_EQ(cycle.timer().intervalMs, 1000);
}

TEST(WeatherCycle, SourcesRunInOrderOnTheShortestCadence) {
    WeatherCycle cycle(kBases);
    cycle.SetDownloadBox(kWxRadar2, true, true);
    cycle.SetDownloadBox(kWxRadar1, true, true);
    const WeatherClocks start = Clocks(Today(11, 7), Today(12, 7));

    const auto first = cycle.TimerFired(start);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->source, kWxRadar1);
    EXPECT_EQ(first->address, "http://wx.example/c/2024/03/09/1045.gif?1&LANG=de");
    const auto second = cycle.FetchEnded(WeatherFetchStatus::kReceived, RadarGif(445, 450, kGrey),
                                         Clocks(Today(11, 7, 2), Today(12, 7, 2)));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->source, kWxRadar2);
    // WX radar 2 follows the local clock.
    EXPECT_EQ(second->address,
              "http://nl.example/r?k=1&j=2024&m=03&d=09&mi=00&uhr=12&bliksem=0&voor=&srt=bild");
    EXPECT_FALSE(cycle.FetchEnded(WeatherFetchStatus::kReceived, RadarGif(520, 520, kWhite),
                                  Clocks(Today(11, 7, 4), Today(12, 7, 4))));
    EXPECT_EQ(cycle.timer().intervalMs, 300000);
    EXPECT_EQ(cycle.tab(kWxRadar2).currentLine, "Current download: 12:00:00 UTC");
    EXPECT_EQ(cycle.tab(kWxRadar2).nextLine, "Next download: 12:05:00 UTC");
    EXPECT_EQ(cycle.grid(kWxRadar2)->At(0, 0), 12);
    EXPECT_EQ(cycle.grid(kWxRadar2)->At(1, 0), 6);
}

TEST(WeatherCycle, NoSecondCycleStartsInsideTheFirst) {
    WeatherCycle cycle(kBases);
    cycle.SetDownloadBox(kWxRadar1, true, true);
    cycle.SetDownloadBox(kWxRadar2, true, true);
    ASSERT_TRUE(cycle.TimerFired(Utc(Today(12, 7))));

    EXPECT_FALSE(cycle.TimerFired(Utc(Today(12, 7, 5))));
    // A box checked meanwhile does not arm the timer under the running cycle ...
    cycle.SetDownloadBox(kWxRadar4, true, true);
    EXPECT_FALSE(cycle.timer().enabled);
    EXPECT_TRUE(cycle.running());

    // ... and the downloads go on from where the cycle was, the new box included.
    const auto second =
        cycle.FetchEnded(WeatherFetchStatus::kRequestFailed, "", Utc(Today(12, 7, 10)));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->source, kWxRadar2);
    const auto third =
        cycle.FetchEnded(WeatherFetchStatus::kRequestFailed, "", Utc(Today(12, 7, 20)));
    ASSERT_TRUE(third);
    EXPECT_EQ(third->source, kWxRadar4);
    EXPECT_FALSE(cycle.FetchEnded(WeatherFetchStatus::kReceived, RadarGif(8, 8, kWhite),
                                  Utc(Today(12, 7, 30))));
    EXPECT_FALSE(cycle.running());
    // The click's early start is kept.
    EXPECT_EQ(cycle.timer().intervalMs, 5000);
    ASSERT_NE(cycle.picture(kWxRadar4), nullptr);
    EXPECT_EQ(cycle.grid(kWxRadar4), nullptr);
    // A report with no download running changes nothing.
    EXPECT_FALSE(cycle.FetchEnded(WeatherFetchStatus::kFileError, "", Utc(Today(12, 8))));
    EXPECT_EQ(cycle.tab(kWxRadar4).currentLine, "Current download: 13:00:00 UTC");
}

TEST(WeatherCycle, CheckedSourceWithoutAddressStopsTheTimer) {
    std::array<std::string, kWeatherSourceCount> bases = kBases;
    bases[kWxRadar3].clear();
    WeatherCycle cycle(bases);
    cycle.SetDownloadBox(kWxRadar1, true, true);
    cycle.SetDownloadBox(kWxRadar3, true, true);
    ASSERT_TRUE(cycle.TimerFired(Utc(Today(12, 7))));
    EXPECT_FALSE(cycle.FetchEnded(WeatherFetchStatus::kReceived, RadarGif(445, 450, kGrey),
                                  Utc(Today(12, 7, 10))));
    EXPECT_EQ(cycle.timer().intervalMs, 0);
    EXPECT_FALSE(cycle.timer().Runs());
    EXPECT_EQ(cycle.tab(kWxRadar3).currentLine, "");

    cycle.SetDownloadBox(kWxRadar2, true, true);
    EXPECT_TRUE(cycle.timer().Runs());
    EXPECT_EQ(cycle.timer().intervalMs, 5000);
}

// The box handlers run for every change, the settings being applied at reception start
// included; they arm the cycle only while reception runs.
TEST(WeatherCycle, BoxChangesArmTheCycleWhileReceptionRuns) {
    struct Case {
        const char* name;
        void (*change)(WeatherCycle&);
        bool arms;
    };
    const Case cases[] = {
        {"download box restored from the settings",
         [](WeatherCycle& c) { c.SetDownloadBox(kWxRadar2, true, true); }, true},
        {"download box while reception is off",
         [](WeatherCycle& c) { c.SetDownloadBox(kWxRadar2, true, false); }, false},
        {"download box set to the value it has",
         [](WeatherCycle& c) { c.SetDownloadBox(kWxRadar2, false, true); }, false},
        {"WX radar 1 display box",
         [](WeatherCycle& c) { c.SetDisplayBox(kWxRadar1, 1, true, true); }, true},
        {"WX radar 3 display box",
         [](WeatherCycle& c) { c.SetDisplayBox(kWxRadar3, 1, true, true); }, false},
        {"box restored before reception, then reception starts",
         [](WeatherCycle& c) {
             c.SetDownloadBox(kWxRadar4, true, false);
             c.ReceptionStarted();
         },
         true},
        {"reception starts with no box checked", [](WeatherCycle& c) { c.ReceptionStarted(); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WeatherCycle cycle(kBases);
        c.change(cycle);
        EXPECT_EQ(cycle.timer().Runs(), c.arms);
    }

    WeatherCycle idle(kBases);
    idle.SetDisplayBox(kWxRadar1, 0, true, true);
    EXPECT_FALSE(idle.TimerFired(Utc(Today(12, 7))));  // no download box checked
    EXPECT_FALSE(idle.running());
    EXPECT_TRUE(idle.timer().Runs());
}

}  // namespace
}  // namespace aerova
