#include "SoapValues.h"
#include "TestZoneMain.h"
#include "ZeltError.h"
#include "ZeltFormats.h"

#include <QTest>

class TestSoapDateTime final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { FixProcessFormats(); }

    void localTimeText_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("local");
        QTest::addColumn<QString>("text");
        const QByteArray bucharest = "Europe/Bucharest";
        QTest::newRow("winter, standard time")
            << bucharest << QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, 10))
            << "2024-03-05T07:08:09.010+02:00";
        QTest::newRow("summer, daylight time")
            << bucharest << QDateTime(QDate(2024, 7, 15), QTime(23, 59, 59, 999))
            << "2024-07-15T23:59:59.999+03:00";
        QTest::newRow("last minute before the skipped hour")
            << bucharest << QDateTime(QDate(2024, 3, 31), QTime(2, 59, 59))
            << "2024-03-31T02:59:59.000+02:00";
        QTest::newRow("first minute after the skipped hour")
            << bucharest << QDateTime(QDate(2024, 3, 31), QTime(4, 0)) << "2024-03-31T04:00:00.000+03:00";
        QTest::newRow("repeated hour takes the standard offset")
            << bucharest << QDateTime(QDate(2024, 10, 27), QTime(3, 30)) << "2024-10-27T03:30:00.000+02:00";
        QTest::newRow("hour before the repeated one")
            << bucharest << QDateTime(QDate(2024, 10, 27), QTime(2, 30)) << "2024-10-27T02:30:00.000+03:00";
        QTest::newRow("UTC gives Z") << QByteArray("UTC") << QDateTime(QDate(2024, 7, 15), QTime(12, 0))
                                     << "2024-07-15T12:00:00.000Z";
        QTest::newRow("zone behind UTC")
            << QByteArray("America/New_York") << QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))
            << "2024-01-02T03:04:05.000-05:00";
        QTest::newRow("half-hour offset")
            << QByteArray("Asia/Kolkata") << QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))
            << "2024-01-02T03:04:05.000+05:30";
        QTest::newRow("a UTC value is first brought to local time")
            << bucharest << QDateTime(QDate(2024, 3, 5), QTime(5, 8, 9), Qt::UTC)
            << "2024-03-05T07:08:09.000+02:00";
    }
    void localTimeText() {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, local);
        QFETCH(QString, text);
        const TestZone inZone(zone);
        // The value is built after the zone is in force, as the caller would have done.
        const QDateTime value =
            local.timeSpec() == Qt::LocalTime ? QDateTime(local.date(), local.time()) : local;
        QCOMPARE(TXSDateTime::FromLocal(value).NativeToXS(), text);
    }

    void skippedHourIsAnError() {
        const QDateTime gap(QDate(2024, 3, 31), QTime(3, 30, 15));
        try {
            TXSDateTime::FromLocal(gap);
            QFAIL("no error for a time in the skipped hour");
        } catch (const EZeltError& e) {
            QCOMPARE(e.Message(),
                     QStringLiteral("The given \"31.03.2024 03:30:15\" local time is invalid (situated "
                                    "within the missing period prior to DST)."));
        }
    }

    void lexicalForms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QDateTime>("utc");
        QTest::newRow("offset") << "2024-03-05T07:08:09.010+02:00"
                                << "2024-03-05T07:08:09.010+02:00"
                                << QDateTime(QDate(2024, 3, 5), QTime(5, 8, 9, 10), Qt::UTC);
        QTest::newRow("Z, no fraction")
            << "2024-03-05T07:08:09Z"
            << "2024-03-05T07:08:09.000Z" << QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC);
        QTest::newRow("seven fraction digits")
            << "2024-03-05T07:08:09.1234567-01:30"
            << "2024-03-05T07:08:09.123-01:30" << QDateTime(QDate(2024, 3, 5), QTime(8, 38, 9, 123), Qt::UTC);
        QTest::newRow("no offset is local time")
            << "2024-03-05T07:08:09"
            << "2024-03-05T07:08:09.000" << QDateTime(QDate(2024, 3, 5), QTime(5, 8, 9), Qt::UTC);
    }
    void lexicalForms() {
        QFETCH(QString, text);
        QFETCH(QString, normal);
        QFETCH(QDateTime, utc);
        const TXSDateTime v = TXSDateTime::FromXS(text);
        QCOMPARE(v.NativeToXS(), normal);
        QCOMPARE(v.AsUTCDateTime(), utc);
    }

    void badLexicalForms_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("date only") << "2024-03-05";
        QTest::newRow("month 13") << "2024-13-05T07:08:09Z";
        QTest::newRow("blank instead of T") << "2024-03-05 07:08:09Z";
        QTest::newRow("offset without colon") << "2024-03-05T07:08:09+0200";
    }
    void badLexicalForms() {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(EZeltError, TXSDateTime::FromXS(text));
    }
};

ODOLINK_TEST_MAIN_IN_ZONE(TestSoapDateTime, "Europe/Bucharest")
#include "tst_SoapDateTime.moc"
