#include "database/identify_target.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "database/test_support.h"

namespace aerova {
namespace {

class IdentifyNewTargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.File("basestation.sqb");
        ASSERT_TRUE(testing::CreateDatabaseFromSchema(path));
        testing::Connection(path).AddAircraft("3C6444", "D-AIBD (A319neo)", "");
        countries.LoadCountries(std::string(AEROVA_DATABASE_DIR) + "/countries.dat");
        flight.modes = "3C6444";
    }
    testing::TempDir dir;
    std::string path;
    AircraftDatabase db;
    CountryTable countries;
    Tflight flight;
    DayTime now = EncodeDateTime(2024, 6, 3, 10, 0, 0, 0);
};

TEST_F(IdentifyNewTargetTest, KnownAircraftFillsTheFlight) {
    ASSERT_TRUE(db.OpenAircraftDatabase(path));
    EXPECT_EQ(IdentifyNewTarget(db, countries, flight, now), "Germany");
    EXPECT_EQ(flight.dbid, 1);
    EXPECT_EQ(flight.reg, "DAIBD");
    EXPECT_EQ(flight.icaotype, "A319NE");  // the flight keeps 6 characters of the type
    EXPECT_FALSE(flight.indb);
    EXPECT_TRUE(flight.sqlaircraft.found);
    EXPECT_EQ(flight.sqlaircraft.columns[6], "D-AIBD (A319neo)");
}

// An unknown aircraft is marked at once and gets its id and row with the tick's commit.
TEST_F(IdentifyNewTargetTest, UnknownAircraftIsEnteredAndMarked) {
    ASSERT_TRUE(db.OpenAircraftDatabase(path));
    auto table = std::make_unique<FlightTable>();
    Tflight& f = table->flights[4];
    f.deleted = f.free = false;
    f.modes = "4CA2D1";
    EXPECT_EQ(IdentifyNewTarget(db, countries, f, now), "Ireland");
    EXPECT_EQ(f.dbid, -1);
    EXPECT_EQ(f.reg, "");
    EXPECT_TRUE(f.indb);
    const std::vector<EnteredAircraft> entered = db.CommitNewAircraft();
    ASSERT_EQ(entered.size(), 1u);
    std::vector<TSQLAircraft> rows(1);
    db.ReadAircraftRow("4CA2D1", rows[0]);
    ApplyEnteredAircraft(*table, entered, rows);
    EXPECT_EQ(f.dbid, 2);
    EXPECT_TRUE(f.sqlaircraft.found);
    EXPECT_EQ(f.sqlaircraft.columns[1], "2024-06-03 10:00:00.000");
    EXPECT_EQ(f.sqlaircraft.columns[4], "Ireland");
}

// A busy database is no answer: the target keeps what it had.
TEST_F(IdentifyNewTargetTest, BusyDatabaseKeepsTheLastGoodIdentity) {
    ASSERT_TRUE(db.OpenAircraftDatabase(path));
    testing::Connection other(path);
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), 0);
    flight.reg = "DAIBD";
    flight.icaotype = "A319";
    IdentifyNewTarget(db, countries, flight, now);
    EXPECT_EQ(flight.reg, "DAIBD");
    EXPECT_EQ(flight.icaotype, "A319");
    EXPECT_EQ(flight.dbid, -1);
    other.Exec("COMMIT");
}

TEST_F(IdentifyNewTargetTest, FailedIdentificationClearsTheFlight) {
    db.SetOptions({.createsql = false});
    ASSERT_TRUE(db.OpenAircraftDatabase(path));
    flight.modes = "4CA2D1";
    flight.dbid = 7;
    flight.reg = "OLD";
    flight.icaotype = "B738";
    EXPECT_EQ(IdentifyNewTarget(db, countries, flight, now), "Ireland");
    EXPECT_EQ(flight.dbid, -1);
    EXPECT_EQ(flight.reg, "");
    EXPECT_EQ(flight.icaotype, "");
    EXPECT_FALSE(flight.sqlaircraft.found);
}

TEST_F(IdentifyNewTargetTest, ClosedDatabaseDoesNothing) {
    flight.dbid = 0;
    EXPECT_EQ(IdentifyNewTarget(db, countries, flight, now), "");
    EXPECT_EQ(flight.dbid, 0);
    EXPECT_FALSE(flight.sqlaircraft.found);
}

TEST(AircraftDatabasePathTest, DirectoryDefaultsToTheProgramDirectory) {
    EXPECT_EQ(AircraftDatabasePath("/opt/aerova", "", "basestation.sqb"),
              "/opt/aerova/basestation.sqb");
    EXPECT_EQ(AircraftDatabasePath("/opt/aerova", "/data/sbs", "basestation.sqb"),
              "/data/sbs/basestation.sqb");
}

}  // namespace
}  // namespace aerova
