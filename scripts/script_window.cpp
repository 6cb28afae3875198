#include "scripts/script_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTextBlock>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/strings.h"

namespace aerova {

namespace {

constexpr const char* kCaption = "Aerova Panorama Script";
constexpr const char* kFilter = "Script files (*.aqs)";
// The name field: silver while the editor holds the file, light red after an edit.
const QString kSaved = "background-color: rgb(192, 192, 192);";
const QString kEdited = "background-color: rgb(255, 206, 206);";

// A line as the checker sees it: trimmed, blanks squeezed, upper case.
std::string Normalised(std::string_view line) {
    std::string s = Trim(std::string(line));
    while (s.find("  ") != std::string::npos) s = ReplaceAll(s, "  ", " ");
    return UpperCase(s);
}

// What an error message is about, as the editor would hold it: the numbered program line
// an E100/E200/E300 message names (else the quoted statement reported with it), or the
// include line of a file an include fault names. Nothing for faults of the whole script.
std::string ErrorTarget(const ScriptCheck& check, int row) {
    const auto& e = check.errors;
    if (row < 0 || row >= static_cast<int>(e.size())) return {};
    const std::size_t r = static_cast<std::size_t>(row);
    const bool quotedRow = !e[r].empty() && e[r].front() == '"';
    if (!quotedRow && e[r].find("in line ") == std::string::npos) {
        const std::size_t colon = e[r].find(": ");
        if (colon == std::string::npos) return {};
        std::string name = e[r].substr(colon + 2);
        if (const std::size_t slash = name.rfind('/'); slash != std::string::npos)
            name = name.substr(slash + 1);
        return Normalised(Concat({"$", name, "$"}));
    }
    const std::size_t quoted = quotedRow ? r : r - 1;
    const std::size_t message = quoted + 1;
    if (message < e.size()) {
        const std::size_t at = e[message].find("in line ");
        if (at != std::string::npos) {
            const std::string head = Concat({" ", e[message].substr(at + 8, 3), " "});
            std::istringstream program(check.program);
            for (std::string line; std::getline(program, line);)
                if (line.rfind(head, 0) == 0) return Normalised(line.substr(head.size()));
        }
    }
    std::string text = e[quoted];
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return Normalised(text);
}

// The statement text an E100/E200 message quotes, without its quotes; empty for others.
std::string QuotedStatement(const ScriptCheck& check, int row) {
    const auto& e = check.errors;
    if (row < 0 || row >= static_cast<int>(e.size())) return {};
    const std::size_t r = static_cast<std::size_t>(row);
    const bool quotedRow = !e[r].empty() && e[r].front() == '"';
    if (!quotedRow && (r == 0 || e[r].find("in line ") == std::string::npos)) return {};
    const std::string& text = quotedRow ? e[r] : e[r - 1];
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return {};
    return Trim(text.substr(1, text.size() - 2));
}

}  // namespace

ScriptWindow::ScriptWindow(ScriptState& state, std::string scriptsDir, ScriptWindowDialogs dialogs,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      state_(state),
      scriptsDir_(std::move(scriptsDir)),
      dialogs_(std::move(dialogs)) {
    setObjectName("script");
    setWindowTitle(kCaption);
    auto* column = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto* load = new QPushButton("Load....", this);
    load->setObjectName("buload");
    connect(load, &QPushButton::clicked, this, [this] { LoadCommand(); });
    bar->addWidget(load);
    auto* save = new QPushButton("Save...", this);
    save->setObjectName("busave");
    connect(save, &QPushButton::clicked, this, [this] { SaveCommand(); });
    bar->addWidget(save);
    fileName_ = new QLineEdit(this);
    fileName_->setObjectName("edfilename");
    fileName_->setReadOnly(true);
    fileName_->setStyleSheet(kSaved);
    bar->addWidget(fileName_, 1);
    run_ = new QPushButton("Run", this);
    run_->setObjectName("burun");
    run_->setCheckable(true);
    connect(run_, &QPushButton::clicked, this, [this](bool down) { SetRun(down); });
    bar->addWidget(run_);
    column->addLayout(bar);

    auto* timing = new QHBoxLayout;
    timing->addWidget(new QLabel("Execute every", this));
    execute_ = new QSlider(Qt::Horizontal, this);
    execute_->setObjectName("tbexecute");
    execute_->setRange(1, 20);  // 30 to 600 seconds
    timing->addWidget(execute_, 1);
    executeText_ = new QLabel(this);
    timing->addWidget(executeText_);
    interval_ = new QSlider(Qt::Horizontal, this);
    interval_->setObjectName("tbinterval");
    interval_->setRange(1, 12);  // 10 to 120 minutes
    interval_->hide();
    timing->addWidget(interval_);
    connect(execute_, &QSlider::valueChanged, this, [this](int v) {
        state_.execute = v * 30;
        ShowExecute();
    });
    connect(interval_, &QSlider::valueChanged, this, [this](int v) { state_.interval = v * 10; });
    column->addLayout(timing);

    editor_ = new QPlainTextEdit(this);
    editor_->setObjectName("memo");
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setFont(QFont("Monospace"));
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) SetModified(true);
    });
    column->addWidget(editor_, 3);
    errors_ = new QListWidget(this);
    errors_->setObjectName("lberrors");
    connect(errors_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { GoToError(errors_->row(item)); });
    column->addWidget(errors_, 1);
    resize(640, 480);
    ShowExecute();
}

