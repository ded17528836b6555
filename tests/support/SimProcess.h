#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A running trackgps-sim for a test: started on 127.0.0.1 with a port of its choosing, a data file
// and a journal; stopped (SIGTERM) when the object goes.
class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Writes `dataJson` to a file and starts the simulator with it plus `extraArgs`. False (and
    // Error() says why) when it does not report where it listens within a few seconds.
    bool Start(const QByteArray& dataJson, const QStringList& extraArgs = {});
    void Stop();

    const QString& Url() const { return FUrl; }
    const QString& Error() const { return FError; }
    // The requests answered so far, one object per request.
    QList<QJsonObject> Journal() const;
    // The operations of the journal, in order.
    QStringList Operations() const;

    static QString Binary();

private:
    QTemporaryDir FDir;
    QProcess FProcess;
    QString FUrl;
    QString FError;
};
