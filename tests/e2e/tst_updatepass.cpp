#include "AppTestMain.h"
#include "Gauge.h"
#include "PassRun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const QDateTime kNow(QDate(2025, 3, 5), QTime(14, 7, 9, 500));

QString ago(int days, int hours = 0) {
    return PassRun::DateText(kNow.addDays(-days).addSecs(-3600 * hours));
}

TFleetDescription fleetOf(const QList<TFleetVehicle>& vehicles) {
    TFleetDescription d;
    d.Company = QStringLiteral("ACME");
    d.Vehicles = vehicles;
    return d;
}

// Five tracked vehicles with recent readings; the third one's device is unknown when `faulty`.
TFleetDescription fiveVehicles(bool faulty) {
    QList<TFleetVehicle> v;
    const QStringList imeis{QStringLiteral("111"), QStringLiteral("222"),
                            faulty ? QStringLiteral("999") : QStringLiteral("333"), QStringLiteral("444"),
                            QStringLiteral("555")};
    for (int i = 0; i < 5; ++i)
        v << PassRun::Vehicle(i + 1, QStringLiteral("B-0%1-ABC").arg(i + 1), imeis[i], {{ago(1), 1000}});
    return fleetOf(v);
}

int count(const QStringList& lines, const QString& prefix) {
    return int(
        std::count_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(prefix); }));
}

// Answers every request with one distance and moves the clock while the question is out.
class OneAnswerServer : public QTcpServer {
public:
    OneAnswerServer(ManualClock& clock, QDateTime whileAsked)
        : FClock(clock), FWhileAsked(std::move(whileAsked)) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    FRequest += s->readAll();
                    const qsizetype head = FRequest.indexOf("\r\n\r\n");
                    if (head < 0 || !FRequest.contains("</s:Envelope>"))
                        return;
                    FClock.setNow(FWhileAsked);
                    const QByteArray body =
                        "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\"><s:Body>"
                        "<GetDistanceByIMEIResponse xmlns=\"http://tempuri.org/\">"
                        "<GetDistanceByIMEIResult>12.5</GetDistanceByIMEIResult>"
                        "</GetDistanceByIMEIResponse></s:Body></s:Envelope>";
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: application/soap+xml; charset=utf-8\r\n"
                             "Connection: close\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString url() const {
        return QStringLiteral("http://127.0.0.1:%1/TrackGPS.WCFService/TrackGPSWs.svc").arg(serverPort());
    }

private:
    ManualClock& FClock;
    QDateTime FWhileAsked;
    QByteArray FRequest;
};

} // namespace

class TestUpdatePass final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void noVehicles();
    void oneVehicle();
    void newValue_data();
    void newValue();
    void thirtyDayRule();
    void lastReadingInTheFuture();
    void serviceFaultEndsThePass();
    void stopDuringTheWait();
    void acrossMidnightAtMonthEnd();
    void insertRejected();
    void pacingBetweenStoredReadings();

private:
    SimProcess FSim;
};

void TestUpdatePass::initTestCase() {
    QVERIFY2(FSim.Start(DefaultSimData()), qPrintable(FSim.Error()));
}

void TestUpdatePass::noVehicles() {
    PassRun run(kNow);
    // Vehicles that never take part: no device, no reading, an undated reading.
    run.Prepare(fleetOf({PassRun::Vehicle(1, QStringLiteral("NO-GPS"), std::nullopt, {{ago(1), 10}}),
                         PassRun::Vehicle(2, QStringLiteral("NO-READING"), QStringLiteral("111"), {}),
                         PassRun::Vehicle(3, QStringLiteral("UNDATED"), QStringLiteral("111"),
                                          {{ago(2), 10}, {std::nullopt, 20}})}),
                FSim.Url());
    const int calls = int(FSim.Journal().size());
    QVERIFY(run.Run());
    const QStringList m = run.Messages();
    QCOMPARE(m.mid(m.indexOf(QStringLiteral("Start Update Kilometri bord"))),
             (QStringList{QStringLiteral("Start Update Kilometri bord"),
                          QStringLiteral("0  autovehicole de actualizat "),
                          QStringLiteral("Final Update Kilometri bord")}));
    QCOMPARE(run.Window->gauge->MinValue(), 0);
    QCOMPARE(run.Window->gauge->MaxValue(), 0);
    QCOMPARE(FSim.Journal().size(), calls);
    QVERIFY(!run.Window->isVisible());
}

