#include "scripts/script_checker.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/strings.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

using testing::TempDir;

// A script, the include files of its folder, and what the check gives. "{dir}" in an error
// stands for the scripts folder.
struct CheckCase {
    std::string name;
    std::string source;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> errors;
    std::string program;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Repeated(std::string_view line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text.append(line);
    return text;
}

// " 010 DOCHIME\n 020 DOCHIME ..." for `count` lines.
std::string NumberedChimes(int count) {
    std::string program;
    for (int i = 1; i <= count; ++i) {
        if (i > 1) program.push_back('\n');
        program.append(Concat({" ", PadLeft(std::to_string(i * 10), 3, '0'), " DOCHIME"}));
    }
    return program;
}

// n01.aqs includes n02.aqs ... up to the last of `depth` files, which holds DOCHIME.
std::vector<std::pair<std::string, std::string>> IncludeChain(int depth) {
    std::vector<std::pair<std::string, std::string>> files;
    auto name = [](int i) { return Concat({"n", PadLeft(std::to_string(i), 2, '0'), ".aqs"}); };
    for (int i = 1; i <= depth; ++i)
        files.emplace_back(name(i), i == depth ? "DOCHIME" : Concat({"$", name(i + 1), "$"}));
    return files;
}

std::vector<CheckCase> ErrorCases() {
    return {
        {"E100UnknownStatement",
         "hello",
         {},
         {"\"hello\"", "E100 Unknown statement in line 010"},
         " 010 hello"},
        {"E100GoesOnAfterTheUnknownStatement",
         "ONFLIGHT X BEEP DOALERT\nTOOT",
         {},
         {"\"BEEP DOALERT\"", "E100 Unknown statement in line 010", "\"TOOT\"",
          "E100 Unknown statement in line 020"},
         " 010 ONFLIGHT X BEEP DOALERT\n 020 TOOT"},
        {"E200MailWithOneText",
         "ONFLIGHT X DOMAIL \"ops@example.org\"",
         {},
         {"\"DOMAIL \"ops@example.org\"\"", "E200 Argument missing in line 010"},
         " 010 ONFLIGHT X DOMAIL \"ops@example.org\""},
        // The word is no quoted text: the popup's text is empty and the word is read as the
        // next statement.
        {"E200PopupWithAWordInsteadOfAText",
         "ONFLIGHT X DOPOPUP hello",
         {},
         {"\"DOPOPUP hello\"", "E200 Argument missing in line 010", "\"hello\"",
          "E100 Unknown statement in line 010"},
         " 010 ONFLIGHT X DOPOPUP hello"},
        {"E300AltitudeWithoutFlights",
         "onaltitude 1000 2000 doalert",
         {},
         {"\"ONALTITUDE 1000 2000 DOALERT\"", "E300 Unspecified statement in line 010"},
         " 010 onaltitude 1000 2000 doalert"},
        {"E500IncludeFileNotFound",
         "DOCHIME\n$missing.aqs$",
         {},
         {"E500 Include file not found: {dir}/missing.aqs"},
         " 010 DOCHIME"},
        {"E510IncludeFileIncludesItself",
         "$self.aqs$",
         {{"self.aqs", "DOCHIME\n$self.aqs$"}},
         {"E510 Include file includes itself: self.aqs"},
         " 010 DOCHIME"},
        {"E510IncludeChainLoops",
         "ONFLIGHT X\n$a.aqs$\nONREG Y",
         {{"a.aqs", "DOALERT\n$b.aqs$"}, {"b.aqs", "$a.aqs$\nDOCHIME"}},
         {"E510 Include file includes itself: a.aqs"},
         " 010 ONFLIGHT X\n 020 DOALERT\n 030 DOCHIME\n 040 ONREG Y"},
        {"E520IncludesNestedTooDeep",
         "$n01.aqs$",
         IncludeChain(kMaxIncludeDepth + 1),
         {"E520 Includes nested too deep: n17.aqs"},
         ""},
        {"E530IncludeFileNameNotAllowed",
         "$../secret.aqs$\nDOCHIME",
         {},
         {"E530 Include file name not allowed: ../secret.aqs"},
         " 010 DOCHIME"},
        {"E540IncludeFileTooLarge",
         "$big.aqs$",
         {{"big.aqs", std::string(kMaxScriptBytes + 1, 'x')}},
         {"E540 Include file makes the script too large: big.aqs"},
         ""},
        // Each inclusion counts: the second copy would take the text past the cap.
        {"E540SecondInclusionTooLarge",
         "$half.aqs$\n$half.aqs$",
         {{"half.aqs", Repeated("DOCHIME\n", static_cast<int>(kMaxScriptBytes / 8 * 3 / 5))}},
         {"E540 Include file makes the script too large: half.aqs",
          "E900 Too many statements in file"},
         ""},
        {"E550IncludeWithoutClosingDollar",
         "$common.aqs\nDOCHIME",
         {{"common.aqs", "DOALERT"}},
         {"E550 Include file statement incomplete"},
         " 010 DOCHIME"},
        {"E550IncludeWithoutName", "$$", {}, {"E550 Include file statement incomplete"}, ""},
        {"E900OnlyAbove98Lines",
         Repeated("BEEP\n", static_cast<int>(kMaxScriptLines) + 1),
         {},
         {"E900 Too many statements in file"},
         ""},
    };
}

std::vector<CheckCase> CleanCases() {
    return {
        {"LowerCaseStatementsOnOneLine",
         "onflight DLH123 onaltitude 1000 2000 dopopup \"Lufthansa low\"",
         {},
         {},
         " 010 onflight DLH123 onaltitude 1000 2000 dopopup \"Lufthansa low\""},
        {"EveryStatementWithItsArguments",
         "ONMODES 3C6586 DOSAVEJPEG \"pic.jpg\" \"Frankfurt\"\n"
         "ONRANGE 1 2 3 ONSPEED 100 200 DOFTPUPLOAD \"pic.jpg\"\n"
         "ONGATE 1 2 3 4 ONTRACK 90 180 DOCHAT \"gate\" DOEXEC \"notify\" \"gate\"\n"
         "ONAREA 1 2 3 4 ONNOPOS ONVRATE -500 500 DOWRITELOG \"log.txt\" \"climb\"\n"
         "ONREG DAIBC ONICAOTYPE A320 ONSQUAWK 7700 ONSQLMATCH a b ONOVERHEAD 5 "
         "ONCOUNT 1 2 3 4 5 6 7 8 DOMAIL \"ops@example.org\" \"squawk\" DOCHIME DOALERT",
         {},
         {},
         " 010 ONMODES 3C6586 DOSAVEJPEG \"pic.jpg\" \"Frankfurt\"\n"
         " 020 ONRANGE 1 2 3 ONSPEED 100 200 DOFTPUPLOAD \"pic.jpg\"\n"
         " 030 ONGATE 1 2 3 4 ONTRACK 90 180 DOCHAT \"gate\" DOEXEC \"notify\" \"gate\"\n"
         " 040 ONAREA 1 2 3 4 ONNOPOS ONVRATE -500 500 DOWRITELOG \"log.txt\" \"climb\"\n"
         " 050 ONREG DAIBC ONICAOTYPE A320 ONSQUAWK 7700 ONSQLMATCH a b ONOVERHEAD 5 "
         "ONCOUNT 1 2 3 4 5 6 7 8 DOMAIL \"ops@example.org\" \"squawk\" DOCHIME DOALERT"},
        {"CommentsRemoved",
         "ONFLIGHT X { low flyers } DOALERT{ a comment\nover two lines }",
         {},
         {},
         " 010 ONFLIGHT X DOALERT"},
        // The "{" goes with the text before it, so the "}" after it is no comment's end.
        {"CloseBraceBeforeTheFirstOpenDropsTheTextBeforeIt",
         "BEEP }\nTOOT {ONFLIGHT X} DOALERT",
         {},
         {},
         " 010 ONFLIGHT X} DOALERT"},
        {"UnclosedBraceDropsTheTextBeforeIt",
         "BEEP {ONFLIGHT X DOALERT",
         {},
         {},
         " 010 ONFLIGHT X DOALERT"},
        {"BlanksAndEmptyLinesRemoved",
         "  ONFLIGHT    X  \r\n\r\n\t\n   DOALERT  ",
         {},
         {},
         " 010 ONFLIGHT X\n 020 DOALERT"},
        // Five passes of pair-to-one leave two of 33 blanks.
        {"BlanksSqueezedFiveTimes",
         Concat({"DOCHIME", std::string(33, ' '), "DOALERT"}),
         {},
         {},
         " 010 DOCHIME  DOALERT"},
        {"NestedIncludesNormalisedInPlace",
         "ONFLIGHT X\n$outer.aqs$ the rest of an include line is dropped\nDOCHIME",
         {{"outer.aqs", "{ shared actions }\nDOALERT\n$inner.aqs$"},
          {"inner.aqs", "  DOPOPUP   \"hi\"  \r\n\r\n"}},
         {},
         " 010 ONFLIGHT X\n 020 DOALERT\n 030 DOPOPUP \"hi\"\n 040 DOCHIME"},
        {"SameFileIncludedTwice",
         "$chime.aqs$\n$chime.aqs$",
         {{"chime.aqs", "DOCHIME"}},
         {},
         NumberedChimes(2)},
        {"IncludesNestedAsDeepAsAllowed",
         "$n01.aqs$",
         IncludeChain(kMaxIncludeDepth),
         {},
         " 010 DOCHIME"},
        {"LinesUpTo98",
         Repeated("DOCHIME\n", static_cast<int>(kMaxScriptLines)),
         {},
         {},
         NumberedChimes(static_cast<int>(kMaxScriptLines))},
    };
}

class CheckScriptTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckScriptTest, ReportsAndNumbers) {
    const CheckCase& c = GetParam();
    TempDir dir;
    const std::string scripts = dir.File("aerova-scripts");
    std::filesystem::create_directories(scripts);
    for (const auto& [name, text] : c.files) dir.Write(Concat({"aerova-scripts/", name}), text);
    std::vector<std::string> errors;
    for (const std::string& e : c.errors) errors.push_back(ReplaceAll(e, "{dir}", scripts));

