#include "receiver/serial_ports.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>

namespace aerova {

namespace {

// The probe of the scan: the device opens for reading and writing (and is closed again).
bool Opens(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace

bool PortNameLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            na.erase(0, std::min(na.find_first_not_of('0'), na.size()));
            nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size()));
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::vector<std::string> ScanComPorts() {
    std::vector<std::string> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (Opens(info.systemLocation().toStdString()))
            ports.push_back(info.portName().toStdString());
    }
    std::sort(ports.begin(), ports.end(), PortNameLess);
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

int SelectPortIndex(const std::vector<std::string>& ports, const std::string& remembered) {
    const auto it = std::find(ports.begin(), ports.end(), remembered);
    if (it != ports.end()) return static_cast<int>(it - ports.begin());
    return static_cast<int>(ports.size()) - 1;
}

}  // namespace aerova
