#include "SoapClient.h"
#include "SoapFault.h"
#include "TestContract.h"
#include "TestSoapServer.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace TestContract;

namespace {

using Reply = TestSoapServer::Reply;

const QByteArray valueBody =
    R"(<GetValueResponse xmlns="urn:test:fleet"><GetValueResult>12.5</GetValueResult>)"
    R"(</GetValueResponse>)";
const QByteArray faultBody = R"(<s:Fault><s:Code><s:Value>s:Sender</s:Value></s:Code><s:Reason>)"
                             R"(<s:Text xml:lang="en">Unknown device</s:Text></s:Reason></s:Fault>)";
const QByteArray soap11 = R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body>)"
                          R"(</e:Body></e:Envelope>)";
const QByteArray laughsDtd =
    "<!DOCTYPE s:Envelope [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">"
    "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>";

Reply reply(int status, QByteArray reason, QByteArray contentType, QByteArray body) {
    Reply r;
    r.Status = status;
    r.Reason = std::move(reason);
    r.ContentType = std::move(contentType);
    r.Body = std::move(body);
    return r;
}

const QByteArray soapType = "application/soap+xml; charset=utf-8";

TSoapTransportOptions quickOptions() {
    TSoapTransportOptions o;
    o.TransferTimeout = std::chrono::milliseconds(2000);
    o.MaxReplyBytes = 64 * 1024;
    return o;
}

// One GetValue call; the error text, or the value as text.
QString call(const QUrl& url, const TSoapTransportOptions& options = quickOptions()) {
    THTTPRIO rio(Interface, options);
    rio.SetURL(url.toString());
    const QString name = QStringLiteral("n");
    try {
        const TSoapValue v = rio.Invoke(QStringLiteral("GetValue"), {&name, std::monostate{}, qint32(1)});
        return QString::number(std::get<double>(v));
    } catch (const EZeltError& e) {
        return e.Message();
    }
}

} // namespace

