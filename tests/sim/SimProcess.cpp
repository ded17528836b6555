#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QDir>

#include <csignal>

SimProcess::~SimProcess() {
    if (FProcess.state() != QProcess::NotRunning)
        stop(SIGTERM);
}

QString SimProcess::executable() {
    return QDir(qEnvironmentVariable("ODOLINK_BIN_DIR")).filePath(QStringLiteral("trackgps-sim"));
}

bool SimProcess::start(const QStringList& arguments, QString* error) {
    FProcess.start(executable(), arguments);
    if (!FProcess.waitForStarted(10000)) {
        *error = FProcess.errorString();
        return false;
    }
    QByteArray out;
    const QDeadlineTimer deadline(30000);
    while (!out.contains('\n') && !deadline.hasExpired() && FProcess.state() == QProcess::Running) {
        FProcess.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        out += FProcess.readAllStandardOutput();
    }
    const QByteArray line = out.left(out.indexOf('\n'));
    if (!line.startsWith("LISTENING ")) {
        FProcess.waitForFinished(2000);
        *error = QStringLiteral("no LISTENING line (stdout \"%1\", stderr \"%2\")")
                     .arg(QString::fromUtf8(out), QString::fromUtf8(FProcess.readAllStandardError()));
        return false;
    }
    FUrl = QUrl(QString::fromUtf8(line.mid(10)));
    return true;
}

int SimProcess::stop(int signalNumber) {
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

QString SimProcess::standardError() {
    return QString::fromUtf8(FProcess.readAllStandardError());
}