void ScriptWindow::ShowExecute() {
    const int execute = std::clamp(state_.execute, 30, 600);
    const int interval = std::clamp(state_.interval, 10, 120);
    execute_->blockSignals(true);
    execute_->setValue(execute / 30);
    execute_->blockSignals(false);
    interval_->blockSignals(true);
    interval_->setValue(interval / 10);
    interval_->blockSignals(false);
    executeText_->setText(QString("%1 s").arg(execute / 30 * 30));
}

void ScriptWindow::Start() {
    ShowExecute();
    if (IsPlainScriptName(state_.filename)) {
        const std::string path = Concat({scriptsDir_, "/", state_.filename});
        if (std::filesystem::exists(path)) Load(path);
    }
    if (state_.active) {
        run_->setChecked(true);
        SetRun(true);
    }
}

bool ScriptWindow::running() const {
    return run_->isChecked();
}

void ScriptWindow::SetModified(bool modified) {
    modified_ = modified;
    fileName_->setStyleSheet(modified ? kEdited : kSaved);
}

// Scripts live in aerova-scripts/ only: a path a dialog returns elsewhere is refused.
std::optional<std::string> ScriptWindow::InsideScripts(const std::string& path) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(path);
    const std::string name = p.filename().string();
    if (!IsPlainScriptName(name)) return std::nullopt;
    const fs::path dir = fs::weakly_canonical(p.parent_path(), ec);
    if (ec || dir != fs::weakly_canonical(fs::path(scriptsDir_), ec) || ec) return std::nullopt;
    return name;
}

bool ScriptWindow::Load(const std::string& path) {
    const auto name = InsideScripts(path);
    std::ifstream in(path, std::ios::binary);
    if (!name || !in) {
        fileName_->clear();
        SetModified(false);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    loading_ = true;
    const std::string bytes = text.str();
    editor_->setPlainText(QString::fromLatin1(bytes.data(), static_cast<int>(bytes.size())));
    loading_ = false;
    fileName_->setText(QString::fromStdString(*name));
    state_.filename = *name;
    SetModified(false);
    return true;
}

bool ScriptWindow::Save(const std::string& path) {
    const auto name = InsideScripts(path);
    const QByteArray bytes = editor_->toPlainText().toLatin1();
    bool ok = false;
    if (name) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.constData(), bytes.size());
        ok = static_cast<bool>(out);
    }
    if (!ok) {
        fileName_->clear();
        SetModified(false);
        return false;
    }
    fileName_->setText(QString::fromStdString(*name));
    state_.filename = *name;
    SetModified(false);
    return true;
}

