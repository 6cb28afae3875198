#include "platform/udp_batch_reader.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace aerova {

namespace {

int BindIPv4(std::uint32_t address, std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(address);
    a.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Every address on one IPv6 socket that takes IPv4 too; a port that an IPv4 socket holds is
// in use for it as well.
int BindDualStack(std::uint16_t port, bool& noIPv6) {
    const int fd = ::socket(AF_INET6, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        noIPv6 = errno == EAFNOSUPPORT;
        return -1;
    }
    const int off = 0;
    ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_any;
    a.sin6_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        noIPv6 = errno == EADDRNOTAVAIL || errno == EAFNOSUPPORT;
        ::close(fd);
        return -1;
    }
    return fd;
}

// The sender as text; an IPv4 sender on the dual-stack socket reads as plain IPv4, so the
// station's "127.0.0.1" tests hold for it.
std::size_t FormatSender(const sockaddr_storage& from, char* text, std::size_t size,
                         std::uint16_t& port) {
    if (from.ss_family == AF_INET) {
        const auto& a = reinterpret_cast<const sockaddr_in&>(from);
        port = ntohs(a.sin_port);
        if (!::inet_ntop(AF_INET, &a.sin_addr, text, static_cast<socklen_t>(size))) return 0;
        return std::strlen(text);
    }
    if (from.ss_family == AF_INET6) {
        const auto& a = reinterpret_cast<const sockaddr_in6&>(from);
        port = ntohs(a.sin6_port);
        const bool mapped = IN6_IS_ADDR_V4MAPPED(&a.sin6_addr);
        const void* address = mapped ? static_cast<const void*>(&a.sin6_addr.s6_addr[12])
                                     : static_cast<const void*>(&a.sin6_addr);
        if (!::inet_ntop(mapped ? AF_INET : AF_INET6, address, text, static_cast<socklen_t>(size)))
            return 0;
        return std::strlen(text);
    }
    port = 0;
    return 0;
}

}  // namespace

UdpBatchReader::UdpBatchReader(std::size_t maxDatagram, bool keepSenders)
    : maxDatagram_(std::max<std::size_t>(maxDatagram, 1)),
      keepSenders_(keepSenders),
      buffers_(kBatch * maxDatagram_),
      senders_(keepSenders ? kBatch : 0) {}

UdpBatchReader::~UdpBatchReader() {
    Close();
}

bool UdpBatchReader::Open(UdpBindAddress address, std::uint16_t port) {
    Close();
    int fd = -1;
    switch (address) {
        case UdpBindAddress::kAny: {
            bool noIPv6 = false;
            fd = BindDualStack(port, noIPv6);
            if (fd < 0 && noIPv6) fd = BindIPv4(INADDR_ANY, port);
            break;
        }
        case UdpBindAddress::kAnyIPv4:
            fd = BindIPv4(INADDR_ANY, port);
            break;
        case UdpBindAddress::kLoopback:
            fd = BindIPv4(INADDR_LOOPBACK, port);
            break;
    }
    if (fd < 0) return false;
    // Best effort: a smaller buffer only drops sooner, which the kernel counts.
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        ::close(fd);
        return false;
    }
    localPort_ = bound.ss_family == AF_INET6
                     ? ntohs(reinterpret_cast<const sockaddr_in6&>(bound).sin6_port)
                     : ntohs(reinterpret_cast<const sockaddr_in&>(bound).sin_port);
    fd_ = fd;
    return true;
}

void UdpBatchReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    localPort_ = 0;
}

std::size_t UdpBatchReader::Drain(const std::function<void(const ReceivedDatagram&)>& handle,
                                  std::size_t limit) {
    std::array<mmsghdr, kBatch> messages{};
    std::array<iovec, kBatch> parts{};
    for (std::size_t i = 0; i < kBatch; ++i) {
        parts[i].iov_base = buffers_.data() + i * maxDatagram_;
        parts[i].iov_len = maxDatagram_;
        messages[i].msg_hdr.msg_iov = &parts[i];
        messages[i].msg_hdr.msg_iovlen = 1;
    }
    std::size_t total = 0;
    int failures = 0;
    while (fd_ >= 0 && total < limit) {
        const std::size_t want = std::min(kBatch, limit - total);
        for (std::size_t i = 0; i < want; ++i) {
            if (keepSenders_) {
                messages[i].msg_hdr.msg_name = &senders_[i];
                messages[i].msg_hdr.msg_namelen = sizeof(sockaddr_storage);
            }
        }
        const int n =
            ::recvmmsg(fd_, messages.data(), static_cast<unsigned>(want), MSG_DONTWAIT, nullptr);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            // A pending socket error (an ICMP report) is cleared by the read that returns it;
            // the datagrams behind it are still there.
            if (errno == EINTR || ++failures < 4) continue;
            break;
        }
        for (int i = 0; i < n && fd_ >= 0; ++i) {
            const auto k = static_cast<std::size_t>(i);
            ReceivedDatagram d;
            d.bytes = std::string_view(buffers_.data() + k * maxDatagram_,
                                       std::min<std::size_t>(messages[k].msg_len, maxDatagram_));
            char ip[INET6_ADDRSTRLEN];
            if (keepSenders_) {
                const std::size_t length = FormatSender(senders_[k], ip, sizeof ip, d.senderPort);
                d.senderIp = std::string_view(ip, length);
            }
            handle(d);
        }
        total += static_cast<std::size_t>(n);
        // A short batch means the queue ran empty: recvmmsg stopped at EAGAIN.
        if (static_cast<std::size_t>(n) < want) break;
    }
    return total;
}

}  // namespace aerova
