#include "receiver/udp_intake.h"

#include <sys/socket.h>

#include <QSocketNotifier>
#include <algorithm>
#include <utility>

namespace aerova {

UdpIntake::UdpIntake(std::size_t maxDatagram, bool keepSenders, Handler handler, QObject* parent)
    : QObject(parent), reader_(maxDatagram, keepSenders), handler_(std::move(handler)) {
    rest_.setSingleShot(true);
    rest_.setTimerType(Qt::PreciseTimer);
    connect(&rest_, &QTimer::timeout, this, &UdpIntake::OnRestOver);
}

UdpIntake::~UdpIntake() {
    Close();
}

bool UdpIntake::Open(UdpBindAddress address, std::uint16_t port) {
    Close();
    if (!reader_.Open(address, port)) return false;
    // The kernel may grant less buffer than asked (rmem_max): aim at what it granted.
    int granted = 0;
    socklen_t length = sizeof granted;
    if (::getsockopt(reader_.fd(), SOL_SOCKET, SO_RCVBUF, &granted, &length) != 0) granted = 0;
    const double capacity =
        static_cast<double>(granted > 0 ? granted : 0) / kKernelBytesPerDatagram;
    batchAimed_ = std::clamp(capacity / 4, kMinBatchAimed, kMaxBatchAimed);
    notifier_ =
        new QSocketNotifier(static_cast<qintptr>(reader_.fd()), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UdpIntake::OnReadable);
    return true;
}

void UdpIntake::Close() {
    rest_.stop();
    if (notifier_) {
        // The notifier may be the one whose signal is running.
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    reader_.Close();
}

std::size_t UdpIntake::Read() {
    const std::size_t n = reader_.Drain(handler_, kReadLimit);
    datagramsRead_ += n;
    return n;
}

void UdpIntake::OnReadable() {
    const std::size_t n = Read();
    if (n == 0 || !notifier_) return;
    notifier_->setEnabled(false);
    // After a quiet spell the rate is unknown: the first rest is the shortest.
    lastRead_ = std::chrono::steady_clock::now();
    rest_.start(kMinRestMs);
}

void UdpIntake::OnRestOver() {
    if (!notifier_) return;
    const std::size_t n = Read();
    if (!notifier_) return;
    if (n == 0) {
        // Nothing came during the rest: wait for the next datagram.
        notifier_->setEnabled(true);
        return;
    }
    Rest(n);
}

void UdpIntake::Rest(std::size_t justRead) {
    // The rate of the last rest decides the next one: long enough for the aimed batch.
    const auto now = std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(now - lastRead_).count();
    lastRead_ = now;
    const double aimed = ms * batchAimed_ / static_cast<double>(justRead);
    rest_.start(std::clamp(static_cast<int>(aimed), kMinRestMs, kMaxRestMs));
}

}  // namespace aerova
