// Network receiver inputs of a whole station: the command line and the settings file name
// the sources, and a station connected to dump1090's raw and Beast outputs holds the targets
// that the station's own decoding tool finds in the same recording.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "base/testing/recordings.h"
#include "receiver/receiver_settings.h"
#include "station/error_log.h"
#include "tests/station_process.h"

namespace aerova::testing {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kPeer[] = "/usr/bin/dump1090-mutability";
// The recording's receiver stood near St Petersburg; positions are decoded against this.
constexpr double kHomeLat = 59.80, kHomeLon = 30.26;

// A loopback port that was free a moment ago.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

int ConnectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
    ::close(fd);
    return -1;
}

template <typename Pred>
bool WaitFor(Pred done, double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// An established TCP connection from this machine to 127.0.0.1:port (the kernel's table).
bool ConnectedTo(int port) {
    std::ifstream tcp("/proc/net/tcp");
    char remote[16];
    std::snprintf(remote, sizeof remote, "0100007F:%04X", port);
    for (std::string line; std::getline(tcp, line);) {
        std::istringstream fields(line);
        std::string slot, local, rem, state;
        fields >> slot >> local >> rem >> state;
        if (rem == remote && state == "01") return true;
    }
    return false;
}

// dump1090-mutability on its own loopback ports, network only.
class PeerDecoder {
  public:
    PeerDecoder() : rawIn(FreePort()), rawOut(FreePort()), beastOut(FreePort()) {
        const std::vector<std::string> args = {kPeer,
                                               "--net-only",
                                               "--net-bind-address",
                                               "127.0.0.1",
                                               "--net-ri-port",
                                               std::to_string(rawIn),
                                               "--net-ro-port",
                                               std::to_string(rawOut),
                                               "--net-bo-port",
                                               std::to_string(beastOut),
                                               "--net-bi-port",
                                               "0",
                                               "--net-sbs-port",
                                               "0",
                                               "--net-heartbeat",
                                               "0",
                                               "--net-buffer",
                                               "5",
                                               "--net-verbatim",
                                               "--quiet"};
        pid_ = ::fork();
        if (pid_ == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(kPeer, argv.data());
            ::_exit(127);
        }
    }
    ~PeerDecoder() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        if (!WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, 5)) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
    }
    bool Listening() const {
        return WaitFor(
            [this] {
                for (const int port : {rawIn, rawOut, beastOut}) {
                    const int fd = ConnectLoopback(port);
                    if (fd < 0) return false;
                    ::close(fd);
                }
                return true;
            },
            10);
    }
    // Every line of `path` into the raw input, then end of input.
    bool Feed(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const int fd = ConnectLoopback(rawIn);
        if (fd < 0 || bytes.empty()) return false;
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
        return true;
    }

    const int rawIn, rawOut, beastOut;

  private:
    pid_t pid_ = -1;
};

struct Target {
    std::string callsign;
    std::string lat, lon;
};

// The last callsign and position aerovadecode reports for each address.
std::map<std::string, Target> DecodedByTool(const std::string& frames, const std::string& dir) {
    std::map<std::string, Target> targets;
    const std::string command =
        Concat({AEROVA_DECODE_EXE, " '", frames, "' --station-dir '", dir, "' 2>/dev/null"});
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return targets;
    std::string out;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        Target& t = targets[o.value("icao").toString().toStdString()];
        const std::string callsign = Trim(o.value("callsign").toString().toStdString());
        if (!callsign.empty()) t.callsign = callsign;
        if (!o.value("lat").toString().isEmpty()) {
            t.lat = o.value("lat").toString().toStdString();
            t.lon = o.value("lon").toString().toStdString();
        }
    }
    return targets;
}

// The station's table as its data server lists it: flightid:reg:icaotype:modes:lat:lon:...
std::map<std::string, Target> HeldByStation(int offset) {
    std::map<std::string, Target> targets;
    const std::string reply = HttpGet(7988 + offset, "/req=?nopos=1", 2);
    const std::size_t body = reply.find("\r\n\r\n");
    if (body == std::string::npos) return targets;
    std::istringstream lines(reply.substr(body + 4));
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> f = Split(line, ':');
        if (f.size() < 6) continue;
        targets[f[3]] = Target{Trim(f[0]), f[4], f[5]};
    }
    return targets;
}

// A station directory whose receiver stands at the recording's receiver and whose data
// server lists every target at every request.
std::string StationDir(const std::string& name) {
    const std::string dir = FreshDirectory(name);
    ReceiverSettings receiver;
    SetReceiverPosition(receiver, kHomeLat, kHomeLon);
    SaveReceiverSettings(ReceiverSettingsPath(dir), receiver);
    AppendLine(JoinPath(dir, "aerovas.ini"), "[mini]");
    AppendLine(JoinPath(dir, "aerovas.ini"), "cb7988=0");
    return dir;
}

