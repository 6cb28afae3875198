#include "app/script_check_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "platform/station_dir.h"
#include "scripts/script_checker.h"

namespace aerova {
namespace {

using testing::TempDir;

TEST(ScriptCheckOptions, TakesTheScriptFile) {
    std::string error;
    const auto options =
        ParseRunOptions({"--check-script", "alerts.aqs", "--station-dir", "/srv/station"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    EXPECT_EQ(options->checkScript, "alerts.aqs");
    EXPECT_EQ(options->stationDir, "/srv/station");

    EXPECT_FALSE(ParseRunOptions({"--check-script"}, error).has_value());
    EXPECT_EQ(error, "--check-script needs a value");
    EXPECT_FALSE(ParseRunOptions({"--check-script", ""}, error).has_value());
    EXPECT_EQ(error, "--check-script needs a file name");
}

struct CommandCase {
    const char* name;
    std::string script;
    std::vector<std::pair<std::string, std::string>> includes;
    std::string out;  // "{dir}": the station directory
    int exit;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class ScriptCheckCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ScriptCheckCommandTest, PrintsTheProgramThenTheErrors) {
    const CommandCase& c = GetParam();
    TempDir dir;
    dir.Write("alerts.aqs", c.script);
    for (const auto& [name, text] : c.includes) dir.Write(Concat({"aerova-scripts/", name}), text);
    RunOptions options;
    options.checkScript = dir.File("alerts.aqs");
    options.stationDir = dir.path();
    std::ostringstream out, err;

    EXPECT_EQ(RunScriptCheck(options, out, err), c.exit);
    EXPECT_EQ(out.str(), ReplaceAll(c.out, "{dir}", dir.path()));
    EXPECT_EQ(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ScriptCheckCommandTest,
    ::testing::Values(
        CommandCase{"Clean",
                    "ONFLIGHT X DOALERT\n$chime.aqs$",
                    {{"chime.aqs", "DOCHIME"}},
                    " 010 ONFLIGHT X DOALERT\n 020 DOCHIME\n",
                    0},
        CommandCase{"UnknownStatement",
                    "ONFLIGHT X\nBEEP",
                    {},
                    " 010 ONFLIGHT X\n 020 BEEP\n\"BEEP\"\nE100 Unknown statement in line 020\n",
                    1},
        CommandCase{"IncludeFromTheStationsScriptsFolder",
                    "$missing.aqs$\nDOCHIME",
                    {},
                    " 010 DOCHIME\nE500 Include file not found: {dir}/aerova-scripts/missing.aqs\n",
                    1},
        CommandCase{"TooManyStatements",
                    ReplaceAll(std::string(kMaxScriptLines + 1, '\n'), "\n", "DOCHIME\n"),
                    {},
                    "E900 Too many statements in file\n",
                    1}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

TEST(ScriptCheckCommand, IncludesComeFromBesideTheProgramByDefault) {
    TempDir dir;
    dir.Write("alerts.aqs", "$missing.aqs$");
    RunOptions options;
    options.checkScript = dir.File("alerts.aqs");
    std::ostringstream out, err;

    EXPECT_EQ(RunScriptCheck(options, out, err), 1);
    EXPECT_EQ(out.str(),
              Concat({"E500 Include file not found: ",
                      JoinPath(ExecutableDirectory(), "aerova-scripts/missing.aqs"), "\n"}));
}

TEST(ScriptCheckCommand, AFileThatIsNoScriptEndsWithCode2) {
    TempDir dir;
    dir.Write("huge.aqs", std::string(kMaxScriptBytes + 1, 'x'));
    const std::vector<std::pair<std::string, std::string>> cases{
        {dir.File("missing.aqs"),
         Concat({"aerovamini: cannot read the script ", dir.File("missing.aqs"), "\n"})},
        {dir.path(), Concat({"aerovamini: cannot read the script ", dir.path(), "\n"})},
        {dir.File("huge.aqs"), Concat({"aerovamini: the script ", dir.File("huge.aqs"),
                                       " is larger than 1048576 bytes\n"})},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        RunOptions options;
        options.checkScript = path;
        options.stationDir = dir.path();
        std::ostringstream out, err;
        EXPECT_EQ(RunScriptCheck(options, out, err), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), message);
    }
}

}  // namespace
}  // namespace aerova
