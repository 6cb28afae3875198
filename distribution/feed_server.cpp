#include "distribution/feed_server.h"

namespace aerova {

FeedServer::FeedServer(QObject* parent) : QObject(parent) {
    connect(&socket1_, &QTcpServer::newConnection, this, &FeedServer::socket1ClientConnect);
}

FeedServer::~FeedServer() {
    // The client sockets are children of the server socket; silence them before they go so
    // that no disconnect event reaches a half-destroyed feed.
    client_.clear();
    for (QTcpSocket* socket : socket1_.findChildren<QTcpSocket*>()) {
        socket->disconnect(this);
        delete socket;
    }
    socket1_.close();
}

bool FeedServer::Open(const FeedSettings& settings) {
    if (socket1_.isListening() && settings.port == settings_.port &&
        settings.address == settings_.address) {
        settings_ = settings;
        return true;
    }
    // A settings load with a new port reopens the socket on it; the feed client stays.
    Close();
    settings_ = settings;
    return socket1_.listen(settings.address, settings.port);
}

void FeedServer::Close() {
    if (socket1_.isListening()) socket1_.close();
}

void FeedServer::socket1ClientConnect() {
    while (QTcpSocket* socket = socket1_.nextPendingConnection()) {
        // Any disconnect ends the feed, even that of a client already superseded.
        connect(socket, &QTcpSocket::disconnected, this, &FeedServer::socket1ClientDisconnect);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // The feed is one-way: whatever the client sends is thrown away unread.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        client_ = socket;
        ++connections_;
    }
}

void FeedServer::socket1ClientDisconnect() {
    client_.clear();
}

bool FeedServer::WriteBatch(std::string_view batch) {
    QTcpSocket* client = client_.data();
    if (client == nullptr || client->state() != QAbstractSocket::ConnectedState) {
        client_.clear();
        return false;
    }
    if (client->bytesToWrite() + static_cast<qint64>(batch.size()) > settings_.maxbacklog) {
        client_.clear();
        client->abort();
        return false;
    }
    const qint64 written = client->write(batch.data(), static_cast<qint64>(batch.size()));
    if (written != static_cast<qint64>(batch.size())) {
        client_.clear();
        client->abort();
        return false;
    }
    // Hand the batch to the kernel now rather than on the next loop turn; flush() writes only
    // what fits without blocking and leaves the rest buffered.
    client->flush();
    return true;
}

FeedResult FeedServer::SendFeed(FlightTable& table, const FeedContext& context) {
    if (client_.isNull()) return {};
    return aerova::SendFeed(table, context,
                            [this](std::string_view batch) { return WriteBatch(batch); });
}

}  // namespace aerova
