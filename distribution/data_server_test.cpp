#include "distribution/data_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "base/strings.h"
#include "distribution/http_test_client.h"
#include "distribution/tcp_test_client.h"
#include "distribution/test_flights.h"
#include "distribution/udp_test_receiver.h"

namespace aerova {
namespace {

using testing::HttpGet;
using testing::NewTable;
using testing::PlaceTarget;

class DataServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Tflight& a = PlaceTarget(*table, 3, "3C6586");
        a.flightid = "DLH4AB";
        a.lat = "50.1";
        a.lon = "10.2";
        a.latf = 50.1f;
        a.lonf = 10.2f;
        a.box = "0000";
        settings.address = "127.0.0.1";
        settings.port = 0;
        settings.listenerport = listener.port();
        settings.options = DataServerOptions{1, true, "pw"};
        settings.limits.requestTimeoutMs = 500;
        ASSERT_TRUE(server.Start(settings));
        base = "http://127.0.0.1:" + std::to_string(server.port());
    }
    std::unique_ptr<FlightTable> table = NewTable();
    std::mutex stationmutex;
    UdpDatagramSender sender;
    testing::UdpTestReceiver listener;
    DataServerSettings settings;
    DataServer server{*table, stationmutex, sender};
    std::string base;
};

TEST_F(DataServerTest, AnswersTheFlightListAsPlainText) {
    const auto r = HttpGet(base + "/req=pw?nopos=0");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.contenttype.rfind("text/plain", 0), 0u);
    EXPECT_EQ(r.body, "DLH4AB:::3C6586:50.1:10.2:::::::0000\n");
    // Updates only: the flight went to this client and is not repeated.
    EXPECT_EQ(HttpGet(base + "/req=pw").body, "nosend");
}

TEST_F(DataServerTest, PositionWithoutPasswordPathStillReachesTheListener) {
    const auto r =
        HttpGet(base + "/some/other/path?gpsid=car_unit_7&gpslat=53.55&gpslong=9.99&gpsalt=12");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "nosend");
    EXPECT_EQ(listener.Receive(1000),
              "\xFA\xCF"
              "CAR:UNIT:GPS:7:53.55:9.99:12:::0:::9990&");
    EXPECT_TRUE(table->flights[3].freshhttp1);
}

TEST_F(DataServerTest, OddRequestsAreAnsweredAndTheServerKeepsServing) {
    const std::string odd[] = {
        "/",
        "/req=",
        "/req=pw/../x",
        "/%00%ff?lat=&lon=",
        "/req=pw?lat=abc&lon=1&alt=x",
        "/req=pw?lat=1&lat=2&gpslat=1",
        "/req=pw?&&&==&",
        "/req=pw?" + std::string(6000, 'a'),
    };
    for (const std::string& path : odd) {
        const auto r = HttpGet(base + path);
        EXPECT_TRUE(r.ok) << path;
        EXPECT_EQ(r.status, 200) << path;
    }
    // Past the request-line limit the server refuses, and still answers the next client.
    const auto huge = HttpGet(base + "/req=pw?x=" + std::string(20000, 'b'));
    EXPECT_TRUE(huge.ok);
    EXPECT_NE(huge.status, 200);
    EXPECT_EQ(listener.Receive(50), std::nullopt);  // gpslat without gpslong: no datagram
    {
        std::scoped_lock lock(stationmutex);  // the server threads read the table under it
        table->flights[3].freshhttp1 = true;
    }
    EXPECT_EQ(HttpGet(base + "/req=pw").body.substr(0, 7), "DLH4AB:");
}

TEST_F(DataServerTest, SlowAndHalfOpenClientsDoNotBlockOthers) {
    std::vector<std::unique_ptr<testing::TcpTestClient>> idle;
    for (int i = 0; i < 12; ++i) {
        idle.push_back(std::make_unique<testing::TcpTestClient>(server.port()));
        idle.back()->Send("GET /req=pw HTTP/1.1\r\nHost: x\r\n");  // never finishes the head
    }
    const auto start = std::chrono::steady_clock::now();
    const auto r = HttpGet(base + "/req=pw", 5000);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body.substr(0, 7), "DLH4AB:");
    EXPECT_LT(waited, std::chrono::seconds(3));  // the stalled ones time out after 0.5 s
}

