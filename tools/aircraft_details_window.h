#pragma once
// The Aircraft Details window (caption "Aerova Aircraft Details"): the fields of one flight
// and the tabs "Flight status", "Flight plan", "Image search" and "Database". Pages of the
// outside sites open in the desktop's browser; the window binds its controls to
// AircraftDetailsState and leaves the lookup and the table to its hooks.

#include <QWidget>
#include <functional>
#include <string>

#include "tools/aircraft_details.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QUrl;

namespace aerova {

struct AircraftDetailsHooks {
    // Starts the flight-status lookup of a call sign; the result comes back through
    // AircraftDetailsWindow::Refresh after ApplyFlightStatus.
    std::function<void(const std::string& callSign, bool yesterday)> lookup;
    std::function<void()> label;         // "Label"
    std::function<void()> fileAndLabel;  // "File + Label"
    // Opens a page; without it the desktop's browser (QDesktopServices).
    std::function<void(const QUrl& url)> openUrl;
    std::function<void()> closed;
};

class AircraftDetailsWindow : public QWidget {
  public:
    AircraftDetailsWindow(AircraftDetailsState& state, AircraftDetailsHooks hooks,
                          QWidget* parent = nullptr);

    // The controls show the state again.
    void Refresh();
    // Controls by name: the fields "edposition" ... "edtype", "edflight", "cbyesterday",
    // "buflightstatus", "bulabel", "bufilelabel", "lbroutefile", "lbstatus", "buload",
    // "lbplan", "busearch", "lbimagesearch", "sgdatabase", "tabs".
    QWidget* control(const QString& name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* BuildStatusTab();
    QWidget* BuildPlanTab();
    QWidget* BuildImageTab();
    QWidget* BuildDatabaseTab();
    void Open(const std::string& address);

    AircraftDetailsState& state_;
    AircraftDetailsHooks hooks_;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* edflight_ = nullptr;
    QCheckBox* cbyesterday_ = nullptr;
    QPushButton* buflightstatus_ = nullptr;
    QPushButton* bulabel_ = nullptr;
    QPushButton* bufilelabel_ = nullptr;
    QLabel* lbstatus_ = nullptr;
    QLabel* lbroutefile_ = nullptr;
    QLabel* lbplan_ = nullptr;
    QLabel* lbimagesearch_ = nullptr;
    QTableWidget* sgdatabase_ = nullptr;
};

}  // namespace aerova
