#pragma once
// The window "BST control" (`Tfodb`, the database and log-file manager): "Save to bst file"
// opens and closes the BaseStation list files, the panel `pnbst` is green while they are
// open, and the switches of the list files, the aircraft database, the aircraft XML files
// and the flight label mark. The window binds the fields that hold these switches; the
// owner runs the list files and the dialog.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QCheckBox;
class QFrame;
class QKeyEvent;
class QToolButton;

namespace aerova {

struct BstControlFields {
    bool& spbbstfile;                  // "Save to bst file" is down
    bool& cbsavenopos;                 // "Save no-pos flights"
    bool& cbselectedflight;            // "Save user color flights only"
    bool& cbrestartBST1;               // "Restart BST at midnight"
    const std::uint32_t& pnbstColour;  // red + 256 green + 65536 blue
    bool& cbsavexml;                   // "Save to XML": files for new network targets
    bool& cbcreatesql;                 // unknown aircraft enter the database
    bool& cbcreatetextlog;             // entered aircraft go to the new-aircraft log
    bool& cbmarklabel;                 // "Mark flight label (°)" before routed flights
};

struct BstControlWindowHooks {
    // "Save to bst file" went down or up (the field holds the new state); the owner opens
    // or closes the list files and may release the button again (dialog cancelled).
    std::function<void()> spbbstfileClick;
    // A switch changed, by its control name.
    std::function<void(const std::string& control)> changed;
    std::function<void(QKeyEvent*)> key;  // keys no control takes go on to a radar window
    std::function<void()> closed;         // the `spbdb` buttons are released
};

class BstControlWindow : public QWidget {
  public:
    BstControlWindow(BstControlFields fields, BstControlWindowHooks hooks,
                     QWidget* parent = nullptr);

    // The button, the panel colour and the switches again from the fields.
    void Refresh();

    QToolButton* spbbstfile() const { return spbbstfile_; }
    QFrame* pnbst() const { return pnbst_; }
    QCheckBox* check(const std::string& name) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QCheckBox* AddCheck(const char* name, const QString& caption, bool& field);

    BstControlFields fields_;
    BstControlWindowHooks hooks_;
    QToolButton* spbbstfile_ = nullptr;
    QFrame* pnbst_ = nullptr;
    std::map<std::string, std::pair<QCheckBox*, bool*>> checks_;
    bool filling_ = false;
};

}  // namespace aerova
