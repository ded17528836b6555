#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString odolinkBinary() {
    return qEnvironmentVariable("ODOLINK_BIN_DIR") + QStringLiteral("/odolink");
}

// Copies the program alone into an empty folder, optionally with an Odolink.ini, and runs it.
struct LoneCopy {
    QTemporaryDir dir;
    int exitCode = -1;

    explicit LoneCopy(const QByteArray* ini) {
        QFile::copy(odolinkBinary(), dir.filePath(QStringLiteral("odolink")));
        if (ini) {
            QFile f(dir.filePath(QStringLiteral("Odolink.ini")));
            if (f.open(QIODevice::WriteOnly))
                f.write(*ini);
        }
    }

    bool run() {
        QProcess p;
        p.setWorkingDirectory(QDir::tempPath());
        p.start(dir.filePath(QStringLiteral("odolink")), {});
        if (!p.waitForFinished(20000))
            return false;
        exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return true;
    }

    QByteArray log() const {
        const QStringList logs = QDir(dir.path()).entryList({QStringLiteral("TrackGPS_*.log")}, QDir::Files);
        if (logs.size() != 1)
            return "<" + QByteArray::number(logs.size()) + " log files>";
        QFile f(dir.filePath(logs.first()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
};

// "[hh:nn:ss] " removed from every line, CRLF kept.
QByteArray withoutTimes(QByteArray log) {
    static const QRegularExpression stamp(QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\] "),
                                          QRegularExpression::MultilineOption);
    return QString::fromUtf8(log).remove(stamp).toUtf8();
}

} // namespace

class TestOdolinkBinary final : public QObject {
    Q_OBJECT
private slots:
    void runsAloneAndWritesItsLog_data();
    void runsAloneAndWritesItsLog();
};

void TestOdolinkBinary::runsAloneAndWritesItsLog_data() {
    QTest::addColumn<bool>("hasIni");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no ini") << false << QByteArray()
                            << QByteArray("Nu ai setat in configurari parametrul NumeFirma\r\n"
                                          "Eroare la conectare la Oracle \r\n");
    QTest::newRow("empty database name") << true << QByteArray("[Configurari]\r\nOraDbName=\r\n")
                                         << QByteArray("Nu ai setat in configurari parametrul OraDBName\r\n"
                                                       "Eroare la conectare la Oracle \r\n");
}

void TestOdolinkBinary::runsAloneAndWritesItsLog() {
    QFETCH(bool, hasIni);
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, expected);
    LoneCopy copy(hasIni ? &ini : nullptr);
    QVERIFY(copy.run());
    QCOMPARE(copy.exitCode, 0);
    QCOMPARE(withoutTimes(copy.log()), expected);
}

QTEST_GUILESS_MAIN(TestOdolinkBinary)
#include "tst_odolinkbinary.moc"