void TestUpdatePass::oneVehicle() {
    PassRun run(kNow);
    run.Prepare(
        fleetOf({PassRun::Vehicle(17, QStringLiteral("B-17-ABC"), QStringLiteral("111"), {{ago(3), 1000}})}),
        FSim.Url());
    const int calls = int(FSim.Journal().size());
    QVERIFY(run.Run());
    QCOMPARE(
        run.Messages(),
        (QStringList{
            QStringLiteral("Conectat la Oracle "),
            QStringLiteral("Conectat la firma : ACME/") + run.FleetFolder,
            QStringLiteral("Start Update Kilometri bord"), QStringLiteral("1  autovehicole de actualizat "),
            QStringLiteral("Interogare pentru autovehicol B-17-ABC DataStart : 02.03.2025 14:07 DataEnd : "
                           "05.03.2025 14:07"),
            QStringLiteral("KM returnati : 12,500"), QStringLiteral("Final Update Kilometri bord")}));
    // One call, no wait: the clock never moved.
    const QList<QJsonObject> journal = FSim.Journal().mid(calls);
    QCOMPARE(journal.size(), 1);
    QCOMPARE(journal[0].value(QStringLiteral("operation")).toString(), QStringLiteral("GetDistanceByIMEI"));
    QCOMPARE(run.Clock.now(), kNow);
    const QList<Reading> r = run.Readings(17);
    QCOMPARE(r.size(), 2);
    // The question's time to the minute; year and month of the day it was stored.
    QCOMPARE(r[1].Date, QStringLiteral("2025-03-05 14:07:00"));
    QCOMPARE(r[1].Km.toLongLong(), 1012);
    QCOMPARE(r[1].An.toInt(), 2025);
    QCOMPARE(r[1].Luna.toInt(), 3);
    QVERIFY(r[1].Key > r[0].Key);
    QCOMPARE(run.Window->gauge->Progress(), 1);
    QVERIFY(!run.Window->isVisible());
}

void TestUpdatePass::newValue_data() {
    QTest::addColumn<QString>("imei");
    QTest::addColumn<QVariant>("lastKm");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<qint64>("stored");
    QTest::newRow("12.5 on 1000") << "111" << QVariant(1000) << "12,500" << qint64(1012);
    QTest::newRow("truncated, not rounded") << "222" << QVariant(1000) << "78,900" << qint64(1078);
    QTest::newRow("negative distance truncates toward zero")
        << "333" << QVariant(1000) << "-0,500" << qint64(999);
    QTest::newRow("zero distance still stored") << "555" << QVariant(1000) << "0,000" << qint64(1000);
    QTest::newRow("empty last value counts as 0") << "111" << QVariant() << "12,500" << qint64(12);
}

void TestUpdatePass::newValue() {
    QFETCH(QString, imei);
    QFETCH(QVariant, lastKm);
    QFETCH(QString, logged);
    QFETCH(qint64, stored);
    PassRun run(kNow);
    TFleetReading last{ago(1), std::nullopt};
    if (lastKm.isValid())
        last.Km = lastKm.toLongLong();
    run.Prepare(fleetOf({PassRun::Vehicle(5, QStringLiteral("B-05-KM"), imei, {last})}), FSim.Url());
    QVERIFY(run.Run());
    QVERIFY(run.Messages().contains(QStringLiteral("KM returnati : ") + logged));
    const QList<Reading> r = run.Readings(5);
    QCOMPARE(r.size(), 2);
    QCOMPARE(r.last().Km.toLongLong(), stored);
}

void TestUpdatePass::thirtyDayRule() {
    PassRun run(kNow);
    // Measured from today's midnight: 3 February 00:00 is exactly 30 days before 5 March.
    run.Prepare(fleetOf({PassRun::Vehicle(1, QStringLiteral("EXACTLY-30"), QStringLiteral("111"),
                                          {{QStringLiteral("2025-02-03 00:00:00"), 100}}),
                         PassRun::Vehicle(2, QStringLiteral("AN-HOUR-OLDER"), QStringLiteral("222"),
                                          {{QStringLiteral("2025-02-02 23:00:00"), 200}})}),
                FSim.Url());
    const int calls = int(FSim.Journal().size());
    QVERIFY(run.Run());
    const QStringList m = run.Messages();
    QVERIFY(m.contains(
        QStringLiteral("Nu pot interoga un interval mai mare de 30 de zile. Vezi : AN-HOUR-OLDER")));
    QCOMPARE(count(m, QStringLiteral("Nu pot interoga")), 1);
    QCOMPARE(count(m, QStringLiteral("KM returnati : ")), 1);
    QCOMPARE(FSim.Journal().size() - calls, 1);
    QCOMPARE(run.Readings(1).size(), 2);
    QCOMPARE(run.Readings(2).size(), 1);
}

void TestUpdatePass::lastReadingInTheFuture() {
    PassRun run(kNow);
    run.Prepare(fleetOf({PassRun::Vehicle(4, QStringLiteral("FUTURE"), QStringLiteral("444"),
                                          {{QStringLiteral("2025-03-05 16:07:00"), 1000}})}),
                FSim.Url());
    const int calls = int(FSim.Journal().size());
    QVERIFY(run.Run());
    const QJsonObject asked = FSim.Journal().value(calls);
    const QJsonObject params = asked.value(QStringLiteral("parameters")).toObject();
    QVERIFY2(params.value(QStringLiteral("startDate"))
                 .toString()
                 .startsWith(QStringLiteral("2025-03-05T16:07:00")),
             qPrintable(QJsonDocument(asked).toJson()));
    QVERIFY(params.value(QStringLiteral("endDate"))
                .toString()
                .startsWith(QStringLiteral("2025-03-05T14:07:09.500")));
    QCOMPARE(params.value(QStringLiteral("imei")).toString(), QStringLiteral("444"));
    // 2 km/h over an interval of minus 1 h 59 min 50.5 s: 1000 - 3.997, truncated toward zero.
    QCOMPARE(run.Readings(4).last().Km.toLongLong(), 996);
}

