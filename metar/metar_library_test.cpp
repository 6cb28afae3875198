// libmetar.so loaded with dlopen as the station loads it, against a weather text server on
// this machine.

#include "metar/metar_library.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/strings.h"
#include "platform/dynamic_library.h"
#include "platform/test_file_server.h"

extern char** environ;

namespace aerova {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kLibrary = AEROVA_METAR_LIBRARY;
constexpr const char* kChildMark = "AEROVA_METAR_TEST_CHILD";

constexpr const char* kMetarPath = "/data/observations/metar/stations/EDDH.TXT";
const std::string kMetar =
    "2024/05/20 10:50\n"
    "EDDH 201050Z AUTO 27010KT 9999 FEW030 15/08 Q1013 NOSIG\n";
const std::string kShortTaf =
    "2024/05/20 11:04\n"
    "TAF EDDH 201100Z 2012/2021 27012KT 9999 SCT030\n";
const std::string kTaf =
    "2024/05/20 11:04\n"
    "TAF EDDH 201100Z 2012/2118 27012KT 9999 SCT030\n"
    "      BECMG 2018/2020 24005KT\n";

// 300 and 100 000 bytes that say where each byte stands, so a wrong cut shows.
std::string CountingText(std::size_t size) {
    std::string text;
    for (std::size_t i = 0; text.size() < size; ++i) text += std::to_string(i % 10);
    return text;
}

// Serves station files by path and records every path asked for.
std::map<std::string, testing::ServedFile> StationFiles() {
    return {
        {kMetarPath, {200, kMetar, {}}},
        {Concat({"/pub", kMetarPath}), {200, kMetar, {}}},
        {"/data/forecasts/shorttaf/stations/EDDH.TXT", {200, kShortTaf, {}}},
        {"/data/forecasts/taf/stations/EDDH.TXT", {200, kTaf, {}}},
        {"/data/observations/metar/stations/LONG.TXT", {200, CountingText(300), {}}},
        {"/data/observations/metar/stations/HUGE.TXT", {200, CountingText(100000), {}}},
        {"/data/observations/metar/stations/ERRS.TXT", {500, kMetar, {}}},
        {"/data/observations/metar/stations/MOVD.TXT", {302, {}, kMetarPath}},
        {"/data/observations/metar/stations/LOOP.TXT",
         {302, {}, "/data/observations/metar/stations/LOOP.TXT"}},
        {"/data/observations/metar/stations/FILE.TXT", {302, {}, "file:///etc/hostname"}},
    };
}

class WeatherTextServer : public testing::TestFileServer {
  public:
    WeatherTextServer() : TestFileServer(StationFiles()) {}
};

using GetTextFunction = void(unsigned char*, const char*);

// The exports of one load of the library.
struct MetarLibrary {
    MetarLibrary() : library(DynamicLibrary::Open(kLibrary)) {
        if (!library) return;
        getMetar = library->Symbol<GetTextFunction>("GetMETAR");
        getShortTaf = library->Symbol<GetTextFunction>("GetShortTAF");
        getTaf = library->Symbol<GetTextFunction>("GetTAF");
        setServer = library->Symbol<void(const char*)>("SetMETARServer");
        setTimeouts = library->Symbol<void(long, long)>("SetMETARTimeouts");
    }
    bool complete() const { return getMetar && getShortTaf && getTaf && setServer && setTimeouts; }

