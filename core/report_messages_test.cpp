#include <gtest/gtest.h>

#include "core/aircraft_xml.h"
#include "core/report_codec.h"
#include "core/test_records.h"

namespace aerova {
namespace {

TEST(ReceiverStatusTest, SlotTextsAndAcceptance) {
    const auto e1 = ParseReceiverStatus(
        "\xE1"
        "ABCDEFGHIJKLMNOPQ\xEF");  // 19 bytes
    EXPECT_FALSE(e1.has_value());
    const auto e3 = ParseReceiverStatus(
        "\xE3"
        "Signal 42\xEF");
    ASSERT_TRUE(e3.has_value());
    EXPECT_EQ(e3->slot, 2);
    EXPECT_EQ(e3->text, "Signal 42\xEF");
    const auto e2 = ParseReceiverStatus(
        "\xE2"
        "xABCDEFGHIJ\xEF");
    ASSERT_TRUE(e2.has_value());
    EXPECT_EQ(e2->slot, 1);
    EXPECT_EQ(e2->text, "ABCDEFG");
    const auto ee = ParseReceiverStatus(
        "\xEE"
        "x\xEF");
    ASSERT_TRUE(ee.has_value());
    EXPECT_EQ(ee->slot, -1);
    EXPECT_FALSE(ParseReceiverStatus("\xE1"
                                     "abc")
                     .has_value());
}

TEST(PeerStatusTest, FullStatusWithInfoHoldingColons) {
    const std::string d = std::string("\x04") +
                          "53.35:-6.25:1230:013:2991:5000: Dublin North :EIDW:www.ex.ie:0:"
                          "45000.5:info: a:b\x03:3.1.0:AB12:\x05";
    const auto m = ParsePeerStatus(d);
    ASSERT_TRUE(m.has_value());
    EXPECT_TRUE(m->full);
    EXPECT_FALSE(m->oldform);
    const TPeer& p = m->peer;
    EXPECT_EQ(p.lat, "53.35");
    EXPECT_EQ(p.lon, "-6.25");
    EXPECT_EQ(p.utc, "1230");
    EXPECT_EQ(p.qnh, "1013");
    EXPECT_EQ(p.qnhin, "2991");
    EXPECT_EQ(p.trans, "5000");
    EXPECT_EQ(p.station, "Dublin North");
    EXPECT_EQ(p.icao, "EIDW");
    EXPECT_EQ(p.url, "www.ex.ie");
    EXPECT_EQ(p.replayspeed, "0");
    EXPECT_EQ(p.replaytime, "45000.5");
    EXPECT_EQ(p.info, "info: a:b");
    EXPECT_EQ(p.version, "3.1.0");
    EXPECT_EQ(p.box, "AB12");
}

TEST(PeerStatusTest, OldFormAndShortStatus) {
    const auto old = ParsePeerStatus("{1.0:2.0:0800:998:2950:6000:Stn:EGLL:u:2:4.5:ignored}");
    ASSERT_TRUE(old.has_value());
    EXPECT_TRUE(old->oldform);
    EXPECT_EQ(old->peer.qnh, "9998");
    EXPECT_EQ(old->peer.info, "");
    EXPECT_EQ(old->peer.version, "2.2.6");
    EXPECT_EQ(old->peer.box, "0000");
    const auto icod = ParsePeerStatus("\x04ICOD:Kitchen radio:-1:\x05");
    ASSERT_TRUE(icod.has_value());
    EXPECT_FALSE(icod->full);
    EXPECT_EQ(icod->peer.station, "Kitchen radio");
    EXPECT_EQ(icod->peer.replayspeed, "-1");
    EXPECT_EQ(icod->peer.lat, "");
}

TEST(ChatTest, SenderMessageAndMissingTab) {
    auto c = ParseChat(
        "\x01"
        "Station A\thello there\x02");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->station, "Station A");
    EXPECT_EQ(c->message, "hello there");
    c = ParseChat(
        "\x01"
        "no tab\x02");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->station, "");
    EXPECT_EQ(c->message, "no tab");
    EXPECT_FALSE(ParseChat("\x01"
                           "open")
                     .has_value());
}

