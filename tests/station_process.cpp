#include "tests/station_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/files.h"

namespace aerova::testing {

StationProcess::StationProcess(const std::string& workDir, const std::vector<std::string>& args) {
    static int counter = 0;
    const std::string stem = JoinPath(workDir, "proc" + std::to_string(++counter));
    outPath_ = stem + ".out";
    errPath_ = stem + ".err";
    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(AEROVA_MINI_EXE));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(AEROVA_MINI_EXE, argv.data());
        ::_exit(127);
    }
}

StationProcess::~StationProcess() {
    if (pid_ > 0 && status_ == -1) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

int StationProcess::Wait(double seconds) {
    if (status_ != -1) return status_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    status_ = -2;
    return -1;
}

void StationProcess::Signal(int signal) {
    if (status_ == -1) ::kill(pid_, signal);
}

bool StationProcess::running() {
    if (status_ != -1) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

std::string StationProcess::Stdout() const {
    std::string s;
    ReadWholeFile(outPath_, s);
    return s;
}

std::string StationProcess::Stderr() const {
    std::string s;
    ReadWholeFile(errPath_, s);
    return s;
}

bool StationProcess::WaitForOutput(const std::string& text, double seconds) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Stdout().find(text) != std::string::npos || Stderr().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string FreshDirectory(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("aerova-e2e-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace aerova::testing

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace aerova::testing {

std::string ReadTcpUntil(int port, const std::string& text, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string received;
    int fd = -1;
    while (std::chrono::steady_clock::now() < deadline && fd < 0) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd);
            fd = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    while (fd >= 0 && std::chrono::steady_clock::now() < deadline &&
           received.find(text) == std::string::npos) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    if (fd >= 0) ::close(fd);
    return received;
}

}  // namespace aerova::testing

#include <arpa/inet.h>

namespace aerova::testing {

std::string HttpGet(int port, const std::string& target, double seconds) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const std::string request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (::send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
            while (std::chrono::steady_clock::now() < deadline) {
                pollfd pfd{fd, POLLIN, 0};
                if (::poll(&pfd, 1, 100) <= 0) continue;
                char buffer[4096];
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                response.append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    ::close(fd);
    return response;
}

LoopbackUdp::LoopbackUdp(const char* address, int port) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address, &addr.sin_addr);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
}

LoopbackUdp::~LoopbackUdp() {
    ::close(fd_);
}

bool LoopbackUdp::SendTo(const char* address, int port, const std::string& datagram) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address, &to.sin_addr);
    return ::sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to),
                    sizeof to) == static_cast<ssize_t>(datagram.size());
}

std::optional<std::string> LoopbackUdp::Receive(double seconds) {
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(seconds * 1000)) <= 0) return std::nullopt;
    char buffer[2048];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n < 0) return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace aerova::testing
