#pragma once
// EmitReport: one changed decoder record as one kind-5 target report datagram, sent by UDP
// to the station's own report listener on 127.0.0.1, or handed to it in-process.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/sbs_flight.h"

namespace aerova {

class ReportEmitter {
  public:
    // Reports go to 127.0.0.1:`listenerPort` (7979 + the port offset on a station).
    explicit ReportEmitter(std::uint16_t listenerPort);
    ~ReportEmitter();
    ReportEmitter(const ReportEmitter&) = delete;
    ReportEmitter& operator=(const ReportEmitter&) = delete;

    // The station's pressure setting (hPa) and transition altitude (ft) label altitudes.
    void SetPressure(int qnhHpa, int transitionFeet);
    // Where the report listener lives in the same program, the reports are handed to it
    // with the same bytes instead of being sent: a poll's burst of up to 2000 datagrams
    // would overrun the listener's socket buffer (256 small datagrams) and lose the rest.
    using LocalListener = std::function<void(std::string_view datagram)>;
    void SetLocalListener(LocalListener listener) { local_ = std::move(listener); }

    // Encodes and sends; false when the datagram could not be sent.
    bool EmitReport(const TSBSFlight& record);
    // A poll's reports go out together: Queue encodes, Flush sends every queued report as
    // its own datagram with one system call per batch. Returns the datagrams sent.
    void Queue(const TSBSFlight& record);
    std::size_t Flush();

    std::uint16_t port() const { return port_; }
    std::uint64_t sent = 0;
    std::uint64_t failed = 0;

  private:
    int socket_ = -1;
    std::uint16_t port_;
    std::string qnh_ = "1013";
    std::string transition_ = "5500";
    std::vector<std::string> pending_;
    LocalListener local_;
};

}  // namespace aerova
