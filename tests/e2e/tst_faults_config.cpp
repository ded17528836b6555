#include "FleetDB.h"
#include "LogMessages.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString odolinkBinary() {
    return qEnvironmentVariable("ODOLINK_BIN_DIR") + QStringLiteral("/odolink");
}

enum class Shape { Text, Utf16Bom, Utf8Bom, Latin1, Garbage, Folder, Unreadable };

// The program copied alone into a folder with a fleet beside it, run as a real process.
struct Installation {
    QTemporaryDir Dir;
    QString Fleet = Dir.filePath(QStringLiteral("fleet"));
    QString ExeDir;
    int ExitCode = -1;
    bool Finished = false;
    QByteArray Stderr;

    explicit Installation(const QString& exeFolder = QStringLiteral("."))
        : ExeDir(QDir::cleanPath(Dir.filePath(exeFolder))) {
        QDir().mkpath(ExeDir);
        QFile::copy(odolinkBinary(), ExeDir + QStringLiteral("/odolink"));
        TFleetDescription d;
        d.Company = QStringLiteral("ACME");
        // One vehicle without a device: the pass runs but asks the service nothing.
        TFleetVehicle v;
        v.Key = 1;
        v.NrInreg = QStringLiteral("B-01-ABC");
        v.Readings = {{QStringLiteral("2025-03-04 10:00:00"), 1000}};
        d.Vehicles = {v};
        BuildFleetDatabase(Fleet, d);
    }

    QString IniText(const QString& company, const QString& eol) const {
        return QStringList{
            QStringLiteral("[Configurari]"),
            QStringLiteral("DriverID=SQLite"),
            QStringLiteral("OraDbName=") + Fleet,
            QStringLiteral("NumeFirma=") + company,
            QStringLiteral("TrackGPSUser=u"),
            QStringLiteral("TrackGPSParola=p"),
            QStringLiteral("TrackGPSUrl=http://127.0.0.1:9/TrackGPS.WCFService/TrackGPSWs.svc"),
            {}}
            .join(eol);
    }

    QString IniPath() const { return ExeDir + QStringLiteral("/Odolink.ini"); }

    void WriteIni(const QByteArray& bytes) const {
        QFile f(IniPath());
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

    // Unattended, as a scheduler starts it: no display, so no dialog waits for anybody.
    bool Run(bool asOrdinaryUser = false, int timeoutMs = 15000) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("HOME"), Dir.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QDir::tempPath());
        if (asOrdinaryUser)
            Unprivileged::RunAs(p); // the folder must have been handed over
        p.start(ExeDir + QStringLiteral("/odolink"), {});
        Finished = p.waitForFinished(timeoutMs);
        if (!Finished) {
            p.kill();
            p.waitForFinished();
            return false;
        }
        ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        Stderr = p.readAllStandardError();
        return true;
    }

    // The single log file's path; empty when there is none or more than one.
    QString LogPath() const {
        const QStringList logs = QDir(ExeDir).entryList({QStringLiteral("TrackGPS_*.log")}, QDir::Files);
        return logs.size() == 1 ? ExeDir + u'/' + logs.first() : QString();
    }

    // The log's messages, time stamps removed; empty when there is no single log file.
    QStringList Messages() const {
        const QString log = LogPath();
        return log.isEmpty() ? QStringList() : LogMessages(log);
    }
};

} // namespace

class TestFaultsConfig final : public QObject {
    Q_OBJECT
private slots:
    void oddConfigurationFiles_data();
    void oddConfigurationFiles();
    void unreadableConfiguration();
    void logFolderNotWritable();
    void connectionErrorWithLineBreaks();
};

void TestFaultsConfig::oddConfigurationFiles_data() {
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<QString>("eol");
    QTest::addColumn<QString>("company");
    QTest::addColumn<int>("padding"); // bytes of comment lines after the keys
    QTest::addColumn<QStringList>("expectedStart");
    const QStringList passes{QStringLiteral("Conectat la Oracle ")};
    const QStringList noCompany{QStringLiteral("Nu ai setat in configurari parametrul NumeFirma"),
                                QStringLiteral("Eroare la conectare la Oracle ")};
    QTest::newRow("UTF-16 with BOM") << Shape::Utf16Bom << "\r\n"
                                     << "ACME" << 0 << passes;
    QTest::newRow("UTF-8 with BOM") << Shape::Utf8Bom << "\r\n"
                                    << "ACME" << 0 << passes;
    QTest::newRow("CRLF line ends") << Shape::Text << "\r\n"
                                    << "ACME" << 0 << passes;
    QTest::newRow("LF line ends") << Shape::Text << "\n"
                                  << "ACME" << 0 << passes;
    QTest::newRow("10 MiB file") << Shape::Text << "\n"
                                 << "ACME" << 10 * 1024 * 1024 << passes;
    QTest::newRow("Latin-1 letters name a missing company")
        << Shape::Latin1 << "\r\n"
        << QStringLiteral("CAF\u00C9") << 0
        << QStringList{QStringLiteral("Conectat la Oracle "),
                       QStringLiteral("Nu ma pot conecta la firma : CAF\u00C9"),
                       QStringLiteral("Eroare la conectare la Oracle ")};
    QTest::newRow("binary garbage") << Shape::Garbage << ""
                                    << "" << 0 << noCompany;
    QTest::newRow("a folder named Odolink.ini") << Shape::Folder << ""
                                                << "" << 0 << noCompany;
}

