#include "radar/radar_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include "base/files.h"
#include "base/product.h"
#include "radar/radar_controls.h"
#include "radar/radar_gl_widget.h"
#include "radar/renderer.h"
#include "radar/ring_centre.h"

namespace aerova {

namespace {

const char* const kDisclaimer[] = {
    "By using Aerova mini Edition you acknowledge:",
    "- This application is not suitable for Air Traffic Control",
    "- Some Mode-S and ADS-B data are known to be inaccurate due to various reasons",
    "- Flight target position and data may be inaccurate, erroneous or otherwise",
    "unreliable or unusable.",
    "- Absolutely refrain from using the information from the radar picture to",
    "instruct pilots",
    "",
    "By using Aerova mini Edition you acknowledge the following disclaimer:",
    "- The author of this application will be held harmless and will not assume any",
    "liability for any damage that may occur due to the usage of this application.",
    "",
    "Please acknowledge the acceptance of these terms by a mouse click to this window.",
    "If you do not accept these term please close the application.",
};

}  // namespace

QString RadarCaption(int tag) {
    return QString("%1 [%2]").arg(kMainCaption).arg(tag);
}

KeyPress KeyPressFromEvent(const QKeyEvent& event) {
    KeyPress k;
    const Qt::KeyboardModifiers m = event.modifiers();
    k.ctrl = m & Qt::ControlModifier;
    k.alt = m & Qt::AltModifier;
    k.shift = m & Qt::ShiftModifier;
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        k.key = RadarKey::kLetter;
        k.ch = static_cast<char>('A' + (key - Qt::Key_A));
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9 && !(m & Qt::KeypadModifier)) {
        k.key = RadarKey::kDigit;
        k.ch = static_cast<char>('0' + (key - Qt::Key_0));
    } else {
        switch (key) {
            case Qt::Key_F1:
                k.key = RadarKey::kF1;
                break;
            case Qt::Key_F4:
                k.key = RadarKey::kF4;
                break;
            case Qt::Key_Space:
                k.key = RadarKey::kSpace;
                break;
            case Qt::Key_Comma:
                k.key = RadarKey::kComma;
                break;
            case Qt::Key_PageUp:
                k.key = RadarKey::kPageUp;
                break;
            case Qt::Key_PageDown:
                k.key = RadarKey::kPageDown;
                break;
            case Qt::Key_Left:
                k.key = RadarKey::kLeft;
                break;
            case Qt::Key_Right:
                k.key = RadarKey::kRight;
                break;
            case Qt::Key_Up:
                k.key = RadarKey::kUp;
                break;
            case Qt::Key_Down:
                k.key = RadarKey::kDown;
                break;
            default:
                break;
        }
    }
    return k;
}

RadarPicture PictureFromImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    RadarPicture p;
    p.width = rgb.width();
    p.height = rgb.height();
    p.pixels.resize(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
    for (int y = 0; y < p.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < p.width; ++x)
            p.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) +
                     static_cast<std::size_t>(x)] = line[x] & 0xFFFFFFu;
    }
    return p;
}

QImage ImageFromPicture(const RadarPicture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x)
            line[x] = 0xFF000000u | picture.pixels[static_cast<std::size_t>(y) *
                                                       static_cast<std::size_t>(picture.width) +
                                                   static_cast<std::size_t>(x)];
    }
    return image;
}

