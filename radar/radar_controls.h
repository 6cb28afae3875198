#pragma once
// The controls of a radar window: the control bar `pncp` along the bottom and the side
// panels " RADAR" (`Panel4`), " TARGETS" (`Panel2`) and " COLORS" (`Panel3`) at the right.
// Every control writes the window's display state (or the station's, through the window's
// services) and asks for a redraw; `Sync` shows the state again without running handlers.
// Controls that both windows share are copied to the twin before their action runs.

#include <QObject>
#include <QString>
#include <cstdint>
#include <map>

class QAbstractButton;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;
class QWidget;

namespace aerova {

class RadarWindow;
struct RadarWindowServices;

class RadarControls : public QObject {
  public:
    RadarControls(RadarWindow& window, RadarWindowServices& services, QWidget* radarPanel);

    QWidget* root() const { return root_; }  // the whole window area: panel, bar, panels
    QWidget* controlBar() const { return pncp_; }
    QFrame* panel(const char* name) const;
    // A control by its name (`spbradar1`, `cbrings`, `oksymbol`, `sbpaste` ...).
    QWidget* control(const QString& name) const;
    QToolButton* button(const QString& name) const;
    QComboBox* combo(const QString& name) const;
    QListWidget* list(const QString& name) const;

    void Sync();
    // The side panels' list heights: with q = list area / 4 and v = q - 5, the four lists
    // at 15, q + 5, 2v + 15 and 3v + 20, v high (the first q - 15).
    void LayoutColourPanel();
    // The activity lamp (`ALed1`): lit while data arrive, in a colour of blue-green-red
    // byte order (0x00FF00 green, 0x0000FF red); dark it is grey.
    void SetLamp(bool lit, std::uint32_t colour = 0x00FF00);
    bool lampLit() const { return lampLit_; }
    std::uint32_t lampColour() const { return lampColour_; }
    void SetButtonDown(const QString& name, bool down);  // without running its action

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControlBar();
    QFrame* BuildPanel(const char* name, const char* header, const char* button);
    void BuildRadarPanel();
    void BuildTargetsPanel();
    void BuildColoursPanel();
    QToolButton* AddButton(QWidget* parent, const QString& name, const QString& text,
                           const QString& hint, bool toggle);
    QComboBox* AddCombo(QWidget* parent, const QString& name, const QStringList& items,
                        const QString& hint = {});
    void Changed();  // redraw after a control changed the state
    void Mirror(const std::function<void(RadarControls&)>& apply);
    void TimeoutChanged();
    void ColourListDoubleClicked(int item);
    void EditUserColour(int item);
    void ShowPanelHeader(const QString& text);

    RadarWindow& window_;
    RadarWindowServices& services_;
    QWidget* root_ = nullptr;
    QWidget* pncp_ = nullptr;
    QLabel* lamp_ = nullptr;
    bool lampLit_ = false;
    std::uint32_t lampColour_ = 0x00FF00;
    std::map<QString, QWidget*> controls_;
    std::map<QString, QFrame*> panels_;
    bool syncing_ = false;
};

}  // namespace aerova
