#include "receiver/frame_log_decoder.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "receiver/decoder_test_support.h"
#include "sim/traffic_simulator.h"

namespace aerova {
namespace {

std::vector<QJsonObject> JsonLines(const std::string& text) {
    std::vector<QJsonObject> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
    return lines;
}

TEST(FrameLogDecoder, LinesThroughTheReceiverPath) {
    std::istringstream in(
        "garbage\n"
        "\n"
        "1522782148.136311 3349832057515 19 *5F4001594B0FBB;\n"  // DF 11 announces 400159
        "*282018154A9D59;\r\n"                                   // DF 5 of 400159: 1017
        "*02A184999C5FE3;\n"                                     // DF 0: not queued without TCAS
        "*8D4249B5582903AB812C967242E3;\n"                       // damaged parity
        "*A0000392835b1f1f2064854800d9;\n"                       // DF 20 of an unheard address
        "1522782148.5 *8D4249B5582903AB812C967242E2;\n"          // DF 17 position of 4249B5
        "*8D4249B5582903AB812C967242E2\n");                      // no ";"
    std::ostringstream out;
    FrameLogOptions options;
    options.homelat = 59.80;
    options.homelon = 30.26;
    FrameLogSummary s = DecodeFrameLog(in, out, options);
    EXPECT_EQ(s.lines, 9u);
    EXPECT_EQ(s.malformed, 3u);
    EXPECT_EQ(s.rejected, 2u);
    EXPECT_EQ(s.unknown, 1u);
    EXPECT_EQ(s.decoded, 3u);
    std::istringstream lines(out.str());
    std::string first, second, third;
    std::getline(lines, first);
    std::getline(lines, second);
    std::getline(lines, third);
    EXPECT_EQ(first,
              "{\"idx\":2,\"icao\":\"400159\",\"callsign\":\"\",\"altitude\":\"\",\"squawk\":\"\","
              "\"lat\":\"\","
              "\"lon\":\"\",\"gspeed\":\"\",\"track\":\"\",\"vrate\":\"\",\"tas\":\"\",\"ias\":"
              "\"\",\"mach\":\"\","
              "\"heading\":\"\",\"selalt\":\"\",\"baro\":\"\",\"roll\":\"\",\"trackrate\":\"\","
              "\"cprstate\":1,"
              "\"onground\":\" "
              "\",\"blockident\":0,\"block40\":0,\"block50\":0,\"block60\":0,\"blockalt\":1}");
    QJsonObject reply = QJsonDocument::fromJson(QByteArray::fromStdString(second)).object();
    EXPECT_EQ(reply.value("idx").toInt(), 3);
    EXPECT_EQ(reply.value("squawk").toString(), "1017");
    EXPECT_EQ(reply.value("onground").toString(), "0");
    QJsonObject position = QJsonDocument::fromJson(QByteArray::fromStdString(third)).object();
    EXPECT_EQ(position.value("idx").toInt(), 7);
    EXPECT_EQ(position.value("icao").toString(), "4249B5");
    EXPECT_EQ(position.value("altitude").toString(), "7000");
    EXPECT_EQ(position.value("lat").toString(), "59.504882");
    EXPECT_EQ(position.value("lon").toString(), "31.0449829");
    EXPECT_EQ(position.value("cprstate").toInt(), 2);
}

TEST(FrameLogDecoderRealData, RecordedLogCounts) {
    const std::string path = testing::RecordingsDir() + "/ulss7_beast/ulss7.dedup.timed.txt";
    std::ifstream in(path);
    if (!in) GTEST_SKIP() << "recording not found: " << path;
    std::ostringstream out;
    FrameLogOptions options;
    options.homelat = 59.80;
    options.homelon = 30.26;
    options.tcas = true;
    FrameLogSummary s = DecodeFrameLog(in, out, options);
    // The peer decoder accepted 4461 of these frames: the same minus its 31 DF 16 replies,
    // which the receiver does not queue; 3 replies come from addresses never announced.
    EXPECT_EQ(s.lines, 4464u);
    EXPECT_EQ(s.malformed, 0u);
    EXPECT_EQ(s.rejected, 31u);
    EXPECT_EQ(s.unknown, 3u);
    EXPECT_EQ(s.decoded, 4430u);
    std::map<QString, QString> callsigns;
    for (const QJsonObject& o : JsonLines(out.str()))
        if (!o.value("callsign").toString().trimmed().isEmpty())
            callsigns[o.value("icao").toString()] = o.value("callsign").toString().trimmed();
    EXPECT_EQ(callsigns.size(), 11u);
    EXPECT_EQ(callsigns["4249B5"], "AFL032");
    EXPECT_EQ(callsigns["780C5D"], "CAO1024");
}

// Simulator -> receiver path -> decoder records: every one of 200 aircraft appears with its
// call sign and a position within 0.01 degree of the one it last sent.
TEST(FrameLogDecoder, SimulatedTrafficRoundTrip) {
    sim::SimOptions o;
    o.homelat = 47.45;
    o.homelon = -2.5;  // positions on both sides of Greenwich
    o.aircraft = 200;
    o.vehicles = 2;
    o.framesPerSecond = 1000;
    o.seed = 11;
    sim::TrafficSimulator simulator(o);
    const DayTime start = 46000.25;
    simulator.FramesDue(start);
    std::ostringstream frames;
    for (int k = 1; k <= 40; ++k)
        for (const std::string& f : simulator.FramesDue(start + k * 0.5 / 86400.0))
            frames << f << '\n';
    std::istringstream in(frames.str());
    std::ostringstream out;
    FrameLogOptions options;
    options.homelat = o.homelat;
    options.homelon = o.homelon;
    FrameLogSummary s = DecodeFrameLog(in, out, options);
    EXPECT_EQ(s.lines, 20000u);
    EXPECT_EQ(s.malformed + s.rejected, 0u);
    // The last line of each address holds its final record.
    std::map<QString, QJsonObject> last;
    {
        std::map<std::string, std::string> lastLine;
        std::istringstream lines(out.str());
        std::string line;
        while (std::getline(lines, line)) lastLine[line.substr(line.find("\"icao\""), 16)] = line;
        for (const auto& [key, text] : lastLine) {
            QJsonObject j = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
            last[j.value("icao").toString()] = j;
        }
    }
    ASSERT_EQ(last.size(), 202u);
    int west = 0;
    for (const sim::SimObject& a : simulator.objects()) {
        const QJsonObject& j = last[QString::fromStdString(testing::Hex6(a.icao))];
        EXPECT_EQ(j.value("callsign").toString().trimmed().toStdString(), a.callsign);
        ASSERT_TRUE(a.sentPosition);
        EXPECT_NEAR(j.value("lat").toString().toDouble(), a.sentLat, 0.01) << a.callsign;
        EXPECT_NEAR(j.value("lon").toString().toDouble(), a.sentLon, 0.01) << a.callsign;
        west += a.sentLon < 0;
    }
    EXPECT_GT(west, 50);
}

}  // namespace
}  // namespace aerova
