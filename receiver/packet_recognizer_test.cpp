#include "receiver/packet_recognizer.h"

#include <gtest/gtest.h>

#include <vector>

namespace aerova {
namespace {

TEST(PacketRecognizerTest, StartAndStopStringsAcrossChunks) {
    std::vector<std::string> got;
    PacketRecognizer r("*", ";", [&](std::string_view p) { got.emplace_back(p); });
    r.Feed("noise*8D40");
    r.Feed("6B90;:5D4C;\r\n*02E1");
    r.Feed("9410;*A;");
    EXPECT_EQ(got, (std::vector<std::string>{"*8D406B90;", "*02E19410;", "*A;"}));
}

TEST(PacketRecognizerTest, FixedSizePackets) {
    std::vector<std::string> got;
    PacketRecognizer r("\xFF", 4, [&](std::string_view p) { got.emplace_back(p); });
    r.Feed("ab\xFF\x01\x02");
    r.Feed("\x03\xFF\x04");
    r.Feed("\x05\x06\x07");
    EXPECT_EQ(got, (std::vector<std::string>{"\xFF\x01\x02\x03", "\xFF\x04\x05\x06"}));
}

TEST(PacketRecognizerTest, UnendedPacketIsDroppedPastTheLimit) {
    std::vector<std::string> got;
    PacketRecognizer r("*", ";", [&](std::string_view p) { got.emplace_back(p); });
    r.Feed("*" + std::string(PacketRecognizer::kMaxPending, 'A'));
    r.Feed("B;*C;");
    EXPECT_EQ(got, (std::vector<std::string>{"*C;"}));
}

}  // namespace
}  // namespace aerova
