#pragma once
// ReceiverLink: the Qt shell of the receiver link. It owns the UDP 7933 listener, the serial
// port with its packet recognisers, the 1053 ms receiver poll and the report sender, and
// drives the plain ReceiverEngine from the event loop. Everything runs on the thread that
// owns the object (the station's main thread).

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/day_time.h"
#include "receiver/frame_decoder.h"
#include "receiver/receiver_engine.h"
#include "receiver/receiver_settings.h"

class QSerialPort;
class QTimer;

namespace aerova {

// UDP port of frame texts from programs on the network (shifted by the port offset).
constexpr int kReceiverInputPort = 7933;

class PacketRecognizer;
class ReportEmitter;
class UdpIntake;

// The radar windows' baud list (`cbbaudrate`); the port's rate is set as a custom rate.
constexpr std::int32_t kBaudRates[] = {115200, 833333, 921600, 1000000, 3000000};

class ReceiverLink : public QObject {
  public:
    struct Options {
        std::string stationDir;             // raw logs go to <stationDir>/aerova-logs
        int portOffset = 0;                 // added to 7933 and to the listener port 7979
        bool nosrv = false;                 // "nosrv": the UDP 7933 listener stays closed
        bool listenOnLoopbackOnly = false;  // tests: bind 127.0.0.1 instead of every address
        std::function<DayTime()> utcNow;    // the station's UtcNow
        int waitMs = 1000;                  // the waits of the port opening and the first parse
        int pollIntervalMs = 1053;
    };

    // `settings` is the receiver settings state (TForm11), read at every poll for the
    // "TCAS" switch, QNH and transition altitude. `decoder` null: the Mode-S decoder.
    ReceiverLink(Options options, ReceiverSettings& settings, FrameDecoder* decoder = nullptr,
                 QObject* parent = nullptr);
    ~ReceiverLink() override;

    // Start of reception: opens UDP 7933 (unless nosrv), applies the receiver position
    // (StartReceiverEngine), parses once after the wait and starts the poll timer.
    // False when the UDP port could not be bound (reception runs without it).
    bool Start();
    // Stops the timer, closes the UDP socket and the serial port.
    void Stop();

    // Save and close / From screen center: applies the settings' position to the decoder.
    void ApplyReceiverPosition();
    // "Raw log" ticked/unticked; "TCAS" ticked while "Raw log" is ticked starts a new file.
    void cbrawlogClick(bool ticked);
    void cbtcasClick(bool ticked);

    // cbusbportClick, port button down: baud rate, port name, close/wait/open, and in
    // PlaneGadget mode the wait for the open port and "G+".
    void OpenPort(const QString& portName, std::int32_t baudRate, bool planeGadget);
    // Port button up.
    void ClosePort();
    bool portOpen() const;
    bool planeGadget() const { return engine_.input().options.planeGadget; }
    const QString& lastPort() const { return lastPort_; }

    // One tick of the 1053 ms poll (also run by the timer). Returns the reports sent.
    int adsbtimerTimer();

    ReceiverEngine& engine() { return engine_; }
    const ReceiverEngine& engine() const { return engine_; }
    std::uint16_t udpPort() const;       // the bound UDP 7933 (+offset) port, 0 when closed
    std::uint16_t listenerPort() const;  // where reports go: 7979 + offset
    std::uint64_t reportsSent() const;
    // The report listener lives in this program: the reports are handed to it in-process
    // (ReportEmitter::SetLocalListener).
    void SetLocalListener(std::function<void(std::string_view datagram)> listener);

    // Called after every poll, for the windows to show the indicator and tray state.
    std::function<void()> onPoll;
    // Called whenever the serial port opens, closes or fails to open.
    std::function<void(bool open)> onPortState;
    // Called when the receiver has gone away (unplugged, or a write failed): the port is
    // closed already; the windows turn their activity indicators red.
    std::function<void()> onReceiverLost;

  private:
    void ReadSerial();
    void OpenAfterWait(int generation);
    void WaitForOpenPort(int generation, int attemptsLeft);

    Options options_;
    ReceiverSettings& settings_;
    std::unique_ptr<FrameDecoder> ownDecoder_;
    ReceiverEngine engine_;
    std::unique_ptr<ReportEmitter> emitter_;
    UdpIntake* udp_ = nullptr;
    QSerialPort* serial_ = nullptr;
    QTimer* pollTimer_ = nullptr;
    std::unique_ptr<PacketRecognizer> packet1_, packet2_, packet3_, packetPgr_;
    QString lastPort_;
    int openGeneration_ = 0;  // a newer open or close cancels the waits of an older one
};

}  // namespace aerova
