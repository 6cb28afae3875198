#include "config/configuration_sets.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/files.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

// A station directory with a settings state bound to one key, and dialogs that record
// what they were asked and answer as told.
struct SetsFixture : ::testing::Test {
    SetsFixture() : settings(dir.path()), sets(settings, Dialogs()) {
        settings.Bind("socket", "port", port);
    }
    ConfigSetDialogs Dialogs() {
        ConfigSetDialogs d;
        d.ask = [this](const std::string& question, const std::string&) {
            asked.push_back(question);
            return answer;
        };
        d.message = [this](const std::string& text, const std::string& title) {
            messages.push_back(text + " | " + title);
        };
        return d;
    }
    void WriteSet(const std::string& file, int feedPort) {
        dir.Write(file, "[socket]\r\nport=" + std::to_string(feedPort) + "\r\n");
    }
    std::string LastIniFile() const {
        return IniFile(dir.File("aerovas.ini")).ReadString("LastIniFile", "filename", "");
    }

    testing::TempDir dir;
    int port = 0;
    bool answer = true;
    std::vector<std::string> asked, messages;
    Settings settings;
    ConfigurationSets sets;
};

// Receiver files "x.sbs.ini" beside the sets are not sets: loading one would give defaults
// and the shut-down would then overwrite it with the main settings.
TEST_F(SetsFixture, TheListHoldsTheSetsWithoutReceiverFiles) {
    WriteSet("aerova-config/night.ini", 1);
    WriteSet("aerova-config/Club.INI", 2);
    WriteSet("aerova-config/club.sbs.ini", 3);
    WriteSet("aerova-config/notes.txt", 4);
    sets.RefreshList();
    EXPECT_EQ(sets.cbconfig(), (std::vector<std::string>{"Club", "night", "aerovas"}));
}

TEST_F(SetsFixture, StartLoadsTheSetUsedLastWhenItsFileExists) {
    WriteSet("aerovas.ini", 30100);
    WriteSet("aerova-config/night.ini", 30200);
    IniFile main(dir.File("aerovas.ini"));
    main.WriteString("LastIniFile", "filename", "night");
    ASSERT_TRUE(main.UpdateFile());
    sets.LoadAtStart();
    EXPECT_EQ(sets.inForce(), "night");
    EXPECT_EQ(sets.shown, "night");
    EXPECT_EQ(port, 30200);

    DeleteFileAt(dir.File("aerova-config/night.ini"));
    sets.LoadAtStart();
    EXPECT_EQ(sets.inForce(), "aerovas");
    EXPECT_EQ(port, 30100);
}

TEST_F(SetsFixture, LoadAsksFirstAndReportsAMissingFile) {
    WriteSet("aerova-config/night.ini", 30200);
    sets.LoadAtStart();
    EXPECT_FALSE(sets.Load("day"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Configuration file not found. | " + dir.File("aerova-config/day.ini"));
    EXPECT_TRUE(asked.empty());

    answer = false;
    EXPECT_FALSE(sets.Load("night"));
    EXPECT_EQ(asked, std::vector<std::string>{"Load configuration file?"});
    EXPECT_EQ(port, 30014);

    answer = true;
    EXPECT_TRUE(sets.Load("night"));
    EXPECT_EQ(port, 30200);
    EXPECT_EQ(sets.inForce(), "night");
    EXPECT_EQ(LastIniFile(), "night");

    EXPECT_TRUE(sets.Load("AEROVAS"));  // the standard set, whatever the case
    EXPECT_EQ(sets.inForce(), "aerovas");
    EXPECT_EQ(port, 30014);
}

TEST_F(SetsFixture, SaveWritesANewSetAndAsksBeforeOverwriting) {
    sets.LoadAtStart();
    port = 31000;
    EXPECT_FALSE(sets.Save(""));
    EXPECT_FALSE(sets.Save("Aerovas"));
    EXPECT_FALSE(FileExists(dir.File("aerova-config")));
    EXPECT_TRUE(asked.empty());

    EXPECT_TRUE(sets.Save("club"));
    EXPECT_TRUE(asked.empty()) << "a new set is written without a question";
    EXPECT_EQ(IniFile(dir.File("aerova-config/club.ini")).ReadInteger("socket", "port", 0), 31000);
    EXPECT_EQ(sets.cbconfig(), (std::vector<std::string>{"club", "aerovas"}));
    EXPECT_EQ(sets.inForce(), "club");
    EXPECT_EQ(LastIniFile(), "club");

    port = 32000;
    answer = false;
    EXPECT_FALSE(sets.Save("club"));
    EXPECT_EQ(asked, std::vector<std::string>{"Overwrite configuration file?"});
    EXPECT_EQ(IniFile(dir.File("aerova-config/club.ini")).ReadInteger("socket", "port", 0), 31000);
}

// A typed name stays a plain file name inside aerova-config.
TEST_F(SetsFixture, NamesThatLeaveTheFolderAreRefused) {
    sets.LoadAtStart();
    for (const std::string name : {"../x", "a/b", "..", ".", "a\\b", " lead", "tab\tname"}) {
        messages.clear();
        EXPECT_FALSE(sets.Save(name)) << name;
        EXPECT_FALSE(sets.Load(name)) << name;
        EXPECT_EQ(messages.size(), 2u) << name;
    }
    EXPECT_FALSE(FileExists(dir.File("x.ini")));
    EXPECT_FALSE(FileExists(dir.File("aerova-config/a/b.ini")));
    EXPECT_TRUE(asked.empty());
}

// The shut-down saves to the set in force, not to a name picked in the list but never
// loaded; aerovas.ini always gets the state and the name of the set.
TEST_F(SetsFixture, ShutDownSavesToTheSetInForce) {
    WriteSet("aerova-config/night.ini", 30200);
    WriteSet("aerova-config/day.ini", 30300);
    sets.LoadAtStart();
    ASSERT_TRUE(sets.Load("night"));
    sets.shown = "day";  // picked, not loaded
    port = 30999;
    std::vector<std::string> captions;
    EXPECT_TRUE(sets.SaveAtShutdown([&captions](const std::string& t) { captions.push_back(t); }));
    EXPECT_EQ(captions,
              (std::vector<std::string>{"Saving to aerovas.ini...", "Saving to night.ini"}));
    EXPECT_EQ(IniFile(dir.File("aerova-config/night.ini")).ReadInteger("socket", "port", 0), 30999);
    EXPECT_EQ(IniFile(dir.File("aerova-config/day.ini")).ReadInteger("socket", "port", 0), 30300);
    EXPECT_EQ(IniFile(dir.File("aerovas.ini")).ReadInteger("socket", "port", 0), 30999);
    EXPECT_EQ(LastIniFile(), "night");
}

// The first file of a fresh station is the one that names the set: it is private too.
TEST_F(SetsFixture, AerovasIniCreatedForTheSetNameIsPrivate) {
    WriteSet("aerova-config/night.ini", 30200);
    sets.LoadAtStart();
    ASSERT_TRUE(sets.Load("night"));
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("aerovas.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);
}

}  // namespace
}  // namespace aerova
