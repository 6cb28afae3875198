#pragma once
// What the kernel dropped for the station: datagrams that arrived at a full socket buffer,
// counted per UDP socket in /proc/net/udp and /proc/net/udp6.

#include <cstdint>
#include <optional>

namespace aerova {

// Datagrams dropped by the UDP sockets bound to `localPort` since they were opened; nothing
// when no such socket is listed (or the lists can't be read).
std::optional<std::uint64_t> UdpSocketDrops(std::uint16_t localPort);

}  // namespace aerova
