#pragma once
// The alert mail session: optionally the inbox first (POP before SMTP, for providers that
// accept mail only from a client that has just read its inbox), then the message over SMTP
// with or without LOGIN authentication, plain connections. Synchronous; the caller runs it on
// a worker thread, and the time-outs and the cancel flag keep it from hanging there.

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace aerova {

struct MailAccount {
    std::string host;               // SMTP host, optionally ":port" (default 25)
    int pop3Port = 110;             // POP before SMTP, same host
    std::string user, password;     // for the inbox, and for SMTP when smtpLogin is on
    bool smtpLogin = false;         // AUTH LOGIN; off: no AUTH at all is attempted
    bool popBeforeSmtp = false;     // log in to the inbox and ask for the number of waiting
                                    // messages before the SMTP session
    long connectTimeoutMs = 15000;  // each connection, with its greeting and login
    long totalTimeoutMs = 60000;    // each session (inbox, SMTP)
};

struct MailMessage {
    std::string fromAddress;        // empty: the account's user name
    std::string recipients;         // comma-separated addresses ("a@b" or "Name <a@b>")
    std::string subject;            // Latin-1 station text
    std::vector<std::string> body;  // lines, Latin-1 station text
    std::string attachmentPath;     // empty: none; else a JPEG attached under its file name
    std::time_t date = 0;           // the Date: header (UTC); 0: the time of sending
};

constexpr const char* kMailSenderName = "Aerova Mail Alert";

// Where a session failed: the inbox, before the SMTP server accepted the connection and the
// login, or while the message went out (a message that cannot be made — no valid recipient,
// an unreadable picture — also counts as a failed send, with nothing sent). libcurl ends the
// SMTP session itself and a failing QUIT after an accepted message is not reported, so
// kDisconnect does not occur.
enum class MailStage { kNone, kInbox, kConnect, kSend, kDisconnect };

struct MailResult {
    bool ok = false;
    MailStage failedAt = MailStage::kNone;
    std::string text;  // "Mail sent", or what went wrong
};

// The whole session: the inbox first when popBeforeSmtp is set (its failure ends the session
// before any SMTP connection), then the message. `progress` gets the bytes of the message
// sent so far; `cancel` (may be null) ends the session within about a second.
MailResult SendMail(const MailAccount& account, const MailMessage& message,
                    const std::function<void(std::uint64_t sent)>& progress = {},
                    const std::atomic<bool>* cancel = nullptr);

}  // namespace aerova
