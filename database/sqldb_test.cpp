#include "database/sqldb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "base/files.h"
#include "database/test_support.h"

namespace aerova {

void PrintTo(const TSQLIdentity& id, std::ostream* os) {
    *os << "{found=" << id.found << " aircraftid=" << id.aircraftid << " registration=\""
        << id.registration << "\" icaotype=\"" << id.icaotype << "\"}";
}

namespace {

using testing::Connection;
using testing::CreateDatabaseFromSchema;
using testing::TempDir;

class AircraftDatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.File("basestation.sqb");
        ASSERT_TRUE(CreateDatabaseFromSchema(path));
        other = std::make_unique<Connection>(path);
    }
    bool Open(TSQLOptions options = {}) {
        db.SetOptions(options);
        return db.OpenAircraftDatabase(path);
    }
    std::string Count() { return other->Scalar("SELECT count(*) FROM aircraft"); }

    TempDir dir;
    std::string path;
    std::unique_ptr<Connection> other;
    AircraftDatabase db;
    TSQLIdentity identity;
    bool mark = true;
};

TEST(DatabaseTimestampTest, QuotedWithMilliseconds) {
    EXPECT_EQ(DatabaseTimestamp(EncodeDateTime(2024, 3, 5, 7, 8, 9, 123)),
              "\"2024-03-05 07:08:09.123\"");
    EXPECT_EQ(DatabaseTimestamp(EncodeDateTime(1999, 12, 31, 23, 59, 59, 4)),
              "\"1999-12-31 23:59:59.004\"");
}

TEST(AircraftDatabaseOpenTest, MissingFileIsNotCreated) {
    TempDir dir;
    AircraftDatabase db;
    const std::string path = dir.File("basestation.sqb");
    EXPECT_FALSE(db.OpenAircraftDatabase(path));
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(FileExists(path));
    TSQLIdentity identity;
    bool mark = true;
    EXPECT_EQ(
        db.IdentifyAircraft("3C1234", "\"2024-01-01 00:00:00.000\"", "Germany", identity, mark),
        Identification::kFailed);
    EXPECT_EQ(identity.aircraftid, -1);
    EXPECT_FALSE(mark);
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(db.CloseAircraftDatabase());
}

TEST(AircraftDatabaseOpenTest, CorruptFileFailsEveryLookupAndIsLeftAlone) {
    TempDir dir;
    const std::string junk(4096, 'J');
    dir.Write("basestation.sqb", junk);
    AircraftDatabase db;
    // SQLite reads the file lazily, so opening succeeds; every statement then fails.
    ASSERT_TRUE(db.OpenAircraftDatabase(dir.File("basestation.sqb")));
    TSQLIdentity identity;
    bool mark = true;
    EXPECT_EQ(
        db.IdentifyAircraft("3C1234", "\"2024-01-01 00:00:00.000\"", "Germany", identity, mark),
        Identification::kFailed);
    EXPECT_FALSE(identity.found);
    EXPECT_EQ(identity.aircraftid, -1);
    EXPECT_FALSE(mark);  // a failing lookup queues nothing
    EXPECT_EQ(db.queuedAircraft(), 0u);
    TSQLAircraft row;
    EXPECT_FALSE(db.ReadAircraftRow("3C1234", row));
    EXPECT_TRUE(db.CloseAircraftDatabase());
    std::string after;
    ASSERT_TRUE(ReadWholeFile(dir.File("basestation.sqb"), after));
    EXPECT_EQ(after, junk);
}

TEST_F(AircraftDatabaseTest, KnownAircraftGivesIdRegistrationAndTypeWithoutInsert) {
    const long long id = other->AddAircraft("3C6444", "D-AIBD", "A319");
    ASSERT_TRUE(Open());
    EXPECT_EQ(
        db.IdentifyAircraft("3C6444", "\"2024-01-01 00:00:00.000\"", "Germany", identity, mark),
        Identification::kKnown);
    EXPECT_TRUE(identity.found);
    EXPECT_EQ(identity.aircraftid, id);
    EXPECT_EQ(identity.registration, "DAIBD");
    EXPECT_EQ(identity.icaotype, "A319");
    EXPECT_FALSE(mark);
    EXPECT_EQ(db.queuedAircraft(), 0u);
    EXPECT_EQ(Count(), "1");
}

