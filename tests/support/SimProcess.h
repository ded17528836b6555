#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

// A running trackgps-sim for a test: started with a port of its choosing, stopped (SIGTERM by
// default) when the object goes.
class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Writes `dataJson` to a file and starts the simulator on 127.0.0.1 with it, a journal and
    // `extraArgs`.
    bool Start(const QByteArray& dataJson, const QStringList& extraArgs = {});
    // Starts it with exactly these arguments. Both starts are false, and Error() says why (with what
    // the simulator wrote on its error stream), when it does not report where it listens.
    bool StartWith(const QStringList& arguments);
    // Sends the signal and waits: the exit code, or -1 when it crashed or hung.
    int Stop(int signalNumber = SIGTERM);

    const QString& Url() const { return FUrl; }
    const QString& Error() const { return FError; }
    QString StandardError();
    // The requests answered so far, one object per request (the journal of Start).
    QList<QJsonObject> Journal() const;
    // The operations of the journal, in order.
    QStringList Operations() const;

    static QString Binary();
    // A journal file the simulator wrote, one object per line.
    static QList<QJsonObject> ReadJournal(const QString& path);

private:
    QTemporaryDir FDir;
    QProcess FProcess;
    QString FUrl;
    QString FError;
};
