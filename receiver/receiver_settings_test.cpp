#include "receiver/receiver_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    testing::TempDir scratch;
    std::filesystem::path dir{scratch.path()};
    std::string Path(const char* name) const { return scratch.File(name); }
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults) {
    const ReceiverSettings s = LoadReceiverSettings(Path("aerovas.sbs.ini"));
    EXPECT_DOUBLE_EQ(ReceiverLatitude(s), 52.52);
    EXPECT_DOUBLE_EQ(ReceiverLongitude(s), 1.16);
    EXPECT_EQ(HpaOf(s), 1013);
    EXPECT_EQ(InchOf(s), 2988);
    EXPECT_EQ(TransitionAltitudeOf(s), 5500);
    EXPECT_EQ(s.edicao, "EGLL");
    EXPECT_FALSE(s.cbqnh);
    EXPECT_FALSE(s.gps);
    EXPECT_FALSE(s.sbs);
    EXPECT_EQ(s.sbsconfig, "");
}

TEST_F(SettingsTest, HpaAndInchAreCoupled) {
    ReceiverSettings s;
    SelectHpaIndex(s, 1060 - 1013);
    EXPECT_EQ(InchOf(s), 2992);
    SelectHpaIndex(s, 1060 - 998);
    EXPECT_EQ(InchOf(s), 2948);  // round(998 * 2.953) + 1
    SelectInchIndex(s, 3131 - 2992);
    EXPECT_EQ(HpaOf(s), 1013);
    // The ends of both lists stay inside the other list.
    SelectHpaIndex(s, 0);
    EXPECT_EQ(InchOf(s), 3131);
    SelectInchIndex(s, kInchItems - 1);
    EXPECT_EQ(HpaOf(s), 948);
}

TEST_F(SettingsTest, SaveWritesEveryKeyAndLoadReadsThemBack) {
    ReceiverSettings s;
    SetReceiverPosition(s, -33.95, -151.18);
    SelectHpaIndex(s, 1060 - 998);
    s.cbta = 0;
    s.edicao = "yssy";
    s.cbqnh = true;
    s.gps = true;
    s.sbs = true;
    const std::string path = Path("aerovas.sbs.ini");
    ASSERT_TRUE(SaveReceiverSettings(path, s));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    for (const char* line : {"lat0=1", "lat1=33", "lat2=95", "long0=1", "long1=151", "long2=18",
                             "hpa=62", "inch=183", "trans=0", "icao=YSSY", "sbsconfig=aerovas"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    const ReceiverSettings r = LoadReceiverSettings(path);
    EXPECT_DOUBLE_EQ(ReceiverLatitude(r), -33.95);
    EXPECT_DOUBLE_EQ(ReceiverLongitude(r), -151.18);
    EXPECT_EQ(HpaOf(r), 998);
    EXPECT_EQ(TransitionAltitudeOf(r), 24500);
    EXPECT_EQ(r.edicao, "YSSY");
    EXPECT_TRUE(r.cbqnh);
    EXPECT_TRUE(r.gps);
    EXPECT_TRUE(r.sbs);
    EXPECT_EQ(r.sbsconfig, "aerovas");
}

TEST_F(SettingsTest, OutOfRangeIndexesReadAsDefaults) {
    const std::string path = Path("aerovas.sbs.ini");
    IniFile ini(path);
    ini.WriteString("DEFAULT", "LAT1", "95");
    ini.WriteString("default", "hpa", "-1");
    ini.WriteString("default", "trans", "x");
    ini.WriteString("default", "long1", "179");
    ASSERT_TRUE(ini.UpdateFile());
    const ReceiverSettings s = LoadReceiverSettings(path);
    EXPECT_EQ(s.cblat1, 52);
    EXPECT_EQ(s.cbhpa, 47);
    EXPECT_EQ(s.cbta, 38);
    EXPECT_EQ(s.cblong1, 179);
}

TEST_F(SettingsTest, GpsPositionGoesIntoTheLists) {
    ReceiverSettings s;
    setsbsposition(s, 1.16, 52.52);
    EXPECT_EQ(s.cblat1, 52);
    EXPECT_EQ(s.cblat2, 52);
    EXPECT_EQ(s.cblong1, 1);
    EXPECT_EQ(s.cblong2, 16);
    setsbsposition(s, -0.004, 51.996);
    EXPECT_EQ(s.cblong0, 1);
    EXPECT_EQ(s.cblong1, 0);
    EXPECT_EQ(s.cblong2, 0);
    EXPECT_EQ(s.cblat1, 52);  // 51.996 rounds to 52.00
    EXPECT_EQ(s.cblat2, 0);
    setsbsposition(s, 200.0, 95.0);  // beyond the lists: their last entries
    EXPECT_EQ(s.cblat1, 89);
    EXPECT_EQ(s.cblat2, 99);
    EXPECT_EQ(s.cblong1, 179);
}

TEST_F(SettingsTest, ConfigurationSetSelection) {
    const std::string main = Path("aerovas.sbs.ini");
    EXPECT_EQ(ReceiverSettingsFileToLoad(dir.string()), main);
    std::filesystem::create_directories(dir / "aerova-config");
    ASSERT_TRUE(CreateEmptyFile((dir / "aerova-config" / "north.sbs.ini").string()));
    EXPECT_EQ(KnownReceiverSettingSets(dir.string()),
              (std::vector<std::string>{"north", "aerovas"}));
    IniFile ini(main);
    ini.WriteString("LastIniFile", "sbsconfig", "north");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReceiverSettingsFileToLoad(dir.string()),
              (dir / "aerova-config" / "north.sbs.ini").string());
    ini.WriteString("LastIniFile", "sbsconfig", "south");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReceiverSettingsFileToLoad(dir.string()), main);
}

TEST(AutoQnhTest, PressureGroups) {
    ReceiverSettings s;
    AutoQnhResult r = ApplyMetarQnh(s, "2026/05/01 12:20\nEGLL 011220Z 24010KT 9999 Q0998 NOSIG");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(HpaOf(s), 998);
    EXPECT_EQ(InchOf(s), 2948);
    EXPECT_EQ(r.caption, "12:20 UTC");

    r = ApplyMetarQnh(s, "KJFK 011251Z 18012KT 10SM A2992");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(InchOf(s), 2992);
    EXPECT_EQ(HpaOf(s), 1013);
    EXPECT_EQ(r.caption, "Auto QNH");

    const ReceiverSettings before = s;
    r = ApplyMetarQnh(s, "XXXX 011251Z NIL");
    EXPECT_FALSE(r.found);
    EXPECT_EQ(s.cbhpa, before.cbhpa);
    EXPECT_EQ(s.cbin, before.cbin);
    EXPECT_FALSE(ApplyMetarQnh(s, "EGLL Q9999").found);
    // Most US reports say "AUTO" before their altimeter group.
    r = ApplyMetarQnh(s, "KJFK 011251Z AUTO 18012KT 10SM A3001 RMK AO2");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(InchOf(s), 3001);
    EXPECT_EQ(s.cbhpa, before.cbhpa - 3);  // 3001 / 2.953 = 1016 hPa
}

}  // namespace
}  // namespace aerova
