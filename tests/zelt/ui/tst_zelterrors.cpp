#include "ZeltErrors.h"

#include <QTest>

#include <stdexcept>

namespace {

// Runs the handler on one error and returns what the dialog was asked to show.
QString shown(const std::exception& e) {
    QString text;
    TZeltGlobalException handler([&](const QString& t, const QString&) { text = t; });
    handler.OnException(nullptr, e);
    return text;
}

} // namespace

class TestZeltErrors final : public QObject {
    Q_OBJECT
private slots:
    void shownText_data();
    void shownText();
    void strippedTextIsWrittenBack();
    void documentSavingFlagIsUsedOnce();
    void foreignErrorsAreShownToo();
};

void TestZeltErrors::shownText_data() {
    QTest::addColumn<QString>("raised");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain message unchanged") << "Cannot open file \"x\"."
                                             << "Cannot open file \"x\".";
    QTest::newRow("not a server error keeps its prefixes") << "[FireDAC][Phys] Connection lost"
                                                           << "[FireDAC][Phys] Connection lost";
    QTest::newRow("unique constraint through the data layer")
        << "[FireDAC][Phys][Ora] ORA-00001: unique constraint (ACME.PK) violated"
        << "Oracle Error: 1 -  unique constraint (ACME.PK) violated";
    QTest::newRow("server text as our layer raises it")
        << "ORA-00942: table or view does not exist"
        << "Oracle Error: 942 -  table or view does not exist";
    QTest::newRow("lower-case ora") << "ora-00942: x"
                                    << "Oracle Error: 942 -  x";
    QTest::newRow("no colon gives number -1") << "ORA-broken"
                                              << "Oracle Error: -1 - broken";
    QTest::newRow("child record found")
        << "[FireDAC][Phys][Ora] ORA-02292: integrity constraint (ACME.FK_X) violated - child record found"
        << "Exista referinte in baza de date la aceasta inregistrare !\r(ACME.FK_X)";
    QTest::newRow("deadlock")
        << "ORA-00060: deadlock detected while waiting for resource"
        << "A aparut un conflict cu o alta tranzactie la salvarea documentului.\rIncearca din nou";
    QTest::newRow("two-line server message keeps its second line")
        << "ORA-06550: line 1, column 7:\nPLS-00201: identifier 'X' must be declared"
        << "Oracle Error: 6550 -  line 1, column 7:\rPLS-00201: identifier 'X' must be declared";
    QTest::newRow("resource busy") << "ORA-00054: resource busy and acquire with NOWAIT specified"
                                   << "Aceasta inregistrare este blocata si nu poate fi editata ";
    QTest::newRow("application error between bars")
        << "ORA-20999: |Documentul este inchis|\nORA-06512: at \"ACME.TRG\", line 3"
        << "Documentul este inchis";
    QTest::newRow("application error with a separator after the bar")
        << "ORA-20999: | Documentul este inchis|"
        << " Documentul este inchis";
    QTest::newRow("application error without bars") << "ORA-20999: plain"
                                                    << "Oracle Error: 20999 -  plain";
    // Not digits after ORA-: shown as raised, the handler neither fails nor loops.
    QTest::newRow("number that is not digits") << "ORA-ABCDE: odd text"
                                               << "ORA-ABCDE: odd text";
    QTest::newRow("empty number") << "ORA-: nothing"
                                  << "ORA-: nothing";
    QTest::newRow("number out of range") << "ORA-99999999999999: big"
                                         << "ORA-99999999999999: big";
}

void TestZeltErrors::shownText() {
    QFETCH(QString, raised);
    QFETCH(QString, expected);
    QCOMPARE(shown(EZeltError(raised)), expected);
}

void TestZeltErrors::strippedTextIsWrittenBack() {
    EZeltError e(QStringLiteral("[FireDAC][Phys][Ora] ORA-00001: x"));
    shown(e);
    QCOMPARE(e.Message(), QStringLiteral("ORA-00001: x"));
}

void TestZeltErrors::documentSavingFlagIsUsedOnce() {
    ZeltDocumentSaving = true;
    const EZeltError busy(QStringLiteral("ORA-00054: resource busy"));
    QCOMPARE(shown(busy),
             QStringLiteral(
                 "Aceasta salvare incearca sa actualizeze unele documente care acum sunt blocate pentru "
                 "editare"));
    QVERIFY(!ZeltDocumentSaving);
    QCOMPARE(shown(busy), QStringLiteral("Aceasta inregistrare este blocata si nu poate fi editata "));
}

void TestZeltErrors::foreignErrorsAreShownToo() {
    QCOMPARE(shown(std::runtime_error("ORA-00001: from elsewhere")),
             QStringLiteral("Oracle Error: 1 -  from elsewhere"));
}

QTEST_GUILESS_MAIN(TestZeltErrors)
#include "tst_zelterrors.moc"
