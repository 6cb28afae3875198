#include "distribution/chat_window.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "distribution/window_text.h"

namespace aerova {

ChatWindow::ChatWindow(ChatWindowState& state, QWidget* parent)
    : QWidget(parent, Qt::Tool), state_(state) {
    setObjectName("TForm9");
    setWindowTitle("Chat  -  <SPC>-clear <ESC>-hide");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("Memo1");
    memo_->setReadOnly(true);
    // Space and Escape belong to the window, not to the text.
    memo_->setFocusPolicy(Qt::NoFocus);
    column->addWidget(memo_);
    setFocusPolicy(Qt::StrongFocus);
}

void ChatWindow::Refresh() {
    QString text;
    for (const std::string& line : state_.lines) {
        if (!text.isEmpty()) text += '\n';
        text += Q(line);
    }
    if (memo_->toPlainText() != text) memo_->setPlainText(text);
    memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
    if (state_.visible && !isVisible()) show();
    if (state_.broughttofront) {
        state_.broughttofront = false;
        raise();
    }
}

void ChatWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        state_.Clear();
        Refresh();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        state_.Hide();
        hide();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ChatWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        state_.visible = false;
        if (onHidden) onHidden();
    }
    QWidget::hideEvent(event);
}

}  // namespace aerova