RadarWindow::RadarWindow(int tag, RadarWindowServices services, QWidget* parent)
    : QWidget(parent),
      tag_(tag),
      services_(std::move(services)),
      view_(MakeRadarView(tag)),
      cache_(std::make_unique<ScreenCache>()) {
    setWindowTitle(RadarCaption(tag));
    setObjectName(tag == 1 ? "Radar1" : "Radar2");
    if (!services_.receiverBar) services_.receiverBar = &ownReceiverBar_;
    if (!services_.colours) services_.colours = &ownColours_;
    display_.window = tag;
    display_.levelSelector = tag == 1 ? 300 : 240;
    if (tag == 2) display_.layout.panel2 = display_.layout.panel3 = display_.layout.panel4 = true;
    pnradar_ = new RadarGlWidget(
        tag, *services_.shared, [this](RenderInputs& in) { FillInputs(in); }, this);
    pnradar_->setObjectName("pnradar");
    pnradar_->setMouseTracking(true);
    pnradar_->installEventFilter(this);

    disclaimer_ = new QLabel(pnradar_);
    disclaimer_->setObjectName("disclaimer");
    QString text;
    for (const char* line : kDisclaimer) text += QString(line) + "\n";
    disclaimer_->setText(text);
    disclaimer_->setStyleSheet(
        "background: #fffbf0; color: #ff0000; font-weight: bold; padding: 12px;");
    disclaimer_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    disclaimer_->installEventFilter(this);
    disclaimer_->hide();

    controls_ = new RadarControls(*this, services_, pnradar_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(controls_->root());
    resize(1024, 768);
    setFocusPolicy(Qt::StrongFocus);
    ApplyLayout();
    SyncControls();

    viewTimer_.setInterval(kViewTimerIntervalMs);
    connect(&viewTimer_, &QTimer::timeout, this, [this] { ViewTimerTick(); });
    viewTimer_.start();
}

RadarWindow::~RadarWindow() = default;

WindowTargetMarks& RadarWindow::marks() {
    return services_.table->windows[static_cast<std::size_t>(tag_ - 1)];
}

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

void RadarWindow::RestartViewTimers() {
    stopped_ = false;
    viewTimer_.start();
}

void RadarWindow::RestartViewTimer() {
    if (!stopped_) viewTimer_.start();
}

void RadarWindow::ViewTimerTick() {
    if (ApplyViewTimer(view_)) Redraw();
}

void RadarWindow::SyncControls() {
    controls_->Sync();
}

void RadarWindow::SetDisclaimerShown(bool shown) {
    disclaimer_->setVisible(shown);
    if (shown) {
        disclaimer_->setGeometry(0, 0, pnradar_->width(), pnradar_->height());
        disclaimer_->raise();
    }
}

bool RadarWindow::disclaimerShown() const {
    return disclaimer_->isVisible();
}

void RadarWindow::SetPanelShown(const char* panel, bool shown) {
    RadarLayoutState& l = display_.layout;
    const std::string_view p(panel);
    if (p == "Panel2") l.panel2 = shown;
    if (p == "Panel3") l.panel3 = shown;
    if (p == "Panel4") l.panel4 = shown;
    ApplyLayout();
}

void RadarWindow::ApplyLayout() {
    const RadarLayoutState& l = display_.layout;
    controls_->controlBar()->setFixedHeight(l.controlBarHeight < 30 ? 3 : 30);
    for (QWidget* child : controls_->controlBar()->findChildren<QWidget*>())
        child->setVisible(l.controlBarHeight >= 30);
    controls_->panel("Panel2")->setVisible(l.panel2);
    controls_->panel("Panel3")->setVisible(l.panel3);
    controls_->panel("Panel4")->setVisible(l.panel4);
    if (l.panel3) {
        // Showing the colours scrolls the list to the user colours.
        QListWidget* colours = controls_->list("cbcolors");
        colours->scrollToItem(colours->item(kColUserFirst - 1), QAbstractItemView::PositionAtTop);
    }
    const Qt::WindowFlags before = windowFlags();
    Qt::WindowFlags flags = before;
    flags.setFlag(Qt::WindowStaysOnTopHint, l.spbtop);
    flags.setFlag(Qt::FramelessWindowHint, l.spbcap);
    if (flags != before) {
        const bool shown = isVisible();
        setWindowFlags(flags);
        // Removing top-most leaves the window where it is, without activating it.
        if (shown) {
            setAttribute(Qt::WA_ShowWithoutActivating, !l.spbtop);
            show();
            setAttribute(Qt::WA_ShowWithoutActivating, false);
        }
    }
}

QRect RadarWindow::normalBounds() const {
    return isMaximized() && normalBounds_.isValid() ? normalBounds_ : geometry();
}

bool RadarWindow::Route(const KeyPress& key) {
    const RadarCommand command = CommandForKey(key);
    if (command == RadarCommand::kNone) return false;
    RunCommand(command);
    return true;
}

void RadarWindow::RunCommand(RadarCommand command) {
    using C = RadarCommand;
    ColourMarks& m = display_.marks;
    switch (command) {
        case C::kNone:
            return;
        case C::kMoveWindowTo10:
            move(10, 10);
            return;
        case C::kToggleHelp:
            if (services_.showHelp) services_.showHelp(tag_);
            return;
        case C::kQuit:
            if (services_.quit) services_.quit();
            return;
        case C::kToggleControlBar:
            display_.layout.controlBarHeight = display_.layout.controlBarHeight < 30 ? 30 : 3;
            ApplyLayout();
            return;
        case C::kShowGlDescriptor:
            ShowGlDescriptor();
            return;
        case C::kShowBstControl:
            if (services_.showBstControl) services_.showBstControl();
            break;
        case C::kShowSearch:
            if (services_.showSearch) services_.showSearch();
            return;
        case C::kShowAircraftDetails:
            if (services_.showAircraftDetails) services_.showAircraftDetails(tag_);
            return;
        case C::kToggleAllWaypoints:
            display_.waypointMarks[0] = !display_.waypointMarks[0];
            break;
        case C::kToggleAllOutlines:
            display_.outlineMarks[0] = !display_.outlineMarks[0];
            break;
        case C::kToggleWaypointLayer20:
            display_.waypointMarks[20] = !display_.waypointMarks[20];
            break;
        case C::kToggleWaypointLayer14:
            display_.waypointMarks[14] = !display_.waypointMarks[14];
            break;
        case C::kToggleReceiverSettings:
            if (services_.toggleMainButton) services_.toggleMainButton("spbdctconfig");
            break;
        case C::kToggleNoPositionList:
            if (services_.toggleMainButton) services_.toggleMainButton("spbnonvislist");
            break;
        case C::kToggleFreeze:
            // Freeze is one switch for both windows, set from window 1.
            if (services_.setFreeze && services_.freeze) services_.setFreeze(!services_.freeze(1));
            break;
        case C::kToggleGrid:
            m.checked[kColGlobalGrid] = !m.checked[kColGlobalGrid];
            break;
        case C::kToggleRings:
            m.checked[kColRadarRings] = !m.checked[kColRadarRings];
            break;
        case C::kToggleWinds:
            display_.showWinds = !display_.showWinds;
            return;
        case C::kToggleLightning:
            if (services_.toggleLightning) services_.toggleLightning();
            break;
        case C::kSaveJpeg:
            SaveJpeg();
            break;
        case C::kShowLabelEditor:
            if (services_.showLabelEditor) services_.showLabelEditor(true);
            return;
        case C::kPrintBlackAndWhite:
        case C::kPrintColour:
            if (services_.showPrintPicture)
                services_.showPrintPicture(PrintImage(command == C::kPrintBlackAndWhite));
            break;
        case C::kShowSidePanels:
        case C::kHideSidePanels: {
            const bool shown = command == C::kShowSidePanels;
            display_.layout.panel2 = display_.layout.panel3 = display_.layout.panel4 = shown;
            ApplyLayout();
            break;
        }
        case C::kShowRadar1:
        case C::kShowRadar2: {
            RadarWindow* w = (command == C::kShowRadar1) == (tag_ == 1) ? this : twin_;
            if (w) {
                w->show();
                w->raise();
                w->activateWindow();
            }
            return;
        }
        case C::kZoomOut:
            ZoomStep(view_, ZoomDirection::Out);
            break;
        case C::kZoomIn:
            ZoomStep(view_, ZoomDirection::In);
            break;
        case C::kPanUp:
            PanStep(view_, PanDirection::Up);
            break;
        case C::kPanDown:
            PanStep(view_, PanDirection::Down);
            break;
        case C::kPanLeft:
            PanStep(view_, PanDirection::Left);
            break;
        case C::kPanRight:
            PanStep(view_, PanDirection::Right);
            break;
        default:
            ApplyDisplayCommand(command, display_);
            break;
    }
    SyncControls();
    if (CommandRedraws(command)) Redraw();
}

void RadarWindow::ShowGlDescriptor() {
    QString vendor, version, renderer;
    pnradar_->makeCurrent();
    if (QOpenGLContext* context = QOpenGLContext::currentContext()) {
        QOpenGLFunctions* gl = context->functions();
        auto text = [gl](GLenum name) {
            const auto* s = reinterpret_cast<const char*>(gl->glGetString(name));
            return QString::fromLatin1(s ? s : "");
        };
        vendor = text(GL_VENDOR);
        version = text(GL_VERSION);
        renderer = text(GL_RENDERER);
    }
    pnradar_->doneCurrent();
    const QString body = "OEM: " + vendor + "\n\r" + "Version: " + version + "\n\r" +
                         "Renderer: " + renderer + "\n\r";
    if (services_.message) services_.message(body.toStdString(), "OpenGL device descriptor");
}

RadarPicture RadarWindow::GrabPicture() {
    return PictureFromImage(pnradar_->grabFramebuffer());
}

bool RadarWindow::ScreenShot(const std::string& path) {
    return WriteBmp(path, GrabPicture());
}

std::optional<std::string> RadarWindow::SaveJpeg() {
    const std::string dir = services_.pictureDir ? services_.pictureDir() : std::string();
    if (!dir.empty()) ForceDirectories(dir);
    const double now = services_.utcNow ? services_.utcNow() : 0;
    std::string name = PictureFileName(tag_, now);
    name = name.substr(0, name.size() - 4);  // the dialog adds the extension
    if (!services_.jpegDialog) return std::nullopt;
    const std::optional<std::string> path = services_.jpegDialog(dir, name);
    if (!path) return std::nullopt;
    const PictureWriteResult result = WriteJpeg(*path, GrabPicture(), 100);
    if (!result.ok) {
        if (services_.message) services_.message(result.error, kMainCaption);
        return std::nullopt;
    }
    return path;
}

QImage RadarWindow::PrintImage(bool blackAndWhite) {
    const Rgb background = (*services_.colours)[kColRadarBackground];
    const std::uint32_t bg = PixelFromColourInt(ColourIntFromRgb(background));
    return ImageFromPicture(PrintPicture(GrabPicture(), bg, blackAndWhite));
}

bool RadarWindow::PasteSettings() {
    if (!twin_) return false;
    const std::string question =
        tag_ == 1 ? "Do you really want to copy settings from Radar-2 to Radar-1?"
                  : "Do you really want to copy settings from Radar-1 to Radar-2?";
    if (services_.ask && !services_.ask(question, kMainCaption)) return false;
    const RadarDisplayState& o = twin_->display();
    RadarDisplayState& d = display_;
    d.marks.checked = o.marks.checked;
    d.outlineMarks = o.outlineMarks;
    d.waypointMarks = o.waypointMarks;
    d.cblower = o.cblower;
    d.cbupper = o.cbupper;
    d.cbvector = o.cbvector;
    d.cbtrails = o.cbtrails;
    d.cbtrails1 = o.cbtrails1;
    // The fourth ring-centre selectors keep their own values.
    RingCentreSelectors& s = d.ringCentre.selectors;
    const RingCentreSelectors& t = o.ringCentre.selectors;
    s.cblat0 = t.cblat0;
    s.cblat1 = t.cblat1;
    s.cblat2 = t.cblat2;
    s.cblong0 = t.cblong0;
    s.cblong1 = t.cblong1;
    s.cblong2 = t.cblong2;
    d.cbqnh = o.cbqnh;
    d.cbrings = o.cbrings;
    d.cbinner = o.cbinner;
    d.cbmetauto = o.cbmetauto;
    d.edicao = o.edicao;
    d.oksymbol = o.oksymbol;
    d.ok2symbol = o.ok2symbol;
    d.xsymbol = o.xsymbol;
    d.gndsymbol = o.gndsymbol;
    d.oktrails = o.oktrails;
    d.ok2trails = o.ok2trails;
    d.xtrails = o.xtrails;
    d.gndtrails = o.gndtrails;
    d.okvector = o.okvector;
    d.ok2vector = o.ok2vector;
    d.xvector = o.xvector;
    d.gndvector = o.gndvector;
    RecomputeRingCentre(view_, d.ringCentre, *cache_);
    SyncControls();
    Redraw();
    return true;
}

bool RadarWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == disclaimer_ && event->type() == QEvent::MouseButtonPress) {
        disclaimer_->hide();  // acknowledged for this window
        return true;
    }
    if (watched != pnradar_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseMove:
            OnPanelMouseMove(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseButtonPress:
            OnPanelMousePress(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseButtonDblClick:
            OnPanelDoubleClick();
            // The toolkit's double click also runs the mouse-down steps once more: a double
            // click in the separation box advances it twice.
            OnPanelMousePress(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::Resize:
            if (disclaimer_->isVisible()) SetDisclaimerShown(true);
            return false;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

namespace {

// Panel pixels as the picture counts them (HiDPI: device pixels).
QPoint DevicePoint(const QWidget& w, const QPointF& p) {
    const qreal r = w.devicePixelRatioF();
    return QPoint(static_cast<int>(p.x() * r), static_cast<int>(p.y() * r));
}

QSize DeviceSize(const QWidget& w) {
    const qreal r = w.devicePixelRatioF();
    return QSize(static_cast<int>(w.width() * r), static_cast<int>(w.height() * r));
}

}  // namespace

void RadarWindow::OnPanelMouseMove(QMouseEvent* event) {
    const QPoint p = DevicePoint(*pnradar_, event->position());
    const QSize size = DeviceSize(*pnradar_);
    MouseMove move;
    move.x = p.x();
    move.y = p.y();
    move.width = size.width();
    move.height = size.height();
    move.leftHeld = event->buttons() & Qt::LeftButton;
    move.ctrl = event->modifiers() & Qt::ControlModifier;
    const QPointF global = event->globalPosition();
    move.screenX = static_cast<int>(global.x());
    move.screenY = static_cast<int>(global.y());
    const MoveResult r =
        HandleMouseMove(move, interaction_, display_, marks(), *cache_, *services_.table);
    pnradar_->setCursor(r.edgeBand ? Qt::SizeAllCursor : Qt::CrossCursor);
    if (r.pan) {
        DragPan(view_, r.panDx, r.panDy);
        RestartViewTimer();
    }
    if (r.redraw) Redraw();
}

void RadarWindow::OnPanelMousePress(QMouseEvent* event) {
    const QPoint p = DevicePoint(*pnradar_, event->position());
    const QSize size = DeviceSize(*pnradar_);
    MouseDown down;
    down.button = event->button() == Qt::RightButton    ? MouseButton::kRight
                  : event->button() == Qt::MiddleButton ? MouseButton::kMiddle
                                                        : MouseButton::kLeft;
    down.x = p.x();
    down.y = p.y();
    down.width = size.width();
    down.height = size.height();
    const Qt::KeyboardModifiers m = event->modifiers();
    down.ctrl = m & Qt::ControlModifier;
    down.alt = m & Qt::AltModifier;
    down.shift = m & Qt::ShiftModifier;
    const DownResult r =
        HandleMouseDown(down, interaction_, display_, marks(), *cache_, *services_.table);
    switch (r) {
        case DownResult::kSystemMove:
            if (QWindow* w = windowHandle()) w->startSystemMove();
            return;
        case DownResult::kMaximise:
            normalBounds_ = geometry();
            showMaximized();
            return;
        case DownResult::kRestore:
            showNormal();
            if (normalBounds_.isValid()) setGeometry(normalBounds_);
            return;
        case DownResult::kRedraw:
            SyncControls();
            Redraw();
            return;
        case DownResult::kNothing:
            return;
    }
}

void RadarWindow::OnPanelDoubleClick() {
    const DoubleClickResult r = HandleDoubleClick(interaction_.lastX, interaction_.lastY, display_);
    if (r.centre) {
        const QSize size = DeviceSize(*pnradar_);
        CentreOnPixel(view_, interaction_.lastX, interaction_.lastY, size.width(), size.height());
    }
    if (r.redraw || r.centre) {
        SyncControls();
        Redraw();
    }
}

void RadarWindow::OnWheel(int x, int y, int delta) {
    const int notches = wheel_.Add(delta);
    if (notches == 0) return;
    const WheelZone zone = WheelZoneAt(x, y);
    const int step = notches > 0 ? WheelAccumulator::kNotch : -WheelAccumulator::kNotch;
    for (int i = 0; i < std::abs(notches); ++i) {
        if (zone == WheelZone::kZoom) {
            ZoomByWheel(view_, step);
            RestartViewTimer();
        } else {
            ApplyWheel(zone, step, display_);
        }
    }
    SyncControls();
    Redraw();
}

void RadarWindow::wheelEvent(QWheelEvent* event) {
    const QPoint p = DevicePoint(*this, event->position());
    OnWheel(p.x(), p.y(), event->angleDelta().y());
    event->accept();
}

void RadarWindow::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the window itself (no router installed: tests, a bare window).
    if (!Route(KeyPressFromEvent(*event))) QWidget::keyPressEvent(event);
}

void RadarWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (onVisibilityChanged) onVisibilityChanged(tag_, true);
    SyncControls();
    if (twin_) twin_->SyncControls();
}

void RadarWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onVisibilityChanged) onVisibilityChanged(tag_, false);
    SyncControls();
    if (twin_) twin_->SyncControls();
}

void RadarWindow::closeEvent(QCloseEvent* event) {
    // Closing a radar window only hides it; one of the two always stays, unless the
    // program quits.
    event->ignore();
    const bool quitting = services_.quitting && services_.quitting();
    if (!quitting && !isHidden() && (!twin_ || twin_->isHidden())) {
        if (services_.message)
            services_.message(tag_ == 1 ? "One radar window must remain visible at any time"
                                        : "One window must remain visible at any time",
                              "Aerova");
        SyncControls();
        return;
    }
    hide();
}

}  // namespace aerova
