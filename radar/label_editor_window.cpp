#include "radar/label_editor_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStringDecoder>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/files.h"
#include "base/strings.h"
#include "radar/label_composer.h"

namespace aerova {
namespace {

constexpr const char* kTitle = "Aerova";

// Station texts are Latin-1.
QString L1(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// A format caption lines up its example with a tab; a box shows it as blanks.
QString FormatItem(std::string_view caption) {
    return L1(caption).replace('\t', QStringLiteral("  "));
}

void FillList(QListWidget* list, const std::vector<std::string>& lines) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) items.push_back(L1(line));
    list->clear();
    list->addItems(items);
}

struct KmlCheck {
    const char* name;
    const char* caption;
    bool KmlEditorOptions::*field;
};
constexpr KmlCheck kKmlChecks[] = {
    {"cbflightid", "Flight id", &KmlEditorOptions::flightid},
    {"cbaltitude", "Altitude", &KmlEditorOptions::altitude},
    {"cbtrack", "Track", &KmlEditorOptions::track},
    {"cbvrate", "Vertical rate", &KmlEditorOptions::vrate},
    {"cbgs", "Ground Spd", &KmlEditorOptions::gs},
    {"cbreg", "Registration", &KmlEditorOptions::reg},
    {"cbicaotype", "ICAOType", &KmlEditorOptions::icaotype},
    {"cbroute", "Route", &KmlEditorOptions::route},
    {"cbtrails", "Show trails", &KmlEditorOptions::trails},
    {"cbpeers", "Show peers", &KmlEditorOptions::peers},
    {"cbusealtitude", "Clamp flights to ground", &KmlEditorOptions::usealtitude},
    {"cbdynamickml", "Use dynamic script", &KmlEditorOptions::dynamickml},
    {"cbaircraft", "Aircraft server", &KmlEditorOptions::aircraft},
    {"cbcockpit", "Cockpit server", &KmlEditorOptions::cockpit},
};

}  // namespace

LabelEditorWindow::LabelEditorWindow(std::string stationDir, QWidget* parent)
    : QWidget(parent, Qt::Window),
      stationDir_(std::move(stationDir)),
      state_(LoadLabelEditor(JoinPath(stationDir_, kLabelFileName))) {
    setObjectName("labeleditor");
    setWindowTitle("Aerova Label Editor");
    auto* column = new QVBoxLayout(this);
    sections_ = new QTabWidget(this);
    sections_->setObjectName("sections");
    sections_->addTab(BuildLabelTab(), "Labels");
    sections_->addTab(BuildKmlTab(), "KML");
    aisNames_ = AddListTab("lbaisname", "AIS names");
    aisLog_ = AddListTab("lbaislogfile", "AIS log");
    midList_ = AddListTab("lbaiscountry", "MID list");
    log_ = AddListTab("lblogfile", "Log");
    column->addWidget(sections_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    struct Button {
        const char* name;
        const char* caption;
        const char* hint;
        std::function<void()> run;
    };
    const Button kButtons[] = {
        {"buaccept", "Accept", "Save changes but do not close label manager", [this] { Accept(); }},
        {"buok", "OK", "Accept changes and close label manager", [this] { Ok(); }},
        // Cancel undoes in memory, so the user need not reopen the editor to discard changes.
        {"bucancel", "Cancel", "Discard changes since opening or the last Accept and close",
         [this] { Cancel(); }},
    };
    for (const Button& b : kButtons) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(b.name);
        button->setToolTip(b.hint);
        connect(button, &QPushButton::clicked, this, b.run);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);

    LoadTemplate();
    ShowKmlOptions();
    {
        const QSignalBlocker block(tclabel_);
        tclabel_->setCurrentIndex(state_.tab);
    }
    ShowPage();
    ShowFormats();
    PlaceWindow();
}

