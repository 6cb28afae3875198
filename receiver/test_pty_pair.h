#pragma once
// Test helper: a pseudo-terminal pair made by socat. The code under test opens one end as
// its serial port; the test plays the receiver on the other. Header-only; needs QtCore.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <string>

namespace aerova::testing {

// A pseudo-terminal pair made by socat: the link opens one end, the test plays the
// receiver on the other.
class PtyPair {
  public:
    PtyPair() {
        process_.setProgram("socat");
        process_.setArguments({"-d", "-d", "pty,raw,echo=0", "pty,raw,echo=0"});
        process_.start();
        if (!process_.waitForStarted(3000)) return;
        QString text;
        const QRegularExpression re("PTY is (\\S+)");
        QDeadlineTimer deadline(3000);
        while (!(text.count("PTY is") >= 2 && text.contains("starting data transfer loop")) &&
               !deadline.hasExpired()) {
            process_.waitForReadyRead(50);
            text += QString::fromUtf8(process_.readAllStandardError());
        }
        auto it = re.globalMatch(text);
        if (it.hasNext()) link_ = it.next().captured(1);
        if (it.hasNext()) device_ = it.next().captured(1);
        if (!device_.isEmpty())
            fd_ = ::open(device_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    ~PtyPair() {
        if (fd_ >= 0) ::close(fd_);
        process_.terminate();  // socat: the child started here, ended by its own handle
        if (!process_.waitForFinished(2000)) process_.kill();
    }
    bool ok() const { return fd_ >= 0 && !link_.isEmpty(); }
    const QString& linkEnd() const { return link_; }
    void Write(const std::string& bytes) const {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string Read() const {
        char buf[256];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }

  private:
    QProcess process_;
    QString link_, device_;
    int fd_ = -1;
};

}  // namespace aerova::testing
