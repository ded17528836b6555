#include "TestSoapServer.h"

#include <QFile>
#include <QProcess>
#include <QSslSocket>

TestSoapServer::TestSoapServer(QObject* parent) : QTcpServer(parent) {
    listen(QHostAddress::LocalHost, 0);
}

TestSoapServer::~TestSoapServer() = default;

QByteArray TestSoapServer::Request::Header(const QByteArray& name) const {
    const QList<QByteArray> lines = Head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void TestSoapServer::EnableTls(const QSslCertificate& certificate, const QSslKey& key) {
    FTls = true;
    FCertificate = certificate;
    FKey = key;
}

QUrl TestSoapServer::Url(const QString& path) const {
    return QUrl(
        QStringLiteral("%1://127.0.0.1:%2%3").arg(FTls ? u"https" : u"http").arg(serverPort()).arg(path));
}

QByteArray TestSoapServer::Envelope(const QByteArray& bodyContent) {
    return R"(<s:Envelope xmlns:s="http://www.w3.org/2003/05/soap-envelope"><s:Body>)" + bodyContent +
           "</s:Body></s:Envelope>";
}

void TestSoapServer::incomingConnection(qintptr socketDescriptor) {
    QTcpSocket* socket = nullptr;
    if (FTls) {
        auto* tls = new QSslSocket(this);
        tls->setSocketDescriptor(socketDescriptor);
        tls->setLocalCertificate(FCertificate);
        tls->setPrivateKey(FKey);
        tls->setPeerVerifyMode(QSslSocket::VerifyNone);
        // A client that refuses the certificate simply goes away.
        connect(tls, &QSslSocket::sslErrors, tls, [] {});
        tls->startServerEncryption();
        socket = tls;
    } else {
        socket = new QTcpSocket(this);
        socket->setSocketDescriptor(socketDescriptor);
    }
    Serve(socket);
}

void TestSoapServer::Serve(QTcpSocket* socket) {
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        *buffer += socket->readAll();
        const qsizetype headEnd = buffer->indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        Request request;
        request.Head = buffer->left(headEnd);
        const qsizetype length = request.Header("Content-Length").toLongLong();
        if (buffer->size() < headEnd + 4 + length)
            return;
        request.Body = buffer->mid(headEnd + 4, length);
        buffer->remove(0, headEnd + 4 + length);
        FRequests.append(request);
        if (FReply.NeverAnswer)
            return;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(FReply.Status) + ' ' + FReply.Reason + "\r\n";
        if (!FReply.ContentType.isEmpty())
            out += "Content-Type: " + FReply.ContentType + "\r\n";
        if (FReply.SendContentLength)
            out += "Content-Length: " + QByteArray::number(FReply.Body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n" + FReply.Body;
        socket->write(out);
        socket->disconnectFromHost();
    });
}

TestCertificate TestCertificate::Make(const QString& folder) {
    TestCertificate out;
    out.CertificateFile = folder + QStringLiteral("/server.pem");
    const QString keyFile = folder + QStringLiteral("/server.key");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                   QStringLiteral("-keyout"), keyFile, QStringLiteral("-out"), out.CertificateFile});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        out.Error =
            QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(openssl.readAllStandardError());
        return out;
    }
    QFile cert(out.CertificateFile);
    QFile key(keyFile);
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) {
        out.Error = QStringLiteral("openssl wrote no certificate");
        return out;
    }
    out.Certificate = QSslCertificate(&cert, QSsl::Pem);
    out.Key = QSslKey(&key, QSsl::Rsa, QSsl::Pem);
    if (out.Certificate.isNull() || out.Key.isNull())
        out.Error = QStringLiteral("the certificate or key cannot be read");
    return out;
}
