#include "FleetDB.h"
#include "ZeltDBError.h"
#include "ZeltDBSQLTable.h"
#include "ZeltSQLConnection.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString CR = QStringLiteral("\r");

// The job's insert statement: CR-only line breaks and a blank after the owner prefix.
QString InsertStatement(const QString& prefix, const QString& key, const QString& when, int km, int year,
                        int month) {
    return "INSERT " + CR + "INTO " + CR + prefix +
           " NPARC0(CODNPARC0, CODNPARCAUT, DATABORD, KMBORD, AN, LUNA) " + CR + "VALUES(" + prefix +
           "SEQ_NPARC0_CODNPARC0.NEXTVAL, " + key + ",TO_DATE('" + when + "', 'DD.MM.YYYY hh24:MI')" + ", " +
           QString::number(km) + "," + QString::number(year) + "," + QString::number(month) + ")";
}

struct Fleet {
    QTemporaryDir Dir;

    explicit Fleet(const TFleetOptions& options = {}) {
        TFleetDescription d;
        d.Company = QStringLiteral("ACME");
        d.Options = options;
        TFleetVehicle v;
        v.Key = 17;
        v.NrInreg = QStringLiteral("B-01-ABC");
        v.Imei = QStringLiteral("356000000000017");
        if (options.WithNparc0)
            v.Readings = {{QStringLiteral("2025-03-01 10:00:00"), 1000},
                          {QStringLiteral("2025-03-02 10:00:00"), 1010}};
        d.Vehicles = {v};
        BuildFleetDatabase(Dir.path(), d);
    }

    void Connect(TZeltSQLConnection& conn) const {
        conn.SetParams({QStringLiteral("DriverID=SQLite"), QStringLiteral("DataBase=") + Dir.path()});
        conn.SetConnected(true);
    }
};

QStringList Select(TZeltSQLConnection& conn, const QString& sql) {
    TZeltDBSQLTable q;
    q.SetConnection(&conn);
    q.SetSQLText(sql);
    q.Open();
    QStringList rows;
    for (; !q.Eof(); q.Next()) {
        QStringList values;
        for (int i = 0; i < q.FieldCount(); ++i)
            values << q.Fields(i).AsString();
        rows << values.join(u'|');
    }
    return rows;
}

} // namespace

class TestZeltSQLConnection final : public QObject {
    Q_OBJECT

private slots:
    void insertStatementStoresReading() {
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        QCOMPARE(conn.ExecuteDirect(InsertStatement("ACME.", "17", "05.03.2025 14:07", 1078, 2025, 3)), 0);
        QCOMPARE(conn.ExecuteDirect("COMMIT"), 0);
        conn.SetConnected(false);

        TZeltSQLConnection reader;
        fleet.Connect(reader);
        QCOMPARE(Select(reader, "SELECT CODNPARC0, CODNPARCAUT, DATABORD, KMBORD, AN, LUNA FROM acme.nparc0 "
                                "WHERE KMBORD = 1078"),
                 QStringList{"3|17|2025-03-05 14:07:00|1078|2025|3"});
    }

    void uncommittedInsertIsGoneAfterDisconnect() {
        Fleet fleet;
        {
            TZeltSQLConnection conn;
            fleet.Connect(conn);
            conn.ExecuteDirect(InsertStatement("ACME.", "17", "05.03.2025 14:07", 1078, 2025, 3));
            QCOMPARE(Select(conn, "SELECT COUNT(*) FROM ACME.NPARC0"), QStringList{"3"});
            conn.SetConnected(false);
        }
        TZeltSQLConnection reader;
        fleet.Connect(reader);
        QCOMPARE(Select(reader, "SELECT COUNT(*) FROM ACME.NPARC0"), QStringList{"2"});
        QCOMPARE(Select(reader, "SELECT LAST_NUMBER FROM ACME.SEQ_NPARC0_CODNPARC0"), QStringList{"2"});
    }
};

QTEST_GUILESS_MAIN(TestZeltSQLConnection)
#include "tst_zeltsqlconnection.moc"
