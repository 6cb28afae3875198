#include "config/settings.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/files.h"
#include "base/numbers.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

// A value of the row's type that differs from its default.
std::string OtherValue(const SettingKey& row) {
    const std::string& d = row.fallback;
    switch (row.type) {
        case SettingType::kInteger:
            return std::to_string(IntOr(d, 0) + 7);
        case SettingType::kBool:
            return d == "1" ? "0" : "1";
        case SettingType::kText:
            return "x-" + row.key;
        case SettingType::kFloat:
            return RealToShortestText(RealOr(d, 0) + 0.125);
        case SettingType::kDateTime:
            return "2026-03-04 05:06:07";
        case SettingType::kColour:
            return std::to_string((IntOr(d, 0) + 0x010203) & 0xFFFFFF);
        case SettingType::kIndex:
            return std::to_string((IntOr(d, 0) + 1) % row.items);
        case SettingType::kChoice:
            for (int c : row.choices)
                if (std::to_string(c) != d) return std::to_string(c);
    }
    return d;
}

std::string Read(const std::string& path, const SettingKey& row) {
    return IniFile(path).ReadString(row.section, row.key, "(missing)");
}

// Every key of the table set to a value other than its default survives a load and a save
// into another file, key by key; forced keys come back as their defaults and read-only
// keys are not written.
TEST(SettingsTest, EveryKeyOfTheTableRoundTrips) {
    testing::TempDir dir;
    IniFile source(dir.File("in.ini"));
    for (const SettingKey& row : SettingsSchema())
        source.WriteString(row.section, row.key, OtherValue(row));
    ASSERT_TRUE(source.UpdateFile());

    Settings settings(dir.path());
    settings.SetScreens({{0, 0, 1920, 1080, true}});
    settings.LoadSettings(dir.File("in.ini"));
    ASSERT_TRUE(settings.SaveSettings(dir.File("out.ini")));
    int compared = 0;
    for (const SettingKey& row : SettingsSchema()) {
        const std::string out = Read(dir.File("out.ini"), row);
        if (row.flags & kReadOnly) {
            EXPECT_EQ(out, "(missing)") << row.section << "/" << row.key;
        } else if (row.section == "firstrun") {
            EXPECT_EQ(out, "0");
        } else if (row.section == "monitors") {
            EXPECT_EQ(out, "1") << "the screens of this session";
        } else if (row.flags & kForced) {
            EXPECT_EQ(out, row.fallback) << row.section << "/" << row.key;
        } else {
            EXPECT_EQ(out, OtherValue(row)) << row.section << "/" << row.key;
            ++compared;
        }
    }
    EXPECT_GT(compared, 900);
}

// Values are checked where they enter: what doesn't fit its row gives the default.
TEST(SettingsTest, ValuesThatDoNotFitTheirKeyGiveTheDefault) {
    struct Case {
        const char* section;
        const char* key;
        const char* stored;
        const char* expected;
    };
    const Case cases[] = {
        {"datasource", "ident", "5", "0"},  // above 2
        {"datasource", "ident", "-1", "0"},
        {"datasource", "ident", "2", "2"},
        {"filter", "upper1", "48", "0"},
        {"filter", "lower2", "-3", "47"},
        {"times", "flightinactive", "12", "5"},
        {"times", "peerdeleted", "x", "0"},
        {"mini", "activeset", "3", "0"},
        {"more", "circle1", "4", "0"},
        {"more", "circle2", "10", "10"},
        {"main", "deletedtimeout", "15min", "15"},
        {"main", "deletedtimeout", "$1E", "30"},
        {"socket", "port", " 30015 ", "30015"},
        {"radar1", "visible", "2", "1"},
        {"radar1", "visible", "yes", "1"},
        {"colors", "active", "16777216", "2162464"},  // beyond white
        {"position", "radar1y", "53,75", "53.75"},    // written under a decimal-comma locale
        {"position", "radar1x", "1.5e1", "15"},
        {"position", "radar1z", "far", "7000"},
        {"main", "sessionended", "31.12.2025 23:59:58", "2025-12-31 23:59:58"},
        {"main", "sessionended", "2025-02-30 10:00:00", ""},
        {"Google", "imagesearch", "a=b", "a=b"},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        IniFile file(dir.File("case.ini"));
        file.WriteString(c.section, c.key, c.stored);
        ASSERT_TRUE(file.UpdateFile());
        Settings settings(dir.path());
        settings.LoadSettings(dir.File("case.ini"));
        EXPECT_EQ(settings.Value(c.section, c.key), c.expected)
            << c.section << "/" << c.key << "=" << c.stored;
        DeleteFileAt(dir.File("case.ini"));
    }
}

