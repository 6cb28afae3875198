#include "receiver/report_emitter.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/report_codec.h"
#include "receiver/decoder_table.h"

namespace aerova {
namespace {

TEST(ReportEmitterTest, SendsTheEncodedRecordToLoopback) {
    const int rx = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(rx, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(rx, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(rx, reinterpret_cast<sockaddr*>(&addr), &len), 0);

    TSBSFlight r;
    InitialSbsFlight(r, 0x4CA2D4, true);
    r.altitude = "36025";
    r.onground = '0';
    r.squawk = "7000";
    r.blockalt = 1;
    r.emittime = "7319.5";
    ReportEmitter emitter(ntohs(addr.sin_port));
    emitter.SetPressure(998, 5500);
    ASSERT_TRUE(emitter.EmitReport(r));
    EXPECT_EQ(emitter.sent, 1u);

    pollfd p{rx, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    char buf[600];
    const ssize_t n = ::recv(rx, buf, sizeof buf, 0);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(n)), EncodeSbsReport(r, "998", "5500"));
    ::close(rx);
}

}  // namespace
}  // namespace aerova
