#include "platform/termination_signals.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <cerrno>
#include <csignal>

namespace aerova {
namespace {

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
}

TEST(TerminationSignalsTest, SignalsBecomeBytesAndKeepErrno) {
    TerminationSignals signals;
    ASSERT_TRUE(signals.ok());
    EXPECT_FALSE(Readable(signals.readFd()));
    errno = EDOM;
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_EQ(errno, EDOM) << "the handler keeps errno";
    EXPECT_TRUE(Readable(signals.readFd()));
    EXPECT_TRUE(signals.Drain());
    EXPECT_FALSE(Readable(signals.readFd()));
    // Far more signals than the pipe holds: the handler never blocks.
    for (int i = 0; i < 200000; ++i) std::raise(SIGINT);
    EXPECT_TRUE(signals.Drain());
    EXPECT_FALSE(signals.Drain());
}

}  // namespace
}  // namespace aerova
