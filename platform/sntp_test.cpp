#include "platform/sntp.h"

#include <gtest/gtest.h>

#include "platform/testing/fake_sntp_server.h"

namespace aerova {
namespace {

using testing::FakeSntpServer;

TEST(SntpTest, MeasuresTheOffsetOfTheServer) {
    const double local = 1'800'000'000.0;
    FakeSntpServer server(FakeSntpServer::Mode::Answer, local + 42.25);
    auto result = QuerySntp(server.address(), 2000, [&] { return local; });
    ASSERT_TRUE(result.has_value());
    EXPECT_NEAR(result->offsetSeconds, 42.25, 1e-6);
    EXPECT_NEAR(result->serverSeconds, local + 42.25, 1e-6);
}

TEST(SntpTest, UnsynchronisedAndSilentServersGiveNoAnswer) {
    {
        FakeSntpServer server(FakeSntpServer::Mode::Unsynchronised, 1e9);
        EXPECT_FALSE(QuerySntp(server.address(), 2000, [] { return 1e9; }).has_value());
    }
    {
        FakeSntpServer server(FakeSntpServer::Mode::Silent, 1e9);
        EXPECT_FALSE(QuerySntp(server.address(), 200, [] { return 1e9; }).has_value());
    }
    EXPECT_FALSE(QuerySntp("", 200, [] { return 1e9; }).has_value());
}

TEST(SntpTest, NtpTimestampsRoundTrip) {
    EXPECT_EQ(ToNtpTimestamp(0.0) >> 32, 2208988800ull);
    EXPECT_NEAR(FromNtpTimestamp(ToNtpTimestamp(1'765'000'000.5)), 1'765'000'000.5, 1e-6);
}

}  // namespace
}  // namespace aerova
