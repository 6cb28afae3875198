#pragma once
// The ATC console (`Tfoconsole`, caption "ATC console"): a sizeable tool window on top of the
// others. The top panel (`Panel1`) holds the home airport, its position lists and the
// switches; below lie the departures, arrivals and local lists, and the caption bar of the
// departures carries the view buttons. The window binds its controls to AtcConsoleState.

#include <QColor>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "tools/atc_console.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class QToolButton;

namespace aerova {

struct AtcConsoleHooks {
    AtcRadarWindows* radars = nullptr;  // the view buttons do nothing without them
    std::string stationDir;             // where "blacklist.txt" lies
    // "ONG", the airport code or the blacklist changed (report ingest reads them).
    std::function<void()> changed;
    // The window was closed by the user (the main window's `sbatc` is released).
    std::function<void()> closed;
};

class AtcConsoleWindow : public QWidget {
  public:
    AtcConsoleWindow(AtcConsoleState& state, AtcConsoleHooks hooks, QWidget* parent = nullptr);

    // The controls show the state again (after a settings load).
    void Refresh();
    // The three lists show the state's entries (after the tick emptied them).
    void RefreshLists();
    // The lists' background ("No-pos-list bkgnd").
    void SetListBackground(const QColor& colour);
    // The list heights as the splitter shows them, into the state (before a save).
    void StoreListHeights();

    // Controls by their names, for the station and tests: "edroute", "Button1", "Button3",
    // "Button4", "spbONG", "spbfilsq", "sbarrs", "sbdeps", "sbsq", "edsq1".."edsq4",
    // "cblat0".."cblong2", "Panel1", "lblocal", "lbarrs", "lbsq".
    QWidget* control(const QString& name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildPanel();
    void BuildLists();
    void ApplyListHeights();
    void TogglePanel();
    void Changed();

    AtcConsoleState& state_;
    AtcConsoleHooks hooks_;
    QWidget* panel_ = nullptr;
    QLineEdit* edroute_ = nullptr;
    std::array<QComboBox*, kAtcPositionLists> position_{};
    QToolButton* spbONG_ = nullptr;
    QToolButton* spbfilsq_ = nullptr;
    QToolButton* sbarrs_ = nullptr;
    QToolButton* sbdeps_ = nullptr;
    QToolButton* sbsq_ = nullptr;
    std::array<QLineEdit*, 4> edsq_{};
    QPushButton* button4_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* button1_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QListWidget* lblocal_ = nullptr;
    QListWidget* lbarrs_ = nullptr;
    QListWidget* lbsq_ = nullptr;
    bool refreshing_ = false;
    int panelShare_ = 0;  // the height the hidden panel took from the window
};

}  // namespace aerova
