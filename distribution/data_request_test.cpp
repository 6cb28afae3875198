#include "distribution/data_request.h"

#include <gtest/gtest.h>

#include "distribution/test_flights.h"

namespace aerova {
namespace {

using testing::NewTable;
using testing::PlaceTarget;
using Query = std::vector<std::pair<std::string, std::string>>;

DataRequest Req(const std::string& path, const Query& query) {
    return DataRequest(path, query);
}

TEST(DataRequest, FirstOccurrenceWinsNamesIgnoreCaseValuesLowerCased) {
    const DataRequest r = Req("/req=x", {{"NoPos", "1"}, {"nopos", "0"}, {"serial", "AB12"}});
    EXPECT_EQ(r.Value("nopos"), "1");
    EXPECT_EQ(r.Value("SERIAL"), "ab12");
    EXPECT_FALSE(r.Value("lat").has_value());
}

TEST(ParseGpsId, PartsReplaceTheDefaults) {
    struct Case {
        std::string gpsid, source, unit, unitid;
    } cases[] = {
        {"", "GPS", "Roamer", "B00000"},
        {"car7", "GPS", "Roamer", "CAR7"},
        {"fire_truck_e12", "FIRE", "TRUCK", "E12"},
        {"fire_truck", "FIRE", "TRUCK", "B00000"},
        {"_truck_", "GPS", "TRUCK", "B00000"},
        {"__x9", "GPS", "Roamer", "X9"},
        {"a_b_c_d", "A", "B", "C_D"},
    };
    for (const Case& c : cases) {
        const GpsIdentity id = ParseGpsId(c.gpsid);
        EXPECT_EQ(id.source, c.source) << c.gpsid;
        EXPECT_EQ(id.unit, c.unit) << c.gpsid;
        EXPECT_EQ(id.unitid, c.unitid) << c.gpsid;
    }
}

TEST(MobilePositionDatagram, BuiltFromTheGpsKeys) {
    const DataRequest r = Req("/anything", {{"gpsid", "fire_truck_e12"},
                                            {"gpslat", "53.5"},
                                            {"gpslong", "9.9"},
                                            {"gpsalt", "120"},
                                            {"gpsgs", "33"},
                                            {"gpstt", "270"}});
    EXPECT_EQ(MobilePositionDatagram(r),
              "\xFA\xCF"
              "FIRE:TRUCK:GPS:E12:53.5:9.9:120:270:33:0:::9990&");
    EXPECT_EQ(MobilePositionDatagram(Req("/", {{"gpslat", "1"}, {"gpslong", "2"}})),
              "\xFA\xCF"
              "GPS:Roamer:GPS:B00000:1:2::::0:::9990&");
}

TEST(MobilePositionDatagram, NeedsBothCoordinatesAndSafeFields) {
    EXPECT_FALSE(MobilePositionDatagram(Req("/", {{"gpslat", "1"}})));
    EXPECT_FALSE(MobilePositionDatagram(Req("/", {{"gpslong", "1"}})));
    EXPECT_FALSE(MobilePositionDatagram(Req("/", {{"gpslat", "1:2"}, {"gpslong", "3"}})));
    EXPECT_FALSE(MobilePositionDatagram(Req("/", {{"gpslat", "1"}, {"gpslong", "3&x"}})));
    EXPECT_FALSE(
        MobilePositionDatagram(Req("/", {{"gpslat", std::string("1\0", 2)}, {"gpslong", "3"}})));
    EXPECT_FALSE(
        MobilePositionDatagram(Req("/", {{"gpslat", std::string(600, '1')}, {"gpslong", "3"}})));
    // Impossible positions never reach the listener (nor the feed behind it).
    for (const auto& [lat, lon] : std::vector<std::pair<std::string, std::string>>{{"1e308", "3"},
                                                                                   {"90.5", "3"},
                                                                                   {"-91", "3"},
                                                                                   {"1", "180.01"},
                                                                                   {"1", "-181"},
                                                                                   {"nan", "3"},
                                                                                   {"1", "inf"},
                                                                                   {"x", "3"}}) {
        EXPECT_FALSE(MobilePositionDatagram(Req("/", {{"gpslat", lat}, {"gpslong", lon}})))
            << lat << " " << lon;
        const std::string line =
            "\xFA\xCF"
            "GPS:Roamer:GPS:B00000:" +
            lat + ":" + lon + ":::0:::9990&";
        EXPECT_FALSE(ParseServerLine(line)) << lat << " " << lon;
    }
    EXPECT_TRUE(MobilePositionDatagram(Req("/", {{"gpslat", "-90"}, {"gpslong", "180"}})));
}

TEST(AreaOf, SizedByTheViewAltitude) {
    const auto a = AreaOf(Req("/", {{"lat", "50"}, {"lon", "10"}, {"alt", "111.12"}}));
    ASSERT_TRUE(a);
    const double r = 111.12 * 1.3 / 1.852 / 60;  // 1.3 degrees
    EXPECT_DOUBLE_EQ(a->south, 50 - r);
    EXPECT_DOUBLE_EQ(a->north, 50 + r);
    EXPECT_DOUBLE_EQ(a->west, 10 - 1.3 * r);
    EXPECT_DOUBLE_EQ(a->east, 10 + 1.3 * r);
    EXPECT_FALSE(AreaOf(Req("/", {{"lon", "10"}, {"alt", "5"}})));
    EXPECT_FALSE(AreaOf(Req("/", {{"lat", "abc"}, {"lon", "10"}, {"alt", "5"}})));
    EXPECT_FALSE(AreaOf(Req("/", {{"lat", "50"}, {"lon", "10"}, {"alt", "nan"}})));
    EXPECT_FALSE(AreaOf(Req("/", {{"lat", "50"}, {"lon", "10"}})));
}

class FlightListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Tflight& a = PlaceTarget(*table, 0, "3C6586");
        a.flightid = "DLH4AB  ";
        a.reg = "DAIRA";
        a.icaotype = "A321";
        a.lat = "50.1";
        a.lon = "10.2";
        a.latf = 50.1f;
        a.lonf = 10.2f;
        a.altlabel = "F350";
        a.track3 = "271";
        a.gs4 = " 450";
        a.vratecode = " -12";
        a.squawk = "1000";
        a.route = "EDDH-EDDF";
        a.box = "0000";
        Tflight& b = PlaceTarget(*table, 5, "4B1234");  // far away, from unit 1234
        b.lat = "60.0";
        b.lon = "20.0";
        b.latf = 60.0f;
        b.lonf = 20.0f;
        b.box = "1234";
        Tflight& c = PlaceTarget(*table, 9, "ABCDEF");  // no position
        c.nopos = true;
        c.box = "1234";
    }
    std::unique_ptr<FlightTable> table = NewTable();
    DataServerOptions options{1, false, "pw"};
};