TEST(NetworkFlightReportTest, AllFieldsWithStatusMarks) {
    const auto n = ParseNetworkFlightReport(
        "[4CA1FA: RYR4AB :0:36000:53.1:-6.2:-640:0.0:270: 7700 :013:55:X:45000.123:1:FR:"
        "000011100:abc:450:125]");
    ASSERT_TRUE(n.has_value());
    const Tflight& f = n->record;
    EXPECT_TRUE(n->hasstatus);
    EXPECT_EQ(f.modes, "4CA1FA");
    EXPECT_EQ(f.flightid, "RYR4AB");
    EXPECT_EQ(f.ground, "0");
    EXPECT_EQ(f.altft, "36000");
    EXPECT_EQ(f.lat, "53.1");
    EXPECT_EQ(f.lon, "-6.2");
    EXPECT_EQ(f.vrateraw, "-640");
    EXPECT_EQ(f.gs, "450.0");
    EXPECT_EQ(f.track, "270");
    EXPECT_EQ(f.squawk, "7700*E+");
    EXPECT_EQ(f.peerfield1, "1013");
    EXPECT_EQ(f.peerfield2, "5500");
    EXPECT_EQ(f.peerfield3, "X");
    EXPECT_EQ(f.peerfield4, "45000.123");
    EXPECT_EQ(f.peerfield6, "1");
    EXPECT_EQ(f.peerfield5, "FR");
    EXPECT_EQ(f.status, "000011100");
    EXPECT_EQ(f.tas, "450");
    EXPECT_EQ(f.gps, "125");
    EXPECT_FALSE(f.nopos);
    EXPECT_FALSE(f.deleted);
}

TEST(NetworkFlightReportTest, WithoutStatusFieldsKeepsPositionFlag) {
    const auto n = ParseNetworkFlightReport("[4CA1FA:RYR:0:1000:::0:0.0:0:1234:013:55:X:1:1:FR]");
    ASSERT_TRUE(n.has_value());
    EXPECT_FALSE(n->hasstatus);
    EXPECT_FALSE(n->record.nopos);
    EXPECT_EQ(n->record.gs, "0.0");
    const auto e = ParseNetworkFlightReport(
        "[4CA1FA:RYR:0:1000:::0:1:0:1234:013:55:X:1:1:FR:"
        "000000000:x:200:0]");
    ASSERT_TRUE(e.has_value());
    EXPECT_TRUE(e->record.nopos);
}

TEST(ServerLineTest, FieldsAndMobileForm) {
    const auto s = ParseServerLine(
        "\xFA\xCF Van 3 :unit7:GPS:900001:52.1:4.3:a045:90:35:+12:"
        "1200:AMS-LHR: 9990 &");
    ASSERT_TRUE(s.has_value());
    EXPECT_TRUE(s->mobile);
    EXPECT_EQ(s->label, "Van 3");
    EXPECT_EQ(s->reg, "unit7");
    EXPECT_EQ(s->icaotype, "GPS");
    EXPECT_EQ(s->modes, "900001");
    EXPECT_EQ(s->lat, "52.1");
    EXPECT_EQ(s->lon, "4.3");
    EXPECT_EQ(s->altlabel, "A045");
    EXPECT_EQ(s->track, "90");
    EXPECT_EQ(s->gs, "35");
    EXPECT_EQ(s->vratecode, "+12");
    EXPECT_EQ(s->squawk, "1200");
    EXPECT_EQ(s->route, "AMS-LHR");
    EXPECT_EQ(s->box, "999");
}

