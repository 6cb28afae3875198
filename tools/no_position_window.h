#pragma once
// The no-position list window (`TForm10`, "No position data flights"): a tool window with
// the button panel `Panel1` and the owner-drawn list `lbnopos`. It shows the rows of the
// last rebuild and writes its controls into a NoPositionListState; its owner rebuilds the
// rows (every main-cycle tick, and at once when a control changes the list).
//
// The window sees every key first: "N" hides it, Space shows or hides the button panel,
// and every key but "N" goes on to the radar windows' key handling.

#include <QWidget>
#include <functional>
#include <map>

#include "tools/no_position_list.h"

class QFrame;
class QKeyEvent;
class QToolButton;

namespace aerova {

class NoPositionListView;

struct NoPositionWindowHooks {
    std::function<void()> listChanged;    // a control changed what the list holds
    std::function<void(QKeyEvent*)> key;  // a key for the radar windows
    std::function<void()> hiddenByKey;    // "N": the main window's button is released
    std::function<void()> closed;         // the close box: every button is released
};

class NoPositionWindow : public QWidget {
  public:
    NoPositionWindow(NoPositionListState& state, NoPositionWindowHooks hooks,
                     QWidget* parent = nullptr);
    ~NoPositionWindow() override;

    // Shows the rows of a rebuild and its count as the caption; the list keeps its scroll
    // position.
    void ShowList(NoPositionList list);
    const NoPositionList& shown() const { return list_; }
    // "No-pos-list bkgnd" and "No-pos-list font".
    void SetListColours(const Rgb& background, const Rgb& font);
    // The controls show the state again (after a settings load), the panel and the window
    // options follow it.
    void SyncControls();

    QToolButton* button(const QString& name) const;
    QWidget* lbnopos() const;
    QFrame* panel() const { return panel_; }
    // The list's first row on screen, counted from 0.
    int topIndex() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QToolButton* AddButton(const char* name, const QString& caption, const char* hint);
    void SortClicked(NoPositionSort sort, bool down);
    void Changed();
    void HandleKey(QKeyEvent* event);
    void ApplyWindowOptions();
    void SetPanelShown(bool shown);
    void StartDrag(const QPoint& globalPos);
    void Drag(const QPoint& globalPos);

    NoPositionListState& state_;
    NoPositionWindowHooks hooks_;
    NoPositionList list_;
    std::map<QString, QToolButton*> buttons_;
    QFrame* panel_ = nullptr;
    NoPositionListView* view_ = nullptr;
    bool syncing_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
    int captionHeight_ = 0;  // the caption bar's height while it is hidden
};

}  // namespace aerova
