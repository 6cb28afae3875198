#pragma once
// The search window (`Tfosearch`, caption "Search"): the text field, the flight and
// waypoint searches, the view history buttons, the display choice and the result list,
// bound to a SearchState. The window sees its keys before its controls: Enter searches
// flights, a lone Shift waypoints, Up and Down step the history, End and Page Down go back
// to the entry view, Escape closes, Space raises the main window; the wheel zooms the
// chosen radar window.

#include <QWidget>
#include <functional>
#include <vector>

#include "radar/radar_input.h"
#include "tools/search.h"

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace aerova {

class SearchWindow : public QWidget {
  public:
    using WaypointTable = std::function<const std::vector<WaypointName>&()>;

    // `waypoints` gives the table as it is now (it is rebuilt by "Apply files").
    SearchWindow(FlightTable& table, WaypointTable waypoints, SearchDisplays& displays,
                 QWidget* parent = nullptr);
    ~SearchWindow() override;

    SearchState& state() { return state_; }
    // The controls show the state again (after a settings load).
    void Refresh();

    // The buttons' actions, also for tests.
    void Button1Click();  // "Flights"
    void Button2Click();  // "Waypoints"
    void Button3Click();  // "<<<"
    void Button6Click();  // ">>>"
    void Button5Click();  // "Entry screen"
    void Button4Click();  // "Entry screen + exit"

    QLineEdit& edit() { return *edit1_; }
    QListWidget& list() { return *list_; }
    // A control by its name: "Button1" ... "Button6", "search1", "search2", "follow".
    QAbstractButton* control(const char* name) const;

    // The window was hidden (Escape, the close box, "Entry screen + exit" or a caller).
    std::function<void()> onClosed;
    // Space: the main window to the front.
    std::function<void()> raiseMainWindow;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    bool KeyDown(int key);
    void ListDoubleClick(QListWidgetItem* item);
    void Wheel(int delta);

    FlightTable& table_;
    WaypointTable waypoints_;
    SearchDisplays& displays_;
    SearchState state_;
    ShiftTap shiftTap_;
    WheelAccumulator wheel_;
    QLineEdit* edit1_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* buttons_[7] = {};  // by number 1 to 6
    QRadioButton* display1_ = nullptr;
    QRadioButton* display2_ = nullptr;
    QCheckBox* follow_ = nullptr;
    bool syncing_ = false;
};

}  // namespace aerova
