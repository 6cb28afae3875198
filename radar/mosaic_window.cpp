#include "radar/mosaic_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

#include "base/files.h"
#include "base/numbers.h"
#include "base/strings.h"
#include "radar/mosaic_download.h"
#include "radar/radar_picture.h"

namespace aerova {
namespace {

constexpr const char* kQualityItems[] = {"Flat (1)", "Low (2)", "Medium (4)", "High (8)"};
constexpr const char* kCornerButtons[] = {"Up left", "Up right", "Dn left", "Dn right"};
constexpr const char* kCornerNames[] = {"buupleft", "buupright", "budnleft", "budnright"};
const QSize kPreviewSize(320, 240);

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A picture of the mosaic folder; JPEGs the image plug-ins cannot read go through the
// station's own decoder.
QImage LoadPicture(const std::string& path) {
    QImage image(Q(path));
    if (!image.isNull()) return image;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return {};
    const std::optional<RadarPicture> picture = DecodeJpeg(bytes);
    if (!picture) return {};
    QImage decoded(picture->width, picture->height, QImage::Format_RGB32);
    for (int y = 0; y < picture->height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(decoded.scanLine(y));
        for (int x = 0; x < picture->width; ++x)
            row[x] =
                0xFF000000u | picture->pixels[static_cast<std::size_t>(y * picture->width + x)];
    }
    return decoded;
}

void ShowPreview(QLabel* label, const QImage& image) {
    if (image.isNull()) {
        label->clear();
        return;
    }
    label->setPixmap(QPixmap::fromImage(
        image.scaled(kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// Degrees plus minutes / 60 as typed; nullopt when the degrees are empty or beyond `limit`,
// the minutes unreadable or outside 0..60, or the sum beyond `limit`.
std::optional<double> TypedDegrees(const QString& degrees, const QString& minutes, double limit) {
    const std::string d = Trim(degrees.toStdString());
    const std::string m = Trim(minutes.toStdString());
    const std::optional<double> deg = TryParseReal(d);
    if (d.empty() || !deg || std::fabs(*deg) > limit) return std::nullopt;
    const std::optional<double> min = m.empty() ? std::optional<double>(0) : TryParseReal(m);
    if (!min || *min < 0 || *min >= 60) return std::nullopt;
    const double value = *deg < 0 ? *deg - *min / 60 : *deg + *min / 60;
    if (std::fabs(value) > limit) return std::nullopt;
    return value;
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

// ---- Calibration window ------------------------------------------------------------------

MosaicCalibrationWindow::MosaicCalibrationWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("focal");
    setWindowTitle("Calibration window");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    view_ = new QLabel(scroll);
    view_->setObjectName("Image1");
    view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view_->setMouseTracking(true);
    view_->installEventFilter(this);
    scroll->setWidget(view_);
    column->addWidget(scroll);
    resize(640, 480);
}

void MosaicCalibrationWindow::SetPicture(const QImage& picture) {
    picture_ = picture;
    view_->setPixmap(QPixmap::fromImage(picture_));
    view_->resize(picture_.size());
    setWindowTitle("Calibration window");
}

QString MosaicCalibrationWindow::Caption(int x, int y, QSize picture) {
    return QString("x:%1 y:%2 [Max: x:%3 y:%4]")
        .arg(x)
        .arg(y)
        .arg(picture.width())
        .arg(picture.height());
}

bool MosaicCalibrationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        setWindowTitle(Caption(at.x(), at.y(), picture_.size()));
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Manager window ----------------------------------------------------------------------

MosaicManagerWindow::MosaicManagerWindow(std::string mosaicDir, MosaicDisplayState& state,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), mosaicDir_(std::move(mosaicDir)), state_(state) {
    setObjectName("fosat");
    setWindowTitle("Mosaic image manager");
    auto* column = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(BuildMosaicTab(), "Mosaic");
    tabs_->addTab(BuildDownloadTab(), "Download");
    tabs_->addTab(BuildCalibrationTab(), "Calibration");
    column->addWidget(tabs_);
    stinfo_ = new QLabel(this);
    stinfo_->setObjectName("stinfo");
    stinfo_->setToolTip("Mosaic status");
    stinfo_->setFrameShape(QFrame::StyledPanel);
    column->addWidget(stinfo_);
    // Leaving a tab saves the list.
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { SaveList(); });
    calibration_ = new MosaicCalibrationWindow(this);
    LoadState();
    ReloadList();
    resize(560, 520);
}

// The transfer goes first: once it is destroyed no callback can reach this window.
MosaicManagerWindow::~MosaicManagerWindow() {
    download_.reset();
}

QWidget* MosaicManagerWindow::BuildMosaicTab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    clbmosaic_ = new QListWidget(page);
    clbmosaic_->setObjectName("clbmosaic");
    clbmosaic_->setToolTip("Available images");
    grid->addWidget(clbmosaic_, 0, 0, 6, 1);
    connect(clbmosaic_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = clbmosaic_->row(item);
        if (row < 0 || row >= static_cast<int>(entries_.size())) return;
        entries_[static_cast<std::size_t>(row)].active = item->checkState() == Qt::Checked;
        SaveList();
    });
    const auto button = [&](const char* text, const char* name, int row, auto slot) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, slot);
        grid->addWidget(b, row, 1);
    };
    button("Up", "buup", 0, [this] { MoveEntry(-1); });
    button("Down", "budown", 1, [this] { MoveEntry(1); });
    button("Delete", "budelete", 2, [this] {
        Message(
            "Delete is not available during program run. Close Aerova and delete files "
            "manually.",
            "Aerova Mosaic");
    });
    button("Apply", "buapply", 3, [this] { Apply(); });

