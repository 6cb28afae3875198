#pragma once
// Outgoing datagrams of the station network: announcements to peers, master relaying, the
// mobile-position datagrams of the data servers and the poller's lines to the local report
// listener. Sending is fire-and-forget; errors are not reported to anyone.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace aerova {

class DatagramSender {
  public:
    virtual ~DatagramSender() = default;
    // False when the datagram could not be handed to the network (nobody is told).
    virtual bool Send(std::string_view host, int port, std::string_view datagram) = 0;
};

// One IPv4 UDP socket, safe to use from the HTTP server threads and the UI thread at once
// (sendto on one descriptor is atomic per datagram). A host name is never looked up by a
// sender: a worker thread resolves it and keeps the address, looks it up again in the
// background every few minutes and after a failure, and until the first answer datagrams
// to that name are dropped.
class UdpDatagramSender final : public DatagramSender {
  public:
    // IPv4 address (network byte order) of a name, or nothing; blocking is fine, it runs on
    // the worker.
    using Resolver = std::function<std::optional<std::uint32_t>(const std::string& name)>;
    static constexpr std::chrono::seconds kRefreshAfter{300};
    static constexpr std::chrono::seconds kRetryAfter{10};

    explicit UdpDatagramSender(Resolver resolver = SystemResolver());
    ~UdpDatagramSender() override;
    UdpDatagramSender(const UdpDatagramSender&) = delete;
    UdpDatagramSender& operator=(const UdpDatagramSender&) = delete;

    bool Send(std::string_view host, int port, std::string_view datagram) override;

    // getaddrinfo for IPv4.
    static Resolver SystemResolver();

  private:
    struct Name {
        std::optional<std::uint32_t> address;
        std::chrono::steady_clock::time_point asked{};  // last lookup started
        bool pending = false;
    };
    std::optional<std::uint32_t> AddressOf(const std::string& host);
    void Work();

    int fd_ = -1;
    Resolver resolver_;
    std::mutex mutex_;
    std::map<std::string, Name, std::less<>> names_;
    std::deque<std::string> lookups_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace aerova
