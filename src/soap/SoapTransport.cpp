#include "SoapTransport.h"

#include "ZeltError.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>

#include <memory>
#include <mutex>

namespace {

std::mutex& defaultLock() {
    static std::mutex m;
    return m;
}

TSoapTransportOptions& defaultOptions() {
    static TSoapTransportOptions options;
    return options;
}

QString sizeText(qint64 bytes) {
    if (bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    return QStringLiteral("%1 bytes").arg(bytes);
}

// Errors below 100 are those of the connection itself; above, the server did answer.
bool isConnectionError(QNetworkReply::NetworkError e) {
    return e != QNetworkReply::NoError && e < 100;
}

} // namespace

TSoapTransportOptions TSoapTransportOptions::Default() {
    std::lock_guard lock(defaultLock());
    return defaultOptions();
}

void TSoapTransportOptions::SetDefault(const TSoapTransportOptions& options) {
    std::lock_guard lock(defaultLock());
    defaultOptions() = options;
}

TSoapHttpTransport::TSoapHttpTransport(TSoapTransportOptions options) : FOptions(std::move(options)) {}

TSoapHttpReply TSoapHttpTransport::Post(const QUrl& url, const QByteArray& contentType,
                                        const QByteArray& body) const {
    if (!url.isValid() || url.isRelative() ||
        (url.scheme().compare(u"http", Qt::CaseInsensitive) != 0 &&
         url.scheme().compare(u"https", Qt::CaseInsensitive) != 0))
        throw EZeltError(QStringLiteral("The service address \"%1\" is not a valid HTTP or HTTPS address.")
                             .arg(url.toString()));

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(int(FOptions.TransferTimeout.count()));
    if (url.scheme().compare(u"https", Qt::CaseInsensitive) == 0) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        if (!FOptions.CaFile.isEmpty()) {
            const QList<QSslCertificate> cas = QSslCertificate::fromPath(FOptions.CaFile, QSsl::Pem);
            if (cas.isEmpty())
                throw EZeltError(
                    QStringLiteral("The CA certificate file \"%1\" cannot be read or holds no PEM "
                                   "certificate.")
                        .arg(FOptions.CaFile));
            tls.addCaCertificates(cas);
        }
        request.setSslConfiguration(tls);
    }

    std::unique_ptr<QNetworkAccessManager> own;
    QNetworkAccessManager* manager = FOptions.Manager;
    if (!manager) {
        own = std::make_unique<QNetworkAccessManager>();
        manager = own.get();
    }

    QPointer<QNetworkReply> reply = manager->post(request, body);
    QByteArray received;
    bool tooLarge = false;
    QList<QSslError> sslErrors;
    const qint64 limit = FOptions.MaxReplyBytes;
    QEventLoop loop;
    auto refuseIfTooLarge = [&](qint64 size) {
        if (limit > 0 && size > limit && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            refuseIfTooLarge(length.toLongLong());
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (tooLarge)
            return;
        received += reply->read(limit > 0 ? limit + 1 - received.size() : reply->bytesAvailable());
        refuseIfTooLarge(received.size() + reply->bytesAvailable());
    });
    QObject::connect(reply, &QNetworkReply::sslErrors, &loop,
                     [&](const QList<QSslError>& errors) { sslErrors = errors; });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!reply->isFinished()) {
        // The application is quitting: every event loop of the thread was told to end.
        reply->abort();
        reply->deleteLater();
        throw EZeltError(QStringLiteral("The exchange with %1 was interrupted.").arg(url.toString()));
    }

    if (!tooLarge && reply->isOpen())
        received += reply->readAll();
    refuseIfTooLarge(received.size());
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    TSoapHttpReply out;
    out.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.StatusText = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    out.ContentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    reply->deleteLater();

    if (tooLarge)
        throw EZeltError(QStringLiteral("The reply from %1 is larger than %2 and was refused.")
                             .arg(url.toString(), sizeText(limit)));
    if (error == QNetworkReply::OperationCanceledError)
        throw EZeltError(
            QStringLiteral("The service at %1 did not answer within %2 seconds; the exchange was "
                           "abandoned.")
                .arg(url.toString())
                .arg(double(FOptions.TransferTimeout.count()) / 1000.0));
    if (isConnectionError(error) || out.Status == 0) {
        QString text = errorText;
        for (const QSslError& e : sslErrors)
            if (!text.contains(e.errorString()))
                text += QStringLiteral("; ") + e.errorString();
        throw EZeltError(text.isEmpty() ? QStringLiteral("The exchange with %1 failed.").arg(url.toString())
                                        : text);
    }
    out.Body = std::move(received);
    return out;
}
