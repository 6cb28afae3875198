#include "distribution/mail_session.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>
#include <string_view>

#include "base/files.h"
#include "base/strings.h"
#include "distribution/curl_transfer.h"

namespace aerova {
namespace {

struct CurlCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using CurlList = std::unique_ptr<curl_slist, CurlCleanup>;

MailResult Failed(MailStage stage, std::string text) {
    return {false, stage, std::move(text)};
}

void Append(CurlList& list, const std::string& line) {
    curl_slist* longer = curl_slist_append(list.get(), line.c_str());
    if (longer != nullptr) {
        (void)list.release();
        list.reset(longer);
    }
}

// The address of one entry of an address list, "a@b" or "Name <a@b>", with control bytes
// removed (a line break in it must not start another header or SMTP command). Empty when what
// is left is no plain address: a blank, a bracket, a quote or an 8-bit byte inside.
std::string PlainAddress(std::string_view entry) {
    std::string text = Trim(Printable(entry));
    const std::size_t open = text.rfind('<');
    const std::size_t close = text.rfind('>');
    if (open != std::string::npos && close != std::string::npos && close > open)
        text = Trim(text.substr(open + 1, close - open - 1));
    for (const char c : text)
        if (c == ' ' || c == '<' || c == '>' || c == '"' || c == ',' || c == ';' ||
            static_cast<unsigned char>(c) >= 0x80)
            return {};
    return text;
}

std::vector<std::string> RecipientAddresses(std::string_view list) {
    std::vector<std::string> addresses;
    for (const std::string& entry : Split(list, ',')) {
        std::string address = PlainAddress(entry);
        const std::size_t at = address.find('@');
        if (at != std::string::npos && at > 0 && at + 1 < address.size())
            addresses.push_back(std::move(address));
    }
    return addresses;
}

// RFC 5322 date in UTC, with English names whatever the locale.
std::string MailDate(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm utc{};
    if (::gmtime_r(&when, &utc) == nullptr) return {};
    char text[128];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[utc.tm_wday],
                  utc.tm_mday, kMonths[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min,
                  utc.tm_sec);
    return text;
}

// A subject with 8-bit Latin-1 bytes as RFC 2047 encoded words ("Q" encoding, each word
// within 75 characters); a plain ASCII subject as it stands.
std::string SubjectText(std::string_view subject) {
    const std::string text = Printable(subject);
    bool ascii = true;
    for (const char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return text;
    constexpr std::string_view kStart = "=?ISO-8859-1?Q?";
    constexpr std::string_view kEnd = "?=";
    constexpr std::size_t kWordLength = 75;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::string word;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        std::string encoded;
        if (c == ' ')
            encoded = "_";
        else if (byte >= 0x80 || c == '=' || c == '?' || c == '_')
            encoded = {'=', kHex[byte >> 4], kHex[byte & 0x0F]};
        else
            encoded = std::string(1, c);
        if (kStart.size() + word.size() + encoded.size() + kEnd.size() > kWordLength) {
            out += Concat({out.empty() ? "" : " ", kStart, word, kEnd});
            word.clear();
        }
        word += encoded;
    }
    out += Concat({out.empty() ? "" : " ", kStart, word, kEnd});
    return out;
}

// The picture's file name for the Content-Disposition header, where it stands in quotes.
std::string AttachmentName(const std::string& path) {
    std::string name;
    for (const char c : Printable(ExtractFileName(path)))
        if (c != '"') name += c;
    return name.empty() ? std::string("picture.jpg") : name;
}

std::string BodyText(const std::vector<std::string>& lines) {
    std::string body;
    for (const std::string& line : lines) {
        body += Printable(line);
        body += "\r\n";
    }
    return body;
}

// pop3://host:port/ on the SMTP host name with the inbox port.
std::string InboxUrl(const std::string& host, int port) {
    std::unique_ptr<CURLU, CurlCleanup> url(curl_url());
    if (!url) return {};
    char* text = nullptr;
    if (curl_url_set(url.get(), CURLUPART_URL, Concat({"pop3://", host, "/"}).c_str(), 0) !=
            CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PORT, std::to_string(port).c_str(), 0) != CURLUE_OK ||
        curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK)
        return {};
    std::string result(text);
    curl_free(text);
    return result;
}

// POP before SMTP: log in and ask for the number of waiting messages (STAT), nothing read.
std::string CheckInbox(const MailAccount& account, const std::atomic<bool>* cancel) {
    static const std::function<void(std::uint64_t)> kNoProgress;
    const std::string url = InboxUrl(account.host, account.pop3Port);
    if (url.empty()) return "Invalid inbox address";
    CurlTransfer transfer(account.connectTimeoutMs, account.totalTimeoutMs, kNoProgress, cancel);
    CURL* curl = transfer.handle();
    if (curl == nullptr) return "Cannot start a transfer";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "pop3");
    curl_easy_setopt(curl, CURLOPT_USERNAME, account.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, account.password.c_str());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "STAT");
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);  // STAT answers on its status line only
    return transfer.Perform();
}

