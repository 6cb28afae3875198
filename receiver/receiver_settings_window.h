#pragma once
// The receiver settings window `TForm11`, caption "Configuration": a tool window on top that
// binds the receiver's home position, QNH, transition altitude, METAR airport and the link
// switches to ReceiverSettings, and shows the station-network controls of the master/slave
// relaying. The window only binds controls; the owner applies, saves and fetches.

#include <QColor>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "receiver/receiver_settings.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace aerova {

// The station-network controls the window shows, bound to the fields that hold them.
struct ReceiverNetworkFields {
    std::string& edserverpw;    // password
    bool& cbmaster;             // "Master for"
    std::string& edmasterip;    // master host
    std::string& edmasterport;  // master port
    bool& cbslave;              // "Slave (port 7979)"
};

// A view centre in degrees.
struct ScreenCentre {
    double lat = 0;
    double lon = 0;
};

struct ReceiverSettingsWindowHooks {
    // Radar window 1's view centre, or nothing while that window is hidden.
    std::function<std::optional<ScreenCentre>()> screenCentre;
    // The decoder takes the settings' position (StartReceiverEngine).
    std::function<void()> applyPosition;
    // Writes "aerovas.sbs.ini"; false when it could not be written.
    std::function<bool()> save;
    std::function<void(bool on)> autoQnh;  // "Auto QNH" ticked or unticked
    std::function<void(bool on)> rawLog;   // "Raw log"
    std::function<void(bool on)> tcas;     // "TCAS"
    // A station-network control changed ("cbslave", "cbmaster", "edmasterip" ...).
    std::function<void(const std::string& control)> networkChanged;
    std::function<void(QKeyEvent*)> key;  // keys no control takes go on to a radar window
    std::function<void()> closed;         // the `spbdctconfig` buttons are released
};

class ReceiverSettingsWindow : public QWidget {
  public:
    ReceiverSettingsWindow(ReceiverSettings& settings, ReceiverNetworkFields network,
                           ReceiverSettingsWindowHooks hooks, QWidget* parent = nullptr);

    // The controls again from the state (after a load, a GPS fix or an Auto QNH result).
    void ShowSettings();
    // The "Auto QNH" box: its caption, text colour and, while fetching, a yellow background.
    void ShowAutoQnh(const std::string& caption, const QColor& text, bool waiting);

    // "Save and close" (Button1Click).
    void Button1Click();
    // "From screen center #1" (buscreen1Click).
    void buscreen1Click();

    QComboBox* combo(const char* name) const;
    QCheckBox* check(const char* name) const;
    QLineEdit* field(const char* name) const;
    QPushButton* pushButton(const char* name) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QComboBox* AddCombo(const char* name, const QStringList& items);
    QCheckBox* AddCheck(const char* name, const QString& caption);
    QLineEdit* AddField(const char* name);
    void BuildLists();
    void BindControls();
    void ReadPosition();

    ReceiverSettings& settings_;
    ReceiverNetworkFields network_;
    ReceiverSettingsWindowHooks hooks_;
    std::map<std::string, QWidget*> controls_;
    bool filling_ = false;
};

}  // namespace aerova
