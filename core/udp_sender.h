#pragma once
// A UDP sender for datagrams the station passes on (master forwarding). Send errors are not
// reported to the caller's user; Send returns false so tests can tell.

#include <string>
#include <string_view>

namespace aerova {

class UdpSender {
public:
    UdpSender() = default;
    ~UdpSender();
    UdpSender(const UdpSender&) = delete;
    UdpSender& operator=(const UdpSender&) = delete;

    // One datagram to host:port (an IPv4 address or a name resolved once per host).
    bool Send(const std::string& host, int port, std::string_view datagram);

private:
    int fd_ = -1;
    std::string lastHost_;
    unsigned int lastAddr_ = 0;  // network order
};

}  // namespace aerova
