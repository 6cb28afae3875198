#include "receiver/net_input.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

namespace aerova {
namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "aerova_receiver_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

template <typename Pred>
bool SpinUntil(Pred done, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// --- sources and back-off -------------------------------------------------------------

struct SourceCase {
    const char* text;
    bool ok;
    const char* host;
    int port;
    NetProtocol protocol;
};

class ParseSourceCases : public ::testing::TestWithParam<SourceCase> {};

TEST_P(ParseSourceCases, Parsed) {
    const SourceCase& c = GetParam();
    std::string error;
    const auto source = ParseNetInputSource(c.text, error);
    ASSERT_EQ(source.has_value(), c.ok) << c.text << ": " << error;
    if (!c.ok) {
        EXPECT_NE(error.find(c.text), std::string::npos) << error;
        return;
    }
    EXPECT_EQ(source->host, c.host);
    EXPECT_EQ(source->port, c.port);
    EXPECT_EQ(source->protocol, c.protocol);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseSourceCases,
    ::testing::Values(SourceCase{"127.0.0.1:30002", true, "127.0.0.1", 30002, NetProtocol::kRaw},
                      SourceCase{"piaware.local:30005,beast", true, "piaware.local", 30005,
                                 NetProtocol::kBeast},
                      SourceCase{"host:30002,RAW", true, "host", 30002, NetProtocol::kRaw},
                      SourceCase{"[::1]:30005,beast", true, "::1", 30005, NetProtocol::kBeast},
                      SourceCase{"host", false, "", 0, NetProtocol::kRaw},
                      SourceCase{"host:", false, "", 0, NetProtocol::kRaw},
                      SourceCase{":30002", false, "", 0, NetProtocol::kRaw},
                      SourceCase{"host:0", false, "", 0, NetProtocol::kRaw},
                      SourceCase{"host:65536", false, "", 0, NetProtocol::kRaw},
                      SourceCase{"host:+80", false, "", 0, NetProtocol::kRaw},
                      SourceCase{"host:30005,sbs", false, "", 0, NetProtocol::kRaw},
                      SourceCase{"ho st:30002", false, "", 0, NetProtocol::kRaw},
                      SourceCase{"[::1:30005", false, "", 0, NetProtocol::kRaw}));

TEST(NetInputSettings, EntriesOutsideTheirRangesAreLeftOut) {
    NetInputSettings s;
    s.count = 4;
    s.entries[0] = {"adsb-pi", 30005, "beast"};
    s.entries[1] = {"", 30002, "raw"};
    s.entries[2] = {"host", 70000, "raw"};
    s.entries[3] = {"10.0.0.2", 30002, "sbs"};
    s.entries[4] = {"never-read", 30002, "raw"};  // beyond the count
    std::vector<std::string> problems;
    const auto sources = SourcesOf(s, problems);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0], (NetInputSource{"adsb-pi", 30005, NetProtocol::kBeast}));
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[0].find("netinput/host2"), std::string::npos);
    EXPECT_NE(problems[1].find("netinput/port3 70000"), std::string::npos);
    EXPECT_NE(problems[2].find("netinput/protocol4"), std::string::npos);

    s.count = 9;
    problems.clear();
    EXPECT_TRUE(SourcesOf(s, problems).empty());
    EXPECT_EQ(problems.size(), 1u);
}

TEST(ReconnectBackoff, DoublesToThirtySecondsAndStartsOver) {
    ReconnectBackoff backoff;
    std::vector<int> delays;
    for (int i = 0; i < 8; ++i) delays.push_back(backoff.NextDelayMs());
    EXPECT_EQ(delays, (std::vector<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
    backoff.Reset();
    EXPECT_EQ(backoff.NextDelayMs(), 1000);
}

// --- against a loopback server ----------------------------------------------------------

constexpr char kShortText[] = "*5F4001594B0FBB;";
constexpr char kLongText[] = "*8F400159E1181500000000D94095;";
// The same two frames as Beast binary, the long one with a 0x1A pair in its timestamp.
const std::string kBeastShort("\x1A\x32\x00\x01\x02\x03\x04\x05\xC8\x5F\x40\x01\x59\x4B\x0F\xBB",
                              16);
const std::string kBeastLong(
    "\x1A\x33\x00\x1A\x1A\x02\x03\x04\x05\xC8\x8F\x40\x01\x59\xE1\x18\x15\x00\x00\x00\x00\xD9"
    "\x40\x95",
    24);

class NetInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) peers.push_back(s);
        });
        options.backoffBaseMs = 20;
        options.backoffMaxMs = 160;
        options.connectTimeoutMs = 2000;
        // The main cycle stand-in: it must keep ticking whatever the input goes through.
        QObject::connect(&tick, &QTimer::timeout, [this] {
            const qint64 now = clock.elapsed();
            longestGapMs = std::max(longestGapMs, now - lastTickMs);
            lastTickMs = now;
        });
        clock.start();
        tick.start(10);
    }

    std::unique_ptr<NetInput> MakeInput(NetProtocol protocol, int port = 0) {
        NetInputSource source{"127.0.0.1", port ? port : server.serverPort(), protocol};
        return std::make_unique<NetInput>(
            source, [this](std::string_view t) { frames.emplace_back(t); },
            [this](const std::string& line) { log.push_back(line); }, options);
    }

    void Send(const std::string& bytes) {
        ASSERT_FALSE(peers.empty());
        peers.back()->write(bytes.data(), static_cast<qint64>(bytes.size()));
        peers.back()->flush();
    }

    QTcpServer server;
    std::vector<QTcpSocket*> peers;  // owned by the server
    NetInputOptions options;
    std::vector<std::string> frames;
    std::vector<std::string> log;
    QTimer tick;
    QElapsedTimer clock;
    qint64 lastTickMs = 0;
    qint64 longestGapMs = 0;
};

