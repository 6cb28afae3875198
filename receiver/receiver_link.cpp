#include "receiver/receiver_link.h"

#include <QSerialPort>
#include <QTimer>
#include <utility>

#include "core/report_codec.h"
#include "receiver/mode_s_frame_decoder.h"
#include "receiver/packet_recognizer.h"
#include "receiver/report_emitter.h"
#include "receiver/udp_intake.h"

namespace aerova {

namespace {

constexpr int kOpenPolls = 30;

// The station decodes with the Mode-S/ADS-B decoder unless a caller brings its own.
FrameDecoder& ChooseDecoder(FrameDecoder* given, std::unique_ptr<FrameDecoder>& own) {
    if (given) return *given;
    own = std::make_unique<ModeSFrameDecoder>();
    return *own;
}

}  // namespace

ReceiverLink::ReceiverLink(Options options, ReceiverSettings& settings, FrameDecoder* decoder,
                           QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      settings_(settings),
      engine_(ChooseDecoder(decoder, ownDecoder_),
              options_.utcNow ? options_.utcNow : std::function<DayTime()>([] { return 0.0; })),
      emitter_(std::make_unique<ReportEmitter>(
          static_cast<std::uint16_t>(kReportListenerPort + options_.portOffset))) {
    FrameInput& in = engine_.input();
    packet1_ = std::make_unique<PacketRecognizer>("*", ";", [&in](std::string_view p) {
        in.ComDataPacket1Packet(FrameSender::TextRecogniser, p);
    });
    packet2_ = std::make_unique<PacketRecognizer>(":", ";", [&in](std::string_view p) {
        in.ComDataPacket2Packet(FrameSender::TextRecogniser, p);
    });
    packet3_ = std::make_unique<PacketRecognizer>("@", ";", [&in](std::string_view p) {
        in.ComDataPacket3Packet(FrameSender::TextRecogniser, p);
    });
    // The PlaneGadget start byte is set when reception starts.
    packetPgr_ = std::make_unique<PacketRecognizer>("", std::size_t{15}, [&in](std::string_view p) {
        in.ComDataPacketPGRPacket(FrameSender::PlaneGadget, p);
    });

    serial_ = new QSerialPort(this);
    connect(serial_, &QSerialPort::readyRead, this, &ReceiverLink::ReadSerial);
    // An unplugged receiver or a failed write: the device is gone, so the port is closed
    // rather than left open on a dead descriptor that reports the same error over and over.
    // A hung-up line reads as end of file, which arrives as a read error.
    connect(serial_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error != QSerialPort::ResourceError && error != QSerialPort::WriteError &&
            error != QSerialPort::ReadError)
            return;
        if (!serial_->isOpen()) return;
        ClosePort();
        if (onReceiverLost) onReceiverLost();
    });
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(options_.pollIntervalMs);
    connect(pollTimer_, &QTimer::timeout, this, [this] { adsbtimerTimer(); });
}

ReceiverLink::~ReceiverLink() {
    Stop();
}

bool ReceiverLink::Start() {
    packetPgr_->SetStart("\xFF");
    bool ok = true;
    if (!options_.nosrv && !udp_) {
        udp_ = new UdpIntake(
            kMaxDatagram, false,
            [this](const ReceivedDatagram& d) {
                if (!d.bytes.empty())
                    engine_.input().udpadsbUDPRead(d.bytes.data(), d.bytes.size());
            },
            this);
        const UdpBindAddress address =
            options_.listenOnLoopbackOnly ? UdpBindAddress::kLoopback : UdpBindAddress::kAny;
        if (!udp_->Open(address,
                        static_cast<std::uint16_t>(kReceiverInputPort + options_.portOffset))) {
            delete udp_;
            udp_ = nullptr;
            ok = false;
        }
    }
    ApplyReceiverPosition();
    if (!pollTimer_->isActive()) pollTimer_->start();
    return ok;
}

void ReceiverLink::Stop() {
    if (pollTimer_) pollTimer_->stop();
    if (udp_) {
        udp_->Close();
        udp_->deleteLater();
        udp_ = nullptr;
    }
    ++openGeneration_;
    if (serial_ && serial_->isOpen()) serial_->close();
}

