#include "scripts/script_language.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/strings.h"

namespace aerova {
namespace {

TEST(ScriptLanguage, EveryKeywordHasItsCodeInAnyCase) {
    struct Row {
        const char* keyword;
        int code;
    };
    const std::vector<Row> rows{
        {"ONFLIGHT", 11},     {"ONMODES", 21},       {"ONALTITUDE", 32}, {"ONAREA", 44},
        {"ONGATE", 44},       {"ONSPEED", 52},       {"ONTRACK", 62},    {"ONVRATE", 72},
        {"ONICAOTYPE", 81},   {"ONREG", 91},         {"ONSQUAWK", 101},  {"ONRANGE", 113},
        {"ONSQLMATCH", 122},  {"ONOVERHEAD", 131},   {"ONNOPOS", 140},   {"ONCOUNT", 508},
        {"DOALERT", 1000},    {"DOPOPUP", 1011},     {"DOMAIL", 1022},   {"DOWRITELOG", 1032},
        {"DOSAVEJPEG", 1042}, {"DOFTPUPLOAD", 1051}, {"DOCHAT", 1061},   {"DOCHIME", 1070},
        {"DOEXEC", 1082},
    };
    ASSERT_EQ(StatementTable().size(), rows.size());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keyword);
        EXPECT_EQ(ParseStatement(LowerCase(row.keyword)).code, row.code);
        EXPECT_EQ(ParseStatement(row.keyword).code, row.code);
    }
}

struct ParseCase {
    const char* line;
    int code;
    std::vector<std::string> args;
    const char* rest;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class ParseStatementTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseStatementTest, TakesOneStatementFromTheFront) {
    const ParseCase& c = GetParam();
    const Statement s = ParseStatement(c.line);
    EXPECT_EQ(s.code, c.code);
    EXPECT_EQ(s.args, c.args);
    EXPECT_EQ(s.rest, c.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseStatementTest,
    ::testing::Values(
        ParseCase{"onflight DLH123 ONALTITUDE 1 2", 11, {"DLH123"}, "ONALTITUDE 1 2"},
        ParseCase{"ONALTITUDE 1000 2000 DOALERT", 32, {"1000", "2000"}, "DOALERT"},
        // Conditions count words, not keywords: the action becomes the second word.
        ParseCase{"ONALTITUDE 1000 DOALERT", 32, {"1000", "DOALERT"}, ""},
        ParseCase{"ONFLIGHT", 11, {""}, ""}, ParseCase{"ONNOPOS DOCHIME", 140, {}, "DOCHIME"},
        ParseCase{"ONCOUNT 1 2 3 4 5 6 7 8 9", 508, {"1", "2", "3", "4", "5", "6", "7", "8"}, "9"},
        ParseCase{"DOMAIL \"ops@example.org\" \" low pass \" DOCHIME",
                  1022,
                  {"ops@example.org", "low pass"},
                  "DOCHIME"},
        ParseCase{"DOMAIL \"ops@example.org\"", 1022, {"ops@example.org", ""}, ""},
        // Text before the opening quote is dropped with it.
        ParseCase{"DOPOPUP first \"second\" third", 1011, {"second"}, "third"},
        // Without a closing quote nothing is taken.
        ParseCase{"DOPOPUP hello", 1011, {""}, "hello"},
        ParseCase{"DOPOPUP \"unclosed text", 1011, {""}, "\"unclosed text"},
        ParseCase{"DOCHIME DOALERT", 1070, {}, "DOALERT"},
        ParseCase{"BEEP \"loud\" DOCHIME", kUnknownStatement, {}, "\"loud\" DOCHIME"},
        ParseCase{"", kUnknownStatement, {}, ""}));

}  // namespace
}  // namespace aerova
