#pragma once
// A UDP listening socket read in batches: recvmmsg takes every datagram waiting in the
// kernel's queue, up to 64 per call, so a busy receiver costs one system call per batch
// instead of a peek and a read per datagram. The socket is non-blocking; the owner watches
// fd() for readability (a QSocketNotifier) and calls Drain.

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace aerova {

enum class UdpBindAddress {
    kAny,       // every address, IPv6 and IPv4 on one socket (IPv4 alone without IPv6)
    kAnyIPv4,   // every IPv4 address
    kLoopback,  // 127.0.0.1
};

// One datagram as read: at most the reader's size limit (a longer datagram is cut there),
// and its sender ("a.b.c.d" for IPv4 and IPv4-mapped senders) when the reader keeps senders.
struct ReceivedDatagram {
    std::string_view bytes;
    std::string_view senderIp;
    std::uint16_t senderPort = 0;
};

class UdpBatchReader {
  public:
    static constexpr std::size_t kBatch = 64;
    // The socket buffer asked for: a second of a busy receiver's datagrams fits while the
    // owner is busy elsewhere. The kernel caps it at net.core.rmem_max.
    static constexpr int kReceiveBuffer = 4 * 1024 * 1024;

    // `maxDatagram`: the bytes kept of each datagram. `keepSenders`: format each sender's
    // address (costs a conversion per datagram; the frame input does not need it).
    explicit UdpBatchReader(std::size_t maxDatagram, bool keepSenders);
    ~UdpBatchReader();
    UdpBatchReader(const UdpBatchReader&) = delete;
    UdpBatchReader& operator=(const UdpBatchReader&) = delete;

    // Binds a new non-blocking socket (no address sharing: a port in use is a failure).
    bool Open(UdpBindAddress address, std::uint16_t port);
    void Close();
    bool open() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    std::uint16_t localPort() const { return localPort_; }

    // Reads the waiting datagrams in arrival order until the queue is empty or `limit`
    // datagrams were read, handing each to `handle`. Returns how many were read. The
    // handle may Close the reader; reading then stops.
    std::size_t Drain(const std::function<void(const ReceivedDatagram&)>& handle,
                      std::size_t limit);

  private:
    std::size_t maxDatagram_;
    bool keepSenders_;
    int fd_ = -1;
    std::uint16_t localPort_ = 0;
    std::vector<char> buffers_;  // kBatch buffers of maxDatagram_ bytes
    std::vector<sockaddr_storage> senders_;
};

}  // namespace aerova
