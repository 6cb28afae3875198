#include "distribution/data_poller.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <thread>

#include "distribution/data_server.h"
#include "distribution/qt_test_support.h"
#include "distribution/test_flights.h"
#include "distribution/udp_test_receiver.h"

namespace aerova {
namespace {

using testing::PumpUntil;

TEST(PollRequestUrl, KeysInOrderWithFixedDecimals) {
    PollSet set;
    set.url = "10.0.0.5";
    set.port = "7989";
    set.pwd = "secret";
    EXPECT_EQ(PollRequestUrl(set, {53.5678, 9.991, 6372.5 + 1234.56}),
              "http://10.0.0.5:7989/req=secret?lat=53.57&lon=9.99&alt=1234.6");
    set.nopos = true;
    set.serial = "1234";
    EXPECT_EQ(
        PollRequestUrl(set, {-1.0, -120.256, 6500}),
        "http://10.0.0.5:7989/req=secret?nopos=1&serial=1234&lat=-1.00&lon=-120.26&alt=127.5");
}

TEST(PollIntervalSeconds, OfferedChoices) {
    EXPECT_EQ(PollIntervalSeconds(2), 2);
    EXPECT_EQ(PollIntervalSeconds(6), 7);
    EXPECT_EQ(PollIntervalSeconds(0), 1);
    EXPECT_EQ(PollIntervalSeconds(500), 60);
}

TEST(WrapReplyLines, EachLineBecomesADataServerDatagram) {
    EXPECT_TRUE(WrapReplyLines("nosend").empty());
    const auto d = WrapReplyLines("A:B\n\nC:D\r\n");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0],
              "\xFA\xCE"
              "A:B&");
    EXPECT_EQ(d[1],
              "\xFA\xCE"
              "C:D&");
    EXPECT_TRUE(WrapReplyLines(std::string(508, 'x')).empty());
    EXPECT_EQ(WrapReplyLines(std::string(507, 'x')).size(), 1u);
    EXPECT_TRUE(WrapReplyLines(std::string("a\0b", 3)).empty());
}

TEST(DataPoller, PollsARealServerAndRelaysTheLines) {
    testing::QtApp();
    auto table = testing::NewTable();
    std::mutex m;
    UdpDatagramSender sender;
    Tflight& f = testing::PlaceTarget(*table, 0, "3C6586");
    f.flightid = "DLH4AB";
    f.lat = "53.6";
    f.lon = "10.0";
    f.latf = 53.6f;
    f.lonf = 10.0f;
    testing::PlaceTarget(*table, 1, "4B1234").nopos = true;
    DataServer server(*table, m, sender);
    DataServerSettings s;
    s.address = "127.0.0.1";
    s.port = 0;
    s.options = {1, true, "pw"};
    ASSERT_TRUE(server.Start(s));

    testing::UdpTestReceiver listener;
    PollSettings ps;
    ps.activeset = 1;
    ps.sets[1].port = std::to_string(server.port());
    ps.sets[1].pwd = "pw";
    ps.sets[1].interval = 1;
    ps.listenerport = listener.port();
    DataPoller poller(sender, [] {
        return std::optional<PollView>(PollView{53.5, 10.0, 6372.5 + 50});
    });
    poller.SetSettings(ps);
    poller.Start();
    ASSERT_TRUE(PumpUntil([&] { return poller.datagrams() == 1; }, 4000));
    EXPECT_EQ(listener.Receive(500),
              "\xFA\xCE"
              "DLH4AB:::3C6586:53.6:10.0:::::::&");
    // Nothing new at the next poll: "nosend" sends nothing.
    // The third request goes out only once the second one's answer was handled.
    ASSERT_TRUE(PumpUntil([&] { return poller.requests() >= 3; }, 4000));
    EXPECT_EQ(poller.datagrams(), 1);

    // Without the area option the client only keeps its timer running.
    ps.sets[1].area = false;
    poller.SetSettings(ps);
    const int before = poller.requests(), ticks = poller.ticks();
    ASSERT_TRUE(PumpUntil([&] { return poller.ticks() >= ticks + 2; }, 4000));
    EXPECT_EQ(poller.requests(), before);
    EXPECT_TRUE(poller.active());
    poller.Stop();
}

// An answer past 1 MiB is not a station's flight list: it is dropped, not relayed line by
// line, and the client keeps polling.
TEST(DataPoller, AnOversizedAnswerIsDroppedWhole) {
    testing::QtApp();
    httplib::Server big;
    big.Get(R"(/req=.*)", [](const httplib::Request&, httplib::Response& res) {
        std::string body;
        while (body.size() <= static_cast<std::size_t>(2 * kMaxPollReplyBytes))
            body += "DLH4AB:::3C6586:53.6:10.0:::::::\n";
        res.set_content(body, "text/plain");
    });
    const int port = big.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { big.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!big.is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    UdpDatagramSender sender;
    testing::UdpTestReceiver listener;
    PollSettings ps;
    ps.activeset = 1;
    ps.sets[1].port = std::to_string(port);
    ps.sets[1].interval = 1;
    ps.listenerport = listener.port();
    DataPoller poller(sender, [] { return std::optional<PollView>(PollView{53.5, 10.0, 6400}); });
    poller.SetSettings(ps);
    poller.Start();
    // The second request leaves only once the first answer was handled.
    EXPECT_TRUE(PumpUntil([&] { return poller.requests() >= 2; }, 8000));
    EXPECT_EQ(poller.datagrams(), 0);
    poller.Stop();
    big.stop();
    serving.join();
}

}  // namespace
}  // namespace aerova
