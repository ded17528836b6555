#include "FleetDB.h"
#include "ZeltDBError.h"
#include "ZeltDBSQLTable.h"
#include "ZeltOraEngine.h"
#include "ZeltSQLConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>

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

// The message of the EZeltDBError that fn raises; fails the test when none is raised.
template <typename Fn> QString ErrorOf(Fn fn) {
    try {
        fn();
    } catch (const EZeltDBError& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
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

    void paramsSetByName() {
        TZeltSQLConnection conn;
        conn.SetParams({"DriverID=Ora"});
        conn.SetParam("DataBase", "ZELTDB2");
        conn.SetParam("User_Name", "OWLFZEJQWV");
        conn.SetParam("database", "OTHER"); // replaces, whatever the letter case
        QCOMPARE(conn.Params(), (QStringList{"DriverID=Ora", "database=OTHER", "User_Name=OWLFZEJQWV"}));
        QCOMPARE(conn.ParamValue("DATABASE"), QString("OTHER"));
        QCOMPARE(conn.DriverName(), QString("Ora"));
        QCOMPARE(conn.ParamValue("Password"), QString());
    }

    void clonePropertiesCopiesSettingsOnly() {
        Fleet fleet;
        TZeltSQLConnection source;
        fleet.Connect(source);
        source.SetAdmin("ACME");
        source.SetAssigned(true);
        source.SetIsInPool(true);
        source.SetLoginPrompt(false);
        source.TxOptions().AutoStart = true;
        source.SetParam("User_Name", "OWLFZEJQWV");

        TZeltSQLConnection copy;
        copy.SetParams({"DriverID=Ora", "Password=secret", "Extra=1"});
        copy.CloneProperties(source);
        QCOMPARE(copy.Admin(), QString("ACME"));
        QVERIFY(copy.Assigned());
        QVERIFY(copy.IsInPool());
        QVERIFY(!copy.LoginPrompt());
        QCOMPARE(copy.DriverName(), QString("SQLite"));
        QCOMPARE(copy.Params(), source.Params());
        QVERIFY(!copy.Connected());
        QVERIFY(!copy.TxOptions().AutoStart);
    }

    void defaultsOfTheComponent() {
        TZeltSQLConnection conn;
        QVERIFY(conn.LoginPrompt());
        QVERIFY(!conn.TxOptions().AutoStart);
        QVERIFY(!conn.TxOptions().AutoStop);
        QVERIFY(!conn.Assigned());
        QVERIFY(!conn.IsInPool());
        QVERIFY(conn.Admin().isEmpty());
        QVERIFY(!conn.Connected());
    }

    void connectionErrors_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("folder that does not exist") << "missing"
                                                    << "does not exist";
        QTest::newRow("folder without a schema") << "empty"
                                                 << "holds no schema";
        QTest::newRow("folder with other files only") << "other"
                                                      << "holds no schema";
        QTest::newRow("schema file that is no database") << "garbage"
                                                         << "file is not a database";
        QTest::newRow("empty DataBase") << "nodatabase"
                                        << "DataBase is empty";
        QTest::newRow("unknown DriverID") << "driver"
                                          << "Unknown DriverID \"Mongo\"";
    }

    void connectionErrors() {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString folder = dir.path();
        QString driver = "SQLite";
        if (setup == "missing")
            folder += "/nowhere";
        if (setup == "other" || setup == "garbage") {
            QFile file(folder + (setup == "other" ? "/ACME.db" : "/ACME.sqlite"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("this is not a database file at all, just text that fills the header page");
        }
        if (setup == "nodatabase")
            folder.clear();
        if (setup == "driver")
            driver = "Mongo";
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        TZeltSQLConnection conn;
        conn.SetParams({"DriverID=" + driver, "DataBase=" + folder});
        QVERIFY2(ErrorOf([&] { conn.SetConnected(true); }).contains(expected),
                 qPrintable(ErrorOf([&] { conn.SetConnected(true); })));
        QVERIFY(!conn.Connected());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 before); // nothing created
        QVERIFY(!QDir(dir.path() + "/nowhere").exists());
    }

    void relativeFolderStartsAtTheExecutable() {
        QTemporaryDir dir(QCoreApplication::applicationDirPath() + "/fleet-XXXXXX");
        TFleetDescription d;
        d.Company = "ACME";
        BuildFleetDatabase(dir.path(), d);
        TZeltSQLConnection conn;
        conn.SetParams(
            {"DriverID=SQLite",
             "DataBase=" + QDir(QCoreApplication::applicationDirPath()).relativeFilePath(dir.path())});
        conn.SetConnected(true);
        QCOMPARE(Select(conn, "SELECT COUNT(*) FROM ACME.TMP_NARTOBJ"), QStringList{"0"});
    }

    void schemaNamesWithoutRegardToCase_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("upper") << "SELECT COUNT(*) FROM ACME.NPARCAUT";
        QTest::newRow("lower") << "select count(*) from acme.nparcaut";
        QTest::newRow("mixed, blank after the dot") << "SELECT COUNT(*) FROM Acme. NParcAut";
        QTest::newRow("CR-only line breaks") << "SELECT\rCOUNT(*)\rFROM\rACME.\rNPARCAUT";
        QTest::newRow("no schema named") << "SELECT COUNT(*) FROM NPARCAUT";
    }

    void schemaNamesWithoutRegardToCase() {
        QFETCH(QString, sql);
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        QCOMPARE(Select(conn, sql), QStringList{"1"});
    }

    void executeDirectReturnsZero_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("changes no row") << "UPDATE ACME.NPARC0 SET KMBORD = 0 WHERE 1 = 0";
        QTest::newRow("changes many rows") << "UPDATE ACME.NPARC0 SET KMBORD = KMBORD + 1";
        QTest::newRow("commit without open work") << "COMMIT";
        QTest::newRow("rollback without open work") << "ROLLBACK";
    }

    void executeDirectReturnsZero() {
        QFETCH(QString, command);
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        QCOMPARE(conn.ExecuteDirect(command), 0);
    }

    void executeDirectSendsMacrosUnchanged() {
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        conn.SetAdmin("ACME");
        const QString error = ErrorOf([&] { conn.ExecuteDirect("DELETE FROM <owner>.NPARC0"); });
        QVERIFY2(error.contains("syntax error"), qPrintable(error));
        QCOMPARE(Select(conn, "SELECT COUNT(*) FROM ACME.NPARC0"), QStringList{"2"});
    }

    void executeDirectWhenNotConnected() {
        TZeltSQLConnection conn;
        QCOMPARE(ErrorOf([&] { conn.ExecuteDirect("COMMIT"); }), QString("Connection is not open"));
    }

    void commitEndsTheTransaction_data() {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("expectedCount");
        QTest::newRow("COMMIT keeps it") << "COMMIT"
                                         << "3";
        QTest::newRow("commit in lower case") << "commit"
                                              << "3";
        QTest::newRow("ROLLBACK drops it") << "ROLLBACK"
                                           << "2";
        QTest::newRow("disconnect drops it") << ""
                                             << "2";
        QTest::newRow("definition commits it, as in Oracle") << "CREATE TABLE ACME.EXTRA (X INTEGER)"
                                                             << "3";
    }

    void commitEndsTheTransaction() {
        QFETCH(QString, end);
        QFETCH(QString, expectedCount);
        Fleet fleet;
        {
            TZeltSQLConnection conn;
            fleet.Connect(conn);
            conn.ExecuteDirect(InsertStatement("ACME.", "17", "05.03.2025 14:07", 1078, 2025, 3));
            if (!end.isEmpty())
                conn.ExecuteDirect(end);
        } // destroyed without COMMIT: rolled back
        TZeltSQLConnection reader;
        fleet.Connect(reader);
        QCOMPARE(Select(reader, "SELECT COUNT(*) FROM ACME.NPARC0"), QStringList{expectedCount});
    }

    void failedStatementKeepsEarlierWork() {
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        conn.ExecuteDirect(InsertStatement("ACME.", "17", "05.03.2025 14:07", 1078, 2025, 3));
        QVERIFY(ErrorOf([&] {
                    conn.ExecuteDirect("INSERT INTO ACME.NPARC0 (CODNPARC0, CODNPARCAUT) VALUES (1, 17)");
                }).contains("UNIQUE constraint failed"));
        conn.ExecuteDirect("COMMIT");
        QCOMPARE(Select(conn, "SELECT COUNT(*) FROM ACME.NPARC0"), QStringList{"3"});
    }

    void sequenceIncrements() {
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        QCOMPARE(Select(conn, "SELECT ACME.SEQ_NPARC0_CODNPARC0.NEXTVAL FROM DUAL"), QStringList{"3"});
        QCOMPARE(Select(conn, "select acme . seq_nparc0_codnparc0 . nextval from dual"), QStringList{"4"});
        QCOMPARE(Select(conn, "SELECT SEQ_NPARC0_CODNPARC0.NEXTVAL FROM DUAL"), QStringList{"5"});
        conn.ExecuteDirect(InsertStatement("ACME.", "17", "05.03.2025 14:07", 1078, 2025, 3));
        conn.ExecuteDirect(InsertStatement("ACME.", "17", "05.03.2025 14:08", 1079, 2025, 3));
        QCOMPARE(Select(conn, "SELECT CODNPARC0 FROM ACME.NPARC0 WHERE KMBORD > 1070 ORDER BY 1"),
                 (QStringList{"6", "7"}));
        QCOMPARE(Select(conn, "SELECT LAST_NUMBER FROM ACME.SEQ_NPARC0_CODNPARC0"), QStringList{"7"});
    }

    void serverErrors_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing table") << "DELETE FROM ACME.NOSUCH"
                                       << "no such table: ACME.NOSUCH";
        QTest::newRow("missing sequence") << "SELECT ACME.NOSEQ.NEXTVAL FROM DUAL"
                                          << "sequence ACME.NOSEQ: no such table";
        QTest::newRow("malformed statement") << "SELEC 1"
                                             << "syntax error";
        QTest::newRow("bad TO_DATE input") << "SELECT TO_DATE('31.02.2025', 'DD.MM.YYYY') FROM DUAL"
                                           << "ORA-01839: date not valid for month specified";
    }

    void serverErrors() {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        const QString error = ErrorOf([&] { conn.ExecuteDirect(command); });
        QVERIFY2(error.contains(expected), qPrintable(error));
    }

    void unsupportedFormsSaySo_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SUM with KEEP")
            << "SELECT SUM(KMBORD) KEEP (DENSE_RANK LAST ORDER BY DATABORD) FROM ACME.NPARC0"
            << "only MIN and MAX";
        QTest::newRow("KEEP without DENSE_RANK")
            << "SELECT MAX(KMBORD) KEEP (RANK LAST ORDER BY DATABORD) FROM ACME.NPARC0"
            << "DENSE_RANK FIRST|LAST";
        QTest::newRow("analytic KEEP") << "SELECT MAX(KMBORD) KEEP (DENSE_RANK LAST ORDER BY DATABORD) OVER "
                                          "(PARTITION BY CODNPARCAUT) FROM ACME.NPARC0"
                                       << "analytic form";
        QTest::newRow("CURRVAL") << "SELECT ACME.SEQ_NPARC0_CODNPARC0.CURRVAL FROM DUAL"
                                 << "CURRVAL";
        QTest::newRow("outer-join operator")
            << "SELECT 1 FROM ACME.NPARCAUT P, ACME.NPARC0 R WHERE R.CODNPARCAUT(+) = P.CODNPARCAUT"
            << "(+)";
        QTest::newRow("TO_DATE element") << "SELECT TO_DATE('05-MAR-2025', 'DD-MON-YYYY') FROM DUAL"
                                         << "TO_DATE format element \"MON\"";
        QTest::newRow("TO_DATE without format") << "SELECT TO_DATE('05.03.2025') FROM DUAL"
                                                << "without a format";
        QTest::newRow("stored procedure") << ""
                                          << "stored procedures";
    }

    void unsupportedFormsSaySo() {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        Fleet fleet;
        TZeltSQLConnection conn;
        fleet.Connect(conn);
        const QString error = command.isEmpty() ? ErrorOf([&] {
            QList<TZeltDBParam> params;
            conn.Engine().CallProc("ACME.P", params);
        })
                                                : ErrorOf([&] { conn.ExecuteDirect(command); });
        QVERIFY2(error.startsWith("Not supported by the embedded engine: "), qPrintable(error));
        QVERIFY2(error.contains(expected), qPrintable(error));
    }

    // --- Oracle engine: what can be checked without an Oracle server ---

    void odbcConnectionString_data() {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("data source name") << "ZELTDB2"
                                          << "KOBRAVETIN"
                                          << "DSN=ZELTDB2;UID=OWLFZEJQWV;PWD=KOBRAVETIN";
        QTest::newRow("connection string")
            << "DRIVER={Oracle 21 ODBC driver};DBQ=//db:1521/ORCL;"
            << "KOBRAVETIN"
            << "DRIVER={Oracle 21 ODBC driver};DBQ=//db:1521/ORCL;UID=OWLFZEJQWV;PWD=KOBRAVETIN";
        QTest::newRow("connection string with its own account") << "DSN=X;uid=SCOTT;Pwd=TIGER"
                                                                << "KOBRAVETIN"
                                                                << "DSN=X;uid=SCOTT;Pwd=TIGER";
        QTest::newRow("password that needs braces") << "ZELTDB2"
                                                    << "a;b}c"
                                                    << "DSN=ZELTDB2;UID=OWLFZEJQWV;PWD={a;b}}c}";
    }

    void odbcConnectionString() {
        QFETCH(QString, database);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        QCOMPARE(ZeltOdbcConnectionString(database, "OWLFZEJQWV", password), expected);
    }

    void oracleDriverChoice_data() {
        QTest::addColumn<QStringList>("available");
        QTest::addColumn<QString>("expected");
        QTest::newRow("OCI preferred") << QStringList{"QOCI", "QODBC"} << "QOCI";
        QTest::newRow("ODBC otherwise") << QStringList{"QODBC"} << "QODBC";
        QTest::newRow("neither") << QStringList{} << "";
    }

    void oracleDriverChoice() {
        QFETCH(QStringList, available);
        QFETCH(QString, expected);
        TZeltOraEngine engine([&](const QString& d) { return available.contains(d); });
        QCOMPARE(engine.ChooseQtDriver(), expected);
    }

    void oracleWithoutDriverSaysWhatToInstall() {
        TZeltOraEngine engine([](const QString&) { return false; });
        const QString error = ErrorOf([&] {
            engine.Connect({"DriverID=Ora", "DataBase=ZELTDB2", "User_Name=U", "Password=P"});
        });
        QCOMPARE(error, ZeltNoOracleDriverText());
        QVERIFY(error.contains("Qt OCI driver plugin"));
        QVERIFY(error.contains("unixODBC and Oracle's ODBC driver"));
        QVERIFY(!engine.Connected());
    }

    void oracleOverOdbcWithoutOracleDriver() {
        if (!QSqlDatabase::isDriverAvailable("QODBC") || QSqlDatabase::isDriverAvailable("QOCI"))
            QSKIP("needs the Qt ODBC driver and no OCI driver");
        TZeltSQLConnection conn;
        conn.SetParams({"DriverID=Ora", "DataBase=ODOLINK_NO_SUCH_DSN", "User_Name=U", "Password=P"});
        const QString error = ErrorOf([&] { conn.SetConnected(true); });
        QVERIFY2(!error.startsWith(u'['), qPrintable(error));
        QVERIFY2(error.contains("install Oracle's ODBC driver"), qPrintable(error));
        QVERIFY(!conn.Connected());
    }

    void driverPrefixesRemoved_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Oracle ODBC") << "[Oracle][ODBC][Ora]ORA-00942: table or view does not exist\n"
                                     << "ORA-00942: table or view does not exist";
        QTest::newRow("driver manager")
            << "[unixODBC][Driver Manager]Data source name not found and no default "
               "driver specified"
            << "Data source name not found and no default driver specified";
        QTest::newRow("every line")
            << "[Oracle][ODBC]ORA-12154: TNS:could not resolve\n[Oracle][ODBC]ORA-00001: x"
            << "ORA-12154: TNS:could not resolve\nORA-00001: x";
        QTest::newRow("no prefix") << "ORA-01017: invalid username/password; logon denied"
                                   << "ORA-01017: invalid username/password; logon denied";
        QTest::newRow("brackets inside the text kept") << "ORA-06550: line 1 [x]"
                                                       << "ORA-06550: line 1 [x]";
    }

    void driverPrefixesRemoved() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ZeltStripDriverPrefixes(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestZeltSQLConnection)
#include "tst_zeltsqlconnection.moc"