QWidget* LabelEditorWindow::BuildLabelTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    tclabel_ = new QTabBar(page);
    tclabel_->setObjectName("tclabel");
    for (int tab = 0; tab < kLabelEditorTabs; ++tab)
        tclabel_->addTab(L1(LabelEditorTabCaption(tab)));
    connect(tclabel_, &QTabBar::currentChanged, this, [this](int tab) { SelectTab(tab); });
    column->addWidget(tclabel_);

    auto* grid = new QGridLayout;
    for (int line = 0; line < kLabelLines; ++line) {
        grid->addWidget(new QLabel(QStringLiteral("Line %1").arg(line + 1), page), line, 0);
        for (int slot = 0; slot < kLabelSlots; ++slot) {
            auto* box = new QComboBox(page);
            box->setObjectName(QStringLiteral("cbslot%1%2").arg(line).arg(slot));
            box->setMaxVisibleItems(kLabelBoxKinds + 1);
            connect(box, &QComboBox::currentIndexChanged, this,
                    [this, line, slot](int index) { ChooseSlot(line, slot, index); });
            grid->addWidget(box, line, slot + 1);
            slots_[line][slot] = box;
        }
    }
    column->addLayout(grid);

    auto* previewRow = new QHBoxLayout;
    preview_ = new QLabel(page);
    preview_->setObjectName("lbpreview");
    preview_->setTextFormat(Qt::PlainText);
    preview_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    preview_->setFrameShape(QFrame::StyledPanel);
    preview_->setMinimumHeight(preview_->fontMetrics().lineSpacing() * 4 + 12);
    preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    preview_->setToolTip("Preview");
    previewRow->addWidget(preview_, 1);
    copyPrevious_ = new QPushButton("Copy from prev page", page);
    copyPrevious_->setObjectName("bucopyprevious");
    copyPrevious_->setToolTip("Copy settings from previous to current page");
    connect(copyPrevious_, &QPushButton::clicked, this, [this] { CopyPreviousPage(); });
    previewRow->addWidget(copyPrevious_, 0, Qt::AlignTop);
    column->addLayout(previewRow);

    auto* group = new QGroupBox("Formats", page);
    auto* form = new QFormLayout(group);
    const auto& choices = LabelFormatChoices();
    for (std::size_t c = 0; c < choices.size(); ++c) {
        auto* box = new QComboBox(group);
        box->setObjectName(L1(Concat({"cb", choices[c].key})));
        for (std::string_view item : choices[c].items) box->addItem(FormatItem(item));
        const int choice = static_cast<int>(c);
        connect(box, &QComboBox::currentIndexChanged, this,
                [this, choice](int index) { ChooseFormat(choice, index); });
        form->addRow(L1(choices[c].caption), box);
        formats_.push_back(box);
    }
    column->addWidget(group);
    column->addStretch();
    return page;
}

QWidget* LabelEditorWindow::BuildKmlTab() {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);

    auto* group = new QGroupBox("KML options", page);
    auto* options = new QVBoxLayout(group);
    for (const KmlCheck& c : kKmlChecks) {
        auto* check = new QCheckBox(c.caption, group);
        check->setObjectName(c.name);
        connect(check, &QCheckBox::toggled, this, [this, field = c.field](bool on) {
            kml_.*field = on;
            if (onKmlOptionsChanged) onKmlOptionsChanged(kml_);
        });
        options->addWidget(check);
        kmlChecks_.emplace_back(check, c.field);
    }
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(new QLabel("Icon size", group));
    iconscale_ = new QComboBox(group);
    iconscale_->setObjectName("cbiconscale");
    for (double scale : kKmlEditorIconScales) iconscale_->addItem(QString::number(scale));
    connect(iconscale_, &QComboBox::currentIndexChanged, this, [this](int index) {
        kml_.iconscale = KmlEditorIconScaleIndex(index);
        if (onKmlOptionsChanged) onKmlOptionsChanged(kml_);
    });
    scaleRow->addWidget(iconscale_);
    options->addLayout(scaleRow);
    options->addStretch();
    struct Button {
        const char* name;
        const char* caption;
        const char* link;  // nullptr: "Reload"
    };
    const Button kButtons[] = {
        {"burunaircraft", "Run Aircraft view", kEditorAircraftLink},
        {"buruncockpit", "Run Cockpit view", kEditorCockpitLink},
        {"bureload", "Reload", nullptr},
    };
    for (const Button& b : kButtons) {
        auto* button = new QPushButton(b.caption, group);
        button->setObjectName(b.name);
        connect(button, &QPushButton::clicked, this, [this, link = b.link] {
            if (link)
                RunView(link);
            else
                Reload();
        });
        options->addWidget(button);
    }
    row->addWidget(group);

    auto* pane = new QVBoxLayout;
    pane->addWidget(new QLabel(L1(Concat({"Aircraft template (", kEditorAircraftTemplate,
                                          "); saved edits take effect on Reload"})),
                               page));
    template_ = new QPlainTextEdit(page);
    template_->setObjectName("metemplate");
    template_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    template_->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->addWidget(template_, 1);
    auto* save = new QPushButton("Save", page);
    save->setObjectName("busavetemplate");
    save->setToolTip("Save the aircraft template");
    connect(save, &QPushButton::clicked, this, [this] { SaveTemplate(); });
    pane->addWidget(save, 0, Qt::AlignRight);
    row->addLayout(pane, 1);
    return page;
}

