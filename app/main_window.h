#pragma once
// The main window (`TForm1`): caption "Aerova mini Edition", 262 pixels wide, its strip of
// toggle buttons and the list of today's new aircraft. The window only binds buttons to
// callbacks; the desktop station acts on them.

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "distribution/alert_manager_host.h"

class QComboBox;
class QLabel;
class QListWidget;
class QToolButton;

namespace aerova {

class MainWindow : public QWidget {
  public:
    explicit MainWindow(QWidget* parent = nullptr);

    // The button by its name (`spbradar1`, `spbquit` ...); nullptr for an unknown name.
    QToolButton* button(const QString& name) const;
    // Sets a toggle button's state without running its action.
    void SetButtonDown(const QString& name, bool down);

    std::function<void(int tag, bool show)> onRadarButton;  // spbradar1, spbradar2
    std::function<void()> onMinimise;                       // spbMin
    std::function<void()> onQuit;                           // spbquit
    // spbSave, spbload with the name the configuration list shows.
    std::function<void(const std::string&name)> onSaveConfig, onLoadConfig;

    // The configuration list `cbconfig`: its names and the one shown (editable, so a new
    // set can be named).
    void SetConfigList(const std::vector<std::string>& names, const std::string& shown);
    std::string ConfigShown() const;
    QComboBox* cbconfig() const { return cbconfig_; }
    // The upload/mail indicator (`shpftp`): normal, grey, yellow while working, green, red.
    void SetUploadIndicator(UploadIndicator indicator);
    UploadIndicator uploadIndicator() const { return indicator_; }
    // The new-aircraft list: today's "aerova-bst/log/<date>.new.log".
    void SetNewAircraftList(const std::vector<std::string>& lines);
    QListWidget* lbnew() const { return lbnew_; }
    // The close question and shut-down; false keeps the program running.
    std::function<bool()> onCloseQuery;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QToolButton* AddButton(const QString& name, const QString& text, const QString& hint,
                           bool toggle, bool enabled);
    std::map<QString, QToolButton*> buttons_;
    QComboBox* cbconfig_ = nullptr;
    QLabel* shpftp_ = nullptr;
    QListWidget* lbnew_ = nullptr;
    UploadIndicator indicator_ = UploadIndicator::kNormal;
    bool closing_ = false;
};

}  // namespace aerova
