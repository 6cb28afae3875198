#pragma once
// A simple SNTP client (RFC 4330): one client-mode request, version 3, over UDP.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace aerova {

struct SntpResult {
    double serverSeconds = 0;  // the server's transmit time, Unix seconds (UTC)
    double offsetSeconds = 0;  // how far the local clock is behind the server: ((T2-T1)+(T3-T4))/2
    double roundTripSeconds = 0;
};

// Asks `host` (a name or address; "host:port" chooses another port than 123) and waits at
// most `timeoutMs` for a usable answer. `utcNow` gives the local clock as Unix seconds
// (UTC) for the originate and destination times. No value on time-out, on a network error,
// on an answer that does not match the request, and on a server that says it is not
// synchronised (leap indicator 3 or stratum 0).
std::optional<SntpResult> QuerySntp(const std::string& host, int timeoutMs,
                                    const std::function<double()>& utcNow);

// NTP 64-bit timestamps (seconds since 1900 in 32.32 fixed point), exposed for test servers.
std::uint64_t ToNtpTimestamp(double unixSeconds);
double FromNtpTimestamp(std::uint64_t ntp);

}  // namespace aerova
