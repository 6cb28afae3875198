#include "core/report_codec.h"

#include <gtest/gtest.h>

#include "core/test_records.h"

namespace aerova {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

TSBSFlight Record() {
    return testing::Aircraft("4CA1FA");
}

TEST(NibblePackingTest, PacksPairsAndSendsTheZeroByteAsEE) {
    EXPECT_EQ(PackText("12:-. 3"), Bytes({0x12, 0xAC, 0xDB, 0x3E}));
    EXPECT_EQ(PackText("1005"), Bytes({0x10, 0x05}));
    EXPECT_EQ(PackText("0012"), Bytes({0xEE, 0x12}));
    EXPECT_EQ(UnpackText(Bytes({0xEE, 0x12})), "0012");
    EXPECT_EQ(UnpackText(PackText("00:00.")), "00:00.");
    EXPECT_EQ(UnpackText(PackText("-36.5: 7")), "-36.5: 7");
    EXPECT_EQ(PackText(""), "");
}

TEST(NibblePackingTest, CorruptNibblesComeBackAsMarks) {
    EXPECT_EQ(UnpackText(Bytes({0xF3})), "   *F+3");
    EXPECT_EQ(UnpackText(Bytes({0x3F})), "  *F+");
    EXPECT_EQ(UnpackText(Bytes({0xFF})), "  *F+");
    EXPECT_EQ(UnpackText(Bytes({0xE5})), "5");
    EXPECT_EQ(UnpackText(Bytes({0x5E})), "5");
}

TEST(ScramblingTest, AddressAndCallsignRoundTrip) {
    EXPECT_EQ(ScrambleAddress("4CA1FA"), "2EG7@G");
    EXPECT_EQ(UnscrambleAddress("2EG7@G"), "4CA1FA");
    const std::string call = ScrambleCallsign("EIN1");
    ASSERT_EQ(call.size(), 4u);
    for (char c : call) EXPECT_GE(static_cast<unsigned char>(c), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(call[0]), ('E' ^ 4) | 0x80);
    EXPECT_EQ(UnscrambleCallsign(call), "EIN1");
    EXPECT_EQ(UnscrambleCallsign("EIN1"), "EIN1") << "an unscrambled call sign is kept";
}

TEST(AltitudeCodeTest, DesignExamples) {
    struct Case {
        const char* altitude;
        const char* code;
        const char* back;
    } cases[] = {
        {"36025", "3602", "36025"}, {"5000", "0501", "5000"}, {"", "9999", ""},
        {"7", "0000", ""},          {"1275", "0124", "1275"}, {"450", "0043", "450"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AltitudeCode(c.altitude), c.code) << c.altitude;
        EXPECT_EQ(ExpandAltitudeCode(c.code), c.back) << c.code;
    }
    EXPECT_EQ(ExpandAltitudeCode("0125"), "-1200");
    EXPECT_EQ(ExpandAltitudeCode("0128"), "-1275");
}

TEST(LabelCodeTest, FlightLevelAltitudeAndGround) {
    EXPECT_EQ(LabelAltitudeCode("36025", "1013", "5500", '0'), "8360");
    EXPECT_EQ(LabelAltitudeCode("3000", "1013", "5500", '0'), "7030");
    EXPECT_EQ(LabelAltitudeCode("3000", "1023", "5500", '0'), "7033");  // +280 ft
    EXPECT_EQ(LabelAltitudeCode("25", "1013", "5500", '0'), "9000");
    EXPECT_EQ(LabelAltitudeCode("25", "1013", "-100", '0'), "8000");
    EXPECT_EQ(LabelAltitudeCode("36025", "1013", "5500", '1'), "9---");
    EXPECT_EQ(LabelAltitudeCode("", "1013", "5500", '0'), "");
    EXPECT_EQ(LabelAltitudeCode("3000", "", "5500", '0'), "");
}

TEST(EncodeSbsReportTest, HeadOnlyReportBytes) {
    const TSBSFlight r = Record();
    // Head "010000 0" + "9999" + "7000.5" + ":".
    const std::string expected =
        Bytes({0xFA, 0x05}) + "2EG7@G" +
        Bytes({0xFE, 0x01, 0xEE, 0xEE, 0xB0, 0x99, 0x99, 0x70, 0xEE, 0xD5, 0xAE, 0xFF});
    EXPECT_EQ(EncodeSbsReport(r, "1013", "5500"), expected);
}

TEST(EncodeSbsReportTest, BlocksInOrderAndParsedBack) {
    TSBSFlight r = Record();
    r.altitude = "36025";
    r.callsign = "RYR4AB";
    r.blockident = 1;
    r.lat = "53.12345";
    r.lon = "-6.2345";
    r.gnssdiff = "+125";
    r.vrate = "+1200";
    r.gspeed = "450";
    r.track = "270";
    r.tas = "460";
    r.kind = 0xB4;
    r.block40 = 1;
    r.selalt = "360";
    r.baro = "1013";
    r.modes40 = '3';
    r.block50 = 1;
    r.roll = "5";
    r.trackrate = "310";
    r.block60 = 1;
    r.heading = "268";
    r.ias = "280";
    r.mach = "800";
    r.blockalt = 1;
    r.squawk = "1234";
    const std::string d = EncodeSbsReport(r, "1013", "5500");
    ASSERT_EQ(ClassifyDatagram(d), DatagramKind::kMainReport);
    EXPECT_LT(d.find(static_cast<char>(0xF0)), d.find(static_cast<char>(0xF4)));
    EXPECT_LT(d.find(static_cast<char>(0xF4)), d.find(static_cast<char>(0xF5)));
    EXPECT_LT(d.find(static_cast<char>(0xF5)), d.find(static_cast<char>(0xF6)));
    EXPECT_LT(d.find(static_cast<char>(0xF6)), d.find(static_cast<char>(0xF8)));

    const auto m = ParseMainReport(d);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->kind, 5);
    EXPECT_EQ(m->address, "4CA1FA");
    EXPECT_TRUE(m->hashead);
    EXPECT_EQ(UnpackText(m->head), "010000 036027000.5:");
    ASSERT_TRUE(m->ident.present);
    const IdentFields f = ParseIdentBlock(m->ident.content);
    EXPECT_EQ(f.callsign, "RYR4AB");
    EXPECT_EQ(f.lat, "53.12345");
    EXPECT_EQ(f.lon, "-6.2345");
    EXPECT_EQ(f.gnssdiff, "+125");
    EXPECT_EQ(f.vrate, "+1200");
    EXPECT_EQ(f.gs, "450");
    EXPECT_EQ(f.track, "270");
    EXPECT_EQ(f.tas, "460");
    EXPECT_EQ(f.flags, 0xB4);
    EXPECT_EQ(UnpackText(m->selalt.content), "360:1013:3:");
    EXPECT_EQ(UnpackText(m->roll.content), "5:310:");
    EXPECT_EQ(UnpackText(m->heading.content), "268:280:800:");
    EXPECT_EQ(UnpackText(m->labelalt.content), "8360:1234:");
}

