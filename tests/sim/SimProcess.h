#pragma once

#include <QProcess>
#include <QStringList>
#include <QUrl>

// A trackgps-sim started for one test: waits for its LISTENING line and stops it with SIGTERM.
class SimProcess {
public:
    SimProcess() = default;
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();

    // False (with the process's stderr in `error`) when it ends or stays silent instead.
    bool start(const QStringList& arguments, QString* error);
    QUrl url() const { return FUrl; }
    // Sends `signalNumber` and waits; the exit code, or -1 when it crashed or hung.
    int stop(int signalNumber);
    QString standardError();
    static QString executable();

private:
    QProcess FProcess;
    QUrl FUrl;
};
