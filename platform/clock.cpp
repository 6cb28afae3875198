#include "platform/clock.h"

#include <sys/time.h>

#include <chrono>
#include <cmath>
#include <ctime>

namespace aerova {

namespace {
bool LocalOffsetSeconds(std::time_t at, long& offset) {
    std::tm local{};
    if (localtime_r(&at, &local) == nullptr) return false;
    offset = local.tm_gmtoff;
    return true;
}
}  // namespace

DayTime SystemClock::LocalNow() const {
    const auto now = std::chrono::system_clock::now();
    const double unixSeconds = std::chrono::duration<double>(now.time_since_epoch()).count();
    long offset = 0;
    LocalOffsetSeconds(static_cast<std::time_t>(unixSeconds), offset);
    return FromUnixSeconds(unixSeconds + static_cast<double>(offset));
}

bool SystemClock::TimeZoneBias(int& minutes) const {
    long offset = 0;
    if (!LocalOffsetSeconds(std::time(nullptr), offset)) return false;
    // tm_gmtoff already includes daylight time while it is in force.
    minutes = static_cast<int>(-offset / 60);
    return true;
}

bool RealSystemClockSetter::SetLocalTime(DayTime local) {
    long offset = 0;
    const double localUnix = ToUnixSeconds(local);
    if (!LocalOffsetSeconds(static_cast<std::time_t>(localUnix), offset)) return false;
    const double utcUnix = localUnix - static_cast<double>(offset);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(std::floor(utcUnix));
    ts.tv_nsec = static_cast<long>((utcUnix - std::floor(utcUnix)) * 1e9);
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}

}  // namespace aerova
