#include "config/settings_schema.h"

// The keys of aerovas.ini in the order a new file is written. A few keys of the file are not
// rows here because their names or their handling are not fixed: `process/window` (written at
// start before any settings are loaded), `LastIniFile/filename` (the configuration-set
// handling reads and writes it), the per-monitor keys `monitors/width<i>`, `height<i>`,
// `left<i>`, `top<i>`, `primary<i>` (one group per monitor present) and the `mapfolders`
// keys (named after the map folders found on disk).

#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/strings.h"

namespace aerova {
namespace {

// Lengths of the lists that index keys point into.
constexpr int kDataSources = 3;     // receiver link sources 0 to 2
constexpr int kBaudRates = 5;       // 115200, 833333, 921600, 1000000, 3000000
constexpr int kInactiveTimes = 12;  // 1, 2, 3, 4, 5, 6, 10, 15, 20, 30, 45, 60 seconds
constexpr int kDeletedTimes = 6;    // 0.5, 1, 2, 3, 4, 5 minutes
constexpr int kFilterLevels = 48;   // "UNL", "450" down to "010" in tens, "000", "GND"
constexpr int kLabelPositions = 8;  // label placements 0 to 7 around the symbol
constexpr int kRingSpacings = 8;    // "10", "20", "30", "40", "50", "60", "80", "100"
constexpr int kVariations = 41;     // magnetic variation "-20" to "20" degrees
constexpr int kFontSizes = 2;       // "8", "10"
constexpr int kHemispheres = 2;     // N/S or E/W
constexpr int kLatDegrees = 90;     // "00" to "89"
constexpr int kLongDegrees = 180;   // "000" to "179"
constexpr int kDigitPairs = 100;    // "00" to "99": two decimal digits of a degree
constexpr int kTrailLengths = 6;    // lengths of the recent trail
constexpr int kTrailDots = 4;       // a trail dot every "1", "5", "6", "12" positions
constexpr int kVectorTimes = 4;     // "30", "60", "90", "120" seconds ahead
constexpr int kTrailMinutes = 13;   // "0.5", "1", "2", "3", "5", "10" ... "90", "120"
constexpr int kLabelSets = 4;       // label layouts
constexpr int kLabelLevels = 46;    // flight levels 000 to 450 in tens
constexpr int kQnhModes = 2;        // altitude or flight level below the transition
constexpr int kTrailBarSteps = 11;  // track-bar positions 0 to 10
constexpr int kWxDisplayModes = 5;  // weather display modes 0 to 4
constexpr int kBlitzIntervals = 4;  // 1, 2, 5, 10 minutes
constexpr int kMiniSets = 3;        // the three station-to-station client sets
constexpr int kNetInputs = 8;       // network receiver inputs

// Nominal window sizes (width x height): the sizes the screen centres where a window's
// position has no default of its own, and the default size where it has no number.
//   main window 262 x 420    flightinfo 300 x 200    winds     300 x 300    help   500 x 400
//   stack1/2    220 x 300    nonpos     400 x 300    peers     400 x 300    search 400 x 300
//   sbsinit     420 x 380    ftp        420 x 360    database  420 x 360    mini   420 x 360
//   script      600 x 450
// The chat window takes half the screen width and a quarter of its height.
struct WindowSize {
    int width;
    int height;
};
constexpr WindowSize kMainWindow{262, 420};
constexpr WindowSize kFlightInfo{300, 200};
constexpr WindowSize kWinds{300, 300};
constexpr WindowSize kHelp{500, 400};
constexpr WindowSize kStack{220, 300};
constexpr WindowSize kNonPos{400, 300};
constexpr WindowSize kPeers{400, 300};
constexpr WindowSize kSbsInit{420, 380};
constexpr WindowSize kSearch{400, 300};
constexpr WindowSize kFtp{420, 360};
constexpr WindowSize kDatabase{420, 360};
constexpr WindowSize kMini{420, 360};
constexpr WindowSize kScript{600, 450};

struct Rgb {
    int red;
    int green;
    int blue;
};

// Layer colours of the radar windows when neither file holds them.
constexpr Rgb kOutlineColours[30] = {
    {0, 128, 0},   {192, 192, 192}, {24, 50, 82},   {128, 128, 128}, {82, 82, 82},
    {49, 53, 111}, {64, 40, 108},   {50, 50, 75},   {76, 76, 116},   {90, 90, 139},
    {81, 0, 0},    {64, 0, 0},      {0, 204, 51},   {0, 153, 102},   {0, 64, 64},
    {80, 0, 128},  {128, 64, 0},    {28, 57, 57},   {54, 50, 90},    {153, 102, 102},
    {141, 35, 35}, {138, 107, 36},  {128, 128, 64}, {0, 64, 64},     {102, 102, 153},
    {51, 51, 204}, {255, 0, 255},   {204, 51, 204}, {153, 102, 153}, {102, 153, 102},
};
constexpr Rgb kWaypointColours[30] = {
    {255, 255, 255}, {128, 128, 128}, {100, 100, 146}, {36, 36, 76},    {49, 49, 102},
    {70, 54, 92},    {58, 58, 58},    {70, 0, 0},      {52, 75, 63},    {57, 81, 63},
    {57, 81, 63},    {57, 81, 63},    {30, 68, 31},    {57, 81, 68},    {15, 69, 14},
    {0, 51, 204},    {0, 255, 255},   {51, 204, 204},  {102, 153, 153}, {153, 102, 102},
    {204, 51, 51},   {255, 255, 0},   {204, 204, 51},  {153, 153, 102}, {102, 102, 153},
    {51, 51, 204},   {255, 0, 255},   {204, 51, 204},  {153, 102, 153}, {102, 153, 102},
};
// Lightning age colours 0 to 5, then precipitation intensity classes 0 to 5.
constexpr Rgb kBlitzColours[12] = {
    {223, 28, 208}, {149, 5, 160},  {138, 94, 232}, {38, 52, 217}, {29, 11, 244}, {15, 7, 152},
    {179, 0, 0},    {126, 36, 149}, {24, 34, 152},  {47, 71, 240}, {39, 98, 156}, {69, 97, 86},
};

std::string Numbered(std::string_view name, int n) {
    return Concat({name, std::to_string(n)});
}

std::string Lookup(std::string_view section, std::string_view key) {
    return Concat({LowerCase(section), "\n", LowerCase(key)});
}

// Appends rows to the section last opened with In().
class TableBuilder {
  public:
    void In(std::string_view section) { section_ = section; }

