#include "app/metar_service.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>

#include "distribution/qt_test_support.h"
#include "platform/test_file_server.h"

namespace aerova {
namespace {

constexpr const char* kMetar =
    "2026/05/01 12:20\nEDDH 011220Z 27010KT 9999 FEW030 15/08 Q0998 NOSIG\n";
constexpr const char* kShortTaf = "2026/05/01 11:00\nTAF EDDH 011100Z 0112/0121 27010KT CAVOK\n";
constexpr const char* kTaf = "2026/05/01 11:00\nTAF EDDH 011100Z 0112/0218 27010KT 9999 SCT030\n";
constexpr const char* kUsMetar = "2026/05/01 12:51\nKJFK 011251Z AUTO 18012KT 10SM A3001 RMK AO2\n";

// A weather text server with the files of two stations; records the paths asked for.
class WeatherServer : public testing::TestFileServer {
  public:
    WeatherServer()
        : TestFileServer({{"/data/observations/metar/stations/EDDH.TXT", {200, kMetar, {}}},
                          {"/data/forecasts/shorttaf/stations/EDDH.TXT", {200, kShortTaf, {}}},
                          {"/data/forecasts/taf/stations/EDDH.TXT", {200, kTaf, {}}},
                          {"/data/observations/metar/stations/KJFK.TXT", {200, kUsMetar, {}}}}) {}
};

WeatherTextSource Library() {
    WeatherTextSource s;
    s.library = AEROVA_METAR_LIBRARY;
    return s;
}

struct TextEvent {
    int window;
    WeatherTextField field;
    std::string text;
    bool operator==(const TextEvent&) const = default;
};

class MetarServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        service.settings.server = server.Url();
        service.readWindow = [this](int w) -> std::optional<MetarWindow> { return windows[w]; };
        service.setText = [this](int w, WeatherTextField f, const std::string& text) {
            events.push_back({w, f, text});
        };
    }
    std::string Flat(const char* text, const char* kind) {
        return FlattenWeatherText(text, kind, "EDDH", false);
    }

    QCoreApplication& app = testing::QtApp();  // before the service's timers
    WeatherServer server;
    ReceiverSettings receiver;
    MetarService service{receiver, Library()};
    std::array<MetarWindow, 2> windows{};
    std::vector<TextEvent> events;
};

TEST_F(MetarServiceTest, AutoWindowsReloadWithTheTafOnTheFirstOfEverySixRuns) {
    windows[0] = {"eddh", true, true};
    windows[1] = {"EDDF", false, true};  // not on "Auto": left alone by the cycle
    service.Reload();
    // The window shows that it waits before any request has gone out.
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0], (TextEvent{0, WeatherTextField::kMetar, "Loading METAR..."}));
    EXPECT_EQ(events[2], (TextEvent{0, WeatherTextField::kTaf, "Loading TAF..."}));
    ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
    const std::vector<TextEvent> first = {
        {0, WeatherTextField::kMetar, "Loading METAR..."},
        {0, WeatherTextField::kShortTaf, "Loading TAF..."},
        {0, WeatherTextField::kTaf, "Loading TAF..."},
        {0, WeatherTextField::kMetar, Flat(kMetar, "METAR")},
        {0, WeatherTextField::kShortTaf, Flat(kShortTaf, "SHORTTAF")},
        {0, WeatherTextField::kTaf, Flat(kTaf, "TAF")},
    };
    EXPECT_EQ(events, first);
    EXPECT_TRUE(service.timerActive());
    EXPECT_EQ(service.timerIntervalMs(), 10 * 60000);

    // Runs 1 to 5 fetch the METAR only; run 6 is the next with the TAF.
    service.settings.interval = 0;  // never a continuous fetch: one minute at least
    for (int run = 1; run <= kMetarRuns; ++run) {
        events.clear();
        service.Reload();
        ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
        EXPECT_EQ(events.size(), run == kMetarRuns ? 6u : 2u) << "run " << run;
    }
    EXPECT_EQ(service.timerIntervalMs(), 60000);
    EXPECT_EQ(server.paths().front(), "/data/observations/metar/stations/EDDH.TXT");
}

