#include "app/desktop_alerts.h"

#include <QApplication>
#include <QPushButton>
#include <QToolButton>

#include "app/desktop_station.h"
#include "app/main_window.h"
#include "distribution/alert_manager_window.h"
#include "distribution/miniview_window.h"
#include "radar/radar_gl_widget.h"
#include "radar/radar_picture.h"
#include "radar/radar_window.h"

namespace aerova {

namespace {

// The busy cursor while a picture is taken, restored on every way out.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

constexpr int kPictureQuality = 80;

}  // namespace

DesktopAlerts::DesktopAlerts(DesktopStation& desk) : desk_(desk) {
    StationServices& services = desk_.services();
    MainWindow& main = desk_.mainWindow();

    miniView_ = std::make_unique<MiniViewWindow>(services.pollSettings, services.serverOptions,
                                                 services.serverUpdatesOnly);
    miniView_->onChanged = [&services] { services.ApplyMiniSettings(); };
    miniView_->onPolling = [this, &services](bool on) {
        services.SetPolling(on);
        miniView_->SetPolling(services.poller().active());
    };
    miniView_->onHidden = [&main] { main.SetButtonDown("spbmini", false); };
    connect(main.button("spbmini"), &QToolButton::toggled, this, [this, &services](bool down) {
        if (down) {
            miniView_->ShowSettings();
            miniView_->SetPolling(services.poller().active());
            miniView_->show();
            miniView_->raise();
        } else {
            miniView_->hide();
        }
    });

    window_ =
        std::make_unique<AlertManagerWindow>(services.pictureJob(), services.mail(),
                                             services.alerts, services.networkSettings.cbemergency);
    window_->onHidden = [&main] { main.SetButtonDown("spbftp", false); };
    connect(main.button("spbftp"), &QToolButton::toggled, this, [this](bool down) {
        if (down) {
            window_->show();
            window_->raise();
        } else {
            window_->hide();
        }
    });
    services.SetAlertDesk(this);
}

DesktopAlerts::~DesktopAlerts() {
    desk_.services().SetAlertDesk(nullptr);
}

bool DesktopAlerts::RadarVisible(int tag) const {
    return desk_.radar(tag).isVisible();
}

void DesktopAlerts::ResizeRadar2(int width, int height) {
    RadarWindow& w = desk_.radar(2);
    // The picture is the radar panel: the window grows by what its bars and panels take.
    const QSize panel = w.pnradar().size();
    w.resize(w.width() + width - panel.width(), w.height() + height - panel.height());
}

std::optional<std::string> DesktopAlerts::CaptureJpeg(int tag) {
    RadarWindow& w = desk_.radar(tag);
    if (!w.isVisible()) return std::nullopt;
    Station::CyclePause pause(desk_.station());
    BusyCursor cursor;
    return EncodeJpeg(w.GrabPicture(), kPictureQuality);
}

void DesktopAlerts::Message(const std::string& text, const std::string& title) {
    desk_.Message(text, title);
}

void DesktopAlerts::SetIndicator(UploadIndicator indicator) {
    desk_.mainWindow().SetUploadIndicator(indicator);
    // The upload button stays down while the job runs: window 2 cannot be hidden then.
    if (window_)
        window_->bustart()->setText(desk_.services().pictureJob().active() ? "Stop" : "Start");
}

void DesktopAlerts::SetCaption(const std::string& caption) {
    desk_.mainWindow().setWindowTitle(QString::fromLatin1(caption.data(), int(caption.size())));
}

void DesktopAlerts::SetProgress(const std::string& text) {
    if (window_) window_->SetProgress(text);
}

void DesktopAlerts::WriteErrorLog(const std::string& text) {
    desk_.station().WriteErrorLog(text);
}

}  // namespace aerova
