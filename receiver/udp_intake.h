#pragma once
// UdpIntake: a UDP listening socket on the event loop, read in batches. When the socket
// turns readable every waiting datagram is read (UdpBatchReader); then the intake rests
// before it reads again, as long as datagrams keep coming. A receiver's datagrams, which
// arrive one by one, are so read a hundred or so at a time, at one wake-up of the event loop
// per batch instead of one per datagram: on a busy machine each wake-up costs more than
// the datagram itself. The rest follows the arrival rate so that a batch stays far below
// what the kernel's socket buffer holds; a quiet socket is read as soon as a datagram comes.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/udp_batch_reader.h"

class QSocketNotifier;

namespace aerova {

class UdpIntake : public QObject {
  public:
    using Handler = std::function<void(const ReceivedDatagram&)>;
    // At most this many datagrams per read; more waiting are read after the shortest rest,
    // so a flood cannot hold up the timers.
    static constexpr std::size_t kReadLimit = 4096;
    // The datagrams one rest should gather at the current rate: a quarter of what the
    // socket's receive buffer holds (a short frame text takes about 1 KB of kernel memory),
    // within these bounds; and the limits of the rest. Each wake-up costs about 0.1 ms, so
    // the fewer the better, as long as the buffer never fills.
    static constexpr std::size_t kKernelBytesPerDatagram = 1024;
    static constexpr double kMinBatchAimed = 32;
    static constexpr double kMaxBatchAimed = 1024;
    static constexpr int kMinRestMs = 2;
    static constexpr int kMaxRestMs = 100;

    // Each datagram (cut to `maxDatagram` bytes) goes to `handler`, in arrival order, on the
    // thread that owns the intake. `keepSenders`: the handler needs the sender's address.
    UdpIntake(std::size_t maxDatagram, bool keepSenders, Handler handler,
              QObject* parent = nullptr);
    ~UdpIntake() override;

    bool Open(UdpBindAddress address, std::uint16_t port);
    double batchAimed() const { return batchAimed_; }
    // Safe from inside the handler: the reading stops at once.
    void Close();
    bool open() const { return reader_.open(); }
    std::uint16_t localPort() const { return reader_.localPort(); }
    std::uint64_t datagramsRead() const { return datagramsRead_; }

  private:
    void OnReadable();
    void OnRestOver();
    std::size_t Read();
    void Rest(std::size_t justRead);

    UdpBatchReader reader_;
    Handler handler_;
    QSocketNotifier* notifier_ = nullptr;
    double batchAimed_ = kMinBatchAimed;
    QTimer rest_;
    std::chrono::steady_clock::time_point lastRead_{};
    std::uint64_t datagramsRead_ = 0;
};

}  // namespace aerova