// Bound state takes the checked values; a set that lacks a key resets it to its default
// rather than keeping the value of the set loaded before.
TEST(SettingsTest, BindingsTakeTheValuesAndASetReplacesEveryValue) {
    testing::TempDir dir;
    int ident = 9, port = 0;
    double z = 0;
    float y = 0;
    bool visible = false;
    std::string rings = "60", url;
    Settings settings(dir.path());
    settings.Bind("datasource", "ident", ident);
    settings.Bind("socket", "port", port);
    settings.Bind("position", "radar2z", z);
    settings.Bind("position", "radar1y", y);
    settings.Bind("radar1", "visible", visible);
    settings.BindItem("radar1", "rings", rings, {"10", "20", "30", "40", "50", "60", "80", "100"});
    settings.Bind("mini", "url1", url);
    EXPECT_THROW(settings.Bind("radar1", "nosuchkey", port), std::logic_error);

    ASSERT_TRUE(WriteFileReplacing(dir.File("a.ini"),
                                   "[DataSource]\r\nIdent=7\r\n[socket]\r\nport=31000\r\n"
                                   "[position]\r\nradar2z=12000.25\r\nradar1y=-33,5\r\n"
                                   "[radar1]\r\nvisible=0\r\nrings=2\r\n[mini]\r\nurl1=a\r\n"));
    settings.LoadSettings(dir.File("a.ini"));
    EXPECT_EQ(ident, 0);
    EXPECT_EQ(port, 31000);
    EXPECT_DOUBLE_EQ(z, 12000.25);
    EXPECT_FLOAT_EQ(y, -33.5f);
    EXPECT_FALSE(visible);
    EXPECT_EQ(rings, "30");
    EXPECT_EQ(url, "a");

    ASSERT_TRUE(WriteFileReplacing(dir.File("b.ini"), "[radar1]\r\nrings=7\r\n"));
    settings.LoadSettings(dir.File("b.ini"));
    EXPECT_EQ(port, 30014);
    EXPECT_DOUBLE_EQ(z, 15000);
    EXPECT_TRUE(visible);
    EXPECT_EQ(rings, "100");
    EXPECT_EQ(url, "127.0.0.1");

    // The state as it is now is what a save writes, in "." whatever the locale.
    y = 53.6f;
    rings = "20";
    url = "two\r\nlines";
    ASSERT_TRUE(settings.SaveSettings(dir.File("c.ini")));
    const IniFile c(dir.File("c.ini"));
    EXPECT_EQ(c.ReadString("position", "radar1y", ""), RealToShortestText(53.6f));
    EXPECT_EQ(c.ReadString("radar1", "rings", ""), "1");
    EXPECT_EQ(c.ReadString("mini", "url1", ""), "two");
}

