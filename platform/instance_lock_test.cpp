#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/testing/temp_dir.h"
#include "platform/running_mark.h"

namespace aerova {
namespace {

TEST(InstanceLockTest, ASecondHolderOnTheSameStationDirectoryIsRefused) {
    const testing::TempDir scratch, other;
    const std::string dir = scratch.path();
    InstanceLock first, second, elsewhere;
    ASSERT_TRUE(first.Acquire(dir));
    EXPECT_FALSE(second.Acquire(dir));
    EXPECT_TRUE(elsewhere.Acquire(other.path()));
    first.Release();
    EXPECT_TRUE(second.Acquire(dir));
}

TEST(RunningMarkTest, ActiveIsClearedAndTheRestKept) {
    const testing::TempDir scratch;
    const std::string dir = scratch.path();
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
