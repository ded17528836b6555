#include "ZeltDBError.h"
#include "ZeltDBSQLTable.h"
#include "ZeltSQLConnection.h"
#include "ZeltSQLiteDialect.h"
#include "ZeltSQLiteEngine.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Schema T with R(G, X, Y): per group G, the rows whose ranking by Y the KEEP cases exercise.
struct RankingSchema {
    QTemporaryDir Dir;
    TZeltSQLConnection Conn;

    RankingSchema() {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "ranking-setup");
            db.setDatabaseName(Dir.filePath("T.sqlite"));
            db.open();
            QSqlQuery q(db);
            q.exec("CREATE TABLE R (G INTEGER, X INTEGER, Y)");
            q.exec("INSERT INTO R VALUES (1, 10, 'a'), (1, 20, 'b'), (1, 30, 'b'), (1, 5, NULL),"
                   " (2, 1, 9), (2, 2, 10), (2, 3, 9.5),"
                   " (3, NULL, 'z'), (3, 7, 'z'), (3, 100, 'y'),"
                   " (4, NULL, 'z'), (NULL, 1, 'q'), (NULL, 2, 'q')");
            db.close();
        }
        QSqlDatabase::removeDatabase("ranking-setup");
        Conn.SetParams({"DriverID=SQLite", "DataBase=" + Dir.path()});
        Conn.SetConnected(true);
    }

    QString Value(const QString& sql) {
        TZeltDBSQLTable q;
        q.SetConnection(&Conn);
        q.SetSQLText(sql);
        q.Open();
        return q.Fields(0).IsNull() ? QStringLiteral("NULL") : q.Fields(0).AsString();
    }
};

} // namespace

