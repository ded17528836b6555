#include "AppTestMain.h"
#include "MainTrackGPS.h"
#include "ManualClock.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QDateTime kStart(QDate(2025, 3, 5), QTime(14, 7, 9));

struct Run {
    QTemporaryDir dir;
    ManualClock clock{kStart};
    std::unique_ptr<TDEzeriRAZ> window;

    explicit Run(const QByteArray* ini) {
        if (ini) {
            QFile f(dir.filePath(QStringLiteral("Odolink.ini")));
            if (f.open(QIODevice::WriteOnly))
                f.write(*ini);
        }
        window = std::make_unique<TDEzeriRAZ>(TDEzeriRAZContext{&clock, dir.path(), {}});
    }

    bool runJob() {
        QSignalSpy finished(window.get(), &TDEzeriRAZ::jobFinished);
        window->show();
        return finished.wait(5000);
    }

    QStringList logFileLines() const {
        QFile f(window->LogFileName());
        if (!f.open(QIODevice::ReadOnly))
            return {QStringLiteral("<no log file>")};
        QString text = QString::fromUtf8(f.readAll());
        if (!text.endsWith(QStringLiteral("\r\n")))
            return {QStringLiteral("<not CRLF-terminated>")};
        text.chop(2);
        return text.split(QStringLiteral("\r\n"));
    }
};

QStringList stamped(const QStringList& messages) {
    QStringList out;
    for (const QString& m : messages)
        out << QStringLiteral("[14:07:09] ") + m;
    return out;
}

} // namespace

class TestMainWindow final : public QObject {
    Q_OBJECT
private slots:
    void jobWithConfiguration_data();
    void jobWithConfiguration();
    void memoHoldsTheLogLines();
    void serviceCredentialLines_data();
    void serviceCredentialLines();
    void waitEndsOnTheClocksWholeSeconds_data();
    void waitEndsOnTheClocksWholeSeconds();
    void stopEndsTheWaitAtOnce();
    void zeroWaitStillProcessesEvents();
    void closeFromOutsideWritesTheLogAndStops();
    void closeBeforeTheJobStartsPreventsIt();
};

void TestMainWindow::jobWithConfiguration_data() {
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("expected");

    const QString noCompany = QStringLiteral("Nu ai setat in configurari parametrul NumeFirma");
    const QString noDb = QStringLiteral("Nu ai setat in configurari parametrul OraDBName");
    const QString failed = QStringLiteral("Eroare la conectare la Oracle ");
    QTest::newRow("no file: default database, no company")
        << false << QByteArray() << QStringList{noCompany, failed};
    QTest::newRow("database name present and empty")
        << true << QByteArray("[Configurari]\nOraDbName=\nNumeFirma=ACME\n") << QStringList{noDb, failed};
    QTest::newRow("both empty: only the database line")
        << true << QByteArray("[Configurari]\nOraDbName=\nNumeFirma=\n") << QStringList{noDb, failed};
    QTest::newRow("company commented out")
        << true << QByteArray("[Configurari]\nOraDbName=ZeltDB2\n;NumeFirma=ACME\n")
        << QStringList{noCompany, failed};
    QTest::newRow("keys in another section")
        << true << QByteArray("[Other]\nNumeFirma=ACME\n") << QStringList{noCompany, failed};
}

void TestMainWindow::jobWithConfiguration() {
    QFETCH(bool, hasFile);
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, expected);
    Run run(hasFile ? &ini : nullptr);
    QVERIFY(run.runJob());
    QVERIFY(!run.window->isVisible());
    QVERIFY(run.window->LogFile().Released());
    QCOMPARE(run.logFileLines(), stamped(expected));
    QCOMPARE(QFileInfo(run.window->LogFileName()).fileName(),
             QStringLiteral("TrackGPS_20250305_14_07_09.log"));
}

void TestMainWindow::memoHoldsTheLogLines() {
    Run run(nullptr);
    QVERIFY(run.runJob());
    QCOMPARE(run.window->Memo1->toPlainText().split(u'\n'), run.logFileLines());
}