// Keys this station doesn't know, comments and the values of windows it doesn't have stay
// in the file; they travel with the settings into another file too.
TEST(SettingsTest, UnknownKeysAndCommentsAreKept) {
    testing::TempDir dir;
    const std::string path = dir.File("aerovas.ini");
    ASSERT_TRUE(WriteFileReplacing(path,
                                   "; my station\r\n[club]\r\nmembers=12\r\n[radar1]\r\n"
                                   "; wide screen\r\nleft=1930\r\nwidth=2500\r\nmystery=1\r\n"
                                   "[mapfolders]\r\nsectors=1\r\n"));
    Settings settings(dir.path());  // no screens: a headless station
    settings.LoadSettings(path);
    ASSERT_TRUE(settings.SaveSettings(path));
    ASSERT_TRUE(settings.SaveSettings(dir.File("copy.ini")));
    for (const std::string& file : {path, dir.File("copy.ini")}) {
        const IniFile saved(file);
        EXPECT_EQ(saved.ReadString("club", "members", ""), "12") << file;
        EXPECT_EQ(saved.ReadString("radar1", "left", ""), "1930") << file;
        EXPECT_EQ(saved.ReadString("radar1", "width", ""), "2500") << file;
        EXPECT_EQ(saved.ReadString("radar1", "mystery", ""), "1") << file;
        EXPECT_EQ(saved.ReadString("mapfolders", "sectors", ""), "1") << file;
        // Without a screen there is no default for a window's height to write.
        EXPECT_FALSE(saved.ValueExists("radar1", "height")) << file;
        EXPECT_FALSE(saved.ValueExists("monitors", "width0")) << file;
    }
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_EQ(
        text.rfind("; my station\r\n[club]\r\nmembers=12\r\n[radar1]\r\n; wide screen\r\n", 0), 0u)
        << text.substr(0, 200);
}

TEST(SettingsTest, ScreensGiveTheGeometryDefaultsAndTheMonitorsSection) {
    testing::TempDir dir;
    Settings settings(dir.path());
    settings.SetScreens({{1920, 0, 1280, 1024, false}, {0, 0, 1920, 1080, true}});
    settings.LoadSettings(dir.File("missing.ini"));
    EXPECT_EQ(settings.Value("radar1", "width"), "1870");
    EXPECT_EQ(settings.Value("radar2", "height"), "1000");
    EXPECT_EQ(settings.Value("chat", "width"), "960");
    EXPECT_EQ(settings.Value("sql", "dir"), dir.path());
    EXPECT_EQ(settings.Value("main", "savebst"), JoinPath(dir.path(), "aerova-bst"));
    ASSERT_TRUE(settings.SaveSettings(dir.File("out.ini")));
    const IniFile out(dir.File("out.ini"));
    EXPECT_EQ(out.ReadInteger("monitors", "lastcount", 0), 2);
    EXPECT_EQ(out.ReadInteger("monitors", "left0", 0), 1920);
    EXPECT_EQ(out.ReadInteger("monitors", "primary1", 0), 1);
    EXPECT_EQ(out.ReadString("firstrun", "firstrun", ""), "0");
    EXPECT_EQ(out.ReadString("update", "2.0.0.0", ""), "done");
}

TEST(SettingsTest, WindowsOffEveryScreenAreCentredOnThePrimaryOne) {
    const std::vector<ScreenRect> screens = {{0, 0, 1920, 1080, true}, {1920, 0, 1280, 1024}};
    struct Case {
        WindowPlacement saved, expected;
    };
    const Case cases[] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},
        {{2000, 50, 800, 600}, {2000, 50, 800, 600}},      // on the second screen
        {{1900, 1000, 800, 600}, {1900, 1000, 800, 600}},  // partly visible
        {{3500, 100, 800, 600}, {560, 240, 800, 600}},     // the monitor was unplugged
        {{-900, -700, 800, 600}, {560, 240, 800, 600}},
        {{5000, 0, 4000, 3000}, {0, 0, 1920, 1080}},
    };
    for (const Case& c : cases) {
        const WindowPlacement p = FitWindowToScreens(c.saved, screens);
        EXPECT_EQ(p.left, c.expected.left) << c.saved.left;
        EXPECT_EQ(p.top, c.expected.top) << c.saved.left;
        EXPECT_EQ(p.width, c.expected.width) << c.saved.left;
        EXPECT_EQ(p.height, c.expected.height) << c.saved.left;
    }
}

