// The Odolink client TTrackGPS against a running trackgps-sim: each of its six methods, values and
// faults, over HTTP and HTTPS, and what the service recorded of each request.
#include "SimProcess.h"
#include "SoapTransport.h"
#include "TrackGPS.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

const char* kFixture = R"({
  "accounts": { "odolink": "s3cret" },
  "devices": {
    "350000000000001": { "distanceKm": 12.5, "carrierId": 7 },
    "350000000000002": { "kmPerHour": 30, "carrierId": 8 }
  },
  "carriers": {
    "7": { "CarrierCode": "B-07-XYZ", "CarrierName": "Van", "Latitude": 44.5, "Longitude": 26.25,
           "Speed": 0, "GPSDate": "2024-05-02T08:15:00.000+03:00" },
    "8": { "CarrierCode": "CJ-08-XYZ" }
  }
})";

QDateTime local(int month, int day, int hour, int minute = 0) {
    return QDateTime(QDate(2024, month, day), QTime(hour, minute), Qt::LocalTime);
}

void setCaFile(const QString& path) {
    TSoapTransportOptions o = TSoapTransportOptions::Default();
    o.CaFile = path;
    o.TransferTimeout = std::chrono::milliseconds(20000);
    TSoapTransportOptions::SetDefault(o);
}

} // namespace

class TestTrackGpsClientAgainstSim final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void distanceByImei_data();
    void distanceByImei();
    void distanceByCarrier();
    void carrierLocation();
    void textAndByteResults();
    void faults_data();
    void faults();
    void carsFaultGoesToTheDialog();
    void journalHoldsWhatTheClientSent();
    void https();

private:
    TTrackGPS client(const QString& password = QStringLiteral("s3cret")) const {
        TTrackGPS c(QStringLiteral("odolink"), password, QUrl(FSim->Url()).toString());
        c.Mute = true;
        return c;
    }

    QTemporaryDir FDir;
    QString FData;
    QString FJournal;
    std::unique_ptr<SimProcess> FSim;
    QStringList FShown;
};

void TestTrackGpsClientAgainstSim::initTestCase() {
    QVERIFY(FDir.isValid());
    FData = FDir.filePath(QStringLiteral("fleet.json"));
    QFile data(FData);
    QVERIFY(data.open(QIODevice::WriteOnly) && data.write(kFixture) > 0);
    data.close();
    FJournal = FDir.filePath(QStringLiteral("journal.jsonl"));
    FSim = std::make_unique<SimProcess>();
    QVERIFY2(FSim->StartWith({"--data", FData, "--journal", FJournal}), qPrintable(FSim->Error()));
    TTrackGPS::SetErrorDialog([this](const QString& text, const QString&) { FShown.append(text); });
}

void TestTrackGpsClientAgainstSim::init() {
    FShown.clear();
    setCaFile({});
}

void TestTrackGpsClientAgainstSim::distanceByImei_data() {
    QTest::addColumn<QString>("imei");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<double>("expected");
    QTest::newRow("fixed distance") << "350000000000001" << local(3, 5, 7) << local(3, 6, 7) << 12.5;
    QTest::newRow("rate over two hours") << "350000000000002" << local(3, 5, 7) << local(3, 5, 9) << 60.0;
    QTest::newRow("start after end") << "350000000000002" << local(3, 5, 9) << local(3, 5, 7, 30) << -45.0;
    QTest::newRow("across the change to summer time")
        << "350000000000002" << local(3, 31, 1) << local(3, 31, 5) << 90.0;
}

void TestTrackGpsClientAgainstSim::distanceByImei() {
    QFETCH(QString, imei);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(double, expected);
    bool failed = true;
    QString message = QStringLiteral("untouched");
    QCOMPARE(client().GetDistanceByIMEI(imei, start, end, failed, message), expected);
    QVERIFY(!failed);
    QCOMPARE(message, QString());
}

void TestTrackGpsClientAgainstSim::distanceByCarrier() {
    bool failed = true;
    QString message;
    QCOMPARE(client().GetDistance(8, local(5, 1, 8), local(5, 1, 9), failed, message), 30.0);
    QVERIFY2(!failed, qPrintable(message));
}

