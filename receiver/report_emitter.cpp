#include "receiver/report_emitter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>

#include "core/report_codec.h"

namespace aerova {

ReportEmitter::ReportEmitter(std::uint16_t listenerPort) : port_(listenerPort) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket_ < 0) return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(listenerPort);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // A connected socket: the kernel resolves the destination once, not per report.
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

ReportEmitter::~ReportEmitter() {
    if (socket_ >= 0) ::close(socket_);
}

void ReportEmitter::SetPressure(int qnhHpa, int transitionFeet) {
    qnh_ = std::to_string(qnhHpa);
    transition_ = std::to_string(transitionFeet);
}

void ReportEmitter::Queue(const TSBSFlight& record) {
    pending_.push_back(EncodeSbsReport(record, qnh_, transition_));
}

std::size_t ReportEmitter::Flush() {
    if (local_) {
        for (const std::string& d : pending_) local_(d);
        sent += pending_.size();
        const std::size_t total = pending_.size();
        pending_.clear();
        return total;
    }
    constexpr std::size_t kBatch = 256;
    std::size_t done = 0;
    mmsghdr messages[kBatch];
    iovec parts[kBatch];
    while (done < pending_.size()) {
        const std::size_t n = std::min(kBatch, pending_.size() - done);
        for (std::size_t i = 0; i < n; ++i) {
            std::string& d = pending_[done + i];
            parts[i] = iovec{d.data(), d.size()};
            messages[i] = mmsghdr{};
            messages[i].msg_hdr.msg_iov = &parts[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        const int sentNow =
            socket_ < 0 ? -1 : ::sendmmsg(socket_, messages, static_cast<unsigned>(n), 0);
        if (sentNow <= 0) {
            // The first report of the batch is lost (refused or no socket); go on with the rest.
            ++failed;
            ++done;
            continue;
        }
        sent += static_cast<std::uint64_t>(sentNow);
        done += static_cast<std::size_t>(sentNow);
    }
    const std::size_t total = pending_.size();
    pending_.clear();
    return total;
}

bool ReportEmitter::EmitReport(const TSBSFlight& record) {
    const std::string datagram = EncodeSbsReport(record, qnh_, transition_);
    if (local_) {
        local_(datagram);
        ++sent;
        return true;
    }
    // A listener that is not (yet) there refuses on loopback; the report is simply lost,
    // as any UDP report would be.
    if (socket_ < 0 || ::send(socket_, datagram.data(), datagram.size(), 0) < 0) {
        ++failed;
        return false;
    }
    ++sent;
    return true;
}

}  // namespace aerova
