#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/files.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

TEST(IniFileTest, SectionsAndKeysIgnoreCaseAndMissingKeysGiveTheDefault) {
    IniFile ini;
    ini.Parse("[Main]\r\nDeletedTimeout = 20\r\nname=\"Home base\"\r\nhex=$10\r\nbad=x\r\n");
    EXPECT_EQ(ini.ReadInteger("main", "deletedtimeout", 15), 20);
    EXPECT_EQ(ini.ReadString("MAIN", "NAME", ""), "Home base");
    EXPECT_EQ(ini.ReadInteger("main", "hex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("main", "bad", 9), 9);
    EXPECT_EQ(ini.ReadInteger("main", "missing", 15), 15);
    EXPECT_EQ(ini.ReadString("other", "name", "dflt"), "dflt");
    EXPECT_TRUE(ini.ReadBool("main", "deletedtimeout", false));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("main", "deletedtimeout", 0), 20.0);
}

TEST(FilesTest, WholeFilesAreReplacedOrLeftAloneNeverHalfWritten) {
    const testing::TempDir scratch;
    const std::filesystem::path dir = scratch.path();
    std::filesystem::create_directories(dir / "taken");
    const std::string path = (dir / "list.txt").string();
    ASSERT_TRUE(WriteFileReplacing(path, "first\r\n"));
    ASSERT_TRUE(WriteFileReplacing(path, "second\r\n"));
    std::string content;
    ASSERT_TRUE(ReadWholeFile(path, content));
    EXPECT_EQ(content, "second\r\n");
    EXPECT_FALSE(FileExists(path + ".tmp"));

    // A name taken by a directory, and a folder that does not exist: reported, nothing left.
    const std::string taken = (dir / "taken").string();
    EXPECT_FALSE(WriteFileReplacing(taken, "x"));
    EXPECT_TRUE(DirectoryExists(taken));
    EXPECT_FALSE(FileExists(taken + ".tmp"));
    EXPECT_FALSE(WriteFileReplacing((dir / "missing" / "a.ini").string(), "x"));
    EXPECT_FALSE(IniFile((dir / "missing" / "a.ini").string()).UpdateFile());
}

TEST(IniFileTest, SavingKeepsWhatItDidNotTouch) {
    const testing::TempDir scratch;
    const std::filesystem::path dir = scratch.path();
    const std::string path = (dir / "a.ini").string();
    CreateEmptyFile(path);
    AppendLine(path, "; station settings");
    AppendLine(path, "[main]");
    AppendLine(path, "Keep=1");
    AppendLine(path, "Change=2");
    AppendLine(path, "");
    AppendLine(path, "[times]");
    AppendLine(path, "x=3");
    {
        IniFile ini(path);
        ini.WriteInteger("MAIN", "change", 5);
        ini.WriteString("main", "added", "yes");
        ini.WriteFloat("new", "lat", 51.25);
        ASSERT_TRUE(ini.UpdateFile());
    }
    std::string content;
    ASSERT_TRUE(ReadWholeFile(path, content));
    EXPECT_EQ(content,
              "; station settings\r\n[main]\r\nKeep=1\r\nChange=5\r\nadded=yes\r\n\r\n"
              "[times]\r\nx=3\r\n[new]\r\nlat=51.25\r\n");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace aerova
