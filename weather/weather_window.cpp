#include "weather/weather_window.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>
#include <string_view>
#include <utility>

namespace aerova {
namespace {

constexpr int kColourFieldSize = 24;
constexpr const char* kBlitzIntervals[] = {"1 min", "2 min", "5 min", "10 min"};

// Station texts are Latin-1.
QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ColourOf(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int ValueOf(const QColor& colour) {
    return WeatherColour(colour.red(), colour.green(), colour.blue());
}

// A colour of the weather colour table; a double click asks for another.
class ColourField : public QFrame {
  public:
    ColourField(std::function<void()> doubleClicked, QWidget* parent)
        : QFrame(parent), doubleClicked_(std::move(doubleClicked)) {
        setFrameShape(QFrame::Box);
        setFixedSize(kColourFieldSize, kColourFieldSize);
        setAutoFillBackground(true);
    }
    void SetColour(const QColor& colour) {
        QPalette p = palette();
        p.setColor(QPalette::Window, colour);
        setPalette(p);
    }

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && doubleClicked_) doubleClicked_();
    }

  private:
    std::function<void()> doubleClicked_;
};

}  // namespace

WeatherWindow::WeatherWindow(const WeatherCycle& cycle, WxformOptions& options,
                             WeatherWindowHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), cycle_(cycle), options_(options), hooks_(std::move(hooks)) {
    setObjectName("wxform");
    setWindowTitle("Aerova Weather Display Manager");
    auto* column = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    for (int source = 0; source < kWeatherSourceCount; ++source)
        pages->addTab(BuildSourceTab(source),
                      Latin1(kWeatherSources[static_cast<std::size_t>(source)].tab));
    pages->addTab(BuildLightningTab(), "Lightning");
    column->addWidget(pages);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("buclose");
    connect(close, &QPushButton::clicked, this, [this] { hide(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    column->addLayout(buttons);
    resize(640, 640);
    Refresh();
}

WeatherWindow::~WeatherWindow() = default;

QWidget* WeatherWindow::BuildSourceTab(int source) {
    const WeatherSource& info = kWeatherSources[static_cast<std::size_t>(source)];
    SourceTab& tab = tabs_[static_cast<std::size_t>(source)];
    const QString number = QString::number(source + 1);
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);

    auto* scroll = new QScrollArea(page);
    tab.picture = new QLabel(scroll);
    tab.picture->setObjectName("Image" + number);
    tab.picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setWidget(tab.picture);
    column->addWidget(scroll, 1);

    auto* boxes = new QHBoxLayout;
    tab.download = new QCheckBox("Download", page);
    tab.download->setObjectName(Latin1(info.downloadBox));
    connect(tab.download, &QCheckBox::toggled, this, [this, source](bool checked) {
        if (hooks_.downloadBox) hooks_.downloadBox(source, checked);
    });
    boxes->addWidget(tab.download);
    for (int window = 0; window < 2; ++window) {
        QCheckBox*& box = tab.display[static_cast<std::size_t>(window)];
        box = new QCheckBox(QString("Display #%1").arg(window + 1), page);
        box->setObjectName(Latin1(info.displayBoxes[static_cast<std::size_t>(window)]));
        connect(box, &QCheckBox::toggled, this, [this, source, window](bool checked) {
            if (hooks_.displayBox) hooks_.displayBox(source, window, checked);
        });
        boxes->addWidget(box);
    }
    boxes->addStretch();
    column->addLayout(boxes);

    tab.address = new QLineEdit(page);
    tab.address->setObjectName("edaddress" + number);
    tab.address->setReadOnly(true);
    column->addWidget(tab.address);
    tab.currentLine = new QLabel(page);
    tab.currentLine->setObjectName("stcurrent" + number);
    column->addWidget(tab.currentLine);
    tab.nextLine = new QLabel(page);
    tab.nextLine->setObjectName("stnext" + number);
    column->addWidget(tab.nextLine);

    if (source == kWxRadar1) {
        // Which intensity classes the radar windows draw, of every source.
        auto* checks = new QWidget;
        auto* row = new QHBoxLayout(checks);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        for (int c = 0; c < kIntensityClassCount; ++c) {
            QCheckBox*& box = intensityBoxes_[static_cast<std::size_t>(c)];
            box = new QCheckBox(checks);
            box->setObjectName(QString("CheckBox%1").arg(c + 1));
            box->setFixedWidth(kColourFieldSize + 6);
            connect(box, &QCheckBox::toggled, this, [this, c](bool checked) {
                options_.intensityBoxes[static_cast<std::size_t>(c)] = checked;
                if (hooks_.optionsChanged) hooks_.optionsChanged();
            });
            row->addWidget(box);
        }
        row->addStretch();
        legends_[1] = BuildLegend(kIntensityColourFirst, "severe                          light",
                                  "precipitation intensity", checks);
        legends_[1]->setObjectName("pnintensity");
        column->addWidget(legends_[1]);
    }
    return page;
}

QWidget* WeatherWindow::BuildLightningTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    cbblitz_ = new QCheckBox("Show new data every", page);
    cbblitz_->setObjectName("cbblitz");
    connect(cbblitz_, &QCheckBox::toggled, this, [this](bool checked) {
        options_.cbblitz = checked;
        if (hooks_.optionsChanged) hooks_.optionsChanged();
    });
    row->addWidget(cbblitz_);
    clbblitz_ = new QComboBox(page);
    clbblitz_->setObjectName("clbblitz");
    for (const char* item : kBlitzIntervals) clbblitz_->addItem(item);
    connect(clbblitz_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        options_.clbblitz = index;
        if (hooks_.optionsChanged) hooks_.optionsChanged();
    });
    row->addWidget(clbblitz_);
    row->addStretch();
    column->addLayout(row);
    legends_[0] = BuildLegend(kLightningColourFirst, "0-10  10-20 20-30 30-40 40-50  50-60",
                              "min since lightning", nullptr);
    legends_[0]->setObjectName("pnlightning");
    column->addWidget(legends_[0]);
    column->addStretch();
    return page;
}

