#pragma once
// The polling client of the station data servers: at its interval it asks a remote station
// for the flights in the view of the first visible radar window and hands every line of the
// reply, wrapped as a 0xFA 0xCE datagram, to the local report listener.

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/report_codec.h"
#include "platform/udp_sender.h"

namespace aerova {

// One of the three sets of `mini`: `url<i>`, `port<i>`, `serial<i>`, `pwd<i>`, `nopos<i>`,
// `area<i>`, `compress<i>`, `interval<i>`, `proxy<i>`, `proxyport<i>`, `user<i>`, `proxypwd<i>`.
struct PollSet {
    std::string url = "127.0.0.1";
    std::string port = "7988";
    std::string serial;
    std::string pwd;
    bool nopos = false;
    bool area = true;
    bool compress = false;  // no compressed transfer is offered by the data servers
    int interval = 2;       // seconds between polls
    std::string proxy, proxyport, user, proxypwd;
};

struct PollSettings {
    std::array<PollSet, 3> sets{};
    std::array<std::string, 3> names{"Set 1", "Set 2", "Set 3"};  // `set1`..`set3`
    int activeset = 0;
    int listenerport = kReportListenerPort;  // local report listener, shifted by the offset
};

// The view the poll asks about: centre of the first visible radar window and its view
// distance from the earth's centre (km).
struct PollView {
    double lat = 0, lon = 0, distance = 0;
};

// The longest answer the client reads (1 MiB); a longer one is dropped whole.
constexpr qint64 kMaxPollReplyBytes = 1 << 20;

// The intervals the client offers, in seconds; another value is taken as the next longer one.
constexpr std::array<int, 11> kPollIntervals{1, 2, 3, 4, 5, 7, 10, 15, 20, 30, 60};
int PollIntervalSeconds(int interval);

// "http://" host ":" port "/req=" pwd "?" ["nopos=1&"] ["serial=" s "&"] "lat=" "&lon=" "&alt="
// with two decimals for the centre and one for the altitude (distance less 6372.5 km).
std::string PollRequestUrl(const PollSet& set, const PollView& view);

// Every non-empty reply line as 0xFA 0xCE line "&"; nothing for the reply "nosend". Lines
// that do not fit one datagram, or hold a 0x00 byte, are dropped.
std::vector<std::string> WrapReplyLines(std::string_view reply);

class DataPoller : public QObject {
  public:
    using ViewSource = std::function<std::optional<PollView>()>;

    DataPoller(DatagramSender& sender, ViewSource view, QObject* parent = nullptr);
    ~DataPoller() override;
    DataPoller(const DataPoller&) = delete;
    DataPoller& operator=(const DataPoller&) = delete;

    void SetSettings(const PollSettings& settings);
    void Start();
    void Stop();
    bool active() const { return timer_.isActive(); }

    int ticks() const { return ticks_; }          // timer ticks, with or without a request
    int requests() const { return requests_; }    // requests sent
    int datagrams() const { return datagrams_; }  // lines handed to the listener

  private:
    void Poll();
    void Finished(QNetworkReply* reply);

    DatagramSender& sender_;
    ViewSource view_;
    PollSettings settings_;
    QTimer timer_;
    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> pending_;
    int ticks_ = 0;
    int requests_ = 0;
    int datagrams_ = 0;
};

}  // namespace aerova
