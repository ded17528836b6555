#include "AppTestMain.h"
#include "Gauge.h"
#include "PassRun.h"
#include "ZeltButtons.h"
#include "ZeltErrors.h"
#include "ZeltMessageDlg.h"

#include <QApplication>
#include <QTimer>

namespace {

const QDateTime kNow(QDate(2025, 3, 5), QTime(14, 7, 9));

TFleetDescription vehicles(int n) {
    TFleetDescription d;
    d.Company = QStringLiteral("ACME");
    for (int i = 0; i < n; ++i)
        d.Vehicles << PassRun::Vehicle(i + 1, QStringLiteral("B-0%1-ABC").arg(i + 1), QStringLiteral("111"),
                                       {{PassRun::DateText(kNow.addDays(-1)), 1000}});
    return d;
}

// Presses the stop button and answers its question with a key (Enter: Yes, Escape: No).
void pressStop(TDEzeriRAZ& w, Qt::Key answer) {
    QTimer::singleShot(0, qApp, [answer] {
        if (QWidget* dlg = QApplication::activeModalWidget())
            QTest::keyClick(dlg, answer);
    });
    w.ZeltTouchButton1->click();
}

int count(const QStringList& lines, const QString& text) {
    return int(lines.count(text));
}

} // namespace

class TestMainWindowJob final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(FSim.Start(DefaultSimData()), qPrintable(FSim.Error())); }
    void stopAnswers_data();
    void stopAnswers();
    void yesDuringTheWaitEndsItAtOnce();
    void rejectedInsertShowsTheErrorAndStaysOpen();
    void windowColours();

private:
    SimProcess FSim;
};

void TestMainWindowJob::stopAnswers_data() {
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("stopLines");
    QTest::addColumn<int>("readings");
    QTest::newRow("yes before the first tick: one vehicle, then stop")
        << QList<int>{Qt::Key_Return} << 1 << 1;
    QTest::newRow("yes then no before the check: the pass goes on")
        << QList<int>{Qt::Key_Return, Qt::Key_Escape} << 1 << 2;
    QTest::newRow("no alone logs nothing") << QList<int>{Qt::Key_Escape} << 0 << 2;
}

void TestMainWindowJob::stopAnswers() {
    QFETCH(QList<int>, answers);
    QFETCH(int, stopLines);
    QFETCH(int, readings);
    PassRun run(kNow);
    run.Prepare(vehicles(2), FSim.Url());
    run.Window->show();
    for (int key : answers)
        pressStop(*run.Window, Qt::Key(key));
    QCOMPARE(run.Window->StopFortat, answers.last() == Qt::Key_Return);
    QVERIFY(run.Run());
    const QStringList m = run.Messages();
    QCOMPARE(count(m, QStringLiteral("Oprire fortata update ")), stopLines);
    if (stopLines)
        QVERIFY(m.indexOf(QStringLiteral("Oprire fortata update ")) <
                m.indexOf(QStringLiteral("Start Update Kilometri bord")));
    QCOMPARE(run.Readings().size() - 2, readings);
}

void TestMainWindowJob::yesDuringTheWaitEndsItAtOnce() {
    PassRun run(kNow);
    run.Prepare(vehicles(3), FSim.Url());
    QDateTime pressedAt;
    run.Clock.OnWakeRequested = [&](const QDateTime&) {
        if (!pressedAt.isValid()) {
            pressedAt = run.Clock.now();
            QTimer::singleShot(0, run.Window.get(), [&] { pressStop(*run.Window, Qt::Key_Return); });
        }
    };
    QVERIFY(run.Run());
    QVERIFY(pressedAt.isValid());
    QVERIFY(run.Clock.now() <= pressedAt.addSecs(2));
    const QStringList m = run.Messages();
    QCOMPARE(count(m, QStringLiteral("Oprire fortata update ")), 1);
    QCOMPARE(m.last(), QStringLiteral("Final Update Kilometri bord"));
    QCOMPARE(run.Readings().size(), 3 + 1);
    QVERIFY(!run.Window->isVisible());
}

void TestMainWindowJob::rejectedInsertShowsTheErrorAndStaysOpen() {
    TZeltGlobalException handler;
    OdolinkApplication::SetErrorHandler(
        [&](QObject* s, const std::exception& e) { handler.OnException(s, e); });
    QList<TZeltAutoAnswer> shown;
    ZeltSetAutoAnswer(true);
    ZeltSetAutoAnswerObserver([&](const TZeltAutoAnswer& a) { shown << a; });

    PassRun run(kNow);
    run.Prepare(vehicles(1), FSim.Url());
    run.Sql(QStringLiteral(
        "CREATE TRIGGER no_more BEFORE INSERT ON NPARC0 BEGIN SELECT RAISE(ABORT, 'reading rejected'); END"));
    QVERIFY(run.Run());
    ZeltSetAutoAnswer(false);
    ZeltSetAutoAnswerObserver({});
    OdolinkApplication::SetErrorHandler({});

    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].Title, QStringLiteral("Eroare"));
    QCOMPARE(shown[0].Kind, mtError);
    QVERIFY2(shown[0].Message.contains(QStringLiteral("reading rejected")), qPrintable(shown[0].Message));
    QVERIFY(run.Window->isVisible());
    QCOMPARE(run.Messages().last(), QStringLiteral("Final Update Kilometri bord"));
    QVERIFY(!QFile::exists(run.Window->LogFileName()));
    run.Window->close();
    QVERIFY(QFile::exists(run.Window->LogFileName()));
}

void TestMainWindowJob::windowColours() {
    PassRun run(kNow);
    run.Prepare(vehicles(0), FSim.Url());
    run.Window->Timer1->stop();
    run.Window->show();
    run.Window->gauge->SetMaxValue(2);
    run.Window->gauge->SetProgress(1);
    QVERIFY(QTest::qWaitForWindowExposed(run.Window.get()));
    const QImage img = run.Window->grab().toImage();
    const QRect client = run.Window->ClientRect();
    // Title bar in the form colour, with a white caption from x = 50.
    QCOMPARE(QColor(img.pixel(client.left() + 200, client.top() + 2)), QColor(46, 121, 167));
    bool white = false;
    for (int x = client.left() + 50; x < client.left() + 150 && !white; ++x)
        for (int y = client.top(); y < client.top() + 20 && !white; ++y)
            white = QColor(img.pixel(x, y)) == QColor(Qt::white);
    QVERIFY(white);
    // The gauge: half done, bar green on grey.
    const QRect g = run.Window->gauge->geometry();
    QCOMPARE(QColor(img.pixel(g.left() + 3, g.bottom() - 2)), QColor(15, 193, 113));
    QCOMPARE(QColor(img.pixel(g.right() - 3, g.bottom() - 2)), QColor(182, 182, 182));
    // The stop button sits at the top right, unlit on the form colour.
    const QRect b = run.Window->ZeltTouchButton1->geometry();
    QCOMPARE(b.right(), client.right());
    QCOMPARE(b.top(), client.top());
    QCOMPARE(QColor(img.pixel(b.left() + 2, b.top() + 2)), QColor(46, 121, 167));
}

ODOLINK_TEST_MAIN(TestMainWindowJob)
#include "tst_mainwindowjob.moc"
