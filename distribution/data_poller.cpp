#include "distribution/data_poller.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <algorithm>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

int PollIntervalSeconds(int interval) {
    for (const int s : kPollIntervals) {
        if (interval <= s) return s;
    }
    return 60;
}

std::string PollRequestUrl(const PollSet& set, const PollView& view) {
    std::string url = "http://" + set.url + ":" + set.port + "/req=" + set.pwd + "?";
    if (set.nopos) url += "nopos=1&";
    if (!set.serial.empty()) url += "serial=" + set.serial + "&";
    url += "lat=" + RealToFixed(view.lat, 2) + "&lon=" + RealToFixed(view.lon, 2) +
           "&alt=" + RealToFixed(view.distance - 6372.5, 1);
    return url;
}

std::vector<std::string> WrapReplyLines(std::string_view reply) {
    std::vector<std::string> out;
    if (reply == "nosend") return out;
    for (std::string line : Split(reply, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.find('\0') != std::string::npos) continue;
        if (line.size() + 3 > kMaxDatagram) continue;
        out.push_back("\xFA\xCE" + line + "&");
    }
    return out;
}

DataPoller::DataPoller(DatagramSender& sender, ViewSource view, QObject* parent)
    : QObject(parent), sender_(sender), view_(std::move(view)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &DataPoller::Poll);
    connect(&manager_, &QNetworkAccessManager::finished, this, &DataPoller::Finished);
}

DataPoller::~DataPoller() {
    timer_.stop();
    if (pending_) pending_->abort();
}

void DataPoller::SetSettings(const PollSettings& settings) {
    settings_ = settings;
    settings_.activeset = std::clamp(settings.activeset, 0, 2);
    const PollSet& set = settings_.sets[static_cast<std::size_t>(settings_.activeset)];
    if (set.proxy.empty()) {
        manager_.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    } else {
        manager_.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QString::fromStdString(set.proxy),
                                        static_cast<quint16>(IntOr(set.proxyport, 8080)),
                                        QString::fromStdString(set.user),
                                        QString::fromStdString(set.proxypwd)));
    }
    if (timer_.isActive()) timer_.start(PollIntervalSeconds(set.interval) * 1000);
}

void DataPoller::Start() {
    const PollSet& set = settings_.sets[static_cast<std::size_t>(settings_.activeset)];
    timer_.start(PollIntervalSeconds(set.interval) * 1000);
}

void DataPoller::Stop() {
    timer_.stop();
    if (pending_) pending_->abort();
}

void DataPoller::Poll() {
    const PollSet& set = settings_.sets[static_cast<std::size_t>(settings_.activeset)];
    const int intervalms = PollIntervalSeconds(set.interval) * 1000;
    timer_.start(intervalms);
    ++ticks_;
    // Without the area option the tick only restarts the timer; a poll still waiting for its
    // answer is not doubled.
    if (!set.area || pending_) return;
    const auto view = view_ ? view_() : std::nullopt;
    if (!view) return;
    QNetworkRequest request(QUrl(QString::fromStdString(PollRequestUrl(set, *view))));
    request.setTransferTimeout(std::max(intervalms, 2000));
    QNetworkReply* reply = manager_.get(request);
    // A station's flight list is at most 2000 short lines: a longer answer is not one, and
    // is not read into memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxPollReplyBytes) reply->abort();
    });
    pending_ = reply;
    ++requests_;
}

void DataPoller::Finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply == pending_) pending_.clear();
    if (reply->error() != QNetworkReply::NoError) return;
    const QByteArray body = reply->read(kMaxPollReplyBytes + 1);
    if (body.size() > kMaxPollReplyBytes) return;
    for (const std::string& d : WrapReplyLines(
             std::string_view(body.constData(), static_cast<std::size_t>(body.size())))) {
        if (sender_.Send("127.0.0.1", settings_.listenerport, d)) ++datagrams_;
    }
}

}  // namespace aerova
