#pragma once
// The clock check at the start of reception: the PC clock is compared with a time server
// and set when it is more than half a second off.

#include <string>

#include "platform/clock.h"

namespace aerova {

// One of "Time check failed", "Time check passed", "PC time adjusted",
// "Time adjustment failed"; `found` is true when an offset was found (so "Time offset found"
// was reported before the adjustment).
struct ClockCheckResult {
    std::string text;
    bool offsetFound = false;
    double offsetSeconds = 0;
};

ClockCheckResult CheckClock(const std::string& timeServer, const StationClock& clock,
                            SystemClockSetter& setter, int timeoutMs = 5000);

}  // namespace aerova