void ScriptWindow::LoadCommand() {
    const auto open = dialogs_.open ? dialogs_.open : [this](const std::string& dir) {
        const QString file = QFileDialog::getOpenFileName(this, "Open Aerova Script File",
                                                          QString::fromStdString(dir), kFilter);
        return file.isEmpty() ? std::nullopt : std::optional<std::string>(file.toStdString());
    };
    const auto path = open(scriptsDir_);
    if (!path) return;
    state_.openscript = scriptsDir_;
    if (!Load(*path) && dialogs_.message)
        dialogs_.message(Concat({"Scripts are loaded from ", scriptsDir_}));
}

bool ScriptWindow::SaveCommand() {
    const auto save =
        dialogs_.save ? dialogs_.save : [this](const std::string& dir, const std::string& name) {
            const QString file = QFileDialog::getSaveFileName(
                this, "Save Aerova Script File", QString::fromStdString(Concat({dir, "/", name})),
                kFilter);
            return file.isEmpty() ? std::nullopt : std::optional<std::string>(file.toStdString());
        };
    const auto path = save(scriptsDir_, fileName_->text().toStdString());
    if (!path) return false;
    state_.savescript = scriptsDir_;
    if (Save(*path)) return true;
    if (dialogs_.message) dialogs_.message(Concat({"Scripts are saved in ", scriptsDir_}));
    return false;
}

void ScriptWindow::SetRun(bool down) {
    if (!down) {
        editor_->setReadOnly(false);
        state_.active = false;
        return;
    }
    const auto popUp = [this] {
        run_->setChecked(false);
        state_.active = false;
    };
    if (Trim(editor_->toPlainText().toStdString()).empty()) return popUp();
    if (modified_) SaveCommand();
    errors_->clear();
    checked_ = CheckScript(editor_->toPlainText().toLatin1().toStdString(), scriptsDir_);
    for (const std::string& line : checked_.errors)
        errors_->addItem(QString::fromLatin1(line.data(), static_cast<int>(line.size())));
    if (!checked_.errors.empty()) return popUp();
    errors_->addItem("No errors.");
    editor_->setReadOnly(true);
    state_.active = true;
}

void ScriptWindow::GoToError(int row) {
    const std::string target = ErrorTarget(checked_, row);
    if (target.empty()) return;
    // The editor line that holds the statement: the whole line first, else one containing it.
    int found = -1;
    for (int pass = 0; pass < 2 && found < 0; ++pass) {
        for (QTextBlock b = editor_->document()->begin(); b.isValid(); b = b.next()) {
            const std::string line = Normalised(b.text().toLatin1().toStdString());
            if (line.empty()) continue;
            if (pass == 0 ? line == target
                          : line.find(target) != std::string::npos ||
                                target.find(line) != std::string::npos) {
                found = b.blockNumber();
                break;
            }
        }
    }
    if (found < 0) return;
    const QTextBlock block = editor_->document()->findBlockByNumber(found);
    QTextCursor cursor(block);
    // On the line, the cursor goes to the statement the message quotes (the rest of the
    // line from the statement it could not take on).
    const std::string quoted = QuotedStatement(checked_, row);
    if (!quoted.empty()) {
        const QString first = QString::fromLatin1(quoted.substr(0, quoted.find(' ')).c_str());
        const int column = block.text().indexOf(first, 0, Qt::CaseInsensitive);
        if (column > 0) cursor.setPosition(block.position() + column);
    }
    editor_->setTextCursor(cursor);
    editor_->setFocus();
}

void ScriptWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onHidden) onHidden();
}

}  // namespace aerova