// A layer colour comes from the settings file, then from basestation.ini, then the default.
TEST(SettingsTest, DrawingColoursFallBackToBaseStationIni) {
    testing::TempDir dir;
    ASSERT_TRUE(WriteFileReplacing(dir.File("basestation.ini"),
                                   "[drawingsettings]\r\noutlinecolours-1=111\r\n"
                                   "outlinecolours-2=222\r\n"));
    ASSERT_TRUE(WriteFileReplacing(dir.File("aerovas.ini"),
                                   "[drawingsettings]\r\noutlinecolours-2=333\r\n"));
    Settings settings(dir.path());
    settings.LoadSettings(dir.File("aerovas.ini"));
    EXPECT_EQ(settings.Value("drawingsettings", "outlinecolours-1"), "111");
    EXPECT_EQ(settings.Value("drawingsettings", "outlinecolours-2"), "333");
    EXPECT_EQ(settings.Value("drawingsettings", "outlinecolours-3"),
              std::to_string(24 + 256 * 50 + 65536 * 82));
}

TEST(SettingsTest, MapFolderNamesThatWouldBreakTheFileAreNotStored) {
    testing::TempDir dir;
    std::map<std::string, bool> folders = {{"outlines", true}, {"[x]", true}, {"a=b", false},
                                           {";x", true},       {"", true},    {"my maps", false}};
    Settings settings(dir.path());
    settings.BindMapFolders([&folders] { return folders; },
                            [&folders](const std::map<std::string, bool>& f) { folders = f; });
    ASSERT_TRUE(settings.SaveSettings(dir.File("out.ini")));
    const IniFile out(dir.File("out.ini"));
    EXPECT_EQ(out.ReadSection("mapfolders"), (std::vector<std::string>{"my maps", "outlines"}));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(dir.File("out.ini"), text));
    EXPECT_EQ(text.find("[x]"), std::string::npos);
}

// A new settings file holds passwords: only its owner reads it. A file that can't be
// written is reported, never taken for saved.
TEST(SettingsTest, NewFilesArePrivateAndAFailedSaveIsReported) {
    testing::TempDir dir;
    Settings settings(dir.path());
    ASSERT_TRUE(settings.SaveSettings(dir.File("new.ini")));
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("new.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);

    std::string reported;
    settings.onSaveFailed = [&reported](const std::string& path, const std::string&) {
        reported = path;
    };
    const std::string bad = dir.File("no-such-folder/aerovas.ini");
    EXPECT_FALSE(settings.SaveSettings(bad));
    EXPECT_EQ(reported, bad);
    EXPECT_NE(settings.lastError().find(bad), std::string::npos);
    EXPECT_FALSE(settings.busy());
}

// The process dies between writing the new file and renaming it into place (a kill -9, a
// power cut): the old settings are still there, whole.
TEST(SettingsTest, AKillDuringASaveLeavesTheOldFileWhole) {
    testing::TempDir dir;
    const std::string path = dir.File("aerovas.ini");
    const std::string old = "[socket]\r\nport=31234\r\n";
    ASSERT_TRUE(WriteFileReplacing(path, old));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Settings settings(dir.path());
        settings.LoadSettings(path);
        settings.beforeRename = [](const std::string&) { ::kill(::getpid(), SIGKILL); };
        settings.SaveSettings(path);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_EQ(text, old);
    EXPECT_TRUE(FileExists(path + ".tmp")) << "the new file was written before the kill";
    // The next save replaces the leftover and the file.
    Settings settings(dir.path());
    settings.LoadSettings(path);
    ASSERT_TRUE(settings.SaveSettings(path));
    EXPECT_EQ(IniFile(path).ReadInteger("socket", "port", 0), 31234);
    EXPECT_FALSE(FileExists(path + ".tmp"));
}

}  // namespace
}  // namespace aerova