    void Int(std::string_view key, int fallback, unsigned flags = kLoadAndSave) {
        Add(key, SettingType::kInteger, std::to_string(fallback), flags);
    }
    void Bool(std::string_view key, bool fallback, unsigned flags = kLoadAndSave) {
        Add(key, SettingType::kBool, fallback ? "1" : "0", flags);
    }
    void Text(std::string_view key, std::string_view fallback, unsigned flags = kLoadAndSave) {
        Add(key, SettingType::kText, std::string(fallback), flags);
    }
    void Float(std::string_view key, std::string_view fallback, unsigned flags = kLoadAndSave) {
        Add(key, SettingType::kFloat, std::string(fallback), flags);
    }
    void DateTime(std::string_view key, unsigned flags = kLoadAndSave) {
        Add(key, SettingType::kDateTime, "", flags);
    }
    void Colour(std::string_view key, Rgb c, unsigned flags = kLoadAndSave) {
        Add(key, SettingType::kColour, std::to_string(c.red + 256 * c.green + 65536 * c.blue),
            flags);
    }
    void Index(std::string_view key, int items, int fallback, unsigned flags = kLoadAndSave) {
        Add(key, SettingType::kIndex, std::to_string(fallback), flags).items = items;
    }
    void Choice(std::string_view key, std::initializer_list<int> choices, int fallback) {
        Add(key, SettingType::kChoice, std::to_string(fallback), kLoadAndSave).choices = choices;
    }
    void Screen(std::string_view key, ScreenRule rule, int amount, unsigned flags = kLoadAndSave) {
        SettingKey& row = Add(key, SettingType::kInteger, "", flags);
        row.screen = rule;
        row.amount = amount;
    }

    // left and top of a window the screen centres.
    void Centred(WindowSize size, unsigned flags = kLoadAndSave) {
        Screen("left", ScreenRule::kCentreLeft, size.width, flags);
        Screen("top", ScreenRule::kCentreTop, size.height, flags);
    }
    void At(int left, int top) {
        Int("left", left);
        Int("top", top);
    }
    void Size(WindowSize size, unsigned flags = kLoadAndSave) {
        Int("width", size.width, flags);
        Int("height", size.height, flags);
    }

