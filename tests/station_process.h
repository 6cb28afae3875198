#pragma once
// Runs aerovamini as a child process for end-to-end tests and collects what it prints.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/test_port_offset.h"

namespace aerova::testing {

class StationProcess {
  public:
    // Starts aerovamini with `args`; stdout and stderr go to files in `workDir`.
    StationProcess(const std::string& workDir, const std::vector<std::string>& args);
    ~StationProcess();

    // Waits at most `seconds` for the process to end; its exit code, or -1 on time-out (the
    // process is then killed).
    int Wait(double seconds);
    void Signal(int signal);
    bool running();
    std::string Stdout() const;
    std::string Stderr() const;
    // Waits until `text` appears in stdout or stderr.
    bool WaitForOutput(const std::string& text, double seconds) const;

  private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string outPath_, errPath_;
};

// A fresh empty directory below the system's temporary directory.
std::string FreshDirectory(const std::string& name);

}  // namespace aerova::testing

namespace aerova::testing {

// Connects to 127.0.0.1:port, retrying for up to `seconds`, and reads what arrives until
// `text` has been seen or the time is up. Returns everything read.
std::string ReadTcpUntil(int port, const std::string& text, double seconds);

}  // namespace aerova::testing

namespace aerova::testing {

// A plain HTTP/1.0 GET to 127.0.0.1:port; the whole response, or empty on failure.
std::string HttpGet(int port, const std::string& target, double seconds);

// A UDP socket bound to an address of the loopback range, port 0 = any.
class LoopbackUdp {
  public:
    LoopbackUdp(const char* address, int port);
    ~LoopbackUdp();
    int port() const { return port_; }
    bool SendTo(const char* address, int port, const std::string& datagram);
    // The next datagram, or nothing within `seconds`.
    std::optional<std::string> Receive(double seconds);

  private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace aerova::testing
