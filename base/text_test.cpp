#include "base/text.h"

#include <gtest/gtest.h>

namespace aerova {
namespace {

TEST(TextTest, AssignmentKeepsTheFirstNBytesAndComparesExactly) {
    Text<6> modes = "4ca1fa00";
    EXPECT_EQ(modes.size(), 6u);
    EXPECT_EQ(modes, "4ca1fa");
    EXPECT_FALSE(modes == "4CA1FA");
    modes = "";
    EXPECT_TRUE(modes.empty());
    Text<3> heading = std::string("090");
    EXPECT_EQ(heading.str(), "090");
    EXPECT_EQ("F" + Text<3>("350"), "F350");
}

}  // namespace
}  // namespace aerova