void ReceiverLink::ApplyReceiverPosition() {
    engine_.StartReceiverEngine(ReceiverLatitude(settings_), ReceiverLongitude(settings_));
    // The engine parses once, a while after it was started.
    QTimer::singleShot(options_.waitMs, this, [this] { engine_.ParseReceiverQueue(); });
}

void ReceiverLink::cbrawlogClick(bool ticked) {
    settings_.cbrawlog = ticked;
    if (ticked) {
        engine_.StartRawLog(options_.stationDir);
    } else {
        engine_.StopRawLog();
    }
}

void ReceiverLink::cbtcasClick(bool ticked) {
    settings_.cbtcas = ticked;
    engine_.input().options.tcas = ticked;
    if (settings_.cbrawlog) engine_.StartRawLog(options_.stationDir);
}

void ReceiverLink::OpenPort(const QString& portName, std::int32_t baudRate, bool planeGadget) {
    const int generation = ++openGeneration_;
    engine_.input().options.planeGadget = planeGadget;
    serial_->setBaudRate(baudRate);
    serial_->setPortName(portName);
    lastPort_ = portName;
    if (serial_->isOpen()) serial_->close();
    QTimer::singleShot(options_.waitMs, this, [this, generation] { OpenAfterWait(generation); });
}

void ReceiverLink::OpenAfterWait(int generation) {
    if (generation != openGeneration_) return;
    if (!serial_->isOpen()) {
        packet1_->Reset();
        packet2_->Reset();
        packet3_->Reset();
        packetPgr_->Reset();
        if (serial_->open(QIODevice::ReadWrite)) {
            serial_->setDataBits(QSerialPort::Data8);
            serial_->setParity(QSerialPort::NoParity);
            serial_->setStopBits(QSerialPort::OneStop);
            serial_->setFlowControl(QSerialPort::NoFlowControl);
            // Pseudo-terminals and some adapters have no modem lines; that is no failure.
            serial_->setDataTerminalReady(false);
            serial_->setRequestToSend(false);
            serial_->clearError();
        }
        if (onPortState) onPortState(serial_->isOpen());
    }
    if (engine_.input().options.planeGadget) {
        QTimer::singleShot(options_.waitMs, this,
                           [this, generation] { WaitForOpenPort(generation, kOpenPolls); });
    }
}

void ReceiverLink::WaitForOpenPort(int generation, int attemptsLeft) {
    if (generation != openGeneration_) return;
    if (serial_->isOpen()) {
        serial_->write("G+");
        return;
    }
    if (attemptsLeft > 1) {
        QTimer::singleShot(options_.waitMs, this, [this, generation, attemptsLeft] {
            WaitForOpenPort(generation, attemptsLeft - 1);
        });
    }
}

void ReceiverLink::ClosePort() {
    ++openGeneration_;
    if (serial_->isOpen()) {
        serial_->close();
        if (onPortState) onPortState(false);
    }
}

bool ReceiverLink::portOpen() const {
    return serial_->isOpen();
}

void ReceiverLink::ReadSerial() {
    const QByteArray bytes = serial_->readAll();
    const std::string_view chunk(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    packet1_->Feed(chunk);
    packet2_->Feed(chunk);
    packet3_->Feed(chunk);
    packetPgr_->Feed(chunk);
}

int ReceiverLink::adsbtimerTimer() {
    engine_.input().options.tcas = settings_.cbtcas;
    emitter_->SetPressure(HpaOf(settings_), TransitionAltitudeOf(settings_));
    const int sent = engine_.Poll([this](const TSBSFlight& r) { emitter_->Queue(r); });
    emitter_->Flush();
    if (onPoll) onPoll();
    return sent;
}

std::uint16_t ReceiverLink::udpPort() const {
    return udp_ ? udp_->localPort() : 0;
}

std::uint16_t ReceiverLink::listenerPort() const {
    return emitter_->port();
}

void ReceiverLink::SetLocalListener(std::function<void(std::string_view datagram)> listener) {
    emitter_->SetLocalListener(std::move(listener));
}

std::uint64_t ReceiverLink::reportsSent() const {
    return emitter_->sent;
}

}  // namespace aerova
