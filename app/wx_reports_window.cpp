#include "app/wx_reports_window.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace aerova {

WxReportsWindow::WxReportsWindow(QWidget* parent) : QWidget(parent, Qt::Tool), worker_(this) {
    setObjectName("wx");
    setWindowTitle("WX");
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    icao_ = new QLineEdit(this);
    icao_->setObjectName("edicao");
    icao_->setMaxLength(4);
    icao_->setToolTip("ICAO code of the airport");
    // Upper case as it is typed; the code goes into a request only when it has four
    // characters, and the library takes letters and digits only.
    connect(icao_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const QString upper = t.toUpper();
        if (upper != t) {
            const int at = icao_->cursorPosition();
            icao_->setText(upper);
            icao_->setCursorPosition(at);
        }
    });
    connect(icao_, &QLineEdit::returnPressed, this, [this] { GetWx(); });
    row->addWidget(icao_);
    get_ = new QPushButton("Get WX", this);
    get_->setObjectName("getwx");
    connect(get_, &QPushButton::clicked, this, [this] { GetWx(); });
    row->addWidget(get_);
    column->addLayout(row);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("wxtext");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    column->addWidget(text_);
    resize(420, 260);
}

QString WxReportsWindow::reports() const {
    return text_->toPlainText();
}

void WxReportsWindow::GetWx() {
    const std::string code = icao_->text().toStdString();
    const auto keepFocus = [this] {
        icao_->setFocus();
        icao_->selectAll();
    };
    if (code.size() != 4 || worker_.busy() || !source) return keepFocus();
    auto metar = std::make_shared<std::string>();
    auto taf = std::make_shared<std::string>();
    const WeatherTextSource from = source();
    get_->setEnabled(false);
    worker_.Run(
        [from, code, metar, taf] {
            *metar = FetchStationFile(from, "METAR", code);
            // A station without a report has no forecast either.
            if (!metar->empty()) *taf = FetchStationFile(from, "TAF", code);
        },
        [this, metar, taf] {
            get_->setEnabled(true);
            if (metar->empty()) return;  // nothing came back: the last reports stay
            text_->setPlainText(
                QString::fromLatin1(metar->data(), static_cast<int>(metar->size())) + "\n\n" +
                QString::fromLatin1(taf->data(), static_cast<int>(taf->size())));
        });
    keepFocus();
}

void WxReportsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onClosed) onClosed();
}

}  // namespace aerova
