#include "distribution/published_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(PublishedFilesTest, WritesReadsAndRemovesWholeFiles) {
    testing::TempDir dir;
    PublishedFiles files;
    const std::string path = dir.File("~temp.jpg");
    EXPECT_FALSE(files.Read(path).has_value());
    EXPECT_FALSE(files.Exists(path));
    const std::string bytes("\xFF\xD8\0\x01\xFF\xD9", 6);
    ASSERT_TRUE(files.Write(path, bytes));
    EXPECT_EQ(files.Read(path), bytes);
    EXPECT_TRUE(files.Write(path, "second"));
    EXPECT_EQ(files.Read(path), "second");
    EXPECT_FALSE(files.Read(dir.path()).has_value());  // a directory is no file
    EXPECT_FALSE(files.Write(dir.File("missing/dir/~temp.jpg"), bytes));
    EXPECT_TRUE(files.Remove(path));
    EXPECT_FALSE(files.Exists(path));
    EXPECT_FALSE(files.Remove(path));
}

// A log is emptied in place: whoever keeps it open for appending goes on writing to the
// same file, which the station reads next.
TEST(PublishedFilesTest, ClearEmptiesTheSameFileInPlace) {
    testing::TempDir dir;
    PublishedFiles files;
    const std::string path = dir.File("aerova-error.log");
    EXPECT_FALSE(files.Clear(path));
    EXPECT_FALSE(files.Exists(path));
    std::ofstream writer(path, std::ios::binary | std::ios::app);
    writer << "12:00:00 old line\r\n" << std::flush;
    const ino_t before = InodeOf(path);
    ASSERT_TRUE(files.Clear(path));
    EXPECT_EQ(files.Read(path), "");
    EXPECT_EQ(InodeOf(path), before);
    writer << "12:00:01 new line\r\n" << std::flush;
    EXPECT_EQ(files.Read(path), "12:00:01 new line\r\n");
}

}  // namespace
}  // namespace aerova
