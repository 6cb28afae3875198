#include "platform/clock.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(StationClockTest, UtcIsLocalPlusTheBiasAndZeroWhenUnreadable) {
    ManualClock local(EncodeDateTime(2026, 6, 1, 14, 0, 0, 0), -120);  // UTC+2 in summer
    StationClock clock(local);
    EXPECT_EQ(clock.UtcNow(), local.LocalNow());  // bias not read yet
    clock.ReadBias();
    EXPECT_EQ(FormatDateTime("hh:nn", clock.UtcNow()), "12:00");
    local.SetBias(-120, false);
    clock.ReadBias();
    EXPECT_EQ(clock.biasMinutes(), 0);
}

TEST(StationClockTest, SystemClockAgreesWithItsOwnBias) {
    SystemClock sys;
    int bias = 0;
    ASSERT_TRUE(sys.TimeZoneBias(bias));
    const double utcSeconds = ToUnixSeconds(sys.LocalNow() + bias / 1440.0);
    EXPECT_NEAR(utcSeconds, static_cast<double>(std::time(nullptr)), 2.0);
}

}  // namespace
}  // namespace aerova
