#include "distribution/kml_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/strings.h"
#include "distribution/http_test_client.h"
#include "distribution/test_flights.h"
#include "distribution/xml_lint.h"

namespace aerova {
namespace {

using testing::HttpGet;
using testing::NewTable;
using testing::PlaceTarget;

class KmlServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Tflight& a = PlaceTarget(*table, 3, "3C6586");
        a.flightid = "DLH&4AB";
        a.lat = "50.1";
        a.lon = "10.2";
        a.altlabel = "F350";
        a.fl = 350;
        options.trails = true;
        options.peers = true;
        style.iconDir = "/st/aerova-scripts";
        server.SetOptions(options, style);
        settings.address = "127.0.0.1";
        settings.aircraftport = 0;
        settings.cockpitport = 0;
        settings.limits.requestTimeoutMs = 500;
        const KmlServerFailures failed = server.Start(settings);
        ASSERT_FALSE(failed.aircraft || failed.cockpit);
        aircraft = "http://127.0.0.1:" + std::to_string(server.aircraftPort());
        cockpit = "http://127.0.0.1:" + std::to_string(server.cockpitPort());
    }
    std::string Expected(bool atcbox) {
        std::scoped_lock lock(stationmutex);
        return atcbox ? AtcBoxDocument(*table, options, style)
                      : AircraftDocument(*table, options, style);
    }

    std::unique_ptr<FlightTable> table = NewTable();
    std::mutex stationmutex;
    KmlOptions options;
    KmlStyle style;
    KmlServerSettings settings;
    KmlServer server{*table, stationmutex};
    std::string aircraft, cockpit;
};

TEST_F(KmlServerTest, ServesTheDocumentsAsKml) {
    const auto r = HttpGet(aircraft + "/any/path?x=1");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.contenttype, kKmlContentType);
    EXPECT_EQ(r.body, Expected(false));
    EXPECT_NE(r.body.find("<name>DLH&amp;4AB F350</name>"), std::string::npos);
    const auto box = HttpGet(aircraft + "/atcbox");
    EXPECT_EQ(box.body, Expected(true));
    EXPECT_EQ(box.body.rfind("<Document>", 0), 0u);

    // No selection: an empty cockpit document; then the selected target of window 1.
    const auto none = HttpGet(cockpit + "/");
    EXPECT_EQ(none.status, 200);
    EXPECT_EQ(none.contenttype, kKmlContentType);
    EXPECT_EQ(none.body, "");
    {
        std::scoped_lock lock(stationmutex);
        table->windows[0].selected = 3;
    }
    const auto selected = HttpGet(cockpit + "/cockpit.kml");
    EXPECT_NE(selected.body.find("<name>DLH&amp;4AB</name>"), std::string::npos) << selected.body;

    if (!testing::XmllintAvailable()) GTEST_SKIP() << "xmllint is missing (libxml2-utils)";
    EXPECT_TRUE(testing::WellFormedXml(r.body));
    EXPECT_TRUE(testing::WellFormedXml(selected.body));
}

TEST_F(KmlServerTest, TemplateModeNeedsLoadedTemplates) {
    options.dynamickml = true;
    server.SetOptions(options, style);
    // Template mode without loaded templates serves the built-in document.
    EXPECT_EQ(HttpGet(aircraft + "/").body, Expected(false));
    KmlTemplates templates;
    templates.aircraft = ParseKmlTemplate(
        "[%init%]\n<a>\n[%flights%]\n<f>%flno% %altitudemode%</f>\n[%exit%]\n</a>"
        "\n[%%control%%]\nonground=1\n");
    templates.cockpit = ParseKmlTemplate(
        "[%init%]\n<c>\n[%selected%]\n<s>%lat%</s>\n[%exit%]\n</c>"
        "\n[%%control%%]\nselected=1\n");
    server.SetTemplates(templates);
    EXPECT_EQ(HttpGet(aircraft + "/atcbox").body,
              "<a>\r\n<f>DLH&amp;4AB clampedtoground</f>\r\n</a>\r\n");
    EXPECT_EQ(HttpGet(cockpit + "/").body, "<c>\r\n</c>\r\n");
    {
        std::scoped_lock lock(stationmutex);
        table->windows[1].selected = 3;
    }
    EXPECT_EQ(HttpGet(cockpit + "/").body, "<c>\r\n<s>50.1</s>\r\n</c>\r\n");
    options.dynamickml = false;
    server.SetOptions(options, style);
    EXPECT_EQ(HttpGet(aircraft + "/").body, Expected(false));
}

