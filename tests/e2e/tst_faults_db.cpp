#include "AppTestMain.h"
#include "PassRun.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <optional>

namespace {

const QDateTime kNow(QDate(2025, 3, 5), QTime(14, 7, 9));

TFleetDescription twoVehicles() {
    TFleetDescription d;
    d.Company = QStringLiteral("ACME");
    const QString yesterday = PassRun::DateText(kNow.addDays(-1));
    d.Vehicles << PassRun::Vehicle(1, QStringLiteral("B-01-ABC"), QStringLiteral("111"), {{yesterday, 1000}})
               << PassRun::Vehicle(2, QStringLiteral("B-02-ABC"), QStringLiteral("222"), {{yesterday, 2000}});
    return d;
}

// Another process's hold on the fleet file, as a second program would take it.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const QString& file) : FName(QUuid::createUuid().toString()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            FHeld = q.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        }
    }
    ~ExclusiveLock() {
        {
            QSqlDatabase db = QSqlDatabase::database(FName);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(FName);
    }
    bool Held() const { return FHeld; }

private:
    QString FName;
    bool FHeld = false;
};

} // namespace

class TestFaultsDb final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void companyNotUsable_data();
    void companyNotUsable();
    void stepErrorKeepsCommittedReadings_data();
    void stepErrorKeepsCommittedReadings();
    void logOnFullDisk();

private:
    SimProcess FSim;
};

void TestFaultsDb::initTestCase() {
    QVERIFY2(FSim.Start(DefaultSimData()), qPrintable(FSim.Error()));
}

void TestFaultsDb::companyNotUsable_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<bool>("withTmpNartObj");
    QTest::newRow("company names a schema with no file") << "NOSUCH" << true;
    QTest::newRow("schema without TMP_NARTOBJ") << "ACME" << false;
}

void TestFaultsDb::companyNotUsable() {
    QFETCH(QString, company);
    QFETCH(bool, withTmpNartObj);
    PassRun run(kNow);
    TFleetDescription fleet = twoVehicles();
    fleet.Options.WithTmpNartObj = withTmpNartObj;
    run.Prepare(fleet, FSim.Url(), {QStringLiteral("NumeFirma=") + company});
    const int calls = int(FSim.Journal().size());
    QVERIFY(run.Run());
    QCOMPARE(run.Messages(), (QStringList{QStringLiteral("Conectat la Oracle "),
                                          QStringLiteral("Nu ma pot conecta la firma : ") + company,
                                          QStringLiteral("Eroare la conectare la Oracle ")}));
    QCOMPARE(FSim.Journal().size(), calls);
    QCOMPARE(run.Readings().size(), 2);
    QVERIFY(!run.Window->isVisible());
    QVERIFY(QFile::exists(run.Window->LogFileName()));
}

void TestFaultsDb::stepErrorKeepsCommittedReadings_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("storedBefore"); // readings the run stored before the error
    QTest::newRow("NPARC0 missing: the vehicle query fails") << "no NPARC0" << 0;
    QTest::newRow("insert rejected by a trigger") << "trigger" << 1;
    QTest::newRow("fleet file locked by another process") << "locked" << 1;
    QTest::newRow("fleet folder and file read-only") << "read-only" << 0;
    QTest::newRow("session lost between two vehicles") << "session lost" << 1;
}

void TestFaultsDb::stepErrorKeepsCommittedReadings() {
    QFETCH(QString, fault);
    QFETCH(int, storedBefore);
    PassRun run(kNow);
    TFleetDescription fleet = twoVehicles();
    fleet.Options.WithNparc0 = fault != u"no NPARC0";
    if (!fleet.Options.WithNparc0)
        for (TFleetVehicle& v : fleet.Vehicles)
            v.Readings.clear();
    run.Prepare(fleet, FSim.Url());
    const QString file = run.FleetFolder + QStringLiteral("/ACME.sqlite");
    if (fault == u"trigger")
        run.Sql(QStringLiteral("CREATE TRIGGER no_more BEFORE INSERT ON NPARC0 WHEN NEW.CODNPARCAUT = 2 "
                               "BEGIN SELECT RAISE(ABORT, 'reading rejected'); END"));
    if (fault == u"session lost") {
        // The driver's connection goes away during the wait, behind the session's back.
        run.Clock.OnWakeRequested = [](const QDateTime&) {
            for (const QString& name : QSqlDatabase::connectionNames())
                QSqlDatabase::database(name, false).close();
        };
    }
    std::unique_ptr<ExclusiveLock> lock;
    if (fault == u"locked") {
        // Taken during the wait after the first stored reading, held until the run is over.
        run.Clock.OnWakeRequested = [&](const QDateTime&) {
            if (!lock)
                lock = std::make_unique<ExclusiveLock>(file);
        };
    }
    std::optional<Unprivileged::Scope> user;
    if (fault == u"read-only") {
        if (!Unprivileged::Available(run.Dir.path()))
            QSKIP("running as root, and no ordinary user to run the pass as can reach the test folder");
        QVERIFY(Unprivileged::HandOver(run.Dir.path()));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(run.FleetFolder, QFile::ReadOwner | QFile::ExeOwner));
        user.emplace();
    }
    QVERIFY(run.Run());
    user.reset();
    if (lock)
        QVERIFY(lock->Held());

    // The error left the pass after its final line; the window stays open until closed by hand.
    QVERIFY(run.Window->isVisible());
    const QStringList m = run.Messages();
    QCOMPARE(m.last(), QStringLiteral("Final Update Kilometri bord"));
    QVERIFY(m.contains(QStringLiteral("Start Update Kilometri bord")));
    QVERIFY(!QFile::exists(run.Window->LogFileName()));
    lock.reset();

    if (fleet.Options.WithNparc0) {
        const QList<Reading> r = run.Readings();
        QCOMPARE(r.size(), 2 + storedBefore);
        // The failing vehicle has no new reading, the one before it keeps its committed one
        // (the read-only file refuses even the first).
        QCOMPARE(run.Readings(2).size(), 1);
        QCOMPARE(run.Readings(1).size(), 1 + storedBefore);
        QCOMPARE(run.Readings(1).last().Km.toLongLong(), 1000 + 12 * storedBefore);
    }
    run.Window->close();
    QVERIFY(QFile::exists(run.Window->LogFileName()));
    QCOMPARE(run.Messages().last(), QStringLiteral("Final Update Kilometri bord"));
}

// Not a database fault, but the pass around it is the same: the log is the only thing lost.
void TestFaultsDb::logOnFullDisk() {
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full");
    PassRun run(kNow);
    run.Prepare(twoVehicles(), FSim.Url());
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), run.Window->LogFileName()));
    QVERIFY(run.Run());
    QVERIFY(!run.Window->isVisible());
    QCOMPARE(QFileInfo(run.Window->LogFileName()).symLinkTarget(), QStringLiteral("/dev/full"));
    QCOMPARE(run.Readings(1).size(), 2);
    QCOMPARE(run.Readings(2).size(), 2);
}

ODOLINK_TEST_MAIN(TestFaultsDb)
#include "tst_faults_db.moc"
