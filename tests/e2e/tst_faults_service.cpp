#include "AppTestMain.h"
#include "PassRun.h"
#include "SoapTransport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const QDateTime kNow(QDate(2025, 3, 5), QTime(14, 7, 9));

// What the service does to the second and later calls; the first one is always answered well.
enum class Fault {
    Refused,
    Silent,
    ClosedMidReply,
    Html500,
    Unavailable503,
    Soap11Envelope,
    Garbage,
    EmptyBody,
    TruncatedEnvelope,
    Huge,
    EntityBomb,
    UntrustedCertificate,
    OtherHostCertificate,
    ExpiredCertificate,
};

bool isTls(Fault f) {
    return f == Fault::UntrustedCertificate || f == Fault::OtherHostCertificate ||
           f == Fault::ExpiredCertificate;
}

QByteArray envelope12(const QByteArray& result) {
    return "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"><s:Body>"
           "<GetDistanceByIMEIResponse xmlns=\"http://tempuri.org/\"><GetDistanceByIMEIResult>" +
           result + "</GetDistanceByIMEIResult></GetDistanceByIMEIResponse></s:Body></s:Envelope>";
}

QByteArray response(int status, const QByteArray& reason, const QByteArray& type, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: " + type +
           "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

const QByteArray kSoap12Type = "application/soap+xml; charset=utf-8";

// The certificates a TLS row needs, made by openssl once per test run.
struct Certificates {
    QString Error;
    QString TrustFile; // trusted: the good one, the other host's and the expired one
    QMap<Fault, std::pair<QSslCertificate, QSslKey>> Bad;
    std::pair<QSslCertificate, QSslKey> Good;
};

bool runOpenssl(const QString& folder, const QStringList& args, QString& error) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("openssl"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = QStringLiteral("openssl %1: %2")
                    .arg(args.join(u' '), QString::fromLocal8Bit(p.readAllStandardError()));
        return false;
    }
    return true;
}

std::pair<QSslCertificate, QSslKey> load(const QString& folder, const QString& name) {
    QFile c(folder + u'/' + name + QStringLiteral(".crt"));
    QFile k(folder + u'/' + name + QStringLiteral(".key"));
    if (!c.open(QIODevice::ReadOnly) || !k.open(QIODevice::ReadOnly))
        return std::pair<QSslCertificate, QSslKey>();
    return {QSslCertificate(&c, QSsl::Pem), QSslKey(&k, QSsl::Rsa, QSsl::Pem)};
}

Certificates makeCertificates(const QString& folder) {
    Certificates out;
    auto selfSigned = [&](const QString& name, const QString& cn, const QString& san) {
        return runOpenssl(folder,
                          {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                           QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                           QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=") + cn,
                           QStringLiteral("-addext"), QStringLiteral("subjectAltName=") + san,
                           QStringLiteral("-keyout"), name + QStringLiteral(".key"), QStringLiteral("-out"),
                           name + QStringLiteral(".crt")},
                          out.Error);
    };
    if (!selfSigned(QStringLiteral("good"), QStringLiteral("127.0.0.1"), QStringLiteral("IP:127.0.0.1")) ||
        !selfSigned(QStringLiteral("stranger"), QStringLiteral("127.0.0.1"),
                    QStringLiteral("IP:127.0.0.1")) ||
        !selfSigned(QStringLiteral("otherhost"), QStringLiteral("other.example"),
                    QStringLiteral("DNS:other.example")))
        return out;
    // openssl req cannot date a certificate in the past; openssl ca can.
    QFile cnf(folder + QStringLiteral("/ca.cnf"));
    if (!cnf.open(QIODevice::WriteOnly))
        return out.Error = QStringLiteral("cannot write ca.cnf"), out;
    cnf.write(
        "[ca]\ndefault_ca=d\n[d]\ndatabase=index.txt\nnew_certs_dir=.\nserial=serial\ndefault_md=sha256\n"
        "policy=p\ncopy_extensions=copy\n[p]\ncommonName=supplied\n");
    cnf.close();
    QFile(folder + QStringLiteral("/index.txt")).open(QIODevice::WriteOnly);
    QFile serial(folder + QStringLiteral("/serial"));
    if (!serial.open(QIODevice::WriteOnly) || serial.write("01\n") != 3)
        return out.Error = QStringLiteral("cannot write serial"), out;
    serial.close();
    if (!runOpenssl(folder,
                    {QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"),
                     QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                     QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                     QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                     QStringLiteral("expired.key"), QStringLiteral("-out"), QStringLiteral("expired.csr")},
                    out.Error) ||
        !runOpenssl(folder,
                    {QStringLiteral("ca"), QStringLiteral("-batch"), QStringLiteral("-config"),
                     QStringLiteral("ca.cnf"), QStringLiteral("-selfsign"), QStringLiteral("-keyfile"),
                     QStringLiteral("expired.key"), QStringLiteral("-in"), QStringLiteral("expired.csr"),
                     QStringLiteral("-out"), QStringLiteral("expired.crt"), QStringLiteral("-notext"),
                     QStringLiteral("-startdate"), QStringLiteral("20200101000000Z"),
                     QStringLiteral("-enddate"), QStringLiteral("20200102000000Z")},
                    out.Error))
        return out;
    out.Good = load(folder, QStringLiteral("good"));
    out.Bad[Fault::UntrustedCertificate] = load(folder, QStringLiteral("stranger"));
    out.Bad[Fault::OtherHostCertificate] = load(folder, QStringLiteral("otherhost"));
    out.Bad[Fault::ExpiredCertificate] = load(folder, QStringLiteral("expired"));
    out.TrustFile = folder + QStringLiteral("/trusted.pem");
    QFile trust(out.TrustFile);
    if (!trust.open(QIODevice::WriteOnly))
        return out.Error = QStringLiteral("cannot write the trust file"), out;
    for (const QString& n :
         {QStringLiteral("good"), QStringLiteral("otherhost"), QStringLiteral("expired")}) {
        QFile c(folder + u'/' + n + QStringLiteral(".crt"));
        c.open(QIODevice::ReadOnly);
        trust.write(c.readAll());
    }
    if (out.Good.first.isNull() || out.Bad[Fault::ExpiredCertificate].first.isNull())
        out.Error = QStringLiteral("a certificate cannot be read");
    return out;
}

