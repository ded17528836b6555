#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>

// Builds an embedded database folder with a company's fleet tables, as the job finds them in the
// company schema: NPARCAUT (vehicles), NPARC0 (odometer readings, indexed on CODNPARCAUT, DATABORD),
// TMP_NARTOBJ (present only to prove the schema) and the sequence SEQ_NPARC0_CODNPARC0, whose
// LAST_NUMBER is the highest reading key, so that NEXTVAL gives the next free one.
// Everything goes into <folder>/<company>.sqlite. Errors raise EZeltError.

struct TFleetReading {
    std::optional<QString> Date; // "YYYY-MM-DD HH:MM:SS" local time; none is NULL
    std::optional<qint64> Km;    // none is NULL
};

struct TFleetVehicle {
    qint64 Key = 0;
    QString NrInreg;
    std::optional<QString> Imei; // CODEXTERN; none is NULL
    QList<TFleetReading> Readings;
};

struct TFleetOptions {
    bool WithNparc0 = true;
    bool WithTmpNartObj = true;
    // Replace an existing schema file instead of refusing.
    bool Overwrite = false;
};

struct TFleetDescription {
    QString Company;
    QList<TFleetVehicle> Vehicles;
    TFleetOptions Options;
};

// The JSON form:
// {"company": "ACME",
//  "omit": ["TMP_NARTOBJ", "NPARC0"],                       (optional)
//  "vehicles": [{"key": 17, "nrinreg": "B-01-ABC", "imei": "356..." or null (or left out),
//                "readings": [{"date": "2025-03-05 14:07:00" or null, "km": 1000 or null}]}]}
// Dates may also be "YYYY-MM-DD HH:MM", "YYYY-MM-DD" or use a "T" between date and time.
TFleetDescription FleetFromJson(const QByteArray& json);

// "YYYY-MM-DD HH:MM:SS" for the accepted date forms; raises EZeltError for another text.
QString FleetDateText(const QString& text);

// Writes one company's schema file row by row, for fleets too large to describe in memory.
class TFleetDBWriter {
public:
    // Creates the folder if needed, and the schema file with its tables.
    TFleetDBWriter(const QString& folder, const QString& company, const TFleetOptions& options = {});
    // Without Finish, the file is removed.
    ~TFleetDBWriter();
    TFleetDBWriter(const TFleetDBWriter&) = delete;
    TFleetDBWriter& operator=(const TFleetDBWriter&) = delete;

    void AddVehicle(qint64 key, const QString& nrInreg, const std::optional<QString>& imei);
    // Returns the reading's key (CODNPARC0), counted from 1. AN and LUNA come from the date.
    qint64 AddReading(qint64 vehicleKey, const std::optional<QString>& date, std::optional<qint64> km);
    // Creates the index, sets the sequence and closes the file.
    void Finish();

    const QString& FilePath() const { return FPath; }

private:
    struct Impl;
    std::unique_ptr<Impl> F;
    QString FPath;
};

// Builds the whole description; returns the schema file's path.
QString BuildFleetDatabase(const QString& folder, const TFleetDescription& description);
