#pragma once
// For the client tests: real servers from Debian packages run as child processes on
// 127.0.0.1 and killed when the test ends, whatever happened; and a silent server that takes
// connections and never says a word.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "base/strings.h"

namespace aerova::testing {

inline sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port on 127.0.0.1 that was free a moment ago (bound as port 0, then released).
inline int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

inline bool AcceptsConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = LoopbackAddress(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

class ChildServer {
  public:
    // Starts the program argv[0] (a full path); its output goes to `logPath`.
    ChildServer(const std::vector<std::string>& argv, std::string logPath)
        : logPath_(std::move(logPath)) {
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath_.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        if (::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildServer() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildServer(const ChildServer&) = delete;
    ChildServer& operator=(const ChildServer&) = delete;

    // Waits until the server takes connections on `port`: false when it ended first or the
    // wait ran out.
    bool WaitUntilListening(int port, std::chrono::milliseconds wait = std::chrono::seconds(15)) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                exited_ = true;
                return false;
            }
            if (AcceptsConnections(port)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // What the server wrote, for a failure message.
    std::string Log() const {
        std::string log;
        ReadWholeFile(logPath_, log);
        return log;
    }

  private:
    std::string logPath_;
    pid_t pid_ = -1;
    bool exited_ = false;
};

class SilentServer {
  public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = LoopbackAddress(0);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 8);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() {
        for (const int client : clients_) ::close(client);
        ::close(fd_);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    int port() const { return port_; }
    // Waits for a client and keeps its connection open without answering; false when none
    // came in time.
    bool AcceptClient(std::chrono::milliseconds wait) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(wait.count())) != 1) return false;
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0) return false;
        clients_.push_back(client);
        return true;
    }

  private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> clients_;
};

// The Debian Python, which has the server packages (another python3 on the PATH may not).
inline constexpr const char* kPython = "/usr/bin/python3";

inline std::string TestScript(const char* name) {
    return JoinPath(AEROVA_SOURCE_DIR, Concat({"distribution/testdata/", name}));
}

// pyftpdlib (python3-pyftpdlib) serving `root` writable to one user, with its debug log.
inline std::unique_ptr<ChildServer> StartFtpServer(int port, const std::string& root,
                                                   const std::string& user,
                                                   const std::string& password,
                                                   const std::string& logPath) {
    return std::make_unique<ChildServer>(
        std::vector<std::string>{kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p",
                                 std::to_string(port), "-u", user, "-P", password, "-d", root, "-w",
                                 "-D"},
        logPath);
}

// aiosmtpd (python3-aiosmtpd) offering AUTH LOGIN on a plain connection and storing every
// message as N.env and N.eml in `storeDir` (testdata/smtp_server.py).
inline std::unique_ptr<ChildServer> StartSmtpServer(int port, const std::string& user,
                                                    const std::string& password,
                                                    const std::string& storeDir,
                                                    const std::string& logPath) {
    return std::make_unique<ChildServer>(
        std::vector<std::string>{kPython, TestScript("smtp_server.py"), std::to_string(port), user,
                                 password, storeDir},
        logPath);
}

}  // namespace aerova::testing
