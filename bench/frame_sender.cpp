// frame_sender: recorded Mode-S frames to several receivers at once, evenly paced, for the
// whole-station benchmark (bench/station_vs_dump1090.sh). Every destination gets the same
// frame at the same moment, each in its own input format:
//   --udp HOST:PORT    one datagram "*HEX;" per frame (the station's UDP frame input)
//   --raw HOST:PORT    TCP, "*HEX;\n" lines (dump1090's raw input, port 30001 style)
//   --beast HOST:PORT  TCP, Beast binary frames (type '2'/'3', 6-byte 12 MHz time stamp,
//                      signal byte, every 0x1A doubled)
//   --serve-raw PORT, --serve-beast PORT
//                      the same as a TCP server on 127.0.0.1:PORT for a receiver that connects
//                      as a client (the first connection is taken; sending starts once every
//                      server has its client)
// Frame i is due at start + i / rate; the file is repeated until --seconds have passed. The
// sender sleeps to the next due time (timer slack 1 us) and sends every frame that is due,
// so it never sends ahead; when it falls behind it says so at the end.
//   frame_sender --file FRAMES --rate N --seconds S [--udp A:P]... [--raw A:P]... [--beast A:P]...
//                [--serve-raw PORT]... [--serve-beast PORT]...
// Prints one line of results: frames=... seconds=... rate=... max_late_ms=... kept=yes|no
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Frame {
    std::string text;                 // "*HEX;"
    std::vector<std::uint8_t> bytes;  // 7 or 14
};

struct Destination {
    enum Kind { kUdp, kRaw, kBeast } kind;
    sockaddr_in address{};
    bool serve = false;  // listen on address and send to the client that connects
    int fd = -1;
};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Lines "*HEX;", bare HEX, or anything whose last word is one of those; blank and '#'
// lines are skipped, as are frames that are not 7 or 14 bytes.
std::vector<Frame> LoadFrames(const char* path) {
    std::vector<Frame> frames;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word, last;
        while (words >> word) last = word;
        if (last.empty() || last[0] == '#') continue;
        std::string hex = last;
        if (hex[0] == '*') hex.erase(0, 1);
        if (!hex.empty() && hex.back() == ';') hex.pop_back();
        if (hex.size() != 14 && hex.size() != 28) continue;
        Frame f;
        bool ok = true;
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
            if (hi < 0 || lo < 0) ok = false;
            f.bytes.push_back(static_cast<std::uint8_t>((hi << 4) | (lo & 15)));
        }
        if (!ok) continue;
        for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        f.text = "*" + hex + ";";
        frames.push_back(std::move(f));
    }
    return frames;
}

bool ParseAddress(const std::string& text, sockaddr_in& a) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(std::atoi(text.c_str() + colon + 1)));
    std::string host = text.substr(0, colon);
    if (host == "localhost") host = "127.0.0.1";
    return ::inet_pton(AF_INET, host.c_str(), &a.sin_addr) == 1;
}

int ConnectTcp(const sockaddr_in& a) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return fd;
        ::close(fd);
        ::usleep(50000);
    }
    return -1;
}

// A listening socket on `a`, and the first client within `seconds`.
int AcceptOne(const sockaddr_in& a, double seconds) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(server, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(server, 4) != 0) {
        ::close(server);
        return -1;
    }
    pollfd p{server, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(seconds * 1000));
    const int client = ready > 0 ? ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC) : -1;
    ::close(server);
    return client;
}

