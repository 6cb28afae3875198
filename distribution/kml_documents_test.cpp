#include "distribution/kml_documents.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "base/files.h"
#include "distribution/test_flights.h"
#include "distribution/xml_lint.h"

namespace aerova {
namespace {

using testing::NewTable;
using testing::PlaceTarget;

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kml xmlns=\"http://earth.google.com/kml/2.1\">"
    "<NetworkLinkControl><minRefreshPeriod>1</minRefreshPeriod><linkName>Aerova Panorama"
    "</linkName></NetworkLinkControl><Document>";
const std::string kTail = "</Document></kml>";

KmlStyle TestStyle() {
    KmlStyle s;
    s.active = {0, 1, 0};
    s.inactive = {0.5f, 0.5f, 0.5f};
    s.onground = {0, 0, 1};
    s.vehicle = {1, 1, 0};
    s.climbing = {1, 0, 0};
    s.descending = {0, 0, 0.2f};
    s.iconDir = "/st/aerova-scripts";
    return s;
}

// An airborne, descending aircraft with a track.
Tflight& PlaceAircraft(FlightTable& table, int slot = 3) {
    Tflight& f = PlaceTarget(table, slot, "3C6586");
    f.flightid = "DLH4AB";
    f.lat = "50.1";
    f.lon = "10.2";
    f.altlabel = "F350";
    f.fl = 350;
    f.track3 = "090";
    f.vratecode = "-10";
    f.gs4 = "450";
    return f;
}

const std::string kBalloon =
    "<b><h2>DLH4AB</h2></b> Mode-S 3C6586<br/><br/>F350  -1000 ft/min<br/>GS 450<br/>"
    "TT 090<br/>";

std::string AircraftStyle(const std::string& scale, const std::string& href) {
    return "<Placemark><Style><IconStyle><color>FF330000</color><heading>090</heading><scale>" +
           scale + "</scale><Icon><href>" + href +
           "</href></Icon></IconStyle><BalloonStyle><text>" + kBalloon +
           "</text></BalloonStyle>'</Style>";
}

struct DocumentCase {
    const char* what;
    std::function<void(FlightTable&, KmlOptions&)> setup;
    bool atcbox;
    std::string expected;
};

TEST(KmlDocuments, BuiltInDocumentsByteForByte) {
    const std::vector<DocumentCase> cases = {
        {"defaults: call sign and altitude, clamped, scale 0.8",
         [](FlightTable& t, KmlOptions&) { PlaceAircraft(t); }, false,
         kHead + AircraftStyle("0.8", "/st/aerova-scripts/flight.gif") +
             "<name>DLH4AB F350</name><Snippet></Snippet><visibility>1</visibility><Point>"
             "<altitudeMode>clampedToGround</altitudeMode><coordinates>10.2,50.1,0</coordinates>"
             "</Point></Placemark>" +
             kTail},
        {"every name item, absolute altitude, scale 1.0, trail with a repeated point",
         [](FlightTable& t, KmlOptions& o) {
             PlaceAircraft(t);
             o.track = o.vrate = o.gs = o.reg = o.icaotype = o.route = o.trails = true;
             o.usealtitude = false;
             o.iconscale = 6;
             t.AddHistoryPoint(3, 340, 50.0f, 10.0f);
             t.AddHistoryPoint(3, 345, 50.05f, 10.1f);
             t.AddHistoryPoint(3, 345, 50.05f, 10.1f);
         },
         false,
         kHead + AircraftStyle("1.0", "/st/aerova-scripts/flight.gif") +
             "<name>DLH4AB F350 090\xC2\xB0 -10 450</name><Snippet></Snippet><visibility>1"
             "</visibility><Point><altitudeMode>absolute</altitudeMode><coordinates>"
             "10.2,50.1,10668</coordinates></Point></Placemark>"
             "<Placemark><Style><LineStyle><color>FF330000</color></LineStyle></Style>"
             "<LineString><altitudeMode>absolute</altitudeMode><extrude>1</extrude><coordinates>"
             "10,50,10363\r\n10.1,50.05,10516\r\n10.2,50.1,10668\r\n"
             "</coordinates></LineString></Placemark>" +
             kTail},
        {"ATC box with a peer: no head, bare icon names, positions cut to two decimals",
         [](FlightTable& t, KmlOptions& o) {
             PlaceAircraft(t);
             o.peers = true;
             TPeer& p = t.peers[1];
             p.free = false;
             p.station = "Hamburg";
             p.lat = "53.6312";
             p.lon = "9.9876";
         },
         true,
         "<Document><Style id=\"radar\"><IconStyle><color>FF00FF00</color><Icon><href>"
         "root://icons/palette-4.png</href><x>32</x><y>0</y><w>32</w><h>32</h></Icon>"
         "</IconStyle></Style><Placemark><name>Hamburg</name><styleUrl>#radar</styleUrl>"
         "<visibility>1</visibility><Point><altitudeMode>clampedtoground</altitudeMode>"
         "<coordinates>9.98,53.63,0</coordinates></Point></Placemark>" +
             AircraftStyle("0.8", "flight.gif") +
             "<name>DLH4AB F350</name><Snippet></Snippet><visibility>1</visibility><Point>"
             "<altitudeMode>clampedToGround</altitudeMode><coordinates>10.2,50.1,0</coordinates>"
             "</Point></Placemark>" +
             kTail},
        {"a vehicle without call sign: no heading, auto.gif, the address as name",
         [](FlightTable& t, KmlOptions& o) {
             Tflight& v = PlaceTarget(t, 5, "AA0001");
             v.labeltext = "TUGv";
             v.altlabel = "G---";
             v.gs4 = "12";
             v.lat = "53.63";
             v.lon = "9.99";
             o.altitude = false;
         },
         false,
         kHead +
             "<Placemark><Style><IconStyle><color>FF00FFFF</color><scale>0.8</scale><Icon><href>"
             "/st/aerova-scripts/auto.gif</href></Icon></IconStyle><BalloonStyle><text><b></b> "
             "[AA0001]<br/>GS 12</text></BalloonStyle></Style><name>[AA0001]</name><Snippet>"
             "</Snippet><visibility>1</visibility><Point><altitudeMode>clampedToGround"
             "</altitudeMode><coordinates>9.99,53.63,0</coordinates></Point></Placemark>" +
             kTail},
    };
    for (const DocumentCase& c : cases) {
        auto table = NewTable();
        KmlOptions options;
        c.setup(*table, options);
        const std::string doc = c.atcbox ? AtcBoxDocument(*table, options, TestStyle())
                                         : AircraftDocument(*table, options, TestStyle());
        EXPECT_EQ(doc, c.expected) << c.what;
    }
}

TEST(KmlDocuments, ColourAndIconFollowTheTargetsState) {
    struct Case {
        int state;
        const char *labeltext, *altlabel, *vratecode, *track3;
        const char *colour, *icon;
    };
    const Case cases[] = {
        {1, "DLH", "F350", "", "090", "FF00FF00", "flight.gif"},     // active
        {1, "DLH", "F350", " +5", "090", "FF0000FF", "flight.gif"},  // climbing (trimmed code)
        {1, "DLH", "F350", "-5", "090", "FF330000", "flight.gif"},   // descending
        {1, "DLH", "G---", "", "090", "FFFF0000", "nohdg.gif"},      // on the ground
        {1, "DLH", "", "", "090", "FFFF0000", "nohdg.gif"},          // no altitude label
        {1, "DLH", "F350", "", "", "FF00FF00", "nohdg.gif"},         // no track
        {1, "car v", "G---", "", "090", "FF00FFFF", "auto.gif"},     // ground vehicle
        {0, "DLH", "F350", "+5", "090", "FF808080", "flight.gif"},   // inactive wins
        {0, "car v", "G---", "", "", "FF808080", "auto.gif"},
    };
    for (const Case& c : cases) {
        auto table = NewTable();
        Tflight& f = PlaceAircraft(*table);
        f.state = c.state;
        f.labeltext = c.labeltext;
        f.altlabel = c.altlabel;
        f.vratecode = c.vratecode;
        f.track3 = c.track3;
        const std::string doc = AtcBoxDocument(*table, KmlOptions{}, TestStyle());
        const std::string label = std::string(c.labeltext) + "/" + c.altlabel + "/" + c.vratecode;
        EXPECT_NE(doc.find(std::string("<color>") + c.colour + "</color>"), std::string::npos)
            << label << "\n"
            << doc;
        EXPECT_NE(doc.find(std::string("<href>") + c.icon + "</href>"), std::string::npos) << label;
    }
}

TEST(KmlDocuments, IconScaleIndexOutOfRangeGivesTheDefault) {
    const std::pair<int, const char*> cases[] = {{0, "0.33"}, {3, "0.75"}, {6, "1.0"},
                                                 {-1, "0.8"}, {7, "0.8"},  {1 << 30, "0.8"}};
    auto table = NewTable();
    PlaceAircraft(*table);
    for (const auto& [index, scale] : cases) {
        KmlOptions o;
        o.iconscale = index;
        EXPECT_NE(AtcBoxDocument(*table, o, TestStyle()).find(std::string("<scale>") + scale + "<"),
                  std::string::npos)
            << index;
    }
}

// A position text that is not a number within range would go into the coordinates as it
// is: such a target or peer is left out.
TEST(KmlDocuments, OnlyNumericPositionsAreShown) {
    const std::pair<const char*, bool> cases[] = {
        {"50.1", true}, {"-5", true},   {"+5", true},    {"5.", true},   {" 7.25 ", true},
        {"", false},    {"abc", false}, {"91", false},   {"1e2", false}, {"50.1.2", false},
        {"--5", false}, {"NaN", false}, {"5<a>", false}, {".", false},
    };
    for (const auto& [lat, shown] : cases) {
        auto table = NewTable();
        PlaceAircraft(*table).lat = lat;
        TPeer& p = table->peers[0];
        p.free = false;
        p.station = "P";
        p.lat = lat;
        p.lon = "9";
        KmlOptions o;
        o.peers = true;
        const std::string doc = AtcBoxDocument(*table, o, TestStyle());
        EXPECT_EQ(doc.find("DLH4AB") != std::string::npos, shown) << lat;
        EXPECT_EQ(doc.find("<name>P</name>") != std::string::npos, shown) << lat;
    }
}

// Values from the table are Latin-1 and may hold markup characters; the document stays
// well-formed UTF-8.
TEST(KmlDocuments, MarkupInTheValuesIsEscaped) {
    auto table = NewTable();
    Tflight& f = PlaceAircraft(*table);
    f.flightid =
        "A&<\x01"
        "B";
    f.icaotype = "T\"'>";
    f.route = "X<&Y\xE9";
    f.sqlaircraft.columns[6] = "R&<1";
    f.sqlaircraft.columns[21] = "O</text>";
    f.mcp = "]]";
    TPeer& p = table->peers[0];
    p.free = false;
    p.station = "P&<Q";
    p.lat = "53.5";
    p.lon = "10";
    table->windows[0].selected = 3;
    KmlOptions o;
    o.track = o.vrate = o.gs = o.reg = o.icaotype = o.route = o.trails = o.peers = true;
    const std::string doc = AircraftDocument(*table, o, TestStyle());
    for (const char* part :
         {"<name>A&amp;&lt;\xEF\xBF\xBD"
          "B F350 090\xC2\xB0 -10 450 R&amp;&lt;1 "
          "T&quot;&apos;&gt; X&lt;&amp;Y\xC3\xA9</name>",
          "<b><h2>A&amp;&lt;\xEF\xBF\xBD"
          "B</h2></b>",
          "O&lt;/text&gt;<br/>", "F350&gt;]]  -1000", "<name>P&amp;&lt;Q</name>"})
        EXPECT_NE(doc.find(part), std::string::npos) << part << "\n" << doc;
    EXPECT_EQ(doc.find("A&<"), std::string::npos);
    const std::string cockpit = CockpitDocument(*table, CockpitSelection(*table));
    EXPECT_NE(cockpit.find("<name>A&amp;&lt;\xEF\xBF\xBD"
                           "B</name>"),
              std::string::npos);
    if (!testing::XmllintAvailable()) GTEST_SKIP() << "xmllint is missing (libxml2-utils)";
    EXPECT_TRUE(testing::WellFormedXml(doc));
    EXPECT_TRUE(testing::WellFormedXml(cockpit));
}

// The trail walks the 30 entries the ring holds, in age order; an unknown flight level is
// 0 m, not 274 m below the sea.
TEST(KmlDocuments, TrailWalksTheRingAndUnknownLevelsAreZero) {
    auto table = NewTable();
    Tflight& f = PlaceAircraft(*table);
    f.fl = -9;
    for (int i = 0; i < 35; ++i)
        table->AddHistoryPoint(3, i % 2 ? -9 : 100, static_cast<float>(50 + i * 0.01),
                               static_cast<float>(10 + i * 0.01));
    ASSERT_TRUE(table->history[3].wrapped);
    KmlOptions o;
    o.trails = true;
    o.usealtitude = false;
    std::string doc = AtcBoxDocument(*table, o, TestStyle());
    const std::size_t from = doc.find("<coordinates>10.05,");
    ASSERT_NE(from, std::string::npos) << doc;
    const std::string points = doc.substr(from + 13, doc.find("</coordinates>", from) - from - 13);
    EXPECT_EQ(points.substr(0, 34), "10.05,50.05,0\r\n10.06,50.06,3048\r\n1");
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = points.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 31u);  // 30 entries and the current position
    EXPECT_NE(points.find("10.34,50.34,3048\r\n10.2,50.1,0\r\n"), std::string::npos) << points;
    EXPECT_EQ(doc.find("-274"), std::string::npos);
    EXPECT_EQ(doc.find("0,0,"), std::string::npos);
    EXPECT_NE(doc.find("<coordinates>10.2,50.1,0</coordinates></Point>"), std::string::npos);

