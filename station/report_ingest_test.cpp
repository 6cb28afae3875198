#include "station/report_ingest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/testing/temp_dir.h"
#include "station/ingest_test_support.h"

namespace aerova {
namespace {

using testing::Aircraft;
using testing::IngestFixture;
using testing::WithPosition;

class ReportIngestTest : public IngestFixture {};

TEST_F(ReportIngestTest, NewTargetFromAKind5ReportWithEveryBlock) {
    TSBSFlight r = Aircraft("4CA1FA");
    r.altitude = "36025";
    WithPosition(r, "RYR4AB", "53.12345", "-6.2345");
    r.gnssdiff = "+125";
    r.vrate = "+1200";
    r.gspeed = "450";
    r.track = "45";
    r.blockalt = 1;
    r.squawk = "1234";
    SendKind5(r);
    const int slot = table->FindFlight("4CA1FA");
    ASSERT_EQ(slot, 0);
    const Tflight& f = F(slot);
    EXPECT_FALSE(f.deleted);
    EXPECT_FALSE(f.free);
    EXPECT_EQ(f.state, 1);
    EXPECT_EQ(f.modesdec, "5022202");
    EXPECT_EQ(f.flightid, "RYR4AB");
    EXPECT_EQ(f.box, "36025");
    EXPECT_EQ(f.ground, "0");
    EXPECT_EQ(f.lat, "53.12345");
    EXPECT_EQ(f.lon, "-6.2345");
    EXPECT_FALSE(f.nopos);
    EXPECT_EQ(f.posquality, "HI");
    EXPECT_EQ(f.gps, "");  // bit 3 not set
    EXPECT_EQ(f.vrateraw, "+1200");
    EXPECT_EQ(f.vratecode, "+12");
    EXPECT_EQ(f.vrate, "12");
    EXPECT_DOUBLE_EQ(f.vratef, 1200.0);
    EXPECT_EQ(f.gs, "450");
    EXPECT_EQ(f.gs4, "450");
    EXPECT_EQ(f.track3, "045");
    EXPECT_EQ(f.altlabel, "F360");
    EXPECT_EQ(f.altft, "36000");
    EXPECT_EQ(f.fl, 360);
    EXPECT_EQ(f.squawk, "1234");
    EXPECT_EQ(f.squawkraw, "1234");
    EXPECT_EQ(f.label, "RYR4AB");
    EXPECT_EQ(f.labeltext, "RYR4AB");
    EXPECT_EQ(f.srcip, "127.0.0.1");
    EXPECT_EQ(f.srcport, 50000);
    EXPECT_TRUE(f.announceair);
    EXPECT_TRUE(f.announceid);
    EXPECT_TRUE(f.fresh);
    EXPECT_NEAR(f.latf, 53.12345f, 1e-5);
    EXPECT_NEAR(f.coslat, 0.600093, 1e-5);
    EXPECT_EQ(table->history[0].writepos, 1);
    EXPECT_EQ(updated, std::vector<int>{0});

    // A one-digit code is right-aligned: its "+" is not the first character.
    Tick();
    r.vrate = "+600";
    SendKind5(r);
    EXPECT_EQ(F(slot).vratecode, " +6");
    EXPECT_EQ(F(slot).vrate, " 6");
}

// A datagram whose handling throws is logged and dropped; it never leaves the socket's event
// handler, and the datagrams after it, queued or not, are applied.
TEST_F(ReportIngestTest, AFailingDatagramIsLoggedAndTheNextOnesApplied) {
    identify = [](Tflight& f) -> std::string {
        if (f.modes == "BAD000") throw std::runtime_error("database gone");
        return {};
    };
    Rebuild();
    EXPECT_NO_THROW(SendKind5(Aircraft("BAD000")));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Exception on UDP read: database gone");
    queue.queueing = true;
    Tick();
    SendKind5(Aircraft("BAD000"));
    SendKind5(Aircraft("4CA1FA"));
    EXPECT_NO_THROW(ingest->DrainQueue());
    EXPECT_GE(table->FindFlight("4CA1FA"), 0);
}

// A flood of junk reports fills the table; a minute later the targets that had a single
// report and no position give their slots to new ones, while real targets keep theirs.
TEST_F(ReportIngestTest, AJunkFloodCantLockNewTargetsOut) {
    auto address = [](int i) {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", 0xA00000 + i);
        return std::string(text);
    };
    TSBSFlight real = Aircraft("4CA1FA");
    SendKind5(real);
    for (int i = 1; i < kMaxFlights; ++i) SendKind5(Aircraft(address(i).c_str()));
    Tick();
    SendKind5(real);  // its second report
    SendKind5(Aircraft("3C6586"));
    EXPECT_EQ(table->FindFlight("3C6586"), -1) << "the table is full and the junk still new";
    local.AdvanceSeconds(61);
    for (int i = 0; i < 50; ++i) {
        const std::string fresh = address(5000 + i);
        SendKind5(Aircraft(fresh.c_str()));
        EXPECT_GE(table->FindFlight(fresh), 0) << fresh;
    }
    EXPECT_GE(table->FindFlight("4CA1FA"), 0) << "a target heard twice keeps its slot";
}

TEST_F(ReportIngestTest, AltitudeCodesAndEmptyAltitudeBoxField) {
    TSBSFlight r = Aircraft("4CA1FA");
    r.altitude = "5000";
    SendKind5(r);
    EXPECT_EQ(F(0).box, "5000");
    r.altitude = "";
    Tick();
    SendKind5(r);
    EXPECT_EQ(F(0).box, "5000") << "kind 5 keeps the box field for 9999";
    // Kinds 3 and 4 take the box field as it stands.
    std::string k3 = EncodeSbsReport(r, "1013", "5500");
    k3[1] = 3;
    for (int i = 2; i < 8; ++i) k3[i] = "3C6586"[i - 2];
    Send(k3);
    const int slot = table->FindFlight("3C6586");
    ASSERT_GE(slot, 0);
    EXPECT_EQ(F(slot).box, "9999");
    EXPECT_EQ(F(slot).reportkind, 3);
    EXPECT_TRUE(F(slot).nopos) << "no 0xF0 block: listed but not drawn";
}

TEST_F(ReportIngestTest, UnscrambledCallsignAndZeroPairs) {
    // A kind-4 report built by hand: call sign sent plain, a position full of "00" pairs.
    std::string d = std::string("\xFA\x04") + ScrambleAddress("400A00") + "\xFE" +
                    PackText("01000000:7000.5:") + "\xF0" + "EZY100" + ":" +
                    PackText("50.00:-1.0005:0:0:100:0:0:9129:") + "\xFF";
    Send(d);
    const int slot = table->FindFlight("400A00");
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(F(slot).flightid, "EZY100");
    EXPECT_EQ(F(slot).lat, "50.00");
    EXPECT_EQ(F(slot).lon, "-1.0005");
    EXPECT_EQ(F(slot).box, "0000");
    EXPECT_EQ(F(slot).vrateraw, "0");
    EXPECT_EQ(F(slot).vratecode, "");
    EXPECT_EQ(F(slot).posquality, "XXX");
}

TEST_F(ReportIngestTest, MissingEighthFieldMeansAllValidQualityXXX) {
    std::string d = std::string("\xFA\x05") + ScrambleAddress("4CA1FA") + "\xFE" +
                    PackText("01000000:7000.5:") + "\xF0" + ScrambleCallsign("BAW1") + ":" +
                    PackText("51.5:-0.1:.50:-500:220:180:250") + "\xFF";
    Send(d);
    const Tflight& f = F(0);
    EXPECT_EQ(f.posquality, "XXX");
    EXPECT_FALSE(f.nopos);
    EXPECT_EQ(f.gps, "+50");
    EXPECT_EQ(f.vratecode, " -5");
    EXPECT_EQ(f.gs, "220");
    EXPECT_EQ(f.track3, "180");
    EXPECT_EQ(f.tas, "250");
    EXPECT_EQ(f.flightid, "BAW1");
}

TEST_F(ReportIngestTest, AddressFiltersAndShortReports) {
    TSBSFlight r = Aircraft("000000");
    SendKind5(r);
    r.icao = "F1B77E";
    SendKind5(r);
    r.icao = "FFFA04";
    SendKind5(r);
    EXPECT_EQ(table->FindFlight("000000"), -1);
    EXPECT_EQ(table->FindFlight("F1B77E"), -1);
    EXPECT_EQ(table->FindFlight("FFFA04"), -1);
    Send(std::string("\xFA\x05") + ScrambleAddress("4CA1FA") + "\xFE\x01\xFF");  // 12 bytes
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
    // A head shorter than 10 characters: the target exists, but nothing of the head is set.
    Send(std::string("\xFA\x05") + ScrambleAddress("4CA1FA") + "\xFE" + PackText("0100000") +
         "\xFF");
    ASSERT_EQ(table->FindFlight("4CA1FA"), 0);
    EXPECT_EQ(F(0).ground, "");
    EXPECT_EQ(F(0).altlabel, "G---") << "a ground flag other than \"0\" counts as on the ground";
}

TEST_F(ReportIngestTest, TruncatedBlockEndsTheReportKeepingEarlierFields) {
    TSBSFlight r = Aircraft("4CA1FA");
    WithPosition(r, "DLH1", "50.1", "8.6");
    std::string d = EncodeSbsReport(r, "1013", "5500");
    d.pop_back();
    d += "\xF4\xFF";  // marker followed by one byte only: the report ends there
    Send(d);
    ASSERT_EQ(table->FindFlight("4CA1FA"), 0);
    EXPECT_EQ(F(0).flightid, "DLH1");
    EXPECT_FALSE(F(0).hassel);
}

TEST_F(ReportIngestTest, GroundSplitMovesANewCallsignToANewSlot) {
    TSBSFlight r = Aircraft("4CA1FA");
    r.onground = '1';
    WithPosition(r, "RYR1", "53.4", "-6.2");
    r.blockalt = 1;
    r.squawk = "2000";
    SendKind5(r);
    ASSERT_EQ(table->FindFlight("4CA1FA"), 0);
    EXPECT_EQ(F(0).altlabel, "G---");
    EXPECT_EQ(F(0).altft, "0");
    Tick();
    r.callsign = "RYR2";
    SendKind5(r);
    EXPECT_TRUE(F(0).deleted);
    EXPECT_EQ(F(0).flightid, "RYR2");
    const int slot = table->FindFlight("4CA1FA");
    ASSERT_EQ(slot, 1);
    EXPECT_EQ(F(1).flightid, "RYR2");
    EXPECT_EQ(F(1).label, "RYR2");
    EXPECT_EQ(F(1).altlabel, "G---");
    EXPECT_EQ(F(1).vratecode, "");
    EXPECT_FALSE(F(1).nopos);
    EXPECT_TRUE(F(1).announceair);
    // Airborne again: "G---" is cleared.
    Tick();
    r.onground = '0';
    r.blockalt = 0;
    SendKind5(r);
    EXPECT_EQ(F(1).altlabel, "");
}

TEST_F(ReportIngestTest, TrendFromSuccessiveLabelAltitudes) {
    TSBSFlight r = Aircraft("4CA1FA");
    r.blockalt = 1;
    r.squawk = "1000";
    const char* alts[] = {"30000", "30100", "30100", "29900"};
    const char* codes[] = {"", "+++", "+++", "---"};
    for (int i = 0; i < 4; ++i) {
        r.altitude = alts[i];
        SendKind5(r);
        EXPECT_EQ(F(0).vratecode, codes[i]) << i;
        Tick();
    }
    EXPECT_EQ(F(0).trend, -1);
    // Six equal levels in a row end the trend.
    for (int i = 0; i < 6; ++i) {
        SendKind5(r);
        Tick();
    }
    EXPECT_EQ(F(0).trend, 0);
    EXPECT_EQ(F(0).trendsteady, 0);
    EXPECT_EQ(F(0).vratecode, "");
}

TEST(WindTest, DesignExampleAndLimits) {
    EXPECT_EQ(WindText("090", "090", "200", "235"), "270+35");
    EXPECT_EQ(WindText("350", "010", "300", "300"), "270+104");
    EXPECT_EQ(WindText("090", "130", "200", "235"), "") << "heading and track 40 degrees apart";
    EXPECT_EQ(WindText("090", "090", "100", "400"), "")
        << "airspeed and ground speed too far apart";
}

TEST_F(ReportIngestTest, WindFromTheHeadingBlock) {
    settings.windsaloft = true;
    TSBSFlight r = Aircraft("4CA1FA");
    WithPosition(r, "W1", "50", "5");
    r.gspeed = "235";
    r.track = "90";
    r.tas = "200";
    SendKind5(r);
    EXPECT_EQ(F(0).wind, "");
    Tick();
    r.blockident = 0;
    r.block60 = 1;
    r.heading = "90";
    r.ias = "180";
    r.mach = "400";
    SendKind5(r);
    EXPECT_EQ(F(0).heading, "090");
    EXPECT_EQ(F(0).wind, "270+35");
    EXPECT_TRUE(F(0).windvalid);
    EXPECT_DOUBLE_EQ(F(0).windtime, F(0).hdgtime);
}

TEST(RollTurnTest, Indications) {
    EXPECT_EQ(RollIndication(0), "=");
    EXPECT_EQ(RollIndication(1), "=");
    EXPECT_EQ(RollIndication(15), "15>");
    EXPECT_EQ(RollIndication(180), "<90");
    EXPECT_EQ(RollIndication(255), "<15");
    EXPECT_EQ(RollIndication(269), "=");
    EXPECT_EQ(TurnIndication(3), "3>");
    EXPECT_EQ(TurnIndication(160), "<160");
    EXPECT_EQ(TurnIndication(317), "<3");
    EXPECT_EQ(TurnIndication(319), "=");
}

TEST_F(ReportIngestTest, SelectedAltitudeRollAndHeadingBlocks) {
    TSBSFlight r = Aircraft("4CA1FA");
    r.block40 = 1;
    r.selalt = "50";
    r.baro = "1013";
    r.modes40 = '3';
    r.block50 = 1;
    r.roll = "255";
    r.trackrate = "12";
    r.block60 = 1;
    r.heading = "0";
    SendKind5(r);
    const Tflight& f = F(0);
    EXPECT_EQ(f.mcp, "050");
    EXPECT_EQ(f.qnh, "1013");
    EXPECT_EQ(f.mcpmode, '3');
    EXPECT_TRUE(f.hassel);
    EXPECT_EQ(f.roll, "<15");
    EXPECT_EQ(f.turn, "12>");
    EXPECT_EQ(f.heading, "360");
}

TEST_F(ReportIngestTest, StatusMarksSymbolAndIntent) {
    TSBSFlight r = Aircraft("4CA1FA");
    WithPosition(r, "AFR1", "48", "2");
    r.spi = '1';
    r.alert = '1';
    r.intent = '1';
    r.classmark = 'v';
    r.blockalt = 1;
    r.squawk = "7000";
    SendKind5(r);
    const Tflight& f = F(0);
    // A new target starts without the intent-change mark.
    EXPECT_EQ(f.status, "1000101v0");
    EXPECT_EQ(f.squawk, "7000*+");
    EXPECT_EQ(f.squawkraw, "7000");
    EXPECT_TRUE(f.spiflag);
    EXPECT_TRUE(f.alertflag);
    EXPECT_EQ(f.labeltext, "AFR1v");
    EXPECT_EQ(f.altlabel, "G---") << "a ground vehicle is always on the ground";
    Tick();
    SendKind5(r);
    EXPECT_EQ(f.status, "1010101v0");
    EXPECT_EQ(f.labeltext, "AFR1v !");
}

TEST_F(ReportIngestTest, ExistingTargetLabelFollowsANewCallsign) {
    int routes = 0;
    route = [&routes](Tflight& f, std::string_view call) {
        ++routes;
        f.routefrom = "EIDW";
        return std::string(call) + "-ROUTE";
    };
    Rebuild();
    TSBSFlight r = Aircraft("4CA1FA");
    SendKind5(r);
    EXPECT_EQ(F(0).label, "~4CA1FA");
    EXPECT_EQ(routes, 0);
    Tick();
    F(0).routestate = 1;
    WithPosition(r, "EIN1", "53", "-6");
    SendKind5(r);
    EXPECT_EQ(F(0).label, "EIN1");
    EXPECT_EQ(F(0).labeltext, "EIN1");
    EXPECT_EQ(F(0).route, "EIN1-ROUTE");
    EXPECT_EQ(F(0).routestate, 2);
    EXPECT_EQ(routes, 1);
    EXPECT_EQ(F(0).peerfield6, "0");
}

TEST_F(ReportIngestTest, NewTargetIdentificationXmlAndCountry) {
    const testing::TempDir scratch;
    const std::filesystem::path dir = scratch.path();
    std::filesystem::create_directories(dir / "userdata");
    {
        std::ofstream x(dir / "userdata" / "3c6586.xml");
        x << "<?xml version=\"1.0\"?>\n<bml><regdata><registration>d-aiqa (a320 )"
             "</registration></regdata></bml>\n";
    }
    settings.stationdir = dir.string();
    identify = [](Tflight& f) {
        f.dbid = -1;  // database open, aircraft not found
        return std::string("Germany, Federal Republic");
    };
    Rebuild();
    SendKind5(Aircraft("3C6586"));
    EXPECT_EQ(F(0).reg, "DAIQA");
    EXPECT_EQ(F(0).icaotype, "A320");
    EXPECT_EQ(F(0).label, "&DAIQA");
    EXPECT_FALSE(F(0).regiscountry);
    SendKind5(Aircraft("3C6587"));
    EXPECT_EQ(F(1).reg, "Germany");
    EXPECT_TRUE(F(1).regiscountry);
    EXPECT_EQ(F(1).label, "&Germany");
}

TEST_F(ReportIngestTest, DepartureRouteOnTheGroundWithONG) {
    settings.spbONG = true;
    settings.atcairport = "EDDF";
    settings.blacklist = "blacklist\n3c6587";  // typed in lower case
    Rebuild();
    TSBSFlight r = Aircraft("3C6586");
    r.onground = '1';
    r.blockalt = 1;
    SendKind5(r);
    EXPECT_EQ(F(0).route, "EDDF-");
    r.icao = "3C6587";
    SendKind5(r);
    EXPECT_EQ(F(1).route, "") << "blacklisted addresses get no departure route";
}

TEST_F(ReportIngestTest, AlertMatchSubstringExactAndFirstOnly) {
    alerts.sendmail = true;
    alerts.firstonly = true;
    alerts.entries = {{true, "RYR:Ryanair seen"}, {true, "noColonEntry"}, {true, "4CA1FB:"}};
    TSBSFlight r = Aircraft("4CA1FA");
    WithPosition(r, "RYR4AB", "53", "-6");
    SendKind5(r);
    EXPECT_TRUE(F(0).alerted);
    EXPECT_TRUE(F(0).alertmail);
    EXPECT_EQ(alerts.alerttext, "Ryanair seen");
    EXPECT_EQ(alerts.alerttarget[0], 0);
    EXPECT_EQ(alerts.alerttarget[1], 0);
    EXPECT_FALSE(alerts.entries[0].checked);
    EXPECT_TRUE(alerts.entries[1].checked);
    // The address entry, matched exactly; its text is empty.
    r.icao = "4CA1FB";
    SendKind5(r);
    EXPECT_TRUE(F(1).alerted);
    EXPECT_EQ(alerts.alerttext, "");
    // Exact syntax: the airline prefix no longer matches a longer call sign.
    alerts.exact = true;
    alerts.entries = {{true, "EZY:x"}};
    r.icao = "4CA1FC";
    r.callsign = "EZY12";
    SendKind5(r);
    EXPECT_FALSE(F(2).alerted);
    alerts.exact = false;
    r.icao = "4CA1FD";
    SendKind5(r);
    EXPECT_TRUE(F(3).alerted);
    // Without an entry that has a key, nothing matches, not even a target without call sign.
    alerts.exact = true;
    alerts.entries = {{true, "nokey"}};
    SendKind5(Aircraft("4CA1FE"));
    EXPECT_FALSE(F(4).alerted);
}

TEST_F(ReportIngestTest, QueueingDuringATickAndTheOverwriteAt999) {
    queue.queueing = true;
    TSBSFlight r = Aircraft("4CA1FA");
    SendKind5(r);
    EXPECT_EQ(queue.count, 1);
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1) << "queued, not applied";
    // Peer status is applied at once, even during a tick.
    int peers = 0;
    peerStatus = [&peers](const PeerStatusMessage&, std::string_view, int) { ++peers; };
    Rebuild();
    Send("{1:2:3:4:5:6:7:8:9:10:11}");
    EXPECT_EQ(peers, 1);
    EXPECT_EQ(queue.count, 1);
    char icao[8];
    for (int i = 1; i < 1005; ++i) {
        std::snprintf(icao, sizeof icao, "%06X", 0x100000 + i);
        r.icao = icao;
        SendKind5(r);
    }
    EXPECT_EQ(queue.count, 999);
    EXPECT_EQ(queue.entries[999].data, EncodeSbsReport(r, "1013", "5500"))
        << "the last arrival overwrote entry 999";
    ingest->DrainQueue();
    EXPECT_FALSE(queue.queueing);
    EXPECT_FALSE(queue.locked);
    EXPECT_EQ(queue.count, 0);
    EXPECT_EQ(table->FindFlight("4CA1FA"), 0);
    EXPECT_EQ(table->FindFlight("1003E6"), 998);
    EXPECT_EQ(table->FindFlight("1003EC"), 999) << "the last of the tick (entry 999) is applied";
    EXPECT_EQ(table->FindFlight("1003E7"), -1) << "overwritten in entry 999";
    EXPECT_EQ(table->FindFlight("1003EB"), -1);
}

TEST_F(ReportIngestTest, ArrivalsWhileTheQueueIsDrainedAreDropped) {
    queue.queueing = true;
    queue.locked = true;
    SendKind5(Aircraft("4CA1FA"));
    EXPECT_EQ(queue.count, 0);
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
}

TEST_F(ReportIngestTest, ZeroByteCutsTheDatagramAndShortOnesAreIgnored) {
    std::string d = EncodeSbsReport(Aircraft("4CA1FA"), "1013", "5500");
    Send(d.substr(0, 10) + std::string(1, '\0') + d.substr(10));
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
    Send("ab");
    Send(std::string("ab\0cd", 5));
    EXPECT_TRUE(errors.empty());
    // Only 510 bytes are read: the final 0xFF beyond them is lost.
    std::string longer = d.substr(0, d.size() - 1) + std::string(600, '\x11') + "\xFF";
    Send(longer);
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
}

TEST_F(ReportIngestTest, ReceiverStatusSlotsAndFlags) {
    Send(
        "\xE1"
        "Receiver OK\xEF");
    EXPECT_EQ(ingest->receiverStatus().slots[0], "Receiver OK\xEF");
    EXPECT_TRUE(ingest->receiverStatus().newstatus);
    EXPECT_FALSE(ingest->receiverStatus().eeflag);
    Send(
        "\xEE"
        "x\xEF");
    EXPECT_TRUE(ingest->receiverStatus().eeflag);
    Send(
        "\xE2"
        "-1234567\xEF");
    EXPECT_FALSE(ingest->receiverStatus().eeflag);
    EXPECT_EQ(ingest->receiverStatus().slots[1], "1234567");
    Send(
        "\xE4"
        "0123456789ABCDEFGH\xEF");  // 20 bytes: too long
    EXPECT_EQ(ingest->receiverStatus().slots[3], "");
    EXPECT_EQ(redraws, 3);
}

TEST_F(ReportIngestTest, StationGpsPosition) {
    Send("?52.5:13.4:ABC:3D#");
    const StationGps& g = ingest->stationGps();
    EXPECT_TRUE(g.valid);
    EXPECT_EQ(g.lat, "52.5");
    EXPECT_FLOAT_EQ(g.lonf, 13.4f);
    EXPECT_EQ(g.text6, "ABC");
    EXPECT_DOUBLE_EQ(g.time, 45000.5);
}

TEST_F(ReportIngestTest, SlotExhaustionDropsTheReport) {
    for (int i = 0; i < kMaxFlights; ++i) {
        F(i).free = false;
        F(i).deleted = false;
        F(i).modes = "ABCDEF";
    }
    SendKind5(Aircraft("4CA1FA"));
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ReportIngestTest, NetworkKindsAreRecognisedAndIgnoredWithoutHandlers) {
    Send("[4CA1FA:RYR:0:1000:53:-6:0:300:90:1234:013:55:X:1:1:FR]");
    Send(
        "\x01"
        "me\thi\x02");
    Send(
        "\xFA\xCE"
        "lbl:reg:B738:4CA1FA:53:-6:F300:90:300:+10:1234::9999&");
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
    std::string said;
    chat = [&said](const TChat& c, std::string_view, int) { said = c.station + ":" + c.message; };
    Rebuild();
    Send(
        "\x01"
        "me\thi\x02");
    EXPECT_EQ(said, "me:hi");
}

}  // namespace
}  // namespace aerova
