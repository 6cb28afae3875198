// aerovasim: demo traffic for the station. Sends the frame texts of simulated aircraft and
// ground vehicles, one per datagram, to the receiver's UDP port on this machine
// (127.0.0.1:7933 + --port-offset), or writes them to stdout or a file, one per line.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "base/day_time.h"
#include "base/numbers.h"
#include "sim/traffic_simulator.h"

namespace {

constexpr int kReceiverPort = 7933;

void Usage() {
    std::fputs(
        "usage: aerovasim [--lat DEG] [--lon DEG] [--aircraft N] [--vehicles N] [--rate "
        "FRAMES_PER_S]\n"
        "                 [--seed N] [--port-offset N | --stdout | --file PATH] [--duration "
        "SECONDS]\n"
        "Sends simulated Mode-S/ADS-B frame texts to UDP 127.0.0.1:7933 (+ port offset), or prints "
        "them.\n"
        "Defaults: 53.53333 N 10.16667 E, 40 aircraft, 3 ground vehicles, 400 frames/s, seed 1, no "
        "time limit.\n",
        stderr);
}

double NowUtc() {
    using namespace std::chrono;
    double unix = duration<double>(system_clock::now().time_since_epoch()).count();
    return aerova::FromUnixSeconds(unix);
}

}  // namespace

int main(int argc, char** argv) {
    aerova::sim::SimOptions options;
    int portOffset = 0;
    double duration = 0;
    bool toStdout = false;
    std::string file;
    for (int k = 1; k < argc; ++k) {
        const char* option = argv[k];
        std::string_view arg = option;
        auto value = [&]() -> std::string_view {
            return k + 1 < argc ? std::string_view(argv[++k]) : std::string_view();
        };
        auto real = [&](double& out) {
            auto v = aerova::TryParseReal(value());
            if (v) out = *v;
            return v.has_value();
        };
        auto integer = [&](int& out) {
            auto v = aerova::TryParseInt(value());
            if (v) out = *v;
            return v.has_value();
        };
        bool ok = true;
        int seed = 0;
        if (arg == "--lat")
            ok = real(options.homelat) && options.homelat >= -85 && options.homelat <= 85;
        else if (arg == "--lon")
            ok = real(options.homelon) && options.homelon >= -180 && options.homelon <= 180;
        else if (arg == "--aircraft")
            ok = integer(options.aircraft) && options.aircraft >= 0 && options.aircraft <= 2000;
        else if (arg == "--vehicles")
            ok = integer(options.vehicles) && options.vehicles >= 0 && options.vehicles <= 100;
        else if (arg == "--rate")
            ok = real(options.framesPerSecond) && options.framesPerSecond > 0 &&
                 options.framesPerSecond <= 20000;
        else if (arg == "--seed") {
            ok = integer(seed);
            options.seed = static_cast<std::uint32_t>(seed);
        } else if (arg == "--port-offset")
            ok = integer(portOffset) && portOffset >= 0 && portOffset + kReceiverPort <= 65535;
        else if (arg == "--duration")
            ok = real(duration) && duration >= 0;
        else if (arg == "--stdout")
            toStdout = true;
        else if (arg == "--file") {
            file = std::string(value());
            ok = !file.empty();
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "aerovasim: bad option or value: %s\n", option);
            Usage();
            return 2;
        }
    }

    std::FILE* out = nullptr;
    int sock = -1;
    sockaddr_in to{};
    if (toStdout) {
        out = stdout;
    } else if (!file.empty()) {
        out = std::fopen(file.c_str(), "a");
        if (!out) {
            std::perror(file.c_str());
            return 1;
        }
    } else {
        sock = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (sock < 0) {
            std::perror("socket");
            return 1;
        }
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(kReceiverPort + portOffset));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never off this machine
    }

    aerova::sim::TrafficSimulator sim(options);
    const double start = NowUtc();
    sim.FramesDue(start);
    while (duration <= 0 || (NowUtc() - start) * aerova::kSecondsPerDay < duration) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (const std::string& frame : sim.FramesDue(NowUtc())) {
            if (out) {
                std::fputs(frame.c_str(), out);
                std::fputc('\n', out);
            } else {
                // A full socket buffer only loses a frame, as a receiver would.
                ::sendto(sock, frame.data(), frame.size(), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to);
            }
        }
        if (out) std::fflush(out);
    }
    if (out && out != stdout) std::fclose(out);
    if (sock >= 0) ::close(sock);
    return 0;
}