class TestSoapClient final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Register(); }

    void httpForm() {
        TestSoapServer server;
        server.SetReply(reply(200, "OK", soapType, TestSoapServer::Envelope(valueBody)));
        THTTPRIO rio(Interface, quickOptions());
        rio.SetURL(server.Url().toString());
        QString hookMethod;
        rio.SetOnBeforeExecute([&](const QString& method, QByteArray& request) {
            hookMethod = method;
            QVERIFY(request.contains("<GetValue xmlns=\"urn:test:fleet\">"));
            request = "replaced \xC8\x99";
        });
        const QString name = QStringLiteral("n");
        QCOMPARE(
            std::get<double>(rio.Invoke(QStringLiteral("GetValue"), {&name, std::monostate{}, qint32(1)})),
            12.5);
        QCOMPARE(hookMethod, QStringLiteral("GetValue"));
        QCOMPARE(server.Requests().size(), 1);
        const TestSoapServer::Request& r = server.Requests().first();
        QCOMPARE(r.Head.left(r.Head.indexOf("\r\n")),
                 QByteArray("POST /TrackGPS.WCFService/TrackGPSWs.svc HTTP/1.1"));
        QCOMPARE(r.Header("Content-Type"),
                 QByteArray("application/soap+xml; charset=utf-8;action=\"urn:test:fleet/IFleet/GetValue\""));
        QVERIFY(r.Header("SOAPAction").isNull());
        QCOMPARE(r.Body, QByteArray("replaced \xC8\x99"));
    }

    void outcomes_data() {
        QTest::addColumn<Reply>("answer");
        QTest::addColumn<QString>("result"); // "%1" stands for the address
        QTest::newRow("value") << reply(200, "OK", soapType, TestSoapServer::Envelope(valueBody)) << "12.5";
        QTest::newRow("fault with status 500")
            << reply(500, "Internal Server Error", soapType, TestSoapServer::Envelope(faultBody))
            << "Unknown device";
        QTest::newRow("fault with status 400")
            << reply(400, "Bad Request", soapType, TestSoapServer::Envelope(faultBody)) << "Unknown device";
        QTest::newRow("fault with status 200")
            << reply(200, "OK", soapType, TestSoapServer::Envelope(faultBody)) << "Unknown device";
        QTest::newRow("not found") << reply(404, "Not Found", "text/html", "<html>gone</html>")
                                   << "Not Found (404) - '%1'";
        QTest::newRow("redirect is not followed")
            << reply(302, "Found", "text/html", "") << "Found (302) - '%1'";
        QTest::newRow("status 400 without a fault")
            << reply(400, "Bad Request", "application/xml", "<oops/>") << "Bad Request (400) - '%1'";
        QTest::newRow("HTML page with status 200")
            << reply(200, "OK", "text/html; charset=utf-8", "<html/>")
            << "The service answered with content of type \"text/html; charset=utf-8\" instead of a SOAP "
               "message "
               "(\"application/soap+xml\").";
        QTest::newRow("plain text with status 500")
            << reply(500, "Internal Server Error", "text/plain", "boom")
            << "The service answered with content of type \"text/plain\" instead of a SOAP message "
               "(\"application/soap+xml\").";
        QTest::newRow("SOAP 1.1 envelope") << reply(200, "OK", "text/xml", soap11)
                                           << "The reply is not a SOAP 1.2 message: expected the element "
                                              "{http://www.w3.org/2003/05/soap-envelope}Envelope, found "
                                              "{http://schemas.xmlsoap.org/soap/envelope/}Envelope.";
        QTest::newRow("not XML")
            << reply(200, "OK", soapType, "{\"distance\": 12.5}")
            << "The reply is not a well-formed XML document: Start tag expected. (line 1, column 1)";
        QTest::newRow("truncated XML")
            << reply(200, "OK", soapType, TestSoapServer::Envelope(valueBody).left(120))
            << "The reply is not a well-formed XML document: Premature end of document. (line 1, column 120)";
        QTest::newRow("billion laughs")
            << reply(200, "OK", soapType,
                     laughsDtd + TestSoapServer::Envelope(valueBody).replace("12.5", "&d;"))
            << "The reply contains a document type declaration (DTD); it was refused.";
        Reply large =
            reply(200, "OK", soapType, TestSoapServer::Envelope(QByteArray(100 * 1024, ' ') + valueBody));
        QTest::newRow("reply over the size limit")
            << large << "The reply from %1 is larger than 65536 bytes and was refused.";
        large.SendContentLength = false;
        QTest::newRow("reply over the size limit, no length given")
            << large << "The reply from %1 is larger than 65536 bytes and was refused.";
        QTest::newRow("reply at the size limit")
            << reply(200, "OK", soapType,
                     TestSoapServer::Envelope(
                         QByteArray(64 * 1024 - TestSoapServer::Envelope(valueBody).size(), ' ') + valueBody))
            << "12.5";
    }
    void outcomes() {
        QFETCH(Reply, answer);
        QFETCH(QString, result);
        TestSoapServer server;
        server.SetReply(answer);
        QCOMPARE(call(server.Url()), result.contains(u"%1") ? result.arg(server.Url().toString()) : result);
    }

    void faultKeepsItsStatus() {
        TestSoapServer server;
        server.SetReply(reply(404, "Not Found", "text/html", "<html/>"));
        THTTPRIO rio(Interface, quickOptions());
        rio.SetURL(server.Url().toString());
        const QString name;
        QVERIFY_THROWS_EXCEPTION(ESOAPHTTPException, rio.Invoke(QStringLiteral("GetText"), {&name}));
    }

    void silentServerTimesOut() {
        TestSoapServer server;
        Reply never;
        never.NeverAnswer = true;
        server.SetReply(never);
        TSoapTransportOptions o = quickOptions();
        o.TransferTimeout = std::chrono::milliseconds(300);
        QCOMPARE(
            call(server.Url(), o),
            QStringLiteral("The service at %1 did not answer within 0.3 seconds; the exchange was abandoned.")
                .arg(server.Url().toString()));
        QCOMPARE(server.Requests().size(), 1);
    }

    void connectionRefused() {
        QUrl url;
        {
            TestSoapServer closed;
            url = closed.Url();
        }
        QCOMPARE(call(url), QStringLiteral("Connection refused"));
    }

    void badAddress() {
        QCOMPARE(call(QUrl(QStringLiteral("ftp://127.0.0.1/x"))),
                 QStringLiteral(
                     "The service address \"ftp://127.0.0.1/x\" is not a valid HTTP or HTTPS address."));
    }

    void https_data() {
        QTest::addColumn<bool>("trustCa");
        QTest::addColumn<QString>("result");
        QTest::newRow("self-signed certificate refused")
            << false << "SSL handshake failed: The certificate is self-signed, and untrusted";
        QTest::newRow("trusted through the CA file") << true << "12.5";
    }
    void https() {
        QFETCH(bool, trustCa);
        QFETCH(QString, result);
        QTemporaryDir dir;
        const TestCertificate cert = TestCertificate::Make(dir.path());
        if (!cert.Error.isEmpty())
            QFAIL(qPrintable(cert.Error));
        TestSoapServer server;
        server.EnableTls(cert.Certificate, cert.Key);
        server.SetReply(reply(200, "OK", soapType, TestSoapServer::Envelope(valueBody)));
        TSoapTransportOptions o = quickOptions();
        if (trustCa)
            o.CaFile = cert.CertificateFile;
        QCOMPARE(call(server.Url(), o), result);
    }

    void unreadableCaFile() {
        TSoapTransportOptions o = quickOptions();
        o.CaFile = QStringLiteral("/nonexistent/ca.pem");
        QCOMPARE(
            call(QUrl(QStringLiteral("https://127.0.0.1:9/x")), o),
            QStringLiteral("The CA certificate file \"/nonexistent/ca.pem\" cannot be read or holds no PEM "
                           "certificate."));
    }

    void processDefaultApplies() {
        TestSoapServer server;
        Reply never;
        never.NeverAnswer = true;
        server.SetReply(never);
        const TSoapTransportOptions before = TSoapTransportOptions::Default();
        TSoapTransportOptions o = before;
        o.TransferTimeout = std::chrono::milliseconds(200);
        TSoapTransportOptions::SetDefault(o);
        THTTPRIO rio(Interface);
        TSoapTransportOptions::SetDefault(before);
        rio.SetURL(server.Url().toString());
        const QString name;
        try {
            rio.Invoke(QStringLiteral("GetText"), {&name});
            QFAIL("no error");
        } catch (const EZeltError& e) {
            QVERIFY2(e.Message().contains(u"0.2 seconds"), qPrintable(e.Message()));
        }
    }

    // Last: once the application is told to quit, no later event loop of this thread would run.
    void quittingApplicationEndsTheCall() {
        TestSoapServer server;
        Reply never;
        never.NeverAnswer = true;
        server.SetReply(never);
        QTimer::singleShot(50, qApp, [] { QCoreApplication::exit(0); });
        QCOMPARE(call(server.Url()),
                 QStringLiteral("The exchange with %1 was interrupted.").arg(server.Url().toString()));
    }
};

QTEST_GUILESS_MAIN(TestSoapClient)
#include "tst_SoapClient.moc"