    auto* show = new QGroupBox("Show images here", page);
    show->setToolTip("Show images here");
    auto* showRow = new QHBoxLayout(show);
    cbradar1_ = new QCheckBox("Radar#1", show);
    cbradar1_->setObjectName("cbradar1");
    cbradar2_ = new QCheckBox("Radar#2", show);
    cbradar2_->setObjectName("cbradar2");
    for (QCheckBox* box : {cbradar1_, cbradar2_}) {
        box->setToolTip("Show images here");
        showRow->addWidget(box);
    }
    connect(cbradar1_, &QCheckBox::toggled, this, [this](bool on) {
        state_.cbradar1 = on;
        DisplayChanged();
    });
    connect(cbradar2_, &QCheckBox::toggled, this, [this](bool on) {
        state_.cbradar2 = on;
        DisplayChanged();
    });
    grid->addWidget(show, 6, 0, 1, 2);

    auto* tint = new QGroupBox("Image background color", page);
    auto* form = new QFormLayout(tint);
    const auto slider = [&](const char* text, const char* name, int MosaicDisplayState::*field) {
        auto* s = new QSlider(Qt::Horizontal, tint);
        s->setObjectName(name);
        s->setRange(0, 255);
        connect(s, &QSlider::valueChanged, this, [this, field](int v) {
            state_.*field = v;
            DisplayChanged();
        });
        form->addRow(text, s);
        return s;
    };
    red_ = slider("Red", "tbred", &MosaicDisplayState::red);
    green_ = slider("Green", "tbgreen", &MosaicDisplayState::green);
    blue_ = slider("Blue", "tbblue", &MosaicDisplayState::blue);
    grid->addWidget(tint, 7, 0, 1, 2);
    return page;
}

QWidget* MosaicManagerWindow::BuildDownloadTab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    rbradar1_ = new QRadioButton("Radar #1", page);
    rbradar1_->setObjectName("rbradar1");
    rbradar2_ = new QRadioButton("Radar #2", page);
    rbradar2_->setObjectName("rbradar2");
    grid->addWidget(rbradar1_, 0, 0);
    grid->addWidget(rbradar2_, 0, 1);

    const auto label = [&](const char* text, const char* name, int row, int col) {
        auto* l = new QLabel(text, page);
        l->setObjectName(name);
        grid->addWidget(l, row, col);
        return l;
    };
    north_ = label("North: ", "lbnorth", 1, 0);
    south_ = label("South: ", "lbsouth", 1, 1);
    west_ = label("West: ", "lbwest", 2, 0);
    east_ = label("East: ", "lbeast", 2, 1);
    height_ = label("Height: ", "lbheight", 3, 0);
    width_ = label("Width: ", "lbwidth", 3, 1);