QListWidget* LabelEditorWindow::AddListTab(const char* name, const char* caption) {
    auto* list = new QListWidget(this);
    list->setObjectName(name);
    list->setUniformItemSizes(true);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    sections_->addTab(list, caption);
    return list;
}

void LabelEditorWindow::SetMarkLabel(bool markLabel) {
    markLabel_ = markLabel;
    ShowPreview();
}

void LabelEditorWindow::SetKmlOptions(const KmlEditorOptions& options) {
    kml_ = options;
    kml_.iconscale = KmlEditorIconScaleIndex(kml_.iconscale);
    ShowKmlOptions();
}

void LabelEditorWindow::SetVesselLists(const std::vector<std::string>& names,
                                       const std::vector<std::string>& aisLog,
                                       const std::vector<std::string>& midList) {
    FillList(aisNames_, names);
    FillList(aisLog_, aisLog);
    FillList(midList_, midList);
}

void LabelEditorWindow::SetLogList(const std::vector<std::string>& lines) {
    FillList(log_, lines);
}

// ---- Label pages ---------------------------------------------------------------------------

void LabelEditorWindow::SelectTab(int tab) {
    SelectLabelTab(state_, tab);
    if (tclabel_->currentIndex() != state_.tab) {
        const QSignalBlocker block(tclabel_);
        tclabel_->setCurrentIndex(state_.tab);
    }
    ShowPage();
}

void LabelEditorWindow::ChooseSlot(int line, int slot, int index) {
    if (!ChooseLabelSlot(state_, line, slot, index)) return;
    // A kind the box could not list was replaced: its extra item goes.
    QComboBox* box = slots_[line][slot];
    if (box->count() > kLabelBoxKinds) {
        const QSignalBlocker block(box);
        box->removeItem(kLabelBoxKinds);
    }
    LayoutChanged();
}

void LabelEditorWindow::ChooseFormat(int choice, int index) {
    ChooseLabelFormat(state_, choice, index);
    LayoutChanged();
}

void LabelEditorWindow::CopyPreviousPage() {
    if (!CanCopyPreviousLabelPage(state_)) return;
    if (!Ask("Do you want to overwrite current settings?", kTitle)) return;
    CopyPreviousLabelPage(state_);
    ShowPage();
    LayoutChanged();
}

void LabelEditorWindow::ShowPage() {
    for (int line = 0; line < kLabelLines; ++line) {
        for (int slot = 0; slot < kLabelSlots; ++slot) {
            QComboBox* box = slots_[line][slot];
            const LabelSlotBox shown = LabelSlotBoxFor(state_.layout.kinds[state_.tab][line][slot]);
            const QSignalBlocker block(box);
            box->clear();
            for (const std::string& item : shown.items) box->addItem(L1(item));
            box->setCurrentIndex(shown.index);
        }
    }
    copyPrevious_->setEnabled(CanCopyPreviousLabelPage(state_));
    ShowPreview();
}

void LabelEditorWindow::ShowFormats() {
    const auto& choices = LabelFormatChoices();
    for (std::size_t c = 0; c < choices.size(); ++c) {
        const QSignalBlocker block(formats_[c]);
        formats_[c]->setCurrentIndex(state_.layout.formats.*choices[c].field);
    }
}

void LabelEditorWindow::ShowPreview() {
    const auto lines = LabelPreview(state_.layout, state_.tab, markLabel_);
    QStringList shown;
    for (const std::string& line : lines) shown.push_back(L1(line));
    preview_->setText(shown.join('\n'));
}

