#include "FleetDB.h"

#include "ZeltError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sqlite3.h>

namespace {

[[noreturn]] void Fail(const QString& text) {
    throw EZeltError(text);
}

void Check(sqlite3* db, int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        Fail(QStringLiteral("fleet database: %1: %2")
                 .arg(QLatin1String(what), QString::fromUtf8(sqlite3_errmsg(db))));
}

void Exec(sqlite3* db, const char* sql) {
    Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
}

void BindText(sqlite3_stmt* stmt, int index, const std::optional<QString>& text) {
    if (!text) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    const QByteArray utf8 = text->toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void BindInt(sqlite3_stmt* stmt, int index, std::optional<qint64> value) {
    if (value)
        sqlite3_bind_int64(stmt, index, *value);
    else
        sqlite3_bind_null(stmt, index);
}

bool ValidCompany(const QString& company) {
    if (company.isEmpty())
        return false;
    for (QChar c : company)
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'))
            return false;
    return true;
}

} // namespace

QString FleetDateText(const QString& text) {
    // Parsed by hand: local-time conversions would make a million readings take minutes.
    const QString t = text.trimmed();
    auto number = [&](qsizetype at, qsizetype digits, int& value) {
        if (at + digits > t.size())
            return false;
        value = 0;
        for (qsizetype i = at; i < at + digits; ++i) {
            if (!t[i].isDigit())
                return false;
            value = value * 10 + t[i].digitValue();
        }
        return true;
    };
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    bool ok = number(0, 4, y) && t.size() >= 10 && t[4] == u'-' && number(5, 2, mo) && t[7] == u'-' &&
              number(8, 2, d);
    if (ok && t.size() > 10) {
        ok = (t[10] == u' ' || t[10] == u'T') && number(11, 2, h) && t.size() >= 16 && t[13] == u':' &&
             number(14, 2, mi);
        if (ok && t.size() > 16)
            ok = t.size() == 19 && t[16] == u':' && number(17, 2, s);
    }
    if (!ok || !QDate::isValid(y, mo, d) || !QTime::isValid(h, mi, s))
        Fail(QStringLiteral("fleet database: \"%1\" is not a date (YYYY-MM-DD HH:MM:SS)").arg(text));
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(y, 4, 10, QChar(u'0'))
        .arg(mo, 2, 10, QChar(u'0'))
        .arg(d, 2, 10, QChar(u'0'))
        .arg(h, 2, 10, QChar(u'0'))
        .arg(mi, 2, 10, QChar(u'0'))
        .arg(s, 2, 10, QChar(u'0'));
}

struct TFleetDBWriter::Impl {
    sqlite3* Db = nullptr;
    sqlite3_stmt* Vehicle = nullptr;
    sqlite3_stmt* Reading = nullptr;
    TFleetOptions Options;
    qint64 LastReading = 0;
    bool Finished = false;