class TestZeltSQLiteDialect final : public QObject {
    Q_OBJECT

private slots:
    void keepRanksAsOracleDoes_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("expected");
        // Group 1: (10,'a') (20,'b') (30,'b') (5,NULL).
        QTest::newRow("LAST ascending: NULL sorts last")
            << "MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y)" << 1 << "5";
        QTest::newRow("LAST ascending NULLS FIRST: ties give the maximum")
            << "MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y NULLS FIRST)" << 1 << "30";
        QTest::newRow("MIN over the tied last rows")
            << "MIN(X) KEEP (DENSE_RANK LAST ORDER BY Y ASC NULLS FIRST)" << 1 << "20";
        QTest::newRow("FIRST ascending") << "MIN(X) KEEP (DENSE_RANK FIRST ORDER BY Y)" << 1 << "10";
        QTest::newRow("FIRST descending: NULL sorts first")
            << "MAX(X) KEEP (DENSE_RANK FIRST ORDER BY Y DESC)" << 1 << "5";
        QTest::newRow("FIRST descending NULLS LAST")
            << "MAX(X) KEEP (DENSE_RANK FIRST ORDER BY Y DESC NULLS LAST)" << 1 << "30";
        QTest::newRow("LAST descending") << "MIN(X) KEEP (DENSE_RANK LAST ORDER BY Y DESC)" << 1 << "10";
        QTest::newRow("two ordering keys")
            << "MAX(X) KEEP (DENSE_RANK FIRST ORDER BY Y DESC NULLS LAST, X)" << 1 << "20";
        QTest::newRow("keywords in any case")
            << "max(x) keep (Dense_Rank Last order by y nulls first)" << 1 << "30";
        QTest::newRow("inside an expression")
            << "COALESCE(MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y), 0) + 1" << 1 << "6";
        QTest::newRow("the ordering column itself")
            << "MAX(Y) KEEP (DENSE_RANK LAST ORDER BY Y NULLS FIRST)" << 1 << "b";
        // Group 2: numbers order by value, not as text: (1,9) (2,10) (3,9.5).
        QTest::newRow("numbers by value") << "MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y)" << 2 << "2";
        QTest::newRow("integer and real mixed") << "MIN(X) KEEP (DENSE_RANK FIRST ORDER BY -Y)" << 2 << "2";
        // Group 3: (NULL,'z') (7,'z') (100,'y'); group 4: (NULL,'z').
        QTest::newRow("NULL values among the kept rows are ignored")
            << "MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y)" << 3 << "7";
        QTest::newRow("only NULL values kept") << "MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y)" << 4 << "NULL";
        QTest::newRow("no rows") << "MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y)" << 99 << "NULL";
    }

    void keepRanksAsOracleDoes() {
        QFETCH(QString, expression);
        QFETCH(int, group);
        QFETCH(QString, expected);
        RankingSchema schema;
        QCOMPARE(schema.Value("SELECT " + expression + " AS V FROM T.R WHERE G = " + QString::number(group)),
                 expected);
    }

    // The same grouped KEEP with and without an index on (G, Y): seeks in the index, or the aggregate.
    void keepPerGroupEitherPlan_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("LAST ascending")
            << "MAX(X) KEEP (DENSE_RANK LAST ORDER BY Y)" << QStringList{"=2", "1=5", "2=2", "3=7", "4="};
        QTest::newRow("FIRST ascending")
            << "MIN(X) KEEP (DENSE_RANK FIRST ORDER BY Y)" << QStringList{"=1", "1=10", "2=1", "3=100", "4="};
        QTest::newRow("FIRST descending") << "MAX(X) KEEP (DENSE_RANK FIRST ORDER BY Y DESC)"
                                          << QStringList{"=2", "1=5", "2=2", "3=7", "4="};
        QTest::newRow("LAST NULLS FIRST") << "MIN(X) KEEP (DENSE_RANK LAST ORDER BY Y NULLS FIRST)"
                                          << QStringList{"=1", "1=20", "2=2", "3=7", "4="};
        QTest::newRow("FIRST descending NULLS LAST")
            << "MAX(X) KEEP (DENSE_RANK FIRST ORDER BY Y DESC NULLS LAST)"
            << QStringList{"=2", "1=30", "2=2", "3=7", "4="};
        QTest::newRow("the ordering column itself") << "MIN(R.Y) KEEP (DENSE_RANK LAST ORDER BY R.Y)"
                                                    << QStringList{"=q", "1=", "2=10", "3=z", "4=z"};
    }

    void keepPerGroupEitherPlan() {
        QFETCH(QString, expression);
        QFETCH(QStringList, expected);
        RankingSchema schema;
        for (const bool indexed : {false, true}) {
            if (indexed)
                schema.Conn.ExecuteDirect("CREATE INDEX T.R_G_Y ON R (G, Y)");
            TZeltDBSQLTable q;
            q.SetConnection(&schema.Conn);
            q.SetSQLText("SELECT * FROM (SELECT G, " + expression +
                         " AS V FROM T.R R GROUP BY G) ORDER BY G");
            q.Open();
            QStringList rows;
            for (; !q.Eof(); q.Next())
                rows << q.FieldByName("G").AsString() + "=" + q.FieldByName("V").AsString();
            QCOMPARE(rows, expected);
            QCOMPARE(q.Fields(1).FieldName(), QString("V"));
        }
    }

    void indexProbe_data() {
        QTest::addColumn<QString>("schema");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<bool>("expected");
        QTest::newRow("leading columns in order") << "T" << QStringList{"g", "y"} << true;
        QTest::newRow("first column only") << "T" << QStringList{"G"} << true;
        QTest::newRow("unqualified table") << "" << QStringList{"G", "Y"} << true;
        QTest::newRow("wrong order") << "T" << QStringList{"Y", "G"} << false;
        QTest::newRow("other collation") << "T" << QStringList{"X"} << false;
        QTest::newRow("partial index") << "T" << QStringList{"Y"} << false;
        QTest::newRow("no such schema") << "U" << QStringList{"G"} << false;
    }

    void indexProbe() {
        QFETCH(QString, schema);
        QFETCH(QStringList, columns);
        QFETCH(bool, expected);
        RankingSchema s;
        s.Conn.ExecuteDirect("CREATE INDEX T.R_G_Y_X ON R (G, Y, X)");
        s.Conn.ExecuteDirect("CREATE INDEX T.R_X ON R (X COLLATE NOCASE)");
        s.Conn.ExecuteDirect("CREATE INDEX T.R_Y ON R (Y) WHERE Y IS NOT NULL");
        auto& engine = dynamic_cast<TZeltSQLiteEngine&>(s.Conn.Engine());
        QCOMPARE(engine.HasIndex(schema, "r", columns), expected);
    }

    void seekPlanOnlyForItsShape_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("seeks");
        const QString keep = "MAX(KMBORD) KEEP (Dense_Rank LAST ORDER BY DATABORD)";
        QTest::newRow("the job's shape")
            << "SELECT * FROM (SELECT CODNPARCAUT, " + keep +
                   " KMBORD, MAX(DATABORD) KEEP (DENSE_RANK LAST ORDER BY DATABORD) "
                   "DATABORD FROM ACME.NPARC0 GROUP BY CODNPARCAUT) P0"
            << true;
        QTest::newRow("whole statement")
            << "SELECT CODNPARCAUT, " + keep + " K FROM NPARC0 GROUP BY CODNPARCAUT" << true;
        QTest::newRow("with a WHERE")
            << "SELECT CODNPARCAUT, " + keep + " K FROM NPARC0 WHERE KMBORD > 0 GROUP BY CODNPARCAUT"
            << false;
        QTest::newRow("two ordering keys") << "SELECT CODNPARCAUT, MAX(KMBORD) KEEP (DENSE_RANK LAST ORDER "
                                              "BY DATABORD, KMBORD) K FROM NPARC0 GROUP BY "
                                              "CODNPARCAUT"
                                           << false;
        QTest::newRow("different orders")
            << "SELECT CODNPARCAUT, " + keep +
                   " K, MIN(KMBORD) KEEP (DENSE_RANK FIRST ORDER BY DATABORD) F FROM NPARC0 "
                   "GROUP BY CODNPARCAUT"
            << false;
        QTest::newRow("KEEP without a name")
            << "SELECT CODNPARCAUT, " + keep + " FROM NPARC0 GROUP BY CODNPARCAUT" << false;
        QTest::newRow("another aggregate")
            << "SELECT CODNPARCAUT, " + keep + " K, COUNT(*) N FROM NPARC0 GROUP BY CODNPARCAUT" << false;
        QTest::newRow("a column not grouped")
            << "SELECT CODNPARC0, " + keep + " K FROM NPARC0 GROUP BY CODNPARCAUT" << false;
        QTest::newRow("expression as value") << "SELECT CODNPARCAUT, MAX(KMBORD + 1) KEEP (DENSE_RANK LAST "
                                                "ORDER BY DATABORD) K FROM NPARC0 GROUP BY "
                                                "CODNPARCAUT"
                                             << false;
    }

    void seekPlanOnlyForItsShape() {
        QFETCH(QString, sql);
        QFETCH(bool, seeks);
        QStringList asked;
        const QString withIndex = ZeltSQLiteRewrite(
            sql, [&](const QString& schema, const QString& table, const QStringList& columns) {
                asked << schema + "." + table + "(" + columns.join(",") + ")";
                return true;
            });
        QCOMPARE(withIndex.contains("MATERIALIZED"), seeks);
        QCOMPARE(withIndex.contains("zelt_keep"), !seeks);
        if (seeks)
            QCOMPARE(asked.size(), 1);
        const QString withoutIndex =
            ZeltSQLiteRewrite(sql, [](const QString&, const QString&, const QStringList&) { return false; });
        QVERIFY(withoutIndex.contains("zelt_keep"));
        QVERIFY(!withoutIndex.contains("MATERIALIZED"));
    }

    void textsThatOnlyLookLikeOracleForms_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("string literals untouched")
            << "SELECT 'A.B.NEXTVAL MAX(x) KEEP (DENSE_RANK LAST ORDER BY y) (+)' FROM DUAL"
            << "A.B.NEXTVAL MAX(x) KEEP (DENSE_RANK LAST ORDER BY y) (+)";
        QTest::newRow("a column named KEEP") << "SELECT KEEP FROM (SELECT 3 AS KEEP)"
                                             << "3";
        QTest::newRow("line comment ended by a lone CR") << "SELECT 1 -- one\r+ 1 FROM DUAL"
                                                         << "2";
        QTest::newRow("DUAL") << "SELECT DUMMY FROM DUAL"
                              << "X";
        QTest::newRow("TO_DATE of NULL") << "SELECT TO_DATE(NULL, 'DD.MM.YYYY') FROM DUAL"
                                         << "NULL";
        QTest::newRow("TO_DATE in any case")
            << "select to_date('05.03.2025 14:07', 'dd.mm.yyyy HH24:mi') from dual"
            << "2025-03-05 14:07:00";
    }

    void textsThatOnlyLookLikeOracleForms() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        RankingSchema schema;
        QCOMPARE(schema.Value(sql), expected);
    }

    void toDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the job's insert") << "05.03.2025 14:07"
                                          << "DD.MM.YYYY hh24:MI"
                                          << "2025-03-05 14:07:00";
        QTest::newRow("single digits") << "5.3.2025"
                                       << "DD.MM.YYYY"
                                       << "2025-03-05 00:00:00";
        QTest::newRow("seconds") << "2025-03-05 14:07:09"
                                 << "YYYY-MM-DD HH24:MI:SS"
                                 << "2025-03-05 14:07:09";
        QTest::newRow("12-hour clock") << "05/03/2025 02:07"
                                       << "DD/MM/YYYY HH:MI"
                                       << "2025-03-05 02:07:00";
        QTest::newRow("12 o'clock without meridian is midnight") << "05.03.2025 12:30"
                                                                 << "DD.MM.YYYY HH12:MI"
                                                                 << "2025-03-05 00:30:00";
        QTest::newRow("other punctuation in the input") << "05-03-2025"
                                                        << "DD.MM.YYYY"
                                                        << "2025-03-05 00:00:00";
        QTest::newRow("quoted literal") << "05.03.2025 at 14"
                                        << "DD.MM.YYYY \"at\" HH24"
                                        << "2025-03-05 14:00:00";
        QTest::newRow("missing elements take defaults") << "14:07"
                                                        << "HH24:MI"
                                                        << "2024-07-01 14:07:00";
        QTest::newRow("input shorter than format") << "05.03.2025"
                                                   << "DD.MM.YYYY HH24:MI"
                                                   << "2025-03-05 00:00:00";
        QTest::newRow("leap day") << "29.02.2024"
                                  << "DD.MM.YYYY"
                                  << "2024-02-29 00:00:00";
        QTest::newRow("day too large") << "32.03.2025"
                                       << "DD.MM.YYYY"
                                       << "ORA-01847";
        QTest::newRow("not a valid month") << "05.13.2025"
                                           << "DD.MM.YYYY"
                                           << "ORA-01843";
        QTest::newRow("day not in month") << "29.02.2025"
                                          << "DD.MM.YYYY"
                                          << "ORA-01839";
        QTest::newRow("hour 24") << "05.03.2025 24:00"
                                 << "DD.MM.YYYY HH24:MI"
                                 << "ORA-01850";
        QTest::newRow("minute 60") << "05.03.2025 10:60"
                                   << "DD.MM.YYYY HH24:MI"
                                   << "ORA-01851";
        QTest::newRow("trailing input") << "05.03.2025 x"
                                        << "DD.MM.YYYY"
                                        << "ORA-01830";
        QTest::newRow("letters for digits") << "ab.03.2025"
                                            << "DD.MM.YYYY"
                                            << "ORA-01858";
        QTest::newRow("literal mismatch") << "05.03.2025 on 14"
                                          << "DD.MM.YYYY \"at\" HH24"
                                          << "ORA-01861";
        QTest::newRow("month names") << "05-MAR-2025"
                                     << "DD-MON-YYYY"
                                     << "Not supported by the embedded engine";
    }

    void toDate() {
        QFETCH(QString, text);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QString result;
        try {
            result = ZeltOracleToDate(text, format, QDate(2024, 7, 19));
        } catch (const EZeltDBError& e) {
            result = e.Message();
        }
        QVERIFY2(result.startsWith(expected), qPrintable(result));
    }

    void statementKinds_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("kind");
        QTest::newRow("insert on CR lines")
            << "INSERT \rINTO \rACME. NPARC0(...)" << int(TZeltStatementKind::Change);
        QTest::newRow("select in parentheses")
            << "(SELECT 1) UNION (SELECT 2)" << int(TZeltStatementKind::Query);
        QTest::newRow("commit") << "  Commit  " << int(TZeltStatementKind::Commit);
        QTest::newRow("rollback") << "ROLLBACK" << int(TZeltStatementKind::Rollback);
        QTest::newRow("rollback to savepoint") << "ROLLBACK TO S1" << int(TZeltStatementKind::Other);
        QTest::newRow("definition") << "/* new */ CREATE INDEX I ON T (X)"
                                    << int(TZeltStatementKind::Definition);
    }

    void statementKinds() {
        QFETCH(QString, sql);
        QFETCH(int, kind);
        QCOMPARE(int(ZeltStatementKind(sql)), kind);
    }
};

QTEST_GUILESS_MAIN(TestZeltSQLiteDialect)
#include "tst_zeltsqlitedialect.moc"
