#pragma once
// The desktop's side of the receiver settings window "Configuration": shown by the
// `spbdctconfig` buttons of the main and both radar windows, bound to the receiver
// settings, the receiver link (position, raw log, TCAS), Auto QNH and the master/slave
// controls of the report listener. Closing it releases the three buttons.

#include <QObject>
#include <memory>

namespace aerova {

class DesktopStation;
class ReceiverSettingsWindow;
struct AutoQnhState;

class DesktopReceiverConfig : public QObject {
  public:
    explicit DesktopReceiverConfig(DesktopStation& desk);
    ~DesktopReceiverConfig() override;

    ReceiverSettingsWindow& window() { return *window_; }
    // The `spbdctconfig` buttons went down (show) or up (hide).
    void Show(bool shown);
    // After a settings load (and at the start of reception): the controls from the state.
    void SettingsLoaded();

  private:
    void ShowAutoQnh(const AutoQnhState& state);
    void SetButtons(bool down);
    void NetworkChanged(const std::string& control);

    DesktopStation& desk_;
    std::unique_ptr<ReceiverSettingsWindow> window_;
};

}  // namespace aerova