QFrame* WeatherWindow::BuildLegend(int first, const char* scale, const char* caption,
                                   QWidget* below) {
    auto* panel = new QFrame;
    panel->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(panel);
    // The fields stand in columns of kColourFieldSize + 6 pixels, the intensity boxes under them.
    auto* fields = new QHBoxLayout;
    fields->setSpacing(0);
    for (int entry = first; entry < first + kIntensityClassCount; ++entry) {
        auto* field = new ColourField([this, entry] { PickColour(entry); }, panel);
        field->setObjectName(QString::fromStdString(WeatherColourKey(entry)));
        colourFields_[static_cast<std::size_t>(entry)] = field;
        fields->addWidget(field);
        fields->addSpacing(6);
    }
    fields->addStretch();
    column->addLayout(fields);
    if (below) {
        below->setParent(panel);
        column->addWidget(below);
    }
    QFont fixed("Monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    for (const char* text : {scale, caption}) {
        auto* label = new QLabel(text, panel);
        label->setFont(fixed);
        column->addWidget(label);
    }
    return panel;
}

void WeatherWindow::PickColour(int entry) {
    const int current = options_.colours[static_cast<std::size_t>(entry)];
    std::optional<int> chosen;
    if (hooks_.pickColour) {
        chosen = hooks_.pickColour(current);
    } else {
        const QColor colour = QColorDialog::getColor(ColourOf(current), this, "Color");
        if (colour.isValid()) chosen = ValueOf(colour);
    }
    if (!chosen) return;
    options_.colours[static_cast<std::size_t>(entry)] = *chosen & 0xFFFFFF;
    ShowColour(entry);
    if (hooks_.optionsChanged) hooks_.optionsChanged();
}

