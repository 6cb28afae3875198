#include "receiver/decoder_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/day_time.h"
#include "base/files.h"
#include "base/testing/temp_dir.h"
#include "receiver/receiver_engine.h"
#include "receiver/test_decoder.h"
#include "receiver/test_frames.h"

namespace aerova {
namespace {

using testing::AllCall;
using testing::Df17;
using testing::FakeDecoder;
using testing::ShortReply;
using testing::StarText;

constexpr double kSecond = 1.0 / 86400.0;

class EngineTest : public ::testing::Test {
  protected:
    FakeDecoder decoder;
    DayTime now = EncodeDateTime(2026, 5, 1, 12, 0, 0, 0);
    ReceiverEngine engine{decoder, [this] { return now; }};
    std::vector<TSBSFlight> reports;

    void Send(const std::vector<std::uint8_t>& frame) {
        engine.input().ComDataPacket1Packet(FrameSender::Network, StarText(frame));
    }
    int Poll() {
        reports.clear();
        return engine.Poll([this](const TSBSFlight& r) { reports.push_back(r); });
    }
};

TEST(DecoderTableTest, GrowsByOneAndKeepsTheLastElementFree) {
    FakeDecoder decoder;
    DecoderTable table(decoder);
    EXPECT_EQ(table.length(), 2u);
    EXPECT_EQ(table.FindTarget(0x4CA2D4), -1);
    EXPECT_EQ(table.AddTarget(0x4CA2D4), 1);
    EXPECT_EQ(table.length(), 3u);
    EXPECT_EQ(table.AddTarget(0x3C6586), 2);
    EXPECT_EQ(table.length(), 4u);
    EXPECT_EQ(table.FindTarget(0x3C6586), 2);
    EXPECT_EQ(table.FindTarget(0x4CA2D4), 1);
    EXPECT_TRUE(table.flight(0).icao.empty());
    EXPECT_TRUE(table.flight(3).icao.empty());

    const TSBSFlight& r = table.flight(1);
    EXPECT_EQ(r.icao, "4CA2D4");
    EXPECT_TRUE(r.callsign.empty());
    EXPECT_EQ(r.noposition, '1');
    EXPECT_EQ(r.category, ' ');
    EXPECT_EQ(r.vratesource, ' ');
    EXPECT_EQ(r.modes40, ' ');
    EXPECT_EQ(r.reserved147, 1);
    EXPECT_EQ(r.cprstate, 1);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.reserved155, ' ');
    EXPECT_EQ(table.bookkeeping(1).updated, 0);
}

TEST(DecoderTableTest, StopsGrowingAtItsLimit) {
    FakeDecoder decoder;
    DecoderTable table(decoder, 4);
    EXPECT_EQ(table.AddTarget(1), 1);
    EXPECT_EQ(table.AddTarget(2), 2);
    EXPECT_EQ(table.AddTarget(3), -1);
    EXPECT_EQ(table.length(), 4u);
}

TEST_F(EngineTest, Df4BeforeDf11CreatesNoTarget) {
    Send(ShortReply(4, 0x4CA2D4, 0, 0x18, 0x38));
    EXPECT_EQ(Poll(), 0);
    EXPECT_EQ(engine.table().length(), 2u);
    EXPECT_EQ(decoder.shortOrCommB, 0);

    Send(AllCall(0x4CA2D4, 1));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(reports[0].icao, "4CA2D4");
    EXPECT_EQ(reports[0].df, 11);

    Send(ShortReply(4, 0x4CA2D4, 0, 0x18, 0x38));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(reports[0].df, 4);
    EXPECT_EQ(decoder.shortOrCommB, 2);

    // A DF 20 Comm-B reply updates the known target, never creates one.
    auto df20 = testing::WithParity(
        {0xA0, 0, 0x18, 0x38, 0x20, 0x2C, 0xC3, 0x71, 0xC3, 0x2C, 0xE0, 0, 0, 0}, 0x4CA2D4);
    Send(df20);
    Send(testing::WithParity(
        {0xA0, 0, 0x18, 0x38, 0x20, 0x2C, 0xC3, 0x71, 0xC3, 0x2C, 0xE0, 0, 0, 0}, 0x111111));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(reports[0].squawk, "7000");
    EXPECT_EQ(engine.table().FindTarget(0x111111), -1);
}

// TIS-B management (DF 18 CF 4), a non-ICAO address (CF 1) and a DF 19 military format
// create no target; a fine TIS-B message about an ICAO address (CF 2) does.
TEST_F(EngineTest, OnlyAdsbLayoutsOfDf18And19CreateTargets) {
    auto squitter = [](std::uint8_t first, std::uint32_t address) {
        std::vector<std::uint8_t> f =
            testing::Df17(address, {0x20, 0x15, 0xA6, 0x78, 0xD4, 0xD2, 0x20});
        f[0] = first;
        return testing::WithParity(f);
    };
    Send(squitter(0x94, 0x111111));
    Send(squitter(0x91, 0x222222));
    Send(squitter(0x99, 0x333333));
    EXPECT_EQ(Poll(), 0);
    EXPECT_EQ(decoder.extended, 0);
    Send(squitter(0x92, 0x444444));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(reports[0].icao, "444444");
}

TEST_F(EngineTest, TwoFramesGiveOneReportAndVelocityKeepsTheCallSign) {
    Send(Df17(0x406B90, {0x20, 0x15, 0xA6, 0x78, 0xD4, 0xD2, 0x20}));  // identification
    Send(Df17(0x406B90, {0x58, 0xB9, 0x75, 0x87, 0x0B, 0x73, 0x87}));  // position
    EXPECT_EQ(Poll(), 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].callsign, "TEST1234");
    EXPECT_EQ(reports[0].altitude, "35000");
    EXPECT_EQ(reports[0].lat, "52.12345");
    EXPECT_EQ(reports[0].noposition, '0');
    EXPECT_EQ(reports[0].blockident, 1);
    EXPECT_EQ(reports[0].emittime, "7319.5");  // 2026-05-01 12:00 is day 46143.5

