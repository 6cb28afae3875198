#include "platform/udp_sender.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace aerova {

UdpDatagramSender::UdpDatagramSender() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
}

UdpDatagramSender::~UdpDatagramSender() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {

bool Resolve(std::string_view host, int port, sockaddr_in& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const std::string name(host);
    if (::inet_pton(AF_INET, name.c_str(), &addr.sin_addr) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    addr.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return true;
}

}  // namespace

bool UdpDatagramSender::Send(std::string_view host, int port, std::string_view datagram) {
    if (fd_ < 0 || port <= 0 || port > 65535 || host.empty()) return false;
    sockaddr_in addr{};
    if (!Resolve(host, port, addr)) return false;
    const ssize_t n = ::sendto(fd_, datagram.data(), datagram.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    return n == static_cast<ssize_t>(datagram.size());
}

}  // namespace aerova
