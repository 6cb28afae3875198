#include "app/station_services.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include "app/station_runner.h"
#include "base/testing/temp_dir.h"
#include "platform/test_port_offset.h"
#include "platform/testing/event_wait.h"
#include "receiver/test_frames.h"

namespace aerova {
namespace {

void EnsureApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "aerova_app_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A receiver that sends more frames than the receiver queue holds: every frame is either
// queued or counted as dropped, and the station's drop counts show it. The kernel dropped
// nothing, since the sender waits for the station to keep up.
TEST(StationServicesTest, FramesBeyondTheReceiverQueueAreCountedAsDrops) {
    EnsureApp();
    const testing::TempDir dir;
    RunOptions options;
    options.stationDir = dir.path();
    options.portOffset = testing::TestPortOffset(28);
    StationEnvironment env;
    env.ask = [](const std::string&, const std::string&) { return true; };
    StationRunner runner(options, env);
    ASSERT_FALSE(runner.Create().has_value());
    runner.StartReception();
    StationServices& services = runner.services();
    const std::uint16_t port = services.receiver().udpPort();
    ASSERT_NE(port, 0);
    EXPECT_EQ(services.Drops().receiverBuffer, 0u);
    EXPECT_EQ(services.Drops().udpKernel, 0u);

    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    const std::string frame =
        testing::StarText(testing::Df17(0x4CA2D4, {0x20, 0x15, 0xA6, 0x78, 0xD4, 0xD2, 0x20}));
    const FrameInput& input = services.receiver().engine().input();
    // The receiver poll empties the queue; held, the queue fills within a queue's worth of
    // frames however the intake spaces its reads.
    for (QTimer* timer : services.receiver().findChildren<QTimer*>())
        if (timer->interval() == 1053) timer->stop();
    std::uint64_t sent = 0;
    while (input.queueFullDrops == 0 && sent < 2 * kReceiverQueueLimit / 25) {
        for (int i = 0; i < 200; ++i, ++sent)
            ::sendto(fd, frame.data(), frame.size(), 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof to);
        ASSERT_TRUE(testing::WaitForEvents([&] {
            return input.framesQueued + input.queueFullDrops == sent;
        })) << input.framesQueued
            << " queued, " << input.queueFullDrops << " dropped of " << sent;
    }
    ::close(fd);
    EXPECT_GT(input.queueFullDrops, 0u);
    EXPECT_GE(input.framesQueued, kReceiverQueueLimit / 25) << "a full queue's worth came first";
    const StationServices::DropCounts drops = services.Drops();
    EXPECT_EQ(drops.receiverBuffer, input.queueFullDrops);
    EXPECT_EQ(drops.udpKernel, 0u);
    runner.station().FormCloseQuery();
}

}  // namespace
}  // namespace aerova
