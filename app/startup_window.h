#pragma once
// The start-up window: shows the progress texts of the start of reception in its status
// line and the clock check's result in its second label.

#include <QStringList>
#include <QWidget>

class QLabel;

namespace aerova {

class StartupWindow : public QWidget {
  public:
    explicit StartupWindow(QWidget* parent = nullptr);
    void SetStatus(const QString& text);
    void SetResult(const QString& text);
    QString status() const;
    QString result() const;
    // Every status text shown, in order.
    const QStringList& history() const { return history_; }

  private:
    QLabel* status_;
    QLabel* result_;
    QStringList history_;
};

}  // namespace aerova
