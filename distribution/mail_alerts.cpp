#include "distribution/mail_alerts.h"

#include <ctime>
#include <memory>

#include "base/day_time.h"
#include "base/files.h"
#include "base/strings.h"

namespace aerova {

namespace {

constexpr const char* kMailTitle = "Aerova mail";

std::string StationTime(const StationClock& clock) {
    return FormatDateTime(kLongTimeFormat, clock.UtcNow());
}

std::string CallSign(const Tflight& f) {
    const std::string id = Trim(f.flightid.view());
    return id.empty() ? Trim(f.label.view()) : id;
}

std::vector<std::string> FlightLines(const Tflight& f, const std::string& time) {
    return {Concat({"Flight: ", CallSign(f)}),
            Concat({"Mode-S: ", f.modes.view()}),
            Concat({"Registration: ", Trim(f.reg.view())}),
            Concat({"Type: ", Trim(f.icaotype.view())}),
            Concat({"Squawk: ", Trim(f.squawk.view())}),
            Concat({"Altitude: ", Trim(f.altlabel.view())}),
            f.nopos ? std::string("Position: none")
                    : Concat({"Position: ", Trim(f.lat.view()), " ", Trim(f.lon.view())}),
            Concat({"Route: ", Trim(f.route.view())}),
            Concat({"Time: ", time, " UTC"})};
}

const char* FailureText(MailStage stage) {
    switch (stage) {
        case MailStage::kConnect:
            return "Mail transfer failed on connection";
        case MailStage::kSend:
            return "Mail transfer failed on send";
        case MailStage::kDisconnect:
            return "Mail transfer failed on disconnect";
        default:
            return nullptr;  // the inbox step is never reported by a message box
    }
}

}  // namespace

MailAlerts::MailAlerts(FlightTable& table, std::mutex& tableMutex, const StationClock& clock,
                       AlertManagerHost& host, PictureJob& job, std::string stationDir,
                       QObject* parent)
    : QObject(parent),
      table_(table),
      tableMutex_(tableMutex),
      clock_(clock),
      host_(host),
      job_(job),
      stationDir_(std::move(stationDir)) {}

std::string MailAlerts::mailLogPath() const {
    return JoinPath(stationDir_, kMailLogName);
}

bool MailAlerts::Test() {
    if (busy()) return false;
    PendingMail mail;
    mail.test = true;
    mail.image = true;
    mail.message.subject = "Aerova testing mail alert";
    mail.message.body = {"This is a test message only"};
    queue_.push_front(std::move(mail));
    StartNext();
    return true;
}

void MailAlerts::RaiseAlertMails(const std::string& alertText) {
    // Without an account the flags wait: set up later, it mails the flights still followed.
    if (settings_.account.host.empty() || settings_.recipients.empty()) return;
    std::vector<PendingMail> raised;
    {
        std::scoped_lock guard(tableMutex_);
        const std::string time = StationTime(clock_);
        for (Tflight& f : table_.flights) {
            if (f.free) continue;
            if (f.alertmail && !f.alertmailsent) {
                f.alertmailsent = true;
                PendingMail mail;
                mail.image = settings_.alertImage;
                mail.callsign = CallSign(f);
                mail.modes = f.modes.str();
                mail.message.subject =
                    Concat({"Aerova mail alert: ", mail.callsign, "/", mail.modes});
                if (!alertText.empty()) mail.message.subject += Concat({" ", alertText});
                mail.message.body = FlightLines(f, time);
                if (!alertText.empty()) mail.message.body.push_back(alertText);
                raised.push_back(std::move(mail));
            }
            if (f.emergencyalert && !f.emergencymailsent) {
                f.emergencymailsent = true;
                PendingMail mail;
                mail.image = settings_.emergencyImage;
                mail.callsign = CallSign(f);
                mail.modes = f.modes.str();
                mail.message.subject = Concat({"Aerova mail alert: ** EMERGENCY ** ", mail.callsign,
                                               "/", mail.modes, " squawk ", Trim(f.squawk.view())});
                mail.message.body = FlightLines(f, time);
                mail.message.body.push_back("** EMERGENCY **");
                raised.push_back(std::move(mail));
            }
        }
    }
    for (PendingMail& mail : raised) Enqueue(std::move(mail));
    StartNext();
}

void MailAlerts::Enqueue(PendingMail mail) {
    if (queue_.size() >= kMaxQueuedMails) {
        Log(Concat({"Alert mail dropped (too many waiting): ", mail.message.subject}));
        return;
    }
    queue_.push_back(std::move(mail));
}

void MailAlerts::StartNext() {
    if (busy() || queue_.empty()) return;
    PendingMail mail = std::move(queue_.front());
    queue_.pop_front();

    host_.SetIndicator(UploadIndicator::kYellow);
    job_.Suspend();
    mail.message.fromAddress = settings_.fromAddress;
    mail.message.recipients = settings_.recipients;
    mail.message.date = std::time(nullptr);
    mail.message.attachmentPath.clear();
    if (mail.image) {
        if (const auto picture = job_.CapturePictureForMail())
            mail.message.attachmentPath = *picture;
    }
    const MailAccount account = settings_.account;
    auto shared = std::make_shared<PendingMail>(std::move(mail));
    auto result = std::make_shared<MailResult>();
    const std::atomic<bool>* cancel = worker_.cancelFlag();
    auto lastShown = std::make_shared<std::uint64_t>(0);
    TransferWorker* worker = &worker_;
    worker_.Run(
        [account, shared, result, cancel, worker, lastShown, this] {
            *result = SendMail(
                account, shared->message,
                [worker, lastShown, this](std::uint64_t sent) {
                    if (sent == *lastShown) return;
                    *lastShown = sent;
                    worker->Post(
                        [this, sent] { host_.SetProgress("Bytes sent: " + std::to_string(sent)); });
                },
                cancel);
        },
        [this, shared, result] {
            Finished(*shared, *result);
            StartNext();
        });
}

void MailAlerts::Finished(const PendingMail& mail, const MailResult& result) {
    const std::string what = Concat({mail.message.subject, " to ", mail.message.recipients});
    if (!result.ok) {
        ++failed_;
        lastResult_ = result.text;
        if (mail.test) {
            if (const char* text = FailureText(result.failedAt)) host_.Message(text, kMailTitle);
        }
        host_.SetIndicator(UploadIndicator::kRed);
        Log(Concat({"Mail failed: ", what, ": ", result.text}));
        job_.Resume();
        return;
    }
    ++sent_;
    lastResult_ = "Mail sent";
    host_.SetCaption(
        Concat({StationTime(clock_), ": Event Alert Mail sent: ", mail.callsign, "/", mail.modes}));
    host_.SetIndicator(UploadIndicator::kGreen);
    host_.SetProgress("Mail sent");
    Log(Concat({"Mail sent: ", what}));
    job_.Resume();
}

void MailAlerts::Log(const std::string& text) {
    // Received values are kept to one line: the log is served as text to the panorama's
    // visitors.
    std::string line =
        Concat({FormatDateTime(Concat({kShortDateFormat, " ", kLongTimeFormat}), clock_.UtcNow()),
                " UTC ", text});
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    if (!AppendLine(mailLogPath(), line)) host_.WriteErrorLog("Cannot write " + mailLogPath());
}

}  // namespace aerova
