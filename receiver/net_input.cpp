#include "receiver/net_input.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "base/strings.h"

namespace aerova {

namespace {

std::string DelayText(int ms) {
    return ms % 1000 == 0 ? Concat({std::to_string(ms / 1000), " s"})
                          : Concat({std::to_string(ms), " ms"});
}

std::string ErrorText(int error) {
    char text[256];
    // The GNU strerror_r returns its text, which need not be in `text`.
    return ::strerror_r(error, text, sizeof text);
}

// The address as a socket address; false for neither IPv4 nor IPv6.
bool SocketAddress(const QHostAddress& address, int port, sockaddr_storage& out,
                   socklen_t& length) {
    out = {};
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto& a = reinterpret_cast<sockaddr_in&>(out);
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof a;
        return true;
    }
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto& a = reinterpret_cast<sockaddr_in6&>(out);
        a.sin6_family = AF_INET6;
        a.sin6_port = htons(static_cast<std::uint16_t>(port));
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&a.sin6_addr, bytes.c, sizeof bytes.c);
        // A link-local address names its interface: "fe80::1%eth0" or "fe80::1%2".
        const QString scope = address.scopeId();
        if (!scope.isEmpty()) {
            bool numeric = false;
            const uint index = scope.toUInt(&numeric);
            a.sin6_scope_id = numeric ? index : ::if_nametoindex(scope.toLocal8Bit().constData());
        }
        length = sizeof a;
        return true;
    }
    return false;
}

}  // namespace

NetInput::NetInput(NetInputSource source, FrameHandler frames, LogHandler log,
                   NetInputOptions options, QObject* parent)
    : QObject(parent),
      source_(std::move(source)),
      frames_(std::move(frames)),
      log_(std::move(log)),
      options_(options),
      backoff_(options.backoffBaseMs, options.backoffMaxMs),
      raw_([this](std::string_view text) { DeliverText(text); }),
      beast_([this](std::span<const std::uint8_t> frame) {
          char text[2 * 14 + 2];
          DeliverText(std::string_view(text, FrameText(frame, text)));
      }) {
    readNotifier_ = new QSocketNotifier(QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &NetInput::OnReadable);
    connectNotifier_ = new QSocketNotifier(QSocketNotifier::Write, this);
    connect(connectNotifier_, &QSocketNotifier::activated, this, &NetInput::OnConnectDone);
    retryTimer_ = new QTimer(this);
    retryTimer_->setSingleShot(true);
    connect(retryTimer_, &QTimer::timeout, this, &NetInput::Connect);
    restTimer_ = new QTimer(this);
    restTimer_->setSingleShot(true);
    connect(restTimer_, &QTimer::timeout, this, &NetInput::OnRestOver);
    watchdog_ = new QTimer(this);
    watchdog_->setSingleShot(true);
    connect(watchdog_, &QTimer::timeout, this, &NetInput::OnWatchdog);
}

NetInput::~NetInput() {
    Stop();
}

void NetInput::Start() {
    if (state_ != State::kStopped) return;
    backoff_.Reset();
    Connect();
}

void NetInput::Stop() {
    state_ = State::kStopped;
    retryTimer_->stop();
    restTimer_->stop();
    watchdog_->stop();
    CloseSocket();
}

void NetInput::CloseSocket() {
    if (lookupId_ >= 0) QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    ++attempt_;
    // Either notifier may be the one whose signal is running: disabled, not deleted.
    readNotifier_->setEnabled(false);
    connectNotifier_->setEnabled(false);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void NetInput::Connect() {
    CloseSocket();
    state_ = State::kConnecting;
    restTimer_->stop();
    raw_.Reset();
    beast_.Reset();
    framesThisConnection_ = 0;
    addresses_.clear();
    nextAddress_ = 0;
    lastError_.clear();
    watchdog_->start(options_.connectTimeoutMs);
    const QString host = QString::fromStdString(source_.host);
    QHostAddress literal;
    if (literal.setAddress(host)) {
        addresses_.push_back(literal);
        ConnectNextAddress();
        return;
    }
    // The name lookup runs on Qt's lookup thread; the result comes back as an event.
    const std::uint64_t attempt = attempt_;
    lookupId_ = QHostInfo::lookupHost(host, this, [this, attempt](const QHostInfo& info) {
        if (attempt == attempt_) OnLookedUp(info);
    });
}

void NetInput::OnLookedUp(const QHostInfo& info) {
    lookupId_ = -1;
    if (state_ != State::kConnecting) return;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        Failed(info.errorString().toStdString());
        return;
    }
    addresses_ = info.addresses();
    ConnectNextAddress();
}

void NetInput::ConnectNextAddress() {
    while (state_ == State::kConnecting && nextAddress_ < addresses_.size()) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        sockaddr_storage address;
        socklen_t length = 0;
        if (!SocketAddress(addresses_[nextAddress_++], source_.port, address, length)) continue;
        fd_ = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            lastError_ = ErrorText(errno);
            continue;
        }
        // Before the connection, so that the window offered to the receiver is scaled for it.
        // Best effort: a smaller buffer only holds the receiver back sooner.
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
            OnConnected();
            return;
        }
        if (errno == EINPROGRESS || errno == EINTR) {
            connectNotifier_->setSocket(fd_);
            connectNotifier_->setEnabled(true);
            return;
        }
        lastError_ = ErrorText(errno);
    }
    if (state_ == State::kConnecting)
        Failed(lastError_.empty() ? std::string("no address to connect to") : lastError_);
}