// What the station holds against what the tool decoded, one line per difference. Both run
// the same decoder on the same frames and the same receiver position, so callsigns agree
// exactly; positions cross the report datagram as text of 6 to 7 decimals, and 1e-4 degree
// (at most 11 m) leaves room for that form and nothing for a wrong CPR zone or frame.
std::string Differences(const std::map<std::string, Target>& held,
                        const std::map<std::string, Target>& expected) {
    std::string out;
    for (const auto& [icao, t] : held)
        if (!expected.count(icao)) out += Concat({icao, ": held, but not decoded by the tool\n"});
    for (const auto& [icao, want] : expected) {
        const auto found = held.find(icao);
        if (found == held.end()) {
            out += Concat({icao, ": decoded by the tool, not held\n"});
            continue;
        }
        const Target& got = found->second;
        if (got.callsign != want.callsign)
            out += Concat({icao, ": callsign ", got.callsign, ", tool ", want.callsign, "\n"});
        const auto lat = TryParseReal(got.lat), lon = TryParseReal(got.lon);
        const bool near = want.lat.empty()
                              ? got.lat.empty()
                              : lat && lon && std::fabs(*lat - RealOf(want.lat)) <= 1e-4 &&
                                    std::fabs(*lon - RealOf(want.lon)) <= 1e-4;
        if (!near)
            out += Concat({icao, ": position ", got.lat, " ", got.lon, ", tool ", want.lat, " ",
                           want.lon, "\n"});
    }
    return out;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(NetInputEndToEnd, MalformedSourceOnTheCommandLineIsAnError) {
    const std::string dir = FreshDirectory("netinput-bad");
    for (const char* bad : {"localhost:99999", "localhost:30005,sbs", "localhost"}) {
        StationProcess station(dir, {"--headless", "--station-dir", dir, "--net-input", bad});
        EXPECT_EQ(station.Wait(10), 2) << bad;
        EXPECT_NE(station.Stderr().find("--net-input"), std::string::npos) << station.Stderr();
    }
}

TEST(NetInputEndToEnd, SourceOfTheSettingsFileIsTriedAndItsFailureLogged) {
    const std::string dir = FreshDirectory("netinput-settings");
    const int refusing = FreePort();
    const std::string ini = JoinPath(dir, "aerovas.ini");
    AppendLine(ini, "[netinput]");
    AppendLine(ini, "count=2");
    AppendLine(ini, "host1=127.0.0.1");
    AppendLine(ini, "port1=" + std::to_string(refusing));
    AppendLine(ini, "protocol1=beast");
    AppendLine(ini, "host2=127.0.0.1");
    AppendLine(ini, "port2=0");  // no port: left out, and said so
    const int offset = TestPortOffset(21);
    StationProcess station(
        dir, {"--headless", "--station-dir", dir, "--port-offset", std::to_string(offset)});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();
    const std::string line = Concat({"Network receiver input 127.0.0.1:", std::to_string(refusing),
                                     " (beast): cannot connect: "});
    const std::string log = JoinPath(dir, kErrorLogName);
    // The first attempt, and the next one a second later.
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::string text = ReadWhole(log);
            const std::size_t first = text.find(line);
            return first != std::string::npos && text.find(line, first + 1) != std::string::npos;
        },
        10))
        << ReadWhole(log);
    EXPECT_NE(ReadWhole(log).find("netinput/port2 0 is no port"), std::string::npos);
    station.Signal(SIGTERM);
    EXPECT_EQ(station.Wait(20), 0);
}

class NetInputEndToEndRealData : public ::testing::TestWithParam<const char*> {};

TEST_P(NetInputEndToEndRealData, StationHoldsWhatTheDecodingToolFinds) {
    const std::string frames = RecordingsDir() + "/ulss7_beast/ulss7.dedup.frames";
    if (::access(frames.c_str(), R_OK) != 0) GTEST_SKIP() << "recording not found: " << frames;
    if (::access(kPeer, X_OK) != 0) GTEST_SKIP() << kPeer << " is not installed";
    const std::string protocol = GetParam();

    PeerDecoder peer;
    ASSERT_TRUE(peer.Listening());
    const int output = protocol == "beast" ? peer.beastOut : peer.rawOut;
    const std::string dir = StationDir("netinput-" + protocol);
    const int offset = TestPortOffset(protocol == "beast" ? 22 : 23);
    StationProcess station(
        dir, {"--headless", "--station-dir", dir, "--port-offset", std::to_string(offset),
              "--net-input", Concat({"127.0.0.1:", std::to_string(output), ",", protocol})});
    ASSERT_TRUE(station.WaitForOutput("Aerova mini Edition V", 10)) << station.Stderr();
    // dump1090 sends only to the clients connected when a frame comes.
    ASSERT_TRUE(WaitFor([&] { return ConnectedTo(output); }, 10));
    ASSERT_TRUE(peer.Feed(frames));

    const std::map<std::string, Target> expected = DecodedByTool(frames, dir);
    ASSERT_GE(expected.size(), 10u);  // the recording holds 11 aircraft
    int positions = 0;
    for (const auto& [icao, t] : expected) positions += t.lat.empty() ? 0 : 1;
    EXPECT_GE(positions, 8);
    // The station's polls turn the frames into reports a second apart: wait for the last.
    std::string differences;
    WaitFor(
        [&] {
            differences = Differences(HeldByStation(offset), expected);
            return differences.empty();
        },
        30);
    EXPECT_EQ(differences, "");
    station.Signal(SIGTERM);
    EXPECT_EQ(station.Wait(20), 0);
}

INSTANTIATE_TEST_SUITE_P(Dump1090Outputs, NetInputEndToEndRealData,
                         ::testing::Values("raw", "beast"));

}  // namespace
}  // namespace aerova::testing
