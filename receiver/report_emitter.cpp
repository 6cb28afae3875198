#include "receiver/report_emitter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

bool ReportEmitter::EmitReport(const TSBSFlight& record) {
    const std::string datagram = EncodeSbsReport(record, qnh_, transition_);
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
