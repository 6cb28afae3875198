#pragma once
// A UDP socket on 127.0.0.1 for the tests: it stands in for a report listener or a peer
// station and collects what the code under test sends it.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace aerova::testing {

class UdpTestReceiver {
  public:
    // `address` is a loopback address such as "127.0.0.2" when a test needs a peer that is
    // not 127.0.0.1; `port` 0 picks a free one.
    explicit UdpTestReceiver(const char* address = "127.0.0.1", int port = 0) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, address, &addr.sin_addr);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~UdpTestReceiver() { ::close(fd_); }
    UdpTestReceiver(const UdpTestReceiver&) = delete;
    UdpTestReceiver& operator=(const UdpTestReceiver&) = delete;

    int port() const { return port_; }

    // The next datagram within `waitms`, with the sender's port in `senderport`.
    std::optional<std::string> Receive(int waitms, int* senderport = nullptr) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, waitms) <= 0) return std::nullopt;
        char buf[2048];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n =
            ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0) return std::nullopt;
        if (senderport) *senderport = ntohs(from.sin_port);
        return std::string(buf, static_cast<std::size_t>(n));
    }
    // Sends from this socket, so that the receiver sees this port as the sender's.
    bool SendTo(int port, const std::string& datagram) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return ::sendto(fd_, datagram.data(), datagram.size(), 0,
                        reinterpret_cast<sockaddr*>(&addr),
                        sizeof addr) == static_cast<ssize_t>(datagram.size());
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace aerova::testing
