#include "core/udp_sender.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace aerova {

UdpSender::~UdpSender() {
    if (fd_ >= 0) ::close(fd_);
}

bool UdpSender::Send(const std::string& host, int port, std::string_view datagram) {
    if (host.empty() || port <= 0 || port > 65535) return false;
    if (fd_ < 0) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0) return false;
    }
    if (host != lastHost_) {
        in_addr addr{};
        if (::inet_pton(AF_INET, host.c_str(), &addr) != 1) {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_DGRAM;
            addrinfo* res = nullptr;
            if (::getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res) return false;
            addr = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr;
            ::freeaddrinfo(res);
        }
        lastHost_ = host;
        lastAddr_ = addr.s_addr;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = lastAddr_;
    const ssize_t n = ::sendto(fd_, datagram.data(), datagram.size(), 0,
                               reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return n == static_cast<ssize_t>(datagram.size());
}

}  // namespace aerova
