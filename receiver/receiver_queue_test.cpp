#include "receiver/receiver_queue.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/day_time.h"
#include "base/files.h"
#include "base/testing/temp_dir.h"
#include "receiver/frame_input.h"
#include "receiver/test_frames.h"

namespace aerova {
namespace {

using testing::AllCall;
using testing::Df17;
using testing::HexText;
using testing::StarText;

struct Collector final : FrameSink {
    std::vector<TSBSMsg> frames;
    void DispatchFrame(const TSBSMsg& frame, DayTime) override { frames.push_back(frame); }
};

std::string Payload(const TSBSMsg& m) {
    return HexText(std::vector<std::uint8_t>(m.payload.data(), m.payload.data() + m.payload.size));
}

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

// A receiver frame with the CRC of type and payload as its check bytes (stuffed).
std::string FrameWithCrc(std::uint8_t type, const std::string& payload, bool corrupt = false) {
    std::string covered(1, static_cast<char>(type));
    covered += payload;
    std::uint16_t crc = FrameCrc16(Bytes(covered), covered.size());
    if (corrupt) crc ^= 1;
    std::string out = {'\x10', '\x02', static_cast<char>(type)};
    auto stuffed = [&](char c) {
        out += c;
        if (c == '\x10') out += '\x10';
    };
    for (char c : payload) stuffed(c);
    out += "\x10\x03";
    stuffed(static_cast<char>(crc >> 8));
    stuffed(static_cast<char>(crc & 0xFF));
    return out;
}

TEST(NextReceiverFrameTest, ResultCodes) {
    struct Case {
        std::string buffer;
        int result;
        std::size_t position;
        std::string check;  // as hex
    } cases[] = {
        {"", kFrameNoStart, 0, ""},
        {"abc", kFrameNoStart, 3, ""},
        {"ab\x10", kFrameEndsAfterDle, 3, ""},
        {"\x10\x05\x10\x02", kFrameNoType, 4, ""},
        {std::string("\x10\x02\x07xy\x10\x03\x00\x00\x10\x02", 11), kFrameBeforeNext, 9, "0000"},
        {std::string("\x10\x02\x07xy\x10\x03\x00\x00", 9), kFrameAtEnd, 9, "0000"},
        {std::string("\x10\x02\x07xy\x10\x03\x12\x10", 9), kFrameAtEnd, 9, "12"},
        {std::string("\x10\x02\x07xy\x10", 6), kFrameCutAtDle, 6, ""},
        {std::string("\x10\x02\x07xy", 5), kFrameCut, 5, ""},
        {std::string("\x10\x02\x07x\x10\x10y\x10\x09z\x10\x03\x10\x10\x01", 15), kFrameAtEnd, 15,
         "1001"},
    };
    for (const auto& c : cases) {
        std::size_t position = 0;
        TSBSMsg msg;
        EXPECT_EQ(NextReceiverFrame(Bytes(c.buffer), c.buffer.size(), position, msg), c.result)
            << HexText(std::vector<std::uint8_t>(c.buffer.begin(), c.buffer.end()));
        EXPECT_EQ(position, c.position);
        EXPECT_EQ(
            HexText(std::vector<std::uint8_t>(msg.check.data(), msg.check.data() + msg.check.size)),
            c.check);
    }
    // Unstuffing: DLE DLE is one 0x10, DLE + another byte is dropped.
    const std::string stuffed("\x10\x02\x07x\x10\x10y\x10\x09z\x10\x03", 12);
    std::size_t position = 0;
    TSBSMsg msg;
    EXPECT_EQ(NextReceiverFrame(Bytes(stuffed), stuffed.size(), position, msg), kFrameAtEnd);
    EXPECT_EQ(msg.type, 7);
    EXPECT_EQ(msg.payload.view(), std::string("x\x10yz"));
}

TEST(NextReceiverFrameTest, AccumulatorHoldsAtMost64Bytes) {
    std::string buffer = "\x10\x02\x01" + std::string(100, 'a') + "\x10\x03";
    std::size_t position = 0;
    TSBSMsg msg;
    EXPECT_EQ(NextReceiverFrame(Bytes(buffer), buffer.size(), position, msg), kFrameAtEnd);
    EXPECT_EQ(msg.payload.size, 64);
}

class ParseTest : public ::testing::Test {
  protected:
    FrameInput input;
    ReceiverQueueParser parser;
    Collector sink;
    DayTime now = EncodeDateTime(2026, 5, 1, 12, 30, 15, 250);

