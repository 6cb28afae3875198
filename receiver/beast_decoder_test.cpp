#include "receiver/beast_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace aerova {
namespace {

// Real frames of the ulss7 recording: a DF 11 all-call reply and a DF 17 squitter.
constexpr char kShortHex[] = "5F4001594B0FBB";
constexpr char kLongHex[] = "8F400159E1181500000000D94095";

std::string Bytes(std::string_view hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return out;
}

// A Beast frame as a receiver sends it: 0x1A, the type, then timestamp, signal and frame
// with every 0x1A doubled.
std::string Beast(char type, std::string_view stampHex, std::string_view frameHex) {
    std::string out = "\x1A";
    out.push_back(type);
    for (const char c : Bytes(std::string(stampHex) + "C8" + std::string(frameHex))) {
        out.push_back(c);
        if (c == '\x1A') out.push_back(c);
    }
    return out;
}

struct Decoded {
    std::vector<std::string> texts;
    std::uint64_t dropped = 0;
    std::uint64_t modeAc = 0;
};

Decoded DecodeBeast(const std::vector<std::string>& reads) {
    Decoded d;
    BeastDecoder decoder([&d](std::span<const std::uint8_t> frame) {
        char text[30];
        d.texts.emplace_back(text, FrameText(frame, text));
    });
    for (const std::string& r : reads) decoder.Feed(r);
    d.dropped = decoder.dropped;
    d.modeAc = decoder.modeAcFrames;
    EXPECT_EQ(decoder.frames, d.texts.size());
    return d;
}

const std::string kShort = Beast('2', "000102030405", kShortHex);
const std::string kLong = Beast('3', "0A0B0C0D0E0F", kLongHex);
// 0x1A in the timestamp and in the frame: each is sent as a pair.
const std::string kEscaped = Beast('3', "001A1A001A00", "8D1A0159E1181500000000D9401A");
const std::string kShortText = std::string("*") + kShortHex + ";";
const std::string kLongText = std::string("*") + kLongHex + ";";
const std::string kEscapedText = "*8D1A0159E1181500000000D9401A;";

struct BeastCase {
    const char* name;
    std::vector<std::string> reads;
    std::vector<std::string> texts;
    std::uint64_t dropped;
};

class BeastDecoderCases : public ::testing::TestWithParam<BeastCase> {};

TEST_P(BeastDecoderCases, FramesOut) {
    const BeastCase& c = GetParam();
    const Decoded d = DecodeBeast(c.reads);
    EXPECT_EQ(d.texts, c.texts);
    EXPECT_EQ(d.dropped, c.dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, BeastDecoderCases,
    ::testing::Values(
        BeastCase{"TwoFramesInOneRead", {kShort + kLong}, {kShortText, kLongText}, 0},
        BeastCase{"EscapePairSplitAcrossReads",
                  {kEscaped.substr(0, 4), kEscaped.substr(4)},  // between the 0x1A of a pair
                  {kEscapedText},
                  0},
        BeastCase{"EscapePairsInTimestamp", {kEscaped + kShort}, {kEscapedText, kShortText}, 0},
        BeastCase{"FrameTruncatedAtEndOfRead",
                  {kShort + kLong.substr(0, 9), kLong.substr(9)},
                  {kShortText, kLongText},
                  0},
        BeastCase{"FrameCutShortByTheNext", {kLong.substr(0, 12) + kShort}, {kShortText}, 1},
        BeastCase{
            "JunkBetweenFrames", {kShort + "junk\r\n\x01\x02", kLong}, {kShortText, kLongText}, 1},
        BeastCase{"UnknownTypeSkipped",
                  {Beast('4', "000000000001", "00112233445566778899AABBCCDD") + kShort},
                  {kShortText},
                  1},
        BeastCase{"JoinedMidFrame",  // the first bytes hold an escaped pair of another frame
                  {kEscaped.substr(3) + kLong},
                  {kLongText},
                  1},
        BeastCase{"ModeAcSkipped", {Beast('1', "000000000002", "1A20") + kShort}, {kShortText}, 0}),
    [](const ::testing::TestParamInfo<BeastCase>& info) { return info.param.name; });

TEST(BeastDecoder, EverySplitOfAStreamGivesTheSameFrames) {
    const std::string stream =
        kShort + kEscaped + Beast('1', "1A0000000000", "7700") + "\x05" + kLong + kEscaped;
    const std::vector<std::string> expected = {kShortText, kEscapedText, kLongText, kEscapedText};
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        const Decoded d = DecodeBeast({stream.substr(0, cut), stream.substr(cut)});
        EXPECT_EQ(d.texts, expected) << "cut at " << cut;
        EXPECT_EQ(d.modeAc, 1u);
        EXPECT_EQ(d.dropped, 1u);  // the stray 0x05
    }
    std::vector<std::string> bytes;
    for (const char c : stream) bytes.emplace_back(1, c);
    EXPECT_EQ(DecodeBeast(bytes).texts, expected);
}

struct RawCase {
    const char* name;
    std::vector<std::string> reads;
    std::vector<std::string> texts;
    std::uint64_t dropped;
};

class RawFrameSplitterCases : public ::testing::TestWithParam<RawCase> {};

TEST_P(RawFrameSplitterCases, TextsOut) {
    const RawCase& c = GetParam();
    std::vector<std::string> texts;
    RawFrameSplitter splitter([&texts](std::string_view t) { texts.emplace_back(t); });
    for (const std::string& r : c.reads) splitter.Feed(r);
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(splitter.dropped, c.dropped);
    EXPECT_EQ(splitter.frames, texts.size());
}

INSTANTIATE_TEST_SUITE_P(
    Streams, RawFrameSplitterCases,
    ::testing::Values(
        RawCase{"LinesWithLfAndCrLf",
                {kShortText + "\n" + kLongText + "\r\n"},
                {kShortText, kLongText},
                0},
        RawCase{"TextSplitAcrossReads",
                {kLongText.substr(0, 10), kLongText.substr(10) + "\n"},
                {kLongText},
                0},
        RawCase{"ReceiverClockVariant",
                {std::string("@0123456789AB") + kLongHex + ";\n"},
                {kLongText},
                0},
        RawCase{"CutShortByLineEnd", {"*8F4001\n" + kShortText + "\n"}, {kShortText}, 1},
        RawCase{"CutShortByNextText", {"*8F4001" + kShortText}, {kShortText}, 1},
        RawCase{"TooLong", {"*" + std::string(60, 'A') + ";" + kShortText}, {kShortText}, 1},
        RawCase{"NotHex", {"*5F4001594B0FBZ;*8D401;" + kShortText}, {kShortText}, 2},
        RawCase{"BadClockDigits",
                {std::string("@01234567XXAB") + kLongHex + ";" + kShortText},
                {kShortText},
                1},
        RawCase{"ModeAcIgnored", {"*7700;\n" + kShortText}, {kShortText}, 0},
        RawCase{"NoiseBetweenLines", {"\x1A\x33garbage\n\n" + kShortText}, {kShortText}, 0}),
    [](const ::testing::TestParamInfo<RawCase>& info) { return info.param.name; });

}  // namespace
}  // namespace aerova
