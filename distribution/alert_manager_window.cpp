#include "distribution/alert_manager_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/strings.h"
#include "distribution/mail_alerts.h"
#include "distribution/picture_job.h"
#include "distribution/window_text.h"

namespace aerova {

namespace {

QLineEdit* Field(QWidget* owner, const char* name, bool password = false) {
    auto* e = new QLineEdit(owner);
    e->setObjectName(name);
    if (password) e->setEchoMode(QLineEdit::Password);
    return e;
}

QCheckBox* Check(QWidget* owner, const char* name, const char* caption, bool on = false) {
    auto* c = new QCheckBox(caption, owner);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}

}  // namespace

AlertManagerWindow::AlertManagerWindow(PictureJob& job, MailAlerts& mail, AlertListState& alerts,
                                       bool& emergency, QWidget* parent)
    : QWidget(parent, Qt::Window), job_(job), mail_(mail), alerts_(alerts), emergency_(emergency) {
    setObjectName("ftp");
    setWindowTitle("Alert manager");
    auto* top = new QVBoxLayout(this);

    // The picture job.
    auto* picture = new QGroupBox("Window#2 image upload/archive", this);
    auto* pf = new QFormLayout(picture);
    pf->addRow("FTP host", Field(picture, "edftphost"));
    pf->addRow("User", Field(picture, "edftpuser"));
    pf->addRow("Password", Field(picture, "edftppwd", true));
    pf->addRow("Remote file name", Field(picture, "edftpfile"));
    pf->addRow("Remote directory", Field(picture, "edftpdir"));
    pf->addRow(Check(picture, "cbpassive", "Passive mode", true));
    cbinterval_ = new QComboBox(picture);
    cbinterval_->setObjectName("cbinterval");
    for (int m : kPictureIntervals) cbinterval_->addItem(QString("%1 min").arg(m));
    pf->addRow("Interval", cbinterval_);
    cbsize_ = new QComboBox(picture);
    cbsize_->setObjectName("cbsize");
    for (const PictureSize& s : kPictureSizes) cbsize_->addItem(s.name);
    pf->addRow("Picture size", cbsize_);
    auto* switches = new QHBoxLayout;
    for (auto [name, caption, on] :
         {std::tuple{"cbftp", "FTP upload", false}, std::tuple{"cbarchive", "File archive", false},
          std::tuple{"cbhttp", "HTTP server", false}, std::tuple{"cbjpeg", "Save JPEG", true}})
        switches->addWidget(Check(picture, name, caption, on));
    pf->addRow(switches);
    bustart_ = new QPushButton("Start", picture);
    bustart_->setObjectName("bustart");
    pf->addRow(bustart_);
    top->addWidget(picture);

    // The mail account and alert switches.
    auto* mailBox = new QGroupBox("Mail alert", this);
    auto* mf = new QFormLayout(mailBox);
    mf->addRow("Mail host", Field(mailBox, "edmailhost"));
    mf->addRow("User", Field(mailBox, "edmailuser"));
    mf->addRow("Password", Field(mailBox, "edmailpwd", true));
    QLineEdit* to = Field(mailBox, "edmailto");
    to->setToolTip("Separate multiple recipients by \",\"");
    to->setPlaceholderText("Separate multiple recipients by \",\"");
    mf->addRow("To", to);
    mf->addRow("From", Field(mailBox, "edmailfrom"));
    mf->addRow(Check(mailBox, "cbsmtplogin", "Use SMTP login authentication"));
    mf->addRow(Check(mailBox, "cbpop", "Access inbox account before send"));
    auto* emergencyRow = new QHBoxLayout;
    emergencyRow->addWidget(
        Check(mailBox, "cbemergency", "Send alert mail on Emergency Squawks", emergency_));
    emergencyRow->addWidget(Check(mailBox, "cbemergencyimage", "add image"));
    mf->addRow(emergencyRow);
    auto* alertRow = new QHBoxLayout;
    alertRow->addWidget(
        Check(mailBox, "cbsendmail", "Send alert mail on Mode-S/FlightNo/Reg", alerts_.sendmail));
    alertRow->addWidget(Check(mailBox, "cbalertimage", "add image"));
    mf->addRow(alertRow);
    mf->addRow(Check(mailBox, "cbfirstonly", "Alert on first occurence only", alerts_.firstonly));
    mf->addRow(Check(mailBox, "cbexact", "Exact syntax", alerts_.exact));
    top->addWidget(mailBox);

    // The followed flights.
    list_ = new QTreeWidget(this);
    list_->setObjectName("lvalerts");
    list_->setColumnCount(2);
    list_->setHeaderLabels({"Mode-S/FlightNo/Reg", "Comment"});
    list_->setRootIsDecorated(false);
    top->addWidget(list_, 1);
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(Field(this, "edalertid"));
    entryRow->addWidget(Field(this, "edalertcomment"), 1);
    auto* add = new QPushButton("Add", this);
    add->setObjectName("buadd");
    auto* edit = new QPushButton("Delete/Edit", this);
    edit->setObjectName("budelete");
    entryRow->addWidget(add);
    entryRow->addWidget(edit);
    top->addLayout(entryRow);

    auto* bottom = new QHBoxLayout;
    progress_ = new QLabel(this);
    progress_->setObjectName("lbprogress");
    bottom->addWidget(progress_, 1);
    butest_ = new QPushButton("Test", this);
    butest_->setObjectName("butest");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("buclose");
    bottom->addWidget(butest_);
    bottom->addWidget(close);
    top->addLayout(bottom);

    // Every field goes to its owner as it changes.
    for (const char* name : {"edftphost", "edftpuser", "edftppwd", "edftpfile", "edftpdir"})
        connect(field(name), &QLineEdit::textChanged, this, [this] { PushJobSettings(); });
    for (const char* name : {"cbpassive", "cbftp", "cbarchive", "cbhttp", "cbjpeg"})
        connect(check(name), &QCheckBox::toggled, this, [this] { PushJobSettings(); });
    connect(cbinterval_, &QComboBox::currentIndexChanged, this, [this] { PushJobSettings(); });
    connect(cbsize_, &QComboBox::currentIndexChanged, this, [this] { PushJobSettings(); });
    for (const char* name : {"edmailhost", "edmailuser", "edmailpwd", "edmailto", "edmailfrom"})
        connect(field(name), &QLineEdit::textChanged, this, [this] { PushMailSettings(); });
    for (const char* name : {"cbsmtplogin", "cbpop", "cbemergencyimage", "cbalertimage"})
        connect(check(name), &QCheckBox::toggled, this, [this] { PushMailSettings(); });
    for (const char* name : {"cbemergency", "cbsendmail", "cbfirstonly", "cbexact"})
        connect(check(name), &QCheckBox::toggled, this, [this] { PushAlertSwitches(); });
    connect(list_, &QTreeWidget::itemChanged, this, [this] {
        if (!filling_) WriteListBack();
    });
    connect(bustart_, &QPushButton::clicked, this, [this] { StartStop(); });
    connect(butest_, &QPushButton::clicked, this, [this] { mail_.Test(); });
    connect(add, &QPushButton::clicked, this, [this] { Add(); });
    connect(edit, &QPushButton::clicked, this, [this] { DeleteEdit(); });
    connect(close, &QPushButton::clicked, this, [this] { hide(); });

    PushJobSettings();
    PushMailSettings();
    RefreshList();
}

QLineEdit* AlertManagerWindow::field(const char* name) const {
    return findChild<QLineEdit*>(name);
}

QCheckBox* AlertManagerWindow::check(const char* name) const {
    return findChild<QCheckBox*>(name);
}

void AlertManagerWindow::PushJobSettings() {
    PictureJobSettings s = job_.settings();
    s.ftp.host = S(field("edftphost")->text().trimmed());
    s.ftp.user = S(field("edftpuser")->text());
    s.ftp.password = S(field("edftppwd")->text());
    s.ftp.remoteFile = S(field("edftpfile")->text().trimmed());
    s.ftp.remoteDir = S(field("edftpdir")->text().trimmed());
    s.ftp.passive = check("cbpassive")->isChecked();
    s.interval = cbinterval_->currentIndex();
    s.size = cbsize_->currentIndex();
    s.ftpUpload = check("cbftp")->isChecked();
    s.fileArchive = check("cbarchive")->isChecked();
    s.httpServer = check("cbhttp")->isChecked();
    s.saveJpeg = check("cbjpeg")->isChecked();
    job_.SetSettings(s);
}

void AlertManagerWindow::PushMailSettings() {
    MailAlertSettings s = mail_.settings();
    s.account.host = S(field("edmailhost")->text().trimmed());
    s.account.user = S(field("edmailuser")->text());
    s.account.password = S(field("edmailpwd")->text());
    s.account.smtpLogin = check("cbsmtplogin")->isChecked();
    s.account.popBeforeSmtp = check("cbpop")->isChecked();
    s.recipients = S(field("edmailto")->text());
    s.fromAddress = S(field("edmailfrom")->text().trimmed());
    s.emergencyImage = check("cbemergencyimage")->isChecked();
    s.alertImage = check("cbalertimage")->isChecked();
    mail_.SetSettings(s);
}

void AlertManagerWindow::PushAlertSwitches() {
    emergency_ = check("cbemergency")->isChecked();
    alerts_.sendmail = check("cbsendmail")->isChecked();
    alerts_.firstonly = check("cbfirstonly")->isChecked();
    alerts_.exact = check("cbexact")->isChecked();
}

void AlertManagerWindow::StartStop() {
    if (job_.active()) {
        job_.Stop();
    } else {
        PushJobSettings();
        const PictureJob::StartResult r = job_.Start();
        // A hidden window 2 switches the upload off, as the job did.
        if (r == PictureJob::StartResult::kWindowHidden) check("cbftp")->setChecked(false);
    }
    bustart_->setText(job_.active() ? "Stop" : "Start");
}

void AlertManagerWindow::SetProgress(const std::string& text) {
    progress_->setText(Q(text));
}

void AlertManagerWindow::RefreshList() {
    filling_ = true;
    list_->clear();
    for (const AlertEntry& e : alerts_.entries) {
        const auto colon = e.text.find(':');
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, Q(e.text.substr(0, colon)));
        item->setText(1, colon == std::string::npos ? QString() : Q(e.text.substr(colon + 1)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, e.checked ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void AlertManagerWindow::WriteListBack() {
    for (int i = 0; i < list_->topLevelItemCount() && i < int(alerts_.entries.size()); ++i)
        alerts_.entries[std::size_t(i)].checked =
            list_->topLevelItem(i)->checkState(0) == Qt::Checked;
}

void AlertManagerWindow::Add() {
    const std::string id = Trim(UpperCase(S(field("edalertid")->text())));
    if (id.empty()) return;
    const std::string text = Trim(Concat({id, ":", S(field("edalertcomment")->text())}));
    // The list is kept sorted: ingest matches its entries in this order.
    const auto at =
        std::upper_bound(alerts_.entries.begin(), alerts_.entries.end(), text,
                         [](const std::string& t, const AlertEntry& e) { return t < e.text; });
    alerts_.entries.insert(at, AlertEntry{true, text});
    field("edalertid")->clear();
    field("edalertcomment")->clear();
    RefreshList();
}

void AlertManagerWindow::DeleteEdit() {
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) return;
    if (!field("edalertid")->text().isEmpty()) {
        field("edalertid")->clear();
        field("edalertcomment")->clear();
        return;
    }
    const int row = list_->indexOfTopLevelItem(item);
    if (row < 0 || row >= int(alerts_.entries.size())) return;
    const std::string text = alerts_.entries[std::size_t(row)].text;
    const auto colon = text.find(':');
    field("edalertid")->setText(Q(text.substr(0, colon)));
    field("edalertcomment")
        ->setText(colon == std::string::npos ? QString() : Q(text.substr(colon + 1)));
    alerts_.entries.erase(alerts_.entries.begin() + row);
    RefreshList();
}

void AlertManagerWindow::showEvent(QShowEvent* event) {
    RefreshList();
    QWidget::showEvent(event);
}

void AlertManagerWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onHidden) onHidden();
}

}  // namespace aerova
