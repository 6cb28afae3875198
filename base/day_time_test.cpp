#include "base/day_time.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(DayTimeTest, EpochAndKnownDates) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
    EXPECT_EQ(EncodeDate(2000, 2, 29), 36585.0);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 9)), 4);  // a Wednesday
    const DateParts d = DecodeDate(EncodeDate(2024, 12, 31) + 0.75);
    EXPECT_EQ(d.year, 2024);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.day, 31);
}

TEST(DayTimeTest, FormatsTheStationsPatterns) {
    const DayTime t = EncodeDateTime(2026, 3, 7, 9, 5, 4, 32);
    struct Case {
        const char* format;
        const char* expected;
    } cases[] = {
        {"yyyymmdd", "20260307"},     {"hh:nn:ss.zzz", "09:05:04.032"},
        {"yyyy/mm/dd", "2026/03/07"}, {"yyyymmdd-hhnnss", "20260307-090504"},
        {"d.m.yy", "7.3.26"},         {"\"at\" hh", "at 09"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, t), c.expected) << c.format;
}

TEST(DayTimeTest, RoundsToTheMillisecondAcrossMidnight) {
    const DayTime almost = EncodeDate(2026, 12, 31) + 0.9999999999;
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", almost), "2027/01/01 00:00:00.000");
}

}  // namespace
}  // namespace aerova