// The SMTP session has passed greeting, EHLO and login once the client names the sender:
// a failure from there on is one of the transfer.
int WatchCommands(CURL*, curl_infotype type, char* data, std::size_t size, void* sending) {
    constexpr std::string_view kMailFrom = "MAIL FROM:";
    if (type == CURLINFO_HEADER_OUT && StartsText(kMailFrom, std::string_view(data, size)))
        *static_cast<bool*>(sending) = true;
    return 0;
}

}  // namespace

MailResult SendMail(const MailAccount& account, const MailMessage& message,
                    const std::function<void(std::uint64_t sent)>& progress,
                    const std::atomic<bool>* cancel) {
    if (!IsServerAddress(account.host))
        return Failed(MailStage::kConnect,
                      Concat({"Invalid mail host: ", Printable(account.host)}));
    const std::string sender =
        PlainAddress(message.fromAddress.empty() ? account.user : message.fromAddress);
    if (sender.empty()) return Failed(MailStage::kSend, "No valid sender address");
    const std::vector<std::string> recipients = RecipientAddresses(message.recipients);
    if (recipients.empty()) return Failed(MailStage::kSend, "No valid recipient address");
    std::string picture;
    if (!message.attachmentPath.empty() && !ReadWholeFile(message.attachmentPath, picture))
        return Failed(MailStage::kSend, Concat({"Cannot read ", message.attachmentPath}));

    if (account.popBeforeSmtp) {
        const std::string failure = CheckInbox(account, cancel);
        if (!failure.empty()) return Failed(MailStage::kInbox, Concat({"Inbox: ", failure}));
    }

    // The envelope, the headers and the MIME body outlive the transfer that points to them.
    const std::string mailFrom = Concat({"<", sender, ">"});
    CurlList rcpt;
    std::string to;
    for (const std::string& address : recipients) {
        Append(rcpt, Concat({"<", address, ">"}));
        to += Concat({to.empty() ? "" : ", ", address});
    }
    const std::string from = Concat({"\"", kMailSenderName, "\" <", sender, ">"});
    CurlList headers;
    Append(headers,
           Concat({"Date: ", MailDate(message.date != 0 ? message.date : std::time(nullptr))}));
    Append(headers, Concat({"From: ", from}));
    Append(headers, Concat({"Sender: ", from}));
    Append(headers, Concat({"To: ", to}));
    Append(headers, Concat({"Subject: ", SubjectText(message.subject)}));
    const std::string body = BodyText(message.body);
    std::unique_ptr<curl_mime, CurlCleanup> mime;
    bool sending = false;  // set by WatchCommands

    CurlTransfer transfer(account.connectTimeoutMs, account.totalTimeoutMs, progress, cancel);
    CURL* curl = transfer.handle();
    if (curl == nullptr) return Failed(MailStage::kConnect, "Cannot start a transfer");
    const std::string url = Concat({"smtp://", account.host, "/"});
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp");
    if (account.smtpLogin) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, account.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, account.password.c_str());
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());

    mime.reset(curl_mime_init(curl));
    curl_mimepart* text = curl_mime_addpart(mime.get());
    curl_mime_data(text, body.data(), body.size());
    curl_mime_type(text, "text/plain; charset=ISO-8859-1");
    curl_mime_encoder(text, "quoted-printable");
    if (!message.attachmentPath.empty()) {
        curl_mimepart* jpeg = curl_mime_addpart(mime.get());
        curl_mime_data(jpeg, picture.data(), picture.size());
        curl_mime_type(jpeg, "image/jpeg");
        curl_mime_filename(jpeg, AttachmentName(message.attachmentPath).c_str());
        curl_mime_encoder(jpeg, "base64");
    }
    curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime.get());

    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &WatchCommands);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &sending);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);

    const std::string failure = transfer.Perform();
    if (!failure.empty()) return Failed(sending ? MailStage::kSend : MailStage::kConnect, failure);
    return {true, MailStage::kNone, "Mail sent"};
}

}  // namespace aerova
