#pragma once

#include "Journal.h"
#include "TrackGpsService.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QSslConfiguration>

#include <optional>

class QTcpServer;

namespace sim {

struct ServerOptions {
    int delayMs = 0;                      // every answer leaves this much later
    qint64 requestLimit = 1024 * 1024;    // larger requests get 413
    std::optional<QSslConfiguration> tls; // HTTPS when set
    QByteArray wsdl;                      // with @SERVICE_URL@ for the address
};

// The HTTP side of the service: SOAP posts to the service path, the WSDL at ?wsdl, the journal.
class SimServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    SimServer(TrackGpsService& service, Journal& journal, ServerOptions options, QObject* parent = nullptr);

    // False with `error` set when the address cannot be bound.
    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Answer {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
        bool headOnly = false; // HEAD: the headers of the answer, not its body
    };

    Answer answerSoap(const QHttpServerRequest& request, QJsonObject& line);
    Answer answerGet(const QHttpServerRequest& request);
    void send(const QHttpServerRequest& request, QTcpSocket* socket, Answer answer);
    void installGuard(QTcpSocket* socket);

    TrackGpsService& FService;
    Journal& FJournal;
    ServerOptions FOptions;
    QTcpServer* FTcp = nullptr;
};

} // namespace sim
