#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>

SimProcess::~SimProcess() {
    Stop();
}

QString SimProcess::Binary() {
    return qEnvironmentVariable("ODOLINK_BIN_DIR") + QStringLiteral("/trackgps-sim");
}

bool SimProcess::Start(const QByteArray& dataJson, const QStringList& extraArgs) {
    const QString data = FDir.filePath(QStringLiteral("data.json"));
    QFile f(data);
    if (!f.open(QIODevice::WriteOnly) || f.write(dataJson) != dataJson.size()) {
        FError = QStringLiteral("cannot write the data file");
        return false;
    }
    f.close();
    return StartWith(QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                 QStringLiteral("--data"), data, QStringLiteral("--journal"),
                                 FDir.filePath(QStringLiteral("journal.jsonl"))} +
                     extraArgs);
}

bool SimProcess::StartWith(const QStringList& arguments) {
    FProcess.start(Binary(), arguments);
    if (!FProcess.waitForStarted(10000)) {
        FError = FProcess.errorString();
        return false;
    }
    const QDeadlineTimer deadline(30000);
    QByteArray out;
    while (!out.contains('\n') && !deadline.hasExpired() && FProcess.state() == QProcess::Running) {
        FProcess.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        out += FProcess.readAllStandardOutput();
    }
    const QByteArray line = out.left(out.indexOf('\n')).trimmed();
    if (!line.startsWith("LISTENING ")) {
        FProcess.waitForFinished(2000);
        FError = QStringLiteral("no LISTENING line (stdout \"%1\", stderr \"%2\")")
                     .arg(QString::fromUtf8(out), StandardError());
        return false;
    }
    FUrl = QString::fromUtf8(line.mid(10));
    return true;
}

int SimProcess::Stop(int signalNumber) {
    if (FProcess.state() == QProcess::NotRunning)
        return FProcess.exitStatus() == QProcess::NormalExit ? FProcess.exitCode() : -1;
    ::kill(pid_t(FProcess.processId()), signalNumber);
    if (!FProcess.waitForFinished(15000)) {
        FProcess.kill();
        FProcess.waitForFinished(5000);
        return -1;
    }
    return FProcess.exitStatus() == QProcess::NormalExit ? FProcess.exitCode() : -1;
}

QString SimProcess::StandardError() {
    return QString::fromUtf8(FProcess.readAllStandardError());
}

QList<QJsonObject> SimProcess::Journal() const {
    return ReadJournal(FDir.filePath(QStringLiteral("journal.jsonl")));
}

QList<QJsonObject> SimProcess::ReadJournal(const QString& path) {
    QList<QJsonObject> lines;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            lines.append(QJsonDocument::fromJson(line).object());
    return lines;
}

QStringList SimProcess::Operations() const {
    QStringList ops;
    for (const QJsonObject& o : Journal())
        ops << o.value(QStringLiteral("operation")).toString();
    return ops;
}
