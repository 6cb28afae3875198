#pragma once
// Network receiver inputs: the station as a TCP client of receivers that publish frames on
// the network (dump1090 and readsb: raw frame texts on port 30002, Beast binary on 30005).
// Every frame becomes a frame text "*HEX;" handed to the same handler as the frames of the
// serial port and UDP 7933. Everything runs on the owner's thread, on its event loop: the
// name lookup, the connection and the reads never block it. A failed or lost connection is
// retried with back-off, each failure one line for the error log.
//
// A receiver sends every frame as it decodes it, a TCP segment each: thousands a second.
// Waking for each costs the station far more than the frame itself, and the frames are
// only used at the receiver's next poll, a second later. So once a read found data the
// input rests (kRestMs) and then takes everything that came meanwhile in one go, into one
// reused buffer; the socket's receive buffer holds the stream in the meantime, and TCP
// holds the receiver back rather than lose anything. A quiet connection is read as soon as
// data comes. The stall watch costs nothing per read either: a read notes the time, and
// the stall timer, when it runs out, looks at that note and waits out the rest.

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "receiver/beast_decoder.h"
#include "receiver/net_input_source.h"

class QHostInfo;
class QSocketNotifier;
class QTimer;

namespace aerova {

struct NetInputCounters {
    std::uint64_t frames = 0;  // Mode-S frames handed on
    std::uint64_t bytes = 0;
    std::uint64_t connects = 0;  // connections established
    std::uint64_t failures = 0;  // attempts that failed, and connections lost
};

struct NetInputOptions {
    int backoffBaseMs = 1000;
    int backoffMaxMs = 30000;
    // A connection attempt unanswered this long (a host that drops the packets) fails.
    int connectTimeoutMs = 10000;
    // A connection with nothing to read this long is taken for dead and made again.
    // dump1090 and readsb send a heartbeat every 60 s on an idle output.
    int stallTimeoutMs = 150000;
};

class NetInput : public QObject {
  public:
    // The rest after a read that found data: at 5,000 frames a second some 500 frames a
    // read. Each wake-up costs the station about 0.1 ms, cold caches and the socket's own
    // work included, so ten a second rather than twenty save a millisecond of CPU a second;
    // the frames still reach the receiver's poll, a second apart, well in time.
    static constexpr int kRestMs = 100;
    // What the socket may hold unread, asked of the kernel (which caps it at
    // net.core.rmem_max): a busy receiver's stream for several seconds of a station that
    // is busy elsewhere.
    static constexpr int kReceiveBuffer = 4 * 1024 * 1024;
    // One read's size, and the most read at one wake-up, so a flood cannot hold up the
    // station's timers; the rest is read after the next rest.
    static constexpr std::size_t kReadChunk = 65536;
    static constexpr std::size_t kReadLimit = 4 * 1024 * 1024;

    using FrameHandler = std::function<void(std::string_view text)>;
    using LogHandler = std::function<void(const std::string& line)>;

    NetInput(NetInputSource source, FrameHandler frames, LogHandler log,
             NetInputOptions options = {}, QObject* parent = nullptr);
    ~NetInput() override;

    // Connects now; afterwards reconnects by itself until Stop.
    void Start();
    void Stop();

    const NetInputSource& source() const { return source_; }
    const NetInputCounters& counters() const { return counters_; }
    bool connected() const { return state_ == State::kConnected; }

  private:
    enum class State { kStopped, kConnecting, kConnected, kWaiting };
    void Connect();
    void OnLookedUp(const QHostInfo& info);
    // Starts a connection to the next address of the lookup; when none is left the attempt
    // failed.
    void ConnectNextAddress();
    void OnConnectDone();
    void OnConnected();
    void OnReadable();
    void OnRestOver();
    void OnWatchdog();
    // Reads what the socket holds (at most kReadLimit bytes) into the decoder; the end of
    // the connection goes to Failed. Returns the bytes read.
    std::size_t Drain();
    void CloseSocket();
    // The attempt failed or the connection ended: one log line, and the next attempt later.
    void Failed(const std::string& reason);
    void DeliverText(std::string_view text);

    NetInputSource source_;
    FrameHandler frames_;
    LogHandler log_;
    NetInputOptions options_;
    ReconnectBackoff backoff_;
    RawFrameSplitter raw_;
    BeastDecoder beast_;
    NetInputCounters counters_;
    std::uint64_t framesThisConnection_ = 0;
    State state_ = State::kStopped;
    int fd_ = -1;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* connectNotifier_ = nullptr;  // writable: the connection attempt ended
    int lookupId_ = -1;
    // Tells a lookup result of an attempt given up from one of the current attempt.
    std::uint64_t attempt_ = 0;
    QList<QHostAddress> addresses_;
    qsizetype nextAddress_ = 0;
    std::string lastError_;  // of the last address tried
    std::vector<char> buffer_;
    std::chrono::steady_clock::time_point lastData_{};
    QTimer* retryTimer_ = nullptr;
    QTimer* restTimer_ = nullptr;
    QTimer* watchdog_ = nullptr;  // connect time-out, then the stall time-out
};

// All sources of a station, from the settings and the command line.
class NetInputs {
  public:
    NetInputs(NetInput::FrameHandler frames, NetInput::LogHandler log,
              NetInputOptions options = {});
    ~NetInputs();

    // Takes a new list; a running set restarts only when the list differs.
    void SetSources(std::vector<NetInputSource> sources);
    void Start();
    void Stop();

    const std::vector<std::unique_ptr<NetInput>>& inputs() const { return inputs_; }
    NetInputCounters Total() const;

  private:
    NetInput::FrameHandler frames_;
    NetInput::LogHandler log_;
    NetInputOptions options_;
    std::vector<NetInputSource> sources_;
    std::vector<std::unique_ptr<NetInput>> inputs_;
    bool running_ = false;
};

}  // namespace aerova
