#include "distribution/mail_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "base/files.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"
#include "distribution/child_server.h"

namespace aerova {
namespace {

using namespace std::chrono_literals;
using testing::ChildServer;
using testing::kPython;
using testing::SilentServer;
using testing::TempDir;
using testing::TestScript;

constexpr std::time_t kNewYearNoon = 1767270896;  // Thu, 01 Jan 2026 12:34:56 UTC

// The header lines of a message, folded lines joined.
std::vector<std::string> HeaderLines(const std::string& message) {
    std::vector<std::string> lines;
    const std::string head = message.substr(0, message.find("\r\n\r\n"));
    for (std::size_t at = 0; at <= head.size();) {
        std::size_t end = head.find("\r\n", at);
        if (end == std::string::npos) end = head.size();
        const std::string line = head.substr(at, end - at);
        if (!lines.empty() && !line.empty() && (line[0] == ' ' || line[0] == '\t'))
            lines.back() += line;
        else
            lines.push_back(line);
        at = end + 2;
    }
    return lines;
}

std::vector<std::string> Header(const std::string& message, const std::string& name) {
    std::vector<std::string> values;
    for (const std::string& line : HeaderLines(message))
        if (StartsText(name + ": ", line)) values.push_back(line.substr(name.size() + 2));
    return values;
}

std::string Base64Decoded(std::string_view text) {
    static const std::string kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        const std::size_t value = kAlphabet.find(c);
        if (value == std::string::npos) continue;  // line breaks and "=" padding
        bits = (bits << 6) | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

// The body part whose headers hold `contentType`: its headers and its (still encoded) content.
struct MimePart {
    std::string headers, content;
};
MimePart PartOfType(const std::string& message, const std::string& contentType) {
    const std::size_t type = message.find("Content-Type: " + contentType);
    if (type == std::string::npos) return {};
    const std::size_t start = message.rfind("\r\n--", type);
    const std::size_t body = message.find("\r\n\r\n", type);
    const std::size_t end = message.find("\r\n--", body);
    if (start == std::string::npos || body == std::string::npos || end == std::string::npos)
        return {};
    return {message.substr(start, body - start), message.substr(body + 4, end - body - 4)};
}

// A JPEG's markers around bytes of every value.
std::string JpegBytes() {
    std::mt19937 random(7700);
    std::string bytes = "\xFF\xD8\xFF\xE0";
    for (int i = 0; i < 40000; ++i) bytes += static_cast<char>(random() & 0xFF);
    return bytes + "\xFF\xD9";
}

// aiosmtpd (python3-aiosmtpd) offering AUTH LOGIN on a plain connection, storing every message;
// a Twisted POP3 inbox (python3-twisted) when a test asks for one.
class MailSessionTest : public ::testing::Test {
  protected:
    static constexpr const char* kUser = "station";
    static constexpr const char* kPassword = "s3cret";

    void SetUp() override {
        ASSERT_TRUE(ForceDirectories(Stored()));
        smtpPort_ = testing::FreeLoopbackPort();
        smtp_ =
            testing::StartSmtpServer(smtpPort_, kUser, kPassword, Stored(), temp_.File("smtp.log"));
        ASSERT_TRUE(smtp_->WaitUntilListening(smtpPort_)) << smtp_->Log();
    }
    void StartInbox() {
        pop3Port_ = testing::FreeLoopbackPort();
        pop3_ = std::make_unique<ChildServer>(
            std::vector<std::string>{kPython, TestScript("pop3_server.py"),
                                     std::to_string(pop3Port_), kUser, kPassword,
                                     temp_.File("logins.log")},
            temp_.File("pop3.log"));
        ASSERT_TRUE(pop3_->WaitUntilListening(pop3Port_)) << pop3_->Log();
    }

    MailAccount Account() const {
        MailAccount account;
        account.host = "127.0.0.1:" + std::to_string(smtpPort_);
        account.pop3Port = pop3Port_;
        account.user = kUser;
        account.password = kPassword;
        account.connectTimeoutMs = 5000;
        account.totalTimeoutMs = 20000;
        return account;
    }
    static MailMessage TestMessage() {
        MailMessage message;
        message.fromAddress = "alerts@example.org";
        message.recipients = "ops@example.org";
        message.subject = "Aerova testing mail alert";
        message.body = {"This is a test message only"};
        message.date = kNewYearNoon;
        return message;
    }

    std::string Stored() const { return temp_.File("smtp"); }
    std::string Message(int number) const {
        std::string text;
        ReadWholeFile(JoinPath(Stored(), std::to_string(number) + ".eml"), text);
        return text;
    }
    std::vector<std::string> Envelope(int number) const {
        return ReadLines(JoinPath(Stored(), std::to_string(number) + ".env"));
    }
    // The SMTP server's record of greetings and logins.
    std::vector<std::string> SmtpSession() const {
        return ReadLines(JoinPath(Stored(), "session.log"));
    }
    long Count(const std::vector<std::string>& lines, std::string_view prefix) const {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& line) { return StartsText(prefix, line); });
    }

