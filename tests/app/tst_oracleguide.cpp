// The Oracle guide quotes the run log of failed connections; these runs of the real program produce
// those lines on this machine and check that the guide still quotes them word for word.
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sourceFile(const QString& relative) {
    return qEnvironmentVariable("ODOLINK_SOURCE_DIR") + u'/' + relative;
}

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The program alone in an empty folder, with its ini and an ODBC configuration of its own (empty
// odbc.ini and odbcinst.ini), so the machine's data sources play no part.
class OracleRun {
public:
    OracleRun(const QString& oraDbName, bool noPlugins) {
        const QString bin = dir.filePath(QStringLiteral("odolink"));
        QFile::copy(qEnvironmentVariable("ODOLINK_BIN_DIR") + QStringLiteral("/odolink"), bin);
        write(QStringLiteral("Odolink.ini"),
              "[Configurari]\r\nDriverID=Ora\r\nOraDbName=" + oraDbName.toUtf8() + "\r\nNumeFirma=ACME\r\n");
        QDir(dir.path()).mkdir(QStringLiteral("odbc"));
        write(QStringLiteral("odbc/odbc.ini"), {});
        write(QStringLiteral("odbc/odbcinst.ini"), {});
        if (noPlugins) {
            // Qt then finds no SQL driver at all; the display plugin is pointed at directly.
            QDir(dir.path()).mkdir(QStringLiteral("plugins"));
            write(QStringLiteral("qt.conf"),
                  "[Paths]\nPlugins=" + dir.filePath(QStringLiteral("plugins")).toUtf8() + "\n");
            env.insert(QStringLiteral("QT_QPA_PLATFORM_PLUGIN_PATH"),
                       QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ODBCSYSINI"), dir.filePath(QStringLiteral("odbc")));
        env.insert(QStringLiteral("ODBCINI"), dir.filePath(QStringLiteral("odbc/odbc.ini")));
        env.insert(QStringLiteral("HOME"), dir.path());
    }

    // The log's messages, time stamps removed; empty when the run failed.
    QStringList run() {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(dir.filePath(QStringLiteral("odolink")), {});
        if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return {};
        const QStringList logs = QDir(dir.path()).entryList({QStringLiteral("TrackGPS_*.log")}, QDir::Files);
        if (logs.size() != 1)
            return {};
        QStringList lines = readText(dir.filePath(logs.first())).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        static const QRegularExpression stamp(QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\] "));
        for (QString& line : lines)
            line.remove(stamp);
        return lines;
    }

private:
    void write(const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
    }

    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

const QString kOdbcHint =
    QStringLiteral(": install Oracle's ODBC driver for unixODBC and define the data source, or "
                   "install the Qt OCI driver plugin)");

} // namespace

class TestOracleGuide final : public QObject {
    Q_OBJECT
private slots:
    void failedConnectionIsLoggedAsTheGuideSays_data();
    void failedConnectionIsLoggedAsTheGuideSays();
};

void TestOracleGuide::failedConnectionIsLoggedAsTheGuideSays_data() {
    QTest::addColumn<QString>("oraDbName");
    QTest::addColumn<bool>("noPlugins");
    QTest::addColumn<QString>("errorLine");

    QTest::newRow("no Oracle driver at all")
        << QStringLiteral("ORCL") << true
        << QStringLiteral("Eroare conectare la server oracle : Cannot connect to Oracle: no Oracle driver is "
                          "installed. Install the Qt OCI driver plugin (QOCI, built with the Oracle Instant "
                          "Client), or the Qt ODBC driver (libqt6sql6-odbc) with unixODBC and Oracle's ODBC "
                          "driver (Instant Client ODBC) registered in odbcinst.ini");
    QTest::newRow("unknown data source name")
        << QStringLiteral("ORCL") << false
        << QStringLiteral(
               "Eroare conectare la server oracle : Data source name not found and no default driver "
               "specified (DataBase \"ORCL\"") +
               kOdbcHint;
    QTest::newRow("connection string naming an unregistered driver")
        << QStringLiteral("Driver={Oracle 21 ODBC driver};Dbq=ORCL") << false
        << QStringLiteral(
               "Eroare conectare la server oracle : Can't open lib 'Oracle 21 ODBC driver' : file not "
               "found (DataBase \"Driver={Oracle 21 ODBC driver};Dbq=ORCL\"") +
               kOdbcHint;
}

void TestOracleGuide::failedConnectionIsLoggedAsTheGuideSays() {
    QFETCH(QString, oraDbName);
    QFETCH(bool, noPlugins);
    QFETCH(QString, errorLine);

    OracleRun run(oraDbName, noPlugins);
    const QStringList expected{errorLine, QStringLiteral("Eroare la conectare la Oracle ")};
    QCOMPARE(run.run(), expected);

    const QString guide = readText(sourceFile(QStringLiteral("docs/oracle.md")));
    QVERIFY2(guide.contains(QStringLiteral("] ") + errorLine + u'\n'),
             "docs/oracle.md no longer quotes this line");
    QVERIFY(guide.contains(QStringLiteral("] Eroare la conectare la Oracle \n")));
}

QTEST_GUILESS_MAIN(TestOracleGuide)
#include "tst_oracleguide.moc"
