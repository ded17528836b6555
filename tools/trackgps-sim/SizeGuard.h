#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>

class QTcpSocket;

namespace sim {

// Watches one connection ahead of the HTTP server, which would otherwise buffer a request of
// any size: a request announcing (or sending) more than the limit is answered 413 and its
// remaining bytes are discarded. It also answers "Expect: 100-continue".
class SizeGuard : public QObject {
    Q_OBJECT
public:
    using RefusedHandler = std::function<void(QTcpSocket* socket, qint64 announcedBytes)>;

    // Connect before the HTTP server connects to the socket, so the guard sees data first.
    SizeGuard(QTcpSocket* socket, QObject* httpServer, qint64 limit, RefusedHandler onRefused);

    // The request in hand has been read completely; the next one starts afresh.
    void reset();
    static SizeGuard* of(QTcpSocket* socket);

private:
    void onReadyRead();
    void refuse(qint64 announcedBytes);

    QTcpSocket* FSocket;
    QObject* FHttpServer;
    qint64 FLimit;
    RefusedHandler FOnRefused;
    QByteArray FHead;
    qint64 FSeen = 0;
    qint64 FHeadLength = -1;
    bool FContinueSent = false;
    bool FRefused = false;
};

} // namespace sim
