#pragma once
// The peers window `TForm3`, caption "Peers kicklist - Master/slave": the sorted check list
// of heard stations (`cbpeers`), "Kick all", "Show all", "Close", and the switches "Dead
// horse" and "except local". It binds PeersWindowState; the check marks live only here.

#include <QWidget>
#include <functional>

#include "distribution/station_network.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace aerova {

struct PeersWindowHooks {
    // "Dead horse" or "except local" changed ("cbskip", "cbexceptlocal").
    std::function<void(const char* control)> changed;
    std::function<void()> closed;  // the main window releases `spbpeers`
};

class PeersWindow : public QWidget {
  public:
    PeersWindow(PeersWindowState& state, PeersWindowHooks hooks, QWidget* parent = nullptr);

    // The list and the switches again from the state (new stations enter every tick).
    void Refresh();

    QListWidget* cbpeers() const { return cbpeers_; }
    QCheckBox* cbskip() const { return cbskip_; }
    QCheckBox* cbexceptlocal() const { return cbexceptlocal_; }
    QPushButton* pushButton(const char* name) const;

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    PeersWindowState& state_;
    PeersWindowHooks hooks_;
    QListWidget* cbpeers_ = nullptr;
    QCheckBox* cbskip_ = nullptr;
    QCheckBox* cbexceptlocal_ = nullptr;
    bool filling_ = false;
};

}  // namespace aerova
