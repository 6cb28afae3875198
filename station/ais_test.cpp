#include "station/ais.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/files.h"
#include "core/report_codec.h"

namespace aerova {
namespace {

std::string Ais(int type, const std::string& fields) {
    return std::string("\xFA") + static_cast<char>(type) + fields + "\xFF";
}

class AisTest : public ::testing::Test {
  protected:
    AisTest() : station(local) {
        dir = std::filesystem::temp_directory_path() /
              ("aerova_ais_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        lists.namesPath = AisNamesPath(dir.string());
        lists.logPath = AisLogPath(dir.string(), 45000.5);
        AisHooks hooks;
        hooks.newVessel = [this](int slot, bool base) { news.push_back({slot, base}); };
        hooks.beaconMode = [this](int slot) { beacons.push_back(slot); };
        hooks.updateTarget = [this](int slot) { updates.push_back(slot); };
        hooks.reprojectTarget = [this](int slot) { reprojects.push_back(slot); };
        hooks.bearingDistance = [](int window, int) {
            return window == 0 ? std::pair<std::string, std::string>{"123", "4.5"}
                               : std::pair<std::string, std::string>{"???", "???"};
        };
        ais = std::make_unique<AisVessels>(*table, station, lists, hooks);
    }
    ~AisTest() override { std::filesystem::remove_all(dir); }

    Tflight& F(int slot) { return table->flights[static_cast<std::size_t>(slot)]; }

    std::filesystem::path dir;
    std::unique_ptr<FlightTable> table = std::make_unique<FlightTable>();
    ManualClock local{45000.5};
    StationClock station;
    AisLists lists;
    std::unique_ptr<AisVessels> ais;
    std::vector<std::pair<int, bool>> news;
    std::vector<int> beacons, updates, reprojects;
};

TEST_F(AisTest, PositionReportOfAnUnknownVessel) {
    ais->HandleAisReport(Ais(0xA1, "K12345:244123456:52.1:4.2:123.4:125:140:1:045:5"));
    const int slot = table->FindFlight("K12345");
    ASSERT_EQ(slot, 0);
    const Tflight& f = F(slot);
    EXPECT_TRUE(f.vessel);
    EXPECT_FALSE(f.deleted);
    EXPECT_EQ(f.state, 1);
    EXPECT_EQ(f.modesdec, "244123456");
    EXPECT_EQ(f.flightid, "~K12345");
    EXPECT_EQ(f.labeltext, "~K12345");
    EXPECT_EQ(f.track, "123.4");
    EXPECT_EQ(f.track3, "123");
    EXPECT_EQ(f.gs, "125");
    EXPECT_EQ(f.gs4, "12.5");
    EXPECT_DOUBLE_EQ(f.gsf, 12.5);
    EXPECT_EQ(f.turn, "<4");
    EXPECT_EQ(f.posquality, "HI");
    EXPECT_EQ(f.heading, "045");
    EXPECT_EQ(f.mcpmode, '5');
    EXPECT_FALSE(f.nopos);
    EXPECT_EQ(f.label, "Netherlands");
    EXPECT_EQ(f.aiscountry, "NL");
    EXPECT_EQ(f.altlabel, "G---");
    EXPECT_DOUBLE_EQ(f.lastseen, 45000.5);
    EXPECT_EQ(table->history[0].writepos, 1);
    EXPECT_EQ(news, (std::vector<std::pair<int, bool>>{{0, false}}));
    EXPECT_EQ(updates, std::vector<int>{0});
}

TEST_F(AisTest, NotAvailableValuesAndRateOfTurn) {
    ais->HandleAisReport(Ais(0xA1, "K1:1:1:1:360:1000:127:0:511:"));
    const Tflight& f = F(0);
    EXPECT_EQ(f.track, "");
    EXPECT_EQ(f.track3, "");
    EXPECT_EQ(f.gs4, "");
    EXPECT_EQ(f.gsf, 0);
    EXPECT_EQ(f.heading, "");
    EXPECT_EQ(f.turn, ">");
    EXPECT_EQ(f.posquality, "LO");
    EXPECT_EQ(f.mcpmode, ' ');
    struct Case {
        const char* rot;
        const char* turn;
    } cases[] = {{"0", ""},      {"128", ""},  {"129", "<"},   {"126", "0>"},
                 {"100", "30>"}, {"1", "99>"}, {"255", "<99"}, {"", ""}};
    for (const auto& c : cases) {
        ais->HandleAisReport(Ais(0xA1, std::string("K1:1:1:1:0:0:") + c.rot + ":1:0:0"));
        EXPECT_EQ(F(0).turn, c.turn) << c.rot;
    }
    ais->HandleAisReport(Ais(0xA1, "K1:1:1:1:5:7:0:1:7:0"));
    EXPECT_EQ(F(0).track3, "005");
    EXPECT_EQ(F(0).gs4, "0.7");
    EXPECT_EQ(F(0).heading, "007");
}

TEST_F(AisTest, StaticDataNamesListLogAndLaterPositionReports) {
    ais->HandleAisReport(
        Ais(0xA5, "K12345:NORDIC STAR:PDAB:IMO9:ROTTERDAM:24/12: 1030:7:85:20:180"));
    const Tflight& f = F(0);
    EXPECT_EQ(f.reg, "NORDIC STAR");
    EXPECT_EQ(f.labeltext, "NORDIC STAR");
    EXPECT_EQ(f.vesselcall, "PDAB");
    EXPECT_EQ(f.vesselid, "IMO9");
    EXPECT_EQ(f.route, "ROTTERDAM");
    EXPECT_EQ(f.eta, "24/12 1030");
    EXPECT_EQ(f.icaotype, "07");
    EXPECT_EQ(f.draught, "8.5");
    EXPECT_EQ(f.width, "20");
    EXPECT_EQ(f.length, "180");
    EXPECT_TRUE(f.nopos) << "static data carries no position";
    ASSERT_EQ(lists.lbaisname.size(), 1u);
    EXPECT_EQ(lists.lbaisname[0], "K12345 07 NORDIC STAR");
    ASSERT_EQ(lists.lbaislogfile.size(), 1u);
    const std::string expected =
        "K12345 07 NORDIC STAR          2023-03-15 12:00:00              "
        "              ROTTERDAM           /24/12 1030  180x20x8.5     "
        " ()                     1:123\xB0/4.5   2:???\xB0/???   ";  // Latin-1: one byte
    EXPECT_EQ(lists.lbaislogfile[0], expected);
    EXPECT_EQ(ReadLines(lists.namesPath), lists.lbaisname);
    EXPECT_EQ(ReadLines(lists.logPath), lists.lbaislogfile);  // one line: either order

    // A second static report replaces the names line and moves its log line to the top.
    ais->HandleAisReport(Ais(0xA5, "K99999:OTHER:::::::::"));
    ais->HandleAisReport(Ais(0xA5, "K12345:NORDIC STAR II::::::70:::"));
    ASSERT_EQ(lists.lbaisname.size(), 2u);
    EXPECT_EQ(lists.lbaisname[1], "K12345 70 NORDIC STAR II");
    ASSERT_EQ(lists.lbaislogfile.size(), 2u);
    EXPECT_EQ(lists.lbaislogfile[0].substr(0, 20), "K12345 70 NORDIC STA");
    EXPECT_EQ(F(1).draught, "");

    // A fresh run: the position report of a known key shows the stored name.
    table = std::make_unique<FlightTable>();
    AisVessels again(*table, station, lists, AisHooks{});
    again.HandleAisReport(Ais(0xAB, "K12345:244000001:52:4"));
    EXPECT_EQ(F(0).reg, "NORDIC STAR II");
    EXPECT_EQ(F(0).labeltext, "NORDIC STAR") << "the label text holds 11 characters";
    EXPECT_EQ(F(0).icaotype, "70");
    again.HandleAisReport(Ais(0xAB, "K77777:244000002:52:4"));
    EXPECT_EQ(F(1).labeltext, "~K77777");
}

// A sender of ever new vessel keys can take neither the aircraft's slots nor unbounded
// memory and disk, and a report no longer rewrites whole files.
TEST_F(AisTest, VesselsAndTheirListsAreBounded) {
    auto send = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            char key[16];
            std::snprintf(key, sizeof key, "K%05d", i);
            ais->HandleAisReport(
                Ais(0xA5, std::string(key) + ":SHIP " + std::to_string(i) + "::::::70:::"));
        }
    };
    send(0, 1100);
    const auto vessels = std::count_if(table->flights.begin(), table->flights.end(),
                                       [](const Tflight& f) { return f.live() && f.vessel; });
    EXPECT_EQ(vessels, kMaxVesselSlots);
    EXPECT_GE(table->NewTargetSlot(false, 45000.5), 0) << "aircraft still find a slot";