TEST_F(FlightListTest, LineHoldsTheThirteenFieldsInOrder) {
    const std::string list = BuildFlightList(*table, Req("/req=pw", {{"serial", "0000"}}), options);
    EXPECT_EQ(list, "DLH4AB:DAIRA:A321:3C6586:50.1:10.2:F350:271: 450:-12:1000:EDDH-EDDF:0000\n");
}

TEST_F(FlightListTest, NoPositionFlightsOnlyOnRequestAndRegardlessOfTheArea) {
    const Query area = {{"lat", "50"}, {"lon", "10"}, {"alt", "100"}};
    EXPECT_EQ(BuildFlightList(*table, Req("/", area), options).find("ABCDEF"), std::string::npos);
    Query withnopos = area;
    withnopos.emplace_back("nopos", "1");
    const std::string list = BuildFlightList(*table, Req("/", withnopos), options);
    EXPECT_NE(list.find(":3C6586:"), std::string::npos);
    EXPECT_NE(list.find(":ABCDEF:"), std::string::npos);
    EXPECT_EQ(list.find(":4B1234:"), std::string::npos);  // outside the area
}

TEST_F(FlightListTest, SerialSelectsTheReportingUnit) {
    const std::string list =
        BuildFlightList(*table, Req("/", {{"serial", "1234"}, {"nopos", "1"}}), options);
    EXPECT_EQ(list, ":::4B1234:60.0:20.0:::::::1234\n:::ABCDEF:::::::::1234\n");
}

TEST_F(FlightListTest, SerialIsComparedWithoutCase) {
    table->flights[5].box = "AB12";
    EXPECT_EQ(BuildFlightList(*table, Req("/", {{"serial", "AB12"}}), options),
              ":::4B1234:60.0:20.0:::::::AB12\n");
}

// Texts from outside can't add fields or lines: the list's own separators are left out.
TEST_F(FlightListTest, FieldsNeverCarryTheSeparatorsOfTheList) {
    table->flights[0].flightid = "X\nMSG";
    table->flights[0].reg = "D:AIRA";
    table->flights[0].route = "EDDH\r\nEDDF";
    const std::string list = BuildFlightList(*table, Req("/req=pw", {{"serial", "0000"}}), options);
    EXPECT_EQ(list, "XMSG:DAIRA:A321:3C6586:50.1:10.2:F350:271: 450:-12:1000:EDDHEDDF:0000\n");
}

TEST_F(FlightListTest, InactiveAndDeletedSlotsAreSkipped) {
    table->flights[0].state = 0;
    table->flights[5].deleted = true;
    EXPECT_EQ(BuildFlightList(*table, Req("/", {}), options), "");
}

TEST_F(FlightListTest, UpdatesOnlyGivesEachUpdateToWhoeverAsksFirst) {
    options.updatesonly = true;
    EXPECT_NE(BuildFlightList(*table, Req("/", {}), options), "");
    EXPECT_FALSE(table->flights[0].freshhttp1);
    EXPECT_TRUE(table->flights[0].freshhttp2);  // the other server's mark is its own
    EXPECT_EQ(AnswerDataRequest(*table, Req("/req=pw", {}), options), "nosend");
    table->flights[0].freshhttp1 = true;  // the core applies a report
    EXPECT_EQ(AnswerDataRequest(*table, Req("/req=pw", {}), options).find("3C6586"), 18u);
    options.server = 2;
    EXPECT_NE(AnswerDataRequest(*table, Req("/req=pw", {}), options), "nosend");
    EXPECT_FALSE(table->flights[0].freshhttp2);
}

TEST_F(FlightListTest, WrongPasswordOrNosendGetsNosend) {
    EXPECT_EQ(AnswerDataRequest(*table, Req("/req=px", {}), options), "nosend");
    EXPECT_EQ(AnswerDataRequest(*table, Req("/", {}), options), "nosend");
    EXPECT_EQ(AnswerDataRequest(*table, Req("/req=pw", {{"nosend", "1"}}), options), "nosend");
    EXPECT_TRUE(table->flights[0].freshhttp1);  // nothing was taken
    EXPECT_NE(AnswerDataRequest(*table, Req("/req=pw", {{"nosend", "0"}}), options), "nosend");
    options.serverpwd.clear();
    EXPECT_NE(AnswerDataRequest(*table, Req("/req=", {}), options), "nosend");
}

}  // namespace
}  // namespace aerova