    std::optional<DynamicLibrary> library;
    GetTextFunction* getMetar = nullptr;
    GetTextFunction* getShortTaf = nullptr;
    GetTextFunction* getTaf = nullptr;
    void (*setServer)(const char*) = nullptr;
    void (*setTimeouts)(long, long) = nullptr;
};

// The text a call leaves in a buffer that held garbage before.
std::string Call(GetTextFunction* get, const char* station) {
    unsigned char buffer[256];
    std::fill(std::begin(buffer), std::end(buffer), 0xA5);
    get(buffer, station);
    return std::string(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
}

bool StillLoaded() {
    void* handle = dlopen(kLibrary, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

class MetarLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(metar.complete()) << kLibrary;
        metar.setServer(server.Url().c_str());
    }

    WeatherTextServer server;
    MetarLibrary metar;
};

// Loaded and unloaded around every fetch: nothing in the library may pin it in memory.
TEST_F(MetarLibraryTest, UnloadsWithItsLastHandle) {
    EXPECT_EQ(Call(metar.getMetar, "EDDH"), kMetar);
    EXPECT_TRUE(StillLoaded());
    metar.library.reset();
    EXPECT_FALSE(StillLoaded());
}

TEST_F(MetarLibraryTest, FetchesTheStationFiles) {
    const std::string longText = CountingText(300);
    struct Case {
        GetTextFunction* MetarLibrary::*get;
        const char* station;
        std::string path;  // what the server is asked for first
        std::string text;
    } cases[] = {
        {&MetarLibrary::getMetar, "eddh", kMetarPath, kMetar},
        {&MetarLibrary::getShortTaf, "EDDH", "/data/forecasts/shorttaf/stations/EDDH.TXT",
         kShortTaf},
        {&MetarLibrary::getTaf, "EdDh", "/data/forecasts/taf/stations/EDDH.TXT", kTaf},
        {&MetarLibrary::getMetar, "EDDF", "/data/observations/metar/stations/EDDF.TXT", ""},
        {&MetarLibrary::getMetar, "abcd1234", "/data/observations/metar/stations/ABCD1234.TXT", ""},
        {&MetarLibrary::getMetar, "ERRS", "/data/observations/metar/stations/ERRS.TXT", ""},
        {&MetarLibrary::getMetar, "LONG", "/data/observations/metar/stations/LONG.TXT",
         longText.substr(0, 255)},
        {&MetarLibrary::getMetar, "HUGE", "/data/observations/metar/stations/HUGE.TXT",
         longText.substr(0, 255)},
        {&MetarLibrary::getMetar, "MOVD", "/data/observations/metar/stations/MOVD.TXT", kMetar},
        {&MetarLibrary::getMetar, "LOOP", "/data/observations/metar/stations/LOOP.TXT", ""},
        {&MetarLibrary::getMetar, "FILE", "/data/observations/metar/stations/FILE.TXT", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::size_t before = server.paths().size();
        EXPECT_EQ(Call(metar.*c.get, c.station), c.text);
        const auto paths = server.paths();
        ASSERT_GT(paths.size(), before);
        EXPECT_EQ(paths[before], c.path);
    }
    // The redirect loop is followed three times and no further.
    const auto paths = server.paths();
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/data/observations/metar/stations/LOOP.TXT"),
              4);
}

TEST_F(MetarLibraryTest, BadStationCodesSendNothing) {
    const char* const badCodes[] = {"",         "ED/DH",   "TOOLONGCODE", "ABCD12345", "ED DH",
                                    "EDDH.TXT", "../EDDH", "ED%2F",       "\304DDH",   nullptr};
    for (const char* station : badCodes) {
        SCOPED_TRACE(station != nullptr ? station : "(null)");
        EXPECT_EQ(Call(metar.getMetar, station), "");
        EXPECT_EQ(Call(metar.getTaf, station), "");
    }
    EXPECT_TRUE(server.paths().empty());
}

TEST_F(MetarLibraryTest, ServerBaseMayCarryAPrefix) {
    metar.setServer(Concat({server.Url(), "/pub/"}).c_str());
    EXPECT_EQ(Call(metar.getMetar, "EDDH"), kMetar);
    EXPECT_EQ(server.paths(), std::vector<std::string>{Concat({"/pub", kMetarPath})});
}

// A server that takes the connection and never answers.
class SilentServer {
  public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd_, 4) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
            ADD_FAILURE() << "cannot listen on 127.0.0.1";
        }
        port_ = ntohs(addr.sin_port);
    }
    ~SilentServer() { ::close(fd_); }
    std::string Url() const { return Concat({"http://127.0.0.1:", std::to_string(port_)}); }
    bool ConnectionWaiting() const {
        pollfd pfd{fd_, POLLIN, 0};
        return ::poll(&pfd, 1, 0) == 1;
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

TEST_F(MetarLibraryTest, SilentServerGivesAnEmptyTextAfterTheTimeOut) {
    SilentServer silent;
    metar.setServer(silent.Url().c_str());
    metar.setTimeouts(300, 800);

    std::atomic<bool> stop{false};
    std::atomic<long> ticks{0};
    std::thread counter([&] {
        while (!stop.load()) {
            ticks.fetch_add(1);
            std::this_thread::yield();
        }
    });
    const long ticksBefore = ticks.load();
    const auto start = Clock::now();
    const std::string text = Call(metar.getMetar, "EDDH");
    const auto elapsed = Clock::now() - start;
    const long ticksDuring = ticks.load() - ticksBefore;
    stop = true;
    counter.join();

    EXPECT_EQ(text, "");
    EXPECT_TRUE(silent.ConnectionWaiting());
    EXPECT_GE(elapsed, 700ms);  // it waited for the answer, not failed at once
    EXPECT_LT(elapsed, 5s);
    EXPECT_GT(ticksDuring, 0) << "the fetch held up the other thread";
}

// The environment's server wins over the station's. The variable is set only in a child
// process, never in this one, whose server thread is running.
TEST_F(MetarLibraryTest, EnvironmentServerOverridesTheStations) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<std::string> settings;
    for (char** var = environ; *var != nullptr; ++var) {
        if (!StartsText("AEROVA_METAR_URL=", *var)) settings.emplace_back(*var);
    }
    settings.push_back(Concat({"AEROVA_METAR_URL=", server.Url()}));
    settings.push_back(Concat({kChildMark, "=1"}));
    std::vector<char*> envp;
    for (std::string& s : settings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string filter = "--gtest_filter=MetarLibraryEnvironmentChild.*";
    std::string brief = "--gtest_brief=1";  // the child speaks only of its failures
    char* argv[] = {const_cast<char*>(self.c_str()), filter.data(), brief.data(), nullptr};

    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    int status = 0;
    const auto deadline = Clock::now() + 60s;
    pid_t done = 0;
    while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the child did not end";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(server.paths(), std::vector<std::string>{kMetarPath});
}

TEST(MetarLibraryEnvironmentChild, FetchesFromTheEnvironmentsServer) {
    if (std::getenv(kChildMark) == nullptr) {
        GTEST_SKIP() << "runs as the child of EnvironmentServerOverridesTheStations";
    }
    MetarLibrary metar;
    ASSERT_TRUE(metar.complete());
    metar.setServer("http://127.0.0.1:1");  // nothing listens there
    metar.setTimeouts(5000, 10000);
    EXPECT_EQ(Call(metar.getMetar, "EDDH"), kMetar);
}

}  // namespace
}  // namespace aerova
