#include "platform/udp_sender.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace aerova {
namespace {

// A UDP socket on 127.0.0.1 and a free port.
class Receiver {
  public:
    Receiver() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t n = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
    }
    ~Receiver() { ::close(fd_); }
    int port() const { return port_; }
    int Count(int waitMs) {
        int count = 0;
        pollfd p{fd_, POLLIN, 0};
        char buffer[512];
        while (::poll(&p, 1, waitMs) == 1 && ::recv(fd_, buffer, sizeof buffer, 0) > 0) ++count;
        return count;
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

std::optional<std::uint32_t> Loopback() {
    return htonl(INADDR_LOOPBACK);
}

// Sends until the name is known, at most `seconds`.
bool SendOnceKnown(UdpDatagramSender& sender, const char* host, int port, double seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (sender.Send(host, port, "x")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(UdpSenderTest, RefusesBadPortsAndUnknownHosts) {
    UdpDatagramSender s;
    EXPECT_FALSE(s.Send("127.0.0.1", 0, "x"));
    EXPECT_FALSE(s.Send("127.0.0.1", 70000, "x"));
    EXPECT_FALSE(s.Send("", 7979, "x"));
}

// A name is looked up once, on the sender's worker, not per datagram.
TEST(UdpSenderTest, ANameIsLookedUpOnceNotPerDatagram) {
    Receiver receiver;
    std::atomic<int> lookups{0};
    UdpDatagramSender sender([&](const std::string& name) {
        ++lookups;
        return name == "master.example" ? Loopback() : std::nullopt;
    });
    ASSERT_TRUE(SendOnceKnown(sender, "master.example", receiver.port()));
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(sender.Send("master.example", receiver.port(), "x"));
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(receiver.Count(500), 101);
    EXPECT_TRUE(sender.Send("127.0.0.1", receiver.port(), "x")) << "addresses need no lookup";
    EXPECT_EQ(lookups, 1);
}

// A name server that does not answer never holds a sender (the event loop, a server
// thread): the datagrams to that name are dropped until the answer comes.
TEST(UdpSenderTest, ASlowLookupNeverBlocksTheSender) {
    Receiver receiver;
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    UdpDatagramSender sender([answered](const std::string&) {
        answered.wait();
        return Loopback();
    });
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(sender.Send("slow.example", receiver.port(), "x"));
    answer.set_value();
    EXPECT_TRUE(SendOnceKnown(sender, "slow.example", receiver.port()));
}

}  // namespace
}  // namespace aerova
