#include "database/countries.h"

#include <gtest/gtest.h>

#include "database/test_support.h"

namespace aerova {
namespace {

TEST(CountryTableTest, ShippedTableNamesRealAircraft) {
    CountryTable table;
    table.LoadCountries(std::string(AEROVA_DATABASE_DIR) + "/countries.dat");
    ASSERT_EQ(table.size(), 189u);
    const struct {
        const char* modes;
        const char* country;
    } cases[] = {
        {"000000", "Unknown"},
        {"000001", "Unknown"},  // below the first block
        {"FS2004", ""},
        {"3C6444", "Germany"},
        {"3c6444", "Germany"},
        {"3C0001", "Germany"},
        {"3C0000", "France"},  // a block's first address sorts before the block's entry
        {"3FFFFF", "Germany"},
        {"4CA2D1", "Ireland"},
        {"400F01", "United Kingdom"},
        {"A0B1C2", "United States"},
        {"7C7A3F", "Australia"},
        {"E48F11", "Brazil"},
        {"501C01", "Croatia"},
        {"508A01", "Ukraine"},
        {"FFFFFF", "ICAO (special use)"},
    };
    for (const auto& c : cases) EXPECT_EQ(table.CountryOfAddress(c.modes), c.country) << c.modes;
}

TEST(CountryTableTest, KeysAndSkippedLines) {
    CountryTable table;
    table.Parse(
        "; a comment without the sign\r\n"
        "  Germany  = 001111xxxxxxxxxxxxxxxxxx , 3C0000-3FFFFF\r\n"
        "France=001110xxxxxxxxxxxxxxxxxx\n"
        "Short=0011\n"
        "Letters=00111a0xxxxxxxxxxxxxxxxx\n"
        "=101000000000000000000000\n"
        "Croatia=0101000000011100xxxxxxxx,fine\n"
        "no sign at all\n"
        "Zimbabwe=00000000010000xxxxxxxxxx");
    const std::vector<std::string> expected = {"004000 Zimbabwe", "380000 France", "3C0000 Germany",
                                               "501C00 Croatia", "A00000 "};
    EXPECT_EQ(table.entries(), expected);
    EXPECT_EQ(table.CountryOfAddress("3D0000"), "Germany");
    EXPECT_EQ(table.CountryOfAddress("501C01"), "Croatia");
    EXPECT_EQ(table.CountryOfAddress("A00001"), "");  // a block without a name
}

TEST(CountryTableTest, MissingFileGivesAnEmptyTable) {
    testing::TempDir dir;
    CountryTable table;
    table.Parse("Germany=001111xxxxxxxxxxxxxxxxxx");
    ASSERT_EQ(table.size(), 1u);
    table.LoadCountries(dir.File("countries.dat"));
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.CountryOfAddress("3C6444"), "");
    EXPECT_EQ(table.CountryOfAddress("000000"), "Unknown");
    EXPECT_EQ(table.CountryOfAddress("FS2004"), "");
}

}  // namespace
}  // namespace aerova
