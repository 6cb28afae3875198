#include "receiver/sbs_device_library.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(SbsDeviceLibraryTest, MissingLibraryLeavesEveryEntryEmpty) {
    SbsDeviceLibrary lib;
    EXPECT_FALSE(lib.Load());  // no SBS-1 device library on a build machine
    EXPECT_FALSE(lib.loaded());
    EXPECT_EQ(lib.init_sbs, nullptr);
    EXPECT_EQ(lib.restartSBS, nullptr);
}

TEST(SbsDeviceLibraryTest, ResolvesTheExportsThatExist) {
    SbsDeviceLibrary lib;
    ASSERT_TRUE(lib.Load(AEROVA_TEST_DEVICE_LIBRARY));
    EXPECT_NE(lib.init_sbs, nullptr);
    EXPECT_NE(lib.read_queue, nullptr);
    EXPECT_NE(lib.restartSBS, nullptr);
    EXPECT_EQ(lib.close_sbs, nullptr);
    EXPECT_EQ(lib.read_next_flight, nullptr);
    EXPECT_EQ(lib.read_versiondata, nullptr);
    EXPECT_EQ(lib.read_bandwidthdata, nullptr);
    EXPECT_EQ(lib.read_dllversion, nullptr);
    lib.Unload();
    EXPECT_EQ(lib.init_sbs, nullptr);
}

}  // namespace
}  // namespace aerova
