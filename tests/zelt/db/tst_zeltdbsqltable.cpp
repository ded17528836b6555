#include "FleetDB.h"
#include "ZeltDBError.h"
#include "ZeltDBOwner.h"
#include "ZeltDBSQLTable.h"
#include "ZeltSQLConnection.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// The job's vehicle query, line for line (leading and trailing blanks included).
const QStringList VehicleQueryLines = {
    "SELECT ",
    "  P.CODNPARCAUT, ",
    "  P0.KMBORD, ",
    "  P0.DATABORD, ",
    "  P.NRINREG, ",
    "  P.CODEXTERN ",
    "FROM ",
    "  <OWNER>.NPARCAUT P ",
    "  LEFT JOIN ",
    "  (SELECT ",
    "     CODNPARCAUT, ",
    "     MAX(KMBORD) KEEP (Dense_Rank LAST ORDER BY DATABORD) KMBORD, ",
    "     MAX(DATABORD) KEEP (Dense_Rank LAST ORDER BY DATABORD) DATABORD  ",
    "   FROM ",
    "     <OWNER>.NPARC0 ",
    "   GROUP BY CODNPARCAUT ",
    "  ) P0 ON P0.CODNPARCAUT = P.CODNPARCAUT ",
    "WHERE ",
    "  P.CODEXTERN IS NOT NULL ",
    "  AND P0.DATABORD IS NOT NULL",
};

TFleetVehicle Vehicle(qint64 key, std::optional<QString> imei, QList<TFleetReading> readings) {
    TFleetVehicle v;
    v.Key = key;
    v.NrInreg = QStringLiteral("B-%1-ODO").arg(key);
    v.Imei = std::move(imei);
    v.Readings = std::move(readings);
    return v;
}

TFleetReading Reading(std::optional<QString> date, std::optional<qint64> km) {
    return {std::move(date), km};
}

// An embedded database with one company schema, and a connection to it.
struct Fleet {
    QTemporaryDir Dir;
    TZeltSQLConnection Conn;

    explicit Fleet(QList<TFleetVehicle> vehicles, const QString& company = QStringLiteral("ACME")) {
        TFleetDescription d;
        d.Company = company;
        d.Vehicles = std::move(vehicles);
        BuildFleetDatabase(Dir.path(), d);
        Conn.SetParams({QStringLiteral("DriverID=SQLite")});
        Conn.SetParam(QStringLiteral("DataBase"), Dir.path());
        Conn.SetConnected(true);
        Conn.SetAdmin(company);
        DefaultSQLConnection = &Conn;
    }
    ~Fleet() { DefaultSQLConnection = nullptr; }
};

// Rows as "key|km|date|nrinreg|imei", sorted: the query has no defined order.
QStringList Rows(TZeltDBSQLTable& q) {
    QStringList rows;
    for (q.First(); !q.Eof(); q.Next())
        rows << QStringList{q.FieldByName("CodNParcAut").AsString(), q.FieldByName("KmBord").AsString(),
                            q.FieldByName("DataBord").AsString(), q.FieldByName("NrInreg").AsString(),
                            q.FieldByName("CodExtern").AsString()}
                    .join(u'|');
    rows.sort();
    return rows;
}

QString JoinLines(const QString& separator) {
    return VehicleQueryLines.join(separator);
}

} // namespace

class TestZeltDBSQLTable final : public QObject {
    Q_OBJECT

private slots:
    void vehicleQuery_data() {
        QTest::addColumn<QList<TFleetVehicle>>("vehicles");
        QTest::addColumn<QStringList>("expected");
        const QString d1 = "2025-03-01 10:00:00", d2 = "2025-03-02 08:30:00";

        QTest::newRow("two readings on the latest date: the larger value")
            << QList{Vehicle(17, "IMEI17",
                             {Reading(d1, 1000), Reading(d1, 1200), Reading("2025-02-01", 1500)})}
            << QStringList{"17|1200|2025-03-01 10:00:00|B-17-ODO|IMEI17"};
        QTest::newRow("a later reading with a smaller value wins")
            << QList{Vehicle(18, "IMEI18", {Reading(d1, 5000), Reading(d2, 4000)})}
            << QStringList{"18|4000|2025-03-02 08:30:00|B-18-ODO|IMEI18"};
        QTest::newRow("vehicle without CODEXTERN is left out")
            << QList{Vehicle(19, std::nullopt, {Reading(d1, 10)}), Vehicle(20, "IMEI20", {Reading(d1, 20)})}
            << QStringList{"20|20|2025-03-01 10:00:00|B-20-ODO|IMEI20"};
        QTest::newRow("one undated reading leaves the vehicle out")
            << QList{Vehicle(21, "IMEI21", {Reading(d1, 100), Reading(std::nullopt, 50), Reading(d2, 200)}),
                     Vehicle(22, "IMEI22", {Reading(d2, 7)})}
            << QStringList{"22|7|2025-03-02 08:30:00|B-22-ODO|IMEI22"};
        QTest::newRow("vehicle without readings is left out")
            << QList{Vehicle(23, "IMEI23", {}), Vehicle(24, "IMEI24", {Reading(d1, 1)})}
            << QStringList{"24|1|2025-03-01 10:00:00|B-24-ODO|IMEI24"};
        QTest::newRow("latest reading without a value reads as empty")
            << QList{Vehicle(25, "IMEI25", {Reading(d1, 900), Reading(d2, std::nullopt)})}
            << QStringList{"25||2025-03-02 08:30:00|B-25-ODO|IMEI25"};
        QTest::newRow("no tracked vehicle")
            << QList{Vehicle(26, std::nullopt, {Reading(d1, 1)})} << QStringList{};
    }

    void vehicleQuery() {
        QFETCH(QList<TFleetVehicle>, vehicles);
        QFETCH(QStringList, expected);
        Fleet fleet(vehicles);
        for (const QString separator : {"\r\n", "\r", "\n"}) {
            TZeltDBSQLTable q;
            q.SetConnection(&fleet.Conn);
            q.SetSQLText(JoinLines(separator));
            q.Open();
            QCOMPARE(q.RecordCount(), int(expected.size()));
            QCOMPARE(Rows(q), expected);
        }
    }

    void emptyValueReadsAsZero() {
        Fleet fleet({Vehicle(25, "IMEI25", {Reading("2025-03-02 08:30:00", std::nullopt)})});
        TZeltDBSQLTable q;
        q.SetConnection(&fleet.Conn);
        q.SetSQLLines(VehicleQueryLines);
        q.Open();
        QVERIFY(q.FieldByName("KMBORD").IsNull());
        QCOMPARE(q.FieldByName("KmBord").AsInteger(), 0);
        QCOMPARE(q.FieldByName("DataBord").AsDateTime(), QDateTime(QDate(2025, 3, 2), QTime(8, 30)));
        QCOMPARE(q.FieldByName("DataBord").AsDateTime().timeSpec(), Qt::LocalTime);
    }
};

QTEST_GUILESS_MAIN(TestZeltDBSQLTable)
#include "tst_zeltdbsqltable.moc"
