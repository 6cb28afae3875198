#pragma once
// Network receiver inputs as data: which sources to connect to (host, port, protocol), as
// the command line and the settings file give them, and the reconnect back-off.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

// Raw: "*HEX;" frame texts, dump1090's port 30002. Beast: binary frames, its port 30005.
enum class NetProtocol { kRaw, kBeast };

struct NetInputSource {
    std::string host;
    int port = 0;
    NetProtocol protocol = NetProtocol::kRaw;
    bool operator==(const NetInputSource&) const = default;
};

// "raw" or "beast".
const char* NetProtocolName(NetProtocol protocol);
// "host:port (raw)" for log lines and counters.
std::string SourceLabel(const NetInputSource& source);

// "HOST:PORT[,raw|beast]" (protocol raw when left out; an IPv6 address in brackets,
// "[::1]:30005"). Nothing, with `error` set, when any part is missing or malformed.
std::optional<NetInputSource> ParseNetInputSource(std::string_view text, std::string& error);

// The settings section "netinput": `count` sources in `host<n>`, `port<n>`, `protocol<n>`.
constexpr int kMaxNetInputs = 8;
struct NetInputSettings {
    struct Entry {
        std::string host;
        int port = 30002;
        std::string protocol = "raw";
    };
    int count = 0;
    Entry entries[kMaxNetInputs];
};

// The usable sources of the settings, in order; `problems` gets one line per entry that is
// left out and why (a count outside 0 to 8 counts as 0).
std::vector<NetInputSource> SourcesOf(const NetInputSettings& settings,
                                      std::vector<std::string>& problems);

// Waiting time before the next connection attempt: 1 s after the first failure, doubling
// up to 30 s; back to the start once a connection has delivered frames.
class ReconnectBackoff {
  public:
    explicit ReconnectBackoff(int baseMs = 1000, int maxMs = 30000);
    // The wait before the next attempt; the one after it is twice as long.
    int NextDelayMs();
    void Reset() { nextMs_ = baseMs_; }
    int baseMs() const { return baseMs_; }

  private:
    int baseMs_;
    int maxMs_;
    int nextMs_;
};

}  // namespace aerova
