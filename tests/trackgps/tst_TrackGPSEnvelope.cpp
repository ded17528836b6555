#include "TestSoapServer.h"
#include "TestZoneMain.h"
#include "TrackGPS.h"

#include <QTest>

namespace {

// The fixed head of every request, up to and including the Body's start tag.
QByteArray head(const QByteArray& operation) {
    return "<s:Envelope xmlns:a=\"http://www.w3.org/2005/08/addressing\" "
           "xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\">\r\n"
           "<s:Header>\r\n"
           "<a:Action s:mustUnderstand=\"1\">http://tempuri.org/ITrackGPS/" +
           operation +
           "</a:Action>\r\n"
           "<a:MessageID>urn:uuid:f5dacb04-c862-4a05-9291-d59fde6212ea</a:MessageID>\r\n"
           "<ActivityId CorrelationId=\"5f90ab71-30b8-4469-a490-29fee312688f\" "
           "xmlns=\"http://schemas.microsoft.com/2004/09/ServiceModel/Diagnostics\">"
           "b1faab55-34fb-4f99-8ff3-f83aec7c9214</ActivityId>\r\n"
           "<a:ReplyTo>\r\n"
           "<a:Address>http://www.w3.org/2005/08/addressing/anonymous</a:Address>\r\n"
           "</a:ReplyTo>\r\n"
           "</s:Header>\r\n"
           "<s:Body>\r\n"
           "<" +
           operation + " xmlns=\"http://tempuri.org/\">\r\n";
}

QByteArray envelope(const QByteArray& operation, const QList<QByteArray>& params) {
    QByteArray out = head(operation);
    for (const QByteArray& line : params)
        out += line + "\r\n";
    return out + "</" + operation + ">\r\n</s:Body>\r\n</s:Envelope>\r\n";
}

const QDateTime winter(QDate(2024, 3, 5), QTime(7, 8, 9, 10));
const QDateTime summer(QDate(2024, 7, 15), QTime(23, 59, 59, 999));

enum class Method {
    GetCars,
    GetDistance,
    GetDistanceByIMEI,
    GetGPSLocation,
    GetCarrierLocation,
    GetCarriersLocation
};

void invoke(TTrackGPS& client, Method method, const QString& id) {
    bool failed = false;
    QString message;
    switch (method) {
    case Method::GetCars:
        client.GetCars();
        break;
    case Method::GetDistance:
        client.GetDistance(id.toInt(), winter, summer, failed, message);
        break;
    case Method::GetDistanceByIMEI:
        client.GetDistanceByIMEI(id, winter, summer, failed, message);
        break;
    case Method::GetGPSLocation:
        client.GetGPSLocation(failed, message);
        break;
    case Method::GetCarrierLocation:
        client.GetCarrierLocation(id.toInt(), failed, message);
        break;
    case Method::GetCarriersLocation:
        client.GetCarriersLocation(failed, message);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Method)

class TestTrackGPSEnvelope final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        TTrackGPS::SetErrorDialog([](const QString&, const QString&) {});
    }