    auto* form = new QFormLayout;
    edit1_ = new QLineEdit(page);
    edit1_->setObjectName("Edit1");
    form->addRow("Image name", edit1_);
    cbformat_ = new QComboBox(page);
    cbformat_->setObjectName("cbformat");
    for (std::string_view layer : kMosaicLayers) cbformat_->addItem(Q(std::string(layer)));
    form->addRow("Layer", cbformat_);
    cbstyle_ = new QComboBox(page);
    cbstyle_->setObjectName("cbstyle");
    form->addRow("Style", cbstyle_);
    connect(cbformat_, &QComboBox::currentIndexChanged, this, [this] { FillStyles(); });
    FillStyles();
    cbquality_ = new QComboBox(page);
    cbquality_->setObjectName("cbquality");
    cbquality_->setToolTip("The number of subtiles is (x)+1");
    for (const char* item : kQualityItems) cbquality_->addItem(item);
    connect(cbquality_, &QComboBox::currentIndexChanged, this,
            [this](int index) { state_.cbquality = index; });
    form->addRow("Quality of Auto Calibration", cbquality_);
    grid->addLayout(form, 4, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    budownload_ = new QPushButton("Download", page);
    budownload_->setObjectName("budownload");
    connect(budownload_, &QPushButton::clicked, this, [this] { StartDownload(); });
    auto* info = new QPushButton("?", page);
    info->setObjectName("buinfo");
    connect(info, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(kMosaicInfoPage)); });
    buttons->addWidget(budownload_);
    buttons->addWidget(info);
    grid->addLayout(buttons, 5, 0, 1, 2);

    downloaded_ = new QLabel(page);
    downloaded_->setObjectName("imdownload");
    grid->addWidget(downloaded_, 6, 0, 1, 2);
    memessage_ = new QPlainTextEdit(page);
    memessage_->setObjectName("memessage");
    memessage_->setReadOnly(true);
    memessage_->setMaximumHeight(90);
    grid->addWidget(memessage_, 7, 0, 1, 2);
    auto* clear = new QPushButton("Clear", page);
    clear->setObjectName("buclearmessage");
    connect(clear, &QPushButton::clicked, memessage_, &QPlainTextEdit::clear);
    grid->addWidget(clear, 8, 1);
    return page;
}

QWidget* MosaicManagerWindow::BuildCalibrationTab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    fileListBox1_ = new QListWidget(page);
    fileListBox1_->setObjectName("FileListBox1");
    connect(fileListBox1_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { SelectPicture(item->text()); });
    grid->addWidget(fileListBox1_, 0, 0, 2, 1);
    image1_ = new QLabel(page);
    image1_->setObjectName("impicture");
    image1_->setMinimumSize(160, 120);
    grid->addWidget(image1_, 0, 1);
    auto* open = new QPushButton("Image", page);
    open->setObjectName("buimage");
    connect(open, &QPushButton::clicked, this, [this] {
        if (picture_.isNull() && fileListBox1_->currentItem())
            SelectPicture(fileListBox1_->currentItem()->text());
        if (picture_.isNull()) return;
        calibration_->show();
        calibration_->raise();
    });
    grid->addWidget(open, 1, 1);

    auto* position = new QGridLayout;
    const auto edit = [&](const char* name, const char* hint, int row, int col) {
        auto* e = new QLineEdit(page);
        e->setObjectName(name);
        e->setPlaceholderText(hint);
        position->addWidget(e, row, col);
        return e;
    };
    const auto hemisphere = [&](const char* name, const char* a, const char* b, int row) {
        auto* c = new QComboBox(page);
        c->setObjectName(name);
        c->addItems({a, b});
        position->addWidget(c, row, 3);
        return c;
    };
    position->addWidget(new QLabel("Latitude", page), 0, 0);
    melatdeg_ = edit("melatdeg", "dd.dddd", 0, 1);
    melatmin_ = edit("melatmin", "mm.mmmm", 0, 2);
    cblat_ = hemisphere("cblat", "N", "S", 0);
    position->addWidget(new QLabel("Longitude", page), 1, 0);
    melongdeg_ = edit("melongdeg", "ddd.dddd", 1, 1);
    melongmin_ = edit("melongmin", "mm.mmmm", 1, 2);
    cblong_ = hemisphere("cblong", "E", "W", 1);
    grid->addLayout(position, 2, 0, 1, 2);

    auto* corners = new QHBoxLayout;
    for (int corner = 0; corner < 4; ++corner) {
        auto* b = new QPushButton(kCornerButtons[corner], page);
        b->setObjectName(kCornerNames[corner]);
        connect(b, &QPushButton::clicked, this, [this, corner] { StoreCorner(corner); });
        corners->addWidget(b);
    }
    grid->addLayout(corners, 3, 0, 1, 2);

    vertexList_ = new QListWidget(page);
    vertexList_->setObjectName("lbvertex");
    vertexList_->setFont(QFont("DejaVu Sans Mono", 9));
    grid->addWidget(vertexList_, 4, 0, 1, 2);
    auto* actions = new QHBoxLayout;
    const auto action = [&](const char* text, const char* name, auto slot) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, slot);
        actions->addWidget(b);
    };
    action("Clear", "buclear", [this] { ClearVertices(); });
    action("Delete point", "budelpoint", [this] { ClearVertex(); });
    action("Save", "busave", [this] { SaveCalibration(); });
    grid->addLayout(actions, 5, 0, 1, 2);
    ShowVertices();
    return page;
}