// A service on 127.0.0.1 that answers the first call with a distance and then misbehaves.
class FaultServer final : public QTcpServer {
public:
    FaultServer(Fault fault, const Certificates* certificates) : FFault(fault), FCertificates(certificates) {
        listen(QHostAddress::LocalHost, 0);
    }
    QString Url() const {
        return QStringLiteral("%1://127.0.0.1:%2/TrackGPS.WCFService/TrackGPSWs.svc")
            .arg(isTls(FFault) ? u"https" : u"http")
            .arg(serverPort());
    }
    int Requests = 0;

protected:
    void incomingConnection(qintptr descriptor) override {
        ++FConnections;
        QTcpSocket* socket = nullptr;
        if (isTls(FFault)) {
            auto* tls = new QSslSocket(this);
            tls->setSocketDescriptor(descriptor);
            const auto& [cert, key] = FConnections == 1 ? FCertificates->Good : FCertificates->Bad[FFault];
            tls->setLocalCertificate(cert);
            tls->setPrivateKey(key);
            tls->setPeerVerifyMode(QSslSocket::VerifyNone);
            connect(tls, &QSslSocket::sslErrors, tls, [] {});
            tls->startServerEncryption();
            socket = tls;
        } else {
            socket = new QTcpSocket(this);
            socket->setSocketDescriptor(descriptor);
        }
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (!buffer->contains("Envelope>"))
                return;
            buffer->clear();
            ++Requests;
            Answer(socket);
        });
    }

private:
    void Answer(QTcpSocket* s) {
        if (Requests == 1 || isTls(FFault)) {
            s->write(response(200, "OK", kSoap12Type, envelope12("12.5")));
            s->disconnectFromHost();
            if (FFault == Fault::Refused)
                close();
            return;
        }
        switch (FFault) {
        case Fault::Silent:
            return;
        case Fault::ClosedMidReply: {
            const QByteArray whole = response(200, "OK", kSoap12Type, envelope12("12.5"));
            s->write(whole.left(whole.size() - 40));
            s->flush();
            s->abort();
            return;
        }
        case Fault::Html500:
            s->write(response(500, "Internal Server Error", "text/html",
                              "<html><body><h1>Server Error in '/' Application.</h1></body></html>"));
            break;
        case Fault::Unavailable503:
            s->write(response(503, "Service Unavailable", "text/plain", "down for maintenance"));
            break;
        case Fault::Soap11Envelope:
            s->write(
                response(200, "OK", "text/xml; charset=utf-8",
                         "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>"
                         "<GetDistanceByIMEIResponse xmlns=\"http://tempuri.org/\"><GetDistanceByIMEIResult>"
                         "99</GetDistanceByIMEIResult></GetDistanceByIMEIResponse></s:Body></s:Envelope>"));
            break;
        case Fault::Garbage: {
            QByteArray junk;
            for (int i = 0; i < 4096; ++i)
                junk.append(char((i * 7919 + 13) % 256));
            s->write(response(200, "OK", kSoap12Type, junk));
            break;
        }
        case Fault::EmptyBody:
            s->write(response(200, "OK", kSoap12Type, {}));
            break;
        case Fault::TruncatedEnvelope:
            s->write(response(200, "OK", kSoap12Type, envelope12("99").left(150)));
            break;
        case Fault::Huge: {
            QByteArray body = envelope12("99");
            body.insert(body.indexOf("<s:Body>"), QByteArray(20 * 1024 * 1024, ' '));
            s->write(response(200, "OK", kSoap12Type, body));
            break;
        }
        case Fault::EntityBomb: {
            QByteArray dtd = "<?xml version=\"1.0\"?><!DOCTYPE s:Envelope [<!ENTITY a0 \"9999999999\">";
            for (int i = 1; i < 10; ++i)
                dtd += "<!ENTITY a" + QByteArray::number(i) + " \"" +
                       QByteArray("&a" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
            dtd += "]>";
            s->write(response(200, "OK", kSoap12Type, dtd + envelope12("&a9;")));
            break;
        }
        default:
            break;
        }
        s->disconnectFromHost();
    }

    Fault FFault;
    const Certificates* FCertificates;
    int FConnections = 0;
};

