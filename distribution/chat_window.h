#pragma once
// The chat window `TForm9`, caption "Chat  -  <SPC>-clear <ESC>-hide": the received chat
// lines, read only, scrolled to the end. Space clears them, Escape hides the window. It binds
// ChatWindowState, which the station network fills.

#include <QWidget>
#include <functional>

#include "distribution/station_network.h"

class QPlainTextEdit;

namespace aerova {

class ChatWindow : public QWidget {
  public:
    explicit ChatWindow(ChatWindowState& state, QWidget* parent = nullptr);

    // The lines again from the state; shows the window and brings it to the front when a
    // new line asked for it.
    void Refresh();

    QPlainTextEdit* memo() const { return memo_; }
    std::function<void()> onHidden;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    ChatWindowState& state_;
    QPlainTextEdit* memo_ = nullptr;
};

}  // namespace aerova
