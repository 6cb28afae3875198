#pragma once
// The alert manager's mail sessions: the test mail, and one alert mail per flight and flag
// for the alerts ingest raises (a followed flight: `alertmail`; an emergency squawk from a
// peer: `emergencyalert`). Sessions run one after another on a worker with time-outs; the
// picture is taken for the mail on the UI thread before its session starts, and the picture
// job's timer waits while a session runs.

#include <QObject>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "core/flight_table.h"
#include "distribution/alert_manager_host.h"
#include "distribution/mail_session.h"
#include "distribution/picture_job.h"
#include "distribution/transfer_worker.h"
#include "platform/clock.h"

namespace aerova {

// The mail fields of the alert manager window, not stored.
struct MailAlertSettings {
    MailAccount account;
    std::string fromAddress;      // "From"; empty: the account's user name
    std::string recipients;       // "Separate multiple recipients by ","
    bool emergencyImage = false;  // "add image" of "Send alert mail on Emergency Squawks"
    bool alertImage = false;      // "add image" of "Send alert mail on Mode-S/FlightNo/Reg"
};

// The mail log "maillog.txt" of the station directory: one line per session.
constexpr const char* kMailLogName = "maillog.txt";
// Alert mails waiting beyond this many are dropped (and logged): a list entry that matches
// a whole airline must not queue a mail per aircraft for hours.
constexpr std::size_t kMaxQueuedMails = 20;

class MailAlerts : public QObject {
  public:
    MailAlerts(FlightTable& table, std::mutex& tableMutex, const StationClock& clock,
               AlertManagerHost& host, PictureJob& job, std::string stationDir,
               QObject* parent = nullptr);

    void SetSettings(const MailAlertSettings& settings) { settings_ = settings; }
    const MailAlertSettings& settings() const { return settings_; }

    // "Test": the whole session with the test message and, when one can be taken, the
    // radar picture. False when a session runs already.
    bool Test();
    // After each tick: a mail for every flight whose alert flag is new since its last mail.
    void RaiseAlertMails(const std::string& alertText);

    bool busy() const { return worker_.busy(); }
    std::size_t queued() const { return queue_.size(); }
    int sent() const { return sent_; }
    int failed() const { return failed_; }
    const std::string& lastResult() const { return lastResult_; }
    std::string mailLogPath() const;

  private:
    struct PendingMail {
        bool test = false;
        bool image = false;
        std::string callsign, modes;
        MailMessage message;
    };
    void Enqueue(PendingMail mail);
    void StartNext();
    void Finished(const PendingMail& mail, const MailResult& result);
    void Log(const std::string& text);

    FlightTable& table_;
    std::mutex& tableMutex_;
    const StationClock& clock_;
    AlertManagerHost& host_;
    PictureJob& job_;
    std::string stationDir_;
    MailAlertSettings settings_;
    std::deque<PendingMail> queue_;
    TransferWorker worker_;
    int sent_ = 0;
    int failed_ = 0;
    std::string lastResult_;
};

}  // namespace aerova
