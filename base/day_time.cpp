#include "base/day_time.h"

#include <cmath>

namespace aerova {
namespace {

std::int64_t DaysFromCivil(int y, int m, int d) {
    // Howard Hinnant's days_from_civil, shifted to our epoch.
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy =
        (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;  // days since 1970-01-01
}

DateParts CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return DateParts{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr std::int64_t kUnixToDelphiDays = 25569;

void SplitMs(DayTime t, std::int64_t& days, std::int64_t& msOfDay) {
    const auto totalMs = static_cast<std::int64_t>(std::llround(t * kMsPerDay));
    days = totalMs / 86400000;
    msOfDay = totalMs % 86400000;
    if (msOfDay < 0) {
        msOfDay += 86400000;
        days -= 1;
    }
}

void AppendNumber(std::string& out, int value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (value < 0) out += '-';
    for (int i = static_cast<int>(digits.size()); i < width; ++i) out += '0';
    out += digits;
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

DayTime EncodeDate(int year, int month, int day) {
    return static_cast<DayTime>(DaysFromCivil(year, month, day) + kUnixToDelphiDays);
}

DayTime EncodeTime(int hour, int minute, int second, int msec) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMsPerDay;
}

DayTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, msec);
}

void DecodeDateTime(DayTime t, DateParts& date, TimeParts& time) {
    std::int64_t days = 0, ms = 0;
    SplitMs(t, days, ms);
    date = CivilFromDays(days - kUnixToDelphiDays);
    time.hour = static_cast<int>(ms / 3600000);
    time.minute = static_cast<int>(ms / 60000 % 60);
    time.second = static_cast<int>(ms / 1000 % 60);
    time.msec = static_cast<int>(ms % 1000);
}

DateParts DecodeDate(DayTime t) {
    DateParts d;
    TimeParts tp;
    DecodeDateTime(t, d, tp);
    return d;
}

TimeParts DecodeTime(DayTime t) {
    DateParts d;
    TimeParts tp;
    DecodeDateTime(t, d, tp);
    return tp;
}

int DayOfWeek(DayTime t) {
    std::int64_t days = 0, ms = 0;
    SplitMs(t, days, ms);
    // Day 0 (1899-12-30) was a Saturday.
    std::int64_t w = (days + 6) % 7;
    if (w < 0) w += 7;
    return static_cast<int>(w) + 1;
}

DayTime FromUnixSeconds(double seconds) {
    return kUnixEpochDay + seconds / kSecondsPerDay;
}
double ToUnixSeconds(DayTime t) {
    return (t - kUnixEpochDay) * kSecondsPerDay;
}

std::string FormatDateTime(std::string_view format, DayTime t) {
    DateParts d;
    TimeParts tm;
    DecodeDateTime(t, d, tm);
    std::string out;
    out.reserve(format.size() + 8);
    auto starts = [&](std::size_t i, std::string_view token) {
        if (format.size() - i < token.size()) return false;
        for (std::size_t k = 0; k < token.size(); ++k) {
            char c = format[i + k];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != token[k]) return false;
        }
        return true;
    };
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = format.find(c, i + 1);
            const std::size_t stop = end == std::string_view::npos ? format.size() : end;
            out.append(format.substr(i + 1, stop - i - 1));
            i = stop == format.size() ? stop : stop + 1;
        } else if (starts(i, "yyyy")) {
            AppendNumber(out, d.year, 4), i += 4;
        } else if (starts(i, "yy")) {
            AppendNumber(out, d.year % 100, 2), i += 2;
        } else if (starts(i, "mm")) {
            AppendNumber(out, d.month, 2), i += 2;
        } else if (starts(i, "m")) {
            AppendNumber(out, d.month, 1), i += 1;
        } else if (starts(i, "dd")) {
            AppendNumber(out, d.day, 2), i += 2;
        } else if (starts(i, "d")) {
            AppendNumber(out, d.day, 1), i += 1;
        } else if (starts(i, "hh")) {
            AppendNumber(out, tm.hour, 2), i += 2;
        } else if (starts(i, "h")) {
            AppendNumber(out, tm.hour, 1), i += 1;
        } else if (starts(i, "nn")) {
            AppendNumber(out, tm.minute, 2), i += 2;
        } else if (starts(i, "n")) {
            AppendNumber(out, tm.minute, 1), i += 1;
        } else if (starts(i, "ss")) {
            AppendNumber(out, tm.second, 2), i += 2;
        } else if (starts(i, "s")) {
            AppendNumber(out, tm.second, 1), i += 1;
        } else if (starts(i, "zzz")) {
            AppendNumber(out, tm.msec, 3), i += 3;
        } else if (starts(i, "z")) {
            AppendNumber(out, tm.msec, 1), i += 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace aerova