    ~Impl() {
        sqlite3_finalize(Vehicle);
        sqlite3_finalize(Reading);
        sqlite3_close(Db);
    }
};

TFleetDBWriter::TFleetDBWriter(const QString& folder, const QString& company, const TFleetOptions& options)
    : F(std::make_unique<Impl>()) {
    F->Options = options;
    if (!ValidCompany(company))
        Fail(
            QStringLiteral("fleet database: \"%1\" is no schema name (letters, digits, _ $ #)").arg(company));
    if (!QDir().mkpath(folder))
        Fail(QStringLiteral("fleet database: cannot create folder \"%1\"").arg(folder));
    FPath = QDir(folder).absoluteFilePath(company + QStringLiteral(".sqlite"));
    if (QFile::exists(FPath)) {
        if (!options.Overwrite)
            Fail(QStringLiteral("fleet database: \"%1\" exists already").arg(FPath));
        if (!QFile::remove(FPath))
            Fail(QStringLiteral("fleet database: cannot replace \"%1\"").arg(FPath));
    }
    const QByteArray path = FPath.toUtf8();
    if (sqlite3_open_v2(path.constData(), &F->Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        Fail(QStringLiteral("fleet database: cannot create \"%1\"").arg(FPath));
    // A new file that nobody reads yet: no journal needed while it is written.
    Exec(F->Db, "PRAGMA journal_mode = OFF");
    Exec(F->Db, "PRAGMA synchronous = OFF");
    Exec(F->Db, "BEGIN");
    Exec(F->Db, "CREATE TABLE NPARCAUT (CODNPARCAUT INTEGER PRIMARY KEY, NRINREG TEXT, CODEXTERN TEXT)");
    if (options.WithNparc0)
        Exec(F->Db, "CREATE TABLE NPARC0 (CODNPARC0 INTEGER PRIMARY KEY, CODNPARCAUT INTEGER NOT NULL, "
                    "DATABORD TEXT, KMBORD INTEGER, AN INTEGER, LUNA INTEGER)");
    if (options.WithTmpNartObj)
        Exec(F->Db, "CREATE TABLE TMP_NARTOBJ (CODNARTOBJ INTEGER PRIMARY KEY, DENUMIRE TEXT)");
    Exec(F->Db, "CREATE TABLE SEQ_NPARC0_CODNPARC0 (LAST_NUMBER INTEGER NOT NULL)");
    Check(F->Db,
          sqlite3_prepare_v2(F->Db, "INSERT INTO NPARCAUT (CODNPARCAUT, NRINREG, CODEXTERN) VALUES (?, ?, ?)",
                             -1, &F->Vehicle, nullptr),
          "prepare NPARCAUT");
    if (options.WithNparc0)
        Check(F->Db,
              sqlite3_prepare_v2(F->Db,
                                 "INSERT INTO NPARC0 (CODNPARC0, CODNPARCAUT, DATABORD, KMBORD, AN, LUNA) "
                                 "VALUES (?, ?, ?, ?, ?, ?)",
                                 -1, &F->Reading, nullptr),
              "prepare NPARC0");
}

TFleetDBWriter::~TFleetDBWriter() {
    if (!F->Finished) {
        F.reset();
        QFile::remove(FPath);
    }
}

void TFleetDBWriter::AddVehicle(qint64 key, const QString& nrInreg, const std::optional<QString>& imei) {
    sqlite3_reset(F->Vehicle);
    sqlite3_bind_int64(F->Vehicle, 1, key);
    BindText(F->Vehicle, 2, nrInreg);
    BindText(F->Vehicle, 3, imei);
    const int rc = sqlite3_step(F->Vehicle);
    if (rc != SQLITE_DONE)
        Fail(QStringLiteral("fleet database: vehicle %1: %2")
                 .arg(key)
                 .arg(QString::fromUtf8(sqlite3_errmsg(F->Db))));
}

qint64 TFleetDBWriter::AddReading(qint64 vehicleKey, const std::optional<QString>& date,
                                  std::optional<qint64> km) {
    if (!F->Reading)
        Fail(QStringLiteral("fleet database: readings given, but NPARC0 is left out"));
    std::optional<QString> text;
    std::optional<qint64> year, month;
    if (date) {
        text = FleetDateText(*date);
        year = text->left(4).toLongLong();
        month = text->mid(5, 2).toLongLong();
    }
    const qint64 key = ++F->LastReading;
    sqlite3_reset(F->Reading);
    sqlite3_bind_int64(F->Reading, 1, key);
    sqlite3_bind_int64(F->Reading, 2, vehicleKey);
    BindText(F->Reading, 3, text);
    BindInt(F->Reading, 4, km);
    BindInt(F->Reading, 5, year);
    BindInt(F->Reading, 6, month);
    if (sqlite3_step(F->Reading) != SQLITE_DONE)
        Fail(QStringLiteral("fleet database: reading of vehicle %1: %2")
                 .arg(vehicleKey)
                 .arg(QString::fromUtf8(sqlite3_errmsg(F->Db))));
    return key;
}

void TFleetDBWriter::Finish() {
    if (F->Options.WithNparc0)
        Exec(F->Db, "CREATE INDEX NPARC0_VEHICLE_DATE ON NPARC0 (CODNPARCAUT, DATABORD)");
    const QByteArray sequence = QStringLiteral("INSERT INTO SEQ_NPARC0_CODNPARC0 (LAST_NUMBER) VALUES (%1)")
                                    .arg(F->LastReading)
                                    .toUtf8();
    Exec(F->Db, sequence.constData());
    Exec(F->Db, "COMMIT");
    Exec(F->Db, "ANALYZE");
    Exec(F->Db, "PRAGMA journal_mode = DELETE");
    sqlite3_finalize(F->Vehicle);
    sqlite3_finalize(F->Reading);
    F->Vehicle = F->Reading = nullptr;
    if (sqlite3_close(F->Db) != SQLITE_OK)
        Fail(QStringLiteral("fleet database: cannot close \"%1\"").arg(FPath));
    F->Db = nullptr;
    F->Finished = true;
}

QString BuildFleetDatabase(const QString& folder, const TFleetDescription& description) {
    TFleetDBWriter writer(folder, description.Company, description.Options);
    for (const TFleetVehicle& vehicle : description.Vehicles)
        writer.AddVehicle(vehicle.Key, vehicle.NrInreg, vehicle.Imei);
    for (const TFleetVehicle& vehicle : description.Vehicles)
        for (const TFleetReading& reading : vehicle.Readings)
            writer.AddReading(vehicle.Key, reading.Date, reading.Km);
    writer.Finish();
    return writer.FilePath();
}

TFleetDescription FleetFromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        Fail(QStringLiteral("fleet description: %1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        Fail(QStringLiteral("fleet description: not a JSON object"));
    const QJsonObject root = document.object();

    TFleetDescription result;
    result.Company = root.value(u"company").toString();
    if (result.Company.isEmpty())
        Fail(QStringLiteral("fleet description: \"company\" is missing"));
    for (const QJsonValue omitted : root.value(u"omit").toArray()) {
        const QString table = omitted.toString().toUpper();
        if (table == u"TMP_NARTOBJ")
            result.Options.WithTmpNartObj = false;
        else if (table == u"NPARC0")
            result.Options.WithNparc0 = false;
        else
            Fail(QStringLiteral("fleet description: cannot omit \"%1\" (only TMP_NARTOBJ, NPARC0)")
                     .arg(omitted.toString()));
    }
    const QJsonArray vehicles = root.value(u"vehicles").toArray();
    for (qsizetype i = 0; i < vehicles.size(); ++i) {
        const QJsonObject v = vehicles[i].toObject();
        const QString where = QStringLiteral("fleet description: vehicle %1: ").arg(i + 1);
        TFleetVehicle vehicle;
        if (!v.value(u"key").isDouble())
            Fail(where + QStringLiteral("\"key\" must be a number"));
        vehicle.Key = qint64(v.value(u"key").toDouble());
        vehicle.NrInreg = v.value(u"nrinreg").toString();
        const QJsonValue imei = v.value(u"imei");
        if (imei.isString())
            vehicle.Imei = imei.toString();
        else if (!imei.isNull() && !imei.isUndefined())
            Fail(where + QStringLiteral("\"imei\" must be a text or null"));
        for (const QJsonValue r : v.value(u"readings").toArray()) {
            const QJsonObject reading = r.toObject();
            TFleetReading entry;
            const QJsonValue date = reading.value(u"date");
            if (date.isString())
                entry.Date = FleetDateText(date.toString());
            else if (!date.isNull() && !date.isUndefined())
                Fail(where + QStringLiteral("a reading's \"date\" must be a text or null"));
            const QJsonValue km = reading.value(u"km");
            if (km.isDouble())
                entry.Km = qint64(km.toDouble());
            else if (!km.isNull() && !km.isUndefined())
                Fail(where + QStringLiteral("a reading's \"km\" must be a number or null"));
            vehicle.Readings.append(entry);
        }
        result.Vehicles.append(std::move(vehicle));
    }
    return result;
}
