#include "station/list_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace aerova {
namespace {

Tflight SampleTarget() {
    Tflight f;
    f.modesdec = "5022202";
    f.modes = "4CA1FA";
    f.flightid = " RYR9QW";
    f.reg = "&EI-DCL";
    f.ground = "0";
    f.box = "36025";
    f.lat = "53.42187500012";
    f.lon = "-6.2401123046875";
    f.vrate = "-12";
    f.gs = "421";
    f.track = "87";
    f.squawk = "7700E+";
    return f;
}

TEST(ListFilesTest, PositionLineByteForByte) {
    const DayTime t = EncodeDateTime(2026, 1, 2, 3, 4, 5, 67);
    EXPECT_EQ(PositionLine(SampleTarget(), t),
              "\"2026/01/02\",\"03:04:05.067\",\"5022202\",\"4CA1FA\",\"RYR9QW  \",\"EI-DCL\","
              "\"0\",\"36025\",\"36025\",\"53.4218750\",\"-6.24011230\",\"-1200\",\"-1200\","
              "\"421.0\",\"87.0\",\"0\",\"7700\"");
    Tflight quiet = SampleTarget();
    quiet.vrate = "  ";
    quiet.squawk = "12";
    const std::string line = PositionLine(quiet, t);
    EXPECT_NE(line.find("\"0\",\"0\",\"421.0\""), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 6), "\"12  \"");
}

TEST(ListFilesTest, AQuoteOrLineEndInATextStaysOutOfTheLine) {
    Tflight f = SampleTarget();
    f.flightid = "RY\"R\r\n9";
    f.reg = "EI,\"DCL";
    const std::string line = PositionLine(f, EncodeDateTime(2026, 1, 2, 3, 4, 5, 67));
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_NE(line.find("\"RYR9    \",\"EI,DCL\""), std::string::npos) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 34);  // 17 fields, each quoted
}

TEST(ListFilesTest, NoPositionLineByteForByte) {
    Tflight f = SampleTarget();
    f.lat = "";
    f.lon = "";
    EXPECT_EQ(NoPositionLine(f, EncodeDateTime(2026, 1, 2, 3, 4, 5, 67)),
              "\"2026/01/02\",\"03:04:05.067\",\"4CA1FA\",\"RYR9QW\",\"0\",\"36025\",\"\",\"\","
              "\"-12\",\"421\",\"87\",\"7700\"");
    EXPECT_EQ(CompanionPath("/data/bst/20261209-120000.bst"),
              "/data/bst/nopos/np-20261209-120000.bst");
}

}  // namespace
}  // namespace aerova
