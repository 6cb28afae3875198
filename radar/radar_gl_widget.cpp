#include "radar/radar_gl_widget.h"

#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include "radar/gl_resources.h"

namespace aerova {

void SetRadarSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(format);
}

RadarGlWidget::RadarGlWidget(int window, SharedGlResources& shared,
                             std::function<void(RenderInputs&)> fillInputs, QWidget* parent)
    : QOpenGLWidget(parent),
      window_(window),
      resources_(&shared),
      fillInputs_(std::move(fillInputs)) {
    setObjectName("pnradar");
    setMinimumSize(64, 64);
    setMouseTracking(true);
    renderer_ = std::make_unique<RadarRenderer>(*resources_);
}

RadarGlWidget::~RadarGlWidget() {
    if (ownResources_ && context()) {
        makeCurrent();
        ownResources_->Release();
        doneCurrent();
    }
}

void RadarGlWidget::initializeGL() {
    if (!context() || !context()->isValid()) {
        if (window_ == 1 && onFatalError)
            onFatalError(QStringLiteral("Fatal error: OpenGL library not initialized"));
        return;
    }
    QOpenGLContext* shareContext = QOpenGLContext::globalShareContext();
    if (window_ != 1 && shareContext && !QOpenGLContext::areSharing(context(), shareContext)) {
        // Without shared lists this panel compiles its own.
        sharingFailed_ = true;
        ownResources_ = std::make_unique<SharedGlResources>();
        resources_ = ownResources_.get();
        renderer_ = std::make_unique<RadarRenderer>(*resources_);
        if (onSharingError) onSharingError(QStringLiteral("Sharing error on display list"));
    }
    // Window 1 builds the lists; window 2 builds them only when it starts first.
    resources_->Build(window_);
}

void RadarGlWidget::paintGL() {
    RenderInputs in;
    if (fillInputs_) fillInputs_(in);
    QElapsedTimer timer;
    timer.start();
    if (renderer_->RenderFrame(in, static_cast<int>(width() * devicePixelRatioF()),
                               static_cast<int>(height() * devicePixelRatioF()))) {
        ++framesDrawn_;
        lastFrameMs_ = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
}

}  // namespace aerova