void NetInput::OnConnectDone() {
    connectNotifier_->setEnabled(false);
    if (state_ != State::kConnecting || fd_ < 0) return;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error == 0) {
        OnConnected();
        return;
    }
    lastError_ = ErrorText(error);
    ConnectNextAddress();
}

void NetInput::OnConnected() {
    if (state_ != State::kConnecting) return;
    state_ = State::kConnected;
    ++counters_.connects;
    if (buffer_.empty()) buffer_.resize(kReadChunk);
    lastData_ = std::chrono::steady_clock::now();
    watchdog_->start(options_.stallTimeoutMs);
    readNotifier_->setSocket(fd_);
    readNotifier_->setEnabled(true);
}

void NetInput::OnReadable() {
    if (state_ != State::kConnected) return;
    if (Drain() == 0 || state_ != State::kConnected) return;
    readNotifier_->setEnabled(false);
    restTimer_->start(kRestMs);
}

void NetInput::OnRestOver() {
    if (state_ != State::kConnected) return;
    if (Drain() > 0) {
        if (state_ == State::kConnected) restTimer_->start(kRestMs);
        return;
    }
    // Nothing came during the rest: wait for the next data.
    if (state_ == State::kConnected) readNotifier_->setEnabled(true);
}

std::size_t NetInput::Drain() {
    std::size_t total = 0;
    while (state_ == State::kConnected && total < kReadLimit) {
        const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n > 0) {
            const auto got = static_cast<std::size_t>(n);
            total += got;
            counters_.bytes += got;
            const std::string_view bytes(buffer_.data(), got);
            if (source_.protocol == NetProtocol::kBeast) {
                beast_.Feed(bytes);
            } else {
                raw_.Feed(bytes);
            }
            // A short read emptied the socket; what comes now waits for the next read.
            if (got < buffer_.size()) break;
            continue;
        }
        if (n == 0) {
            Failed("closed by the source");
        } else if (errno == EINTR) {
            continue;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
            Failed(ErrorText(errno));
        }
        break;
    }
    // The handler may have stopped this input; the time is noted all the same.
    if (total > 0) lastData_ = std::chrono::steady_clock::now();
    return total;
}

void NetInput::OnWatchdog() {
    if (state_ == State::kConnecting) {
        Failed(Concat({"no answer within ", DelayText(options_.connectTimeoutMs)}));
        return;
    }
    if (state_ != State::kConnected) return;
    using std::chrono::milliseconds;
    const milliseconds stall(options_.stallTimeoutMs);
    auto quiet = std::chrono::steady_clock::now() - lastData_;
    // A resting input may not have read yet what is there.
    if (quiet >= stall && Drain() > 0) quiet = {};
    if (state_ != State::kConnected) return;
    if (quiet < stall) {
        const auto left = std::chrono::ceil<milliseconds>(stall - quiet).count();
        watchdog_->start(static_cast<int>(std::max<long long>(left, 1)));
        return;
    }
    Failed(Concat({"nothing received for ", DelayText(options_.stallTimeoutMs)}));
}

void NetInput::DeliverText(std::string_view text) {
    ++counters_.frames;
    ++framesThisConnection_;
    frames_(text);
}

void NetInput::Failed(const std::string& reason) {
    if (state_ == State::kStopped) return;
    // What arrived before the end was read already: the end is seen only after it.
    const bool wasConnected = state_ == State::kConnected;
    state_ = State::kWaiting;
    watchdog_->stop();
    restTimer_->stop();
    CloseSocket();
    ++counters_.failures;
    if (framesThisConnection_ > 0) backoff_.Reset();
    const int delay = backoff_.NextDelayMs();
    if (log_) {
        log_(Concat({"Network receiver input ", SourceLabel(source_),
                     wasConnected ? ": connection lost: " : ": cannot connect: ", Printable(reason),
                     "; next try in ", DelayText(delay)}));
    }
    retryTimer_->start(delay);
}

NetInputs::NetInputs(NetInput::FrameHandler frames, NetInput::LogHandler log,
                     NetInputOptions options)
    : frames_(std::move(frames)), log_(std::move(log)), options_(options) {}

NetInputs::~NetInputs() = default;

void NetInputs::SetSources(std::vector<NetInputSource> sources) {
    if (sources == sources_) return;
    const bool wasRunning = running_;
    Stop();
    sources_ = std::move(sources);
    inputs_.clear();
    for (const NetInputSource& s : sources_)
        inputs_.push_back(std::make_unique<NetInput>(s, frames_, log_, options_));
    if (wasRunning) Start();
}

void NetInputs::Start() {
    running_ = true;
    for (auto& input : inputs_) input->Start();
}

void NetInputs::Stop() {
    running_ = false;
    for (auto& input : inputs_) input->Stop();
}

NetInputCounters NetInputs::Total() const {
    NetInputCounters total;
    for (const auto& input : inputs_) {
        const NetInputCounters& c = input->counters();
        total.frames += c.frames;
        total.bytes += c.bytes;
        total.connects += c.connects;
        total.failures += c.failures;
    }
    return total;
}

}  // namespace aerova
