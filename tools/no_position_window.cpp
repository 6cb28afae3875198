#include "tools/no_position_window.h"

#include <QAbstractScrollArea>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace aerova {

namespace {

constexpr int kRowHeight = 11;
constexpr int kMaxWidth = 408;

QColor ColourOf(const Rgb& c) {
    return QColor::fromRgbF(c.r, c.g, c.b);
}

}  // namespace

// The owner-drawn list `lbnopos`: each row's parts in their colours at fixed x positions,
// Latin-1 texts turned into Unicode only here.
class NoPositionListView : public QAbstractScrollArea {
  public:
    explicit NoPositionListView(QWidget* parent) : QAbstractScrollArea(parent) {
        setObjectName("lbnopos");
        font_.setFamily("Lucida Console");
        font_.setStyleHint(QFont::TypeWriter);
        font_.setFixedPitch(true);
        font_.setPixelSize(11);
        italic_ = font_;
        italic_.setItalic(true);
        verticalScrollBar()->setSingleStep(1);
        setFrameShape(QFrame::NoFrame);
    }

    void SetRows(const std::vector<NoPositionRow>* rows) {
        rows_ = rows;
        UpdateRange();
        viewport()->update();
    }
    void SetColours(const QColor& background, const QColor& font) {
        background_ = background;
        fontColour_ = font;
        viewport()->update();
    }
    int top() const { return verticalScrollBar()->value(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(viewport());
        p.fillRect(viewport()->rect(), background_);
        p.setPen(fontColour_);
        if (!rows_) return;
        const int width = viewport()->width();
        int y = 0;
        for (std::size_t i = static_cast<std::size_t>(top());
             i < rows_->size() && y < viewport()->height(); ++i, y += kRowHeight) {
            const NoPositionRow& row = (*rows_)[i];
            p.setFont(row.italic ? italic_ : font_);
            const int baseline = y + p.fontMetrics().ascent() - 1;
            for (const NoPositionSegment& s : row.segments) {
                p.setPen(ColourOf(s.colour));
                p.drawText(
                    s.x, baseline,
                    QString::fromLatin1(s.text.data(), static_cast<qsizetype>(s.text.size())));
            }
            if (row.frame != 0) {
                p.setPen(QPen(ColourOf(row.segments[0].colour), 1,
                              row.frame == 2 ? Qt::DotLine : Qt::SolidLine));
                p.drawRect(0, y, std::min(63, width - 1), kRowHeight - 1);
            }
        }
    }
    void resizeEvent(QResizeEvent* event) override {
        QAbstractScrollArea::resizeEvent(event);
        UpdateRange();
    }

  private:
    void UpdateRange() {
        const int count = rows_ ? static_cast<int>(rows_->size()) : 0;
        const int page = std::max(1, viewport()->height() / kRowHeight);
        verticalScrollBar()->setPageStep(page);
        // The top index stays where it was, as far as the new rows reach.
        verticalScrollBar()->setRange(0, std::max(0, count - page));
    }

    const std::vector<NoPositionRow>* rows_ = nullptr;
    QFont font_, italic_;
    QColor background_ = Qt::white;
    QColor fontColour_ = Qt::black;
};

NoPositionWindow::NoPositionWindow(NoPositionListState& state, NoPositionWindowHooks hooks,
                                   QWidget* parent)
    : QWidget(parent, Qt::Tool), state_(state), hooks_(std::move(hooks)) {
    setObjectName("Form10");
    setWindowTitle("No position data flights");
    setMaximumWidth(kMaxWidth);
    resize(299, 474);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    panel_ = new QFrame(this);
    panel_->setObjectName("Panel1");
    panel_->setFrameShape(QFrame::StyledPanel);
    panel_->installEventFilter(this);
    auto* row = new QHBoxLayout(panel_);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(1);
    const struct {
        const char* name;
        const char* caption;
        const char* hint;
    } specs[] = {
        {"spbsortid", "ID", "Sort on ID"},
        {"spbsortalt", "Alt", "Sort on Altitude"},
        {"spbsortreg", "Reg", "Sort on Registration"},
        {"spbsortsq", "SSR", "Sort on Squawk"},
        {"sbfilter", "Fi1", "Filter no-pos list (altitude)"},
        {"buuconly", "UC", "Show user colored flights only"},
        {"spbtop", "Top", "Keep window on top"},
        {"spbnopos", "Pos", "Show position flights"},
        {"spbcap", "Cap", "Hide caption bar"},
    };
    for (const auto& s : specs) row->addWidget(AddButton(s.name, s.caption, s.hint));
    row->addStretch(1);
    column->addWidget(panel_);

    view_ = new NoPositionListView(this);
    view_->SetRows(&list_.rows);
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    view_->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    column->addWidget(view_, 1);
    setFocusProxy(view_);

    const std::pair<const char*, NoPositionSort> sorts[] = {{"spbsortid", NoPositionSort::kId},
                                                            {"spbsortalt", NoPositionSort::kAlt},
                                                            {"spbsortreg", NoPositionSort::kReg},
                                                            {"spbsortsq", NoPositionSort::kSquawk}};
    for (const auto& [name, sort] : sorts)
        connect(button(name), &QToolButton::toggled, this,
                [this, sort = sort](bool down) { SortClicked(sort, down); });
    connect(button("sbfilter"), &QToolButton::toggled, this, [this](bool down) {
        if (syncing_) return;
        state_.sbfilter = down;
        if (!down) ReleaseFilter(state_);
        button("sbfilter")->setText(QString::fromStdString(state_.sbfilterCaption));
        Changed();
    });
    connect(button("buuconly"), &QToolButton::toggled, this, [this](bool down) {
        if (syncing_) return;
        state_.buuconly = down;
        Changed();
    });
    connect(button("spbnopos"), &QToolButton::toggled, this, [this](bool down) {
        if (syncing_) return;
        state_.spbnopos = down;
        Changed();
    });
    connect(button("spbtop"), &QToolButton::toggled, this, [this](bool down) {
        if (syncing_) return;
        state_.spbtop = down;
        ApplyWindowOptions();
    });
    connect(button("spbcap"), &QToolButton::toggled, this, [this](bool down) {
        if (syncing_) return;
        state_.spbcap = down;
        ApplyWindowOptions();
    });
    SyncControls();
}

NoPositionWindow::~NoPositionWindow() = default;

QToolButton* NoPositionWindow::AddButton(const char* name, const QString& caption,
                                         const char* hint) {
    auto* b = new QToolButton(panel_);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setFixedSize(30, 20);
    // Keys belong to the window, never to a button (Space would click it).
    b->setFocusPolicy(Qt::NoFocus);
    buttons_[name] = b;
    return b;
}

QToolButton* NoPositionWindow::button(const QString& name) const {
    const auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

QWidget* NoPositionWindow::lbnopos() const {
    return view_;
}

int NoPositionWindow::topIndex() const {
    return view_->top();
}

void NoPositionWindow::ShowList(NoPositionList list) {
    list_ = std::move(list);
    view_->SetRows(&list_.rows);
    setWindowTitle(
        QString::fromLatin1(list_.caption.data(), static_cast<qsizetype>(list_.caption.size())));
}

void NoPositionWindow::SetListColours(const Rgb& background, const Rgb& font) {
    view_->SetColours(ColourOf(background), ColourOf(font));
}

void NoPositionWindow::SyncControls() {
    syncing_ = true;
    const std::pair<const char*, bool> downs[] = {
        {"spbsortid", state_.spbsortid},   {"spbsortalt", state_.spbsortalt},
        {"spbsortreg", state_.spbsortreg}, {"spbsortsq", state_.spbsortsq},
        {"sbfilter", state_.sbfilter},     {"buuconly", state_.buuconly},
        {"spbtop", state_.spbtop},         {"spbnopos", state_.spbnopos},
        {"spbcap", state_.spbcap}};
    for (const auto& [name, down] : downs) button(name)->setChecked(down);
    button("sbfilter")->setText(QString::fromStdString(state_.sbfilterCaption));
    syncing_ = false;
    panel_->setVisible(state_.panelVisible);
    ApplyWindowOptions();
}

void NoPositionWindow::SortClicked(NoPositionSort sort, bool down) {
    if (syncing_) return;
    // One exclusive group in which all may be up.
    if (down)
        SetSort(state_, sort);
    else if (SortOf(state_) == sort)
        SetSort(state_, NoPositionSort::kNone);
    syncing_ = true;
    button("spbsortid")->setChecked(state_.spbsortid);
    button("spbsortalt")->setChecked(state_.spbsortalt);
    button("spbsortreg")->setChecked(state_.spbsortreg);
    button("spbsortsq")->setChecked(state_.spbsortsq);
    syncing_ = false;
    Changed();
}

void NoPositionWindow::Changed() {
    if (hooks_.listChanged) hooks_.listChanged();
}

void NoPositionWindow::ApplyWindowOptions() {
    const Qt::WindowFlags flags = windowFlags();
    Qt::WindowFlags wanted = flags;
    wanted.setFlag(Qt::WindowStaysOnTopHint, state_.spbtop);
    wanted.setFlag(Qt::FramelessWindowHint, state_.spbcap);
    if (wanted == flags) return;
    const bool shown = isVisible();
    const bool captionChanged =
        flags.testFlag(Qt::FramelessWindowHint) != wanted.testFlag(Qt::FramelessWindowHint);
    // The window's outer height stays: the caption bar's height goes to the list and back.
    const int captionHeight = frameGeometry().height() - geometry().height();
    setWindowFlags(wanted);
    if (captionChanged) {
        if (state_.spbcap) {
            captionHeight_ = captionHeight;
            resize(width(), height() + captionHeight_);
        } else {
            resize(width(), std::max(minimumHeight(), height() - captionHeight_));
            captionHeight_ = 0;
        }
    }
    if (shown) {
        // Changing the top-most switch does not activate the window.
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void NoPositionWindow::SetPanelShown(bool shown) {
    state_.panelVisible = shown;
    panel_->setVisible(shown);
}

void NoPositionWindow::HandleKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_N) {
        hide();
        if (hooks_.hiddenByKey) hooks_.hiddenByKey();
        return;
    }
    if (event->key() == Qt::Key_Space) SetPanelShown(!state_.panelVisible);
    if (hooks_.key) hooks_.key(event);
}

void NoPositionWindow::StartDrag(const QPoint& globalPos) {
    // The window manager moves the window where it can; otherwise the window follows the
    // mouse itself.
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = globalPos - frameGeometry().topLeft();
}

void NoPositionWindow::Drag(const QPoint& globalPos) {
    if (dragging_) move(globalPos - dragOffset_);
}

bool NoPositionWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            // The list has no key actions: the arrows do not move it either.
            if (watched == view_ || watched == view_->viewport()) {
                HandleKey(static_cast<QKeyEvent*>(event));
                return true;
            }
            break;
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (watched == view_->viewport() && mouse->button() == Qt::LeftButton) {
                StartDrag(mouse->globalPosition().toPoint());
                return true;
            }
            // A click on a free part of the panel hides it.
            if (watched == panel_ && !panel_->childAt(mouse->position().toPoint())) {
                SetPanelShown(false);
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (watched == view_->viewport() && dragging_) {
                Drag(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (watched == view_->viewport()) dragging_ = false;
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void NoPositionWindow::keyPressEvent(QKeyEvent* event) {
    HandleKey(event);
}

void NoPositionWindow::mousePressEvent(QMouseEvent* event) {
    // The window's background is a caption bar too.
    if (event->button() == Qt::LeftButton) StartDrag(event->globalPosition().toPoint());
}

void NoPositionWindow::mouseMoveEvent(QMouseEvent* event) {
    Drag(event->globalPosition().toPoint());
}

void NoPositionWindow::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void NoPositionWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (hooks_.closed) hooks_.closed();
}

}  // namespace aerova
