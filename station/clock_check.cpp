#include "station/clock_check.h"

#include <cmath>

#include "platform/sntp.h"

namespace aerova {

ClockCheckResult CheckClock(const std::string& timeServer, const StationClock& clock,
                            SystemClockSetter& setter, int timeoutMs) {
    ClockCheckResult r;
    const auto answer =
        QuerySntp(timeServer, timeoutMs, [&clock] { return ToUnixSeconds(clock.UtcNow()); });
    if (!answer) {
        r.text = "Time check failed";
        return r;
    }
    r.offsetSeconds = answer->offsetSeconds;
    if (std::fabs(answer->offsetSeconds) <= 0.5) {
        r.text = "Time check passed";
        return r;
    }
    r.offsetFound = true;
    const DayTime corrected = clock.LocalNow() + answer->offsetSeconds / kSecondsPerDay;
    r.text = setter.SetLocalTime(corrected) ? "PC time adjusted" : "Time adjustment failed";
    return r;
}

}  // namespace aerova