    const ScriptCheck check = CheckScript(c.source, scripts);
    EXPECT_EQ(check.errors, errors);
    EXPECT_EQ(check.program, c.program);
}

std::string CaseName(const ::testing::TestParamInfo<CheckCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Errors, CheckScriptTest, ::testing::ValuesIn(ErrorCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Clean, CheckScriptTest, ::testing::ValuesIn(CleanCases()), CaseName);

// Altitude, speed, track and rate conditions need one that names the flights.
TEST(CheckScriptCompleteness, ConditionsOnValuesNeedOneOnFlights) {
    for (const char* value : {"onaltitude 1 2", "onspeed 1 2", "ontrack 1 2", "onvrate 1 2"}) {
        SCOPED_TRACE(value);
        const std::string line = Concat({value, " DOALERT"});
        EXPECT_EQ(CheckScript(line, "").errors,
                  (std::vector<std::string>{Concat({"\"", UpperCase(line), "\""}),
                                            "E300 Unspecified statement in line 010"}));
        for (const char* flights : {"ONFLIGHT X", "ONMODES 3C6586", "ONREG DAIBC", "ONAREA 1 2 3 4",
                                    "ONGATE 1 2 3 4", "ONNOPOS", "ONRANGE 1 2 3"}) {
            SCOPED_TRACE(flights);
            EXPECT_EQ(CheckScript(Concat({flights, " ", line}), "").errors,
                      std::vector<std::string>{});
        }
    }
}

// No include name reaches a file outside the scripts folder, and nothing of such a file shows.
TEST(CheckScriptIncludes, NamesOutsideTheFolderAreRefused) {
    TempDir dir;
    const std::string scripts = dir.File("aerova-scripts");
    dir.Write("secret.aqs", "SECRET");
    dir.Write("aerova-scripts/sub/inner.aqs", "SECRET");
    dir.Write("aerova-scripts/inside.aqs", "DOCHIME");
    std::filesystem::create_symlink("../secret.aqs", dir.File("aerova-scripts/out.aqs"));
    std::filesystem::create_symlink("inside.aqs", dir.File("aerova-scripts/alias.aqs"));

    for (const char* name : {"../secret.aqs", "/etc/passwd", "sub/inner.aqs", "..\\secret.aqs", ".",
                             "..", "out.aqs"}) {
        SCOPED_TRACE(name);
        const ScriptCheck check = CheckScript(Concat({"$", name, "$"}), scripts);
        EXPECT_EQ(check.errors,
                  std::vector<std::string>{Concat({"E530 Include file name not allowed: ", name})});
        EXPECT_EQ(check.program, "");
    }
    // A link that stays in the folder is an include file like any other.
    EXPECT_EQ(CheckScript("$alias.aqs$", scripts).program, " 010 DOCHIME");
}

// Only regular files are read: a pipe would block the check for good.
TEST(CheckScriptIncludes, PipesAndFoldersAreNoIncludeFiles) {
    TempDir dir;
    const std::string scripts = dir.File("aerova-scripts");
    std::filesystem::create_directories(JoinPath(scripts, "folder.aqs"));
    ASSERT_EQ(::mkfifo(JoinPath(scripts, "pipe.aqs").c_str(), 0600), 0);

    const ScriptCheck check = CheckScript("$pipe.aqs$\n$folder.aqs$\nDOCHIME", scripts);
    EXPECT_EQ(check.errors,
              (std::vector<std::string>{
                  Concat({"E500 Include file not found: ", JoinPath(scripts, "pipe.aqs")}),
                  Concat({"E500 Include file not found: ", JoinPath(scripts, "folder.aqs")})}));
    EXPECT_EQ(check.program, " 010 DOCHIME");
}

TEST(CheckScriptIncludes, MissingScriptsFolderFindsNoIncludeFile) {
    const ScriptCheck check = CheckScript("$a.aqs$", "/nonexistent/aerova-scripts");
    EXPECT_EQ(check.errors, std::vector<std::string>{
                                "E500 Include file not found: /nonexistent/aerova-scripts/a.aqs"});
}

TEST(IsPlainScriptName, OneFileDirectlyInTheFolder) {
    const std::vector<std::string> plain{"alerts.aqs", "my alerts.aqs", ".hidden",
                                         "a..b",       "\xB0.aqs",      std::string(255, 'a')};
    for (const std::string& name : plain) EXPECT_TRUE(IsPlainScriptName(name)) << name;
    const std::vector<std::string> refused{
        "",           ".",    "..",   "../a.aqs", "/etc/passwd",          "sub/a.aqs",
        "sub\\a.aqs", "a\tb", "a\nb", "a\x7F",    std::string("a\0b", 3), std::string(256, 'a')};
    for (const std::string& name : refused) EXPECT_FALSE(IsPlainScriptName(name)) << name;
}

}  // namespace
}  // namespace aerova
