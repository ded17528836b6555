#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QUrl>

// A one-thread HTTP/1.1 server on 127.0.0.1 for exchanges in tests. It records every request exactly
// as received and answers each with the reply set beforehand. It runs in the test's thread: the
// client's local event loop drives it.
class TestSoapServer final : public QTcpServer {
    Q_OBJECT
public:
    struct Reply {
        int Status = 200;
        QByteArray Reason = "OK";
        QByteArray ContentType = "application/soap+xml; charset=utf-8";
        QByteArray Body;
        bool SendContentLength = true; // without it the body ends when the connection closes
        bool NeverAnswer = false;
    };

    struct Request {
        QByteArray Head; // request line and headers, up to the blank line
        QByteArray Body;
        QByteArray Method() const { return Head.left(Head.indexOf(' ')); }
        // The value of a header (first match, name without regard to case); null when absent.
        QByteArray Header(const QByteArray& name) const;
    };

    explicit TestSoapServer(QObject* parent = nullptr);
    ~TestSoapServer() override;

    // Serves HTTPS with this certificate and key.
    void EnableTls(const QSslCertificate& certificate, const QSslKey& key);
    void SetReply(Reply reply) { FReply = std::move(reply); }
    QUrl Url(const QString& path = QStringLiteral("/TrackGPS.WCFService/TrackGPSWs.svc")) const;

    const QList<Request>& Requests() const { return FRequests; }
    void ClearRequests() { FRequests.clear(); }

    // A reply of a SOAP 1.2 envelope whose Body holds bodyContent.
    static QByteArray Envelope(const QByteArray& bodyContent);

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    void Serve(QTcpSocket* socket);

    Reply FReply;
    QList<Request> FRequests;
    bool FTls = false;
    QSslCertificate FCertificate;
    QSslKey FKey;
};

// A self-signed certificate for 127.0.0.1, made by openssl in a temporary folder.
struct TestCertificate {
    QSslCertificate Certificate;
    QSslKey Key;
    QString CertificateFile; // PEM, usable as a CA file
    QString Error;           // why none could be made
    static TestCertificate Make(const QString& folder);
};
