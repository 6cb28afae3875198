#include "station/clock_check.h"

#include <gtest/gtest.h>

#include "platform/testing/fake_sntp_server.h"

namespace aerova {
namespace {

using testing::FakeSntpServer;

class RecordingSetter : public SystemClockSetter {
  public:
    explicit RecordingSetter(bool accept) : accept_(accept) {}
    bool SetLocalTime(DayTime local) override {
        calls.push_back(local);
        return accept_;
    }
    std::vector<DayTime> calls;

  private:
    bool accept_;
};

TEST(ClockCheckTest, PassedOffsetFoundAndFailed) {
    ManualClock local(EncodeDateTime(2026, 12, 9, 13, 0, 0, 0), -60);  // UTC+1
    StationClock clock(local);
    clock.ReadBias();
    const double utc = ToUnixSeconds(clock.UtcNow());
    {
        FakeSntpServer server(FakeSntpServer::Mode::Answer, utc + 0.4);
        RecordingSetter setter(true);
        EXPECT_EQ(CheckClock(server.address(), clock, setter).text, "Time check passed");
        EXPECT_TRUE(setter.calls.empty());
    }
    {
        FakeSntpServer server(FakeSntpServer::Mode::Answer, utc + 90);
        RecordingSetter setter(true);
        const ClockCheckResult r = CheckClock(server.address(), clock, setter);
        EXPECT_TRUE(r.offsetFound);
        EXPECT_EQ(r.text, "PC time adjusted");
        ASSERT_EQ(setter.calls.size(), 1u);
        EXPECT_EQ(FormatDateTime("hh:nn:ss", setter.calls[0]), "13:01:30") << "local time, not UTC";
    }
    {
        FakeSntpServer server(FakeSntpServer::Mode::Answer, utc - 90);
        RecordingSetter refusing(false);
        EXPECT_EQ(CheckClock(server.address(), clock, refusing).text, "Time adjustment failed");
    }
    {
        FakeSntpServer server(FakeSntpServer::Mode::Silent, utc);
        RecordingSetter setter(true);
        EXPECT_EQ(CheckClock(server.address(), clock, setter, 300).text, "Time check failed");
        EXPECT_TRUE(setter.calls.empty());
    }
}

}  // namespace
}  // namespace aerova
