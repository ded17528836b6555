#include "SizeGuard.h"

#include <QTcpSocket>
#include <QTimer>

namespace sim {

namespace {

constexpr qint64 kHeadLimit = 64 * 1024;
// Chunk framing adds a little to the body bytes on the wire.
constexpr qint64 kFramingSlack = 64 * 1024;

QByteArray headerValue(const QByteArray& head, const QByteArray& name) {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

SizeGuard::SizeGuard(QTcpSocket* socket, QObject* httpServer, qint64 limit, RefusedHandler onRefused)
    : QObject(socket), FSocket(socket), FHttpServer(httpServer), FLimit(limit),
      FOnRefused(std::move(onRefused)) {
    setObjectName(QStringLiteral("SizeGuard"));
    connect(socket, &QTcpSocket::readyRead, this, &SizeGuard::onReadyRead);
}

SizeGuard* SizeGuard::of(QTcpSocket* socket) {
    return socket->findChild<SizeGuard*>(QStringLiteral("SizeGuard"), Qt::FindDirectChildrenOnly);
}

void SizeGuard::reset() {
    FHead.clear();
    FSeen = 0;
    FHeadLength = -1;
    FContinueSent = false;
}

void SizeGuard::onReadyRead() {
    if (FRefused) {
        FSocket->readAll();
        return;
    }
    const qint64 available = FSocket->bytesAvailable();
    FSeen += available;
    if (FHeadLength < 0) {
        FHead += FSocket->peek(qMin(available, kHeadLimit - FHead.size()));
        const qsizetype end = FHead.indexOf("\r\n\r\n");
        if (end >= 0) {
            FHeadLength = end + 4;
            FHead.truncate(end);
        } else if (FHead.size() >= kHeadLimit) {
            refuse(-1);
            return;
        }
    }
    if (FHeadLength < 0)
        return;

    bool ok = false;
    const qint64 announced = headerValue(FHead, "Content-Length").toLongLong(&ok);
    if ((ok && announced > FLimit) || FSeen - FHeadLength > FLimit + kFramingSlack) {
        refuse(ok ? announced : -1);
        return;
    }
    if (!FContinueSent && headerValue(FHead, "Expect").compare("100-continue", Qt::CaseInsensitive) == 0) {
        FSocket->write("HTTP/1.1 100 Continue\r\n\r\n");
        FContinueSent = true;
    }
}

void SizeGuard::refuse(qint64 announcedBytes) {
    FRefused = true;
    // The HTTP server must not read (and buffer) this request any further.
    QObject::disconnect(FSocket, &QTcpSocket::readyRead, FHttpServer, nullptr);
    if (FSocket->isTransactionStarted())
        FSocket->commitTransaction();
    FSocket->readAll();

    const QByteArray body = QByteArrayLiteral("Request refused: larger than ") + QByteArray::number(FLimit) +
                            QByteArrayLiteral(" bytes.\n");
    FSocket->write(QByteArrayLiteral("HTTP/1.1 413 Payload Too Large\r\n"
                                     "Content-Type: text/plain; charset=utf-8\r\n"
                                     "Connection: close\r\n"
                                     "Content-Length: ") +
                   QByteArray::number(body.size()) + "\r\n\r\n" + body);
    if (FOnRefused)
        FOnRefused(FSocket, announcedBytes);
    // Keep reading for a moment so the client, still sending, gets to read the answer instead
    // of a reset connection.
    QTimer::singleShot(2000, FSocket, [socket = FSocket] { socket->disconnectFromHost(); });
}

} // namespace sim
