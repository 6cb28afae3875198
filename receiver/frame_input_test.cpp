#include "receiver/frame_input.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/strings.h"
#include "base/testing/recordings.h"
#include "receiver/test_frames.h"

namespace aerova {
namespace {

using testing::AllCall;
using testing::Df17;
using testing::HexBytes;
using testing::QueuedFrame;
using testing::ShortReply;
using testing::StarText;

const std::string kIdent = "8D406B902015A678D4D220AA4BDA";  // DF 17, undamaged

std::vector<std::uint8_t> Resolved(std::vector<std::uint8_t> frame, std::uint32_t field) {
    const std::size_t n = frame.size();
    frame[n - 3] = static_cast<std::uint8_t>(field >> 16);
    frame[n - 2] = static_cast<std::uint8_t>(field >> 8);
    frame[n - 1] = static_cast<std::uint8_t>(field);
    return frame;
}

TEST(FrameInputTest, UndamagedDf17IsQueuedWithZeroRemainder) {
    FrameInput in;
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, "*" + kIdent + ";");
    EXPECT_EQ(in.queue(), QueuedFrame(1, Resolved(HexBytes(kIdent), 0)));
    EXPECT_EQ(in.indicator.color, ActivityIndicator::kGreen);
    EXPECT_TRUE(in.indicator.on);
    EXPECT_TRUE(in.trayReceiving);
    EXPECT_EQ(in.framesQueued, 1u);
}

TEST(FrameInputTest, OneChangedDigitTurnsTheIndicatorRed) {
    FrameInput in;
    std::string damaged = kIdent;
    damaged[9] = damaged[9] == '5' ? '6' : '5';
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, "*" + damaged + ";");
    EXPECT_TRUE(in.queue().empty());
    EXPECT_EQ(in.indicator.color, ActivityIndicator::kRed);
    EXPECT_TRUE(in.indicator.on);
    EXPECT_EQ(in.parityRejects, 1u);
}

TEST(FrameInputTest, ColonTextKeepsItsResolvedField) {
    FrameInput in;
    // The receiver already put the address into the parity field of this DF 4 reply.
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, ":20001838406B90;");
    EXPECT_EQ(in.queue(), QueuedFrame(7, HexBytes("20001838406B90")));
}

TEST(FrameInputTest, AddressParityFieldBecomesTheAddress) {
    FrameInput in;
    const auto df4 = ShortReply(4, 0x406B90, 0x00, 0x18, 0x38);
    in.ComDataPacket1Packet(FrameSender::Network, StarText(df4));
    EXPECT_EQ(in.queue(), QueuedFrame(7, Resolved(df4, 0x406B90)));
}

TEST(FrameInputTest, Df11RemainderOnlyInItsLastByteIsQueued) {
    FrameInput in;
    const auto withIc = AllCall(0x4CA2D4, 0x05);
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, StarText(withIc));
    EXPECT_EQ(in.queue(), QueuedFrame(7, Resolved(withIc, 0x000005)));
    EXPECT_EQ(in.indicator.color, ActivityIndicator::kGreen);

    in.queue().clear();
    const auto damaged = AllCall(0x4CA2D4, 0x00);
    auto bad = damaged;
    bad[5] ^= 0x01;  // remainder in the second of the three bytes
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, StarText(bad));
    EXPECT_TRUE(in.queue().empty());
    EXPECT_EQ(in.indicator.color, ActivityIndicator::kRed);
}

TEST(FrameInputTest, Df0NeedsTcas) {
    FrameInput in;
    const auto df0 = ShortReply(0, 0x3C6586, 0x81, 0x06, 0x18);
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, StarText(df0));
    EXPECT_TRUE(in.queue().empty());
    EXPECT_EQ(in.indicator.color, ActivityIndicator::kGreen);  // ignored, not damaged
    in.options.tcas = true;
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, StarText(df0));
    EXPECT_EQ(in.queue(), QueuedFrame(7, Resolved(df0, 0x3C6586)));
}

