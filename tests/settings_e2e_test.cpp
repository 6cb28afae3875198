#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>
#include <sstream>

#include "base/files.h"
#include "base/ini_file.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

// The keys a user changed, as the file holds them.
struct Key {
    const char* section;
    const char* key;
    const char* value;
};
const Key kChanged[] = {
    {"socket", "port", "31100"},
    {"times", "flightinactive", "8"},
    {"times", "peerdeleted", "3"},
    {"main", "deletedtimeout", "40"},
    {"mini", "url2", "feeder.example"},
    {"mini", "activeset", "1"},
    {"database", "createsql", "0"},
    {"daisychain", "slaveip", "10.1.2.3"},
    // Keys of windows: a headless station has none and must keep them as they are.
    {"radar1", "left", "1930"},
    {"radar1", "rings", "3"},
    {"position", "radar2z", "12345.5"},
    {"colors", "enabled-radar2-44", "0"},
    {"wxform", "prepbe1", "1"},
    {"onearth", "calwidth", "500"},
    {"mapfolders", "sectors", "1"},
    {"club", "members", "12"},  // a section this station doesn't know
};

// A headless station on a user's settings: the feed listens on the configured port (plus the
// offset), the session counter continues, demo traffic flies around the receiver position
// of the receiver file, and a SIGTERM writes every value back as it was.
TEST(SettingsEndToEnd, AHeadlessStationUsesTheSettingsAndWritesThemBackUnchanged) {
    const std::string dir = FreshDirectory("settings");
    const int offset = TestPortOffset(5);
    IniFile ini(JoinPath(dir, "aerovas.ini"));
    for (const Key& k : kChanged) ini.WriteString(k.section, k.key, k.value);
    ini.WriteString("main", "session", "41");
    ASSERT_TRUE(ini.UpdateFile());
    // Receiver at 33.50 S 151.20 E.
    ASSERT_TRUE(WriteFileReplacing(JoinPath(dir, "aerovas.sbs.ini"),
                                   "[default]\r\nlat0=1\r\nlat1=33\r\nlat2=50\r\nlong0=0\r\n"
                                   "long1=151\r\nlong2=20\r\n"));

    StationProcess station(dir, {"--headless", "--demo", "--station-dir", dir, "--port-offset",
                                 std::to_string(offset)});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();
    const std::string feed = ReadTcpUntil(31100 + offset, "MSG,3,", 15);
    const std::size_t msg = feed.find("MSG,3,");
    ASSERT_NE(msg, std::string::npos) << feed.substr(0, 400);
    // MSG,3,<aircraft id>,<session>,<address>,...,<lat>,<lon>,...
    std::vector<std::string> fields;
    std::stringstream line(feed.substr(msg, feed.find('\n', msg) - msg));
    for (std::string f; std::getline(line, f, ',');) fields.push_back(f);
    ASSERT_GE(fields.size(), 16u);
    EXPECT_EQ(fields[3], "42") << "the stored session counter plus one";
    EXPECT_LT(std::fabs(std::stod(fields[14]) + 33.5), 3.0) << feed.substr(msg, 200);
    EXPECT_LT(std::fabs(std::stod(fields[15]) - 151.2), 3.0) << feed.substr(msg, 200);

    station.Signal(SIGTERM);
    ASSERT_EQ(station.Wait(15), 0) << station.Stderr();
    IniFile saved(JoinPath(dir, "aerovas.ini"));
    for (const Key& k : kChanged)
        EXPECT_EQ(saved.ReadString(k.section, k.key, "(missing)"), k.value)
            << k.section << "/" << k.key;
    EXPECT_EQ(saved.ReadString("main", "session", ""), "42");
    EXPECT_EQ(saved.ReadString("firstrun", "firstrun", ""), "0");
    EXPECT_EQ(saved.ReadString("update", "3.4.6.0", ""), "done");
    EXPECT_EQ(saved.ReadString("LastIniFile", "filename", ""), "aerovas");
    IniFile receiver(JoinPath(dir, "aerovas.sbs.ini"));
    EXPECT_EQ(receiver.ReadInteger("default", "long1", 0), 151);
}

}  // namespace
}  // namespace aerova::testing