void AppendBeast(std::string& out, const Frame& f, std::uint64_t stamp) {
    const auto put = [&out](std::uint8_t b) {
        out.push_back(static_cast<char>(b));
        if (b == 0x1A) out.push_back(static_cast<char>(b));
    };
    out.push_back(0x1A);
    out.push_back(f.bytes.size() == 7 ? '2' : '3');
    for (int shift = 40; shift >= 0; shift -= 8) put(static_cast<std::uint8_t>(stamp >> shift));
    put(0x80);  // signal level
    for (std::uint8_t b : f.bytes) put(b);
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

double Now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void SleepUntil(double when) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(when);
    t.tv_nsec = static_cast<long>((when - static_cast<double>(t.tv_sec)) * 1e9);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

// After the last frame: a TCP receiver that closes its side has read everything.
void WaitForClose(int fd, double seconds) {
    ::shutdown(fd, SHUT_WR);
    const double until = Now() + seconds;
    char sink[4096];
    while (Now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0 && ::recv(fd, sink, sizeof sink, 0) <= 0) return;
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: frame_sender --file FRAMES --rate N --seconds S [--udp HOST:PORT]... "
                 "[--raw HOST:PORT]... [--beast HOST:PORT]... [--serve-raw PORT]... "
                 "[--serve-beast PORT]...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* file = nullptr;
    double rate = 0, seconds = 0;
    std::vector<Destination> destinations;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--file") {
            file = value;
        } else if (option == "--rate") {
            rate = std::atof(value);
        } else if (option == "--seconds") {
            seconds = std::atof(value);
        } else if (option == "--udp" || option == "--raw" || option == "--beast") {
            Destination d;
            d.kind = option == "--udp"   ? Destination::kUdp
                     : option == "--raw" ? Destination::kRaw
                                         : Destination::kBeast;
            if (!ParseAddress(value, d.address)) return Usage();
            destinations.push_back(d);
        } else if (option == "--serve-raw" || option == "--serve-beast") {
            Destination d;
            d.kind = option == "--serve-raw" ? Destination::kRaw : Destination::kBeast;
            d.serve = true;
            if (!ParseAddress(std::string("127.0.0.1:") + value, d.address)) return Usage();
            destinations.push_back(d);
        } else {
            return Usage();
        }
    }
    if (!file || rate <= 0 || seconds <= 0 || destinations.empty() || argc % 2 == 0) return Usage();
    const std::vector<Frame> frames = LoadFrames(file);
    if (frames.empty()) {
        std::fprintf(stderr, "frame_sender: no frames in %s\n", file);
        return 1;
    }
    for (Destination& d : destinations) {
        if (d.kind == Destination::kUdp) {
            d.fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            ::connect(d.fd, reinterpret_cast<const sockaddr*>(&d.address), sizeof d.address);
        } else if (d.serve) {
            d.fd = AcceptOne(d.address, 20);
        } else {
            d.fd = ConnectTcp(d.address);
        }
        if (d.fd < 0) {
            std::fprintf(stderr, "frame_sender: cannot connect to port %d\n",
                         ntohs(d.address.sin_port));
            return 1;
        }
    }
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);

    const auto total = static_cast<std::uint64_t>(rate * seconds);
    std::uint64_t sent = 0;
    double maxLate = 0;
    std::uint64_t lateOver5ms = 0;
    std::string raw, beast;
    const double start = Now() + 0.01;
    while (sent < total) {
        const double due = start + static_cast<double>(sent) / rate;
        SleepUntil(due);
        const double now = Now();
        // Every frame due by now goes out in this turn.
        auto upTo = static_cast<std::uint64_t>((now - start) * rate) + 1;
        if (upTo > total) upTo = total;
        if (upTo <= sent) upTo = sent + 1;
        const double late = now - due;
        if (late > maxLate) maxLate = late;
        if (late > 0.005) lateOver5ms += upTo - sent;
        raw.clear();
        beast.clear();
        for (std::uint64_t i = sent; i < upTo; ++i) {
            const Frame& f = frames[i % frames.size()];
            raw += f.text;
            raw += '\n';
            AppendBeast(beast, f, static_cast<std::uint64_t>(static_cast<double>(i) / rate * 12e6));
            for (const Destination& d : destinations) {
                if (d.kind == Destination::kUdp) ::send(d.fd, f.text.data(), f.text.size(), 0);
            }
        }
        for (const Destination& d : destinations) {
            bool ok = true;
            if (d.kind == Destination::kRaw) ok = WriteAll(d.fd, raw);
            if (d.kind == Destination::kBeast) ok = WriteAll(d.fd, beast);
            if (!ok) {
                std::fprintf(stderr, "frame_sender: port %d closed the connection\n",
                             ntohs(d.address.sin_port));
                return 1;
            }
        }
        sent = upTo;
    }
    const double elapsed = Now() - start;
    for (const Destination& d : destinations) {
        // A receiver that connected to us keeps its connection; dump1090 closes its side once
        // it has read everything.
        if (d.kind != Destination::kUdp && !d.serve) WaitForClose(d.fd, 5);
        ::close(d.fd);
    }
    // Kept: the frames went out within 2 % of the asked duration and hardly any were late.
    const bool kept = elapsed <= seconds * 1.02 + 0.05 &&
                      static_cast<double>(lateOver5ms) <= 0.01 * static_cast<double>(total);
    std::printf("frames=%llu seconds=%.3f rate=%.0f max_late_ms=%.1f late_over_5ms=%llu kept=%s\n",
                static_cast<unsigned long long>(sent), elapsed, static_cast<double>(sent) / elapsed,
                maxLate * 1e3, static_cast<unsigned long long>(lateOver5ms), kept ? "yes" : "no");
    if (!kept)
        std::fprintf(stderr,
                     "frame_sender: could not keep %.0f frames/s evenly (%.0f frames/s, %llu "
                     "frames more than 5 ms late)\n",
                     rate, static_cast<double>(sent) / elapsed,
                     static_cast<unsigned long long>(lateOver5ms));
    return 0;
}