    TempDir temp_;
    int smtpPort_ = 0;
    int pop3Port_ = 0;
    std::unique_ptr<ChildServer> smtp_;
    std::unique_ptr<ChildServer> pop3_;
};

TEST_F(MailSessionTest, WithoutLoginSendsNoAuthAndKeepsInjectedLinesOutOfTheHeaders) {
    MailAccount account = Account();
    account.user = "station@example.org";
    MailMessage message;
    message.recipients =
        " ops@example.org , ,duty@example.net\r\nBcc: evil@example.com, Watch Desk "
        "<watch@example.net>";
    message.subject = "EMERGENCY 7700 DLH4AB\r\nBcc: evil@example.com";
    message.body = {"Squawk 7700 H\xF6he FL350", "Mode-S 3C6586"};
    message.date = kNewYearNoon;

    const MailResult result = SendMail(account, message);
    ASSERT_TRUE(result.ok) << result.text << "\n" << smtp_->Log();
    EXPECT_EQ(result.failedAt, MailStage::kNone);
    EXPECT_EQ(result.text, "Mail sent");

    EXPECT_EQ(Envelope(1),
              (std::vector<std::string>{"from station@example.org", "to ops@example.org",
                                        "to watch@example.net"}));
    const std::string stored = Message(1);
    const std::string from = "\"Aerova Mail Alert\" <station@example.org>";
    EXPECT_EQ(Header(stored, "From"), std::vector<std::string>{from});
    EXPECT_EQ(Header(stored, "Sender"), std::vector<std::string>{from});
    EXPECT_EQ(Header(stored, "To"), std::vector<std::string>{"ops@example.org, watch@example.net"});
    EXPECT_EQ(Header(stored, "Subject"),
              std::vector<std::string>{"EMERGENCY 7700 DLH4ABBcc: evil@example.com"});
    EXPECT_EQ(Header(stored, "Date"), std::vector<std::string>{"Thu, 01 Jan 2026 12:34:56 +0000"});
    EXPECT_TRUE(Header(stored, "Bcc").empty()) << stored;

    const MimePart text = PartOfType(stored, "text/plain");
    EXPECT_NE(text.headers.find("Content-Type: text/plain; charset=ISO-8859-1"), std::string::npos)
        << stored;
    EXPECT_NE(text.headers.find("Content-Transfer-Encoding: quoted-printable"), std::string::npos);
    EXPECT_EQ(text.content, "Squawk 7700 H=F6he FL350\r\nMode-S 3C6586\r\n");
    EXPECT_EQ(stored.find("image/jpeg"), std::string::npos);

    // The server offers AUTH LOGIN and PLAIN; the client must not use either.
    const std::vector<std::string> session = SmtpSession();
    EXPECT_EQ(Count(session, "EHLO"), 1);
    EXPECT_EQ(Count(session, "AUTH"), 0);
}

TEST_F(MailSessionTest, LogsInWithAuthLoginAndAttachesThePicture) {
    const std::string jpeg = JpegBytes();
    temp_.Write("~~temp.jpg", jpeg);
    MailAccount account = Account();
    account.smtpLogin = true;
    MailMessage message = TestMessage();
    message.recipients = "ops@example.org,duty@example.net";
    message.attachmentPath = temp_.File("~~temp.jpg");
    std::vector<std::uint64_t> sent;

    const MailResult result =
        SendMail(account, message, [&](std::uint64_t bytes) { sent.push_back(bytes); });
    ASSERT_TRUE(result.ok) << result.text << "\n" << smtp_->Log();

    EXPECT_EQ(Count(SmtpSession(), "AUTH LOGIN station ok"), 1);
    EXPECT_EQ(Envelope(1), (std::vector<std::string>{"from alerts@example.org",
                                                     "to ops@example.org", "to duty@example.net"}));
    const std::string stored = Message(1);
    EXPECT_EQ(Header(stored, "From"),
              std::vector<std::string>{"\"Aerova Mail Alert\" <alerts@example.org>"});
    EXPECT_EQ(PartOfType(stored, "text/plain").content, "This is a test message only\r\n");
    const MimePart picture = PartOfType(stored, "image/jpeg");
    EXPECT_NE(picture.headers.find("filename=\"~~temp.jpg\""), std::string::npos) << stored;
    EXPECT_NE(picture.headers.find("Content-Transfer-Encoding: base64"), std::string::npos);
    EXPECT_TRUE(Base64Decoded(picture.content) == jpeg) << picture.content.substr(0, 200);

    ASSERT_FALSE(sent.empty());
    EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end()));
    EXPECT_GT(sent.back(), jpeg.size() * 4 / 3);
}

