#include "app/startup_window.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "station/station.h"

namespace aerova {

StartupWindow::StartupWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
    setObjectName("startup");
    setWindowTitle(kMainCaption);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QString("<b>%1</b>").arg(kMainCaption), this);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    result_ = new QLabel(this);
    result_->setObjectName("result");
    layout->addWidget(title);
    layout->addWidget(status_);
    layout->addWidget(result_);
    setMinimumWidth(360);
}

void StartupWindow::SetStatus(const QString& text) {
    status_->setText(text);
    history_.append(text);
    QApplication::processEvents();
}

void StartupWindow::SetResult(const QString& text) {
    result_->setText(text);
    QApplication::processEvents();
}

QString StartupWindow::status() const {
    return status_->text();
}
QString StartupWindow::result() const {
    return result_->text();
}

}  // namespace aerova
