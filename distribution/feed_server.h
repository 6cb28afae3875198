#pragma once
// The BaseStation-format feed socket: a non-blocking TCP server on the event loop that feeds
// the client that connected last. Nothing the client sends is read.
//
// A client that stops reading must never stall the main cycle: writes only append to the
// socket's buffer, and once more than `maxbacklog` bytes are waiting unsent the next write
// counts as failed, so the client is dropped (and disconnected) like after a write error.

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include "distribution/feed_lines.h"

namespace aerova {

struct FeedSettings {
    QHostAddress address = QHostAddress::Any;  // tests bind 127.0.0.1
    quint16 port = 30014;                      // `socket`/`port`, already shifted by the offset
    qint64 maxbacklog = 1 << 20;               // bytes left unsent before the client is dropped
};

class FeedServer : public QObject {
  public:
    explicit FeedServer(QObject* parent = nullptr);
    ~FeedServer() override;
    FeedServer(const FeedServer&) = delete;
    FeedServer& operator=(const FeedServer&) = delete;

    // Opens the server socket (settings load). A different port closes and reopens it.
    bool Open(const FeedSettings& settings);
    void Close();
    bool isListening() const { return socket1_.isListening(); }
    quint16 serverPort() const { return socket1_.serverPort(); }

    bool hasClient() const { return !client_.isNull(); }
    int connections() const { return connections_; }  // clients accepted since the start
    // Once per main-cycle tick, after trail recording; does nothing without a client.
    FeedResult SendFeed(FlightTable& table, const FeedContext& context);

  private:
    void socket1ClientConnect();
    void socket1ClientDisconnect();
    bool WriteBatch(std::string_view batch);

    QTcpServer socket1_;
    QPointer<QTcpSocket> client_;
    FeedSettings settings_;
    int connections_ = 0;
};

}  // namespace aerova