TEST(FrameInputTest, DleBytesAreDoubled) {
    FrameInput in;
    // Address 10 10 10: the three bytes after the DF byte, and a parity that holds no 0x10.
    const auto frame = Df17(0x101010, {0x99, 0x10, 0x10});
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, StarText(frame));
    const std::string expected = QueuedFrame(1, Resolved(frame, 0));
    EXPECT_EQ(in.queue(), expected);
    EXPECT_EQ(expected.size(), 2 + 1 + 4 + 14 + 5 + 2 + 2u);
}

TEST(FrameInputTest, MalformedTextsAreIgnored) {
    const std::string good = "*" + kIdent + ";";
    const std::string cases[] = {
        "",
        "*8D4;",                                    // shorter than 7
        good.substr(0, good.size() - 1),            // one character short
        good + "\r\n",                              // CR LF tail
        Concat({"*", kIdent.substr(0, 27), "G;"}),  // not hexadecimal
        Concat({"*", kIdent.substr(0, 27), " ;"}),
        "!" + kIdent + ";",                // wrong start character
        "#1234567*" + kIdent + ";",        // prefix one short
        "*8D406B902015A6;",                // DF 17 in 56 bits
        "*5D4CA2D4A2F6E8A2F6E8A2F6E8A2;",  // DF 11 in 112 bits
        "*80000000000000;",                // DF 16
        "*C0000000000000;",                // DF 24
        "*08000000000000;",                // DF 1
        "*3800000000000000000000000000;",  // DF 7
    };
    for (const auto& text : cases) {
        FrameInput in;
        in.options.tcas = true;
        in.ComDataPacket1Packet(FrameSender::TextRecogniser, text);
        EXPECT_TRUE(in.queue().empty()) << text;
        EXPECT_NE(in.indicator.color, ActivityIndicator::kRed) << text;
    }
}

TEST(FrameInputTest, StampedAndTimeStampedTexts) {
    FrameInput in;
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, "#0A1B2C3D*" + kIdent + ";");
    in.ComDataPacket3Packet(FrameSender::TextRecogniser, "@0123456789AB" + kIdent + ";");
    const std::string one = QueuedFrame(1, Resolved(HexBytes(kIdent), 0));
    EXPECT_EQ(in.queue(), one + one);
    in.queue().clear();
    in.ComDataPacket3Packet(FrameSender::TextRecogniser, "@0123");
    EXPECT_TRUE(in.queue().empty());
}

TEST(FrameInputTest, PlaneGadgetPackets) {
    FrameInput in;
    std::string packet = "\xFF";
    for (auto b : HexBytes(kIdent)) packet += static_cast<char>(b);
    in.ComDataPacketPGRPacket(FrameSender::PlaneGadget, packet);
    EXPECT_TRUE(in.queue().empty());  // not in PlaneGadget mode

    in.options.planeGadget = true;
    in.ComDataPacketPGRPacket(FrameSender::PlaneGadget, packet);
    const std::string one = QueuedFrame(1, Resolved(HexBytes(kIdent), 0));
    EXPECT_EQ(in.queue(), one);

    // A short frame fills the first 7 of the 14 bytes; the rest is ignored.
    in.queue().clear();
    const auto allcall = AllCall(0x4CA2D4);
    std::string shortPacket = "\xFF";
    for (auto b : allcall) shortPacket += static_cast<char>(b);
    shortPacket += std::string(7, '\x55');
    in.ComDataPacketPGRPacket(FrameSender::PlaneGadget, shortPacket);
    EXPECT_EQ(in.queue(), QueuedFrame(7, Resolved(allcall, 0)));

    in.queue().clear();
    in.ComDataPacketPGRPacket(FrameSender::PlaneGadget, packet.substr(0, 14));
    in.ComDataPacketPGRPacket(FrameSender::PlaneGadget, packet + std::string(1, '\0'));
    EXPECT_TRUE(in.queue().empty());
}