// ---- Mosaic tab --------------------------------------------------------------------------

void MosaicManagerWindow::LoadState() {
    const QSignalBlocker b1(cbradar1_), b2(cbradar2_), b3(red_), b4(green_), b5(blue_),
        b6(cbquality_);
    cbradar1_->setChecked(state_.cbradar1);
    cbradar2_->setChecked(state_.cbradar2);
    red_->setValue(state_.red);
    green_->setValue(state_.green);
    blue_->setValue(state_.blue);
    if (state_.cbquality < 0 || state_.cbquality >= cbquality_->count()) state_.cbquality = 2;
    cbquality_->setCurrentIndex(state_.cbquality);
}

void MosaicManagerWindow::ReloadList() {
    const MosaicList list = ReadMosaicList(mosaicDir_);
    entries_ = list.entries;
    FillList();
    if (list.changed) {
        SaveList();
        SetStatus("Mosaic changed");
    }
    FillPictures();
}

void MosaicManagerWindow::FillList() {
    const QSignalBlocker block(clbmosaic_);
    const int current = clbmosaic_->currentRow();
    clbmosaic_->clear();
    for (const MosaicEntry& entry : entries_) {
        auto* item = new QListWidgetItem(Q(entry.name), clbmosaic_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.active ? Qt::Checked : Qt::Unchecked);
    }
    if (current >= 0 && current < clbmosaic_->count()) clbmosaic_->setCurrentRow(current);
}

void MosaicManagerWindow::SaveList() {
    if (!ForceDirectories(mosaicDir_) || !WriteMosaicList(mosaicDir_, entries_))
        SetStatus(Concat({"Cannot write ", kMosaicListFile}));
}

void MosaicManagerWindow::MoveEntry(int delta) {
    const int row = clbmosaic_->currentRow();
    const int other = row + delta;
    if (row < 0 || other < 0 || other >= static_cast<int>(entries_.size())) return;
    std::swap(entries_[static_cast<std::size_t>(row)], entries_[static_cast<std::size_t>(other)]);
    FillList();
    clbmosaic_->setCurrentRow(other);
    SaveList();
    SetStatus("Mosaic changed");
}

void MosaicManagerWindow::Apply() {
    SetStatus("Deleting old mosaic...");
    if (onApply) onApply();
    SetStatus("New mosaic ready.");
}

void MosaicManagerWindow::DisplayChanged() {
    if (onDisplayChanged) onDisplayChanged();
}

void MosaicManagerWindow::SetStatus(const std::string& text) {
    stinfo_->setText(Q(text));
}

QString MosaicManagerWindow::status() const {
    return stinfo_->text();
}

bool MosaicManagerWindow::Ask(const std::string& question, const std::string& title) const {
    return !ask || ask(question, title);
}

void MosaicManagerWindow::Message(const std::string& text, const std::string& title) const {
    if (message) message(text, title);
}

void MosaicManagerWindow::showEvent(QShowEvent* event) {
    ReloadList();
    QWidget::showEvent(event);
}

void MosaicManagerWindow::hideEvent(QHideEvent* event) {
    SaveList();
    QWidget::hideEvent(event);
    if (onHidden) onHidden();
}

// ---- Download tab ------------------------------------------------------------------------

void MosaicManagerWindow::FillStyles() {
    const QSignalBlocker block(cbstyle_);
    cbstyle_->clear();
    const MosaicStyleChoice choice =
        MosaicStyles(cbformat_->currentText().toStdString(), QDate::currentDate().month());
    for (std::string_view style : choice.styles) cbstyle_->addItem(Q(std::string(style)));
    cbstyle_->setCurrentIndex(choice.selected);
    cbstyle_->setEnabled(!choice.styles.empty());
}

