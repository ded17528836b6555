#pragma once

#include "FleetDB.h"
#include "MainTrackGPS.h"
#include "ManualClock.h"
#include "SimProcess.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// One stored reading, as a test compares it.
struct Reading {
    qint64 Key = 0;
    qint64 Vehicle = 0;
    QString Date; // "YYYY-MM-DD HH:MM:SS", empty for none
    QVariant Km;
    QVariant An;
    QVariant Luna;
};

// A whole run of the job in this process: a fleet folder, the configuration beside a stand-in
// executable folder, the window on a hand-driven clock that skips through the pacing waits.
class PassRun {
public:
    explicit PassRun(const QDateTime& now);
    ~PassRun();

    QTemporaryDir Dir;
    ManualClock Clock;
    std::unique_ptr<TDEzeriRAZ> Window;
    QString FleetFolder;

    // Builds the fleet and writes Odolink.ini for it and the given service address.
    void Prepare(const TFleetDescription& fleet, const QString& url, const QStringList& extraIni = {});
    // Shows the window and waits until the job has finished (the window may stay open).
    bool Run(int timeoutMs = 60000);

    // The log's messages without their time stamps (from the file once written, else the live list).
    QStringList Messages() const;
    QList<Reading> Readings(qint64 vehicle = 0) const;
    // Runs a statement on the fleet file outside the program (to add triggers and the like).
    void Sql(const QString& statement) const;

    static TFleetVehicle Vehicle(qint64 key, const QString& nrInreg, const std::optional<QString>& imei,
                                 const QList<TFleetReading>& readings);
    static QString DateText(const QDateTime& t) { return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }
};

// The simulator's data every test starts from: one account and a few devices.
QByteArray DefaultSimData();
