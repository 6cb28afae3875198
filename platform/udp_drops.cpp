#include "platform/udp_drops.h"

#include <fstream>
#include <sstream>
#include <string>

namespace aerova {

namespace {

// Lines of /proc/net/udp: "sl local_address rem_address st tx_queue:rx_queue tr:tm->when
// retrnsmt uid timeout inode ref pointer drops", the local address as hex "ADDR:PORT".
void AddDrops(const char* path, std::uint16_t port, std::optional<std::uint64_t>& total) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode,
            ref, pointer;
        std::uint64_t drops = 0;
        if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
              timeout >> inode >> ref >> pointer >> drops))
            continue;
        const std::size_t colon = local.rfind(':');
        if (colon == std::string::npos) continue;
        if (std::stoul(local.substr(colon + 1), nullptr, 16) != port) continue;
        total = total.value_or(0) + drops;
    }
}

}  // namespace

std::optional<std::uint64_t> UdpSocketDrops(std::uint16_t localPort) {
    std::optional<std::uint64_t> total;
    try {
        AddDrops("/proc/net/udp", localPort, total);
        AddDrops("/proc/net/udp6", localPort, total);
    } catch (const std::exception&) {
        return std::nullopt;  // a line that isn't what the kernel writes
    }
    return total;
}

}  // namespace aerova
