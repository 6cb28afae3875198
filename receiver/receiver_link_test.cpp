#include "receiver/receiver_link.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QUdpSocket>

#include "core/report_codec.h"
#include "receiver/serial_ports.h"
#include "receiver/test_decoder.h"
#include "receiver/test_frames.h"
#include "receiver/test_pty_pair.h"

namespace aerova {
namespace {

using testing::AllCall;
using testing::Df17;
using testing::FakeDecoder;
using testing::StarText;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "aerova_receiver_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until `done` or the time is up.
template <typename Pred>
bool SpinUntil(Pred done, int ms = 3000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ::usleep(1000);
    }
    return true;
}

// A port offset that keeps 7933 + offset and 7979 + offset free of a live station and of
// parallel test runs.
int TestPortOffset() {
    return 30000 + static_cast<int>(::getpid() % 20000);
}

class ReceiverLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        options.portOffset = TestPortOffset();
        options.listenOnLoopbackOnly = true;
        options.utcNow = [this] { return now; };
        options.waitMs = 20;
        options.pollIntervalMs = 3600 * 1000;  // the tests poll by hand
        options.stationDir = ::testing::TempDir();
    }

    // Reports arriving at the listener port.
    void ListenForReports() {
        ASSERT_TRUE(listener.bind(QHostAddress(QHostAddress::LocalHost),
                                  static_cast<quint16>(7979 + options.portOffset)));
    }
    std::vector<std::string> ReceiveReports(std::size_t expected) {
        std::vector<std::string> got;
        SpinUntil([&] {
            while (listener.hasPendingDatagrams()) {
                QByteArray d(static_cast<int>(listener.pendingDatagramSize()), '\0');
                listener.readDatagram(d.data(), d.size());
                got.emplace_back(d.constData(), static_cast<std::size_t>(d.size()));
            }
            return got.size() >= expected;
        });
        return got;
    }

    DayTime now = 46143.5;
    ReceiverSettings settings;
    FakeDecoder decoder;
    ReceiverLink::Options options;
    QUdpSocket listener;
};

TEST_F(ReceiverLinkTest, UdpFramesBecomeReportsOnTheListenerPort) {
    ListenForReports();
    ReceiverLink link(options, settings, &decoder);
    ASSERT_TRUE(link.Start());
    EXPECT_EQ(link.udpPort(), 7933 + options.portOffset);
    EXPECT_EQ(link.listenerPort(), 7979 + options.portOffset);
    EXPECT_DOUBLE_EQ(decoder.homeLat, 52.52);
    EXPECT_DOUBLE_EQ(decoder.homeLon, 1.16);

    QUdpSocket sender;
    const std::string ident = StarText(Df17(0x4CA2D4, {0x20, 0x15, 0xA6, 0x78, 0xD4, 0xD2, 0x20}));
    std::string damaged = ident;
    damaged[12] = damaged[12] == '5' ? '6' : '5';
    for (const std::string& d : {ident, ident + "\r\n", damaged}) {
        sender.writeDatagram(d.data(), static_cast<qint64>(d.size()), QHostAddress::LocalHost,
                             link.udpPort());
    }
    ASSERT_TRUE(SpinUntil([&] {
        return link.engine().input().framesQueued == 1 && link.engine().input().parityRejects == 1;
    }));
    EXPECT_EQ(link.adsbtimerTimer(), 1);
    const auto reports = ReceiveReports(1);
    ASSERT_EQ(reports.size(), 1u);
    const auto report = ParseMainReport(reports[0]);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->kind, 5);
    EXPECT_EQ(report->address, "4CA2D4");
    ASSERT_TRUE(report->ident.present);
    EXPECT_EQ(ParseIdentBlock(report->ident.content).callsign, "TEST1234");
    EXPECT_FALSE(link.engine().input().indicator.on);  // the poll turned it off
}

TEST_F(ReceiverLinkTest, NosrvKeepsUdpClosed) {
    options.nosrv = true;
    ReceiverLink link(options, settings, &decoder);
    EXPECT_TRUE(link.Start());
    EXPECT_EQ(link.udpPort(), 0);
}

TEST_F(ReceiverLinkTest, RawLogSwitches) {
    ReceiverLink link(options, settings, &decoder);
    link.cbrawlogClick(true);
    ASSERT_TRUE(link.engine().rawLog().active());
    const std::string first = link.engine().rawLog().path();
    now += 2.0 / 86400.0;
    link.cbtcasClick(true);  // a new file while "Raw log" is ticked
    EXPECT_NE(link.engine().rawLog().path(), first);
    EXPECT_TRUE(link.engine().input().options.tcas);
    link.cbrawlogClick(false);
    EXPECT_FALSE(link.engine().rawLog().active());
    std::remove(first.c_str());
    std::remove(link.engine().rawLog().path().c_str());
}