    void requestBytes_data() {
        QTest::addColumn<Method>("method");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QByteArray>("body");
        const QByteArray dates = "<startDate>2024-03-05T07:08:09.010+02:00</startDate>";
        const QByteArray dateEnd = "<endDate>2024-07-15T23:59:59.999+03:00</endDate>";
        QTest::newRow("GetCars") << Method::GetCars << "fleet"
                                 << "secret"
                                 << "" << QByteArray("GetCars")
                                 << envelope("GetCars",
                                             {"<user>fleet</user>", "<password>secret</password>"});
        QTest::newRow("GetDistance, negative carrier")
            << Method::GetDistance << "fleet"
            << "secret"
            << "-17" << QByteArray("GetDistance")
            << envelope("GetDistance", {"<username>fleet</username>", "<password>secret</password>",
                                        "<carrierID>-17</carrierID>", dates, dateEnd});
        QTest::newRow("GetDistanceByIMEI")
            << Method::GetDistanceByIMEI << "fleet"
            << "secret"
            << "356938035643809" << QByteArray("GetDistanceByIMEI")
            << envelope("GetDistanceByIMEI", {"<username>fleet</username>", "<password>secret</password>",
                                              "<imei>356938035643809</imei>", dates, dateEnd});
        QTest::newRow("GetGPSLocation asks GetGpsLocations")
            << Method::GetGPSLocation << "fleet"
            << "secret"
            << "" << QByteArray("GetGpsLocations")
            << envelope("GetGpsLocations", {"<user>fleet</user>", "<password>secret</password>"});
        QTest::newRow("GetCarrierLocation")
            << Method::GetCarrierLocation << "fleet"
            << "secret"
            << "42" << QByteArray("GetCarrierLocation")
            << envelope("GetCarrierLocation", {"<username>fleet</username>", "<password>secret</password>",
                                               "<carrierId>42</carrierId>"});
        QTest::newRow("GetCarriersLocation: credentials only")
            << Method::GetCarriersLocation << "fleet"
            << "secret"
            << "" << QByteArray("GetCarriersLocation")
            << envelope("GetCarriersLocation", {"<username>fleet</username>", "<password>secret</password>"});
        QTest::newRow("empty user name is an empty element")
            << Method::GetDistanceByIMEI << ""
            << "secret"
            << "1" << QByteArray("GetDistanceByIMEI")
            << envelope("GetDistanceByIMEI", {"<username></username>", "<password>secret</password>",
                                              "<imei>1</imei>", dates, dateEnd});
        QTest::newRow("markup characters escaped, letters in UTF-8")
            << Method::GetDistanceByIMEI << QStringLiteral("Ștefan Bârsan") << "a&b<c>d"
            << "35&<" << QByteArray("GetDistanceByIMEI")
            << envelope("GetDistanceByIMEI", {"<username>\xC8\x98tefan B\xC3\xA2rsan</username>",
                                              "<password>a&amp;b&lt;c&gt;d</password>",
                                              "<imei>35&amp;&lt;</imei>", dates, dateEnd});
    }
    void requestBytes() {
        QFETCH(Method, method);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, id);
        QFETCH(QByteArray, action);
        QFETCH(QByteArray, body);
        TestSoapServer server;
        server.SetReply({404, "Not Found", "text/html", "<html/>"});
        TTrackGPS client(user, password, server.Url().toString());
        client.Mute = true;
        invoke(client, method, id);
        QCOMPARE(server.Requests().size(), 1);
        const TestSoapServer::Request& r = server.Requests().first();
        QCOMPARE(r.Body, body);
        QCOMPARE(r.Header("Content-Type"),
                 "application/soap+xml; charset=utf-8;action=\"http://tempuri.org/ITrackGPS/" + action +
                     "\"");
        QVERIFY(r.Header("SOAPAction").isNull());
    }

    void operationNameInAnotherCase() {
        TestSoapServer server;
        server.SetReply({404, "Not Found", "text/html", "<html/>"});
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        client.Mute = true;
        invoke(client, Method::GetDistanceByIMEI, QStringLiteral("7"));
        // The request the runtime hands over is longer than the envelope: nothing of it may remain.
        QByteArray request(8192, 'x');
        client.BeforeExecute(QStringLiteral("getdistancebyimei"), request);
        QCOMPARE(request, envelope("getdistancebyimei",
                                   {"<username>fleet</username>", "<password>secret</password>",
                                    "<imei>7</imei>", "<startDate>2024-03-05T07:08:09.010+02:00</startDate>",
                                    "<endDate>2024-07-15T23:59:59.999+03:00</endDate>"}));
    }

    void nameComparisonIsExact_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("userLine");
        QTest::newRow("GetDistanceByIMEICargus is not GetDistanceByIMEI")
            << "GetDistanceByIMEICargus" << QByteArray("<username>u</username>");
        QTest::newRow("GETCARS in capitals") << "GETCARS" << QByteArray("<user>u</user>");
        QTest::newRow("an operation the client does not wrap")
            << "GetUserCars" << QByteArray("<username>u</username>");
    }
    void nameComparisonIsExact() {
        QFETCH(QString, operation);
        QFETCH(QByteArray, userLine);
        const TTrackGPS client(QStringLiteral("u"), QStringLiteral("p"), QString());
        QByteArray request;
        client.BeforeExecute(operation, request);
        QCOMPARE(request, envelope(operation.toLatin1(), {userLine, "<password>p</password>"}));
    }
};

ODOLINK_TEST_MAIN_IN_ZONE(TestTrackGPSEnvelope, "Europe/Bucharest")
#include "tst_TrackGPSEnvelope.moc"
