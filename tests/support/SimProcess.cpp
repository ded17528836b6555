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
    FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    FProcess.start(Binary(), QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                         QStringLiteral("--data"), data, QStringLiteral("--journal"),
                                         FDir.filePath(QStringLiteral("journal.jsonl"))} +
                                 extraArgs);
    if (!FProcess.waitForStarted(5000)) {
        FError = FProcess.errorString();
        return false;
    }
    const QDeadlineTimer deadline(10000);
    QByteArray out;
    while (!deadline.hasExpired()) {
        if (!FProcess.waitForReadyRead(int(deadline.remainingTime())))
            break;
        out += FProcess.readAllStandardOutput();
        const qsizetype at = out.indexOf("LISTENING ");
        const qsizetype end = out.indexOf('\n', at);
        if (at >= 0 && end > at) {
            FUrl = QString::fromUtf8(out.mid(at + 10, end - at - 10)).trimmed();
            return true;
        }
    }
    FError = QStringLiteral("no LISTENING line; got: ") + QString::fromUtf8(out);
    return false;
}

void SimProcess::Stop() {
    if (FProcess.state() == QProcess::NotRunning)
        return;
    FProcess.terminate();
    if (!FProcess.waitForFinished(5000)) {
        FProcess.kill();
        FProcess.waitForFinished(2000);
    }
}

QList<QJsonObject> SimProcess::Journal() const {
    QList<QJsonObject> lines;
    QFile f(FDir.filePath(QStringLiteral("journal.jsonl")));
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
