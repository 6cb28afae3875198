#pragma once
// The drawing panel `pnradar` of a radar window: a QOpenGLWidget in the compatibility
// profile whose context shares its display lists with the other radar window's. Window 1
// builds the shared lists when its context starts; window 2 calls the same lists.

#include <QOpenGLWidget>
#include <functional>
#include <memory>

#include "radar/renderer.h"

namespace aerova {

class SharedGlResources;

class RadarGlWidget : public QOpenGLWidget {
    Q_OBJECT
  public:
    // `fillInputs` completes the frame's inputs each time the panel paints.
    RadarGlWidget(int window, SharedGlResources& shared,
                  std::function<void(RenderInputs&)> fillInputs, QWidget* parent = nullptr);
    ~RadarGlWidget() override;

    RadarRenderer& renderer() { return *renderer_; }
    // The lists this panel calls: the shared ones, or its own after a sharing failure.
    SharedGlResources& resources() { return *resources_; }
    bool sharingFailed() const { return sharingFailed_; }
    // Called once with "Sharing error on display list" when the contexts cannot share.
    std::function<void(const QString&)> onSharingError;
    // Called once with "Fatal error: OpenGL library not initialized" when window 1 gets no
    // usable context.
    std::function<void(const QString&)> onFatalError;
    // Frames drawn so far (a busy station draws none).
    int framesDrawn() const { return framesDrawn_; }
    double lastFrameMs() const { return lastFrameMs_; }

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    int window_;
    SharedGlResources* resources_;
    std::unique_ptr<SharedGlResources> ownResources_;
    std::unique_ptr<RadarRenderer> renderer_;
    std::function<void(RenderInputs&)> fillInputs_;
    bool sharingFailed_ = false;
    int framesDrawn_ = 0;
    double lastFrameMs_ = 0;
};

// The default surface format of both panels: 32-bit colour, 24-bit depth, double buffer,
// OpenGL 2.1 compatibility profile. Set before the application object is created.
void SetRadarSurfaceFormat();

}  // namespace aerova
