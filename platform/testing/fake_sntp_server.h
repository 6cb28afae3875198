#pragma once
// A one-shot SNTP server on 127.0.0.1 for tests: answers the first request with the time
// of the test's choosing, an unsynchronised reply, or nothing at all.

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/sntp.h"

namespace aerova::testing {

class FakeSntpServer {
  public:
    enum class Mode { Answer, Unsynchronised, Silent };

    // `serverUnix` is the time the server reports.
    FakeSntpServer(Mode mode, double serverUnix) : mode_(mode), serverUnix_(serverUnix) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FakeSntpServer() {
        thread_.join();
        ::close(fd_);
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

  private:
    void Serve() {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, 3000) <= 0) return;  // stops by itself
        std::array<std::uint8_t, 48> packet{};
        sockaddr_in from{};
        socklen_t len = sizeof from;
        if (::recvfrom(fd_, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&from),
                       &len) != 48)
            return;
        if (mode_ == Mode::Silent) return;
        std::array<std::uint8_t, 48> reply{};
        reply[0] = static_cast<std::uint8_t>(((mode_ == Mode::Unsynchronised ? 3 : 0) << 6) |
                                             (3 << 3) | 4);
        reply[1] = mode_ == Mode::Unsynchronised ? 0 : 2;
        for (int i = 0; i < 8; ++i) reply[24 + i] = packet[40 + i];  // originate = their transmit
        const std::uint64_t now = ToNtpTimestamp(serverUnix_);
        for (int i = 0; i < 8; ++i) {
            reply[32 + i] = static_cast<std::uint8_t>(now >> (56 - 8 * i));
            reply[40 + i] = static_cast<std::uint8_t>(now >> (56 - 8 * i));
        }
        ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
    }

    Mode mode_;
    double serverUnix_;
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace aerova::testing