// The UI thread changes the table under the station mutex while clients of both servers
// read it; the ThreadSanitizer build runs this to show that the servers take the lock.
TEST_F(KmlServerTest, ParallelRequestsWhileTheTableChanges) {
    // Every state the UI thread leaves has a selected target with a position, so the
    // cockpit document is never the empty answer for "nothing selected".
    const auto change = [&](int n) {
        std::scoped_lock lock(stationmutex);
        for (int i = 0; i < 100; ++i) {
            Tflight& f =
                PlaceTarget(*table, i, Concat({"A", std::to_string(10000 + (n + i) % 90000)}));
            f.flightid = (n + i) % 3 ? "X<&Y" : "";
            f.lat = std::to_string(1 + n % 89);
            f.lon = std::to_string(1 + n % 179);
            f.fl = n % 2 ? -9 : 300;
            table->AddHistoryPoint(i, f.fl, static_cast<float>(n % 90), 1.5f);
        }
        table->peers[0].free = n % 2;
        table->peers[0].station = "P&Q";
        table->peers[0].lat = "53.1";
        table->peers[0].lon = "9.1";
        table->windows[0].selected = n % 100;
    };
    change(0);
    std::atomic<bool> stop{false};
    std::thread ui([&] {
        for (int n = 1; !stop; ++n) change(n);
    });
    constexpr int kClients = 8, kRequests = 10;
    std::vector<std::thread> clients;
    std::vector<std::vector<testing::HttpReply>> replies(kClients);
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            const std::string& base = c % 2 ? cockpit : aircraft;
            for (int i = 0; i < kRequests; ++i)
                replies[static_cast<std::size_t>(c)].push_back(HttpGet(base + "/", 5000));
        });
    }
    for (auto& t : clients) t.join();
    stop = true;
    ui.join();
    std::vector<std::string> samples;
    for (int c = 0; c < kClients; ++c) {
        for (const auto& r : replies[static_cast<std::size_t>(c)]) {
            ASSERT_EQ(r.status, 200);
            ASSERT_TRUE(r.body.ends_with("</kml>")) << r.body.substr(0, 200);
        }
        samples.push_back(replies[static_cast<std::size_t>(c)].back().body);
    }
    if (!testing::XmllintAvailable()) GTEST_SKIP() << "xmllint is missing (libxml2-utils)";
    for (const std::string& body : samples) EXPECT_TRUE(testing::WellFormedXml(body));
}

TEST(KmlServer, OnlyTheChosenServersRunAndABusyPortIsReported) {
    auto table = NewTable();
    std::mutex m;
    KmlServer a(*table, m), b(*table, m);
    KmlServerSettings s;
    s.address = "127.0.0.1";
    s.aircraftport = 0;
    s.cockpitport = 0;
    s.cockpit = false;
    EXPECT_FALSE(a.Start(s).aircraft);
    EXPECT_TRUE(a.aircraftRunning());
    EXPECT_FALSE(a.cockpitRunning());
    EXPECT_EQ(a.cockpitPort(), 0);
    s.aircraftport = a.aircraftPort();
    s.cockpit = true;
    const KmlServerFailures failed = b.Start(s);
    EXPECT_TRUE(failed.aircraft);
    EXPECT_FALSE(failed.cockpit);
    EXPECT_FALSE(b.aircraftRunning());
    EXPECT_TRUE(b.cockpitRunning());
    EXPECT_EQ(HttpGet("http://127.0.0.1:" + std::to_string(b.cockpitPort()) + "/").status, 200);
    a.Stop();
    b.Stop();
    EXPECT_FALSE(a.aircraftRunning() || b.cockpitRunning());
    EXPECT_EQ(a.aircraftPort(), 0);
}

}  // namespace
}  // namespace aerova