bool MosaicManagerWindow::StartDownload() {
    if (download_) return false;
    rbradar1_->setText("Radar #1");
    rbradar2_->setText("Radar #2");
    const int tag = rbradar1_->isChecked() ? 1 : rbradar2_->isChecked() ? 2 : 0;
    if (tag == 0) {
        SetStatus("Select a radar window");
        return false;
    }
    const std::optional<std::pair<RadarView, QSize>> view =
        viewOf ? viewOf(tag) : std::optional<std::pair<RadarView, QSize>>();
    if (!view) {
        const std::string text = Concat({"Radar #", std::to_string(tag), " not available"});
        (tag == 1 ? rbradar1_ : rbradar2_)->setText(Q(text));
        SetStatus(text);
        return false;
    }
    const MosaicArea area = AreaOfView(view->first, view->second.width(), view->second.height());
    north_->setText(Q(Concat({"North: ", Copy(RealToText(area.north), 1, 8)})));
    south_->setText(Q(Concat({"South: ", Copy(RealToText(area.south), 1, 8)})));
    west_->setText(Q(Concat({"West: ", Copy(RealToText(area.west), 1, 9)})));
    east_->setText(Q(Concat({"East: ", Copy(RealToText(area.east), 1, 9)})));
    height_->setText(Q(Concat({"Height: ", std::to_string(area.height)})));
    width_->setText(Q(Concat({"Width: ", std::to_string(area.width)})));
    if (!AreaIsOnGlobe(area)) {
        SetStatus("Error reading screen extents");
        return false;
    }
    const std::string name = Trim(edit1_->text().toStdString());
    if (!IsPlainName(name)) {
        SetStatus("Enter an image name");
        Message("Enter an image name", "Mosaic");
        return false;
    }
    if (FileExists(JoinPath(mosaicDir_, Concat({name, ".jpg"}))) &&
        !Ask("File exists. Overwrite?", "Mosaic"))
        return false;
    if (!Ask("Ready for download. Continue?", "Mosaic")) return false;

    MosaicRequest request;
    request.serverUrl = serverUrl;
    request.layer = cbformat_->currentText().toStdString();
    request.style = cbstyle_->currentText().toStdString();
    request.area = area;
    request.quality = MosaicQuality(state_.cbquality);
    request.mosaicDir = mosaicDir_;
    request.name = name;
    downloadName_ = name;
    request.totalTimeoutMs = downloadTimeoutMs;
    request.connectTimeoutMs = std::min<long>(request.connectTimeoutMs, downloadTimeoutMs);

    SetStatus("Downloading...");
    memessage_->clear();
    downloaded_->clear();
    budownload_->setEnabled(false);
    // The callbacks run on the transfer's thread; the destructor ends the transfer before
    // the window goes, so `this` is alive whenever they post to it.
    const unsigned generation = ++generation_;
    download_ = std::make_unique<MosaicDownload>(
        std::move(request),
        [this, generation](const std::string& text) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, text] {
                    if (generation == generation_ && download_) SetStatus(text);
                },
                Qt::QueuedConnection);
        },
        [this, generation](const MosaicDownloadResult& result) {
            QMetaObject::invokeMethod(
                this, [this, generation, result] { DownloadFinished(generation, result); },
                Qt::QueuedConnection);
        });
    return true;
}

void MosaicManagerWindow::DownloadFinished(unsigned generation,
                                           const MosaicDownloadResult& result) {
    if (generation != generation_ || !download_) return;
    download_.reset();
    budownload_->setEnabled(true);
    switch (result.kind) {
        case MosaicDownloadResult::kPicture: {
            ShowPreview(downloaded_,
                        LoadPicture(JoinPath(mosaicDir_, Concat({downloadName_, ".jpg"}))));
            ReloadList();
            SetStatus(result.text);
            break;
        }
        case MosaicDownloadResult::kTextMessage: {
            std::string text;
            for (char c : result.text)
                if (c != '\r') text.push_back(c);
            memessage_->setPlainText(QString::fromLatin1(text.data(), qsizetype(text.size())));
            SetStatus("Text message received");
            break;
        }
        case MosaicDownloadResult::kFailed:
            SetStatus(result.text);
            break;
    }
}

// ---- Calibration tab ---------------------------------------------------------------------

