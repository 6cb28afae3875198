#pragma once
// A plain blocking TCP client for the tests, so the servers are read by a real peer socket
// and not by another Qt object on the same event loop.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace aerova::testing {

class TcpTestClient {
  public:
    // `rcvbuf` > 0 shrinks the receive buffer before connecting (a client that reads slowly).
    explicit TcpTestClient(int port, int rcvbuf = 0) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (rcvbuf > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~TcpTestClient() { Close(); }
    TcpTestClient(const TcpTestClient&) = delete;
    TcpTestClient& operator=(const TcpTestClient&) = delete;

    bool connected() const { return connected_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool Send(const std::string& text) {
        return ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(text.size());
    }
    // Whatever arrives within `waitms`; stops early once nothing more comes for a moment.
    std::string ReadAvailable(int waitms) {
        std::string out;
        pollfd p{fd_, POLLIN, 0};
        int wait = waitms;
        while (::poll(&p, 1, wait) > 0) {
            char buf[65536];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) {
                closedbypeer_ = true;
                break;
            }
            out.append(buf, static_cast<std::size_t>(n));
            wait = 50;
        }
        return out;
    }
    bool closedbypeer() const { return closedbypeer_; }

  private:
    int fd_ = -1;
    bool connected_ = false;
    bool closedbypeer_ = false;
};

}  // namespace aerova::testing