    // As vessels leave, new ones come; the lists keep the newest 2000.
    table->ResetFlightTable();
    send(1100, 1800);
    table->ResetFlightTable();
    send(1800, 2300);

    EXPECT_EQ(lists.lbaisname.size(), kMaxAisListLines);
    EXPECT_EQ(lists.lbaisname.back(), "K02299 70 SHIP 2299");
    EXPECT_EQ(lists.lbaislogfile.size(), kMaxAisListLines);
    const auto names = ReadLines(lists.namesPath), log = ReadLines(lists.logPath);
    EXPECT_LE(names.size(), 2 * kMaxAisListLines);
    EXPECT_LE(log.size(), 2 * kMaxAisListLines);
    EXPECT_EQ(log.back().substr(0, 6), "K02299") << "the log file is in time order";
    // The names file, read back, gives the list: the last line of a key wins.
    ais->HandleAisReport(Ais(0xA5, "K02299:RENAMED::::::70:::"));
    EXPECT_EQ(LoadAisNames(lists.namesPath), lists.lbaisname);
}

TEST_F(AisTest, BaseStationAndAidToNavigation) {
    ais->HandleAisReport(Ais(0xA4, "B00001:002442000:52.0:4.0"));
    const Tflight& b = F(0);
    EXPECT_TRUE(b.beacon);
    EXPECT_EQ(b.flightid, "*B00001");
    EXPECT_EQ(b.labeltext, "*01");
    EXPECT_EQ(b.label, "Netherlands");
    EXPECT_EQ(news, (std::vector<std::pair<int, bool>>{{0, true}}));
    EXPECT_EQ(reprojects, std::vector<int>{0});
    ASSERT_EQ(lists.lbaisname.size(), 1u);
    EXPECT_EQ(lists.lbaisname[0], "B00001 BY");
    EXPECT_EQ(lists.lbaislogfile[0].substr(0, 10), "B00001 BY ");
    ais->HandleAisReport(Ais(0xAA, "A00001:992441234:52.5:4.5:1:BUOY 7"));
    const Tflight& a = F(1);
    EXPECT_TRUE(a.beacon);
    EXPECT_EQ(a.icaotype, "01");
    EXPECT_EQ(a.reg, "BUOY 7");
    EXPECT_EQ(a.labeltext, "BUOY 7");
    EXPECT_EQ(a.label, "Netherlands");
    EXPECT_EQ(lists.lbaisname.size(), 2u);
    EXPECT_EQ(lists.lbaislogfile.size(), 2u);
}

TEST_F(AisTest, ExtendedPositionReportAndShoreStation) {
    ais->HandleAisReport(Ais(0xA6,
                             "K55555:211000001:54:10:90:14.5:91:0:SEA WOLF:DABC:ID1:KIEL:"
                             "01-02: 0800:60:5.2:12:90"));
    const Tflight& f = F(0);
    EXPECT_EQ(f.gs4, "14.5");
    EXPECT_DOUBLE_EQ(f.gsf, 14.5);
    EXPECT_EQ(f.labeltext, "SEA WOLF");
    EXPECT_EQ(f.draught, "5.2");
    EXPECT_EQ(f.eta, "01-02 0800");
    EXPECT_EQ(f.heading, "091");
    EXPECT_EQ(f.label, "Germany");
    EXPECT_FALSE(f.beacon);
    ais->HandleAisReport(Ais(0xA6,
                             "S12345:002110001:54:10:90:14.5:91:0:SHORE:DABC:ID1:KIEL:"
                             "*: 0800:60:5.2:12:90"));
    const Tflight& s = F(1);
    EXPECT_TRUE(s.beacon);
    EXPECT_EQ(s.labeltext, "*45");
    EXPECT_EQ(s.gs, "");
    EXPECT_EQ(s.route, "");
    EXPECT_EQ(s.heading, "");
    EXPECT_EQ(s.label, "Germany");
    EXPECT_EQ(beacons, std::vector<int>{1});
}

TEST_F(AisTest, TypesWithoutFieldsOnlyKeepTheVesselAlive) {
    ais->HandleAisReport(Ais(0xA2, "K1:whatever"));
    ASSERT_EQ(table->FindFlight("K1"), 0);
    EXPECT_TRUE(F(0).nopos);
    EXPECT_EQ(F(0).altlabel, "G---");
    ais->HandleAisReport(Ais(0xB0, "K2:x"));
    EXPECT_EQ(table->FindFlight("K2"), -1);
}

TEST(MidListTest, FullListAndLookup) {
    ASSERT_EQ(MidList().size(), 270u);
    EXPECT_EQ(MidList().front(), "201 AL Albania");
    EXPECT_EQ(MidList().back(), "775 VE Venezuela");
    EXPECT_EQ(CountryOfMmsi("232"), (std::pair<std::string, std::string>{"UK", "United Kingdom"}));
    EXPECT_EQ(CountryOfMmsi("355"), (std::pair<std::string, std::string>{"PA", "Panama"}));
    EXPECT_EQ(CountryOfMmsi("999"), (std::pair<std::string, std::string>{"", ""}));
    EXPECT_EQ(CountryOfMmsi("20"), (std::pair<std::string, std::string>{"", ""}));
}

}  // namespace
}  // namespace aerova
