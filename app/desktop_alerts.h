#pragma once
// The desktop's side of the alert manager and the MiniView window: the radar pictures, the
// main window's indicator and caption, the dialogs, and the two windows bound to their
// main-window buttons.

#include <QObject>
#include <memory>

#include "distribution/alert_manager_host.h"

namespace aerova {

class AlertManagerWindow;
class DesktopStation;
class MiniViewWindow;

class DesktopAlerts : public QObject, public AlertManagerHost {
  public:
    explicit DesktopAlerts(DesktopStation& desk);
    ~DesktopAlerts() override;

    AlertManagerWindow& window() { return *window_; }
    MiniViewWindow& miniView() { return *miniView_; }

    bool HasRadarWindows() const override { return true; }
    bool RadarVisible(int tag) const override;
    void ResizeRadar2(int width, int height) override;
    std::optional<std::string> CaptureJpeg(int tag) override;
    void Message(const std::string& text, const std::string& title) override;
    void SetIndicator(UploadIndicator indicator) override;
    void SetCaption(const std::string& caption) override;
    void SetProgress(const std::string& text) override;
    void WriteErrorLog(const std::string& text) override;

  private:
    DesktopStation& desk_;
    std::unique_ptr<AlertManagerWindow> window_;
    std::unique_ptr<MiniViewWindow> miniView_;
};

}  // namespace aerova
