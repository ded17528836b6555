#include "ZeltFormats.h"

#include <QTest>

// Runs under LC_ALL=C: the system's decimal separator is a point.
class TestZeltFormats final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void formatDateTime_data();
    void formatDateTime();
    void formatFloat_data();
    void formatFloat();
    void timeSeparatorComesFromSettings();
};

void TestZeltFormats::initTestCase() {
    QCOMPARE(TFormatSettings::fromSystem().DecimalSeparator, QChar(u'.'));
    FixProcessFormats();
}

void TestZeltFormats::formatDateTime_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDateTime>("value");
    QTest::addColumn<QString>("expected");
    const QDateTime t(QDate(2025, 3, 5), QTime(14, 7, 9, 10));
    QTest::newRow("log time") << "hh:nn:ss" << t << "14:07:09";
    QTest::newRow("question date") << "dd.mm.yyyy hh:nn" << t << "05.03.2025 14:07";
    QTest::newRow("file date") << "yyyymmdd" << t << "20250305";
    QTest::newRow("short date uses the date separator") << "dd/mm/yyyy" << t << "05.03.2025";
    QTest::newRow("m after h is minutes") << "h:m" << t << "14:7";
    QTest::newRow("quoted literal") << "yyyy'-'mm'-'dd'T'hh':'nn" << t << "2025-03-05T14:07";
    QTest::newRow("milliseconds") << "ss.zzz" << t << "09.010";
    QTest::newRow("midnight") << "hh:nn:ss" << QDateTime(QDate(2025, 1, 1), QTime(0, 0)) << "00:00:00";
}

void TestZeltFormats::formatDateTime() {
    QFETCH(QString, pattern);
    QFETCH(QDateTime, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatDateTime(pattern, value), expected);
}

void TestZeltFormats::formatFloat_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("twelve and a half km") << "0.000" << 12.5 << "12,500";
    QTest::newRow("zero") << "0.000" << 0.0 << "0,000";
    QTest::newRow("negative") << "0.000" << -3.25 << "-3,250";
    QTest::newRow("no grouping without a comma") << "0.000" << 12345.678 << "12345,678";
    QTest::newRow("rounds half away from zero") << "0" << 2.5 << "3";
    QTest::newRow("rounds half away from zero below zero") << "0" << -2.5 << "-3";
    QTest::newRow("tiny negative shows no sign") << "0.000" << -0.0001 << "0,000";
    QTest::newRow("less than one keeps its zero") << "0.000" << 0.125 << "0,125";
    QTest::newRow("grouping asked for") << "#,##0.00" << 1234567.891 << "1.234.567,89";
    QTest::newRow("whole number") << "0" << 78.9 << "79";
}

void TestZeltFormats::formatFloat() {
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatFloat(pattern, value), expected);
}

void TestZeltFormats::timeSeparatorComesFromSettings() {
    TFormatSettings fs = FormatSettings();
    fs.TimeSeparator = u'.';
    QCOMPARE(FormatDateTime(QStringLiteral("hh:nn:ss"), QDateTime(QDate(2025, 3, 5), QTime(14, 7, 9)), fs),
             QStringLiteral("14.07.09"));
}

QTEST_GUILESS_MAIN(TestZeltFormats)
#include "tst_zeltformats.moc"