struct RegistrationCase {
    const char* column6;
    const char* column13;
    bool regnohyphen;
    const char* registration;
    const char* icaotype;
};

class RegistrationRuleTest : public AircraftDatabaseTest,
                             public ::testing::WithParamInterface<RegistrationCase> {};

TEST_P(RegistrationRuleTest, RegistrationAndType) {
    const RegistrationCase& c = GetParam();
    other->AddAircraft("4CA123", c.column6, c.column13);
    ASSERT_TRUE(Open({.regnohyphen = c.regnohyphen}));
    ASSERT_EQ(
        db.IdentifyAircraft("4CA123", "\"2024-01-01 00:00:00.000\"", "Ireland", identity, mark),
        Identification::kKnown);
    EXPECT_EQ(identity.registration, c.registration);
    EXPECT_EQ(identity.icaotype, c.icaotype);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistrationRuleTest,
    ::testing::Values(
        RegistrationCase{"D-ABCD (A320)", "", true, "DABCD", "A320"},
        // Without regnohyphen the blank before the parenthesis stays.
        RegistrationCase{"D-ABCD (A320)", "", false, "D-ABCD ", "A320"},
        RegistrationCase{"G-EZAB", "A319", true, "GEZAB", "A319"},
        RegistrationCase{"G-EZAB", "A319", false, "G-EZAB", "A319"},
        RegistrationCase{" EI-DEA ", "", true, "EIDEA", ""},
        // The type column wins over the parenthesis; the parenthesis is trimmed, upper-cased.
        RegistrationCase{"D-ABCD (A320)", "B738", true, "DABCD", "B738"},
        RegistrationCase{"D-ABCD ( a20n )", "", true, "DABCD", "A20N"},
        RegistrationCase{"D-ABCD (A320", "", true, "DABCD", ""},
        RegistrationCase{"X (ABCDEFGHIJKLMN)", "", true, "X", "ABCDEFGHIJ"},
        // Cut to 20 before the hyphens are removed.
        RegistrationCase{"N-1234567890123456789012 (B744)", "", true, "N123456789012345678",
                         "B744"},
        RegistrationCase{"N-1234567890123456789012", "", true, "N1234567890123456789", ""},
        // The type is looked for only in the 32 characters after the "(".
        RegistrationCase{"Z (12345678901234567890123456789012)", "", true, "Z", ""},
        RegistrationCase{"", "", true, "", ""}));

class InsertTest : public AircraftDatabaseTest, public ::testing::WithParamInterface<bool> {};

TEST_P(InsertTest, UnknownAircraftGetsNewRowWithEqualTimestamps) {
    const bool createtextlog = GetParam();
    other->AddAircraft("3C0001", "D-AAAA", "");
    other->AddAircraft("3C0002", "D-AAAB", "");
    ASSERT_TRUE(Open({.createtextlog = createtextlog}));
    const std::string stamp = DatabaseTimestamp(EncodeDateTime(2024, 6, 1, 12, 30, 45, 678));
    EXPECT_EQ(db.IdentifyAircraft("400F01", stamp, "United Kingdom", identity, mark),
              Identification::kQueued);
    EXPECT_FALSE(identity.found);
    EXPECT_EQ(mark, createtextlog);
    EXPECT_EQ(Count(), "2") << "entered with the tick's commit, not at once";
    // Seen again before the commit: queued once.
    EXPECT_EQ(db.IdentifyAircraft("400F01", stamp, "United Kingdom", identity, mark),
              Identification::kQueued);
    const std::vector<EnteredAircraft> entered = db.CommitNewAircraft();
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered[0].modes, "400F01");
    EXPECT_EQ(entered[0].aircraftid, 3);
    EXPECT_EQ(db.queuedAircraft(), 0u);
    EXPECT_EQ(other->Scalar("SELECT aircraftid FROM aircraft WHERE modes=?1", {"400F01"}), "3");
    EXPECT_EQ(other->Scalar("SELECT firstcreated FROM aircraft WHERE modes=?1", {"400F01"}),
              "2024-06-01 12:30:45.678");
    EXPECT_EQ(other->Scalar("SELECT lastmodified FROM aircraft WHERE modes=?1", {"400F01"}),
              "2024-06-01 12:30:45.678");
    EXPECT_EQ(other->Scalar("SELECT modescountry FROM aircraft WHERE modes=?1", {"400F01"}),
              "United Kingdom");

    // The next sighting finds the row it made.
    EXPECT_EQ(db.IdentifyAircraft("400F01", stamp, "United Kingdom", identity, mark),
              Identification::kKnown);
    EXPECT_EQ(identity.aircraftid, 3);
    EXPECT_FALSE(mark);
    EXPECT_EQ(Count(), "3");
}

