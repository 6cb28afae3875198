#include "distribution/station_network.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/files.h"
#include "base/strings.h"
#include "core/aircraft_xml.h"
#include "distribution/test_flights.h"
#include "distribution/udp_test_receiver.h"

namespace aerova {
namespace {

using testing::NewTable;
using testing::UdpTestReceiver;

const DayTime kLocal = EncodeDateTime(2024, 6, 1, 12, 34, 56, 0);

struct RecordingSound : SoundPlayer {
    std::vector<std::string> played;
    void PlayAsync(std::string_view file) override { played.emplace_back(file); }
};

// Real UDP on loopback: the peer's datagram is sent from its own socket and the sender's
// address and port are read off the received datagram, as the report listener does.
struct Received {
    std::string datagram;
    int port = 0;
};
Received Relay(UdpTestReceiver& from, UdpTestReceiver& to, const std::string& datagram) {
    from.SendTo(to.port(), datagram);
    Received r;
    r.datagram = to.Receive(1000, &r.port).value_or("");
    return r;
}

std::string FullStatus(const std::string& station, const std::string& box) {
    return "\x04"
           "53.63:9.99:1200:013:2991:5000:" +
           station + ":EDDH:www.example.org:0:45000.25:free text: with colon\x03:3.1.0:" + box +
           ":\x05";
}

class StationNetworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        stationclock.ReadBias();
        dir = std::filesystem::temp_directory_path() /
              ("aerova_net_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        settings.stationdir = dir.string();
        settings.version = "1.0.0";
        hooks.lookupRoute = [this](Tflight&, std::string_view cs) {
            ++routelookups;
            return "EDDH-" + std::string(cs);
        };
        hooks.countryOfAddress = [](std::string_view) { return std::string("Germany"); };
        hooks.alertMatch = [this](int slot) { alerted.push_back(slot); };
        hooks.setAlertText = [this](std::string_view t) { alerttext = t; };
        hooks.targetAdded = [this](int slot) { added.push_back(slot); };
        hooks.targetUpdated = [this](int slot) { updated.push_back(slot); };
        net =
            std::make_unique<StationNetwork>(*table, stationclock, sender, settings, &sound, hooks);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void Report(const std::string& datagram, std::string_view ip = "10.1.1.1", int port = 7979) {
        const auto parsed = ParseNetworkFlightReport(datagram);
        ASSERT_TRUE(parsed) << datagram;
        net->HandleNetworkFlightReport(*parsed, ip, port);
    }
    void Line(const std::string& datagram) {
        const auto parsed = ParseServerLine(datagram);
        ASSERT_TRUE(parsed) << datagram;
        net->HandleServerLine(*parsed);
    }

    std::unique_ptr<FlightTable> table = NewTable();
    ManualClock localclock{kLocal, -60};
    StationClock stationclock{localclock};
    UdpDatagramSender sender;
    NetworkSettings settings;
    NetworkHooks hooks;
    RecordingSound sound;
    std::unique_ptr<StationNetwork> net;
    std::filesystem::path dir;
    int routelookups = 0;
    std::vector<int> alerted, added, updated;
    std::string alerttext;
};

TEST_F(StationNetworkTest, FullStatusCreatesAPeerKeyedByAddressAndPort) {
    UdpTestReceiver a, b, listener;
    const Received ra = Relay(a, listener, FullStatus("Hamburg", "1234"));
    const Received rb = Relay(b, listener, FullStatus("Bremen", "5678"));
    net->HandlePeerStatus(*ParsePeerStatus(ra.datagram), "127.0.0.1", ra.port);
    net->HandlePeerStatus(*ParsePeerStatus(rb.datagram), "127.0.0.1", rb.port);
    // Two stations behind one address are two peers.
    const int pa = table->FindPeer("127.0.0.1", ra.port);
    const int pb = table->FindPeer("127.0.0.1", rb.port);
    ASSERT_GE(pa, 0);
    ASSERT_GE(pb, 0);
    EXPECT_NE(pa, pb);
    const TPeer& p = table->peers[static_cast<std::size_t>(pa)];
    EXPECT_EQ(p.station, "Hamburg");
    EXPECT_EQ(p.qnh, "1013");
    EXPECT_EQ(p.icao, "EDDH");
    EXPECT_EQ(p.info, "free text: with colon");
    EXPECT_EQ(p.version, "3.1.0");
    EXPECT_EQ(p.box, "1234");
    EXPECT_TRUE(p.full);
    EXPECT_EQ(p.active, 1);
    EXPECT_DOUBLE_EQ(p.lastheard, kLocal - 60 / 1440.0);
}

TEST_F(StationNetworkTest, ShortStatusCreatesANamedPeerAndOnlyRefreshesAKnownOne) {
    const auto icod = ParsePeerStatus(
        "\x04"
        "ICOD:Receiver box:0\x05");
    ASSERT_TRUE(icod);
    net->HandlePeerStatus(*icod, "10.0.0.9", 4000);
    const int slot = table->FindPeer("10.0.0.9", 4000);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(table->peers[static_cast<std::size_t>(slot)].station, "Receiver box");
    EXPECT_EQ(table->peers[static_cast<std::size_t>(slot)].replayspeed, "0");
    EXPECT_FALSE(table->peers[static_cast<std::size_t>(slot)].full);
    EXPECT_TRUE(table->peers[static_cast<std::size_t>(slot)].lat.empty());

    net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Hamburg", "1234")), "10.0.0.9", 4000);
    TPeer& p = table->peers[static_cast<std::size_t>(slot)];
    EXPECT_EQ(p.station, "Hamburg");
    p.active = 0;
    localclock.AdvanceSeconds(30);
    net->HandlePeerStatus(*icod, "10.0.0.9", 4000);
    EXPECT_EQ(p.station, "Hamburg");  // the short form changes nothing else
    EXPECT_EQ(p.active, 1);
    EXPECT_DOUBLE_EQ(p.lastheard, stationclock.UtcNow());
}

TEST_F(StationNetworkTest, FullPeerTableDropsNewStations) {
    const auto status = ParsePeerStatus(FullStatus("S", "1"));
    for (int i = 0; i < kMaxPeers + 3; ++i) net->HandlePeerStatus(*status, "10.0.0.1", 1000 + i);
    int used = 0;
    for (const TPeer& p : table->peers) used += p.free ? 0 : 1;
    EXPECT_EQ(used, kMaxPeers);
    EXPECT_EQ(table->FindPeer("10.0.0.1", 1000 + kMaxPeers), -1);
}

TEST_F(StationNetworkTest, KickListStaysBoundedWhenAPeerKeepsChangingItsName) {
    for (int i = 0; i < 1000; ++i) {
        net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Name" + std::to_string(i), "1234")),
                              "10.0.0.1", 1);
        net->UpdateKickList();
    }
    const auto& list = net->peerswindow().cbpeers;
    EXPECT_LE(list.size(), PeersWindowState::kMaxKickEntries);
    EXPECT_NE(std::find_if(list.begin(), list.end(),
                           [](const KickEntry& e) { return e.text == "1234 Name999"; }),
              list.end())
        << "the station heard last is listed";
}

TEST_F(StationNetworkTest, KickListTakesEachBoxOnceSorted) {
    net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Zeta", "9000")), "10.0.0.1", 1);
    net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Alpha", "1234")), "10.0.0.2", 1);
    net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Own", "0000")), "10.0.0.3", 1);
    net->HandlePeerStatus(
        *ParsePeerStatus(FullStatus("A name long enough to be cut at thirty", "654321")),
        "10.0.0.4", 1);
    net->UpdateKickList();
    net->peerswindow().cbpeers[0].checked = true;
    net->UpdateKickList();
    const auto& list = net->peerswindow().cbpeers;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].text, "1234 Alpha");
    EXPECT_TRUE(list[0].checked);
    EXPECT_EQ(list[1].text, "654321 A name long enough to be cut at ");  // 39 characters
    EXPECT_EQ(list[2].text, "9000 Zeta");
    net->peerswindow().KickAll();
    EXPECT_TRUE(list[2].checked);
    net->peerswindow().ShowAll();
    EXPECT_FALSE(list[0].checked);
}

