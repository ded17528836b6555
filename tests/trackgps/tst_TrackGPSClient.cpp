#include "TestSoapServer.h"
#include "TestZoneMain.h"
#include "TrackGPS.h"
#include "ZeltFormats.h"

#include <QTest>

using namespace TrackGPSWs;

namespace {

using Reply = TestSoapServer::Reply;

Reply soapReply(int status, const QByteArray& body) {
    return {status, status == 200 ? "OK" : "Internal Server Error", "application/soap+xml; charset=utf-8",
            TestSoapServer::Envelope(body)};
}

Reply distanceReply(const QByteArray& value) {
    return soapReply(200,
                     R"(<GetDistanceByIMEIResponse xmlns="http://tempuri.org/"><GetDistanceByIMEIResult>)" +
                         value + "</GetDistanceByIMEIResult></GetDistanceByIMEIResponse>");
}

const QByteArray serviceFault =
    R"(<s:Fault><s:Code><s:Value>s:Receiver</s:Value></s:Code><s:Reason><s:Text xml:lang="en-US">)"
    R"(Invalid username or password</s:Text></s:Reason><s:Detail><WebServiceFault )"
    R"(xmlns="http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.DataContracts" )"
    R"(xmlns:i="http://www.w3.org/2001/XMLSchema-instance"><Message>Invalid username or password</Message>)"
    R"(</WebServiceFault></s:Detail></s:Fault>)";

const QByteArray allCarrierFields =
    "<b:Address>Str. Lungă 5, Brașov</b:Address><b:CarrierCode>BV-01-ABC</b:CarrierCode>"
    "<b:CarrierID>2147483647</b:CarrierID><b:CarrierName>Dacia</b:CarrierName><b:Course>359.5</b:Course>"
    "<b:EngineEvent>-2</b:EngineEvent><b:EngineEventDate>2024-03-05T06:00:00+02:00</b:EngineEventDate>"
    "<b:GPSDate>2024-03-05T07:08:09.010+02:00</b:GPSDate><b:Latitude>45.6427</b:Latitude>"
    "<b:Longitude>25.5887</b:Longitude><b:ServerDate>2024-03-05T05:08:10Z</b:ServerDate><b:Speed>0</b:Speed>";

Reply carrierReply(const QByteArray& fields) {
    return soapReply(
        200, R"(<GetCarrierLocationResponse xmlns="http://tempuri.org/"><GetCarrierLocationResult )"
             R"(xmlns:b="http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.Entities" )"
             R"(xmlns:i="http://www.w3.org/2001/XMLSchema-instance">)" +
                 fields + "</GetCarrierLocationResult></GetCarrierLocationResponse>");
}

struct Shown {
    QString Text;
    QString Caption;
};

const QDateTime start(QDate(2024, 3, 1), QTime(8, 0));
const QDateTime end(QDate(2024, 3, 5), QTime(17, 30));

} // namespace

class TestTrackGPSClient final : public QObject {
    Q_OBJECT
private:
    QList<Shown> FShown;

private slots:
    void initTestCase() {
        FixProcessFormats();
        TSoapTransportOptions o = TSoapTransportOptions::Default();
        o.TransferTimeout = std::chrono::milliseconds(2000);
        TSoapTransportOptions::SetDefault(o);
        TTrackGPS::SetErrorDialog([this](const QString& text, const QString& caption) {
            FShown.append({text, caption});
        });
    }
    void init() { FShown.clear(); }

