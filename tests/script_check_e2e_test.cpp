// aerovamini --check-script: the real program checks an alert script with the include files
// of its station directory, prints the program and the errors, and ends with the check's
// result, starting nothing of the station.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/files.h"
#include "base/strings.h"
#include "tests/station_process.h"

namespace aerova {
namespace {

using testing::FreshDirectory;
using testing::StationProcess;

std::set<std::string> Entries(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        names.insert(std::filesystem::relative(entry.path(), dir).string());
    return names;
}

TEST(ScriptCheckEndToEnd, PrintsTheCheckedProgramAndEndsWithItsResult) {
    const std::string station = FreshDirectory("script-check-station");
    const std::string work = FreshDirectory("script-check-work");
    ASSERT_TRUE(ForceDirectories(JoinPath(station, "aerova-scripts")));
    ASSERT_TRUE(WriteFileReplacing(JoinPath(station, "aerova-scripts/chime.aqs"), "DOCHIME\r\n"));
    const std::string faulty = JoinPath(work, "faulty.aqs");
    const std::string clean = JoinPath(work, "clean.aqs");
    ASSERT_TRUE(WriteFileReplacing(faulty, "onaltitude 1000 2000 doalert\r\n$chime.aqs$\r\n"));
    ASSERT_TRUE(
        WriteFileReplacing(clean, "ONFLIGHT DLH123 { Lufthansa } DOALERT\r\n$chime.aqs$\r\n"));
    const std::set<std::string> before = Entries(station);

    StationProcess withErrors(work, {"--check-script", faulty, "--station-dir", station});
    ASSERT_EQ(withErrors.Wait(20), 1) << withErrors.Stderr();
    EXPECT_EQ(withErrors.Stdout(),
              " 010 onaltitude 1000 2000 doalert\n"
              " 020 DOCHIME\n"
              "\"ONALTITUDE 1000 2000 DOALERT\"\n"
              "E300 Unspecified statement in line 010\n");

    StationProcess withoutErrors(work, {"--check-script", clean, "--station-dir", station});
    ASSERT_EQ(withoutErrors.Wait(20), 0) << withoutErrors.Stderr();
    EXPECT_EQ(withoutErrors.Stdout(), " 010 ONFLIGHT DLH123 DOALERT\n 020 DOCHIME\n");
    EXPECT_EQ(withoutErrors.Stderr(), "");

    // No settings, lock or log files: the check ran without a station.
    EXPECT_EQ(Entries(station), before);
}

}  // namespace
}  // namespace aerova