void MosaicManagerWindow::FillPictures() {
    const QString current =
        fileListBox1_->currentItem() ? fileListBox1_->currentItem()->text() : QString();
    fileListBox1_->clear();
    const QStringList files =
        QDir(Q(mosaicDir_)).entryList({"*.jpg", "*.bmp"}, QDir::Files, QDir::Name);
    fileListBox1_->addItems(files);
    const QList<QListWidgetItem*> found = fileListBox1_->findItems(current, Qt::MatchExactly);
    if (!current.isEmpty() && !found.isEmpty()) fileListBox1_->setCurrentItem(found.first());
}

bool MosaicManagerWindow::SelectPicture(const QString& fileName) {
    pictureName_ = fileName;
    picture_ = LoadPicture(JoinPath(mosaicDir_, fileName.toStdString()));
    ShowPreview(image1_, picture_);
    calibration_->SetPicture(picture_);
    const QList<QListWidgetItem*> found = fileListBox1_->findItems(fileName, Qt::MatchExactly);
    if (!found.isEmpty()) fileListBox1_->setCurrentItem(found.first());
    return !picture_.isNull();
}

bool MosaicManagerWindow::StoreCorner(int corner) {
    if (corner < 0 || corner > 3) return false;
    std::optional<double> lat = TypedDegrees(melatdeg_->text(), melatmin_->text(), 90);
    std::optional<double> lon = TypedDegrees(melongdeg_->text(), melongmin_->text(), 180);
    const bool havePicture = !picture_.isNull();
    const int x = corner % 2 == 0 ? 0 : picture_.width();
    const int y = corner < 2 ? 0 : picture_.height();
    if (!lat || !lon || !havePicture || x > kMaxCalibrationPixel || y > kMaxCalibrationPixel) {
        Message(Concat({"Data incomplete or error. Lat: ", melatdeg_->text().toStdString(),
                        " Long: ", melongdeg_->text().toStdString(),
                        " X: ", havePicture ? std::to_string(x) : "?",
                        " Y: ", havePicture ? std::to_string(y) : "?"}),
                "Aerova Calibration");
        return false;
    }
    if (cblat_->currentText() == "S") *lat = -*lat;
    if (cblong_->currentText() == "W") *lon = -*lon;
    vertices_[static_cast<std::size_t>(corner)] = CalibrationPoint{x, y, *lat, *lon};
    ShowVertices();
    return true;
}

QStringList MosaicManagerWindow::vertexTexts() const {
    QStringList texts;
    for (const std::optional<CalibrationPoint>& p : vertices_) {
        if (!p) {
            texts << "?";
            continue;
        }
        texts << Q(
            Concat({PadLeft(RealToFixed(p->lat, 6), 10), ",", PadLeft(RealToFixed(p->lon, 6), 11),
                    ",", std::to_string(p->x), ",", std::to_string(p->y)}));
    }
    return texts;
}

void MosaicManagerWindow::ShowVertices() {
    const int current = vertexList_->currentRow();
    vertexList_->clear();
    vertexList_->addItems(vertexTexts());
    if (current >= 0) vertexList_->setCurrentRow(current);
}

void MosaicManagerWindow::ClearVertices() {
    if (!Ask("Clear all vertices?", "Aerova")) return;
    vertices_.fill(std::nullopt);
    ShowVertices();
}

void MosaicManagerWindow::ClearVertex() {
    const int row = vertexList_->currentRow();
    if (row < 0 || row >= static_cast<int>(vertices_.size())) return;
    if (!Ask("Clear this point?", "Aerova")) return;
    vertices_[static_cast<std::size_t>(row)].reset();
    ShowVertices();
}

bool MosaicManagerWindow::SaveCalibration() {
    if (pictureName_.isEmpty()) {
        Message("Select a picture first.", "Aerova Calibration");
        return false;
    }
    const std::string fileName =
        Concat({QFileInfo(pictureName_).completeBaseName().toStdString(), ".clb"});
    const std::string path = JoinPath(mosaicDir_, fileName);
    if (FileExists(path) &&
        !Ask(Concat({"File exists: ", fileName, " - Overwrite?"}), "Aerova Calibration"))
        return false;
    std::vector<CalibrationPoint> points;
    for (const std::optional<CalibrationPoint>& p : vertices_) {
        if (!p) {
            Message("All 4 points required.", "Aerova Calibration");
            return false;
        }
        points.push_back(*p);
    }
    if (!WriteFileReplacing(path, CalibrationText(points))) {
        Message("Calibration file error", "Aerova Calibration");
        return false;
    }
    Message("File save completed.", "Aerova Calibration");
    ReloadList();
    return true;
}

}  // namespace aerova