// Clients that trickle their request a byte at a time can't hold the serving threads: each
// request must arrive whole within the request time-out.
TEST_F(DataServerTest, TricklingClientsAreCutOffAndOthersAreServed) {
    server.Stop();
    settings.limits.threads = 2;
    ASSERT_TRUE(server.Start(settings));
    base = "http://127.0.0.1:" + std::to_string(server.port());
    std::atomic<bool> stop{false};
    std::vector<std::thread> tricklers;
    for (int i = 0; i < 4; ++i) {
        tricklers.emplace_back([&, port = server.port()] {
            testing::TcpTestClient client(port);
            const std::string head = "GET /req=pw HTTP/1.1\r\nHost: x\r\nX-Slow: ";
            for (std::size_t k = 0; !stop; ++k) {
                if (!client.Send(std::string(1, head[k % head.size()]))) return;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    }
    const auto taken = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (server.connections() < 2 && std::chrono::steady_clock::now() < taken)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(server.connections(), 2) << "the trickling clients hold both threads";
    const auto r = HttpGet(base + "/req=pw", 5000);
    stop = true;
    for (auto& t : tricklers) t.join();
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body.substr(0, 7), "DLH4AB:");
}

// Beyond the cap, a connection is closed at once instead of waiting behind the others;
// stopping drops the clients instead of waiting for them.
TEST_F(DataServerTest, ConnectionsAreCappedAndStoppingDropsTheClients) {
    server.Stop();
    settings.limits.maxConnections = 8;
    settings.limits.requestTimeoutMs = 60000;  // only the cap and the stop can free them
    ASSERT_TRUE(server.Start(settings));
    std::vector<std::unique_ptr<testing::TcpTestClient>> idle;
    for (int i = 0; i < 40; ++i)
        idle.push_back(std::make_unique<testing::TcpTestClient>(server.port()));
    // The refusals arrive as the server gets to them; a loaded machine takes its time.
    int refused = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (refused < 40 - 8 && std::chrono::steady_clock::now() < deadline) {
        refused = 0;
        for (auto& c : idle) {
            if (!c->closedbypeer()) c->ReadAvailable(5);
            refused += c->closedbypeer();
        }
    }
    EXPECT_GE(refused, 40 - 8);
    auto stopped = std::async(std::launch::async, [&] { server.Stop(); });
    EXPECT_EQ(stopped.wait_for(std::chrono::seconds(5)), std::future_status::ready)
        << "stopping waited for the idle clients";
    stopped.wait();
    EXPECT_FALSE(server.running());
}

TEST_F(DataServerTest, SecondServerKeepsItsOwnMark) {
    DataServer second(*table, stationmutex, sender);
    DataServerSettings s = settings;
    s.options.server = 2;
    ASSERT_TRUE(second.Start(s));
    const std::string base2 = "http://127.0.0.1:" + std::to_string(second.port());
    EXPECT_EQ(HttpGet(base + "/req=pw").body.substr(0, 7), "DLH4AB:");
    EXPECT_EQ(HttpGet(base2 + "/req=pw").body.substr(0, 7), "DLH4AB:");
    EXPECT_EQ(HttpGet(base2 + "/req=pw").body, "nosend");
    s.options.updatesonly = false;
    second.SetOptions(s.options);
    EXPECT_EQ(HttpGet(base2 + "/req=pw").body.substr(0, 7), "DLH4AB:");
}

// The UI thread changes the table under the station mutex while clients read it; the
// ThreadSanitizer build runs this to show that the servers take the lock.
TEST_F(DataServerTest, ConcurrentUpdatesAndRequests) {
    std::atomic<bool> stop{false};
    std::thread ui([&] {
        int n = 0;
        while (!stop) {
            std::scoped_lock lock(stationmutex);
            for (int i = 0; i < 200; ++i) {
                Tflight& f =
                    PlaceTarget(*table, i, Concat({"A", std::to_string(10000 + (n + i) % 90000)}));
                f.lat = std::to_string(n % 90);
                f.latf = static_cast<float>(n % 90);
            }
            ++n;
        }
    });
    int answered = 0;
    for (int i = 0; i < 40; ++i) {
        const auto r = HttpGet(base + "/req=pw?nopos=1");
        if (r.status == 200) ++answered;
    }
    stop = true;
    ui.join();
    EXPECT_EQ(answered, 40);
}

TEST(DataServer, BusyPortIsReported) {
    auto table = NewTable();
    std::mutex m;
    UdpDatagramSender sender;
    DataServer a(*table, m, sender), b(*table, m, sender);
    DataServerSettings s;
    s.address = "127.0.0.1";
    s.port = 0;
    ASSERT_TRUE(a.Start(s));
    s.port = a.port();
    EXPECT_FALSE(b.Start(s));
    a.Stop();
    EXPECT_FALSE(a.running());
}

// The start returns before the accept loop runs; a stop right after it still ends the
// server's thread (a stop unheard would leave Stop() joining for ever).
TEST(DataServer, StoppedRightAfterItsStart) {
    auto table = NewTable();
    std::mutex m;
    UdpDatagramSender sender;
    DataServer server(*table, m, sender);
    DataServerSettings s;
    s.address = "127.0.0.1";
    s.port = 0;
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(server.Start(s));
        server.Stop();
        EXPECT_FALSE(server.running());
    }
}

}  // namespace
}  // namespace aerova