TFleetDescription threeVehicles() {
    TFleetDescription d;
    d.Company = QStringLiteral("ACME");
    const QString yesterday = PassRun::DateText(kNow.addDays(-1));
    for (int i = 1; i <= 3; ++i)
        d.Vehicles << PassRun::Vehicle(i, QStringLiteral("B-0%1-ABC").arg(i), QStringLiteral("11%1").arg(i),
                                       {{yesterday, 1000 * i}});
    return d;
}

} // namespace

class TestFaultsService final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void faultEndsThePassKeepingEarlierReadings_data();
    void faultEndsThePassKeepingEarlierReadings();

private:
    QTemporaryDir FCertDir;
    Certificates FCerts;
};

void TestFaultsService::initTestCase() {
    TSoapTransportOptions o = TSoapTransportOptions::Default();
    // A silent service is given up on quickly here; the program's own default is much longer.
    o.TransferTimeout = std::chrono::milliseconds(700);
    TSoapTransportOptions::SetDefault(o);
    FCerts = makeCertificates(FCertDir.path());
}

void TestFaultsService::faultEndsThePassKeepingEarlierReadings_data() {
    QTest::addColumn<Fault>("fault");
    QTest::newRow("connection refused") << Fault::Refused;
    QTest::newRow("no answer within the time-out") << Fault::Silent;
    QTest::newRow("connection closed mid-reply") << Fault::ClosedMidReply;
    QTest::newRow("HTTP 500 with an HTML page") << Fault::Html500;
    QTest::newRow("HTTP 503") << Fault::Unavailable503;
    QTest::newRow("SOAP 1.1 envelope") << Fault::Soap11Envelope;
    QTest::newRow("binary garbage") << Fault::Garbage;
    QTest::newRow("empty body") << Fault::EmptyBody;
    QTest::newRow("truncated envelope") << Fault::TruncatedEnvelope;
    QTest::newRow("20 MiB reply") << Fault::Huge;
    QTest::newRow("DTD entity bomb") << Fault::EntityBomb;
    QTest::newRow("self-signed certificate not trusted") << Fault::UntrustedCertificate;
    QTest::newRow("certificate for another host") << Fault::OtherHostCertificate;
    QTest::newRow("expired certificate") << Fault::ExpiredCertificate;
}

void TestFaultsService::faultEndsThePassKeepingEarlierReadings() {
    QFETCH(Fault, fault);
    if (isTls(fault) && !FCerts.Error.isEmpty())
        QSKIP(qPrintable(FCerts.Error));
    FaultServer server(fault, &FCerts);
    QVERIFY(server.isListening());
    PassRun run(kNow);
    QStringList extra;
    if (isTls(fault))
        extra << QStringLiteral("TrackGPSCaFile=") + FCerts.TrustFile;
    run.Prepare(threeVehicles(), server.Url(), extra);
    QVERIFY(run.Run());

    const QStringList m = run.Messages();
    QCOMPARE(m.last(), QStringLiteral("Final Update Kilometri bord"));
    const QString error = m.value(m.size() - 2);
    qInfo("%s", qPrintable(error));
    QVERIFY2(error.startsWith(QStringLiteral("Eroare server SOAP : ")) &&
                 error.size() > QStringLiteral("Eroare server SOAP : ").size(),
             qPrintable(m.join(u'\n')));
    QVERIFY(m.contains(QStringLiteral("KM returnati : 12,500")));
    QCOMPARE(m.filter(QStringLiteral("Interogare pentru autovehicol ")).size(), 2);

    // The first vehicle's reading was committed; none for the one that failed; the third was never asked.
    QList<Reading> all = run.Readings();
    QCOMPARE(all.size(), 3 + 1);
    const QList<Reading> asked = run.Readings(all.last().Vehicle);
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.last().Km.toLongLong(), asked.first().Km.toLongLong() + 12);
    QVERIFY(server.Requests <= 2);

    QVERIFY(!run.Window->isVisible());
    QVERIFY(QFile::exists(run.Window->LogFileName()));
}

ODOLINK_TEST_MAIN(TestFaultsService)
#include "tst_faults_service.moc"