TEST_F(NetInputTest, BeastFramesSplitAcrossReadsArriveWhole) {
    auto input = MakeInput(NetProtocol::kBeast);
    input->Start();
    ASSERT_TRUE(SpinUntil([&] { return input->connected() && !peers.empty(); }));
    const std::string stream = kBeastShort + kBeastLong + kBeastShort;
    // Cut inside the escaped pair and inside a frame body, with event-loop turns between.
    for (const auto& [from, to] :
         {std::pair<std::size_t, std::size_t>{0, 19}, {19, 20}, {20, 45}, {45, stream.size()}}) {
        Send(stream.substr(from, to - from));
        SpinUntil([] { return false; }, 20);
    }
    ASSERT_TRUE(SpinUntil([&] { return frames.size() == 3; }));
    EXPECT_EQ(frames, (std::vector<std::string>{kShortText, kLongText, kShortText}));
    EXPECT_EQ(input->counters().frames, 3u);
    EXPECT_EQ(input->counters().bytes, stream.size());
    EXPECT_EQ(input->counters().connects, 1u);
    EXPECT_EQ(input->counters().failures, 0u);
    EXPECT_TRUE(log.empty());
}

TEST_F(NetInputTest, RefusedSourceIsRetriedWithGrowingWaits) {
    // A port nothing listens on: bound and closed again.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const int port = closed.serverPort();
    closed.close();
    auto input = MakeInput(NetProtocol::kRaw, port);
    const qint64 started = clock.elapsed();
    input->Start();
    ASSERT_TRUE(SpinUntil([&] { return input->counters().failures >= 5; }));
    // 20 + 40 + 80 + 160 ms of waiting lie between the first and the fifth attempt (less the
    // 5 % a coarse timer may fire early).
    EXPECT_GE(clock.elapsed() - started, 285);
    ASSERT_GE(log.size(), 5u);
    EXPECT_NE(log[0].find("Network receiver input 127.0.0.1:" + std::to_string(port) +
                          " (raw): cannot connect: "),
              std::string::npos)
        << log[0];
    EXPECT_NE(log[0].find("next try in 20 ms"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("next try in 40 ms"), std::string::npos) << log[1];
    EXPECT_NE(log[4].find("next try in 160 ms"), std::string::npos) << log[4];
    EXPECT_EQ(input->counters().connects, 0u);
    EXPECT_LT(longestGapMs, 500);
}

TEST_F(NetInputTest, SourceClosingMidFrameIsReconnectedAndTheHalfFrameDropped) {
    auto input = MakeInput(NetProtocol::kRaw);
    input->Start();
    ASSERT_TRUE(SpinUntil([&] { return input->connected() && peers.size() == 1; }));
    Send(std::string(kShortText) + "\n*8F400159E118");
    peers.back()->disconnectFromHost();
    ASSERT_TRUE(SpinUntil([&] { return peers.size() == 2 && input->connected(); }));
    Send(std::string(kLongText) + "\n");
    ASSERT_TRUE(SpinUntil([&] { return frames.size() == 2; }));
    EXPECT_EQ(frames, (std::vector<std::string>{kShortText, kLongText}));
    ASSERT_EQ(log.size(), 1u);
    // The lost connection had delivered a frame: the back-off started over.
    EXPECT_NE(log[0].find("(raw): connection lost: "), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("next try in 20 ms"), std::string::npos) << log[0];
    EXPECT_EQ(input->counters().connects, 2u);
    EXPECT_LT(longestGapMs, 500);
}

TEST_F(NetInputTest, StalledSourceIsDroppedAndReconnected) {
    options.stallTimeoutMs = 100;
    auto input = MakeInput(NetProtocol::kBeast);
    input->Start();
    // Two silent connections in a row: the second wait is twice the first.
    ASSERT_TRUE(SpinUntil([&] { return input->counters().connects >= 3; }));
    ASSERT_GE(log.size(), 2u);
    EXPECT_NE(log[0].find("connection lost: nothing received for 100 ms; next try in 20 ms"),
              std::string::npos)
        << log[0];
    EXPECT_NE(log[1].find("next try in 40 ms"), std::string::npos) << log[1];
    EXPECT_LT(longestGapMs, 500);
    input->Stop();
    const std::size_t lines = log.size();
    SpinUntil([] { return false; }, 300);
    EXPECT_EQ(log.size(), lines);  // stopped means no more attempts
}

TEST_F(NetInputTest, BurstWhileRestingArrivesWholeAndInOrder) {
    auto input = MakeInput(NetProtocol::kBeast);
    input->Start();
    ASSERT_TRUE(SpinUntil([&] { return input->connected() && !peers.empty(); }));
    // A first frame starts the input's rest; the burst, several of its read chunks and more
    // than a default socket buffer, comes during it and waits in the socket.
    Send(kBeastShort);
    ASSERT_TRUE(SpinUntil([&] { return frames.size() == 1; }));
    constexpr std::size_t kPairs = 20000;
    std::string burst;
    burst.reserve(kPairs * (kBeastShort.size() + kBeastLong.size()));
    for (std::size_t i = 0; i < kPairs; ++i) burst += kBeastLong + kBeastShort;
    Send(burst);
    ASSERT_TRUE(SpinUntil([&] { return frames.size() == 1 + 2 * kPairs; }, 10000)) << frames.size();
    for (std::size_t i = 1; i < frames.size(); i += 2) {
        ASSERT_EQ(frames[i], kLongText) << i;
        ASSERT_EQ(frames[i + 1], kShortText) << i;
    }
    EXPECT_EQ(input->counters().bytes, kBeastShort.size() + burst.size());
    EXPECT_EQ(input->counters().failures, 0u);
    EXPECT_TRUE(log.empty());
    EXPECT_LT(longestGapMs, 500);
}

TEST_F(NetInputTest, DataPutsOffTheStallCheckUntilTheSourceFallsSilent) {
    options.stallTimeoutMs = 150;
    auto input = MakeInput(NetProtocol::kRaw);
    input->Start();
    ASSERT_TRUE(SpinUntil([&] { return input->connected() && !peers.empty(); }));
    // A frame every 40 ms for three stall periods: the connection is kept.
    qint64 lastSent = 0;
    for (int i = 0; i < 12; ++i) {
        lastSent = clock.elapsed();
        Send(std::string(kShortText) + "\n");
        SpinUntil([] { return false; }, 40);
    }
    ASSERT_TRUE(SpinUntil([&] { return frames.size() == 12; }));
    EXPECT_EQ(input->counters().failures, 0u);
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(SpinUntil([&] { return input->counters().failures == 1; }));
    // The stall counts from the read of the last frame, which is no earlier than its sending.
    EXPECT_GE(clock.elapsed() - lastSent, 150);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("connection lost: nothing received for 150 ms; next try in 20 ms"),
              std::string::npos)
        << log[0];
    EXPECT_EQ(input->counters().connects, 1u);
    ASSERT_TRUE(SpinUntil([&] { return input->counters().connects == 2; }));
}

TEST_F(NetInputTest, SetSourcesRestartsOnlyOnChange) {
    NetInputs inputs([this](std::string_view t) { frames.emplace_back(t); },
                     [this](const std::string& line) { log.push_back(line); }, options);
    const NetInputSource source{"127.0.0.1", server.serverPort(), NetProtocol::kRaw};
    inputs.SetSources({source});
    inputs.Start();
    ASSERT_TRUE(SpinUntil([&] { return peers.size() == 1 && inputs.inputs()[0]->connected(); }));
    inputs.SetSources({source});
    Send(std::string(kShortText) + "\n");
    ASSERT_TRUE(SpinUntil([&] { return frames.size() == 1; }));
    EXPECT_EQ(inputs.Total().connects, 1u);
    inputs.SetSources({source, {"127.0.0.1", server.serverPort(), NetProtocol::kBeast}});
    ASSERT_TRUE(SpinUntil([&] { return inputs.Total().connects == 2 && peers.size() == 3; }));
    inputs.Stop();
}

}  // namespace
}  // namespace aerova
