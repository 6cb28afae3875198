#pragma once
// The alert manager ("Alert manager"): the picture job's fields with its Start/Stop, the mail
// account and alert switches with "Test", and the list of followed flights. The window keeps
// no logic of its own: it writes its fields into the picture job, the mail sessions and the
// alert list that ingest matches against.

#include <QWidget>
#include <functional>
#include <string>

#include "core/alert_list.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace aerova {

class MailAlerts;
class PictureJob;

class AlertManagerWindow : public QWidget {
  public:
    // `entries` and the switches are the alert list ingest reads; `emergency` is the
    // station network's "Send alert mail on Emergency Squawks".
    AlertManagerWindow(PictureJob& job, MailAlerts& mail, AlertListState& alerts, bool& emergency,
                       QWidget* parent = nullptr);

    // "Start"/"Stop"; the button's caption follows the job.
    void StartStop();
    // The list again from the alert list (a match may have unchecked an entry).
    void RefreshList();
    void SetProgress(const std::string& text);
    // Runs when the window is hidden (its main-window button is released).
    std::function<void()> onHidden;

    // The controls by name, for tests and the settings.
    QLineEdit* field(const char* name) const;
    QCheckBox* check(const char* name) const;
    QComboBox* cbinterval() const { return cbinterval_; }
    QComboBox* cbsize() const { return cbsize_; }
    QPushButton* bustart() const { return bustart_; }
    QPushButton* butest() const { return butest_; }
    QTreeWidget* alertList() const { return list_; }
    QLabel* progress() const { return progress_; }
    void Add();
    void DeleteEdit();

  protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void PushJobSettings();
    void PushMailSettings();
    void PushAlertSwitches();
    void WriteListBack();

    PictureJob& job_;
    MailAlerts& mail_;
    AlertListState& alerts_;
    bool& emergency_;
    QComboBox* cbinterval_ = nullptr;
    QComboBox* cbsize_ = nullptr;
    QPushButton* bustart_ = nullptr;
    QPushButton* butest_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* progress_ = nullptr;
    bool filling_ = false;
};

}  // namespace aerova
