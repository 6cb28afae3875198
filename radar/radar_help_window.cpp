#include "radar/radar_help_window.h"

#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

#include "base/files.h"

namespace aerova {

QString RadarHelpText(const std::string& version) {
    return QString(
               "Keys\n"
               "  1, 2            show radar window 1 or 2\n"
               "  6, 7            upper altitude filter one step lower, higher\n"
               "  8, 9            lower altitude filter one step lower, higher\n"
               "  Page Up/Down    zoom out, in\n"
               "  Arrows          pan\n"
               "  Space           control bar on/off\n"
               "  B / Ctrl+B      all waypoints on/off / BST control\n"
               "  C with Ctrl     receiver settings\n"
               "  F / Shift+F     no-position list / freeze trail recording\n"
               "  G, R            global grid, range rings\n"
               "  I with Shift    winds aloft\n"
               "  J               save the picture as JPEG\n"
               "  L / Ctrl+L      wind line / label editor\n"
               "  M / Shift+M     centre mark / show the side panels\n"
               "  N with Shift    hide the side panels\n"
               "  O               all outlines on/off\n"
               "  P / Ctrl+P      print picture in colour / black and white\n"
               "  Q               lightning\n"
               "  S               separation circles 0, 3, 5, 10 NM\n"
               "  T, V            waypoint layers 20 and 14\n"
               "  U               user-coloured targets only\n"
               "  Z               overlays on/off\n"
               "  F1              this help\n"
               "  Alt+F4          quit\n"
               "  Ctrl+Alt+F      move the window to the top left corner\n"
               "  Ctrl+Alt+,      OpenGL device descriptor\n"
               "\n"
               "Mouse\n"
               "  wheel           zoom; over the filter, separation and level boxes: step them\n"
               "  left click      select the target under the cursor; Alt: label position back\n"
               "  left drag       pan\n"
               "  right click     rotate the target's label; Ctrl: follow it; nothing under\n"
               "                  the cursor: stop following; Alt: default label position on\n"
               "  middle click    keep the highlight\n"
               "  double click    centre there; in the filter box: reset the filters\n"
               "  window edges    move the window\n"
               "\n"
               "Version/Build: ") +
           QString::fromStdString(version);
}

RadarHelpWindow::RadarHelpWindow(std::string version, std::string manualPath, QWidget* parent)
    : QWidget(parent, Qt::Window), manualPath_(std::move(manualPath)) {
    setObjectName("Form7");
    setWindowTitle("Aerova Help");
    auto* column = new QVBoxLayout(this);
    auto* text = new QPlainTextEdit(RadarHelpText(version), this);
    text->setObjectName("helptext");
    text->setReadOnly(true);
    text->setFont(QFont("DejaVu Sans Mono", 9));
    text->viewport()->installEventFilter(this);
    column->addWidget(text);
    auto* full = new QPushButton("Full help", this);
    full->setObjectName("bufullhelp");
    connect(full, &QPushButton::clicked, this, [this] { OpenManual(); });
    column->addWidget(full);
    resize(560, 620);
}

bool RadarHelpWindow::OpenManual() {
    if (!FileExists(manualPath_)) {
        if (message) message("Cannot find the manual " + manualPath_, "Aerova Help");
        return false;
    }
    // The desktop's viewer opens the file; no command line is built from the name.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(manualPath_)));
}

bool RadarHelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void RadarHelpWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (onVisibilityChanged) onVisibilityChanged(true);
}

void RadarHelpWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onVisibilityChanged) onVisibilityChanged(false);
}

PrintWindow::PrintWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("printwindow");
    setWindowTitle("Print radar window");
    auto* column = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    view_ = new QLabel(scroll);
    scroll->setWidget(view_);
    column->addWidget(scroll, 1);
    auto* print = new QPushButton("Print", this);
    print->setObjectName("buprint");
    connect(print, &QPushButton::clicked, this, [this] { Print(); });
    column->addWidget(print);
    resize(820, 640);
}

void PrintWindow::SetPicture(const QImage& image) {
    picture_ = image;
    view_->setPixmap(QPixmap::fromImage(image));
    view_->resize(image.size());
}

bool PrintWindow::Print(const QString& pdfPath) {
    if (picture_.isNull()) return false;
    QPrinter printer(QPrinter::HighResolution);
    QString target = pdfPath;
    if (target.isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty() &&
        pdfPathWithoutPrinter)
        target = pdfPathWithoutPrinter();
    if (!target.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
    }
    printer.setPageOrientation(picture_.width() > picture_.height() ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (message) message("The picture could not be printed.", "Print radar window");
        return false;
    }
    const QRect page = painter.viewport();
    const QSize size = picture_.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), picture_);
    painter.end();
    if (!pdfPath.isEmpty() || target.isEmpty()) return true;
    if (message)
        message("No printer: the picture went to " + target.toStdString(), "Print radar window");
    return true;
}

}  // namespace aerova
