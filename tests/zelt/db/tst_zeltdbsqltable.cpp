#include "FleetDB.h"
#include "ManualClock.h"
#include "ZeltDBError.h"
#include "ZeltDBOwner.h"
#include "ZeltDBSQLTable.h"
#include "ZeltDBStoredProc.h"
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

class RecordingDebugWindow final : public IZeltDebugWindow {
public:
    QStringList Lines;
    void AddLine(const QString& line) override { Lines << line; }
    bool TraceSQL() const override { return true; }
    bool Paused() const override { return false; }
};

// All trace switches on, for the lifetime of the object.
struct TraceOn {
    RecordingDebugWindow Window;
    ManualClock Clock{QDateTime(QDate(2025, 3, 5), QTime(14, 7))};
    TraceOn() {
        SQLTraceEnabled = DebugWindowEnabled = true;
        DebugWindow = &Window;
        SetSQLTraceClock(&Clock);
    }
    ~TraceOn() {
        SQLTraceEnabled = DebugWindowEnabled = false;
        DebugWindow = nullptr;
        SQLStartTime = 0;
        SetSQLTraceClock(nullptr);
    }
};

template <typename Fn> QString ErrorOf(Fn fn) {
    try {
        fn();
    } catch (const EZeltDBError& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

QList<TFleetVehicle> ThreeVehicles() {
    return {Vehicle(1, "I1", {Reading("2025-03-01 10:00:00", 10)}),
            Vehicle(2, "I2", {Reading("2025-03-01 11:00:00", 20)}),
            Vehicle(3, "I3", {Reading("2025-03-01 12:00:00", 30)})};
}

// Opened the way the job opens its queries: created without an owner, on the connection.
std::unique_ptr<TZeltDBSQLTable> Opened(Fleet& fleet, const QString& sql) {
    auto q = std::make_unique<TZeltDBSQLTable>();
    q->SetConnection(&fleet.Conn);
    q->SetSQLText(sql);
    q->Open();
    return q;
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
        // With the builder's index the engine seeks per vehicle; without it, it aggregates a scan.
        for (const bool indexed : {true, false}) {
            if (!indexed)
                fleet.Conn.ExecuteDirect("DROP INDEX ACME.NPARC0_VEHICLE_DATE");
            for (const QString separator : {"\r\n", "\r", "\n"}) {
                TZeltDBSQLTable q;
                q.SetConnection(&fleet.Conn);
                q.SetSQLText(JoinLines(separator));
                q.Open();
                QCOMPARE(q.RecordCount(), int(expected.size()));
                QCOMPARE(Rows(q), expected);
            }
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

    void ownerMacroInAnyCase_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("upper") << "SELECT COUNT(*) FROM <OWNER>.TMP_NARTOBJ"
                               << "SELECT COUNT(*) FROM ACME.TMP_NARTOBJ";
        QTest::newRow("lower") << "SELECT COUNT(*) FROM <owner>.TMP_NARTOBJ"
                               << "SELECT COUNT(*) FROM ACME.TMP_NARTOBJ";
        QTest::newRow("mixed, every occurrence")
            << "SELECT COUNT(*) FROM <Owner>.NPARCAUT P, <oWnEr>.TMP_NARTOBJ T"
            << "SELECT COUNT(*) FROM ACME.NPARCAUT P, ACME.TMP_NARTOBJ T";
        QTest::newRow("other macros left alone") << "SELECT '<admin>' FROM <owner>.TMP_NARTOBJ"
                                                 << "SELECT '<admin>' FROM ACME.TMP_NARTOBJ";
    }

    void ownerMacroInAnyCase() {
        QFETCH(QString, sql);
        QFETCH(QString, expanded);
        Fleet fleet({});
        auto q = Opened(fleet, sql);
        QVERIFY(q->Active());
        QCOMPARE(q->SQLText(), expanded);
    }

    void reopenKeepsTheFirstOwner() {
        Fleet fleet({});
        TZeltDBSQLTable q;
        q.SetConnection(&fleet.Conn);
        q.SetSQLText("SELECT COUNT(*) FROM <OWNER>.TMP_NARTOBJ");
        q.Open();
        q.Close();
        fleet.Conn.SetAdmin("OTHER");
        q.Open();
        QCOMPARE(q.SQLText(), QString("SELECT COUNT(*) FROM ACME.TMP_NARTOBJ"));
    }

    void emptyOwnerIsRejectedByTheServer() {
        Fleet fleet({});
        fleet.Conn.SetAdmin("");
        TZeltDBSQLTable q;
        q.SetConnection(&fleet.Conn);
        q.SetSQLText("SELECT * FROM <OWNER>.NPARCAUT");
        const QString error = ErrorOf([&] { q.Open(); });
        QCOMPARE(q.SQLText(), QString("SELECT * FROM .NPARCAUT"));
        QVERIFY2(error.contains("syntax error"), qPrintable(error));
        QVERIFY(!q.Active());
    }

    void failingOpenLeavesItClosed_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing table") << "SELECT * FROM ACME.NOSUCH"
                                       << "no such table: ACME.NOSUCH";
        QTest::newRow("missing schema") << "SELECT * FROM BETA.NPARCAUT"
                                        << "no such table: BETA.NPARCAUT";
        QTest::newRow("malformed") << "SELECT FROM"
                                   << "syntax error";
    }

    void failingOpenLeavesItClosed() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        Fleet fleet(ThreeVehicles());
        TZeltDBSQLTable q;
        q.SetConnection(&fleet.Conn);
        q.SetSQLText(sql);
        const QString error = ErrorOf([&] { q.Open(); });
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(!q.Active());
        QCOMPARE(q.RecordCount(), 0);
        QVERIFY(q.Eof());
        q.SetSQLText("SELECT * FROM ACME.NPARCAUT");
        q.Open();
        QCOMPARE(q.RecordCount(), 3);
    }

    void openWithoutConnection() {
        TZeltDBSQLTable q;
        q.SetSQLText("SELECT 1");
        QVERIFY(ErrorOf([&] { q.Open(); }).contains("no connection"));
        TZeltSQLConnection closed;
        q.SetConnection(&closed);
        QCOMPARE(ErrorOf([&] { q.Open(); }), QString("Connection is not open"));
        QVERIFY(!q.Active());
    }

    void walkingTheRows() {
        Fleet fleet(ThreeVehicles());
        auto q = Opened(fleet, "SELECT CODNPARCAUT FROM ACME.NPARCAUT ORDER BY 1");
        QCOMPARE(q->RecordCount(), 3);
        QStringList seen;
        QList<int> positions;
        for (q->First(); !q->Eof(); q->Next()) {
            positions << q->RecNo();
            seen << q->FieldByName("codnparcaut").AsString();
        }
        QCOMPARE(positions, (QList<int>{1, 2, 3}));
        QCOMPARE(seen, (QStringList{"1", "2", "3"}));
        QCOMPARE(q->RecNo(), 3);        // the cursor stays on the last row
        fleet.Conn.SetConnected(false); // the rows are on the client
        q->First();
        QCOMPARE(q->FieldByName("CODNPARCAUT").AsInteger(), 1);
    }

    void emptyResult() {
        Fleet fleet(ThreeVehicles());
        auto q = Opened(fleet, "SELECT * FROM ACME.NPARCAUT WHERE 1 = 0");
        QVERIFY(q->Active());
        QCOMPARE(q->RecordCount(), 0);
        QVERIFY(q->Eof());
        QCOMPARE(q->RecNo(), 0);
        QVERIFY(q->FieldByName("NrInreg").IsNull());
    }

    void fieldByName() {
        Fleet fleet(ThreeVehicles());
        auto q = Opened(
            fleet,
            "SELECT P.CODNPARCAUT, R.DATABORD, R.KMBORD, '12,5' AS TXT, 2.5 AS REAL FROM ACME.NPARCAUT P "
            "JOIN ACME.NPARC0 R ON R.CODNPARCAUT = P.CODNPARCAUT ORDER BY 1");
        QCOMPARE(q->FieldByName("DataBord").FieldName(), QString("DATABORD"));
        QCOMPARE(q->FieldByName("DataBord").AsDateTime(), QDateTime(QDate(2025, 3, 1), QTime(10, 0)));
        QCOMPARE(q->FieldByName("DataBord").AsString(), QString("2025-03-01 10:00:00"));
        QCOMPARE(q->FieldByName("KmBord").AsInteger(), 10);
        QCOMPARE(q->FieldByName("real").AsFloat(), 2.5);
        QCOMPARE(q->FieldByName("real").AsString(), QString("2.5"));
        QCOMPARE(q->FieldByName("TXT").AsString(), QString("12,5"));
        QCOMPARE(ErrorOf([&] { q->FieldByName("NoSuch"); }), QString("Field 'NoSuch' not found"));
        QCOMPARE(q->FindField("NoSuch"), nullptr);
    }

    void customizeHookRunsBeforeExpansion() {
        Fleet fleet(ThreeVehicles());
        TZeltDBSQLTable q;
        q.SetConnection(&fleet.Conn);
        q.SetSQLText("SELECT COUNT(*) AS N FROM ACME.NPARCAUT");
        int calls = 0;
        q.OnCustomizeSqlText = [&](TZeltDBSQLTable& dataset) {
            ++calls;
            QCOMPARE(&dataset, &q);
            if (calls == 1) // a refresh expands no macro
                dataset.SetSQLText("SELECT COUNT(*) AS N FROM <owner>.NPARCAUT WHERE CODNPARCAUT > 1");
        };
        q.Open();
        QCOMPARE(calls, 1);
        QCOMPARE(q.SQLText(), QString("SELECT COUNT(*) AS N FROM ACME.NPARCAUT WHERE CODNPARCAUT > 1"));
        QCOMPARE(q.FieldByName("N").AsInteger(), 2);
        q.Refresh();
        QCOMPARE(calls, 2);
    }

    void resultIsFetchedAtOpen() {
        Fleet fleet(ThreeVehicles());
        auto q = Opened(fleet, "SELECT * FROM ACME.NPARCAUT");
        fleet.Conn.ExecuteDirect("DELETE FROM ACME.NPARCAUT");
        QCOMPARE(q->RecordCount(), 3);
        q->Refresh();
        QCOMPARE(q->RecordCount(), 0);
    }

    void cloneIsASecondCursor() {
        Fleet fleet(ThreeVehicles());
        auto q = Opened(fleet, "SELECT CODNPARCAUT FROM ACME.NPARCAUT ORDER BY 1");
        TZeltDBMemTable* clone = q->Clone();
        QCOMPARE(q->Clone(), clone);
        QVERIFY(clone->CachedUpdates());
        QCOMPARE(clone->RecordCount(), 3);
        clone->Last();
        QCOMPARE(clone->FieldByName("CodNParcAut").AsInteger(), 3);
        QCOMPARE(q->FieldByName("CodNParcAut").AsInteger(), 1); // the dataset's own cursor did not move
        q->Close();
        q->Open();
        TZeltDBMemTable* fresh = q->Clone();
        QVERIFY(fresh->Active());
        QCOMPARE(fresh->RecNo(), 1);
    }

    void closeFiresAfterCloseAndClearsRows() {
        Fleet fleet(ThreeVehicles());
        auto q = Opened(fleet, "SELECT * FROM ACME.NPARCAUT");
        QStringList events;
        q->AfterClose = [&](TZeltDBDataSet&) { events << "AfterClose"; };
        q->Close();
        q->Close();
        QCOMPARE(events, QStringList{"AfterClose"});
        QVERIFY(!q->Active());
        QCOMPARE(q->FieldCount(), 0);
    }

    void statementsAreTracedWhenSwitchedOn() {
        Fleet fleet(ThreeVehicles());
        const QString separator(30, QChar(0x00AF));
        {
            TraceOn trace;
            Opened(fleet, "SELECT COUNT(*) FROM <Owner>.NPARCAUT");
            fleet.Conn.ExecuteDirect("COMMIT");
            QCOMPARE(trace.Window.Lines, (QStringList{"SELECT COUNT(*) FROM ACME.NPARCAUT", "TIME=00:00:000 ",
                                                      separator, "COMMIT", "TIME=00:00:000 ", separator}));
        }
        // A failing statement writes its start line only.
        TraceOn trace;
        QVERIFY(
            ErrorOf([&] { fleet.Conn.ExecuteDirect("DELETE FROM ACME.NOSUCH"); }).contains("no such table"));
        QCOMPARE(trace.Window.Lines, QStringList{"DELETE FROM ACME.NOSUCH"});
    }

    void traceSilentByDefault() {
        Fleet fleet(ThreeVehicles());
        RecordingDebugWindow window;
        DebugWindow = &window;
        Opened(fleet, "SELECT * FROM ACME.NPARCAUT");
        fleet.Conn.ExecuteDirect("COMMIT");
        DebugWindow = nullptr;
        QCOMPARE(window.Lines, QStringList());
        QCOMPARE(SQLStartTime, 0.0);
    }

    void storedProcedure() {
        Fleet fleet({});
        TZeltDBStoredProc proc;
        proc.SetSqlConnection(&fleet.Conn);
        proc.SetProcName("ACME.KM_TOTAL");
        QVERIFY(proc.Prepared());
        QCOMPARE(proc.StoredProcName(), QString("ACME.KM_TOTAL"));
        proc.AddParam("RESULT", TZeltDBParamType::Result);
        proc.AddParam("pCod", TZeltDBParamType::Input, 17);
        QCOMPARE(proc.CallText(), QString("ACME.KM_TOTAL(RESULT = ; pCod = 17; )"));
        proc.ParamByName("result").Value = 1078;
        QCOMPARE(proc.ResultText(), QString("RESULT = 1078"));
        QCOMPARE(ErrorOf([&] { proc.ParamByName("nope"); }), QString("Parameter 'nope' not found"));

        TraceOn trace;
        const QString error = ErrorOf([&] { proc.Open(); });
        QVERIFY2(error.contains("stored procedures"), qPrintable(error)); // the embedded engine has none
        QVERIFY(!proc.Active());
        QCOMPARE(trace.Window.Lines, QStringList{"ACME.KM_TOTAL(RESULT = 1078; pCod = 17; )"});
    }

    void createdWithoutOwnerHasCachedUpdates() {
        TZeltDBSQLTable q;
        QVERIFY(q.CachedUpdates());
        QVERIFY(!q.Active());
        QCOMPARE(q.Connection(), nullptr);
        QCOMPARE(q.parent(), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestZeltDBSQLTable)
#include "tst_zeltdbsqltable.moc"
