#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/running_mark.h"

namespace aerova {
namespace {

std::string TempDir(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

TEST(InstanceLockTest, ASecondHolderOnTheSameStationDirectoryIsRefused) {
    const std::string dir = TempDir("aerova_lock_test");
    InstanceLock first, second, elsewhere;
    ASSERT_TRUE(first.Acquire(dir));
    EXPECT_FALSE(second.Acquire(dir));
    EXPECT_TRUE(elsewhere.Acquire(TempDir("aerova_lock_test2")));
    first.Release();
    EXPECT_TRUE(second.Acquire(dir));
}

TEST(RunningMarkTest, ActiveIsClearedAndTheRestKept) {
    const std::string dir = TempDir("aerova_mark_test");
    ASSERT_TRUE(WriteRunningMark(dir, RunningMark{1, "1.0.0", dir}));
    EXPECT_EQ(ReadRunningMark(dir).Active, 1);
    ASSERT_TRUE(SetRunningActive(dir, 0));
    const RunningMark m = ReadRunningMark(dir);
    EXPECT_EQ(m.Active, 0);
    EXPECT_EQ(m.Version, "1.0.0");
    EXPECT_EQ(m.Folder, dir);
}

}  // namespace
}  // namespace aerova
