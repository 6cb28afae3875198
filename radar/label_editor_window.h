#pragma once
// The label editor window (`Tlabeleditor`, "Aerova Label Editor").
//
// "Labels": the tabs of pages 0 to 3 over their sixteen slot boxes, the format boxes, the
// live preview of the page shown (the composer on the built-in sample) and "Copy from prev
// page". "KML": the options of the KML servers, the aircraft template file with "Save"
// (edits take effect on "Reload"), "Run Aircraft view", "Run Cockpit view" and "Reload".
// Further tabs show the vessel names, the AIS log, the MID list and the log.
//
// The rules are radar/label_editor_state.h; the window binds its widgets to them. The
// window is created hidden when the program starts: creating it reads the label file, so
// `layout()` is what the radar windows draw from the first frame. Questions and messages go
// through the hooks; without them every question is answered "yes" and messages are dropped.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "radar/label_editor_state.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTabWidget;

namespace aerova {

class LabelEditorWindow : public QWidget {
  public:
    // Reads "aerova-labelman.ini" and the aircraft template under `stationDir`.
    explicit LabelEditorWindow(std::string stationDir, QWidget* parent = nullptr);

    // The layout the radar windows draw; it changes with every slot and format box.
    const LabelLayout& layout() const { return state_.layout; }
    const LabelEditorState& state() const { return state_; }
    // Setting flightstats/marklabel: the preview's "°" before a routed flight.
    void SetMarkLabel(bool markLabel);

    const KmlEditorOptions& kmlOptions() const { return kml_; }
    // Puts the options into the controls (after the settings were read, or after "Reload"
    // switched "Use dynamic script" off); no hook is called.
    void SetKmlOptions(const KmlEditorOptions& options);

    // The reference lists shown: vessel names ("aerova-routes/ais.txt"), the AIS log, the
    // MID list and the log, one line each (Latin-1).
    void SetVesselLists(const std::vector<std::string>& names,
                        const std::vector<std::string>& aisLog,
                        const std::vector<std::string>& midList);
    void SetLogList(const std::vector<std::string>& lines);

    // Any change of the layout (slot, format, page copy, "Cancel"): the radar windows redraw.
    std::function<void(const LabelLayout&)> onLayoutChanged;
    // The layout was written to the file ("Accept", "OK", closing).
    std::function<void(const LabelLayout&)> onLayoutAccepted;
    // A KML option changed.
    std::function<void(const KmlEditorOptions&)> onKmlOptionsChanged;
    // "Reload": the owner reloads the KML templates and restarts the servers.
    std::function<void()> onReload;
    // The window closed: the owner releases the radar windows' "Label editor" buttons.
    std::function<void()> onClosed;
    // A key the window's controls did not take: radar window 2 when it has the focus,
    // otherwise radar window 1. True when it was a command.
    std::function<bool(const QKeyEvent&)> onKey;
    // Opens a file with the program registered for it (QDesktopServices in the desktop).
    std::function<bool(const std::string& path)> open;
    std::function<bool(const std::string& question, const std::string& title)> ask;
    std::function<void(const std::string& text, const std::string& title)> message;

    // The commands, as the buttons run them.
    void SelectTab(int tab);
    void ChooseSlot(int line, int slot, int index);
    void ChooseFormat(int choice, int index);
    void CopyPreviousPage();  // asks first
    bool Accept();            // false (and a message) when the file was not written
    void Ok();
    void Cancel();
    bool SaveTemplate();
    bool RunView(const char* linkFile);  // kEditorAircraftLink or kEditorCockpitLink
    void Reload();

    // The preview's four lines as shown.
    QStringList previewLines() const;
    QString templateText() const;
    std::string templatePath() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* BuildLabelTab();
    QWidget* BuildKmlTab();
    QListWidget* AddListTab(const char* name, const char* caption);
    void ShowPage();
    void ShowFormats();
    void ShowPreview();
    void ShowKmlOptions();
    void LoadTemplate();
    void LayoutChanged();
    void PlaceWindow();
    bool Ask(const std::string& question, const std::string& title) const;
    void Message(const std::string& text, const std::string& title) const;

    std::string stationDir_;
    LabelEditorState state_;
    KmlEditorOptions kml_;
    bool markLabel_ = true;
    bool templateLatin1_ = false;  // the template file was not UTF-8: saved back as it came
    bool closingByOk_ = false;

    QTabWidget* sections_ = nullptr;
    QTabBar* tclabel_ = nullptr;
    std::array<std::array<QComboBox*, kLabelSlots>, kLabelLines> slots_{};
    std::vector<QComboBox*> formats_;
    QLabel* preview_ = nullptr;
    QPushButton* copyPrevious_ = nullptr;
    // KML
    std::vector<std::pair<QCheckBox*, bool KmlEditorOptions::*>> kmlChecks_;
    QComboBox* iconscale_ = nullptr;
    QPlainTextEdit* template_ = nullptr;
    // Lists
    QListWidget* aisNames_ = nullptr;
    QListWidget* aisLog_ = nullptr;
    QListWidget* midList_ = nullptr;
    QListWidget* log_ = nullptr;
};

}  // namespace aerova