INSTANTIATE_TEST_SUITE_P(TextLog, InsertTest, ::testing::Bool());

TEST_F(AircraftDatabaseTest, InsertingOffLeavesUnknownAircraftUnknown) {
    ASSERT_TRUE(Open({.createsql = false}));
    EXPECT_EQ(db.IdentifyAircraft("400F01", "\"2024-01-01 00:00:00.000\"", "United Kingdom",
                                  identity, mark),
              Identification::kUnknown);
    EXPECT_FALSE(identity.found);
    EXPECT_EQ(identity.aircraftid, -1);
    EXPECT_FALSE(mark);
    EXPECT_TRUE(db.CommitNewAircraft().empty());
    EXPECT_EQ(Count(), "0");
}

TEST_F(AircraftDatabaseTest, AddressesWithSqlTextAreLiteralValues) {
    other->AddAircraft("3C6444", "D-AIBD", "A319");
    ASSERT_TRUE(Open());
    const char* hostile[] = {"\" OR \"1\"=\"1", "' OR 1=1 --", "3C\"; DROP TABLE aircraft; --",
                             "\"); DELETE FROM aircraft; --"};
    for (const char* modes : hostile) {
        SCOPED_TRACE(modes);
        ASSERT_EQ(db.IdentifyAircraft(modes, "\"2024-01-01 00:00:00.000\"", "x\"y", identity, mark),
                  Identification::kQueued);  // the existing aircraft was not matched
    }
    EXPECT_EQ(db.CommitNewAircraft().size(), 4u);
    for (const char* modes : hostile)
        EXPECT_EQ(other->Scalar("SELECT modescountry FROM aircraft WHERE modes=?1", {modes}),
                  "x\"y");
    EXPECT_EQ(Count(), "5");
    EXPECT_EQ(other->Scalar("SELECT registration FROM aircraft WHERE modes=?1", {"3C6444"}),
              "D-AIBD");
}

// Another program's write lock: the tick's commit waits at most the busy time-out, enters
// nothing and keeps the queue; the next commit after the lock is gone enters it.
TEST_F(AircraftDatabaseTest, WriteLockKeepsTheQueueForTheNextCommit) {
    ASSERT_TRUE(Open());
    ASSERT_EQ(other->Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    EXPECT_EQ(db.IdentifyAircraft("400F01", "\"2024-01-01 00:00:00.000\"", "United Kingdom",
                                  identity, mark),
              Identification::kQueued);
    EXPECT_TRUE(mark);
    EXPECT_TRUE(db.CommitNewAircraft().empty());
    EXPECT_EQ(db.queuedAircraft(), 1u);
    ASSERT_EQ(other->Exec("COMMIT"), SQLITE_OK);
    EXPECT_EQ(Count(), "0");
    const auto entered = db.CommitNewAircraft();
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered[0].aircraftid, 1);
    EXPECT_EQ(Count(), "1");
}

// Closing the database enters what is still queued.
TEST_F(AircraftDatabaseTest, CloseEntersTheQueuedAircraft) {
    ASSERT_TRUE(Open());
    db.IdentifyAircraft("400F01", "\"2024-01-01 00:00:00.000\"", "United Kingdom", identity, mark);
    EXPECT_TRUE(db.CloseAircraftDatabase());
    EXPECT_EQ(Count(), "1");
}

