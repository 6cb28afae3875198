#include "receiver/udp_intake.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <string>
#include <vector>

#include "platform/testing/event_wait.h"

namespace aerova {
namespace {

// The test program's application object, unless another test made it already.
void EnsureApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "aerova_receiver_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

void SendTo(std::uint16_t port, const std::string& datagram) {
    static const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
}

class UdpIntakeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApp();
        ASSERT_TRUE(intake.Open(UdpBindAddress::kLoopback, 0));
    }
    std::vector<std::string> got;
    UdpIntake intake{8, true, [this](const ReceivedDatagram& d) {
                         got.emplace_back(d.bytes);
                         EXPECT_EQ(d.senderIp, "127.0.0.1");
                     }};
};

// A busy receiver's datagrams are read in rests and batches, every one of them in order;
// when it falls quiet the intake goes back to waiting, and the next datagram is read on
// arrival, not lost behind a rest that never ends.
TEST_F(UdpIntakeTest, ABurstIsReadWholeAndInOrderAndAQuietSocketWakesForTheNextDatagram) {
    std::vector<std::string> sent;
    for (int i = 0; i < 3000; ++i) {
        sent.push_back(std::to_string(i));
        SendTo(intake.localPort(), sent.back());
        // A receiver spreads its frames out; let the intake rest and resume in between.
        if (i % 200 == 199) testing::WaitForEvents([&] { return got.size() == sent.size(); });
    }
    ASSERT_TRUE(testing::WaitForEvents([&] { return got.size() >= sent.size(); })) << got.size();
    EXPECT_EQ(got, sent);
    EXPECT_EQ(intake.datagramsRead(), sent.size());

    // Long past any rest: the next datagram wakes the intake again.
    QDeadlineTimer quiet(3 * UdpIntake::kMaxRestMs);
    testing::WaitForEvents([&] { return quiet.hasExpired(); });
    SendTo(intake.localPort(), "after a quiet spell");
    ASSERT_TRUE(testing::WaitForEvents([&] { return got.size() == sent.size() + 1; }));
    EXPECT_EQ(got.back(), "after a ") << "cut to the intake's 8 bytes";
}

TEST_F(UdpIntakeTest, ClosingFromTheHandlerStopsTheReading) {
    std::vector<std::string> seen;
    UdpIntake* self = nullptr;
    UdpIntake closing(16, false, [&](const ReceivedDatagram& d) {
        seen.emplace_back(d.bytes);
        if (seen.size() == 2) self->Close();
    });
    self = &closing;
    ASSERT_TRUE(closing.Open(UdpBindAddress::kLoopback, 0));
    const std::uint16_t port = closing.localPort();
    for (const char* d : {"one", "two", "three"}) SendTo(port, d);
    ASSERT_TRUE(testing::WaitForEvents([&] { return seen.size() >= 2; }));
    testing::WaitForEvents([] { return false; }, 100);
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "two"}));
    EXPECT_FALSE(closing.open());
    EXPECT_EQ(closing.localPort(), 0);
}

}  // namespace
}  // namespace aerova
