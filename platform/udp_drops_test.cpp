#include "platform/udp_drops.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace aerova {
namespace {

// A socket with a small buffer that nobody reads: the kernel drops what doesn't fit, and
// the count says so.
TEST(UdpDropsTest, CountsWhatAFullSocketBufferDropped) {
    const int receiver = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int small = 4096;
    ::setsockopt(receiver, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(receiver, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t n = sizeof a;
    ::getsockname(receiver, reinterpret_cast<sockaddr*>(&a), &n);
    const std::uint16_t port = ntohs(a.sin_port);
    EXPECT_EQ(UdpSocketDrops(port), std::optional<std::uint64_t>(0));

    const int sender = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    for (int i = 0; i < 500; ++i)
        ::sendto(sender, "report", 6, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&a), sizeof a);
    const auto drops = UdpSocketDrops(port);
    ASSERT_TRUE(drops.has_value());
    EXPECT_GT(*drops, 400u);
    ::close(sender);
    ::close(receiver);
    EXPECT_FALSE(UdpSocketDrops(port).has_value()) << "no socket on the port any more";
}

}  // namespace
}  // namespace aerova
