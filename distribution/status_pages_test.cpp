#include "distribution/status_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "base/day_time.h"
#include "distribution/test_flights.h"

namespace aerova {
namespace {

using testing::NewTable;
using testing::PlaceTarget;

// The row lines of `slot`, from "<tr>" to "</tr>", or empty when the page has none.
std::string RowOf(const std::string& page, int slot) {
    const std::string start = "<tr>\r\n<td><font face=\"Lucida Console\" ";
    for (std::size_t at = page.find(start); at != std::string::npos;
         at = page.find(start, at + 1)) {
        const std::size_t value = page.find("size=\"1\">", at) + 9;
        if (page.compare(value, std::to_string(slot).size() + 1, std::to_string(slot) + "<") != 0)
            continue;
        const std::size_t end = page.find("</tr>\r\n", at);
        return page.substr(at, end + 7 - at);
    }
    return {};
}

std::string Cell(std::string_view attributes, std::string_view value) {
    return "<td><font face=\"Lucida Console\" " + std::string(attributes) + "size=\"1\">" +
           std::string(value) + "</font></td>\r\n";
}

TEST(StatusPagesTest, HtmlEscapedReplacesTheMarkupCharacters) {
    EXPECT_EQ(HtmlEscaped("A&B <i>\"x\" 'y' \xB0"),
              "A&amp;B &lt;i&gt;&quot;x&quot; &#39;y&#39; \xB0");
}

TEST(StatusPagesTest, FlightPageFrameAndHeader) {
    const auto table = NewTable();
    const std::string page = FlightStatusPage(*table, "2024-05-01 12:00:00");
    const std::string head =
        "<html><head><title>Aerova Flight Status</title></head><body><div align=\"left\">\r\n"
        "<font face=\"Lucida Console\" size=\"3\"><b>Aerova Flight Status</b></font><br>\r\n"
        "<font face=\"Lucida Console\" size=\"2\">Time: 2024-05-01 12:00:00 UTC</font><br>\r\n"
        "<table border=\"1\" cellspacing=\"1\" cellpadding=\"1\" bordercolordark=\"#FFFFFF\">\r\n"
        "<tr>\r\n" +
        Cell("bgcolor=\"$C0C0C0\"", "#") + Cell("bgcolor=\"$C0C0C0\"", "Act");
    EXPECT_EQ(page.substr(0, head.size()), head);
    const std::string tail = Cell("bgcolor=\"$C0C0C0\"", "Route") +
                             Cell("bgcolor=\"$C0C0C0\"", "Last time") +
                             "</tr>\r\n</table></div></body></html>\r\n";
    ASSERT_GE(page.size(), tail.size());
    EXPECT_EQ(page.substr(page.size() - tail.size()), tail);  // no slot in use: no rows
    std::size_t cells = 0;
    for (std::size_t at = page.find("<td>"); at != std::string::npos;
         at = page.find("<td>", at + 1))
        ++cells;
    EXPECT_EQ(cells, 28u);
}

TEST(StatusPagesTest, GroundFlightWithRouteRowByteForByte) {
    const auto table = NewTable();
    Tflight& f = PlaceTarget(*table, 7, "3C6586");
    f.labeltext = "DLH4AB";
    f.icaotype = "A321";
    f.reg = "D-AIRA";
    f.squawk = "1000";
    f.ground = "1";
    f.altlabel = "G---";
    f.vratecode = " ";
    f.lat = "53.63";
    f.lon = "9.99";
    f.track3 = "271";
    f.gs4 = "  12";
    f.box = "0000";
    f.route = "EDDH-EDDF";
    f.lastseen = EncodeDateTime(2024, 5, 1, 7, 8, 9, 0);
    const std::string page = FlightStatusPage(*table, "x");
    // Both text colours apply; the route's wins over the position's.
    const std::string a = "bgcolor=\"$C1FFC1\" color=\"$0000FF\"";
    const std::string row =
        "<tr>\r\n" + Cell(a, "7") + Cell(a, "1") + Cell(a, "0") + Cell(a, "DLH4AB") +
        Cell(a, "3C6586") + Cell(a, "A321") + Cell(a, "D-AIRA") + Cell(a, "1000") + Cell(a, "1") +
        Cell(a, "G---") + Cell(a, "&nbsp") + Cell(a, "&nbsp") + Cell(a, "0") + Cell(a, "53.63") +
        Cell(a, "9.99") + Cell(a, "271") + Cell(a, "&nbsp") + Cell(a, "  12") + Cell(a, "&nbsp") +
        Cell(a, "&nbsp") + Cell(a, "&nbsp") + Cell(a, "&nbsp") + Cell(a, "&nbsp") +
        Cell(a, "&nbsp") + Cell(a, "&nbsp") + Cell(a, "0000") + Cell(a, "EDDH-EDDF") +
        Cell(a, "07:08:09") + "</tr>\r\n";
    EXPECT_EQ(RowOf(page, 7), row);
}

TEST(StatusPagesTest, RowColoursFollowPositionGroundAndRoute) {
    struct Case {
        bool nopos;
        const char* ground;
        const char* altlabel;
        const char* route;
        const char* attributes;
    };
    const Case cases[] = {
        {false, "0", "F350", "", " color=\"$009933\""},
        {true, "0", "F350", "", ""},
        {true, "0", "G---", "", "bgcolor=\"$C1FFC1\""},
        {true, "1", "", "", "bgcolor=\"$C1FFC1\""},
        {true, "0", "F350", "EDDH-EDDF", " color=\"$0000FF\""},
        {false, "0", "F350", "EDDH-EDDF", " color=\"$0000FF\""},
    };
    for (const Case& c : cases) {
        const auto table = NewTable();
        Tflight& f = PlaceTarget(*table, 2, "3C6586");
        f.nopos = c.nopos;
        f.ground = c.ground;
        f.altlabel = c.altlabel;
        f.route = c.route;
        const std::string row = RowOf(FlightStatusPage(*table, "x"), 2);
        EXPECT_EQ(row.substr(0, 6 + Cell(c.attributes, "2").size()),
                  "<tr>\r\n" + Cell(c.attributes, "2"))
            << c.ground << " " << c.altlabel << " " << c.route;
    }
}

TEST(StatusPagesTest, OnlySlotsInUseAreListedAndTextsAreEscaped) {
    const auto table = NewTable();
    PlaceTarget(*table, 4, "ABCDEF").labeltext = "A&B<X>";
    table->flights[9].free = false;  // deleted but not yet free: still listed
    const std::string page = FlightStatusPage(*table, "x");
    EXPECT_NE(RowOf(page, 4).find(">A&amp;B&lt;X&gt;</font>"), std::string::npos);
    EXPECT_NE(RowOf(page, 9).find(Cell("", "1")), std::string::npos);  // Del
    EXPECT_EQ(RowOf(page, 0), "");
    std::size_t rows = 0;
    for (std::size_t at = page.find("<tr>"); at != std::string::npos;
         at = page.find("<tr>", at + 1))
        ++rows;
    EXPECT_EQ(rows, 3u);  // header and two slots
}

TEST(StatusPagesTest, PeerRowByteForByte) {
    const auto table = NewTable();
    TPeer& p = table->peers[3];
    p.free = false;
    p.active = 1;
    p.station = "Hamburg <North>";
    p.icao = "EDDH";
    p.lat = "53.63";
    p.lon = "9.99";
    p.utc = "1";
    p.trans = "5000";
    p.qnh = "1013";
    p.qnhin = "2992";
    p.ip = "192.0.2.7";
    p.port = 7979;
    p.url = "a.example/?x&y";
    p.box = "AB12";
    p.version = "2.1";
    p.info = "it's";
    p.lastheard = EncodeDateTime(2024, 5, 1, 23, 59, 58, 0);
    const std::string page = PeerStatusPage(*table, "12:00:00");
    EXPECT_EQ(page.rfind("<html><head><title>Aerova Peer Status</title></head>", 0), 0u);
    EXPECT_NE(page.find(Cell("bgcolor=\"$C0C0C0\"", "QNH in")), std::string::npos);
    const std::string row =
        "<tr>\r\n" + Cell("", "3") + Cell("", "1") + Cell("", "Hamburg &lt;North&gt;") +
        Cell("", "EDDH") + Cell("", "53.63") + Cell("", "9.99") + Cell("", "1") + Cell("", "5000") +
        Cell("", "1013") + Cell("", "2992") + Cell("", "192.0.2.7") + Cell("", "7979") +
        Cell("", "a.example/?x&amp;y") + Cell("", "AB12") + Cell("", "2.1") + Cell("", "it&#39;s") +
        Cell("", "23:59:58") + "</tr>\r\n";
    const std::string tail = row + "</table></div></body></html>\r\n";
    ASSERT_GE(page.size(), tail.size());
    EXPECT_EQ(page.substr(page.size() - tail.size()), tail);
}

}  // namespace
}  // namespace aerova
