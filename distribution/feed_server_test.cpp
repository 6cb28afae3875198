#include "distribution/feed_server.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/strings.h"
#include "distribution/qt_test_support.h"
#include "distribution/tcp_test_client.h"
#include "distribution/test_flights.h"

namespace aerova {
namespace {

using testing::NewTable;
using testing::PlaceTarget;
using testing::PumpFor;
using testing::PumpUntil;
using testing::TcpTestClient;

FeedContext Context() {
    FeedContext c;
    c.session = std::string(1, '7');
    c.utcnow = EncodeDateTime(2024, 6, 1, 12, 0, 0, 0);
    return c;
}

FeedSettings Loopback(qint64 maxbacklog = 1 << 20) {
    FeedSettings s;
    s.address = QHostAddress::LocalHost;
    s.port = 0;
    s.maxbacklog = maxbacklog;
    return s;
}

// Reads until `done` holds for what arrived, at most `timeoutms`.
std::string ReadUntil(TcpTestClient& client, const std::function<bool(const std::string&)>& done,
                      int timeoutms = 3000) {
    std::string out;
    PumpUntil(
        [&] {
            out += client.ReadAvailable(10);
            return done(out);
        },
        timeoutms);
    return out;
}

std::string ReadUntilContains(TcpTestClient& client, std::string_view needle) {
    return ReadUntil(client, [&](const std::string& s) { return s.find(needle) != s.npos; });
}

// What arrives within `ms`, for checks that nothing does.
std::string ReadFor(TcpTestClient& client, int ms) {
    std::string out;
    for (int i = 0; i < ms / 20; ++i) {
        PumpFor(10);
        out += client.ReadAvailable(10);
    }
    return out;
}

class FeedServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Open(Loopback()));
        port = server.serverPort();
    }
    QCoreApplication& app = testing::QtApp();  // before any socket object
    FeedServer server;
    int port = 0;
    std::unique_ptr<FlightTable> table = NewTable();
};

TEST_F(FeedServerTest, ClientReadsTheTicksLines) {
    TcpTestClient client(port);
    ASSERT_TRUE(client.connected());
    ASSERT_TRUE(PumpUntil([&] { return server.hasClient(); }));
    Tflight& f = PlaceTarget(*table, 4, "40621D");
    f.announceair = true;
    EXPECT_EQ(server.SendFeed(*table, Context()).targets, 1);
    const std::string text = ReadUntil(client, [](const std::string& s) {
        return s.find("MSG,3,") != s.npos && s.back() == '\n';
    });
    EXPECT_EQ(text,
              "AIR,,7,4,40621D,4,2024/06/01,12:00:00,2024/06/01,12:00:00\r\n"
              "MSG,3,4,7,40621D,4,2024/06/01,12:00:00,2024/06/01,12:00:00,,,,,,,,,,,,\r\n");
    // Nothing new next tick: nothing sent.
    EXPECT_EQ(server.SendFeed(*table, Context()).targets, 0);
    EXPECT_EQ(ReadFor(client, 100), "");
}

TEST_F(FeedServerTest, WithoutClientNothingIsClearedSoTrailsKeepRecording) {
    PlaceTarget(*table, 0, "40621D");
    EXPECT_FALSE(server.hasClient());
    EXPECT_EQ(server.SendFeed(*table, Context()).targets, 0);
    EXPECT_TRUE(table->flights[0].fresh);
}

TEST_F(FeedServerTest, LastClientTakesOverAndAnyDisconnectEndsTheFeed) {
    TcpTestClient first(port);
    ASSERT_TRUE(PumpUntil([&] { return server.hasClient(); }));
    TcpTestClient second(port);
    ASSERT_TRUE(PumpUntil([&] { return server.connections() == 2; }));
    PlaceTarget(*table, 1, "ABCDEF");
    EXPECT_EQ(server.SendFeed(*table, Context()).targets, 1);
    std::string got2 = ReadUntilContains(second, "MSG,3,1,7,ABCDEF,1,");
    EXPECT_NE(got2.find("MSG,3,1,7,ABCDEF,1,"), std::string::npos);
    EXPECT_EQ(first.ReadAvailable(0), "");  // both were written by the same tick
    EXPECT_FALSE(first.closedbypeer());     // still connected, merely no longer fed

    // The superseded client leaves: nobody is fed until the next connection.
    first.Close();
    ASSERT_TRUE(PumpUntil([&] { return !server.hasClient(); }));
    PlaceTarget(*table, 2, "ABCDE0");
    EXPECT_EQ(server.SendFeed(*table, Context()).targets, 0);
    EXPECT_EQ(ReadFor(second, 100), "");

    TcpTestClient third(port);
    ASSERT_TRUE(PumpUntil([&] { return server.hasClient(); }));
    EXPECT_EQ(server.SendFeed(*table, Context()).targets, 1);
    EXPECT_NE(ReadUntilContains(third, "MSG,3,2,7,ABCDE0,2,").find("MSG,3,2,7,ABCDE0,2,"),
              std::string::npos);
}

TEST_F(FeedServerTest, ClientThatStopsReadingIsDroppedWithoutStallingTheTick) {
    server.Close();
    ASSERT_TRUE(server.Open(Loopback(256 * 1024)));
    port = server.serverPort();
    TcpTestClient lazy(port, 4096);
    ASSERT_TRUE(PumpUntil([&] { return server.hasClient(); }));
    for (int i = 0; i < kMaxFlights; ++i)
        PlaceTarget(*table, i, Concat({"C", std::to_string(10000 + i)}));

    // The client never reads. A write that waited for it would hang here (and the test run
    // would time out); instead the unsent bytes pile up until the client is dropped.
    bool dropped = false;
    for (int tick = 0; tick < 40 && !dropped; ++tick) {
        for (auto& f : table->flights) f.fresh = true;
        dropped = server.SendFeed(*table, Context()).failed;
        PumpFor(5);
    }
    EXPECT_TRUE(dropped);
    EXPECT_FALSE(server.hasClient());
    // The client sees its connection reset once it reads again.
    EXPECT_TRUE(PumpUntil([&] {
        lazy.ReadAvailable(20);
        return lazy.closedbypeer();
    }));
}

TEST_F(FeedServerTest, ReopeningOnAnotherPortMovesTheListener) {
    const quint16 old = server.serverPort();
    FeedSettings s = Loopback();
    EXPECT_TRUE(server.Open(s));  // same settings: stays open where it is
    EXPECT_EQ(server.serverPort(), old);
    server.Close();
    EXPECT_FALSE(server.isListening());
    EXPECT_TRUE(server.Open(s));
    EXPECT_TRUE(server.isListening());
}

}  // namespace
}  // namespace aerova
