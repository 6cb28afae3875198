// The acceptance filters of the report listener: slave, master forwarding, dead horse.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "base/strings.h"
#include "platform/udp_sender.h"
#include "station/ingest_test_support.h"

namespace aerova {
namespace {

using testing::Aircraft;
using testing::IngestFixture;

// A UDP socket bound to 127.0.0.1 on a port the system picks.
class LoopbackReceiver {
  public:
    LoopbackReceiver() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~LoopbackReceiver() { ::close(fd_); }
    int port() const { return port_; }
    // One datagram, or nothing after 2 s.
    std::string Receive() {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 2000) != 1) return {};
        char buf[2048];
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

class IngestFiltersTest : public IngestFixture {};

TEST_F(IngestFiltersTest, SlaveAcceptsRelayedAndLocalOnly) {
    settings.cbslave = true;
    const std::string report = EncodeSbsReport(Aircraft("4CA1FA"), "1013", "5500");
    Send(report, "192.0.2.7");
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1) << "unrelayed from another machine";
    Send("\xFB" + report, "192.0.2.7");
    EXPECT_EQ(table->FindFlight("4CA1FA"), 0);
    EXPECT_EQ(F(0).srcip, "192.0.2.7");
    Send(EncodeSbsReport(Aircraft("3C6586"), "1013", "5500"), "127.0.0.1");
    EXPECT_EQ(table->FindFlight("3C6586"), 1);
    Send("\xFB\xFA", "192.0.2.7");  // a relay marker with nothing usable behind it
    EXPECT_TRUE(errors.empty());
}

TEST_F(IngestFiltersTest, RelayedDatagramOutsideSlaveModeIsIgnored) {
    Send(Concat({"\xFB", EncodeSbsReport(Aircraft("4CA1FA"), "1013", "5500")}));
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
}

TEST_F(IngestFiltersTest, MasterForwardsToARealUdpSocket) {
    LoopbackReceiver master;
    UdpDatagramSender sender;
    sendUdp = [&sender](const std::string& host, int port, std::string_view d) {
        sender.Send(host, port, d);
    };
    settings.cbmaster = true;
    settings.edmasterip = "127.0.0.1";
    settings.edmasterport = std::to_string(master.port());
    Rebuild();
    const std::string report = EncodeSbsReport(Aircraft("4CA1FA"), "1013", "5500");
    Send(report, "127.0.0.1");
    EXPECT_EQ(master.Receive(), "\xFB" + report);
    EXPECT_EQ(table->FindFlight("4CA1FA"), 0) << "forwarding does not stop local processing";
    // Slave and master together: the relay marker is removed before passing it on.
    settings.cbslave = true;
    Send("\xFB" + report, "192.0.2.7");
    EXPECT_EQ(master.Receive(), "\xFB" + report);
}

TEST_F(IngestFiltersTest, DeadHorseExceptLocal) {
    settings.cbskip = true;
    const std::string a = EncodeSbsReport(Aircraft("4CA1FA"), "1013", "5500");
    Send(a, "127.0.0.1");
    Send(a, "192.0.2.7");
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1) << "dead horse alone drops everything";
    settings.cbexceptlocal = true;
    Send(a, "192.0.2.7");
    EXPECT_EQ(table->FindFlight("4CA1FA"), -1);
    Send(a, "127.0.0.1");
    EXPECT_EQ(table->FindFlight("4CA1FA"), 0);
}

}  // namespace
}  // namespace aerova