    void Parse() { parser.ParseReceiverQueue(input.queue(), sink, now, nullptr); }
};

TEST_F(ParseTest, EmptyQueueChangesNothing) {
    Parse();
    EXPECT_TRUE(sink.frames.empty());
    EXPECT_EQ(parser.framesAccepted, 0u);
}

TEST_F(ParseTest, StuffedByteComesBackOnce) {
    const auto frame = Df17(0x101010, {0x99, 0x10, 0x10});
    input.ComDataPacket1Packet(FrameSender::Network, StarText(frame));
    input.ComDataPacket1Packet(FrameSender::Network, StarText(AllCall(0x4CA2D4, 3)));
    Parse();
    EXPECT_TRUE(input.queue().empty());
    ASSERT_EQ(sink.frames.size(), 2u);
    EXPECT_EQ(sink.frames[0].type, 1);
    EXPECT_EQ(Payload(sink.frames[0]), "000000008D10101099101000000000000000");
    EXPECT_EQ(sink.frames[0].firstByte, 0x8D);
    EXPECT_EQ(sink.frames[0].address, 0x101010u);
    EXPECT_EQ(sink.frames[1].type, 7);
    EXPECT_EQ(Payload(sink.frames[1]), "000000005D4CA2D4000003");
    EXPECT_EQ(sink.frames[1].address, 0x4CA2D4u);
}

TEST_F(ParseTest, CutFrameIsLostAndNotCarriedOver) {
    input.ComDataPacket1Packet(FrameSender::Network, StarText(AllCall(0x4CA2D4)));
    input.ComDataPacket1Packet(FrameSender::Network, StarText(AllCall(0x3C6586)));
    const std::string whole = input.queue();
    const std::string tail = whole.substr(whole.size() - 5);
    input.queue().resize(whole.size() - 5);  // the second frame cut in the middle
    Parse();
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.frames[0].address, 0x4CA2D4u);
    input.queue() = tail;  // the rest arrives with the next parse: nothing to find
    Parse();
    EXPECT_EQ(sink.frames.size(), 1u);
}

TEST_F(ParseTest, EveryCutOfAStreamIsSafe) {
    for (int i = 0; i < 3; ++i) {
        input.ComDataPacket1Packet(FrameSender::Network,
                                   StarText(Df17(0x101010u + i, {0x99, 0x10})));
    }
    const std::string whole = input.queue();
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        for (std::size_t start = 0; start <= cut; start += 7) {
            sink.frames.clear();
            input.queue() = whole.substr(start, cut - start);
            Parse();
            EXPECT_LE(sink.frames.size(), 3u);
            for (const auto& f : sink.frames) EXPECT_EQ(f.payload.size, 18);
        }
    }
}

TEST_F(ParseTest, CheckBytes) {
    const std::string payload = std::string(4, '\0') + "\x5D\x4C\xA2\xD4" + std::string(3, '\0');
    input.queue() = FrameWithCrc(7, payload) + FrameWithCrc(7, payload, true);
    // Check bytes of another length than two are refused too.
    input.queue() += std::string("\x10\x02\x07", 3) + payload + std::string("\x10\x03\x00", 3);
    input.queue() += std::string("\x10\x02\x07", 3) + payload + std::string("\x10\x03\x00\x00", 4);
    Parse();
    EXPECT_EQ(sink.frames.size(), 2u);  // the good CRC and the unchecked 0 0
    EXPECT_EQ(parser.checkFailures, 2u);
}

TEST_F(ParseTest, ShortPayloadsAndUnknownTypesAreSkipped) {
    const std::string shortPayload =
        std::string("\x10\x02\x01", 3) + std::string(17, 'a') + std::string("\x10\x03\x00\x00", 4);
    const std::string otherType =
        std::string("\x10\x02\x09", 3) + std::string(18, 'a') + std::string("\x10\x03\x00\x00", 4);
    input.queue() = shortPayload + otherType;
    input.ComDataPacket1Packet(FrameSender::Network, StarText(AllCall(0x4CA2D4)));
    Parse();
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.frames[0].type, 7);
}

TEST_F(ParseTest, OnlyTheFirst131071BytesAreParsed) {
    const std::string frame = testing::QueuedFrame(7, {0x5D, 0x4C, 0xA2, 0xD4, 0, 0, 0});
    std::string big;
    while (big.size() < 200000) big += frame;
    input.queue() = big;
    Parse();
    EXPECT_EQ(sink.frames.size(), 131071 / frame.size());
    EXPECT_TRUE(input.queue().empty());
}

TEST(RawLogTest, LinesAndFile) {
    const DayTime t = EncodeDateTime(2026, 5, 1, 12, 30, 15, 250);
    TSBSMsg msg;
    for (auto b : testing::HexBytes("0102030A8D406B902015A678D4D220000000")) msg.payload.push(b);
    EXPECT_EQ(RawLogLine(t, msg), "123015.250 = 0102030A = 8D 406B90 2015A6 78D4D220 000000");
    TSBSMsg shortMsg;
    for (auto b : testing::HexBytes("000000005D4CA2D4000003")) shortMsg.payload.push(b);
    EXPECT_EQ(RawLogLine(t, shortMsg), "123015.250 = 00000000 = 5D 4CA2D4 000003");

    const testing::TempDir scratch;
    const std::filesystem::path dir = scratch.path();
    RawLog log;
    ASSERT_TRUE(log.Start(dir.string(), t));
    EXPECT_EQ(log.path(), (dir / "aerova-logs" / "raw-20260501-123015.log").string());
    log.Append(RawLogLine(t, shortMsg));
    log.Stop();
    log.Append("not written");
    std::string content;
    ASSERT_TRUE(ReadWholeFile(log.path(), content));
    EXPECT_EQ(content,
              "Raw data log file - times are in UTC\r\n"
              "123015.250 = 00000000 = 5D 4CA2D4 000003\r\n");
}

}  // namespace
}  // namespace aerova
