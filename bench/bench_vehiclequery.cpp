// Opening the job's vehicle query on 5,000 vehicles x 200 readings through the query dataset, against
// hand-written native SQLite queries for the same rows on the same file. Prints medians and ratios.
#include "FleetDB.h"
#include "ZeltDBEngine.h"
#include "ZeltDBSQLTable.h"
#include "ZeltSQLConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

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

// The same rows written for SQLite by hand: the latest date per vehicle from the (CODNPARCAUT,
// DATABORD) index, vehicles with an undated reading left out, the largest value on that date.
const char* NativeGrouped = R"(
SELECT P.CODNPARCAUT,
  (SELECT MAX(R.KMBORD) FROM ACME.NPARC0 R
    WHERE R.CODNPARCAUT = L.CODNPARCAUT AND R.DATABORD = L.DATABORD) AS KMBORD,
  L.DATABORD, P.NRINREG, P.CODEXTERN
FROM ACME.NPARCAUT P
JOIN (SELECT CODNPARCAUT, MAX(DATABORD) AS DATABORD FROM ACME.NPARC0
      GROUP BY CODNPARCAUT HAVING COUNT(*) = COUNT(DATABORD)) L ON L.CODNPARCAUT = P.CODNPARCAUT
WHERE P.CODEXTERN IS NOT NULL)";

const char* NativeWindow = R"(
SELECT P.CODNPARCAUT, L.KMBORD, L.DATABORD, P.NRINREG, P.CODEXTERN
FROM ACME.NPARCAUT P
JOIN (SELECT CODNPARCAUT, KMBORD, DATABORD,
             ROW_NUMBER() OVER (PARTITION BY CODNPARCAUT
                                ORDER BY DATABORD DESC NULLS FIRST, KMBORD DESC NULLS LAST) AS RN
      FROM ACME.NPARC0) L ON L.CODNPARCAUT = P.CODNPARCAUT AND L.RN = 1
WHERE P.CODEXTERN IS NOT NULL AND L.DATABORD IS NOT NULL)";

// Per vehicle: its latest date and its undated readings found by seeks in the index, no full scan.
const char* NativeSeeks = R"(
SELECT P.CODNPARCAUT,
  (SELECT MAX(R.KMBORD) FROM ACME.NPARC0 R WHERE R.CODNPARCAUT = P.CODNPARCAUT AND R.DATABORD = L.D) AS KMBORD,
  L.D AS DATABORD, P.NRINREG, P.CODEXTERN
FROM ACME.NPARCAUT P
JOIN (SELECT P2.CODNPARCAUT AS K,
             (SELECT MAX(X.DATABORD) FROM ACME.NPARC0 X WHERE X.CODNPARCAUT = P2.CODNPARCAUT) AS D
      FROM ACME.NPARCAUT P2) L ON L.K = P.CODNPARCAUT
WHERE P.CODEXTERN IS NOT NULL AND L.D IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM ACME.NPARC0 N WHERE N.CODNPARCAUT = P.CODNPARCAUT AND N.DATABORD IS NULL))";

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Timing {
    double Wall = 0;
    double Cpu = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Medians of wall-clock and process CPU time; CPU time is the steadier one on a shared machine.
Timing TimeRuns(int runs, const std::function<int()>& run, int& rows) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const double c = CpuMs();
        rows = run();
        cpu.push_back(CpuMs() - c);
        wall.push_back(t.nsecsElapsed() / 1e6);
    }
    return {Median(wall), Median(cpu)};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int vehicles = 5000, readings = 200, runs = 5;
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("ODOLINK_BENCH_KEEP"));

    QElapsedTimer build;
    build.start();
    {
        TFleetDBWriter writer(dir.path(), QStringLiteral("ACME"));
        const QDate start(2024, 1, 1);
        for (int v = 1; v <= vehicles; ++v)
            writer.AddVehicle(v, QStringLiteral("B-%1-ODO").arg(v),
                              v % 10 == 0 ? std::nullopt
                                          : std::optional<QString>(QStringLiteral("35600%1").arg(v)));
        for (int v = 1; v <= vehicles; ++v)
            for (int r = 0; r < readings; ++r) {
                const bool undated = v % 97 == 0 && r == readings / 2;
                writer.AddReading(v,
                                  undated ? std::nullopt
                                          : std::optional<QString>(start.addDays(r).toString(Qt::ISODate) +
                                                                   QStringLiteral(" %1:%2:00")
                                                                       .arg(8 + v % 10, 2, 10, QChar(u'0'))
                                                                       .arg(v % 60, 2, 10, QChar(u'0'))),
                                  1000 + r * 37 + (v % 13));
            }
        writer.Finish();
    }
    if (!dir.autoRemove())
        std::printf("database kept in %s\n", qPrintable(dir.path()));
    std::printf("built %d vehicles x %d readings in %.0f ms\n", vehicles, readings,
                build.nsecsElapsed() / 1e6);

    TZeltSQLConnection conn;
    conn.SetParams({"DriverID=SQLite", "DataBase=" + dir.path()});
    conn.SetConnected(true);
    conn.SetAdmin("ACME");
    DefaultSQLConnection = &conn;

    int layerRows = 0;
    const Timing layer = TimeRuns(
        runs,
        [&] {
            TZeltDBSQLTable q;
            q.SetConnection(&conn);
            q.SetSQLLines(VehicleQueryLines);
            q.Open();
            return q.RecordCount();
        },
        layerRows);

    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "native");
    db.setDatabaseName(":memory:");
    db.open();
    QSqlQuery attach(db);
    attach.exec(QStringLiteral("ATTACH DATABASE '%1/ACME.sqlite' AS ACME").arg(dir.path()));
    auto native = [&](const char* sql) {
        return [&db, sql] {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(QString::fromLatin1(sql)))
                std::printf("native query failed: %s\n", qPrintable(q.lastError().text()));
            return int(ZeltFetchAll(q).Rows.size());
        };
    };
    int groupedRows = 0, windowRows = 0, seekRows = 0;
    const Timing grouped = TimeRuns(runs, native(NativeGrouped), groupedRows);
    const Timing window = TimeRuns(runs, native(NativeWindow), windowRows);
    const Timing seeks = TimeRuns(runs, native(NativeSeeks), seekRows);

    std::printf("median of %d runs                  wall ms    cpu ms   rows   ratio (cpu)\n", runs);
    auto line = [&](const char* name, const Timing& t, int rows) {
        std::printf("%-34s %8.1f  %8.1f  %5d   %5.2f\n", name, t.Wall, t.Cpu, rows, layer.Cpu / t.Cpu);
    };
    line("query dataset (KEEP rewritten)", layer, layerRows);
    line("native, grouped + correlated max", grouped, groupedRows);
    line("native, window function", window, windowRows);
    line("native, index seeks per vehicle", seeks, seekRows);
    DefaultSQLConnection = nullptr;
    const bool same = layerRows == groupedRows && layerRows == windowRows && layerRows == seekRows;
    if (!same)
        std::printf("row counts differ\n");
    return same ? 0 : 1;
}