void WeatherWindow::ShowColour(int entry) {
    auto* field = static_cast<ColourField*>(colourFields_[static_cast<std::size_t>(entry)]);
    field->SetColour(ColourOf(options_.colours[static_cast<std::size_t>(entry)]));
}

void WeatherWindow::ShowPicture(SourceTab& tab, const WeatherPicture* picture) {
    if (!picture) {
        if (tab.shown) tab.picture->clear();
        tab.shown.reset();
        return;
    }
    if (tab.shown && tab.shown->width == picture->width && tab.shown->height == picture->height &&
        tab.shown->indices == picture->indices && tab.shown->colours == picture->colours)
        return;
    QImage image(picture->width, picture->height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const WeatherRgb& c : picture->colours) table.push_back(qRgb(c.red, c.green, c.blue));
    image.setColorTable(table);
    const auto width = static_cast<std::size_t>(picture->width);
    for (int y = 0; y < picture->height; ++y)
        std::memcpy(image.scanLine(y),
                    picture->indices.data() + static_cast<std::size_t>(y) * width, width);
    tab.picture->setPixmap(QPixmap::fromImage(image));
    tab.picture->resize(image.size());
    tab.shown = *picture;
}

void WeatherWindow::Refresh() {
    for (int source = 0; source < kWeatherSourceCount; ++source) {
        SourceTab& tab = tabs_[static_cast<std::size_t>(source)];
        const WeatherTab& lines = cycle_.tab(source);
        tab.currentLine->setText(Latin1(lines.currentLine));
        tab.nextLine->setText(Latin1(lines.nextLine));
        tab.address->setText(Latin1(lines.address));
        const WeatherSourceBoxes& boxes = cycle_.boxes(source);
        {
            const QSignalBlocker blocker(tab.download);
            tab.download->setChecked(boxes.download);
        }
        for (std::size_t window = 0; window < 2; ++window) {
            const QSignalBlocker blocker(tab.display[window]);
            tab.display[window]->setChecked(boxes.display[window]);
        }
        ShowPicture(tab, cycle_.picture(source));
    }
    for (int c = 0; c < kIntensityClassCount; ++c) {
        QCheckBox* box = intensityBoxes_[static_cast<std::size_t>(c)];
        const QSignalBlocker blocker(box);
        box->setChecked(options_.intensityBoxes[static_cast<std::size_t>(c)]);
    }
    {
        const QSignalBlocker blocker(cbblitz_);
        cbblitz_->setChecked(options_.cbblitz);
    }
    {
        const QSignalBlocker blocker(clbblitz_);
        clbblitz_->setCurrentIndex(options_.clbblitz >= 0 && options_.clbblitz < clbblitz_->count()
                                       ? options_.clbblitz
                                       : clbblitz_->count() - 1);
    }
    for (int entry = 0; entry < kWeatherColourCount; ++entry) ShowColour(entry);
}

// The legends show the colours on the radar background they are drawn over.
void WeatherWindow::PaintLegends() {
    const QColor background = ColourOf(hooks_.backgroundColour ? hooks_.backgroundColour() : 0);
    const QColor text = background.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    for (QFrame* legend : legends_) {
        QPalette p = legend->palette();
        p.setColor(QPalette::Window, background);
        p.setColor(QPalette::WindowText, text);
        legend->setPalette(p);
    }
}

void WeatherWindow::showEvent(QShowEvent* event) {
    PaintLegends();
    QWidget::showEvent(event);
}

void WeatherWindow::hideEvent(QHideEvent* event) {
    // A minimised window is hidden by the window system; only a closed one lets go of the
    // main window's button.
    if (!event->spontaneous() && hooks_.closed) hooks_.closed();
    QWidget::hideEvent(event);
}

void WeatherWindow::keyPressEvent(QKeyEvent* event) {
    if (hooks_.key) {
        hooks_.key(event);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace aerova
