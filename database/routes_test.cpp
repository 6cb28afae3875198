#include "database/routes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/files.h"
#include "base/strings.h"
#include "database/test_support.h"

namespace aerova {
namespace {

struct MarksCase {
    const char* route;
    const char* home;
    bool arrival;
    bool departure;
    const char* arrivaltext;
    const char* departuretext;
};

class RouteMarksTest : public ::testing::TestWithParam<MarksCase> {};

TEST_P(RouteMarksTest, MarksAndTexts) {
    const MarksCase& c = GetParam();
    const TRouteMarks m = RouteMarks(c.route, c.home);
    EXPECT_EQ(m.arrival, c.arrival);
    EXPECT_EQ(m.departure, c.departure);
    EXPECT_EQ(m.arrivaltext, c.arrivaltext);
    EXPECT_EQ(m.departuretext, c.departuretext);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, RouteMarksTest,
    ::testing::Values(MarksCase{"FRA 0700-0810 HAM", "HAM", true, false, "FRA/0810", "0700/HAM"},
                      MarksCase{"HAM 0700-0810 FRA", "HAM", false, true, "HAM/0810", "0700/FRA"},
                      MarksCase{"HAM-FRA", "HAM", false, true, "", ""},
                      MarksCase{"HAM - FRA", "HAM", false, true, "HAM/    ", "    /FRA"},
                      MarksCase{"FRA-HAM", "HAM", true, false, "", ""},
                      MarksCase{"FRA 0700-0810 HAM", " ham ", true, false, "FRA/0810", "0700/HAM"},
                      // Without a home airport nothing arrives or departs; the texts stay.
                      MarksCase{"FRA 0700-0810 HAM", "", false, false, "FRA/0810", "0700/HAM"},
                      MarksCase{"FRA(T1) 0700-0810 HAM", "MUC", false, false, "FRA/0810",
                                "0700/HAM"},
                      MarksCase{"HAM", "HAM", false, false, "", ""},
                      MarksCase{"", "HAM", false, false, "", ""},
                      MarksCase{"-", "HAM", false, false, "", ""}));

class RouteFilesTest : public ::testing::Test {
  protected:
    std::string Lookup(std::string_view callSign) {
        return routes.LookupRoute(callSign, flight, "HAM", today);
    }
    testing::TempDir dir;
    RouteFiles routes{dir.File("aerova-routes")};
    Tflight flight;
    DayTime today = EncodeDate(2024, 6, 3);  // a Monday
};

TEST_F(RouteFilesTest, AirlineFileThenSecondFileThenConsoleFile) {
    dir.Write("aerova-routes/DLH.rte", "[routes]\r\n123=FRA 0700-0810 HAM\r\n");
    dir.Write("aerova-routes/DLH.rte1", "[routes]\r\n124=MUC 0900-1010 HAM\r\n");
    dir.Write("aerova-routes/console.rte2",
              "[routes]\r\nDLH123=XXX-YYY\r\nDLH125=HAM 1200-1300 LHR\r\n");
    EXPECT_EQ(Lookup("DLH123"), "FRA 0700-0810 HAM");
    EXPECT_TRUE(flight.routeflag1);
    EXPECT_FALSE(flight.routeflag2);
    EXPECT_EQ(flight.routefrom, "FRA/0810");
    EXPECT_EQ(flight.routeto, "0700/HAM");

    EXPECT_EQ(Lookup("DLH124"), "MUC 0900-1010 HAM");
    EXPECT_EQ(Lookup("DLH125"), "HAM 1200-1300 LHR");
    EXPECT_FALSE(flight.routeflag1);
    EXPECT_TRUE(flight.routeflag2);
    EXPECT_EQ(flight.routeto, "1200/LHR");
    EXPECT_EQ(Lookup("DLH999"), "");
    EXPECT_FALSE(flight.routeflag2);
    EXPECT_EQ(flight.routeto, "");
}

TEST_F(RouteFilesTest, ConsoleFileWithoutAirlineFile) {
    dir.Write("aerova-routes/console.rte2", "[Routes]\r\n dlh123 = FRA-HAM \r\n");
    EXPECT_EQ(Lookup("DLH123"), "FRA-HAM");
    EXPECT_TRUE(flight.routeflag1);
}

TEST_F(RouteFilesTest, OddKeysAndValues) {
    dir.Write("aerova-routes/BAW.rte",
              "junk before any section\n"
              "[other]\n1=WRONG\n"
              "[routes]\n"
              "=no key\n"
              "; 2=commented\n"
              "2x=\"LHR-HAM\"\n"
              "2X=second of equal keys\n"
              "3=LHR 0700-0810 HAMequipment\n"
              "4=LHR 0700-0810 HAM and a very long tail of text\n"
              "no equals sign\n"
              "[routes]\n5=a later section of the same name is not read\n");
    EXPECT_EQ(Lookup("BAW1"), "");
    EXPECT_EQ(Lookup("BAW2"), "");
    EXPECT_EQ(Lookup("BAW2X"), "LHR-HAM");
    EXPECT_EQ(Lookup("BAW2x"), "LHR-HAM");
    EXPECT_EQ(Lookup("BAW3"), "");  // "eq" discards a route
    EXPECT_FALSE(flight.routeflag1);
    EXPECT_EQ(Lookup("BAW4"), "LHR 0700-0810 HAM and a very lon");
    EXPECT_EQ(Lookup("BAW5"), "");
}

TEST_F(RouteFilesTest, CallSignsThatAreNotLookedUpChangeNothing) {
    dir.Write("aerova-routes/console.rte2", "[routes]\nDLH=FRA-HAM\nD1H123=FRA-HAM\n");
    flight.routeflag1 = true;
    flight.routefrom = "kept";
    for (const char* callSign : {"", "DLH", "D1H123", "dlh123", "DL 123"}) {
        EXPECT_EQ(Lookup(callSign), "") << callSign;
        EXPECT_TRUE(flight.routeflag1) << callSign;
        EXPECT_EQ(flight.routefrom, "kept") << callSign;
    }
}

TEST_F(RouteFilesTest, ChangedFilesAreReadAgain) {
    dir.Write("aerova-routes/DLH.rte", "[routes]\n123=FRA-HAM\n");
    EXPECT_EQ(Lookup("DLH123"), "FRA-HAM");
    dir.Write("aerova-routes/DLH.rte", "[routes]\n123=MUC-HAM\n");  // same size, same second
    EXPECT_EQ(Lookup("DLH123"), "MUC-HAM");
    std::filesystem::remove(dir.File("aerova-routes/DLH.rte"));
    EXPECT_EQ(Lookup("DLH123"), "");
    dir.Write("aerova-routes/DLH.rte", "[routes]\n123=CGN-HAM\n");
    EXPECT_EQ(Lookup("DLH123"), "CGN-HAM");
}

TEST_F(RouteFilesTest, StoredRoutesAreFoundAndOtherKeysKept) {
    dir.Write("aerova-routes/EZY.rte", "; kept comment\r\n[routes]\r\n1=LTN-HAM\r\n");
    EXPECT_TRUE(routes.StoreRoute("EZY12AB", "HAM 0700-0810 LGW"));
    EXPECT_EQ(Lookup("EZY12AB"), "HAM 0700-0810 LGW");
    EXPECT_EQ(Lookup("EZY1"), "LTN-HAM");
    EXPECT_TRUE(routes.StoreRoute("EZY12AB", "HAM-LGW"));
    EXPECT_EQ(Lookup("EZY12AB"), "HAM-LGW");
    std::string content;
    ASSERT_TRUE(ReadWholeFile(dir.File("aerova-routes/EZY.rte"), content));
    EXPECT_EQ(content, "; kept comment\r\n[routes]\r\n1=LTN-HAM\r\n12AB=HAM-LGW\r\n");
    EXPECT_FALSE(FileExists(dir.File("aerova-routes/EZY.rte.tmp")));
    EXPECT_EQ(routes.RouteFilePath("EZY12AB"), dir.File("aerova-routes/EZY.rte"));
    EXPECT_FALSE(routes.StoreRoute("EZ", "X"));
}

TEST(GwiEntryTest, FieldsDatesAndDayMarks) {
    const Tgwiflt e = ParseGwiEntry("45000;45100;X;-;Xyz;;x;X;X;CGN 0700-0810 HAM;extra");
    EXPECT_EQ(e.validfrom, 45000);
    EXPECT_EQ(e.validto, 45100);
    EXPECT_EQ(std::string(e.days.begin(), e.days.end()), "X-X xXX");
    EXPECT_EQ(e.route, "CGN 0700-0810 HAM;extra");

    const Tgwiflt bad = ParseGwiEntry("soon;70000;X");
    EXPECT_EQ(bad.validfrom, 1);
    EXPECT_EQ(bad.validto, 1);
    EXPECT_EQ(std::string(bad.days.begin(), bad.days.end()), "X      ");
    EXPECT_EQ(bad.route, "");
}

TEST_F(RouteFilesTest, GwiTimetableReadsAtMostOneHundredEntries) {
    std::string text = "[GWI123]\r\n";
    for (int i = 0; i < 105; ++i)
        text += Concat(
            {"F", std::to_string(i), "=45000;45100;X;X;X;X;X;X;X;R", std::to_string(i), "\r\n"});
    text += "[GWI124]\r\nF0=1;2;X;X;X;X;X;X;X;A\r\nF2=1;2;X;X;X;X;X;X;X;B\r\n";
    dir.Write("aerova-routes/gwi.txt", text);
    const auto entries = routes.GwiTimetable("123");
    ASSERT_EQ(entries.size(), 100u);
    EXPECT_EQ(entries[99].route, "R99");
    EXPECT_EQ(routes.GwiTimetable("124").size(), 1u);  // read until the first missing key
    EXPECT_EQ(routes.GwiTimetable("125").size(), 0u);
}

TEST_F(RouteFilesTest, GwiRouteOfToday) {
    const int day = static_cast<int>(today);
    const std::string d = std::to_string(day);
    dir.Write("aerova-routes/gwi.txt",
              "[GWI123]\n"
              "F0=" +
                  std::to_string(day + 1) + ";" + std::to_string(day + 30) +
                  ";X;X;X;X;X;X;X;NOT YET-HAM\n"
                  "F1=" +
                  d + ";" + d +
                  ";-;X;X;X;X;X;X;NOT MONDAYS-HAM\n"
                  "F2=" +
                  d + ";" + d +
                  ";X;-;-;-;-;-;-;CGN 0700-0810 HAM\n"
                  "F3=" +
                  d + ";" + d +
                  ";X;X;X;X;X;X;X;LATER-HAM\n"
                  "[GWI9]\nF0=" +
                  std::to_string(day - 10) + ";" + std::to_string(day - 1) +
                  ";X;X;X;X;X;X;X;EXPIRED-HAM\n");
    dir.Write("aerova-routes/GWI.rte", "[routes]\n9=STR-HAM\n");
    EXPECT_EQ(Lookup("GWI123"), "CGN 0700-0810 HAM");
    EXPECT_TRUE(flight.routeflag1);
    EXPECT_EQ(flight.routefrom, "CGN/0810");
    // No entry for today: the airline's route file still answers.
    EXPECT_EQ(Lookup("GWI9"), "STR-HAM");
    today += 1;  // Tuesday, after the entries' last day
    EXPECT_EQ(Lookup("GWI123"), "NOT YET-HAM");
}

}  // namespace
}  // namespace aerova