    now += 5 * kSecond;
    Send(Df17(0x406B90, {0x99, 0x45, 0xDE, 0x10, 0x00, 0x04, 0x05}));  // velocity
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(reports[0].callsign, "TEST1234");
    EXPECT_EQ(reports[0].gspeed, "450");
    EXPECT_TRUE(reports[0].altitude.empty());
    EXPECT_TRUE(reports[0].lat.empty());
    EXPECT_TRUE(reports[0].lon.empty());
    EXPECT_EQ(reports[0].blockalt, 0);
    EXPECT_EQ(reports[0].kind, 0x20);  // the identification flag went with the first report
}

TEST_F(EngineTest, EmptyQueueGivesNoReportsButTurnsTheIndicatorOff) {
    Send({0x00});  // too short to be anything, but nothing queued either
    engine.input().indicator.on = true;
    engine.input().trayReceiving = true;
    EXPECT_EQ(Poll(), 0);
    EXPECT_FALSE(engine.input().indicator.on);
    EXPECT_FALSE(engine.input().trayReceiving);
}

TEST_F(EngineTest, TenMinuteAgeingFreesTheSlotForTheNextAddress) {
    Send(AllCall(0x4CA2D4));
    Send(AllCall(0x3C6586));
    EXPECT_EQ(Poll(), 2);
    now += 5 * 60 * kSecond;
    Send(AllCall(0x3C6586));
    Poll();

    now += 5 * 60 * kSecond;  // exactly 10 minutes after 4CA2D4 was heard: kept
    Poll();
    EXPECT_EQ(engine.table().FindTarget(0x4CA2D4), 1);
    now += kSecond;
    Poll();
    EXPECT_EQ(engine.table().FindTarget(0x4CA2D4), -1);
    EXPECT_TRUE(engine.table().flight(1).icao.empty());
    EXPECT_EQ(engine.table().FindTarget(0x3C6586), 2);

    Send(AllCall(0xABCDEF));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(engine.table().FindTarget(0xABCDEF), 1);
    EXPECT_EQ(engine.table().length(), 4u);
}