    // Before a wrap only the entries written since the reset count, not what an earlier
    // target left in the ring; a single entry gives no points at all.
    table->ResetHistory(3);
    table->AddHistoryPoint(3, 100, 51, 11);
    doc = AtcBoxDocument(*table, o, TestStyle());
    EXPECT_NE(doc.find("<extrude>1</extrude><coordinates></coordinates>"), std::string::npos)
        << doc;
    table->AddHistoryPoint(3, 100, 52, 12);
    doc = AtcBoxDocument(*table, o, TestStyle());
    EXPECT_NE(doc.find("<coordinates>11,51,3048\r\n12,52,3048\r\n10.2,50.1,0\r\n</coordinates>"),
              std::string::npos)
        << doc;

    table->windows[0].selected = 3;
    EXPECT_NE(CockpitDocument(*table, 3).find("<altitude>0</altitude>"), std::string::npos);
}

TEST(KmlDocuments, CockpitFollowsTheSelection) {
    auto table = NewTable();
    PlaceAircraft(*table).fl = 355;
    PlaceTarget(*table, 0, "4CA1FA").lat = "53.4";
    table->flights[0].lon = "-6.2";
    table->flights[7].deleted = true;
    struct Case {
        int window1, window2, expected;
    };
    const Case cases[] = {{3, -1, 3},   {-1, 3, 3},     {0, 3, 0}, {7, 3, 3},
                          {-1, -1, -1}, {2000, -5, -1}, {7, 7, -1}};
    for (const Case& c : cases) {
        table->windows[0].selected = c.window1;
        table->windows[1].selected = c.window2;
        EXPECT_EQ(CockpitSelection(*table), c.expected) << c.window1 << " " << c.window2;
    }
    EXPECT_EQ(CockpitDocument(*table, 3),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kml "
              "xmlns=\"http://earth.google.com/kml/2.0\"><Placemark><description>DLH4AB"
              "</description><name>DLH4AB</name><visibility>1</visibility><LookAt id=\"Cp\">"
              "<altitudeMode>absolute</altitudeMode><longitude>10.2</longitude><latitude>50.1"
              "</latitude> <altitude>10820.4</altitude><range>0</range><tilt>80.0</tilt>"
              "<heading>090</heading></LookAt></Placemark></kml>");
    EXPECT_EQ(CockpitDocument(*table, -1), "");
    EXPECT_EQ(CockpitDocument(*table, 7), "");
}

const char kTemplate[] =
    "; the station's aircraft template\r\n"
    "[%init%]\r\n"
    "  <?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "\r\n"
    "<kml xmlns=\"http://earth.google.com/kml/2.1\"><Document><!-- caf\xE9 -->\r\n"
    "[%peers%]\n"
    "<Placemark><name>%peerid%</name><Point><coordinates>%peerlong%,%peerlat%,0</coordinates>"
    "</Point></Placemark>\n"
    "[%flights%]\n"
    "<Placemark><name>%variableflno% %lbalt%</name><description>%registration% %route% %gs% "
    "%track% %vrate% %unknown%</description>\n"
    "<Point><altitudeMode>%altitudemode%</altitudeMode><coordinates>%long%,%lat%,%altitude%"
    "</coordinates></Point></Placemark>\n"
    "[%selected%]\n"
    "<Placemark><name>Selected %flno%</name></Placemark>\n"
    "[%exit%]\n"
    "</Document></kml>\n"
    "[%%control%%]\n"
    "selected=1\n"
    "history=9\n";

TEST(KmlDocuments, TemplateDocumentReplacesInOnePassAndEscapes) {
    auto table = NewTable();
    Tflight& a = PlaceAircraft(*table);
    a.flightid = "%lat%&";  // a replaced value is never scanned again
    a.route = "A<B";
    a.sqlaircraft.columns[6] = "D-X&";
    Tflight& b = PlaceTarget(*table, 4, "4CA1FA");
    b.lat = "53.4";
    b.lon = "-6.2";
    PlaceTarget(*table, 5, "4CA1FB").nopos = true;
    TPeer& p = table->peers[2];
    p.free = false;
    p.station = "Ham&burg";
    p.lat = "53.6312";
    p.lon = "9.9876";

    const KmlTemplate t = ParseKmlTemplate(kTemplate);
    EXPECT_TRUE(t.showPeers && t.showFlights && t.showSelected && !t.showTrails && !t.onground);
    EXPECT_EQ(t.history, 9);
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<kml xmlns=\"http://earth.google.com/kml/2.1\"><Document><!-- caf\xEF\xBF\xBD -->\r\n"
        "<Placemark><name>Ham&amp;burg</name><Point><coordinates>9.9876,53.6312,0</coordinates>"
        "</Point></Placemark>\r\n"
        "<Placemark><name>%lat%&amp; F350</name><description>D-X&amp; A&lt;B 450 090 -10 "
        "%unknown%</description>\r\n"
        "<Point><altitudeMode>absolute</altitudeMode><coordinates>10.2,50.1,10668</coordinates>"
        "</Point></Placemark>\r\n"
        "<Placemark><name>4CA1FA </name><description>     %unknown%</description>\r\n"
        "<Point><altitudeMode>absolute</altitudeMode><coordinates>-6.2,53.4,0</coordinates>"
        "</Point></Placemark>\r\n"
        "<Placemark><name>Selected %lat%&amp;</name></Placemark>\r\n"
        "</Document></kml>\r\n";
    table->windows[0].selected = 3;
    const std::string doc = TemplateDocument(*table, t, false, CockpitSelection(*table));
    EXPECT_EQ(doc, expected);

    // Without a selection the selected section is left out; the control switches hide
    // the peers, and the aircraft template's "onground" clamps.
    table->windows[0].selected = -1;
    KmlTemplate quiet = ParseKmlTemplate(std::string(kTemplate) + "peers=0\nflights=0\n");
    EXPECT_EQ(TemplateDocument(*table, quiet, true, -1),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<kml xmlns=\"http://earth.google.com/kml/2.1\"><Document><!-- caf\xEF\xBF\xBD "
              "-->\r\n</Document></kml>\r\n");
    quiet.showFlights = true;
    EXPECT_NE(TemplateDocument(*table, quiet, true, -1).find("clampedtoground"), std::string::npos);

    if (!testing::XmllintAvailable()) GTEST_SKIP() << "xmllint is missing (libxml2-utils)";
    EXPECT_TRUE(testing::WellFormedXml(doc));
}

TEST(KmlDocuments, TemplatesLoadOnlyAsAPair) {
    char dir[] = "/tmp/aerova-kml-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string aircraft = JoinPath(dir, "aircraft.kml.gss");
    const std::string cockpit = JoinPath(dir, "cockpit.kml.gss");
    ASSERT_TRUE(WriteFileReplacing(aircraft, kTemplate));
    EXPECT_FALSE(LoadKmlTemplates(dir).has_value());
    ASSERT_TRUE(WriteFileReplacing(cockpit, "[%init%]\nC\n[%%control%%]\nonground=1\n"));
    const auto loaded = LoadKmlTemplates(dir);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->aircraft.flights.size(), 2u);
    EXPECT_EQ(loaded->cockpit.init, std::vector<std::string>{"C"});
    EXPECT_TRUE(loaded->cockpit.onground);
    DeleteFileAt(aircraft);
    DeleteFileAt(cockpit);
    ::rmdir(dir);
}

