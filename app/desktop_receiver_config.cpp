#include "app/desktop_receiver_config.h"

#include <QKeyEvent>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/key_router.h"
#include "app/main_window.h"
#include "radar/radar_controls.h"
#include "radar/radar_window.h"
#include "receiver/receiver_settings_window.h"

namespace aerova {

namespace {
constexpr char kButton[] = "spbdctconfig";
}

DesktopReceiverConfig::DesktopReceiverConfig(DesktopStation& desk) : desk_(desk) {
    StationServices& services = desk_.services();
    IngestSettings& ingest = services.ingestSettings;
    ReceiverNetworkFields network{services.serverOptions.serverpwd, ingest.cbmaster,
                                  ingest.edmasterip, ingest.edmasterport, ingest.cbslave};
    ReceiverSettingsWindowHooks hooks;
    hooks.screenCentre = [this]() -> std::optional<ScreenCentre> {
        RadarWindow& radar = desk_.radar(1);
        if (!radar.isVisible()) return std::nullopt;
        return ScreenCentre{radar.view().centreLat, radar.view().centreLon};
    };
    hooks.applyPosition = [this] { desk_.services().receiver().ApplyReceiverPosition(); };
    hooks.save = [this] {
        return SaveReceiverSettings(ReceiverSettingsPath(desk_.station().stationDir()),
                                    desk_.services().receiverSettings);
    };
    hooks.autoQnh = [this](bool on) { desk_.services().metar().SetAutoQnh(on); };
    hooks.rawLog = [this](bool on) { desk_.services().receiver().cbrawlogClick(on); };
    hooks.tcas = [this](bool on) { desk_.services().receiver().cbtcasClick(on); };
    hooks.networkChanged = [this](const std::string& control) { NetworkChanged(control); };
    // Keys no control takes act as in the radar window that was active last.
    hooks.key = [this](QKeyEvent* key) {
        if (key) desk_.keyRouter().lastActive().Route(KeyPressFromEvent(*key));
    };
    hooks.closed = [this] { SetButtons(false); };
    window_ = std::make_unique<ReceiverSettingsWindow>(services.receiverSettings, network,
                                                       std::move(hooks));

    MetarService& metar = services.metar();
    const auto previous = metar.autoQnhChanged;
    metar.autoQnhChanged = [this, previous](const AutoQnhState& state) {
        if (previous) previous(state);
        ShowAutoQnh(state);
    };

    QToolButton* button = desk_.mainWindow().button(kButton);
    button->setEnabled(true);
    connect(button, &QToolButton::toggled, this, [this](bool down) { Show(down); });
}

DesktopReceiverConfig::~DesktopReceiverConfig() {
    desk_.services().metar().autoQnhChanged = nullptr;
}

void DesktopReceiverConfig::Show(bool shown) {
    if (shown) {
        window_->ShowSettings();
        window_->show();
        window_->raise();
    } else {
        window_->hide();
    }
    SetButtons(shown);
}

void DesktopReceiverConfig::SetButtons(bool down) {
    desk_.mainWindow().SetButtonDown(kButton, down);
    for (int tag = 1; tag <= 2; ++tag) desk_.radar(tag).controls().SetButtonDown(kButton, down);
}

void DesktopReceiverConfig::SettingsLoaded() {
    window_->ShowSettings();
}

void DesktopReceiverConfig::NetworkChanged(const std::string& control) {
    StationServices& services = desk_.services();
    // "Slave" only narrows what ingest accepts and silences the announcements: the report
    // listener stays open, since the station's own receiver reports arrive through it too.
    if (control == "cbslave") services.networkSettings.cbslave = services.ingestSettings.cbslave;
    // The password is the data servers' own.
    if (control == "edserverpw") services.ApplyMiniSettings();
}

void DesktopReceiverConfig::ShowAutoQnh(const AutoQnhState& state) {
    switch (state.look) {
        case AutoQnhLook::kPlain:
            window_->ShowAutoQnh(state.caption, Qt::black, false);
            break;
        case AutoQnhLook::kWaiting:
            window_->ShowAutoQnh(state.caption, Qt::black, true);
            break;
        case AutoQnhLook::kFound:
            window_->ShowAutoQnh(state.caption, QColor(0, 128, 0), false);
            break;
        case AutoQnhLook::kFailed:
            window_->ShowAutoQnh(state.caption, QColor(255, 0, 0), false);
            break;
    }
}

}  // namespace aerova
