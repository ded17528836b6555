#include "PassRun.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

const QDateTime kNow = QDateTime::currentDateTime();

// The real program copied alone into a folder with its configuration, run without a display.
struct UnattendedRun {
    QTemporaryDir dir;
    QString fleet = dir.filePath(QStringLiteral("fleet"));
    QByteArray stdErr;
    int exitCode = -1;

    bool run(const QString& url) {
        const QString exe = dir.filePath(QStringLiteral("odolink"));
        QFile::copy(qEnvironmentVariable("ODOLINK_BIN_DIR") + QStringLiteral("/odolink"), exe);
        QFile ini(dir.filePath(QStringLiteral("Odolink.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        ini.write(QStringLiteral("[Configurari]\r\nDriverID=SQLite\r\nOraDbName=fleet\r\nNumeFirma=ACME\r\n"
                                 "TrackGPSUser=u\r\nTrackGPSParola=p\r\nTrackGPSUrl=%1\r\n")
                      .arg(url)
                      .toUtf8());
        ini.close();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(v));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(exe, {});
        if (!p.waitForFinished(60000))
            return false;
        stdErr = p.readAllStandardError();
        exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return true;
    }

    QString log() const {
        const QStringList logs = QDir(dir.path()).entryList({QStringLiteral("TrackGPS_*.log")}, QDir::Files);
        QFile f(dir.filePath(logs.value(0)));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<no log>");
    }
};

} // namespace

class TestUnattended final : public QObject {
    Q_OBJECT
private slots:
    // An error that would leave the window open for a person closes it instead, and says why.
    void unexpectedErrorClosesTheWindow() {
        SimProcess sim;
        QVERIFY2(sim.Start(DefaultSimData()), qPrintable(sim.Error()));
        UnattendedRun run;
        TFleetDescription d;
        d.Company = QStringLiteral("ACME");
        d.Vehicles << PassRun::Vehicle(1, QStringLiteral("B-01-ABC"), QStringLiteral("111"),
                                       {{PassRun::DateText(kNow.addDays(-1)), 1000}});
        BuildFleetDatabase(run.fleet, d);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
            db.setDatabaseName(run.fleet + QStringLiteral("/ACME.sqlite"));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TRIGGER no_more BEFORE INSERT ON NPARC0 BEGIN "
                                                      "SELECT RAISE(ABORT, 'reading rejected'); END")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture"));

        QVERIFY(run.run(sim.Url()));
        QCOMPARE(run.exitCode, 0);
        const QString log = run.log();
        QVERIFY2(log.contains(QStringLiteral("] Final Update Kilometri bord\r\n")), qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("] Eroare : reading rejected\r\n")), qPrintable(log));
        QVERIFY(run.stdErr.contains("reading rejected"));
    }
};

QTEST_GUILESS_MAIN(TestUnattended)
#include "tst_unattended.moc"
