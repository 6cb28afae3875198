#pragma once
// Day-number time: whole days since 30 December 1899, the fraction is the time of day.
// Every time the station stores or sends is such a double.

#include <cstdint>
#include <string>
#include <string_view>

namespace aerova {

using DayTime = double;

constexpr double kSecondsPerDay = 86400.0;
constexpr double kMsPerDay = 86400000.0;
constexpr DayTime kUnixEpochDay = 25569.0;  // 1970-01-01

struct DateParts {
    int year = 1899, month = 12, day = 30;
};
struct TimeParts {
    int hour = 0, minute = 0, second = 0, msec = 0;
};

// Days since 1899-12-30 for a Gregorian date; no range check beyond the calendar.
DayTime EncodeDate(int year, int month, int day);
DayTime EncodeTime(int hour, int minute, int second, int msec);
DayTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec);

// The time of day is rounded to the nearest millisecond first, so 0.99999999 of a day
// reads as the next midnight rather than 23:59:59.999.
void DecodeDateTime(DayTime t, DateParts& date, TimeParts& time);
DateParts DecodeDate(DayTime t);
TimeParts DecodeTime(DayTime t);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(DayTime t);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

DayTime FromUnixSeconds(double seconds);
double ToUnixSeconds(DayTime t);

// Formats with the tokens yyyy, yy, mm, m, dd, d, hh, h, nn, n, ss, s, zzz; any other
// character, and text in double quotes, is copied as it stands. "mm" is always the month:
// minutes are "nn".
std::string FormatDateTime(std::string_view format, DayTime t);

// The formats the station writes where it shows a date or time to the user.
constexpr std::string_view kShortDateFormat = "yyyy-mm-dd";
constexpr std::string_view kLongTimeFormat = "hh:nn:ss";

}  // namespace aerova