    void distanceReturnedUnchanged_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("distance");
        QTest::newRow("12.5") << QByteArray("12.5") << 12.5;
        QTest::newRow("zero") << QByteArray("0") << 0.0;
        QTest::newRow("negative, as the service says") << QByteArray("-3.25") << -3.25;
        QTest::newRow("many digits") << QByteArray("1234.5678901234567") << 1234.5678901234567;
    }
    void distanceReturnedUnchanged() {
        QFETCH(QByteArray, text);
        QFETCH(double, distance);
        TestSoapServer server;
        server.SetReply(distanceReply(text));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        client.Mute = true;
        bool failed = true;
        QString message = QStringLiteral("stale");
        QCOMPARE(client.GetDistanceByIMEI(QStringLiteral("356938035643809"), start, end, failed, message),
                 distance);
        QVERIFY(!failed);
        QCOMPARE(message, QString());
    }

    void failuresReported_data() {
        QTest::addColumn<Reply>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("SOAP 1.2 fault, status 500")
            << soapReply(500, serviceFault) << "Invalid username or password";
        QTest::newRow("SOAP 1.2 fault, status 200")
            << soapReply(200, serviceFault) << "Invalid username or password";
        QTest::newRow("HTTP 404") << Reply{404, "Not Found", "text/html", "<html/>"}
                                  << "Not Found (404) - '%1'";
        QTest::newRow("distance that is no number")
            << distanceReply("12,5") << "\"12,5\" is not a valid floating point value.";
    }
    void failuresReported() {
        QFETCH(Reply, answer);
        QFETCH(QString, message);
        TestSoapServer server;
        server.SetReply(answer);
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("bad"), server.Url().toString());
        client.Mute = true;
        bool failed = false;
        QString text;
        QCOMPARE(client.GetDistanceByIMEI(QStringLiteral("1"), start, end, failed, text), 0.0);
        QVERIFY(failed);
        QCOMPARE(text, message.contains(u"%1") ? message.arg(server.Url().toString()) : message);
        QVERIFY(FShown.isEmpty());
    }

    void unreachableService() {
        QString url;
        {
            TestSoapServer gone;
            url = gone.Url().toString();
        }
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), url);
        client.Mute = true;
        bool failed = false;
        QString text;
        QCOMPARE(client.GetDistance(5, start, end, failed, text), 0.0);
        QVERIFY(failed);
        QCOMPARE(text, QStringLiteral("Connection refused"));
        QVERIFY(FShown.isEmpty());
    }

    void dialogUnlessMute_data() {
        QTest::addColumn<bool>("mute");
        QTest::newRow("Mute: no dialog") << true;
        QTest::newRow("not Mute: the dialog") << false;
    }
    void dialogUnlessMute() {
        QFETCH(bool, mute);
        TestSoapServer server;
        server.SetReply(soapReply(500, serviceFault));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("bad"), server.Url().toString());
        client.Mute = mute;
        bool failed = false;
        QString text;
        client.GetCarriersLocation(failed, text);
        QVERIFY(failed);
        if (mute) {
            QVERIFY(FShown.isEmpty());
        } else {
            QCOMPARE(FShown.size(), 1);
            QCOMPARE(FShown[0].Text, QStringLiteral("Invalid username or password"));
            QCOMPARE(FShown[0].Caption, QStringLiteral("Eroare "));
        }
    }

    void getCarsFailureOnlyShowsTheDialog() {
        TestSoapServer server;
        server.SetReply(soapReply(500, serviceFault));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("bad"), server.Url().toString());
        QCOMPARE(client.GetCars(), QString());
        QCOMPARE(FShown.size(), 1);
        QCOMPARE(FShown[0].Caption, QStringLiteral("Eroare "));
    }

    void skippedHourRaisedBeforeAnyExchange() {
        TestSoapServer server;
        server.SetReply(distanceReply("1"));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        client.Mute = true;
        bool failed = true;
        QString text = QStringLiteral("stale");
        try {
            client.GetDistanceByIMEI(QStringLiteral("1"), start, QDateTime(QDate(2024, 3, 31), QTime(3, 15)),
                                     failed, text);
            QFAIL("no error for an end inside the skipped hour");
        } catch (const EZeltError& e) {
            QCOMPARE(e.Message(),
                     QStringLiteral("The given \"31.03.2024 03:15:00\" local time is invalid (situated "
                                    "within the missing period prior to DST)."));
        }
        QVERIFY(!failed);
        QCOMPARE(text, QString());
        QVERIFY(server.Requests().isEmpty());
        QVERIFY(FShown.isEmpty());
    }

    void equalInstantsAndNewIdentifier() {
        TestSoapServer server;
        server.SetReply(distanceReply("1"));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        client.Mute = true;
        bool failed = false;
        QString text;
        client.GetDistanceByIMEI(QStringLiteral("111"), end, end, failed, text);
        client.GetDistanceByIMEI(QStringLiteral("222"), end, end, failed, text);
        QCOMPARE(server.Requests().size(), 2);
        const QByteArray second = server.Requests()[1].Body;
        QVERIFY(second.contains("<imei>222</imei>"));
        QVERIFY(!second.contains("111"));
        QVERIFY(second.contains("<startDate>2024-03-05T17:30:00.000+02:00</startDate>\r\n"
                                "<endDate>2024-03-05T17:30:00.000+02:00</endDate>"));
    }

    void carrierLocationEveryField() {
        TestSoapServer server;
        server.SetReply(carrierReply(allCarrierFields));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        bool failed = true;
        QString text;
        const std::unique_ptr<CarrierLocation2> c = client.GetCarrierLocation(7, failed, text);
        QVERIFY(!failed);
        QVERIFY(c);
        QCOMPARE(c->Address(), QStringLiteral("Str. Lungă 5, Brașov"));
        QCOMPARE(c->CarrierCode(), QStringLiteral("BV-01-ABC"));
        QCOMPARE(c->CarrierID(), 2147483647);
        QCOMPARE(c->CarrierName(), QStringLiteral("Dacia"));
        QCOMPARE(c->Course(), 359.5);
        QCOMPARE(c->EngineEvent(), qint16(-2));
        QCOMPARE(c->EngineEventDate()->NativeToXS(), QStringLiteral("2024-03-05T06:00:00.000+02:00"));
        QCOMPARE(c->GPSDate()->AsDateTime(), QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, 10)));
        QCOMPARE(c->Latitude(), 45.6427);
        QCOMPARE(c->Longitude(), 25.5887);
        QCOMPARE(c->ServerDate()->NativeToXS(), QStringLiteral("2024-03-05T05:08:10.000Z"));
        QCOMPARE(c->Speed(), 0.0);
        QVERIFY(c->Address_Specified() && c->CarrierCode_Specified() && c->CarrierID_Specified() &&
                c->CarrierName_Specified() && c->Course_Specified() && c->EngineEvent_Specified() &&
                c->EngineEventDate_Specified() && c->GPSDate_Specified() && c->Latitude_Specified() &&
                c->Longitude_Specified() && c->ServerDate_Specified() && c->Speed_Specified());
    }

    void carrierLocationMissingField() {
        QByteArray fields = allCarrierFields;
        fields.remove(fields.indexOf("<b:GPSDate>"),
                      fields.indexOf("<b:Latitude>") - fields.indexOf("<b:GPSDate>"));
        TestSoapServer server;
        server.SetReply(carrierReply(fields));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        bool failed = true;
        QString text;
        const std::unique_ptr<CarrierLocation2> c = client.GetCarrierLocation(7, failed, text);
        QVERIFY(c);
        QVERIFY(!c->GPSDate_Specified());
        QVERIFY(!c->GPSDate());
        QVERIFY(c->ServerDate_Specified());
    }

    void carrierLocationFailureGivesNoObject() {
        TestSoapServer server;
        server.SetReply(soapReply(500, serviceFault));
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        client.Mute = true;
        bool failed = false;
        QString text;
        QVERIFY(!client.GetCarrierLocation(7, failed, text));
        QVERIFY(failed);
    }

    void otherResults() {
        TestSoapServer server;
        TTrackGPS client(QStringLiteral("fleet"), QStringLiteral("secret"), server.Url().toString());
        client.Mute = true;
        bool failed = true;
        QString text;
        server.SetReply(soapReply(200, R"(<GetGpsLocationsResponse xmlns="http://tempuri.org/">)"
                                       R"(<GetGpsLocationsResult>AAEC/w==</GetGpsLocationsResult>)"
                                       R"(</GetGpsLocationsResponse>)"));
        QCOMPARE(client.GetGPSLocation(failed, text), QByteArray("\x00\x01\x02\xFF", 4));
        QVERIFY(!failed);
        server.SetReply(soapReply(200, R"(<GetCarriersLocationResponse xmlns="http://tempuri.org/">)"
                                       R"(<GetCarriersLocationResult>a &amp; b</GetCarriersLocationResult>)"
                                       R"(</GetCarriersLocationResponse>)"));
        QCOMPARE(client.GetCarriersLocation(failed, text), QStringLiteral("a & b"));
        server.SetReply(soapReply(200, R"(<GetCarsResponse xmlns="http://tempuri.org/"><GetCarsResult )"
                                       R"(xmlns:i="http://www.w3.org/2001/XMLSchema-instance" i:nil="true"/>)"
                                       R"(</GetCarsResponse>)"));
        QCOMPARE(client.GetCars(), QString());
        QVERIFY(FShown.isEmpty());
    }
};

ODOLINK_TEST_MAIN_IN_ZONE(TestTrackGPSClient, "Europe/Bucharest")
#include "tst_TrackGPSClient.moc"
