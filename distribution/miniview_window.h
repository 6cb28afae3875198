#pragma once
// The MiniView window: the three server sets of the polling client (which remote station to
// ask, with which password, serial and options, how often), the active set, the polling
// client's start/stop, and the password and "Transmit updates only (1 client)" options of
// this station's own data servers. Every field writes the `mini` settings state at once.

#include <QWidget>
#include <array>
#include <functional>

#include "distribution/data_poller.h"
#include "distribution/data_request.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace aerova {

class MiniViewWindow : public QWidget {
  public:
    MiniViewWindow(PollSettings& poll, DataServerOptions& server, std::array<bool, 2>& updatesOnly,
                   QWidget* parent = nullptr);

    // The fields again from the state (after a settings load).
    void ShowSettings();
    // The polling client's state on the start/stop button.
    void SetPolling(bool on);

    // A field changed: the owner hands the state to the client and the servers.
    std::function<void()> onChanged;
    // Start (true) or stop the polling client.
    std::function<void(bool start)> onPolling;
    std::function<void()> onHidden;

    QComboBox* cbset() const { return cbset_; }
    QLineEdit* field(const char* name) const;
    QCheckBox* check(const char* name) const;
    QComboBox* cbinterval() const { return cbinterval_; }
    QPushButton* bupoll() const { return bupoll_; }

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void ReadFields();
    PollSet& set();

    PollSettings& poll_;
    DataServerOptions& server_;
    std::array<bool, 2>& updatesOnly_;
    QComboBox* cbset_ = nullptr;
    QComboBox* cbinterval_ = nullptr;
    QPushButton* bupoll_ = nullptr;
    bool filling_ = false;
    bool polling_ = false;
};

}  // namespace aerova