TEST_F(AircraftDatabaseTest, ExclusiveLockFailsTheLookupAndNoInsertIsTried) {
    other->AddAircraft("3C6444", "D-AIBD", "A319");
    ASSERT_TRUE(Open());
    ASSERT_EQ(other->Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    EXPECT_EQ(
        db.IdentifyAircraft("3C6444", "\"2024-01-01 00:00:00.000\"", "Germany", identity, mark),
        Identification::kFailed);
    EXPECT_EQ(identity.aircraftid, -1);
    EXPECT_FALSE(mark);
    EXPECT_EQ(db.queuedAircraft(), 0u);
    ASSERT_EQ(other->Exec("COMMIT"), SQLITE_OK);
    // The lock gone, the same connection works again.
    EXPECT_EQ(
        db.IdentifyAircraft("3C6444", "\"2024-01-01 00:00:00.000\"", "Germany", identity, mark),
        Identification::kKnown);
    EXPECT_EQ(identity.registration, "DAIBD");
}

TEST_F(AircraftDatabaseTest, ReadAircraftRowCopiesAllColumnsNullAsEmpty) {
    const long long id = other->AddAircraft("3C6444", "D-AIBD", "A319");
    ASSERT_EQ(other->Exec("UPDATE aircraft SET firstcreated='2020-01-02 03:04:05.006', "
                          "usernotes='seen at HAM', userstring5='s5', userint5=42"),
              SQLITE_OK);
    ASSERT_TRUE(Open());
    TSQLAircraft row;
    ASSERT_TRUE(db.ReadAircraftRow("3C6444", row));
    EXPECT_TRUE(row.found);
    EXPECT_EQ(row.columns[0], std::to_string(id));
    EXPECT_EQ(row.columns[1], "2020-01-02 03:04:05.006");
    EXPECT_EQ(row.columns[3], "3C6444");
    EXPECT_EQ(row.columns[4], "");  // NULL
    EXPECT_EQ(row.columns[6], "D-AIBD");
    EXPECT_EQ(row.columns[13], "A319");
    EXPECT_EQ(row.columns[27], "seen at HAM");
    EXPECT_EQ(row.columns[28], "0");
    EXPECT_EQ(row.columns[38], "s5");
    EXPECT_EQ(row.columns[43], "0");
    EXPECT_EQ(row.columns[48], "42");

    EXPECT_FALSE(db.ReadAircraftRow("3C6445", row));
    EXPECT_FALSE(row.found);
    EXPECT_EQ(row.columns[6], "");
}

TEST(AircraftDatabaseShapeTest, NarrowTableLeavesLaterColumnsEmptyWideTableIsCut) {
    TempDir dir;
    const std::string path = dir.File("narrow.sqb");
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw,
                               "CREATE TABLE aircraft (aircraftid integer primary key, a, b, "
                               "modes, c, d, registration);"
                               "INSERT INTO aircraft VALUES (NULL,1,2,'AAAAAA',4,5,'N1');"
                               "INSERT INTO aircraft VALUES (NULL,1,2,'BBBBBB',4,5,'N2');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    AircraftDatabase db;
    ASSERT_TRUE(db.OpenAircraftDatabase(path));
    TSQLAircraft row;
    ASSERT_TRUE(db.ReadAircraftRow("AAAAAA", row));
    EXPECT_EQ(row.columns[6], "N1");
    EXPECT_EQ(row.columns[13], "");
    TSQLIdentity identity;
    bool mark = false;
    ASSERT_EQ(db.IdentifyAircraft("BBBBBB", "\"x\"", "", identity, mark), Identification::kKnown);
    EXPECT_EQ(identity.registration, "N2");
    EXPECT_EQ(identity.icaotype, "");
}

TEST_F(AircraftDatabaseTest, CloseEndsAllAccess) {
    ASSERT_TRUE(Open());
    EXPECT_TRUE(db.isOpen());
    EXPECT_TRUE(db.CloseAircraftDatabase());
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(db.IdentifyAircraft("400F01", "\"2024-01-01 00:00:00.000\"", "United Kingdom",
                                  identity, mark),
              Identification::kFailed);
    EXPECT_FALSE(mark);
    EXPECT_EQ(Count(), "0");
    // Opening again after a close works.
    EXPECT_TRUE(db.OpenAircraftDatabase(path));
}

}  // namespace
}  // namespace aerova