void TestTrackGpsClientAgainstSim::carrierLocation() {
    bool failed = true;
    QString message;
    const std::unique_ptr<TrackGPSWs::CarrierLocation2> location =
        client().GetCarrierLocation(7, failed, message);
    QVERIFY2(!failed, qPrintable(message));
    QVERIFY(location);
    QCOMPARE(location->CarrierID(), 7);
    QCOMPARE(location->CarrierCode(), QStringLiteral("B-07-XYZ"));
    QCOMPARE(location->Longitude(), 26.25);
    QVERIFY(location->Speed_Specified());
    QCOMPARE(location->Speed(), 0.0);
    QVERIFY(location->GPSDate());
    QCOMPARE(location->GPSDate()->NativeToXS(), QStringLiteral("2024-05-02T08:15:00.000+03:00"));
    // Fields the service does not know stay unspecified.
    QVERIFY(!location->Address_Specified());
    QVERIFY(!location->ServerDate());
}

void TestTrackGpsClientAgainstSim::textAndByteResults() {
    TTrackGPS c = client();
    const QString cars = c.GetCars();
    QVERIFY2(cars.contains(QStringLiteral("\"CarrierCode\":\"CJ-08-XYZ\"")), qPrintable(cars));

    bool failed = true;
    QString message;
    const QString locations = c.GetCarriersLocation(failed, message);
    QVERIFY2(!failed, qPrintable(message));
    QVERIFY2(locations.contains(QStringLiteral("\"CarrierName\":\"Van\"")), qPrintable(locations));

    failed = true;
    const TByteDynArray bytes = c.GetGPSLocation(failed, message);
    QVERIFY2(!failed, qPrintable(message));
    QCOMPARE(QJsonDocument::fromJson(bytes).toJson(), QJsonDocument::fromJson(locations.toUtf8()).toJson());
}

void TestTrackGpsClientAgainstSim::faults_data() {
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong password") << "GetDistanceByIMEI"
                                    << "wrong"
                                    << "Invalid user name or password.";
    QTest::newRow("unknown IMEI") << "GetDistanceByIMEI"
                                  << "s3cret"
                                  << "Unknown device IMEI '999'.";
    QTest::newRow("unknown carrier for a distance") << "GetDistance"
                                                    << "s3cret"
                                                    << "Unknown carrier id 99.";
    QTest::newRow("unknown carrier for a location") << "GetCarrierLocation"
                                                    << "s3cret"
                                                    << "Unknown carrier id 99.";
    QTest::newRow("wrong password for the locations") << "GetCarriersLocation"
                                                      << "wrong"
                                                      << "Invalid user name or password.";
    QTest::newRow("wrong password for the GPS locations") << "GetGPSLocation"
                                                          << "wrong"
                                                          << "Invalid user name or password.";
}

void TestTrackGpsClientAgainstSim::faults() {
    QFETCH(QString, method);
    QFETCH(QString, password);
    QFETCH(QString, message);
    TTrackGPS c = client(password);
    bool failed = false;
    QString text;
    if (method == QLatin1StringView("GetDistanceByIMEI")) {
        QCOMPARE(c.GetDistanceByIMEI(QStringLiteral("999"), local(5, 1, 8), local(5, 1, 9), failed, text),
                 0.0);
    } else if (method == QLatin1StringView("GetDistance")) {
        QCOMPARE(c.GetDistance(99, local(5, 1, 8), local(5, 1, 9), failed, text), 0.0);
    } else if (method == QLatin1StringView("GetCarrierLocation")) {
        QVERIFY(!c.GetCarrierLocation(99, failed, text));
    } else if (method == QLatin1StringView("GetCarriersLocation")) {
        QCOMPARE(c.GetCarriersLocation(failed, text), QString());
    } else {
        QCOMPARE(c.GetGPSLocation(failed, text), TByteDynArray());
    }
    QVERIFY(failed);
    QCOMPARE(text, message);
    QVERIFY(FShown.isEmpty()); // muted
}

