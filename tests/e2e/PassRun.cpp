#include "PassRun.h"

#include "LogMessages.h"
#include "ZeltDBOwner.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// Opens the fleet's schema file directly, as any SQLite tool would.
class DirectDb {
public:
    explicit DirectDb(const QString& path) : FName(QUuid::createUuid().toString()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
        db.setDatabaseName(path);
        db.open();
    }
    ~DirectDb() { QSqlDatabase::removeDatabase(FName); }
    QSqlDatabase db() const { return QSqlDatabase::database(FName); }

private:
    QString FName;
};

} // namespace

QByteArray DefaultSimData() {
    return R"({"accounts": {"u": "p"},
               "devices": {"111": {"distanceKm": 12.5}, "222": {"distanceKm": 78.9}, "333": {"distanceKm": -0.5},
                           "444": {"kmPerHour": 2}, "555": {"distanceKm": 0}}})";
}

PassRun::PassRun(const QDateTime& now) : Clock(now), FleetFolder(Dir.filePath(QStringLiteral("fleet"))) {
    Clock.setAutoAdvance(true);
}

PassRun::~PassRun() {
    SetDBOwnerMainWindow({});
    Window.reset();
}

TFleetVehicle PassRun::Vehicle(qint64 key, const QString& nrInreg, const std::optional<QString>& imei,
                               const QList<TFleetReading>& readings) {
    TFleetVehicle v;
    v.Key = key;
    v.NrInreg = nrInreg;
    v.Imei = imei;
    v.Readings = readings;
    return v;
}

void PassRun::Prepare(const TFleetDescription& fleet, const QString& url, const QStringList& extraIni) {
    BuildFleetDatabase(FleetFolder, fleet);
    QFile ini(Dir.filePath(QStringLiteral("Odolink.ini")));
    if (ini.open(QIODevice::WriteOnly)) {
        QStringList lines{QStringLiteral("[Configurari]"),
                          QStringLiteral("DriverID=SQLite"),
                          QStringLiteral("OraDbName=") + FleetFolder,
                          QStringLiteral("NumeFirma=") + fleet.Company,
                          QStringLiteral("TrackGPSUser=u"),
                          QStringLiteral("TrackGPSParola=p"),
                          QStringLiteral("TrackGPSUrl=") + url};
        // Later lines lose to earlier ones: overrides go first.
        lines = QStringList{lines.first()} + extraIni + lines.mid(1);
        ini.write(lines.join(QStringLiteral("\r\n")).toUtf8());
    }
    Window = std::make_unique<TDEzeriRAZ>(TDEzeriRAZContext{&Clock, Dir.path(), {}});
    TDEzeriRAZ* w = Window.get();
    SetDBOwnerMainWindow([w] { return w; });
}

bool PassRun::Run(int timeoutMs) {
    QSignalSpy finished(Window.get(), &TDEzeriRAZ::jobFinished);
    Window->show();
    return finished.wait(timeoutMs);
}

QStringList PassRun::Messages() const {
    if (!Window->LogFile().Released())
        return WithoutStamps(Window->LogFile().Lines());
    if (!QFile::exists(Window->LogFileName()))
        return {QStringLiteral("<no log file>")};
    return LogMessages(Window->LogFileName());
}

QList<Reading> PassRun::Readings(qint64 vehicle) const {
    DirectDb direct(FleetFolder + QStringLiteral("/ACME.sqlite"));
    QSqlQuery q(direct.db());
    q.prepare(QStringLiteral("SELECT CODNPARC0, CODNPARCAUT, DATABORD, KMBORD, AN, LUNA FROM NPARC0 "
                             "WHERE ? = 0 OR CODNPARCAUT = ? ORDER BY CODNPARC0"));
    q.addBindValue(vehicle);
    q.addBindValue(vehicle);
    QList<Reading> out;
    if (!q.exec())
        return out;
    while (q.next())
        out.append(Reading{q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString(),
                           q.value(3), q.value(4), q.value(5)});
    return out;
}

void PassRun::Sql(const QString& statement) const {
    DirectDb direct(FleetFolder + QStringLiteral("/ACME.sqlite"));
    QSqlQuery q(direct.db());
    if (!q.exec(statement))
        qFatal("fixture statement failed: %s", qPrintable(q.lastError().text()));
}
