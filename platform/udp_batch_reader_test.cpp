#include "platform/udp_batch_reader.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace aerova {
namespace {

struct Read {
    std::string bytes, ip;
    std::uint16_t port;
};

// An IPv4 socket on 127.0.0.1 that sends to the reader and knows its own port.
class Sender {
  public:
    Sender() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t n = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
    }
    ~Sender() { ::close(fd_); }
    void Send(std::uint16_t to, const std::string& d) const {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(to);
        ASSERT_EQ(::sendto(fd_, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a),
                  static_cast<ssize_t>(d.size()));
    }
    std::uint16_t port() const { return port_; }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

// Waits (with a deadline) until the reader's socket is readable, then drains it.
std::vector<Read> DrainAll(UdpBatchReader& reader, std::size_t expected,
                           std::size_t limit = 100000) {
    std::vector<Read> got;
    for (int attempt = 0; attempt < 50 && got.size() < expected; ++attempt) {
        pollfd p{reader.fd(), POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        reader.Drain(
            [&](const ReceivedDatagram& d) {
                got.push_back({std::string(d.bytes), std::string(d.senderIp), d.senderPort});
            },
            limit);
    }
    return got;
}

TEST(UdpBatchReaderTest, ReadsEveryDatagramInOrderCutAtTheLimitWithItsSender) {
    for (const UdpBindAddress address : {UdpBindAddress::kAny, UdpBindAddress::kLoopback}) {
        UdpBatchReader reader(8, true);
        ASSERT_TRUE(reader.Open(address, 0));
        ASSERT_NE(reader.localPort(), 0);
        Sender sender;
        // More than two batches, one of them empty, one longer than the reader keeps.
        std::vector<std::string> sent;
        for (int i = 0; i < 150; ++i) sent.push_back(std::to_string(i));
        sent[7] = "";
        sent[70] = "ABCDEFGHIJKL";
        for (const std::string& d : sent) sender.Send(reader.localPort(), d);

        const std::vector<Read> got = DrainAll(reader, sent.size());
        ASSERT_EQ(got.size(), sent.size());
        for (std::size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(got[i].bytes, sent[i].substr(0, 8)) << i;
            EXPECT_EQ(got[i].ip, "127.0.0.1") << "IPv4 senders read as IPv4 on either socket";
            EXPECT_EQ(got[i].port, sender.port());
        }
        int empty = 0;
        EXPECT_EQ(reader.Drain([&](const ReceivedDatagram&) { ++empty; }, 100), 0u);
        EXPECT_EQ(empty, 0);
    }
}

TEST(UdpBatchReaderTest, StopsAtTheLimitAndWhenTheHandlerClosesTheReader) {
    UdpBatchReader reader(16, false);
    ASSERT_TRUE(reader.Open(UdpBindAddress::kLoopback, 0));
    Sender sender;
    for (int i = 0; i < 100; ++i) sender.Send(reader.localPort(), std::to_string(i));
    const std::vector<Read> first = DrainAll(reader, 1, 70);
    ASSERT_EQ(first.size(), 70u);
    EXPECT_EQ(first.back().bytes, "69");
    EXPECT_EQ(first.back().ip, "") << "no sender asked for";

    std::vector<std::string> second;
    reader.Drain(
        [&](const ReceivedDatagram& d) {
            second.emplace_back(d.bytes);
            if (second.size() == 3) reader.Close();
        },
        1000);
    EXPECT_EQ(second, (std::vector<std::string>{"70", "71", "72"}));
    EXPECT_FALSE(reader.open());
    EXPECT_EQ(reader.Drain([](const ReceivedDatagram&) {}, 1000), 0u);
}

// The station's inputs must not share a port: a port that another socket holds, on any
// IPv4 address, is a failure for the every-address socket as well.
TEST(UdpBatchReaderTest, APortInUseIsRefused) {
    UdpBatchReader holder(8, false);
    ASSERT_TRUE(holder.Open(UdpBindAddress::kAnyIPv4, 0));
    for (const UdpBindAddress address :
         {UdpBindAddress::kAny, UdpBindAddress::kAnyIPv4, UdpBindAddress::kLoopback}) {
        UdpBatchReader second(8, false);
        EXPECT_FALSE(second.Open(address, holder.localPort())) << static_cast<int>(address);
        EXPECT_EQ(second.localPort(), 0);
    }
}

}  // namespace
}  // namespace aerova
