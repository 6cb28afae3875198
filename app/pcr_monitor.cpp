#include "app/pcr_monitor.h"

#include <QCloseEvent>
#include <QFont>
#include <QHostAddress>
#include <QLabel>
#include <QUdpSocket>
#include <QVBoxLayout>

#include "base/files.h"
#include "base/ini_file.h"

namespace aerova {

std::string PcrReadingText(std::string_view datagram) {
    std::string text;
    for (const char c : datagram) {
        if (c == '\r' || c == '\n' || c == '\0') break;
        if (c >= 0x20 && c < 0x7F) text.push_back(c);
        if (text.size() == 64) break;
    }
    return text;
}

PcrMonitorWindow::PcrMonitorWindow(std::string stationDir, int portOffset, QWidget* parent)
    : QWidget(parent, Qt::Tool), stationDir_(std::move(stationDir)), portOffset_(portOffset) {
    setObjectName("PCR1000");
    setWindowTitle("PCR-1000 monitor");
    auto* layout = new QVBoxLayout(this);
    reading_ = new QLabel("No reading", this);
    reading_->setObjectName("lbfreq");
    reading_->setFont(QFont("Monospace", 14));
    layout->addWidget(reading_);
    resize(240, 60);
}

PcrMonitorWindow::~PcrMonitorWindow() {
    Stop();
}

bool PcrMonitorWindow::Start() {
    if (socket_) return true;
    const IniFile ini(JoinPath(stationDir_, "pcrmon.ini"));
    const int stored = ini.ReadInteger("udp", "port", kPcrMonitorPort);
    // Port 0 lets the system choose (tests); anything outside the port range is the default.
    const int base = stored >= 0 && stored <= 65535 ? stored : kPcrMonitorPort;
    const int port = base == 0 ? 0 : base + portOffset_;
    socket_ = new QUdpSocket(this);
    if (port > 65535 || !socket_->bind(QHostAddress::Any, static_cast<quint16>(port),
                                       QUdpSocket::DontShareAddress)) {
        error_ = "PCR-1000 monitor: cannot listen on UDP port " + std::to_string(port);
        delete socket_;
        socket_ = nullptr;
        return false;
    }
    error_.clear();
    connect(socket_, &QUdpSocket::readyRead, this, [this] { Read(); });
    const int left = ini.ReadInteger("window", "left", x());
    const int top = ini.ReadInteger("window", "top", y());
    move(left, top);
    show();
    raise();
    return true;
}

void PcrMonitorWindow::Stop() {
    if (!socket_) return;
    SavePlace();
    delete socket_;
    socket_ = nullptr;
    hide();
}

bool PcrMonitorWindow::listening() const {
    return socket_ != nullptr;
}

std::uint16_t PcrMonitorWindow::port() const {
    return socket_ ? socket_->localPort() : 0;
}

void PcrMonitorWindow::Read() {
    char buffer[512];
    while (socket_ && socket_->hasPendingDatagrams()) {
        const qint64 n = socket_->readDatagram(buffer, sizeof buffer);
        if (n <= 0) continue;
        const std::string text =
            PcrReadingText(std::string_view(buffer, static_cast<std::size_t>(n)));
        if (text.empty()) continue;
        last_ = text;
        reading_->setText(QString::fromLatin1(last_.data(), static_cast<qsizetype>(last_.size())));
    }
}

void PcrMonitorWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Stop();
    if (onClosed) onClosed();
}

void PcrMonitorWindow::SavePlace() const {
    IniFile ini(JoinPath(stationDir_, "pcrmon.ini"));
    ini.WriteInteger("window", "left", x());
    ini.WriteInteger("window", "top", y());
    ini.UpdateFile();
}

}  // namespace aerova
