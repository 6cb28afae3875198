#include "app/activity_lamp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "distribution/qt_test_support.h"
#include "receiver/frame_input.h"

namespace aerova {
namespace {

// A DF 17 frame text with its parity intact, and the same text with one digit damaged.
constexpr char kGoodFrame[] = "*8D4840D6202CC371C32CE0576098;";
constexpr char kDamagedFrame[] = "*8D4840D6202CC371C32CE0576099;";

struct LampTest : ::testing::Test {
    LampTest() { testing::QtApp(); }
    FrameInput input;
    std::vector<LampLook> shown;
    std::vector<bool> tray;
    ActivityLamp lamp{input, [this](const LampLook& l) { shown.push_back(l); },
                      [this](bool r) { tray.push_back(r); }, ActivityLamp::Timing{10, 20, 300}};
};

TEST_F(LampTest, FramesLightItInTheirColourAndThePollPutsItOut) {
    input.ComDataPacket1Packet(FrameSender::Network, kGoodFrame);
    lamp.Look();
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown.back().lit);
    EXPECT_EQ(shown.back().colour, ActivityIndicator::kGreen);
    EXPECT_EQ(tray, std::vector<bool>{true});

    // Looking again without news draws nothing new.
    const std::size_t draws = shown.size();
    lamp.Look();
    EXPECT_EQ(shown.size(), draws);

    input.indicator.on = false;  // what the receiver poll does to the marks
    input.trayReceiving = false;
    lamp.PollDone();
    EXPECT_FALSE(shown.back().lit);
    EXPECT_EQ(tray, (std::vector<bool>{true, false}));

    input.ComDataPacket1Packet(FrameSender::Network, kDamagedFrame);
    lamp.Look();
    EXPECT_TRUE(shown.back().lit);
    EXPECT_EQ(shown.back().colour, ActivityIndicator::kRed);
}

TEST_F(LampTest, ALostReceiverBlinksRedThenTheLampGoesDarkAndGreen) {
    lamp.Start();
    lamp.ReceiverLost();
    ASSERT_TRUE(lamp.lost());
    EXPECT_TRUE(lamp.look().blinking);
    EXPECT_EQ(lamp.look().colour, ActivityIndicator::kRed);

    // Frames from another input and the poll leave the blinking alone.
    input.ComDataPacket1Packet(FrameSender::Network, kGoodFrame);
    lamp.Look();
    lamp.PollDone();
    EXPECT_EQ(lamp.look().colour, ActivityIndicator::kRed);

    // It blinks: lit and dark alternate while the lost time runs.
    ASSERT_TRUE(testing::PumpUntil([&] { return !lamp.look().lit; }, 2000));
    ASSERT_TRUE(testing::PumpUntil([&] { return lamp.look().lit || !lamp.lost(); }, 2000));

    ASSERT_TRUE(testing::PumpUntil([&] { return !lamp.lost(); }, 3000));
    const LampLook after = lamp.look();
    EXPECT_FALSE(after.blinking);
    EXPECT_EQ(after.colour, ActivityIndicator::kGreen);
    EXPECT_EQ(after.intervalMs, 1000);

    // Frames light it again.
    input.indicator.on = false;
    input.ComDataPacket1Packet(FrameSender::Network, kGoodFrame);
    ASSERT_TRUE(testing::PumpUntil([&] { return lamp.look().lit; }, 2000));
    EXPECT_EQ(lamp.look().colour, ActivityIndicator::kGreen);
}

}  // namespace
}  // namespace aerova