TEST_F(MetarServiceTest, LeavingAnAirportBoxLoadsWithTafAndAMissingReportLeavesNoText) {
    windows[0] = {"XXXX", false, false};  // the server has no such station
    windows[1] = {"EDDH", false, true};
    service.AirportLeft(1);  // window 2's box: window 1 is not loaded
    ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
    ASSERT_EQ(events.size(), 6u);
    for (const TextEvent& e : events) EXPECT_EQ(e.window, 1);
    EXPECT_TRUE(service.timerActive());

    events.clear();
    service.AirportLeft(0);
    ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
    ASSERT_EQ(events.size(), 8u);
    // Window 1 asked first, and its 404 gives an empty text, not "Loading METAR...".
    EXPECT_EQ(events[4], (TextEvent{0, WeatherTextField::kMetar, ""}));
}

TEST_F(MetarServiceTest, AutoQnhSetsTheListsFromTheHomeAirportsReport) {
    std::vector<AutoQnhState> states;
    service.autoQnhChanged = [&](const AutoQnhState& s) { states.push_back(s); };
    receiver.edicao = "eddh";
    service.SetAutoQnh(true);
    EXPECT_EQ(service.autoQnh().look, AutoQnhLook::kWaiting);
    EXPECT_EQ(receiver.edicao, "EDDH");
    ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
    EXPECT_EQ(HpaOf(receiver), 998);
    EXPECT_EQ(service.autoQnh().caption, "12:20 UTC");
    EXPECT_EQ(service.autoQnh().look, AutoQnhLook::kFound);
    EXPECT_TRUE(service.timerActive());  // the cycle fetches it again

    // A US report with "AUTO" before its altimeter group.
    receiver.edicao = "KJFK";
    service.Reload();
    ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
    EXPECT_EQ(InchOf(receiver), 3001);
    EXPECT_EQ(HpaOf(receiver), 1016);

    // No report: red, and the lists stay.
    receiver.edicao = "XXXX";
    service.Reload();
    ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
    EXPECT_EQ(service.autoQnh().look, AutoQnhLook::kFailed);
    EXPECT_EQ(HpaOf(receiver), 1016);

    service.SetAutoQnh(false);
    EXPECT_EQ(service.autoQnh().caption, "Auto QNH");
    EXPECT_EQ(service.autoQnh().look, AutoQnhLook::kPlain);
    EXPECT_FALSE(receiver.cbqnh);
}

// A server that takes the connection and never answers.
class SilentListener {
  public:
    SilentListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 8);
        socklen_t n = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
    }
    ~SilentListener() { ::close(fd_); }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  private:
    int fd_ = -1;
    int port_ = 0;
};

TEST(MetarServiceSilent, TheEventLoopKeepsTickingWhileAServerIsSilent) {
    testing::QtApp();
    SilentListener silent;
    ReceiverSettings receiver;
    WeatherTextSource source = Library();
    source.connectTimeoutMs = 500;
    source.totalTimeoutMs = 1500;
    MetarService service(receiver, source);
    service.settings.server = silent.url();
    std::vector<std::string> texts;
    service.readWindow = [](int w) -> std::optional<MetarWindow> {
        return w == 0 ? std::optional<MetarWindow>(MetarWindow{"EDDH", true, false}) : std::nullopt;
    };
    service.setText = [&](int, WeatherTextField, const std::string& t) { texts.push_back(t); };
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);
    service.Reload();
    ASSERT_TRUE(testing::PumpUntil([&] { return !service.busy(); }, 10000));
    // About 75 ticks fit in the 1.5 s the request waits; a blocked loop would give none.
    EXPECT_GT(ticks, 20);
    EXPECT_EQ(texts, (std::vector<std::string>{"Loading METAR...", ""}));
}

}  // namespace
}  // namespace aerova