// An address names a target and its aircraft file: anything but six hexadecimal digits drops
// the datagram.
TEST(AddressTest, OnlySixHexadecimalDigitsAreAnAddress) {
    struct Case {
        const char* address;
        bool accepted;
    } cases[] = {
        {"4CA1FA", true},   {"3c6586", true},  {"../../", false}, {"4CA1F", false},
        {"4CA1FA0", false}, {"4CA1FG", false}, {"", false},       {"E12", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsIcaoAddress(c.address), c.accepted) << c.address;
        const std::string flight =
            std::string("[") + c.address + ":RYR:0:1000:::0:0.0:0:1234:013:55:X:1:1:FR]";
        EXPECT_EQ(ParseNetworkFlightReport(flight).has_value(), c.accepted) << c.address;
        const std::string line = std::string(
                                     "\xFA\xCE"
                                     "lbl:reg:B738:") +
                                 c.address + ":53:-6:F300:90:300:+10:1234::9999&";
        EXPECT_EQ(ParseServerLine(line).has_value(), c.accepted) << c.address;
        if (std::string_view(c.address).size() != 6) continue;  // the report's field is six bytes
        TSBSFlight r = testing::Aircraft("4CA1FA");
        r.icao = c.address;
        EXPECT_EQ(ParseMainReport(EncodeSbsReport(r, "1013", "5500")).has_value(), c.accepted)
            << c.address;  // scrambled in kind 5, checked after unscrambling
    }
    EXPECT_EQ(AircraftXmlPath("/station", "../../"), "");
    EXPECT_EQ(AircraftXmlPath("/station", "3C6586"), "/station/userdata/3c6586.xml");
}

// Texts from outside lose their control bytes where they are parsed.
TEST(TextsFromOutside, ControlBytesAreDroppedAtTheParser) {
    const auto n = ParseNetworkFlightReport(
        "[4CA1FA:X\r\nMSG,9:0:1000:::0:0.0:0:12\x01"
        "34:013:55:X:1:1:FR]");
    ASSERT_TRUE(n.has_value());
    EXPECT_EQ(n->record.flightid, "XMSG,9");
    EXPECT_EQ(n->record.squawk, "1234");
    const auto s = ParseServerLine(
        "\xFA\xCE"
        "DLH\n4AB:D\rAIRA:A321:3C6586:53:-6:F300:90:300:+10:1234::9999&");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->label, "DLH4AB");
    EXPECT_EQ(s->reg, "DAIRA");
    const auto c = ParseChat(
        "\x01"
        "Ham\rburg\tHi\n there\x02");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->station, "Hamburg");
    EXPECT_EQ(c->message, "Hi there");
    const auto p = ParsePeerStatus(
        "\x04"
        "53.5:10.0:1200:013:2992:5500:Ham\nburg:EDDH:x:0::info\r\n text\x03:1.0:BOX1\x05");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->peer.station, "Hamburg");
    EXPECT_EQ(p->peer.info, "info text");
    EXPECT_EQ(p->peer.box, "BOX1");
    // The byte that ends the info text (0x03) is a control byte in any other field.
    const auto old = ParsePeerStatus(
        "{53.5:10.0:1200:013:2992:5500:Ham\x03"
        "burg:EDDH:x:0:}");
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->peer.station, "Hamburg");
    TSBSFlight r = testing::Aircraft("4CA1FA");
    testing::WithPosition(r, "X\r\nMSG9", "53.1", "-6.2");
    const std::string datagram = EncodeSbsReport(r, "1013", "5500");
    const auto m = ParseMainReport(datagram);  // its blocks are views into the datagram
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(ParseIdentBlock(m->ident.content).callsign, "XMSG9");
}

TEST(GpsPositionTest, Fields) {
    const auto g = ParseGpsPosition("?52.123456789012345:-1.5:ABCDEFGH:3D#");
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->lat, "52.12345678901");
    EXPECT_EQ(g->lon, "-1.5");
    EXPECT_EQ(g->text6, "ABCDEF");
    EXPECT_EQ(g->text2, "3D");
}

}  // namespace
}  // namespace aerova