void TestTrackGpsClientAgainstSim::carsFaultGoesToTheDialog() {
    TTrackGPS c(QStringLiteral("odolink"), QStringLiteral("wrong"), QUrl(FSim->Url()).toString());
    QCOMPARE(c.GetCars(), QString());
    QCOMPARE(FShown, QStringList{QStringLiteral("Invalid user name or password.")});
}

void TestTrackGpsClientAgainstSim::journalHoldsWhatTheClientSent() {
    const qsizetype before = SimProcess::ReadJournal(FJournal).size();
    TTrackGPS c = client();
    bool failed = true;
    QString message;
    c.GetDistanceByIMEI(QStringLiteral("350000000000001"), local(3, 5, 7, 8), local(7, 5, 9), failed,
                        message);
    QVERIFY2(!failed, qPrintable(message));
    c.GetCarrierLocation(-3, failed, message);
    QVERIFY(failed);
    c.GetCars();

    const QList<QJsonObject> lines = SimProcess::ReadJournal(FJournal).mid(before);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0].value("operation").toString(), QStringLiteral("GetDistanceByIMEI"));
    QCOMPARE(
        lines[0].value("contentType").toString(),
        QStringLiteral(
            "application/soap+xml; charset=utf-8;action=\"http://tempuri.org/ITrackGPS/GetDistanceByIMEI\""));
    const QJsonObject distance = lines[0].value("parameters").toObject();
    QCOMPARE(distance.value("username").toString(), QStringLiteral("odolink"));
    QCOMPARE(distance.value("password").toString(), QStringLiteral("s3cret"));
    QCOMPARE(distance.value("imei").toString(), QStringLiteral("350000000000001"));
    QCOMPARE(distance.value("startDate").toString(), QStringLiteral("2024-03-05T07:08:00.000+02:00"));
    QCOMPARE(distance.value("endDate").toString(), QStringLiteral("2024-07-05T09:00:00.000+03:00"));

    QCOMPARE(lines[1].value("operation").toString(), QStringLiteral("GetCarrierLocation"));
    QCOMPARE(lines[1].value("parameters").toObject().value("carrierId").toString(), QStringLiteral("-3"));
    QCOMPARE(lines[2].value("operation").toString(), QStringLiteral("GetCars"));
    QCOMPARE(lines[2].value("parameters").toObject().value("user").toString(), QStringLiteral("odolink"));
}

void TestTrackGpsClientAgainstSim::https() {
    const QString key = FDir.filePath(QStringLiteral("server.key")),
                  cert = FDir.filePath(QStringLiteral("server.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days",
                   "2", "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        QSKIP("openssl could not make a test certificate");

    SimProcess sim;
    QVERIFY2(sim.StartWith({"--data", FData, "--tls-cert", cert, "--tls-key", key}), qPrintable(sim.Error()));
    TTrackGPS c(QStringLiteral("odolink"), QStringLiteral("s3cret"), QUrl(sim.Url()).toString());
    c.Mute = true;

    bool failed = false;
    QString message;
    QCOMPARE(c.GetDistanceByIMEI(QStringLiteral("350000000000001"), local(5, 1, 8), local(5, 1, 9), failed,
                                 message),
             0.0);
    QVERIFY2(failed && !message.isEmpty(), "an unknown authority must be refused");

    setCaFile(cert);
    QCOMPARE(c.GetDistanceByIMEI(QStringLiteral("350000000000001"), local(5, 1, 8), local(5, 1, 9), failed,
                                 message),
             12.5);
    QVERIFY2(!failed, qPrintable(message));
    const std::unique_ptr<TrackGPSWs::CarrierLocation2> location = c.GetCarrierLocation(8, failed, message);
    QVERIFY2(!failed && location, qPrintable(message));
    QCOMPARE(location->CarrierCode(), QStringLiteral("CJ-08-XYZ"));
    QCOMPARE(sim.Stop(SIGTERM), 0);
}

QTEST_GUILESS_MAIN(TestTrackGpsClientAgainstSim)
#include "tst_trackgps_client_sim.moc"
