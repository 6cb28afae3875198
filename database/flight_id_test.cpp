#include "database/flight_id.h"

#include <gtest/gtest.h>

#include "database/test_support.h"

namespace aerova {
namespace {

struct IdCase {
    const char* text;
    bool ok;
    const char* airline;
    const char* number;
    const char* message;
};

class NormaliseFlightIdTest : public ::testing::TestWithParam<IdCase> {};

TEST_P(NormaliseFlightIdTest, AirlineNumberOrMessage) {
    const IdCase& c = GetParam();
    TFlightStats stats;
    stats.message = "old";
    EXPECT_EQ(NormaliseFlightId(c.text, stats), c.ok);
    EXPECT_EQ(stats.message, c.message);
    if (c.ok) {
        EXPECT_EQ(stats.airline, c.airline);
        EXPECT_EQ(stats.flightnumber, c.number);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormaliseFlightIdTest,
    ::testing::Values(
        IdCase{"DLH123", true, "DLH", "123", ""}, IdCase{"DLH0123", true, "DLH", "123", ""},
        IdCase{"DLH4TK", false, "", "", "Invalid flight number"},
        IdCase{"DLH 12 !", true, "DLH", "12", ""},  // the alert mark of a label is removed
        IdCase{"DLHx12", true, "DLH", "12", ""}, IdCase{"'DLH\"12", true, "DLH", "12", ""},
        IdCase{"GWI123", true, "4U", "123", ""}, IdCase{"CNO456", true, "SAS", "456", ""},
        IdCase{"CLI7", true, "AIS", "7", ""},
        IdCase{"BAW12A", true, "BAW", "12", ""},  // the final letter is dropped for BAW
        IdCase{"BAW12AB", false, "", "", "Invalid flight number"},
        IdCase{"WZZ301Z", true, "WZZ", "301", ""},
        IdCase{"EZY12AB", false, "", "", "Invalid flight number"},
        // A designator with a digit gives it to the number.
        IdCase{"4U1234", true, "4U", "1234", ""}, IdCase{"3L0012", true, "3L", "12", ""},
        IdCase{"U21234", false, "", "", "Airline code missing"},
        IdCase{"&DAIBD", false, "", "", "This is a registration, not a flight id"},
        IdCase{"vFOLLOW1", false, "", "", "Cannot identify vehicles"},
        IdCase{"DLH", false, "", "", "Invalid flight number"},
        IdCase{"DLH000", false, "", "", "Invalid flight number"},
        IdCase{"", false, "", "", "Invalid flight number"}));

TEST(AcarsTableTest, OperatedNumberReplacesTheShownOne) {
    AcarsTable table;
    table.SetText(
        "Lufthansa\t\tLH0123\tLH4567\r\n"
        "easyJet\t\tU20042\tU28001\r\n"
        "cut\t\tLH0999\tL");
    TFlightStats stats;
    ASSERT_TRUE(NormaliseFlightId("DLH123", stats, &table));
    EXPECT_EQ(stats.flightnumber, "4567");
    ASSERT_TRUE(NormaliseFlightId("EZY42", stats, &table));
    EXPECT_EQ(stats.airline, "EZY");
    EXPECT_EQ(stats.flightnumber, "8001");
    ASSERT_TRUE(NormaliseFlightId("DLH124", stats, &table));  // not in the table
    EXPECT_EQ(stats.flightnumber, "124");
    ASSERT_TRUE(NormaliseFlightId("DLH999", stats, &table));  // the file ends too early
    EXPECT_EQ(stats.flightnumber, "999");
    ASSERT_TRUE(NormaliseFlightId("UAE123", stats, &table));  // not in the built-in list
    EXPECT_EQ(stats.flightnumber, "123");
    // Without a loaded table nothing is translated.
    AcarsTable empty;
    ASSERT_TRUE(NormaliseFlightId("DLH123", stats, &empty));
    EXPECT_EQ(stats.flightnumber, "123");
}

TEST(AcarsTableTest, LoadsOnlyAnExistingFile) {
    testing::TempDir dir;
    AcarsTable table;
    EXPECT_FALSE(table.Load(dir.File("alphaid.txt")));
    EXPECT_FALSE(table.loaded());
    dir.Write("alphaid.txt", "x\t\tLH0123\tLH4567\n");
    EXPECT_TRUE(table.Load(dir.File("alphaid.txt")));
    EXPECT_EQ(table.OperatedNumber("LH", "123"), "4567");
}

TEST(IataOfTest, BuiltInList) {
    EXPECT_EQ(IataOf("DLH"), "LH");
    EXPECT_EQ(IataOf("RAE"), "YS");
    EXPECT_EQ(IataOf("GWI"), "4U");
    EXPECT_EQ(IataOf("UAE"), "");
}

}  // namespace
}  // namespace aerova