void TestMainWindow::serviceCredentialLines_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("expected");
    const QString noUser = QStringLiteral("Nu ai setat in configurari parametrul \"TrackGPSUser\" ");
    const QString noPass = QStringLiteral("Nu ai setat in configurari parametrul \"TrackGPSParola\" ");
    QTest::newRow("both missing: user first") << ""
                                              << "" << false << QStringList{noUser, noPass};
    QTest::newRow("user missing") << ""
                                  << "p" << false << QStringList{noUser};
    QTest::newRow("password missing") << "u"
                                      << "" << false << QStringList{noPass};
    QTest::newRow("both set") << "u"
                              << "p" << true << QStringList{};
}

void TestMainWindow::serviceCredentialLines() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, ok);
    QFETCH(QStringList, expected);
    Run run(nullptr);
    run.window->Timer1->stop();
    run.window->TrackGPSUser = user;
    run.window->TrackGPSParola = password;
    QCOMPARE(run.window->ParametriConectareSOAP_OK(), ok);
    QCOMPARE(run.window->LogFile().Lines(), stamped(expected));
}

void TestMainWindow::waitEndsOnTheClocksWholeSeconds_data() {
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QDateTime>("end");
    QTest::newRow("32 s across midnight") << QDateTime(QDate(2025, 3, 5), QTime(23, 59, 50)) << 32
                                          << QDateTime(QDate(2025, 3, 6), QTime(0, 0, 22));
    // Milliseconds are dropped: a wait of n seconds lasts between n - 1 and n seconds.
    QTest::newRow("started late in a second") << QDateTime(QDate(2025, 3, 5), QTime(10, 0, 0, 900)) << 2
                                              << QDateTime(QDate(2025, 3, 5), QTime(10, 0, 2));
    QTest::newRow("zero") << QDateTime(QDate(2025, 3, 5), QTime(10, 0, 0, 500)) << 0
                          << QDateTime(QDate(2025, 3, 5), QTime(10, 0, 0, 500));
}

void TestMainWindow::waitEndsOnTheClocksWholeSeconds() {
    QFETCH(QDateTime, start);
    QFETCH(int, seconds);
    QFETCH(QDateTime, end);
    Run run(nullptr);
    run.window->Timer1->stop();
    run.clock.setNow(start);
    run.clock.setAutoAdvance(true);
    run.window->FaNani(seconds);
    QCOMPARE(run.clock.now(), end);
}

void TestMainWindow::stopEndsTheWaitAtOnce() {
    Run run(nullptr);
    run.window->Timer1->stop();
    // The clock never moves: only the stop request can end this wait.
    QTimer::singleShot(50, run.window.get(), [&] { run.window->StopFortat = true; });
    run.window->FaNani(32);
    QCOMPARE(run.clock.now(), kStart);
    QVERIFY(run.window->StopFortat);
}

void TestMainWindow::zeroWaitStillProcessesEvents() {
    Run run(nullptr);
    run.window->Timer1->stop();
    bool ran = false;
    QMetaObject::invokeMethod(
        run.window.get(), [&] { ran = true; }, Qt::QueuedConnection);
    run.window->FaNani(0);
    QVERIFY(ran);
}

void TestMainWindow::closeFromOutsideWritesTheLogAndStops() {
    Run run(nullptr);
    run.window->Timer1->stop();
    run.window->show();
    run.window->LogFileAdd(QStringLiteral("before the close"));
    // A close request from outside arrives while the job waits between two vehicles.
    QTimer::singleShot(20, run.window.get(), [&] { run.window->close(); });
    run.window->FaNani(32);
    QCOMPARE(run.clock.now(), kStart);
    QVERIFY(run.window->StopFortat);
    QVERIFY(!run.window->isVisible());
    run.window->LogFileAdd(QStringLiteral("a line after the close"));
    QCOMPARE(run.logFileLines(), QStringList{QStringLiteral("before the close")});
}

void TestMainWindow::closeBeforeTheJobStartsPreventsIt() {
    Run run(nullptr);
    QSignalSpy finished(run.window.get(), &TDEzeriRAZ::jobFinished);
    run.window->show();
    run.window->close();
    QVERIFY(!finished.wait(1500));
    QVERIFY(QFile::exists(run.window->LogFileName()));
}

ODOLINK_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