TEST_F(EngineTest, NewTargetsTakeTheLowestFreedSlotsFirst) {
    const std::uint32_t addresses[] = {0x100001, 0x100002, 0x100003, 0x100004, 0x100005, 0x100006};
    for (const std::uint32_t a : addresses) Send(AllCall(a));
    EXPECT_EQ(Poll(), 6);
    now += 5 * 60 * kSecond;
    for (const std::uint32_t a : {0x100001u, 0x100002u, 0x100004u, 0x100006u}) Send(AllCall(a));
    Poll();
    now += 5 * 60 * kSecond + kSecond;  // the third and fifth have gone unheard
    Poll();
    ASSERT_TRUE(engine.table().flight(3).icao.empty());
    ASSERT_TRUE(engine.table().flight(5).icao.empty());
    Send(AllCall(0x200001));
    Send(AllCall(0x200002));
    Send(AllCall(0x200003));
    Poll();
    EXPECT_EQ(engine.table().FindTarget(0x200001), 3);
    EXPECT_EQ(engine.table().FindTarget(0x200002), 5);
    EXPECT_EQ(engine.table().FindTarget(0x200003), 7) << "then the free last element";
}

TEST_F(EngineTest, PositionIsClearedAfterTwoMinutes) {
    Send(Df17(0x406B90, {0x58, 0xB9, 0x75, 0x87, 0x0B, 0x73, 0x87}));
    engine.ParseReceiverQueue();  // decoded but not yet reported
    TSBSFlight& r = engine.table().flight(1);
    r.noposition = '0';
    now += 119 * kSecond;
    engine.table().AgeTargets(now);
    EXPECT_EQ(r.lat, "52.12345");
    now += 2 * kSecond;
    engine.table().AgeTargets(now);
    EXPECT_TRUE(r.lat.empty());
    EXPECT_TRUE(r.lon.empty());
    EXPECT_EQ(r.noposition, '1');
}

TEST_F(EngineTest, ReadQueueAndReadNextFlightInTheLibraryShape) {
    EXPECT_EQ(engine.StartReceiverEngine(52.52, 1.16), 0);
    EXPECT_DOUBLE_EQ(decoder.homeLat, 52.52);
    EXPECT_DOUBLE_EQ(decoder.homeLon, 1.16);
    Send(AllCall(0x4CA2D4));
    Send(AllCall(0x3C6586));
    int count = -7;
    EXPECT_EQ(engine.ReadQueue(count), 0);
    EXPECT_EQ(count, 2);
    std::uint8_t buffer[192];
    std::memset(buffer, 0xAA, sizeof buffer);
    EXPECT_EQ(engine.ReadNextFlight(buffer), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 7),
              "\x06"
              "4CA2D4");
    EXPECT_EQ(engine.ReadNextFlight(buffer), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 7),
              "\x06"
              "3C6586");
    std::memset(buffer, 0xAA, sizeof buffer);
    EXPECT_EQ(engine.ReadNextFlight(buffer), -1);
    EXPECT_EQ(buffer[0], 0xAA);  // nothing pending: the buffer is left as it was
}

TEST_F(EngineTest, ReportsGoInIndexOrder) {
    for (std::uint32_t a : {0x000003u, 0x000001u, 0x000002u}) Send(AllCall(a));
    Poll();
    reports.clear();
    Send(AllCall(0x000002));
    Send(AllCall(0x000003));
    Send(AllCall(0x000001));
    EXPECT_EQ(Poll(), 3);
    EXPECT_EQ(reports[0].icao, "000003");
    EXPECT_EQ(reports[1].icao, "000001");
    EXPECT_EQ(reports[2].icao, "000002");
}

TEST_F(EngineTest, RawLogGetsOneLinePerAcceptedFrame) {
    const testing::TempDir dir;
    ASSERT_TRUE(engine.StartRawLog(dir.path()));
    Send(AllCall(0x4CA2D4, 2));
    Poll();
    const auto lines = ReadLines(engine.rawLog().path());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "120000.000 = 00000000 = 5D 4CA2D4 000002");
    engine.StopRawLog();
    Send(AllCall(0x4CA2D4, 2));
    Poll();
    EXPECT_EQ(ReadLines(engine.rawLog().path()).size(), 2u);
}

}  // namespace
}  // namespace aerova
