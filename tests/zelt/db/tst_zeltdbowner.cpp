#include "ManualClock.h"
#include "ZeltDBOwner.h"
#include "ZeltSQLConnection.h"

#include <QtTest>

#include <memory>

namespace {

class RecordingDebugWindow final : public IZeltDebugWindow {
public:
    QStringList Lines;
    bool Trace = true;
    bool IsPaused = false;
    void AddLine(const QString& line) override { Lines << line; }
    bool TraceSQL() const override { return Trace; }
    bool Paused() const override { return IsPaused; }
};

// A main window with the job's connection component as a named child.
struct MainWindow {
    QObject Window;
    TZeltSQLConnection* Conn = nullptr;

    explicit MainWindow(const QString& connName = QStringLiteral("ZeltConn")) {
        Conn = new TZeltSQLConnection(&Window);
        Conn->setObjectName(connName);
        SetDBOwnerMainWindow([this] { return &Window; });
    }
    ~MainWindow() { SetDBOwnerMainWindow({}); }
};

struct TraceSwitches {
    RecordingDebugWindow Window;
    ManualClock Clock{QDateTime(QDate(2025, 3, 5), QTime(14, 7, 0))};

    TraceSwitches(bool sqlTrace, bool debugWindow) {
        SQLTraceEnabled = sqlTrace;
        DebugWindowEnabled = debugWindow;
        DebugWindow = &Window;
        SQLStartTime = 0;
        SetSQLTraceClock(&Clock);
    }
    ~TraceSwitches() {
        SQLTraceEnabled = DebugWindowEnabled = false;
        DebugWindow = nullptr;
        SQLStartTime = 0;
        SetSQLTraceClock(nullptr);
    }
};

} // namespace

class TestZeltDBOwner final : public QObject {
    Q_OBJECT

private slots:
    void ownerFromMainWindow() {
        MainWindow main;
        main.Conn->SetAdmin("ACME");
        QCOMPARE(GetDBOwner(), QString("ACME"));
        QCOMPARE(GetDBOwnerPrefix(), QString("ACME."));
        main.Conn->SetAdmin("BETA"); // only the component is cached, not the text
        QCOMPARE(GetDBOwner(), QString("BETA"));
        main.Conn->SetAdmin("");
        QCOMPARE(GetDBOwner(), QString());
        QCOMPARE(GetDBOwnerPrefix(), QString());
    }

    void nameMatchedWithoutRegardToCase() {
        MainWindow main("zELTcONN");
        main.Conn->SetAdmin("ACME");
        QCOMPARE(GetDBOwner(), QString("ACME"));
    }

    void connectionOnceFoundStaysCached() {
        MainWindow main;
        main.Conn->SetAdmin("ACME");
        QCOMPARE(GetDBOwner(), QString("ACME"));
        main.Conn->setObjectName("Renamed");
        auto* other = new TZeltSQLConnection(&main.Window);
        other->setObjectName("zeltconn");
        other->SetAdmin("OTHER");
        QCOMPARE(GetDBOwner(), QString("ACME"));
    }

    void windowWithoutConnectionGivesEmptyOwnerAndLooksAgain() {
        QObject window;
        auto* nested = new QObject(&window);
        auto* deep = new TZeltSQLConnection(nested); // not the window's own child
        deep->setObjectName("ZeltConn");
        deep->SetAdmin("DEEP");
        TZeltSQLConnection fallback;
        fallback.SetAdmin("DEFAULT");
        DefaultSQLConnection = &fallback;
        SetDBOwnerMainWindow([&] { return &window; });
        QCOMPARE(GetDBOwner(), QString());
        QCOMPARE(GetDBOwner(), QString());
        auto* late = new TZeltSQLConnection(&window);
        late->setObjectName("ZeltConn");
        late->SetAdmin("LATE");
        QCOMPARE(GetDBOwner(), QString("LATE"));
        SetDBOwnerMainWindow({});
        DefaultSQLConnection = nullptr;
    }

    void withoutMainWindowTheDefaultConnection() {
        SetDBOwnerMainWindow([]() -> QObject* { return nullptr; });
        QCOMPARE(GetDBOwner(), QString());
        {
            TZeltSQLConnection conn;
            conn.SetAdmin("ACME");
            DefaultSQLConnection = &conn;
            QCOMPARE(GetDBOwner(), QString("ACME"));
            QCOMPARE(GetDBOwnerPrefix(), QString("ACME."));
        }
        QCOMPARE(DefaultSQLConnection, nullptr); // a destroyed default is not read afterwards
        QCOMPARE(GetDBOwner(), QString());
        SetDBOwnerMainWindow({});
    }

