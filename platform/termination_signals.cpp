#include "platform/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace aerova {

namespace {

volatile int g_writeFd = -1;

void OnTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Non-blocking: with the pipe full, further signals add nothing and never block.
    [[maybe_unused]] const ssize_t n = ::write(g_writeFd, &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    g_writeFd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGINT, &action, nullptr) != 0 || ::sigaction(SIGTERM, &action, nullptr) != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        g_writeFd = -1;
        return;
    }
    readFd_ = fds[0];
}

TerminationSignals::~TerminationSignals() {
    if (readFd_ < 0) return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::close(g_writeFd);
    g_writeFd = -1;
    ::close(readFd_);
}

bool TerminationSignals::Drain() {
    if (readFd_ < 0) return false;
    bool any = false;
    char buffer[64];
    while (::read(readFd_, buffer, sizeof buffer) > 0) any = true;
    return any;
}

}  // namespace aerova
