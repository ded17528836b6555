#include "SimServer.h"

#include "SimFault.h"
#include "SizeGuard.h"
#include "SoapReply.h"
#include "SoapRequest.h"

#include <QDateTime>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QPointer>
#include <QSslServer>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <memory>

namespace sim {

namespace {

using InstallGuard = std::function<void(QTcpSocket*)>;

// Both listeners hand each connection to the guard before the HTTP server sees it.
class GuardedTcpServer final : public QTcpServer {
public:
    GuardedTcpServer(InstallGuard install, QObject* parent)
        : QTcpServer(parent), FInstall(std::move(install)) {}
    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = QTcpServer::nextPendingConnection();
        if (socket)
            FInstall(socket);
        return socket;
    }

private:
    InstallGuard FInstall;
};

class GuardedSslServer final : public QSslServer {
public:
    GuardedSslServer(InstallGuard install, QObject* parent)
        : QSslServer(parent), FInstall(std::move(install)) {}
    QTcpSocket* nextPendingConnection() override {
        QTcpSocket* socket = QSslServer::nextPendingConnection();
        if (socket)
            FInstall(socket);
        return socket;
    }

private:
    InstallGuard FInstall;
};

const QByteArray kSoapContentType = QByteArrayLiteral("application/soap+xml; charset=utf-8");

QJsonValue textOrNull(const QString& text) {
    return text.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

void putBody(QJsonObject& line, const QByteArray& body) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        line.insert(QLatin1StringView("bodyBase64"), QString::fromLatin1(body.toBase64()));
    else
        line.insert(QLatin1StringView("body"), text);
}

QString methodName(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return QStringLiteral("GET");
    case QHttpServerRequest::Method::Post:
        return QStringLiteral("POST");
    case QHttpServerRequest::Method::Head:
        return QStringLiteral("HEAD");
    case QHttpServerRequest::Method::Put:
        return QStringLiteral("PUT");
    case QHttpServerRequest::Method::Delete:
        return QStringLiteral("DELETE");
    case QHttpServerRequest::Method::Options:
        return QStringLiteral("OPTIONS");
    case QHttpServerRequest::Method::Patch:
        return QStringLiteral("PATCH");
    default:
        return QStringLiteral("OTHER");
    }
}

QString nowText() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

} // namespace

SimServer::SimServer(TrackGpsService& service, Journal& journal, ServerOptions options, QObject* parent)
    : QAbstractHttpServer(parent), FService(service), FJournal(journal), FOptions(std::move(options)) {}

bool SimServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    auto install = [this](QTcpSocket* socket) { installGuard(socket); };
    if (FOptions.tls) {
        auto* ssl = new GuardedSslServer(install, this);
        ssl->setSslConfiguration(*FOptions.tls);
        FTcp = ssl;
    } else {
        FTcp = new GuardedTcpServer(install, this);
    }
    if (!FTcp->listen(address, port)) {
        *error = FTcp->errorString();
        delete FTcp;
        FTcp = nullptr;
        return false;
    }
    bind(FTcp);
    return true;
}

quint16 SimServer::port() const {
    return FTcp ? FTcp->serverPort() : 0;
}

void SimServer::installGuard(QTcpSocket* socket) {
    new SizeGuard(socket, this, FOptions.requestLimit, [this](QTcpSocket* s, qint64 announced) {
        QJsonObject line;
        line.insert(QLatin1StringView("time"), nowText());
        line.insert(QLatin1StringView("peer"), s->peerAddress().toString());
        line.insert(QLatin1StringView("status"), 413);
        if (announced >= 0)
            line.insert(QLatin1StringView("contentLength"), announced);
        FJournal.write(line);
    });
}

bool SimServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (SizeGuard* guard = SizeGuard::of(socket))
        guard->reset();

    QJsonObject line;
    line.insert(QLatin1StringView("time"), nowText());
    line.insert(QLatin1StringView("method"), methodName(request.method()));
    line.insert(QLatin1StringView("path"), request.url().path());
    if (request.url().hasQuery())
        line.insert(QLatin1StringView("query"), request.url().query());

    Answer answer;
    const bool ourPath = request.url().path().compare(kServicePath, Qt::CaseInsensitive) == 0;
    if (!ourPath) {
        answer = {404,
                  "text/plain; charset=utf-8",
                  QByteArrayLiteral("No service here; the TrackGPS service is at ") +
                      QByteArray(kServicePath.data()) + "\n",
                  {}};
    } else if (request.method() == QHttpServerRequest::Method::Post) {
        answer = answerSoap(request, line);
    } else if (request.method() == QHttpServerRequest::Method::Get ||
               request.method() == QHttpServerRequest::Method::Head) {
        answer = answerGet(request);
    } else {
        answer = {405,
                  "text/plain; charset=utf-8",
                  "Use POST for SOAP requests or GET ?wsdl.\n",
                  {{"Allow", "GET, POST"}}};
    }
    line.insert(QLatin1StringView("status"), answer.status);
    FJournal.write(line);
    answer.headOnly = request.method() == QHttpServerRequest::Method::Head;
    send(request, socket, std::move(answer));
    return true;
}

void SimServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    send(request, socket, {404, "text/plain; charset=utf-8", "Not found.\n", {}});
}

SimServer::Answer SimServer::answerSoap(const QHttpServerRequest& request, QJsonObject& line) {
    const QByteArray contentType = request.value(QByteArrayLiteral("Content-Type"));
    const QByteArray body = request.body();
    line.insert(QLatin1StringView("contentType"), QString::fromLatin1(contentType));
    if (body.size() > FOptions.requestLimit) {
        line.insert(QLatin1StringView("contentLength"), body.size());
        return {413,
                "text/plain; charset=utf-8",
                QByteArrayLiteral("Request refused: larger than ") +
                    QByteArray::number(FOptions.requestLimit) + " bytes.\n",
                {{"Connection", "close"}}};
    }
    putBody(line, body);

    SoapRequest soap;
    Answer answer{200, kSoapContentType, {}, {}};
    try {
        parseRequest(contentType, body, soap);
        const OperationResult result = FService.call(soap);
        answer.body = writeResponse(*soap.operation, result, soap.messageId);
    } catch (const SimFault& fault) {
        answer.status = 500;
        answer.body = writeFault(fault, soap.operation, soap.messageId);
        line.insert(QLatin1StringView("fault"), fault.Message());
    }
    line.insert(QLatin1StringView("operation"),
                textOrNull(soap.operationName.isEmpty() ? QString() : soap.operationName));
    QJsonObject parameters;
    for (const SoapParameter& p : soap.parameters)
        parameters.insert(p.name, p.value ? QJsonValue(*p.value) : QJsonValue(QJsonValue::Null));
    line.insert(QLatin1StringView("parameters"), parameters);
    return answer;
}

SimServer::Answer SimServer::answerGet(const QHttpServerRequest& request) {
    const QUrlQuery query(request.url());
    bool wantsWsdl = false;
    for (const auto& [key, value] : query.queryItems()) {
        if (key.compare(QLatin1StringView("wsdl"), Qt::CaseInsensitive) == 0 ||
            key.compare(QLatin1StringView("singleWsdl"), Qt::CaseInsensitive) == 0)
            wantsWsdl = true;
    }
    // The address in the WSDL is the one the caller used, so it also holds behind a forwarded port.
    const QByteArray host = request.value(QByteArrayLiteral("Host"));
    const QString scheme = FOptions.tls ? QStringLiteral("https") : QStringLiteral("http");
    const QString address =
        scheme + QStringLiteral("://") +
        (host.isEmpty() ? QStringLiteral("127.0.0.1:%1").arg(port()) : QString::fromLatin1(host)) +
        kServicePath;
    if (wantsWsdl) {
        QByteArray wsdl = FOptions.wsdl;
        wsdl.replace("@SERVICE_URL@", address.toHtmlEscaped().toUtf8());
        return {200, "text/xml; charset=utf-8", wsdl, {}};
    }
    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html><head><title>TrackGPSWs</title></head><body>"
                       "<h1>TrackGPSWs</h1><p>ITrackGPS service (SOAP 1.2). Its description: "
                       "<a href=\"%1?wsdl\">%1?wsdl</a></p></body></html>\n")
            .arg(address.toHtmlEscaped());
    return {200, "text/html; charset=utf-8", page.toUtf8(), {}};
}

void SimServer::send(const QHttpServerRequest& request, QTcpSocket* socket, Answer answer) {
    const bool close = request.value(QByteArrayLiteral("Connection")).toLower().contains("close") ||
                       std::any_of(answer.headers.begin(), answer.headers.end(),
                                   [](const auto& h) { return h.first == "Connection"; });
    auto responder = std::make_shared<QHttpServerResponder>(makeResponder(request, socket));
    QPointer<QTcpSocket> alive(socket);
    auto write = [responder, alive, answer = std::move(answer), close] {
        // The client may have gone while the answer waited.
        if (!alive || alive->state() != QAbstractSocket::ConnectedState)
            return;
        responder->writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(answer.status));
        responder->writeHeader("Content-Type", answer.contentType);
        responder->writeHeader("Content-Length", QByteArray::number(answer.body.size()));
        for (const auto& [name, value] : answer.headers)
            responder->writeHeader(name, value);
        responder->writeBody(answer.headOnly ? QByteArray() : answer.body);
        if (close)
            alive->disconnectFromHost();
    };
    if (FOptions.delayMs > 0)
        QTimer::singleShot(FOptions.delayMs, this, write);
    else
        write();
}

} // namespace sim