QStringList LabelEditorWindow::previewLines() const {
    return preview_->text().split('\n');
}

void LabelEditorWindow::LayoutChanged() {
    ShowPreview();
    if (onLayoutChanged) onLayoutChanged(state_.layout);
}

// ---- Accept, OK, Cancel --------------------------------------------------------------------

bool LabelEditorWindow::Accept() {
    if (!AcceptLabelEdits(state_, x(), y())) {
        Message(Concat({"Cannot write ", state_.path}), kTitle);
        return false;
    }
    if (onLayoutAccepted) onLayoutAccepted(state_.layout);
    return true;
}

void LabelEditorWindow::Ok() {
    Accept();
    closingByOk_ = true;
    close();
    closingByOk_ = false;
}

void LabelEditorWindow::Cancel() {
    CancelLabelEdits(state_);
    ShowPage();
    ShowFormats();
    LayoutChanged();
    close();
}

void LabelEditorWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        OpenLabelEditor(state_);
        if (!template_->document()->isModified()) LoadTemplate();
    }
    QWidget::showEvent(event);
}

void LabelEditorWindow::closeEvent(QCloseEvent* event) {
    if (!closingByOk_ && !state_.cancelled) {
        if (CloseLabelEditor(state_, x(), y())) {
            if (onLayoutAccepted) onLayoutAccepted(state_.layout);
        } else {
            Message(Concat({"Cannot write ", state_.path}), kTitle);
        }
    }
    event->accept();
    if (onClosed) onClosed();
}

void LabelEditorWindow::keyPressEvent(QKeyEvent* event) {
    if (onKey && onKey(*event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LabelEditorWindow::PlaceWindow() {
    std::vector<EditorScreen> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height(), screen == primary});
    }
    const QSize size = sizeHint();
    resize(size);
    const EditorPoint at = PlaceEditorWindow({state_.layout.windowLeft, state_.layout.windowTop},
                                             size.width(), size.height(), screens);
    move(at.left, at.top);
}

// ---- KML -----------------------------------------------------------------------------------

void LabelEditorWindow::ShowKmlOptions() {
    for (const auto& [check, field] : kmlChecks_) {
        const QSignalBlocker block(check);
        check->setChecked(kml_.*field);
    }
    const QSignalBlocker block(iconscale_);
    iconscale_->setCurrentIndex(KmlEditorIconScaleIndex(kml_.iconscale));
}

std::string LabelEditorWindow::templatePath() const {
    return LabelEditorScriptPath(stationDir_, kEditorAircraftTemplate);
}

QString LabelEditorWindow::templateText() const {
    return template_->toPlainText();
}

void LabelEditorWindow::LoadTemplate() {
    std::string bytes;
    if (!ReadWholeFile(templatePath(), bytes)) bytes.clear();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    templateLatin1_ = utf8.hasError();
    if (templateLatin1_) text = L1(bytes);
    template_->setPlainText(text);
    template_->document()->setModified(false);
}

bool LabelEditorWindow::SaveTemplate() {
    const QString text = template_->toPlainText();
    const QByteArray bytes = templateLatin1_ ? text.toLatin1() : text.toUtf8();
    const std::string path = templatePath();
    if (!ForceDirectories(ExtractFileDir(path)) ||
        !WriteFileReplacing(
            path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        Message(Concat({"Cannot write ", path}), kTitle);
        return false;
    }
    template_->document()->setModified(false);
    return true;
}

bool LabelEditorWindow::RunView(const char* linkFile) {
    const std::string path = LabelEditorScriptPath(stationDir_, linkFile);
    if (!FileExists(path)) {
        Message(Concat({"Network link file not found: ", path}), kTitle);
        return false;
    }
    if (!open || !open(path)) {
        Message(Concat({"Cannot open ", path}), kTitle);
        return false;
    }
    return true;
}

void LabelEditorWindow::Reload() {
    if (onReload) onReload();
    if (!template_->document()->isModified()) LoadTemplate();
}

bool LabelEditorWindow::Ask(const std::string& question, const std::string& title) const {
    return !ask || ask(question, title);
}

void LabelEditorWindow::Message(const std::string& text, const std::string& title) const {
    if (message) message(text, title);
}

}  // namespace aerova