TEST_F(ReceiverLinkTest, SerialTextFramesThroughAPseudoTerminal) {
    testing::PtyPair pty;
    if (!pty.ok()) GTEST_SKIP() << "socat pseudo-terminals not available";
    ReceiverLink link(options, settings, &decoder);
    link.Start();
    bool reportedOpen = false;
    link.onPortState = [&](bool open) { reportedOpen = open; };
    link.OpenPort(pty.linkEnd(), 921600, false);
    ASSERT_TRUE(SpinUntil([&] { return link.portOpen(); }));
    EXPECT_TRUE(reportedOpen);
    EXPECT_EQ(link.lastPort(), pty.linkEnd());

    const std::string ident = StarText(Df17(0x4CA2D4, {0x20, 0x15, 0xA6, 0x78, 0xD4, 0xD2, 0x20}));
    const std::string allcall = StarText(AllCall(0x3C6586, 1));
    // Frame texts in pieces, with line ends and noise between them, as a receiver sends.
    pty.Write("noise" + ident.substr(0, 10));
    pty.Write(ident.substr(10) + "\r\n" + allcall + "\r\n@0123456789AB" + allcall.substr(1) +
              "\r\n");
    ASSERT_TRUE(SpinUntil([&] { return link.engine().input().framesQueued == 3; }));
    EXPECT_EQ(link.adsbtimerTimer(), 2);
    EXPECT_EQ(link.engine().table().FindTarget(0x4CA2D4), 1);
    EXPECT_EQ(link.engine().table().FindTarget(0x3C6586), 2);
    EXPECT_EQ(pty.Read(), "");  // nothing is sent to a text-mode receiver

    link.ClosePort();
    EXPECT_FALSE(link.portOpen());
    EXPECT_FALSE(reportedOpen);
}

TEST_F(ReceiverLinkTest, UnpluggedReceiverClosesThePort) {
    ReceiverLink link(options, settings, &decoder);
    link.Start();
    bool reportedOpen = false, lost = false;
    link.onPortState = [&](bool open) { reportedOpen = open; };
    link.onReceiverLost = [&] { lost = true; };
    {
        testing::PtyPair pty;
        if (!pty.ok()) GTEST_SKIP() << "socat pseudo-terminals not available";
        link.OpenPort(pty.linkEnd(), 115200, false);
        ASSERT_TRUE(SpinUntil([&] { return link.portOpen(); }));
    }  // socat ends: the device goes away under the open port
    EXPECT_TRUE(SpinUntil([&] { return !link.portOpen(); }));
    EXPECT_TRUE(lost);
    EXPECT_FALSE(reportedOpen);
}

TEST_F(ReceiverLinkTest, SerialPlaneGadgetThroughAPseudoTerminal) {
    testing::PtyPair pty;
    if (!pty.ok()) GTEST_SKIP() << "socat pseudo-terminals not available";
    ReceiverLink link(options, settings, &decoder);
    link.Start();
    link.OpenPort(pty.linkEnd(), 3000000, true);
    ASSERT_TRUE(SpinUntil([&] { return link.portOpen(); }));
    std::string command;
    ASSERT_TRUE(SpinUntil([&] {
        command += pty.Read();
        return command.size() >= 2;
    }));
    EXPECT_EQ(command, "G+");

    const auto frame = Df17(0x4CA2D4, {0x20, 0x15, 0xA6, 0x78, 0xD4, 0xD2, 0x20});
    std::string packet = "\xFF";
    for (auto b : frame) packet += static_cast<char>(b);
    pty.Write(StarText(frame) + "\r\n");  // text frames are ignored in PlaneGadget mode
    pty.Write(packet.substr(0, 6));
    pty.Write(packet.substr(6));
    ASSERT_TRUE(SpinUntil([&] { return link.engine().input().framesQueued == 1; }));
    SpinUntil([] { return false; }, 100);  // nothing more arrives
    EXPECT_EQ(link.engine().input().framesQueued, 1u);
    EXPECT_EQ(link.adsbtimerTimer(), 1);
}

TEST(SerialPortsTest, ScanListsOpenableDevicesInNaturalOrder) {
    App();
    const auto ports = ScanComPorts();
    for (const auto& p : ports) EXPECT_EQ(access(("/dev/" + p).c_str(), F_OK), 0) << p;
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), PortNameLess));
    EXPECT_TRUE(PortNameLess("ttyS2", "ttyS10"));
    EXPECT_FALSE(PortNameLess("ttyS10", "ttyS2"));
    EXPECT_TRUE(PortNameLess("ttyACM0", "ttyS0"));
    EXPECT_EQ(SelectPortIndex({"ttyS0", "ttyUSB0", "ttyUSB1"}, "ttyUSB0"), 1);
    EXPECT_EQ(SelectPortIndex({"ttyS0", "ttyUSB0", "ttyUSB1"}, "COM1"), 2);
    EXPECT_EQ(SelectPortIndex({}, "COM1"), -1);
}

}  // namespace
}  // namespace aerova