TEST(ParseMainReportTest, RejectsShortAndForeignDatagrams) {
    const std::string good = EncodeSbsReport(Record(), "1013", "5500");
    EXPECT_TRUE(ParseMainReport(good).has_value());
    EXPECT_FALSE(ParseMainReport(good.substr(0, good.size() - 1)).has_value());
    EXPECT_FALSE(ParseMainReport(Bytes({0xFA, 0x05, 0x32, 0xFE, 0xFF})).has_value());
    std::string kind6 = good;
    kind6[1] = 6;
    EXPECT_FALSE(ParseMainReport(kind6).has_value());
}

TEST(ParseMainReportTest, BlockMarkerWithoutContentIsTruncated) {
    const std::string d =
        Bytes({0xFA, 0x03}) + "4CA1FA" + Bytes({0xFE, 0x01, 0x02, 0x03, 0x04, 0xF8, 0xFF});
    const auto m = ParseMainReport(d);
    ASSERT_TRUE(m.has_value());
    EXPECT_TRUE(m->labelalt.present);
    EXPECT_TRUE(m->labelalt.truncated);
    EXPECT_FALSE(m->ident.present);
}

TEST(ParseIdentBlockTest, MissingEighthFieldCountsAsAllValid) {
    const std::string content = "ABC:" + PackText("1.5:2.5:.10:.640:300:90:0:");
    EXPECT_EQ(ParseIdentBlock(content).flags, 255);
    EXPECT_EQ(ParseIdentBlock("ABC:" + PackText("1.5:2.5:::::0:7128:")).flags, 255);
    EXPECT_EQ(ParseIdentBlock("ABC:" + PackText("1.5:2.5:::::0:9128:")).flags, 128);
    const IdentFields f = ParseIdentBlock(content);
    EXPECT_EQ(f.callsign, "ABC");
    EXPECT_EQ(f.gnssdiff, "+10");
    EXPECT_EQ(f.vrate, "+640");
}

TEST(ClassifyDatagramTest, KindsByFirstAndLastBytes) {
    struct Case {
        std::string d;
        DatagramKind kind;
    } cases[] = {
        {Bytes({0xE1, 'a', 0xEF}), DatagramKind::kReceiverStatus},
        {Bytes({0xFB, 0xFA, 0x05}), DatagramKind::kRelayed},
        {"{1:2}", DatagramKind::kPeerStatusOld},
        {Bytes({0x04, '1', 0x05}), DatagramKind::kPeerStatus},
        {"?1:2#", DatagramKind::kGpsPosition},
        {"[1:2]", DatagramKind::kNetworkFlight},
        {Bytes({0xFA, 0xCE, ':', '&'}), DatagramKind::kServerLine},
        {Bytes({0x01, 'a', 0x02}), DatagramKind::kChat},
        {Bytes({0xFA, 0xA1, ':', 0xFF}), DatagramKind::kAis},
        {Bytes({0xFA, 0xB1, ':', 0xFF}), DatagramKind::kNone},
        {"ab", DatagramKind::kNone},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyDatagram(c.d), c.kind);
}

}  // namespace
}  // namespace aerova

namespace aerova {
namespace {

TEST(LabelCodeTest, AbsurdAltitudesStayInRange) {
    EXPECT_EQ(LabelAltitudeCode("-1e300", "1013", "5500", '0'), "9000");
    EXPECT_EQ(LabelAltitudeCode("1e300", "1013", "5500", '0'), "8100000");
}

}  // namespace
}  // namespace aerova
