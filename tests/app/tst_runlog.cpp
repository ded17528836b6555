#include "RunLog.h"
#include "ZeltError.h"
#include "ZeltFormats.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestRunLog final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { FixProcessFormats(); }
    void line_data();
    void line();
    void fileName_data();
    void fileName();
    void fileContent();
    void overwritesAnEarlierFile();
    void noLineAfterRelease();
    void unwritableFolderRaisesAndReleases();
    void fullDiskRaises();
};

void TestRunLog::line_data() {
    QTest::addColumn<QTime>("at");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expected");
    QTest::newRow("start line") << QTime(14, 7, 9) << "Start Update Kilometri bord"
                                << "[14:07:09] Start Update Kilometri bord";
    QTest::newRow("trailing blank kept") << QTime(0, 0, 1) << "Eroare la conectare la Oracle "
                                         << "[00:00:01] Eroare la conectare la Oracle ";
    QTest::newRow("empty message") << QTime(23, 59, 59) << ""
                                   << "[23:59:59] ";
}

void TestRunLog::line() {
    QFETCH(QTime, at);
    QFETCH(QString, message);
    QFETCH(QString, expected);
    QCOMPARE(TRunLog::Line(QDateTime(QDate(2025, 3, 5), at), message), expected);
}

void TestRunLog::fileName_data() {
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QDateTime>("openDate");
    QTest::addColumn<QString>("expected");
    QTest::newRow("afternoon") << "/opt/odolink" << QDateTime(QDate(2025, 3, 5), QTime(14, 7, 9))
                               << "/opt/odolink/TrackGPS_20250305_14_07_09.log";
    QTest::newRow("folder with a trailing slash")
        << "/opt/odolink/" << QDateTime(QDate(2025, 3, 5), QTime(14, 7, 9))
        << "/opt/odolink/TrackGPS_20250305_14_07_09.log";
    QTest::newRow("started one second before midnight")
        << "/x" << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)) << "/x/TrackGPS_20251231_23_59_59.log";
}

void TestRunLog::fileName() {
    QFETCH(QString, dir);
    QFETCH(QDateTime, openDate);
    QFETCH(QString, expected);
    QCOMPARE(TRunLog::FileName(dir, openDate), expected);
}

void TestRunLog::fileContent() {
    QTemporaryDir dir;
    TRunLog log;
    log.Add(QStringLiteral("[23:59:59] Start Update Kilometri bord"));
    log.Add(QStringLiteral("[00:00:00] Eroare conectare la server oracle : ORA-1\r\r\rline two"));
    log.Add(QStringLiteral("[00:00:01] "));
    const QString path = dir.filePath(QStringLiteral("run.log"));
    log.WriteAndRelease(path);
    QCOMPARE(readAll(path),
             QByteArray("[23:59:59] Start Update Kilometri bord\r\n"
                        "[00:00:00] Eroare conectare la server oracle : ORA-1\r\r\rline two\r\n"
                        "[00:00:01] \r\n"));
    QVERIFY(log.Released());
}

void TestRunLog::overwritesAnEarlierFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.log"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("an earlier, longer run's log that must disappear entirely\r\n");
    f.close();
    TRunLog log;
    log.Add(QStringLiteral("second"));
    log.WriteAndRelease(path);
    QCOMPARE(readAll(path), QByteArray("second\r\n"));
}

void TestRunLog::noLineAfterRelease() {
    QTemporaryDir dir;
    TRunLog log;
    QVERIFY(log.Add(QStringLiteral("a")));
    log.WriteAndRelease(dir.filePath(QStringLiteral("run.log")));
    QVERIFY(!log.Add(QStringLiteral("late")));
    QVERIFY(log.Lines().isEmpty());
    log.WriteAndRelease(dir.filePath(QStringLiteral("run.log")));
    QCOMPARE(readAll(dir.filePath(QStringLiteral("run.log"))), QByteArray("a\r\n"));
}

void TestRunLog::unwritableFolderRaisesAndReleases() {
    TRunLog log;
    log.Add(QStringLiteral("a"));
    QVERIFY_THROWS_EXCEPTION(EZeltError, log.WriteAndRelease(QStringLiteral("/nonexistent-folder/run.log")));
    QVERIFY(log.Released());
}

void TestRunLog::fullDiskRaises() {
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full");
    TRunLog log;
    log.Add(QStringLiteral("a line that cannot reach the disk"));
    QVERIFY_THROWS_EXCEPTION(EZeltError, log.WriteAndRelease(QStringLiteral("/dev/full")));
}

QTEST_GUILESS_MAIN(TestRunLog)
#include "tst_runlog.moc"