TEST(FrameInputTest, PlaneGadgetModeIgnoresSerialTextsButNotUdp) {
    FrameInput in;
    in.options.planeGadget = true;
    const std::string text = "*" + kIdent + ";";
    in.ComDataPacket1Packet(FrameSender::TextRecogniser, text);
    EXPECT_TRUE(in.queue().empty());
    in.udpadsbUDPRead(text.data(), text.size());
    EXPECT_EQ(in.queue(), QueuedFrame(1, Resolved(HexBytes(kIdent), 0)));
}

TEST(FrameInputTest, UdpDatagramCuts) {
    const std::string frame = "*" + kIdent + ";";
    const std::string one = QueuedFrame(1, Resolved(HexBytes(kIdent), 0));
    struct Case {
        std::string datagram;
        bool queued;
    } cases[] = {
        {frame, true},
        {frame + "\r\n", false},
        {frame + std::string(1, '\0') + "junk", true},
        {"%12345678" + frame, true},
        {"#12345" + frame, true},
        {"$12345" + frame, true},
        {"@0123456789AB" + kIdent + ";", true},
        {"%12345678@0123456789AB" + kIdent + ";", true},
        {Concat({":", kIdent.substr(0, 22), "000000;"}), true},
        {"X" + frame, false},
        {"*8D4", false},
        {std::string(600, '*'), false},
    };
    for (const auto& c : cases) {
        FrameInput in;
        in.udpadsbUDPRead(c.datagram.data(), c.datagram.size());
        EXPECT_EQ(in.queue().empty(), !c.queued) << c.datagram;
        if (c.queued && c.datagram.front() != ':') {
            EXPECT_EQ(in.queue(), one) << c.datagram;
        }
    }
}

TEST(FrameInputTest, QueueStopsAtTheParseBufferSize) {
    FrameInput in;
    const std::string text = "*" + kIdent + ";";
    const std::size_t frameSize = QueuedFrame(1, Resolved(HexBytes(kIdent), 0)).size();
    for (int i = 0; i < 6000; ++i) in.ComDataPacket1Packet(FrameSender::Network, text);
    const std::size_t fit = kReceiverQueueLimit / frameSize;
    EXPECT_EQ(in.queue().size(), fit * frameSize);
    EXPECT_EQ(in.framesQueued, fit);
    EXPECT_EQ(in.queueFullDrops, 6000 - fit) << "every frame that did not fit is counted";

    // A damaged frame is a parity reject, not a frame lost to the full queue.
    std::string damaged = text;
    damaged[10] = damaged[10] == '5' ? '6' : '5';
    in.ComDataPacket1Packet(FrameSender::Network, damaged);
    EXPECT_EQ(in.queueFullDrops, 6000 - fit);
    // The poll empties the queue: frames fit again and the count stays where it was.
    in.queue().clear();
    in.udpadsbUDPRead(text.data(), text.size());
    EXPECT_EQ(in.framesQueued, fit + 1);
    EXPECT_EQ(in.queueFullDrops, 6000 - fit);
}

TEST(FrameInputRealData, RecordedFramesAreAllQueued) {
    std::ifstream file(testing::RecordingsDir() + "/ulss7_beast/ulss7.dedup.frames");
    if (!file) GTEST_SKIP() << "recorded frames not available";
    FrameInput in;
    in.options.tcas = true;
    std::string line;
    int lines = 0;
    while (std::getline(file, line)) {
        ++lines;
        in.ComDataPacket1Packet(FrameSender::TextRecogniser, line);
        if (in.queue().size() > 100000) in.queue().clear();
    }
    EXPECT_EQ(lines, 4464);
    EXPECT_EQ(in.parityRejects, 0u);
    EXPECT_EQ(in.framesQueued, 4464u - 31u);  // every frame but the 31 DF 16 replies
}

}  // namespace
}  // namespace aerova
