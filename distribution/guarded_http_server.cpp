#include "distribution/guarded_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <optional>

namespace aerova {

namespace {

using Clock = std::chrono::steady_clock;

// Set while the listener thread refuses a connection beyond the cap.
thread_local bool t_refusing = false;
// Set while a pool thread serves a connection taken from the queue.
thread_local bool t_queued = false;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

bool WaitFor(socket_t sock, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{sock, events, 0};
        const int n = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (n > 0) return (p.revents & (events | POLLHUP | POLLERR)) != 0;
        if (n == 0 || errno != EINTR) return false;
    }
}

void AddressOf(const sockaddr_storage& a, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (a.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(a);
        ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (a.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(a);
        ::inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

// A connection whose request must arrive whole, and whose answer must leave, before a
// deadline: no client can hold a serving thread by sending or reading slowly.
class DeadlineStream final : public httplib::Stream {
  public:
    DeadlineStream(socket_t sock, const HttpServerLimits& limits) : sock_(sock), limits_(limits) {}

    void StartRequest() {
        readDeadline_ = Clock::now() + std::chrono::milliseconds(limits_.requestTimeoutMs);
        writeDeadline_.reset();
    }
    bool WaitForNextRequest() {
        return pos_ < len_ ||
               WaitFor(sock_, POLLIN,
                       Clock::now() + std::chrono::milliseconds(limits_.keepAliveMs));
    }

    bool is_readable() const override {
        return pos_ < len_ || WaitFor(sock_, POLLIN, readDeadline_);
    }
    bool is_writable() const override { return WaitFor(sock_, POLLOUT, WriteDeadline()); }

    ssize_t read(char* ptr, size_t size) override {
        if (pos_ == len_) {
            if (!WaitFor(sock_, POLLIN, readDeadline_)) return -1;
            const ssize_t n = ::recv(sock_, buffer_.data(), buffer_.size(), 0);
            if (n <= 0) return n;
            pos_ = 0;
            len_ = static_cast<std::size_t>(n);
        }
        const std::size_t n = std::min(size, len_ - pos_);
        std::memcpy(ptr, buffer_.data() + pos_, n);
        pos_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            if (!WaitFor(sock_, POLLOUT, WriteDeadline())) return -1;
            const ssize_t n = ::send(sock_, ptr + done, size - done, MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                return -1;
            }
            done += static_cast<std::size_t>(n);
        }
        return static_cast<ssize_t>(size);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage a{};
        socklen_t n = sizeof a;
        if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&a), &n) == 0) AddressOf(a, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage a{};
        socklen_t n = sizeof a;
        if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&a), &n) == 0) AddressOf(a, ip, port);
    }
    socket_t socket() const override { return sock_; }

  private:
    // The answer's deadline runs from its first byte.
    Clock::time_point WriteDeadline() const {
        if (!writeDeadline_)
            writeDeadline_ = Clock::now() + std::chrono::milliseconds(limits_.writeTimeoutMs);
        return *writeDeadline_;
    }

    socket_t sock_;
    const HttpServerLimits& limits_;
    Clock::time_point readDeadline_ = Clock::now();
    mutable std::optional<Clock::time_point> writeDeadline_;
    std::array<char, 4096> buffer_{};
    std::size_t pos_ = 0, len_ = 0;
};

}  // namespace

// The serving threads, with a cap on the connections they hold and wait for: one beyond it
// is closed by the listener thread at once instead of waiting behind the others.
class CappedTaskQueue final : public httplib::TaskQueue {
  public:
    CappedTaskQueue(GuardedHttpServer& server, int threads)
        : server_(server), pool_(static_cast<std::size_t>(std::max(1, threads))) {}

    void enqueue(std::function<void()> fn) override {
        if (server_.stopping_ ||
            server_.connections_ + server_.queued_ >= server_.limits_.maxConnections) {
            t_refusing = true;
            fn();  // process_and_close_socket closes the connection at once
            t_refusing = false;
            return;
        }
        ++server_.queued_;
        pool_.enqueue([this, fn = std::move(fn)] {
            // The connection stays counted as queued until it counts as admitted, so the
            // accepting thread never sees a free place that isn't there.
            t_queued = true;
            fn();
            if (t_queued) --server_.queued_;
            t_queued = false;
        });
    }
    void shutdown() override { pool_.shutdown(); }

  private:
    GuardedHttpServer& server_;
    httplib::ThreadPool pool_;
};

GuardedHttpServer::GuardedHttpServer(HttpServerLimits limits) : limits_(limits) {
    new_task_queue = [this] { return new CappedTaskQueue(*this, limits_.threads); };
}

GuardedHttpServer::~GuardedHttpServer() = default;

void GuardedHttpServer::StopAndDropClients() {
    stopping_ = true;
    stop();
    std::scoped_lock lock(socketsMutex_);
    for (const socket_t sock : sockets_) ::shutdown(sock, SHUT_RDWR);
}

bool GuardedHttpServer::Admit(socket_t sock) {
    std::scoped_lock lock(socketsMutex_);
    if (stopping_) return false;
    sockets_.insert(sock);
    ++connections_;
    if (t_queued) {
        --queued_;
        t_queued = false;
    }
    return true;
}

void GuardedHttpServer::Release(socket_t sock) {
    std::scoped_lock lock(socketsMutex_);
    sockets_.erase(sock);
    --connections_;
}

bool GuardedHttpServer::process_and_close_socket(socket_t sock) {
    if (t_refusing || !Admit(sock)) {
        ::close(sock);
        return false;
    }
    DeadlineStream stream(sock, limits_);
    bool served = false;
    for (int left = limits_.keepAliveMaxCount; left > 0 && !stopping_; --left) {
        if (left != limits_.keepAliveMaxCount && !stream.WaitForNextRequest()) break;
        stream.StartRequest();
        bool closed = false;
        served = process_request(stream, left == 1, closed, nullptr);
        if (!served || closed) break;
    }
    Release(sock);
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}

}  // namespace aerova