    void destroyedWindowIsNotReadAfterwards() {
        auto window = std::make_unique<QObject>();
        auto* conn = new TZeltSQLConnection(window.get());
        conn->setObjectName("ZeltConn");
        conn->SetAdmin("ACME");
        QObject* current = window.get();
        SetDBOwnerMainWindow([&] { return current; });
        QCOMPARE(GetDBOwner(), QString("ACME"));
        window.reset();
        QObject next;
        auto* nextConn = new TZeltSQLConnection(&next);
        nextConn->setObjectName("ZeltConn");
        nextConn->SetAdmin("NEXT");
        current = &next;
        QCOMPARE(GetDBOwner(), QString("NEXT"));
        SetDBOwnerMainWindow({});
    }

    void expandSQLMacros_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("filterEnabled");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("owner and admin in any case")
            << "SELECT * FROM <Owner>.T, <ADMIN>.U, <owner>.V" << false << ""
            << "SELECT * FROM ACME.T, ZELTADMIN.U, ACME.V";
        QTest::newRow("filter off removes the filter macros")
            << "SELECT * FROM T<where_filter>|<and_filter>|<pk_code>" << false << "X = 1"
            << "SELECT * FROM T||";
        QTest::newRow("filter on") << "SELECT * FROM T<WHERE_FILTER>|<And_Filter>|<pk_code>" << true
                                   << "X = 1"
                                   << "SELECT * FROM T WHERE X = 1| AND X = 1|X = 1";
        QTest::newRow("filter on but empty") << "T<where_filter>|<and_filter>|<pk_code>" << true << ""
                                             << "T||";
    }

    void expandSQLMacros() {
        QFETCH(QString, text);
        QFETCH(bool, filterEnabled);
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        MainWindow main;
        main.Conn->SetAdmin("ACME");
        QCOMPARE(ExpandSQLMacros(text, filterEnabled, filter), expected);
    }

    void qualifyWithDBOwner_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare name gets the prefix") << "ACME."
                                                   << "NPARC0"
                                                   << "ACME.NPARC0";
        QTest::newRow("bare name keeps its macros") << "ACME."
                                                    << "<owner>X"
                                                    << "ACME.<owner>X";
        QTest::newRow("text with a dot: macros only") << "ACME."
                                                      << "SELECT 1 FROM <OWNER>NPARC0, <admin>.T"
                                                      << "SELECT 1 FROM ACME.NPARC0, ZELTADMIN.T";
        QTest::newRow("empty prefix") << ""
                                      << "NPARC0"
                                      << "NPARC0";
    }

    void qualifyWithDBOwner() {
        QFETCH(QString, prefix);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(QualifyWithDBOwner(prefix, text), expected);
    }

    void traceSilentUnlessSwitchedOn_data() {
        QTest::addColumn<bool>("sqlTrace");
        QTest::addColumn<bool>("debugWindow");
        QTest::addColumn<bool>("windowTraces");
        QTest::addColumn<bool>("paused");
        QTest::newRow("initial switches") << false << false << true << false;
        QTest::newRow("debug window disabled") << true << false << true << false;
        QTest::newRow("window does not trace SQL") << true << true << false << false;
        QTest::newRow("window paused") << true << true << true << true;
    }

    void traceSilentUnlessSwitchedOn() {
        QFETCH(bool, sqlTrace);
        QFETCH(bool, debugWindow);
        QFETCH(bool, windowTraces);
        QFETCH(bool, paused);
        TraceSwitches trace(sqlTrace, debugWindow);
        trace.Window.Trace = windowTraces;
        trace.Window.IsPaused = paused;
        SQLTraceStart("SELECT 1 FROM DUAL");
        trace.Clock.advance(1500);
        SQLTraceStop("");
        QCOMPARE(trace.Window.Lines, QStringList());
        QCOMPARE(SQLStartTime, 0.0);
    }

    void traceWritesStatementAndElapsedTime() {
        TraceSwitches trace(true, true);
        SQLTraceStart("SELECT 1 FROM DUAL");
        QVERIFY(SQLStartTime > 0);
        trace.Clock.advance(61 * 1000 + 250);
        SQLTraceStop("RESULT = 7");
        QCOMPARE(trace.Window.Lines, (QStringList{"SELECT 1 FROM DUAL", "TIME=01:01:250 RESULT = 7",
                                                  QString(30, QChar(0x00AF))}));
    }

    void traceStopWithoutStartWritesNothing() {
        TraceSwitches trace(true, true);
        SQLTraceStop("");
        QCOMPARE(trace.Window.Lines, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestZeltDBOwner)
#include "tst_zeltdbowner.moc"