TEST_F(StationNetworkTest, AnnouncesEveryFifthTickFirstOnTheThirdButNotToLocalPeers) {
    UdpTestReceiver remote("127.0.0.2");
    settings.remoteip = remote.port() - 5;
    settings.portoffset = 5;
    net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Remote", "1")), "127.0.0.2", 1111);
    net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Local", "2")), "127.0.0.1", 2222);
    std::vector<int> sentticks;
    for (int tick = 1; tick <= 13; ++tick) {
        if (net->AnnounceToPeers() > 0) sentticks.push_back(tick);
    }
    EXPECT_EQ(sentticks, (std::vector<int>{3, 8, 13}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(remote.Receive(1000), "#aerovas1.0.0*");
    EXPECT_EQ(remote.Receive(50), std::nullopt);
}

TEST_F(StationNetworkTest, SlaveDoesNotAnnounce) {
    UdpTestReceiver remote("127.0.0.2");
    settings.remoteip = remote.port();
    settings.cbslave = true;
    net->HandlePeerStatus(*ParsePeerStatus(FullStatus("Remote", "1")), "127.0.0.2", 1111);
    for (int tick = 1; tick <= 8; ++tick) EXPECT_EQ(net->AnnounceToPeers(), 0);
    EXPECT_EQ(remote.Receive(100), std::nullopt);
    settings.cbslave = false;
    for (int tick = 9; tick <= 12; ++tick) EXPECT_EQ(net->AnnounceToPeers(), 0);
    EXPECT_EQ(net->AnnounceToPeers(), 1);  // the countdown ran on while a slave
}

const std::string kReport =
    "[3C6586:DLH4AB :0:35000:53.5:10.25:-1200:450.5:271.3:1000:013:50:x:39000.100:0:y:0000100 "
    "0:abc:460:25]";

TEST_F(StationNetworkTest, NewNetworkTargetIsBuiltFromTheReport) {
    Report(kReport, "10.1.1.1", 7979);
    const int slot = table->FindFlight("3C6586");
    ASSERT_GE(slot, 0);
    const Tflight& f = table->flights[static_cast<std::size_t>(slot)];
    EXPECT_EQ(f.srcip, "10.1.1.1");
    EXPECT_EQ(f.srcport, 7979);
    EXPECT_EQ(f.state, 1);
    EXPECT_TRUE(f.fresh && f.freshhttp1 && f.freshhttp2 && f.announceair);
    EXPECT_EQ(f.altlabel, "F350");
    EXPECT_EQ(f.gs4, " 450");
    EXPECT_EQ(f.vratecode, "-12");
    EXPECT_EQ(f.track3, "271");
    EXPECT_EQ(f.labeltext, "DLH4AB");
    EXPECT_EQ(f.route, "EDDH-DLH4AB");
    EXPECT_EQ(f.squawk, "1000*");
    EXPECT_EQ(f.reg, "Germany");  // no aircraft file: the country's first 7 characters
    EXPECT_FLOAT_EQ(f.latf, 53.5f);
    EXPECT_FLOAT_EQ(f.lonf, 10.25f);
    EXPECT_FALSE(f.nopos);
    EXPECT_EQ(added, std::vector<int>{slot});
    EXPECT_EQ(alerted, std::vector<int>{slot});
    EXPECT_EQ(table->history[static_cast<std::size_t>(slot)].writepos, 1);
    EXPECT_FALSE(FileExists(AircraftXmlPath(dir.string(), "3C6586")));  // "Save to XML" off
}

TEST_F(StationNetworkTest, AircraftFileGivesRegistrationAndSaveToXmlWritesTheTemplate) {
    settings.cbsavexml = true;
    Report(kReport);
    const std::string path = AircraftXmlPath(dir.string(), "3C6586");
    std::string content;
    ASSERT_TRUE(ReadWholeFile(path, content));
    EXPECT_EQ(content.substr(0, 23), "<?xml version=\"1.0\"?>\r\n");
    EXPECT_NE(content.find("\r\n<registration></registration>\r\n"), std::string::npos);
    EXPECT_EQ(content.substr(content.size() - 8), "</bml>\r\n");

    ForceDirectories(dir.string() + "/userdata");
    std::string xml = "<bml><registration>D-AIRA (a321)</registration></bml>";
    AppendLine(AircraftXmlPath(dir.string(), "4B1234"), xml);
    Report("[4B1234::0:1000:1.0:2.0::::::::1::]");
    const Tflight& g = table->flights[static_cast<std::size_t>(table->FindFlight("4B1234"))];
    EXPECT_EQ(g.reg, "DAIRA");
    EXPECT_EQ(g.icaotype, "A321");
    EXPECT_EQ(g.labeltext, "~4B1234");
}

TEST_F(StationNetworkTest, ReportWithoutFields17To20KeepsNoposClearEvenWithoutCoordinates) {
    Report("[ABCDEF:TEST:0:1000::::::::::5::]");
    const int slot = table->FindFlight("ABCDEF");
    ASSERT_GE(slot, 0);
    EXPECT_FALSE(table->flights[static_cast<std::size_t>(slot)].nopos);
    Report("[ABCDE0:TEST:0:1000::::::::::5:::0010000v0:x:1:2]");
    const Tflight& g = table->flights[static_cast<std::size_t>(table->FindFlight("ABCDE0"))];
    EXPECT_TRUE(g.nopos);
    EXPECT_EQ(g.labeltext, "TESTv !");  // symbol and intent mark
    EXPECT_EQ(g.altlabel, "G---");      // "v" is a ground vehicle
}

TEST_F(StationNetworkTest, UpdateNeedsANewerTimeTextAndCarriesTheSlotsFields) {
    Report(kReport);
    const int slot = table->FindFlight("3C6586");
    Tflight& f = table->flights[static_cast<std::size_t>(slot)];
    f.heading = "270";
    f.mcp = "350";
    f.alerted = true;
    const int ring = f.trailring;

    Report("[3C6586::0:36000:0.0:10.5:0:451.0:272.0::013:50:x:39000.099:0:y:0000000 0:abc:460:25]");
    EXPECT_EQ(f.altft, "35000");  // older time text: ignored
    EXPECT_TRUE(updated.empty());

    Report("[3C6586::0:36000:0.0:10.5:0:451.0:272.0::013:50:x:39000.200:0:y:0000000 0:abc:460:25]");
    EXPECT_EQ(updated, std::vector<int>{slot});
    EXPECT_EQ(f.altft, "36000");
    EXPECT_EQ(f.altlabel, "F360");
    EXPECT_EQ(f.flightid, "DLH4AB");  // no call sign in the report: the stored one stays
    EXPECT_EQ(f.labeltext, "DLH4AB");
    EXPECT_EQ(f.route, "EDDH-DLH4AB");
    EXPECT_EQ(f.reg, "Germany");
    EXPECT_EQ(f.heading, "270");
    EXPECT_EQ(f.mcp, "350");
    EXPECT_TRUE(f.alerted);
    EXPECT_EQ(f.squawk, "1000*");  // none in the report, four or more stored
    EXPECT_EQ(f.lat, "53.5");      // "0.0" keeps the stored position
    EXPECT_FLOAT_EQ(f.latf, 53.5f);
    EXPECT_EQ(f.trailring, ring);
    EXPECT_TRUE(f.srcip.empty());  // not carried over: the record replaces the slot
    EXPECT_EQ(routelookups, 1);
}

TEST_F(StationNetworkTest, EmergencySquawkRaisesTheAlertOnlyWithTheOption) {
    Report("[111111:A:0:1000:1.0:2.0::::7700:::::1::]");
    EXPECT_FALSE(
        table->flights[static_cast<std::size_t>(table->FindFlight("111111"))].emergencyalert);
    EXPECT_EQ(alerttext, "");
    settings.cbemergency = true;
    Report("[222222:A:0:1000:1.0:2.0::::7700:::::1::]");
    EXPECT_TRUE(
        table->flights[static_cast<std::size_t>(table->FindFlight("222222"))].emergencyalert);
    EXPECT_EQ(alerttext, "** EMERGENCY **");
}

TEST_F(StationNetworkTest, DataServerLineCreatesAndUpdatesATarget) {
    Line(
        "\xFA\xCE"
        "DLH4AB:DAIRA:A321:3C6586:53.5:10.0:f350:271: 450:-12:1000:EDDH-EDDF:1234&");
    const int slot = table->FindFlight("3C6586");
    ASSERT_GE(slot, 0);
    Tflight& f = table->flights[static_cast<std::size_t>(slot)];
    EXPECT_EQ(f.labeltext, "DLH4AB");
    EXPECT_EQ(f.flightid, "DLH4AB");
    EXPECT_EQ(f.reg, "DAIRA");
    EXPECT_EQ(f.altlabel, "F350");
    EXPECT_EQ(f.track3, "271");
    EXPECT_EQ(f.gs4, " 450");
    EXPECT_EQ(f.box, "1234");
    EXPECT_TRUE(f.fresh);
    EXPECT_FALSE(f.freshhttp1);  // not served on again: no loops between stations
    EXPECT_EQ(f.labelaltvalid, 1);
    EXPECT_FALSE(f.hold3min);
    EXPECT_FALSE(f.nopos);

    EXPECT_FALSE(
        ParseServerLine("\xFA\xCE"
                        "::::::F360:272: 451:::: 12&"))
        << "a line without an address names no target";
    Line(
        "\xFA\xCE"
        ":::3C6586:::F360:272: 451::::12&");
    EXPECT_EQ(f.reg, "DAIRA");  // empty registration keeps the stored one
    EXPECT_EQ(f.labeltext, "DLH4AB");
    EXPECT_EQ(f.route, "EDDH-EDDF");
    EXPECT_EQ(f.altlabel, "F360");
    EXPECT_TRUE(f.nopos);     // empty latitude: no position
    EXPECT_TRUE(f.hold3min);  // a short box keeps it for three minutes
    EXPECT_EQ(updated, std::vector<int>{slot});
}

TEST_F(StationNetworkTest, MobilePositionStaysFortyFiveMinutes) {
    Line(
        "\xFA\xCF"
        "FIRE:TRUCK:GPS:E12000:53.55:9.99:120:270:33:0:::9990&");
    const int slot = table->FindFlight("E12000");
    ASSERT_GE(slot, 0);
    const Tflight& f = table->flights[static_cast<std::size_t>(slot)];
    EXPECT_TRUE(f.hold45min);
    EXPECT_FALSE(f.hold3min);
    EXPECT_EQ(f.box, "9990");
    EXPECT_EQ(f.labeltext, "FIRE");
    EXPECT_EQ(f.icaotype, "GPS");
}

TEST_F(StationNetworkTest, ChatLinesWithMinutesAndAtMostSixtyFourLines) {
    net->HandleChat(
        *ParseChat("\x01"
                   "Hamburg\tHello there\x02"));
    EXPECT_EQ(table->chat.station, "Hamburg");
    EXPECT_EQ(table->chat.message, "Hello there");
    ASSERT_EQ(net->chatwindow().lines.size(), 1u);
    EXPECT_EQ(net->chatwindow().lines[0], "(34) Hamburg: Hello there");  // local minutes
    EXPECT_TRUE(net->chatwindow().visible);
    EXPECT_EQ(sound.played, std::vector<std::string>{""});

    net->HandleChat(
        *ParseChat("\x01"
                   "x\t\x02"));  // empty message: remembered, not shown
    EXPECT_EQ(net->chatwindow().lines.size(), 1u);
    EXPECT_EQ(table->chat.station, "x");

    for (int i = 0; i < 64; ++i) net->HandleChat(TChat{"s", Concat({"m", std::to_string(i)})});
    ASSERT_EQ(net->chatwindow().lines.size(), 63u);
    EXPECT_EQ(net->chatwindow().lines.front(), "(34) s: m1");
    EXPECT_EQ(net->chatwindow().lines.back(), "(34) s: m63");
    net->chatwindow().Clear();
    EXPECT_TRUE(net->chatwindow().lines.empty());
}

}  // namespace
}  // namespace aerova
