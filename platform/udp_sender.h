#pragma once
// Outgoing datagrams of the station network: announcements to peers, master relaying, the
// mobile-position datagrams of the data servers and the poller's lines to the local report
// listener. Sending is fire-and-forget; errors are not reported to anyone.

#include <string>
#include <string_view>

namespace aerova {

class DatagramSender {
  public:
    virtual ~DatagramSender() = default;
    // False when the datagram could not be handed to the network (nobody is told).
    virtual bool Send(std::string_view host, int port, std::string_view datagram) = 0;
};

// One IPv4 UDP socket, safe to use from the HTTP server threads and the UI thread at once
// (sendto on one descriptor is atomic per datagram). Host names are resolved per send.
class UdpDatagramSender final : public DatagramSender {
  public:
    UdpDatagramSender();
    ~UdpDatagramSender() override;
    UdpDatagramSender(const UdpDatagramSender&) = delete;
    UdpDatagramSender& operator=(const UdpDatagramSender&) = delete;

    bool Send(std::string_view host, int port, std::string_view datagram) override;

  private:
    int fd_ = -1;
};

}  // namespace aerova