void TestFaultsConfig::oddConfigurationFiles() {
    QFETCH(Shape, shape);
    QFETCH(QString, eol);
    QFETCH(QString, company);
    QFETCH(int, padding);
    QFETCH(QStringList, expectedStart);
    Installation inst;
    QString text = inst.IniText(company, eol);
    if (padding > 0) {
        const QString comment = QStringLiteral("; ") + QString(76, u'x') + eol;
        QString pad;
        pad.reserve(padding + comment.size());
        while (pad.size() < padding)
            pad += comment;
        text += pad;
    }
    switch (shape) {
    case Shape::Text:
        inst.WriteIni(text.toUtf8());
        break;
    case Shape::Utf16Bom: {
        auto enc = QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        inst.WriteIni(QByteArray(enc(text)));
        break;
    }
    case Shape::Utf8Bom:
        inst.WriteIni("\xEF\xBB\xBF" + text.toUtf8());
        break;
    case Shape::Latin1:
        inst.WriteIni(text.toLatin1());
        break;
    case Shape::Garbage: {
        QByteArray junk;
        for (int i = 0; i < 65536; ++i)
            junk.append(char((i * 2654435761u) >> 13));
        inst.WriteIni(junk);
        break;
    }
    case Shape::Folder:
        QVERIFY(QDir(inst.Dir.path()).mkdir(QStringLiteral("Odolink.ini")));
        break;
    case Shape::Unreadable:
        break;
    }
    QVERIFY2(inst.Run(), "the program did not end");
    QCOMPARE(inst.ExitCode, 0);
    const QStringList m = inst.Messages();
    QCOMPARE(m.mid(0, expectedStart.size()), expectedStart);
    if (expectedStart == QStringList{QStringLiteral("Conectat la Oracle ")})
        QCOMPARE(m.mid(1), (QStringList{QStringLiteral("Conectat la firma : ACME/") + inst.Fleet,
                                        QStringLiteral("Start Update Kilometri bord"),
                                        QStringLiteral("0  autovehicole de actualizat "),
                                        QStringLiteral("Final Update Kilometri bord")}));
}

void TestFaultsConfig::unreadableConfiguration() {
    Installation inst;
    if (!Unprivileged::Available(inst.Dir.path()))
        QSKIP("running as root, and no ordinary user to run the program as can reach the test folder");
    inst.WriteIni(inst.IniText(QStringLiteral("ACME"), QStringLiteral("\r\n")).toUtf8());
    QVERIFY(Unprivileged::HandOver(inst.Dir.path()));
    QVERIFY(QFile::setPermissions(inst.IniPath(), QFileDevice::Permissions()));
    // An unexpected error; unattended, its dialog answers itself and the window closes.
    QVERIFY2(inst.Run(true), "the program did not end");
    QCOMPARE(inst.ExitCode, 0);
    const QStringList m = inst.Messages();
    QCOMPARE(m.size(), 1);
    QVERIFY2(m.first().contains(QStringLiteral("Cannot open file \"") + inst.IniPath() + u'"'),
             qPrintable(m.first()));
}

void TestFaultsConfig::logFolderNotWritable() {
    Installation inst;
    if (!Unprivileged::Available(inst.Dir.path()))
        QSKIP("running as root, and no ordinary user to run the program as can reach the test folder");
    inst.WriteIni(inst.IniText(QStringLiteral("ACME"), QStringLiteral("\r\n")).toUtf8());
    QVERIFY(Unprivileged::HandOver(inst.Dir.path()));
    QVERIFY(QFile::setPermissions(inst.ExeDir, QFile::ReadOwner | QFile::ExeOwner));
    const bool ended = inst.Run(true);
    QFile::setPermissions(inst.ExeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The log cannot be written: the error is told on the standard error stream, the program ends.
    QVERIFY2(ended, "the program did not end");
    QCOMPARE(inst.ExitCode, 0);
    QVERIFY(inst.LogPath().isEmpty());
    QVERIFY2(inst.Stderr.contains(QFile::encodeName(inst.ExeDir + QStringLiteral("/TrackGPS_"))),
             inst.Stderr.constData());
}

void TestFaultsConfig::connectionErrorWithLineBreaks() {
    // A relative fleet folder is found beside the executable, whose folder name has a CR LF in it:
    // the connection error quotes it.
    Installation inst(QStringLiteral("odo\r\nlink"));
    QString ini = inst.IniText(QStringLiteral("ACME"), QStringLiteral("\r\n"));
    ini.replace(QStringLiteral("OraDbName=") + inst.Fleet, QStringLiteral("OraDbName=nofleet"));
    inst.WriteIni(ini.toUtf8());
    QVERIFY2(inst.Run(), "the program did not end");
    QCOMPARE(inst.ExitCode, 0);
    QFile log(inst.LogPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    // Each line feed of the error became two carriage returns, so the entry stays one line.
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].contains("] Eroare conectare la server oracle : unable to open database: folder \""),
             lines[0].constData());
    QVERIFY2(lines[0].endsWith("/odo\r\r\rlink/nofleet\" does not exist\r"), lines[0].constData());
    QVERIFY2(lines[1].endsWith("] Eroare la conectare la Oracle \r"), lines[1].constData());
    QCOMPARE(lines[2], QByteArray());
}

QTEST_GUILESS_MAIN(TestFaultsConfig)
#include "tst_faults_config.moc"
