#pragma once
// The ICOM PCR-1000 frequency monitor behind the main window's `sbpcr1000`: a UDP listener
// for the frequency readings a scanner program sends, with its own small settings file
// "pcrmon.ini" (section "udp": `port`; section "window": `left`, `top`). It shows the last
// reading in a small window; nothing else in the station uses the readings.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QUdpSocket;

namespace aerova {

// Port of the readings when "pcrmon.ini" names none (shifted by the port offset).
constexpr int kPcrMonitorPort = 7934;

// A reading as the window shows it: printable ASCII up to the first line end, at most 64
// characters; "" when nothing printable is left.
std::string PcrReadingText(std::string_view datagram);

class PcrMonitorWindow : public QWidget {
  public:
    // `stationDir` holds "pcrmon.ini"; `portOffset` shifts the port.
    PcrMonitorWindow(std::string stationDir, int portOffset, QWidget* parent = nullptr);
    ~PcrMonitorWindow() override;

    // Opens the listener and shows the window; false (window hidden) when the port can't
    // be bound. Stop closes the listener and hides the window.
    bool Start();
    void Stop();
    bool listening() const;
    std::uint16_t port() const;
    const std::string& lastReading() const { return last_; }
    const std::string& error() const { return error_; }
    // The window was closed by the user: the listener is closed too.
    std::function<void()> onClosed;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Read();
    void SavePlace() const;

    std::string stationDir_;
    int portOffset_ = 0;
    QUdpSocket* socket_ = nullptr;
    QLabel* reading_ = nullptr;
    std::string last_, error_;
};

}  // namespace aerova