void TestUpdatePass::serviceFaultEndsThePass() {
    PassRun run(kNow);
    run.Prepare(fiveVehicles(true), FSim.Url());
    const int calls = int(FSim.Journal().size());
    QVERIFY(run.Run());
    const QStringList m = run.Messages();
    QCOMPARE(count(m, QStringLiteral("KM returnati : ")), 2);
    QCOMPARE(count(m, QStringLiteral("Eroare server SOAP : ")), 1);
    QCOMPARE(count(m, QStringLiteral("Interogare pentru autovehicol ")), 3);
    QVERIFY(m.indexOf(QRegularExpression(QStringLiteral("^Eroare server SOAP : .+"))) ==
            m.indexOf(QStringLiteral("Final Update Kilometri bord")) - 1);
    QCOMPARE(FSim.Journal().size() - calls, 3);
    QCOMPARE(run.Readings().size(), 5 + 2);
    QVERIFY(!run.Window->isVisible());
}

void TestUpdatePass::stopDuringTheWait() {
    PassRun run(kNow);
    run.Prepare(fiveVehicles(false), FSim.Url());
    const int calls = int(FSim.Journal().size());
    QDateTime stoppedAt;
    run.Clock.OnWakeRequested = [&](const QDateTime&) {
        if (!stoppedAt.isValid() && count(run.Messages(), QStringLiteral("KM returnati : ")) == 2) {
            stoppedAt = run.Clock.now();
            run.Window->StopFortat = true;
        }
    };
    QVERIFY(run.Run());
    QVERIFY(stoppedAt.isValid());
    // The wait ended at once: not 32 seconds later.
    QVERIFY(run.Clock.now() <= stoppedAt.addSecs(1));
    QCOMPARE(FSim.Journal().size() - calls, 2);
    QCOMPARE(run.Readings().size(), 5 + 2);
    QCOMPARE(run.Messages().last(), QStringLiteral("Final Update Kilometri bord"));
}

void TestUpdatePass::acrossMidnightAtMonthEnd() {
    const QDateTime before(QDate(2025, 3, 31), QTime(23, 59, 50));
    PassRun run(before);
    OneAnswerServer server(run.Clock, QDateTime(QDate(2025, 4, 1), QTime(0, 0, 30)));
    QVERIFY(server.listen(QHostAddress::LocalHost));
    run.Prepare(fleetOf({PassRun::Vehicle(9, QStringLiteral("B-09-NYE"), QStringLiteral("111"),
                                          {{QStringLiteral("2025-03-30 08:00:00"), 500}})}),
                server.url());
    QVERIFY(run.Run());
    const Reading r = run.Readings(9).last();
    QCOMPARE(r.Date, QStringLiteral("2025-03-31 23:59:00"));
    QCOMPARE(r.An.toInt(), 2025);
    QCOMPARE(r.Luna.toInt(), 4);
}

void TestUpdatePass::insertRejected() {
    PassRun run(kNow);
    run.Prepare(fiveVehicles(false), FSim.Url());
    run.Sql(QStringLiteral("CREATE TRIGGER no_more BEFORE INSERT ON NPARC0 WHEN NEW.CODNPARCAUT = 2 "
                           "BEGIN SELECT RAISE(ABORT, 'reading rejected'); END"));
    QVERIFY(run.Run());
    // The error left the pass after its final line; the window stays open with the log on screen.
    QVERIFY(run.Window->isVisible());
    QVERIFY(!run.Window->LogFile().Released());
    const QStringList m = run.Messages();
    QCOMPARE(m.last(), QStringLiteral("Final Update Kilometri bord"));
    QCOMPARE(count(m, QStringLiteral("KM returnati : ")), 2);
    QCOMPARE(run.Readings().size(), 5 + 1);
    QVERIFY(!QFile::exists(run.Window->LogFileName()));
    run.Window->close();
    QVERIFY(QFile::exists(run.Window->LogFileName()));
    QCOMPARE(run.Messages().last(), QStringLiteral("Final Update Kilometri bord"));
}

void TestUpdatePass::pacingBetweenStoredReadings() {
    PassRun run(kNow);
    run.Prepare(fiveVehicles(false), FSim.Url());
    QVERIFY(run.Run());
    QCOMPARE(run.Readings().size(), 10);
    // Four waits of 32 s between five stored readings, none after the last.
    QCOMPARE(run.Clock.now().time(), QTime(14, 9, 17));
    QList<Reading> stored = run.Readings();
    stored = stored.mid(5);
    QCOMPARE(stored.first().Date, QStringLiteral("2025-03-05 14:07:00"));
    QCOMPARE(stored.last().Date, QStringLiteral("2025-03-05 14:09:00"));
}

ODOLINK_TEST_MAIN(TestUpdatePass)
#include "tst_updatepass.moc"
