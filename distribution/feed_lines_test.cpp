#include "distribution/feed_lines.h"

#include <gtest/gtest.h>

#include <vector>

#include "distribution/test_flights.h"

namespace aerova {
namespace {

using testing::NewTable;
using testing::PlaceTarget;

const DayTime kNoon = EncodeDateTime(2024, 3, 5, 7, 8, 9, 999);

struct Recorder {
    std::vector<std::string> writes;
    bool fail = false;
    FeedWriter writer() {
        return [this](std::string_view batch) {
            writes.emplace_back(batch);
            return !fail;
        };
    }
};

FeedContext Context(bool databaseopen = false) {
    FeedContext c;
    c.session = databaseopen ? "-1" : "42";
    c.databaseopen = databaseopen;
    c.utcnow = kNoon;
    return c;
}

Tflight& FullTarget(FlightTable& table, int slot) {
    Tflight& f = PlaceTarget(table, slot, "3C6586");
    f.flightid = "DLH4AB  ";
    f.box = "0000";
    f.gs = "450.5";
    f.track = "271.3";
    f.lat = "53.55123";
    f.lon = "9.99321";
    f.vrate = "-12";
    f.squawk = "7700E";
    f.status = "101001100";
    f.ground = "0";
    return f;
}

TEST(FeedDateTime, WholeSecondsWithSlashesAndColons) {
    EXPECT_EQ(FeedDateTime(kNoon), "2024/03/05,07:08:09");
    EXPECT_EQ(FeedDateTime(EncodeDateTime(2023, 12, 31, 23, 59, 59, 0)), "2023/12/31,23:59:59");
}

TEST(SendFeed, MessageLineHasEveryFieldInPlace) {
    auto table = NewTable();
    FullTarget(*table, 17);
    Recorder rec;
    const FeedResult r = SendFeed(*table, Context(), rec.writer());
    ASSERT_EQ(rec.writes.size(), 1u);
    EXPECT_EQ(rec.writes[0],
              "MSG,3,17,42,3C6586,17,2024/03/05,07:08:09,2024/03/05,07:08:09,DLH4AB  ,0000,"
              "450.5,271.3,53.55123,9.99321,-12,7700E,0,1,1,0\r\n");
    EXPECT_EQ(r.targets, 1);
    EXPECT_EQ(r.writes, 1);
    EXPECT_FALSE(table->flights[17].fresh);
}

// A text from outside can't forge a feed line: commas and line ends stay out of its field.
TEST(SendFeed, FieldsNeverCarryCommasOrLineEnds) {
    auto table = NewTable();
    Tflight& f = FullTarget(*table, 17);
    f.flightid = "X\r\nMSG,9";
    f.squawk = "77,00";
    f.announceid = true;
    Recorder rec;
    SendFeed(*table, Context(), rec.writer());
    ASSERT_EQ(rec.writes.size(), 1u);
    EXPECT_EQ(rec.writes[0],
              "ID,,42,17,3C6586,17,2024/03/05,07:08:09,2024/03/05,07:08:09,XMSG9\r\n"
              "MSG,3,17,42,3C6586,17,2024/03/05,07:08:09,2024/03/05,07:08:09,XMSG9,0000,"
              "450.5,271.3,53.55123,9.99321,-12,7700,0,1,1,0\r\n");
}

TEST(SendFeed, NewAndSelectedTargetGivesAirThenSelThenMsg) {
    auto table = NewTable();
    Tflight& f = FullTarget(*table, 3);
    f.announceair = true;
    f.announcesel = true;
    Recorder rec;
    SendFeed(*table, Context(), rec.writer());
    ASSERT_EQ(rec.writes.size(), 1u);
    const std::string dt = "2024/03/05,07:08:09,2024/03/05,07:08:09";
    EXPECT_EQ(rec.writes[0],
              "AIR,,42,3,3C6586,3," + dt + "\r\n" + "SEL,,42,3,3C6586,3," + dt + ",DLH4AB  \r\n" +
                  "MSG,3,3,42,3C6586,3," + dt +
                  ",DLH4AB  ,0000,450.5,271.3,53.55123,9.99321,-12,7700E,0,1,1,0\r\n");
    EXPECT_FALSE(f.announceair);
    EXPECT_FALSE(f.announcesel);
}

TEST(SendFeed, CallSignChangeGivesIdLineWithTheNewCallSignBeforeMsg) {
    auto table = NewTable();
    Tflight& f = FullTarget(*table, 0);
    f.flightid = "BAW12";
    f.announceid = true;
    Recorder rec;
    SendFeed(*table, Context(), rec.writer());
    ASSERT_EQ(rec.writes.size(), 1u);
    EXPECT_EQ(rec.writes[0].substr(0, rec.writes[0].find("\r\n")),
              "ID,,42,0,3C6586,0,2024/03/05,07:08:09,2024/03/05,07:08:09,BAW12");
    EXPECT_NE(rec.writes[0].find("\r\nMSG,3,0,42,3C6586,0,"), std::string::npos);
    EXPECT_FALSE(f.announceid);
}

TEST(SendFeed, AircraftIdIsSlotWithDatabaseClosedAndDbidWhileOpen) {
    struct Case {
        bool databaseopen;
        std::int64_t dbid;
        std::string prefix;
    } cases[] = {
        {false, -1, "MSG,3,17,42,3C6586,17,"},
        {true, -1, "MSG,3,-1,-1,3C6586,17,"},
        {true, 5123, "MSG,3,5123,-1,3C6586,17,"},
    };
    for (const Case& c : cases) {
        auto table = NewTable();
        FullTarget(*table, 17).dbid = c.dbid;
        table->flights[17].announceair = true;
        Recorder rec;
        SendFeed(*table, Context(c.databaseopen), rec.writer());
        ASSERT_EQ(rec.writes.size(), 1u);
        EXPECT_NE(rec.writes[0].find("\r\n" + c.prefix), std::string::npos) << rec.writes[0];
        const std::string air = c.databaseopen ? "AIR,,-1," + std::to_string(c.dbid) + ",3C6586,17,"
                                               : "AIR,,42,17,3C6586,17,";
        EXPECT_EQ(rec.writes[0].rfind(air, 0), 0u) << rec.writes[0];
    }
}

TEST(SendFeed, OnlyLiveActivePositionedTargetsWithAMarkAreFed) {
    auto table = NewTable();
    PlaceTarget(*table, 0, "000001");                 // fed
    PlaceTarget(*table, 1, "000002").nopos = true;    // no position: waits
    PlaceTarget(*table, 2, "000003").state = 0;       // inactive
    PlaceTarget(*table, 3, "000004").deleted = true;  // deleted
    PlaceTarget(*table, 4, "000005").fresh = false;   // nothing new
    Tflight& air = PlaceTarget(*table, 5, "000006");
    air.fresh = false;
    air.announceair = true;  // an announcement alone qualifies
    table->flights[1].announceair = true;
    Recorder rec;
    const FeedResult r = SendFeed(*table, Context(), rec.writer());
    EXPECT_EQ(r.targets, 2);
    ASSERT_EQ(rec.writes.size(), 1u);
    EXPECT_NE(rec.writes[0].find(",000001,"), std::string::npos);
    EXPECT_NE(rec.writes[0].find("AIR,,42,5,000006,5,"), std::string::npos);
    EXPECT_EQ(rec.writes[0].find("000002"), std::string::npos);
    EXPECT_TRUE(table->flights[1].announceair);  // kept until it has a position
    EXPECT_TRUE(table->flights[1].fresh);
}

TEST(SendFeed, WritesFiftyTargetsAtATime) {
    auto table = NewTable();
    for (int i = 0; i < 120; ++i) PlaceTarget(*table, i * 10, "ABC" + std::to_string(100 + i));
    Recorder rec;
    const FeedResult r = SendFeed(*table, Context(), rec.writer());
    EXPECT_EQ(r.targets, 120);
    ASSERT_EQ(rec.writes.size(), 3u);
    auto lines = [](const std::string& s) {
        int n = 0;
        for (std::size_t p = 0; (p = s.find("MSG,3,", p)) != std::string::npos; ++p) ++n;
        return n;
    };
    EXPECT_EQ(lines(rec.writes[0]), 50);
    EXPECT_EQ(lines(rec.writes[1]), 50);
    EXPECT_EQ(lines(rec.writes[2]), 20);
    EXPECT_EQ(rec.writes[1].rfind("MSG,3,500,", 0), 0u);  // slot order
}

TEST(SendFeed, ExactlyFiftyTargetsMakeOneWrite) {
    auto table = NewTable();
    for (int i = 0; i < 50; ++i) PlaceTarget(*table, i, "ABC" + std::to_string(100 + i));
    Recorder rec;
    EXPECT_EQ(SendFeed(*table, Context(), rec.writer()).writes, 1);
    EXPECT_EQ(rec.writes.size(), 1u);
}

TEST(SendFeed, FailedWriteDropsTheBatchAndLeavesLaterTargetsMarked) {
    auto table = NewTable();
    for (int i = 0; i < 120; ++i) {
        PlaceTarget(*table, i, "ABC" + std::to_string(100 + i)).announceair = true;
    }
    Recorder rec;
    rec.fail = true;
    const FeedResult r = SendFeed(*table, Context(), rec.writer());
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(rec.writes.size(), 1u);
    // The first batch's marks are gone with it; the rest wait for the next client.
    EXPECT_FALSE(table->flights[49].announceair);
    EXPECT_FALSE(table->flights[49].fresh);
    EXPECT_TRUE(table->flights[50].announceair);
    EXPECT_TRUE(table->flights[50].fresh);
}

TEST(SendFeed, EmptyStatusLeavesTheFlagFieldsEmpty) {
    auto table = NewTable();
    PlaceTarget(*table, 9, "4B1234");
    Recorder rec;
    SendFeed(*table, Context(), rec.writer());
    ASSERT_EQ(rec.writes.size(), 1u);
    EXPECT_EQ(rec.writes[0],
              "MSG,3,9,42,4B1234,9,2024/03/05,07:08:09,2024/03/05,07:08:09,,,,,,,,,,,,\r\n");
}

TEST(SendFeed, NothingQualifiesNothingWritten) {
    auto table = NewTable();
    Recorder rec;
    const FeedResult r = SendFeed(*table, Context(), rec.writer());
    EXPECT_EQ(r.writes, 0);
    EXPECT_TRUE(rec.writes.empty());
}

}  // namespace
}  // namespace aerova
