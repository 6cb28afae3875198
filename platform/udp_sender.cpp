#include "platform/udp_sender.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace aerova {

UdpDatagramSender::UdpDatagramSender(Resolver resolver) : resolver_(std::move(resolver)) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
}

UdpDatagramSender::~UdpDatagramSender() {
    {
        std::scoped_lock lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
    if (fd_ >= 0) ::close(fd_);
}

UdpDatagramSender::Resolver UdpDatagramSender::SystemResolver() {
    return [](const std::string& name) -> std::optional<std::uint32_t> {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
            return std::nullopt;
        const std::uint32_t address =
            reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
        ::freeaddrinfo(found);
        return address;
    };
}

std::optional<std::uint32_t> UdpDatagramSender::AddressOf(const std::string& host) {
    in_addr literal{};
    if (::inet_pton(AF_INET, host.c_str(), &literal) == 1) return literal.s_addr;
    const auto now = std::chrono::steady_clock::now();
    std::scoped_lock lock(mutex_);
    Name& name = names_[host];
    const auto wait = name.address ? kRefreshAfter : kRetryAfter;
    const bool due =
        name.asked == std::chrono::steady_clock::time_point{} || now - name.asked >= wait;
    if (!name.pending && due) {
        name.pending = true;
        name.asked = now;
        lookups_.push_back(host);
        if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
        wake_.notify_one();
    }
    return name.address;  // the last good address while a new lookup runs
}

void UdpDatagramSender::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !lookups_.empty(); });
        if (stopping_) return;
        const std::string host = std::move(lookups_.front());
        lookups_.pop_front();
        lock.unlock();
        const std::optional<std::uint32_t> address = resolver_(host);
        lock.lock();
        Name& name = names_[host];
        name.pending = false;
        if (address) name.address = address;
    }
}

bool UdpDatagramSender::Send(std::string_view host, int port, std::string_view datagram) {
    if (fd_ < 0 || port <= 0 || port > 65535 || host.empty()) return false;
    const std::optional<std::uint32_t> address = AddressOf(std::string(host));
    if (!address) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = *address;
    const ssize_t n = ::sendto(fd_, datagram.data(), datagram.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    return n == static_cast<ssize_t>(datagram.size());
}

}  // namespace aerova
