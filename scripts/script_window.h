#pragma once
// The script window ("Aerova Panorama Script"): the alert script's editor, its file in
// aerova-scripts/, "Run" (check the script and keep the checked program), the execution
// interval and the error list, whose double click puts the editor's cursor on the statement
// a message names. The window holds the script; the settings hold its file name, the
// intervals and whether it runs.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "scripts/script_checker.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace aerova {

// Section "script" of the settings.
struct ScriptState {
    std::string filename;  // inside aerova-scripts/; loaded at start when it exists
    int execute = 120;     // seconds between runs, 30 to 600 in steps of 30
    int interval = 30;     // minutes, 10 to 120 in steps of 10 (its control is hidden)
    bool active = false;   // "Run" is down
    std::string openscript, savescript;  // the dialogs' last directories
};

// The file dialogs, injectable for tests: the chosen path, or nothing when cancelled.
struct ScriptWindowDialogs {
    std::function<std::optional<std::string>(const std::string& dir)> open;
    std::function<std::optional<std::string>(const std::string& dir, const std::string& name)> save;
    std::function<void(const std::string& text)> message;
};

class ScriptWindow : public QWidget {
  public:
    ScriptWindow(ScriptState& state, std::string scriptsDir, ScriptWindowDialogs dialogs = {},
                 QWidget* parent = nullptr);

    // At start: the settings' file from aerova-scripts/ when it is a plain name and exists,
    // then "Run" once when the settings say it was running.
    void Start();
    // "Load...." and "Save..." through the dialogs.
    void LoadCommand();
    bool SaveCommand();
    // A file of aerova-scripts/ into the editor, or the editor into it. False (the editor
    // unchanged, the name field emptied) when the file cannot be read or written, or lies
    // outside aerova-scripts/.
    bool Load(const std::string& path);
    bool Save(const std::string& path);
    // "Run" pressed or released.
    void SetRun(bool down);
    // The error list's double click: the editor's cursor to the statement of that message.
    void GoToError(int row);

    const ScriptCheck& checked() const { return checked_; }
    bool running() const;
    bool modified() const { return modified_; }
    QPlainTextEdit& editor() { return *editor_; }
    QListWidget& errorList() { return *errors_; }
    QLineEdit& fileName() { return *fileName_; }
    QPushButton& runButton() { return *run_; }
    QSlider& executeSlider() { return *execute_; }

    // The window was hidden: the main window releases its script button.
    std::function<void()> onHidden;

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void SetModified(bool modified);
    std::optional<std::string> InsideScripts(const std::string& path) const;
    void ShowExecute();

    ScriptState& state_;
    std::string scriptsDir_;
    ScriptWindowDialogs dialogs_;
    QLineEdit* fileName_ = nullptr;
    QPlainTextEdit* editor_ = nullptr;
    QListWidget* errors_ = nullptr;
    QPushButton* run_ = nullptr;
    QSlider* execute_ = nullptr;
    QSlider* interval_ = nullptr;
    QLabel* executeText_ = nullptr;
    ScriptCheck checked_;
    bool modified_ = false;
    bool loading_ = false;
};

}  // namespace aerova
