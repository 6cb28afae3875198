#include "receiver/net_input_source.h"

#include <algorithm>

#include "base/strings.h"

namespace aerova {

namespace {

constexpr std::size_t kMaxHostLength = 253;  // the longest DNS name

// A DNS name or an IPv4 address: letters, digits, "-" and "." only, so a host can't carry
// a separator of the log line or the command line it came from.
bool IsHostName(std::string_view host) {
    if (host.empty() || host.size() > kMaxHostLength) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.';
    });
}

bool IsIpv6Address(std::string_view host) {
    if (host.size() < 2 || host.size() > 45) return false;
    return std::all_of(host.begin(), host.end(),
                       [](char c) { return IsHexDigit(c) || c == ':' || c == '.'; });
}

// 1 to 65535, decimal digits only.
std::optional<int> PortNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int port = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

std::optional<NetProtocol> ProtocolNamed(std::string_view name) {
    if (SameText(name, "raw")) return NetProtocol::kRaw;
    if (SameText(name, "beast")) return NetProtocol::kBeast;
    return std::nullopt;
}

}  // namespace

const char* NetProtocolName(NetProtocol protocol) {
    return protocol == NetProtocol::kBeast ? "beast" : "raw";
}

std::string SourceLabel(const NetInputSource& source) {
    const bool ipv6 = source.host.find(':') != std::string::npos;
    return Concat({ipv6 ? "[" : "", source.host, ipv6 ? "]:" : ":", std::to_string(source.port),
                   " (", NetProtocolName(source.protocol), ")"});
}

std::optional<NetInputSource> ParseNetInputSource(std::string_view text, std::string& error) {
    NetInputSource source;
    std::string_view address = text;
    if (const std::size_t comma = text.find(','); comma != std::string_view::npos) {
        address = text.substr(0, comma);
        const auto protocol = ProtocolNamed(text.substr(comma + 1));
        if (!protocol) {
            error = Concat({"unknown protocol in \"", text, "\": use raw or beast"});
            return std::nullopt;
        }
        source.protocol = *protocol;
    }
    std::string_view host, port;
    if (!address.empty() && address.front() == '[') {
        const std::size_t close = address.find("]:");
        if (close == std::string_view::npos) {
            error = Concat({"\"", text, "\" is not HOST:PORT"});
            return std::nullopt;
        }
        host = address.substr(1, close - 1);
        port = address.substr(close + 2);
        if (!IsIpv6Address(host)) {
            error = Concat({"bad IPv6 address in \"", text, "\""});
            return std::nullopt;
        }
    } else {
        const std::size_t colon = address.rfind(':');
        if (colon == std::string_view::npos) {
            error = Concat({"\"", text, "\" is not HOST:PORT"});
            return std::nullopt;
        }
        host = address.substr(0, colon);
        port = address.substr(colon + 1);
        if (!IsHostName(host)) {
            error = Concat({"bad host name in \"", text, "\""});
            return std::nullopt;
        }
    }
    const auto number = PortNumber(port);
    if (!number) {
        error = Concat({"bad port in \"", text, "\": use 1 to 65535"});
        return std::nullopt;
    }
    source.host = std::string(host);
    source.port = *number;
    return source;
}

std::vector<NetInputSource> SourcesOf(const NetInputSettings& settings,
                                      std::vector<std::string>& problems) {
    std::vector<NetInputSource> sources;
    if (settings.count < 0 || settings.count > kMaxNetInputs) {
        problems.push_back(
            Concat({"netinput/count ", std::to_string(settings.count), " is outside 0 to ",
                    std::to_string(kMaxNetInputs), ": no network receiver input"}));
        return sources;
    }
    for (int i = 0; i < settings.count; ++i) {
        const NetInputSettings::Entry& e = settings.entries[i];
        const std::string n = std::to_string(i + 1);
        NetInputSource source;
        source.host = Trim(e.host);
        const std::string port = std::to_string(e.port);
        const auto protocol = ProtocolNamed(Trim(e.protocol));
        const bool ipv6 = source.host.find(':') != std::string::npos;
        if (!(ipv6 ? IsIpv6Address(source.host) : IsHostName(source.host))) {
            problems.push_back(Concat({"netinput/host", n, " is no host name: left out"}));
        } else if (e.port < 1 || e.port > 65535) {
            problems.push_back(Concat({"netinput/port", n, " ", port, " is no port: left out"}));
        } else if (!protocol) {
            problems.push_back(
                Concat({"netinput/protocol", n, " is neither raw nor beast: left out"}));
        } else {
            source.port = e.port;
            source.protocol = *protocol;
            sources.push_back(std::move(source));
        }
    }
    return sources;
}

ReconnectBackoff::ReconnectBackoff(int baseMs, int maxMs)
    : baseMs_(std::max(1, baseMs)), maxMs_(std::max(baseMs_, maxMs)), nextMs_(baseMs_) {}

int ReconnectBackoff::NextDelayMs() {
    const int delay = nextMs_;
    nextMs_ = nextMs_ > maxMs_ / 2 ? maxMs_ : nextMs_ * 2;
    return delay;
}

}  // namespace aerova
