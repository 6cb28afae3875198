#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <utility>

#include "platform/station_dir.h"

namespace aerova {
namespace {

constexpr const char* kModule = AEROVA_TEST_DYNAMIC_MODULE;

// Whether the loader still holds the module (RTLD_NOLOAD loads nothing, it only looks).
bool StillLoaded() {
    void* handle = dlopen(kModule, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

TEST(DynamicLibraryTest, MissingLibraryGivesNothing) {
    EXPECT_FALSE(DynamicLibrary::Open("libaerova-no-such-library.so").has_value());
    EXPECT_FALSE(DynamicLibrary::Open("/nonexistent/libm.so.6").has_value());
}

TEST(DynamicLibraryTest, BareNameGoesThroughTheSearchOrder) {
    const auto libm = DynamicLibrary::Open("libm.so.6");
    ASSERT_TRUE(libm.has_value());
    const auto cube = libm->Symbol<double(double)>("cbrt");
    ASSERT_NE(cube, nullptr);
    EXPECT_DOUBLE_EQ(cube(27.0), 3.0);
}

// The module is built beside the test program, which has no RUNPATH to it: only the
// program's own folder finds it by its bare name.
TEST(DynamicLibraryTest, BareNameIsFoundBesideTheProgram) {
    const std::string module = kModule;
    ASSERT_EQ(module.substr(0, module.rfind('/')), ExecutableDirectory());
    const auto found = DynamicLibrary::Open(module.substr(module.rfind('/') + 1));
    ASSERT_TRUE(found.has_value());
    EXPECT_NE(found->Symbol<int(int)>("TwiceOf"), nullptr);
}

TEST(DynamicLibraryTest, ResolvesExportsAndMissesOthers) {
    const auto module = DynamicLibrary::Open(kModule);
    ASSERT_TRUE(module.has_value());
    const auto twice = module->Symbol<int(int)>("TwiceOf");
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice(21), 42);
    EXPECT_EQ(module->Symbol<int(int)>("HalfOf"), nullptr);
    EXPECT_EQ(module->Address(""), nullptr);
}

TEST(DynamicLibraryTest, LibraryIsClosedWithItsLastOwner) {
    ASSERT_FALSE(StillLoaded());
    {
        auto first = DynamicLibrary::Open(kModule);
        ASSERT_TRUE(first.has_value());
        DynamicLibrary moved(std::move(*first));
        first.reset();  // the moved-from object closes nothing
        EXPECT_TRUE(StillLoaded());
        EXPECT_NE(moved.Symbol<int(int)>("TwiceOf"), nullptr);

        auto other = DynamicLibrary::Open("libm.so.6");
        ASSERT_TRUE(other.has_value());
        moved = std::move(*other);  // the assignment closes what `moved` held
        EXPECT_FALSE(StillLoaded());
        EXPECT_EQ(moved.Symbol<int(int)>("TwiceOf"), nullptr);
        EXPECT_NE(moved.Symbol<double(double)>("cbrt"), nullptr);
    }
    {
        const auto module = DynamicLibrary::Open(kModule);
        EXPECT_TRUE(StillLoaded());
    }
    EXPECT_FALSE(StillLoaded());
}

}  // namespace
}  // namespace aerova
