#include "weather/weather_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/strings.h"
#include "platform/test_file_server.h"

namespace aerova {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kMetar =
    "2024/05/20 10:50\n"
    "EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG\n";
const std::string kTaf =
    "2024/05/20 11:04\n"
    "TAF EDDH 201100Z 2012/2118 27012KT 9999 SCT030\n"
    "      BECMG 2018/2020 24005KT\n";

TEST(FlattenWeatherTextTest, Table) {
    const struct {
        std::string text;
        const char* kind;
        const char* station;
        bool shortSymbols;
        std::string line;
    } cases[] = {
        {kMetar, "METAR", "EDDH", false,
         "2024/05/20 10:50 EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG "},
        {kMetar, "METAR", "EDDH", true,
         "5/20 10:50 SA EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG "},
        // The code as the caller gave it: a lower-case one is not found in the report.
        {kMetar, "METAR", "eddh", true,
         "5/20 10:50 EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG "},
        {kTaf, "TAF", "EDDH", false,
         "2024/05/20 11:04 TAF EDDH 201100Z 2012/2118 27012KT 9999 SCT030 BECMG 2018/2020 "
         "24005KT "},
        {kTaf, "TAF", "EDDH", true,
         "5/20 11:04 FT EDDH 201100Z 2012/2118 27012KT 9999 SCT030 BECMG 2018/2020 24005KT "},
        {"2024/05/20 10:50\r\nEDDH 201050Z 27010KT\r\n", "METAR", "EDDH", false,
         "2024/05/20 10:50 EDDH 201050Z 27010KT "},
        // Each pass halves a run of blanks, it does not collapse it: 9 -> 5 -> 3 -> 2.
        {"A         B", "METAR", "EDDH", false, "A  B"},
        // The blank goes in after the 16th character only in a text longer than 26.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "METAR", "EDDH", false, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0", "METAR", "EDDH", false, "ABCDEFGHIJKLMNOP QRSTUVWXYZ0"},
        {"EDDH NIL", "METAR", "EDDH", true, "IL"},
        {"NIL", "TAF", "EDDH", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FlattenWeatherText(c.text, c.kind, c.station, c.shortSymbols), c.line);
    }
}

// A weather text server with the files of one station; records every path asked for.
class WeatherTextServer : public testing::TestFileServer {
  public:
    WeatherTextServer()
        : TestFileServer({{"/data/observations/metar/stations/EDDH.TXT", {200, kMetar, {}}},
                          {"/data/forecasts/taf/stations/EDDH.TXT", {200, kTaf, {}}}}) {}
};

TEST(FetchWeatherTextTest, ThroughTheMetarLibrary) {
    WeatherTextServer server;
    const WeatherTextSource source{AEROVA_METAR_LIBRARY, server.Url()};
    const std::string metarPath = "/data/observations/metar/stations/EDDH.TXT";
    const std::string tafPath = "/data/forecasts/taf/stations/EDDH.TXT";
    const struct {
        const char* kind;
        const char* station;
        bool shortSymbols;
        std::string line;
        std::vector<std::string> paths;
    } cases[] = {
        {"METAR",
         "eddh",
         false,
         "2024/05/20 10:50 EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG ",
         {metarPath}},
        {"METAR",
         "EDDH",
         true,
         "5/20 10:50 SA EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG ",
         {metarPath}},
        {"TAF",
         "EDDH",
         true,
         "5/20 11:04 FT EDDH 201100Z 2012/2118 27012KT 9999 SCT030 BECMG 2018/2020 24005KT ",
         {tafPath}},
        {"METAR", "EDDF", false, "", {"/data/observations/metar/stations/EDDF.TXT"}},
        {"METAR", "ED/DH", false, "", {}},
        {"SIGMET", "EDDH", false, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Concat({c.kind, " ", c.station}));
        EXPECT_EQ(FetchWeatherText(source, c.kind, c.station, c.shortSymbols), c.line);
        EXPECT_EQ(server.TakePaths(), c.paths);
    }
}

TEST(FetchWeatherTextTest, MissingLibraryGivesAnEmptyText) {
    WeatherTextServer server;
    EXPECT_EQ(FetchWeatherText({"/nonexistent/libmetar.so", server.Url()}, "METAR", "EDDH", false),
              "");
    // A library without the METAR exports.
    EXPECT_EQ(FetchWeatherText({"libm.so.6", server.Url()}, "METAR", "EDDH", false), "");
    EXPECT_TRUE(server.TakePaths().empty());
}

}  // namespace
}  // namespace aerova
