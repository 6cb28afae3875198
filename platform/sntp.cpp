#include "platform/sntp.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace aerova {

namespace {

constexpr double kNtpToUnix = 2208988800.0;  // seconds from 1900-01-01 to 1970-01-01

std::uint64_t ReadBigEndian64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
    return v;
}

void WriteBigEndian64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 7; i >= 0; --i) {
        p[i] = static_cast<std::uint8_t>(v & 0xFF);
        v >>= 8;
    }
}

// The first address of a name, looked up on a thread of its own and waited for until
// `deadline`: a name server that does not answer can't hold the clock check past its
// time-out. A lookup still running then finishes alone and frees what it found.
struct Endpoint {
    int family = 0, socktype = 0, protocol = 0;
    sockaddr_storage address{};
    socklen_t length = 0;
};

std::optional<Endpoint> ResolveBefore(const std::string& host, const std::string& port,
                                      std::chrono::steady_clock::time_point deadline) {
    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        int status = EAI_FAIL;
        addrinfo* found = nullptr;
        ~Lookup() {
            if (found) freeaddrinfo(found);
        }
    };
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        const int status = getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
        std::scoped_lock lock(lookup->mutex);
        lookup->status = status;
        lookup->found = found;
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&] { return lookup->finished; }))
        return std::nullopt;
    if (lookup->status != 0 || lookup->found == nullptr ||
        lookup->found->ai_addrlen > sizeof(sockaddr_storage))
        return std::nullopt;
    Endpoint e;
    e.family = lookup->found->ai_family;
    e.socktype = lookup->found->ai_socktype;
    e.protocol = lookup->found->ai_protocol;
    std::memcpy(&e.address, lookup->found->ai_addr, lookup->found->ai_addrlen);
    e.length = lookup->found->ai_addrlen;
    return e;
}

class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    int fd() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

std::uint64_t ToNtpTimestamp(double unixSeconds) {
    const double ntp = unixSeconds + kNtpToUnix;
    const double whole = std::floor(ntp);
    const auto fraction = static_cast<std::uint64_t>((ntp - whole) * 4294967296.0);
    return (static_cast<std::uint64_t>(whole) << 32) | (fraction & 0xFFFFFFFFull);
}

double FromNtpTimestamp(std::uint64_t ntp) {
    return static_cast<double>(ntp >> 32) +
           static_cast<double>(ntp & 0xFFFFFFFFull) / 4294967296.0 - kNtpToUnix;
}

std::optional<SntpResult> QuerySntp(const std::string& hostAndPort, int timeoutMs,
                                    const std::function<double()>& utcNow) {
    std::string host = hostAndPort;
    std::string port = "123";
    const auto colon = hostAndPort.rfind(':');
    if (colon != std::string::npos && hostAndPort.find(':') == colon) {
        host = hostAndPort.substr(0, colon);
        port = hostAndPort.substr(colon + 1);
    }
    if (host.empty()) return std::nullopt;

    // The time-out covers the name lookup as well as the exchange.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::optional<Endpoint> server = ResolveBefore(host, port, deadline);
    if (!server) return std::nullopt;
    Socket sock(::socket(server->family, server->socktype | SOCK_CLOEXEC, server->protocol));
    const bool connected =
        sock.fd() >= 0 && ::connect(sock.fd(), reinterpret_cast<const sockaddr*>(&server->address),
                                    server->length) == 0;
    if (!connected) return std::nullopt;

    std::array<std::uint8_t, 48> request{};
    request[0] = (0 << 6) | (3 << 3) | 3;  // no leap warning, version 3, client mode
    const double t1 = utcNow();
    const std::uint64_t originate = ToNtpTimestamp(t1);
    WriteBigEndian64(&request[40], originate);
    if (::send(sock.fd(), request.data(), request.size(), 0) !=
        static_cast<ssize_t>(request.size()))
        return std::nullopt;

    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return std::nullopt;
        pollfd pfd{sock.fd(), POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left)) <= 0) return std::nullopt;
        std::array<std::uint8_t, 512> reply{};
        const ssize_t n = ::recv(sock.fd(), reply.data(), reply.size(), 0);
        if (n < 0) return std::nullopt;
        if (n < 48) continue;  // not an NTP packet: keep waiting for the real answer
        const double t4 = utcNow();
        const int leap = reply[0] >> 6;
        const int mode = reply[0] & 7;
        const int stratum = reply[1];
        if (mode != 4 && mode != 5) continue;
        if (ReadBigEndian64(&reply[24]) != originate) continue;  // an answer to someone else
        const std::uint64_t transmit = ReadBigEndian64(&reply[40]);
        if (leap == 3 || stratum == 0 || transmit == 0) return std::nullopt;
        const double t2 = FromNtpTimestamp(ReadBigEndian64(&reply[32]));
        const double t3 = FromNtpTimestamp(transmit);
        SntpResult r;
        r.serverSeconds = t3;
        r.offsetSeconds = ((t2 - t1) + (t3 - t4)) / 2.0;
        r.roundTripSeconds = (t4 - t1) - (t3 - t2);
        return r;
    }
}

}  // namespace aerova
