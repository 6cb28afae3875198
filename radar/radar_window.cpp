#include "radar/radar_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "base/product.h"
#include "radar/radar_gl_widget.h"
#include "radar/renderer.h"

namespace aerova {

QString RadarCaption(int tag) {
    return QString("%1 [%2]").arg(kMainCaption).arg(tag);
}

RadarWindow::RadarWindow(int tag, RadarWindowServices services, QWidget* parent)
    : QWidget(parent),
      tag_(tag),
      services_(std::move(services)),
      view_(MakeRadarView(tag)),
      cache_(std::make_unique<ScreenCache>()) {
    setWindowTitle(RadarCaption(tag));
    setObjectName(tag == 1 ? "Radar1" : "Radar2");
    display_.window = tag;
    display_.levelSelector = tag == 1 ? 300 : 240;
    pnradar_ = new RadarGlWidget(
        tag, *services_.shared, [this](RenderInputs& in) { FillInputs(in); }, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pnradar_);
    resize(1024, 768);
    setFocusPolicy(Qt::StrongFocus);

    viewTimer_.setInterval(kViewTimerIntervalMs);
    connect(&viewTimer_, &QTimer::timeout, this, [this] { ViewTimerTick(); });
    viewTimer_.start();
}

RadarWindow::~RadarWindow() = default;

void RadarWindow::FillInputs(RenderInputs& in) {
    if (services_.stationInputs) services_.stationInputs(in);
    in.table = services_.table;
    in.view = &view_;
    in.cache = cache_.get();
    in.display = &display_;
    in.colours = services_.colours;
    in.labels = services_.labels;
}

void RadarWindow::Redraw() {
    if (isVisible() && !redrawPaused_) pnradar_->update();
}

void RadarWindow::StopViewTimer() {
    stopped_ = true;
    viewTimer_.stop();
}

void RadarWindow::ViewTimerTick() {
    if (ApplyViewTimer(view_)) Redraw();
}

void RadarWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (onVisibilityChanged) onVisibilityChanged(tag_, true);
}

void RadarWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onVisibilityChanged) onVisibilityChanged(tag_, false);
}

void RadarWindow::closeEvent(QCloseEvent* event) {
    // Closing a radar window only hides it; the main window's quit ends the program.
    event->ignore();
    hide();
}

void RadarWindow::wheelEvent(QWheelEvent* event) {
    ZoomByWheel(view_, event->angleDelta().y());
    if (!stopped_) viewTimer_.start();
    Redraw();
    event->accept();
}

void RadarWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageUp:
            ZoomStep(view_, ZoomDirection::Out);
            break;
        case Qt::Key_PageDown:
            ZoomStep(view_, ZoomDirection::In);
            break;
        case Qt::Key_Up:
            PanStep(view_, PanDirection::Up);
            break;
        case Qt::Key_Down:
            PanStep(view_, PanDirection::Down);
            break;
        case Qt::Key_Left:
            PanStep(view_, PanDirection::Left);
            break;
        case Qt::Key_Right:
            PanStep(view_, PanDirection::Right);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    Redraw();
}

}  // namespace aerova