TEST_F(MailSessionTest, Latin1SubjectsBecomeEncodedWords) {
    const std::string e30(30, '\xE9');
    std::string nineteen, eleven;
    for (int i = 0; i < 19; ++i) nineteen += "=E9";
    for (int i = 0; i < 11; ++i) eleven += "=E9";
    const struct {
        std::string subject, header;
    } cases[] = {
        {"Aerova testing mail alert", "Aerova testing mail alert"},
        {"\xDC"
         "berflug D-EXYZ H\xF6he",
         "=?ISO-8859-1?Q?=DCberflug_D-EXYZ_H=F6he?="},
        {"a=b?_c \xE9", "=?ISO-8859-1?Q?a=3Db=3F=5Fc_=E9?="},
        // An encoded word holds at most 75 characters: the rest goes into a second one.
        {e30, Concat({"=?ISO-8859-1?Q?", nineteen, "?= =?ISO-8859-1?Q?", eleven, "?="})},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        MailMessage message = TestMessage();
        message.subject = c.subject;
        const MailResult result = SendMail(Account(), message);
        ASSERT_TRUE(result.ok) << result.text;
        EXPECT_EQ(Header(Message(++number), "Subject"), std::vector<std::string>{c.header});
    }
}

TEST_F(MailSessionTest, FailuresNameTheirStage) {
    const struct {
        const char* name;
        bool smtpLogin;
        std::string password, recipients;
        MailStage stage;
        std::string text;
        long greetings;  // EHLOs the server saw
    } cases[] = {
        {"wrong SMTP password", true, "wrong", "ops@example.org", MailStage::kConnect,
         "Login denied", 1},
        {"recipient refused", false, kPassword, "nobody@refused.example", MailStage::kSend,
         "RCPT failed: 550", 1},
        {"no valid recipient", false, kPassword, " , \r\n,nobody, two words@example.org",
         MailStage::kSend, "No valid recipient address", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const long before = Count(SmtpSession(), "EHLO");
        MailAccount account = Account();
        account.smtpLogin = c.smtpLogin;
        account.password = c.password;
        MailMessage message = TestMessage();
        message.recipients = c.recipients;
        const MailResult result = SendMail(account, message);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.failedAt, c.stage);
        EXPECT_EQ(result.text, c.text);
        EXPECT_EQ(Count(SmtpSession(), "EHLO") - before, c.greetings);
    }
    EXPECT_FALSE(FileExists(JoinPath(Stored(), "1.eml")));
}

TEST_F(MailSessionTest, PopBeforeSmtpSendsOnlyAfterTheInboxLogin) {
    StartInbox();
    MailAccount account = Account();
    account.popBeforeSmtp = true;

    account.password = "wrong";
    const MailResult refused = SendMail(account, TestMessage());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.failedAt, MailStage::kInbox);
    EXPECT_EQ(refused.text.rfind("Inbox: ", 0), 0u) << refused.text;
    EXPECT_EQ(Count(SmtpSession(), "EHLO"), 0) << "an SMTP session after a refused inbox";

    account.password = kPassword;
    const MailResult sent = SendMail(account, TestMessage());
    EXPECT_TRUE(sent.ok) << sent.text << "\n" << pop3_->Log();
    EXPECT_EQ(sent.failedAt, MailStage::kNone);
    EXPECT_EQ(ReadLines(temp_.File("logins.log")),
              (std::vector<std::string>{"login station refused", "login station ok"}));
    EXPECT_EQ(Envelope(1),
              (std::vector<std::string>{"from alerts@example.org", "to ops@example.org"}));
}

TEST(MailSessionSilentServer, EndsAtTheConnectTimeOutInTheStageThatWaited) {
    for (const bool inboxFirst : {false, true}) {
        SCOPED_TRACE(inboxFirst ? "inbox" : "smtp");
        SilentServer silent;
        MailAccount account;
        account.host = "127.0.0.1:" + std::to_string(silent.port());
        account.pop3Port = silent.port();
        account.user = "station";
        account.popBeforeSmtp = inboxFirst;
        account.connectTimeoutMs = 1000;
        account.totalTimeoutMs = 2000;
        MailMessage message;
        message.recipients = "ops@example.org";
        const auto started = std::chrono::steady_clock::now();
        const MailResult result = SendMail(account, message);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.failedAt, inboxFirst ? MailStage::kInbox : MailStage::kConnect);
        EXPECT_NE(result.text.find("timed out"), std::string::npos) << result.text;
        EXPECT_GE(took, 900ms);
        EXPECT_LT(took, 4s);
    }
}

}  // namespace
}  // namespace aerova