    std::vector<SettingKey> Take() { return std::move(rows_); }

  private:
    SettingKey& Add(std::string_view key, SettingType type, std::string fallback, unsigned flags) {
        SettingKey& row = rows_.emplace_back();
        row.section = section_;
        row.key = key;
        row.type = type;
        row.fallback = std::move(fallback);
        row.flags = flags;
        return row;
    }

    std::string section_;
    std::vector<SettingKey> rows_;
};

constexpr unsigned kSaved = kSavedOnly;
// Options without function: written, but load puts them back to off or their first choice.
constexpr unsigned kReset = kSavedOnly | kForced;

void AddStation(TableBuilder& t) {
    t.In("firstrun");
    t.Bool("firstrun", true);

    t.In("main");
    t.Text("maxvratenocolorchange", "400");
    t.Int("deletedtimeout", 15);
    t.Int("session", 1);
    t.DateTime("sessionstarted", kSaved);
    t.DateTime("sessionended");
    t.Centred(kMainWindow);
    t.Text("savejpg", "aerova-img", kInStationDir);
    t.Text("savebst", "aerova-bst", kInStationDir);
    t.Bool("canusepio", false, kReadOnly);
    t.Bool("showwinds", false, kReset);
    t.Text("networkid", "", kSaved);
    t.Int("newmsg3", 0, kSaved);
    t.Bool("sendnetworkstatus", false, kSaved);
    t.Int("saveposmax", 0, kSaved);
    t.Bool("chatsound", false, kSaved);

    t.In("datasource");
    t.Index("ident", kDataSources, 0);
    t.Text("usbport", "");
    t.Index("usbspeed", kBaudRates, 1);
    t.Bool("rawlog", false);
    t.Bool("tcas", false);
    t.Text("ip", "127.0.0.1");
    t.Int("port", 30003);
    t.Bool("pgr", false);
    t.Bool("planeplotter", false, kReset);
    t.Bool("pionet", false, kReset);
    t.Bool("1205only", false, kSaved);

    t.In("monitors");
    t.Int("lastcount", 0, kSaved);

    t.In("plots");
    t.Colour("linecolor", {255, 0, 0});
    t.Text("box1", "0000");
    t.Text("box2", "0000");
    for (const char* key : {"record1", "record2", "display1", "display2", "ignore1", "ignore2"})
        t.Bool(key, false, kSaved);

    t.In("script");
    t.Text("filename", "");
    t.Int("execute", 120);
    t.Int("interval", 30);
    t.Bool("active", false);
    t.Centred(kScript);
    t.Text("openscript", "");
    t.Text("savescript", "");

    t.In("picture");
    t.Bool("enable", false, kSaved);

    t.In("Google");
    t.Text("imagesearch", "%6+registration");
    t.In("Date");
    t.Text("Format", "dd.mm.yy");

    t.In("google");
    t.Int("cockpitport", 4180);
    t.Int("aircraftport", 4181);
    t.Bool("cockpit", true);
    t.Bool("aircraft", true);
    t.Int("iconscale", 4);
    for (const char* key : {"flightid", "altitude", "usealtitude"}) t.Bool(key, true);
    for (const char* key :
         {"track", "gs", "vrate", "dynamickml", "icaotype", "reg", "trails", "peers", "route"})
        t.Bool(key, false);

    t.In("sql");
    t.Text("dir", "", kInStationDir);
    t.Text("db", "basestation.sqb");
    t.Bool("regnohyphen", true);
    t.Bool("autopurge", false, kReset);
    t.Int("newflight", 0, kReset);
    t.Int("purgetime", 0, kReset);
    t.Bool("sqlbackup", false, kReset);
    t.Text("backuppath", "", kReset);
    for (const char* key :
         {"recordsql", "gastosql", "autopop", "gasdisableautoconnect", "autoairframes"})
        t.Bool(key, false, kReset);

    t.In("flightstats");
    t.Bool("autopop", false, kReset);
    t.Bool("savetortefile", false, kReset);
    t.Bool("marklabel", true, kReset);

    t.In("socket");
    t.Int("port", 30014);
    t.Int("port1", 0, kSaved);

    // Marks of settings upgrades already applied; every save writes them again.
    t.In("update");
    for (const char* key : {"2.0.0.0", "3.0.0.0", "3.4.6.0"}) t.Text(key, "done", kForced);

    t.In("screen");
    t.Bool("solid", true);
    t.In("atc");
    t.Int("level1", 300);
    t.Int("level2", 240);
    t.Text("freq1", "", kSaved);
    t.Text("freq2", "", kSaved);
}

void AddWindows(TableBuilder& t) {
    t.In("chat");
    t.Screen("left", ScreenRule::kCentreLeftPart, 2);
    t.Screen("top", ScreenRule::kCentreTopPart, 4);
    t.Screen("width", ScreenRule::kWidthPart, 2);
    t.Screen("height", ScreenRule::kHeightPart, 4);

    const std::pair<const char*, WindowSize> centred[] = {
        {"flightinfo", kFlightInfo}, {"winds", kWinds}, {"help", kHelp}};
    for (const auto& [section, size] : centred) {
        t.In(section);
        t.Centred(size);
        t.Size(size);
    }

    const std::pair<const char*, int> stacks[] = {{"stack1", 20}, {"stack2", 80}};
    for (const auto& [section, corner] : stacks) {
        t.In(section);
        t.At(corner, corner);
        t.Size(kStack);
        t.Bool("visible", false, kSaved);
    }

    t.In("nonpos");
    t.At(80, 80);
    t.Size(kNonPos);
    t.Bool("visible", false);
    t.Bool("controlpanel", true);

    t.In("peers");
    t.At(80, 80);
    t.Size(kPeers, kSaved);

    t.In("sbsinit");
    t.At(80, 80);
    t.Size(kSbsInit);

    t.In("wxlist");
    t.At(80, 80);
    t.Size({531, 368});

    t.In("search");
    t.Centred(kSearch);
    t.Size(kSearch);
    t.Bool("search1", false);
    t.Bool("search2", true);
    t.Bool("follow", false);

    t.In("ftp");
    t.Centred(kFtp);
    t.Size(kFtp);
    t.Bool("active", false);

    // The database window's position; its options follow further down.
    t.In("database");
    t.Centred(kDatabase);
    t.Size(kDatabase);
}

void AddServices(TableBuilder& t) {
    t.In("mini");
    for (int i = 1; i <= kMiniSets; ++i) {
        t.Text(Numbered("url", i), "127.0.0.1");
        t.Text(Numbered("port", i), "7988");
        t.Text(Numbered("serial", i), "");
        t.Text(Numbered("pwd", i), "");
        t.Bool(Numbered("nopos", i), false);
        t.Bool(Numbered("area", i), true);
        t.Bool(Numbered("compress", i), false);
        t.Int(Numbered("interval", i), 2);
        for (const char* name : {"proxy", "proxyport", "user", "proxypwd"})
            t.Text(Numbered(name, i), "");
    }
    for (int i = 1; i <= kMiniSets; ++i) t.Text(Numbered("set", i), Numbered("Set ", i));
    t.Index("activeset", kMiniSets, 0);
    t.Text("serverpwd", "");
    t.Bool("servercompress", false);
    t.Bool("cb7988", true);
    t.Bool("cb7989", true);
    t.Centred(kMini, kReadOnly);

    t.In("database");
    t.Bool("createxml", false);
    t.Bool("createsql", true);
    t.Bool("createtextlog", true);
    t.Bool("restartbst", false);
    t.Bool("savepeer", false);
    t.Text("peer", "0000");
    t.Bool("activebst", false);

    t.In("daisychain");
    t.Bool("master", false);
    t.Bool("slave", false);
    t.Bool("7933", false);
    t.Text("slaveip", "0.0.0.0");
    t.Text("slaveport", "00000");
    t.Bool("skip", false, kSaved);
    t.Bool("exceptlocal", false, kSaved);

    t.In("server");
    t.Int("ip", 7979);
    t.Int("remoteip", 7978);
    // No built-in time server: the clock check asks only a server the user named.
    t.Text("time", "");

    // Receivers on the network the station connects to (dump1090, readsb): the first
    // `count` of host<n>, port<n>, protocol<n> ("raw" or "beast").
    t.In("netinput");
    t.Int("count", 0);
    for (int i = 1; i <= kNetInputs; ++i) {
        t.Text(Numbered("host", i), "");
        t.Int(Numbered("port", i), 30002);
        t.Text(Numbered("protocol", i), "raw");
    }
}

void AddRadarWindows(TableBuilder& t) {
    for (int w = 1; w <= 2; ++w) {
        t.In(Numbered("radar", w));
        t.At(20, 30);
        t.Screen("width", ScreenRule::kWidthLess, 50);
        t.Screen("height", ScreenRule::kHeightLess, 80);
        for (const char* key : {"panel2", "panel3", "panel4"}) t.Bool(key, w == 2);
        // Ring centre: hemisphere, whole degrees, two pairs of decimal digits.
        t.Index("lat0", kHemispheres, 0);
        t.Index("lat1", kLatDegrees, 53);
        t.Index("lat2", kDigitPairs, 53);
        t.Index("lat3", kDigitPairs, 0);
        t.Index("long0", kHemispheres, 0);
        t.Index("long1", kLongDegrees, 10);
        t.Index("long2", kDigitPairs, 16);
        t.Index("long3", kDigitPairs, 0);
        t.Text("dbllat", "-9999", kReadOnly);
        t.Text("dbllong", "-9999", kReadOnly);
        t.Index("label", kLabelPositions, 0);
        t.Index("rings", kRingSpacings, 5);
        t.Index("vari", kVariations, 20);
        t.Index("font", kFontSizes, 0);
        t.Bool("inner", true);
        t.Bool("gps", false);
        t.Bool("ctrgps", false);
        t.Int("controlpanel", 30);
        t.Bool("visible", true);
        t.Bool("ontop", false);
        t.Bool("nocaption", false);
        t.Bool("sbsonly", false, kSaved);
        t.Bool("aisonly", false, kSaved);
        if (w == 1) t.Bool("dailylog", false, kSaved);
    }

    t.In("position");
    t.Float("radar1x", "10");
    t.Float("radar1y", "53.6");
    t.Float("radar1z", "7000");
    t.Float("radar2x", "10");
    t.Float("radar2y", "53.6");
    t.Float("radar2z", "15000");
    // The four holding-stack boxes of each window; -9999 bounds mean no box.
    for (int w = 1; w <= 2; ++w) {
        const std::string window = std::to_string(w);
        for (int b = 1; b <= 4; ++b) {
            t.Text(Numbered(window + "box", b), Numbered("Stack", b));
            for (const char* bound : {"xxn", "xxs", "yye", "yyw"})
                t.Float(Numbered(window + bound, b), "-9999");
        }
    }
}

void AddWeather(TableBuilder& t) {
    t.In("metar");
    t.Text("loc1", "EDDH");
    t.Text("loc2", "EDDF");
    for (const char* key : {"auto1", "auto2", "taf1", "taf2", "showshortwxsymbols"})
        t.Bool(key, false);
    t.Index("wxshow1", kWxDisplayModes, 0);
    t.Index("wxshow2", kWxDisplayModes, 0);
    t.Int("interval", 10);
    // The weather text server (NOAA's, which keeps one file per station under
    // /data/observations/metar/stations/ and /data/forecasts/); a mirror's base URL replaces it.
    t.Text("server", "https://tgftp.nws.noaa.gov");

    t.In("wxform");
    t.At(80, 80);
    t.Bool("blitz", false);
    t.Index("intervalblitz", kBlitzIntervals, 3);
    t.Int("reload", 36);
    t.Bool("wxtrim", false);
    t.Text("urlpl", "p024.gif", kReadOnly);
    for (const char* key :
         {"prepceur", "prepwx1", "prepwx2", "prepnr1", "prepnr11", "prepnr12", "prepnr111",
          "prepnr1111", "prepnr1112", "prepbe", "prepbe1", "prepbe2"})
        t.Bool(key, false);
    for (int i = 1; i <= 6; ++i) t.Bool(Numbered("prepcb", i), false);
    for (const char* key : {"prepuk", "prepuk1", "prepuk2"}) t.Bool(key, true);
    for (const char* key : {"prepgc", "prepgc1", "prepgc2", "prepesp", "prepesp1", "prepesp2"})
        t.Bool(key, false, kSaved);
    t.Text("urluk", "", kSaved);
    t.Int("nrregion", 0, kSaved);
    for (const char* image : {"uk", "nl", "pl", "ceur", "nr1"})
        for (const char* side : {"north", "east", "west", "south"})
            t.Float(Concat({image, side}), "0", kSaved);

    t.In("onearth");
    t.Int("calleft", 260);
    t.Int("caltop", 160);
    t.Int("calheight", 660);
    t.Int("calwidth", 477);
    t.Int("quality", 2);
    for (const char* key : {"red", "green", "blue"}) t.Int(key, 255);
    t.At(160, 160);
    t.Bool("world1", false);
    t.Bool("world2", false);
    t.Bool("auto1", true);
    t.Bool("auto2", true);
    t.Int("autoheight", 750);
    t.Bool("radar1", false, kSaved);
    t.Bool("radar2", false, kSaved);
}

void AddLists(TableBuilder& t) {
    t.In("atcconsole");
    t.At(80, 80);
    t.Size({319, 439});
    t.Bool("panel", true);
    t.Int("arrsheight", 363);
    t.Int("localheight", 60);
    for (const char* key : {"squawk", "filter", "ong"}) t.Bool(key, false);
    t.Text("route", "HAM");
    t.Text("sq1", "7000");
    t.Text("sq2", "631");
    t.Text("sq3", "464");
    t.Text("sq4", "00");
    t.Bool("arrs", true);
    t.Bool("deps", true);
    t.Bool("visible", false);
    t.Index("lat0", kHemispheres, 0);
    t.Index("lat1", kLatDegrees, 53);
    t.Index("lat2", kDigitPairs, 64);
    t.Index("long0", kHemispheres, 0);
    t.Index("long1", kLongDegrees, 10);
    t.Index("long2", kDigitPairs, 0);

    t.In("airframes");
    t.Int("dailycount", 0);
    t.Int("datum", 0);

    // The flight lists: the main list, then the two further lists with suffixes 6 and 61.
    t.In("control");
    t.Bool("selectedflight", false);
    t.Bool("savenopos", false);
    t.Bool("sortid", true);
    for (const char* key : {"sortalt", "sortreg", "sortsq", "nocaption", "ontop"})
        t.Bool(key, false);
    t.Bool("showall", true);
    for (const char* suffix : {"6", "61"}) {
        t.Bool(Concat({"sortid", suffix}), true);
        for (const char* key : {"sortalt", "sortreg", "sortsq"})
            t.Bool(Concat({key, suffix}), false);
    }
    for (const char* key : {"uconly", "uconly6", "uconly61", "altfilter"}) t.Bool(key, false);
    t.Text("altfiltertext", "Fi1");
    for (const char* key : {"localonly", "noposlocalonly", "chimeonly", "psync", "alertonly"})
        t.Bool(key, false, kSaved);

    t.In("times");
    t.Index("flightinactive", kInactiveTimes, 5);
    t.Index("flightdeleted", kDeletedTimes, 0);
    t.Index("peerinactive", kInactiveTimes, 5);
    t.Index("peerdeleted", kDeletedTimes, 0);

    t.In("filter");
    t.Index("upper1", kFilterLevels, 0);
    t.Index("upper2", kFilterLevels, 0);
    t.Index("lower1", kFilterLevels, kFilterLevels - 1);
    t.Index("lower2", kFilterLevels, kFilterLevels - 1);

    t.In("more");
    t.Index("trails1", kTrailLengths, 0);
    t.Index("trails2", kTrailLengths, 0);
    t.Bool("usertrails1", false);
    t.Index("maxtrails1", kTrailBarSteps, 1);
    t.Index("qnh1", kQnhModes, 0);
    t.Index("qnh2", kQnhModes, 0);
    t.Bool("qnhx", false);
    t.Index("trails1a", kTrailDots, 1);
    t.Index("trails2a", kTrailDots, 1);
    t.Index("vector1", kVectorTimes, 1);
    t.Index("vector2", kVectorTimes, 1);
    t.Index("trailsmin1", kTrailMinutes, 1);
    t.Index("trailsmin2", kTrailMinutes, 1);
    // Radius of the range circle around the selected flight, nautical miles.
    t.Choice("circle1", {0, 3, 5, 10}, 0);
    t.Choice("circle2", {0, 3, 5, 10}, 0);
    t.Index("labelset1", kLabelSets, 1);
    t.Index("labelset2", kLabelSets, 1);
    t.Bool("labelauto1", false);
    t.Bool("labelauto2", false);
    t.Index("labelalt1", kLabelLevels, 15);
    t.Index("labelalt2", kLabelLevels, 15);
    for (const char* key : {"atctrails1", "atctrails2", "userstyle1", "userstyle2"})
        t.Bool(key, false, kSaved);

    for (const char* section : {"button1", "button2"}) {
        t.In(section);
        t.Bool("diamonds", true);
        t.Bool("showregs", false);
        for (const char* key :
             {"oksymbol", "oksymbol2", "xsymbol", "gndsymbol", "oktrails", "oktrails2", "xtrails",
              "gndtrails", "okvectors", "okvectors2", "xvectors", "gndvectors"})
            t.Bool(key, true);
        t.Bool("usercoloronly", false, kSaved);
    }
}

void AddColours(TableBuilder& t) {
    t.In("colors");
    const std::pair<const char*, Rgb> colours[] = {
        {"active", {32, 255, 32}},
        {"inactive", {128, 128, 128}},
        {"peeractive", {128, 128, 255}},
        {"peerinactive", {255, 128, 255}},
        {"globalgrid", {64, 64, 64}},
        {"rangerings", {146, 190, 12}},
        {"radarrings", {0, 128, 64}},
        {"highlighted", {166, 202, 240}},
        {"selected", {0, 255, 255}},
        {"ident", {255, 128, 0}},
        {"filtered", {6, 74, 17}},
        {"distress", {255, 0, 0}},
        {"stca", {255, 0, 255}},
        {"flightstrip", {255, 255, 255}},
        {"flightlist", {128, 255, 128}},
        {"radarlist", {255, 255, 128}},
        {"metar", {128, 255, 255}},
        {"onground", {255, 255, 255}},
        {"vehicle", {255, 255, 255}},
        {"ais underway", {166, 202, 240}},
        {"ais anchored", {166, 202, 240}},
        {"ais moored", {166, 202, 240}},
        {"ais restricted", {166, 202, 240}},
        {"ais beacon", {166, 202, 240}},
    };
    for (const auto& [key, rgb] : colours) t.Colour(key, rgb);
    for (int i = 0; i < 12; ++i) t.Colour(Numbered("blitz", i), kBlitzColours[i]);
    // Switches of the colour list entries and the captions of the user colours 30 to 42.
    for (const char* radar : {"enabled-radar1-", "enabled-radar2-"})
        for (int n = 1; n <= 51; ++n) t.Bool(Numbered(radar, n), true);
    for (const char* radar : {"text-radar1-", "text-radar2-"})
        for (int n = 30; n <= 42; ++n) t.Text(Numbered(radar, n), Numbered("User", n - 29));

    t.In("usercolors");
    for (int i = 1; i <= 20; ++i) t.Colour(Numbered("color", i), {255, 255, 255});

    // Outline and waypoint layers 0 to 30 each radar window shows.
    for (const char* section : {"outlines", "waypoints"}) {
        t.In(section);
        for (const char* radar : {"enabled-radar1-", "enabled-radar2-"})
            for (int n = 0; n <= 30; ++n) t.Bool(Numbered(radar, n), true);
    }

    t.In("drawingsettings");
    t.Colour("radarbackgroundcolour", {3, 0, 43}, kBaseStationFallback);
    for (int n = 1; n <= 30; ++n)
        t.Colour(Numbered("outlinecolours-", n), kOutlineColours[n - 1], kBaseStationFallback);
    for (int n = 1; n <= 30; ++n)
        t.Colour(Numbered("waypointcolours-", n), kWaypointColours[n - 1], kBaseStationFallback);
    // Layer names; "***" leaves the layer unnamed.
    for (const char* name : {"outlinestypes-", "waypointtypes-"})
        for (int n = 1; n <= 30; ++n) t.Text(Numbered(name, n), "***");
}

std::vector<SettingKey> BuildSchema() {
    TableBuilder t;
    AddStation(t);
    AddWindows(t);
    AddServices(t);
    AddRadarWindows(t);
    AddWeather(t);
    AddLists(t);
    AddColours(t);
    return t.Take();
}

}  // namespace

const std::vector<SettingKey>& SettingsSchema() {
    static const std::vector<SettingKey> schema = BuildSchema();
    return schema;
}

const SettingKey* FindSettingKey(std::string_view section, std::string_view key) {
    static const std::unordered_map<std::string, const SettingKey*> index = [] {
        std::unordered_map<std::string, const SettingKey*> rows;
        for (const SettingKey& row : SettingsSchema())
            rows.emplace(Lookup(row.section, row.key), &row);
        return rows;
    }();
    const auto found = index.find(Lookup(section, key));
    return found == index.end() ? nullptr : found->second;
}

}  // namespace aerova