// Every document but the ATC box's is well-formed XML, whatever the options.
TEST(KmlDocuments, BuiltInDocumentsAreWellFormed) {
    if (!testing::XmllintAvailable()) GTEST_SKIP() << "xmllint is missing (libxml2-utils)";
    auto table = NewTable();
    PlaceAircraft(*table);
    Tflight& v = PlaceTarget(*table, 5, "AA0001");
    v.labeltext = "TUGv";
    v.lat = "53.63";
    v.lon = "9.99";
    for (int i = 0; i < 3; ++i) table->AddHistoryPoint(3, 300 + i, 50.0f + i, 10.0f);
    TPeer& p = table->peers[0];
    p.free = false;
    p.station = "Hamburg";
    p.lat = "53.6";
    p.lon = "9.9";
    for (int bits = 0; bits < 8; ++bits) {
        KmlOptions o;
        o.trails = bits & 1;
        o.peers = bits & 2;
        o.usealtitude = bits & 4;
        o.track = o.vrate = o.gs = o.reg = o.icaotype = o.route = bits & 1;
        EXPECT_TRUE(testing::WellFormedXml(AircraftDocument(*table, o, TestStyle()))) << bits;
    }
    EXPECT_TRUE(testing::WellFormedXml(CockpitDocument(*table, 3)));
}

}  // namespace
}  // namespace aerova
