#include "weather/weather_text.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/strings.h"

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
class WeatherTextServer {
  public:
    WeatherTextServer() {
        server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            std::scoped_lock lock(mutex_);
            paths_.push_back(req.path);
            if (req.path == "/data/observations/metar/stations/EDDH.TXT") {
                res.set_content(kMetar, "text/plain");
            } else if (req.path == "/data/forecasts/taf/stations/EDDH.TXT") {
                res.set_content(kTaf, "text/plain");
            } else {
                res.status = 404;
            }
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        const auto deadline = Clock::now() + 10s;
        while (!server_.is_running() && Clock::now() < deadline) std::this_thread::yield();
    }
    ~WeatherTextServer() {
        server_.stop();
        thread_.join();
    }
    std::string Url() const { return Concat({"http://127.0.0.1:", std::to_string(port_)}); }
    std::vector<std::string> TakePaths() {
        std::scoped_lock lock(mutex_);
        return std::exchange(paths_, {});
    }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> paths_;
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
