#include "ZeltButtonKinds.h"
#include "ZeltError.h"
#include "ZeltMultiLangDlg.h"
#include "ZeltTexte.h"
#include "ZeltUi.h"
#include "uCustomStrings.h"

#include <QTemporaryDir>

#include <QTest>
#include <memory>

namespace {

std::unique_ptr<TmlText> textOf(const QString& s) {
    auto t = std::make_unique<TmlText>();
    t->SetText(s);
    return t;
}

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("store.txt"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

class TestTextStores final : public QObject {
    Q_OBJECT
private slots:
    void settingTextDropsOneTrailingPair_data();
    void settingTextDropsOneTrailingPair();
    void lines_data();
    void lines();
    void rowCountIgnoresSurroundingBlanks_data();
    void rowCountIgnoresSurroundingBlanks();
    void cells_data();
    void cells();
    void setLinieRewritesEveryLineWithCrLf();
    void setCelulaReplacesBetweenTheQuotes();
    void badWritesRaiseAndChangeNothing();
    void storeDefinitionIsReadWithEscapes();
    void badStoreDefinitionsAreErrors_data();
    void badStoreDefinitionsAreErrors();
    void storesHoldTheTextsTheProgramReads();
    void dialogTitlesAndCaptionsAreCopiesTakenAtStartUp();
    void storesAreFreedInReverseOrder();
};

void TestTextStores::settingTextDropsOneTrailingPair_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("text and pair") << "abc\r\n"
                                   << "abc";
    QTest::newRow("pair alone") << "\r\n"
                                << "";
    QTest::newRow("line feed alone kept") << "\n"
                                          << "\n";
    QTest::newRow("only one pair removed") << "abc\r\n\r\n"
                                           << "abc\r\n";
    QTest::newRow("carriage return kept") << "abc\r"
                                          << "abc\r";
    QTest::newRow("trailing blanks kept") << "Eroare "
                                          << "Eroare ";
}

void TestTextStores::settingTextDropsOneTrailingPair() {
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(textOf(in)->Text(), out);
}

void TestTextStores::lines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("every kind of break") << "a\r\nb\nc\rd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("empty line kept") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("empty text has no line") << "" << QStringList{};
}

void TestTextStores::lines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const auto t = textOf(text);
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(t->GetLinie(i), lines.at(i));
    QCOMPARE(t->GetLinie(int(lines.size())), QString());
    QCOMPARE(t->GetLinie(-1), QString());
}

void TestTextStores::rowCountIgnoresSurroundingBlanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    QTest::newRow("two lines and trailing breaks") << "  'a'\r\n'b'\r\n\r\n " << 2;
    QTest::newRow("blank lines only") << "\r\n  \r\n" << 0;
    QTest::newRow("inner empty line counts") << "a\r\n\r\nb" << 3;
}

void TestTextStores::rowCountIgnoresSurroundingBlanks() {
    QFETCH(QString, text);
    QFETCH(int, rows);
    TmlText t;
    t.SetText(text);
    QCOMPARE(t.GetRowCount(), rows);
}

void TestTextStores::cells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("cell");
    QTest::newRow("first cell") << "'a', 'b'" << 0 << 0 << "a";
    QTest::newRow("second cell") << "'a', 'b'" << 0 << 1 << "b";
    QTest::newRow("past the last cell") << "'a', 'b'" << 0 << 2 << "";
    QTest::newRow("unclosed cell is no cell") << "'a', 'b" << 0 << 1 << "";
    QTest::newRow("second line") << "'a'\r\n'x y', 'z'" << 1 << 0 << "x y";
    QTest::newRow("missing line") << "'a'" << 3 << 0 << "";
}

void TestTextStores::cells() {
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, cell);
    QCOMPARE(textOf(text)->GetCelula(line, column), cell);
}

void TestTextStores::setLinieRewritesEveryLineWithCrLf() {
    TmlText t;
    t.SetText(QStringLiteral("x\ny\rw"));
    QCOMPARE(t.GetColCount(), 0);
    t.SetLinie(1, QStringLiteral("z"));
    QCOMPARE(t.Text(), QStringLiteral("x\r\nz\r\nw\r\n"));
}

void TestTextStores::setCelulaReplacesBetweenTheQuotes() {
    TmlText t;
    t.SetText(QStringLiteral("'a', 'b', 'c'\r\n'd'"));
    QCOMPARE(t.GetColCount(), 3);
    t.SetCelula(0, 1, QStringLiteral("bb b"));
    QCOMPARE(t.Text(), QStringLiteral("'a', 'bb b', 'c'\r\n'd'\r\n"));
    t.SetCelula(1, 0, QString());
    QCOMPARE(t.GetCelula(1, 0), QString());
    QCOMPARE(t.GetCelula(0, 2), QStringLiteral("c"));
}

void TestTextStores::badWritesRaiseAndChangeNothing() {
    TmlText t(nullptr, QStringLiteral("mlLista"));
    t.SetText(QStringLiteral("'a', 'b'"));
    const QString before = t.Text();
    QVERIFY_THROWS_EXCEPTION(EZeltError, t.SetLinie(1, QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(EZeltError, t.SetCelula(0, 2, QStringLiteral("x")));
    // A quote in a cell would shift every later cell of the line.
    QVERIFY_THROWS_EXCEPTION(EZeltError, t.SetCelula(0, 0, QStringLiteral("it's")));
    QCOMPARE(t.Text(), before);
}

void TestTextStores::storeDefinitionIsReadWithEscapes() {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "; comment\n\nmlUnu=Eroare \nmlDoi=a\\r\\nb\\\\c\nmlTrei=x=y\r\n");
    TmlStore store(QStringLiteral("TMlTest"), path);
    QCOMPARE(store.TextCount(), 3);
    QCOMPARE(store.Text(QStringLiteral("mlUnu"))->Text(), QStringLiteral("Eroare "));
    QCOMPARE(store.Text(QStringLiteral("MLDOI"))->Text(), QStringLiteral("a\r\nb\\c"));
    QCOMPARE(store.Text(QStringLiteral("mlTrei"))->Text(), QStringLiteral("x=y"));
    QVERIFY(!store.Find(QStringLiteral("mlPatru")));
    QVERIFY_THROWS_EXCEPTION(EZeltError, store.Text(QStringLiteral("mlPatru")));
}

void TestTextStores::badStoreDefinitionsAreErrors_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("line without a name") << QByteArray("=text\n");
    QTest::newRow("line without =") << QByteArray("mlUnu\n");
    QTest::newRow("name twice") << QByteArray("mlUnu=a\nmlunu=b\n");
    QTest::newRow("unknown escape") << QByteArray("mlUnu=a\\tb\n");
    QTest::newRow("backslash at the end") << QByteArray("mlUnu=a\\\n");
}

void TestTextStores::badStoreDefinitionsAreErrors() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = writeFile(dir, bytes);
    QVERIFY_THROWS_EXCEPTION(EZeltError, TmlStore(QStringLiteral("TMlTest"), path));
}

void TestTextStores::storesHoldTheTextsTheProgramReads() {
    ZeltUiSession ui;
    QVERIFY(TMLCtrl32 && TMl1 && TMl2 && TMl3 && TMl4 && TMl5);
    QCOMPARE(TMl1->mlConfirmare->Text(), QStringLiteral("Confirmare"));
    QCOMPARE(TMLCtrl32->mlEroare->Text(), QStringLiteral("Eroare"));
    QCOMPARE(TMLCtrl32->mlNuMaiAfisaAcestMesaj->Text(), QStringLiteral("nu mai afisa acest mesaj"));
    QCOMPARE(TMLCtrl32->mlToateda->Text(), QStringLiteral("Toate=DA"));
    try {
        TmlStore missing(QStringLiteral("TMl9"), QStringLiteral(":/zelt/texts/Texte9.txt"));
        QFAIL("a store without a definition was made");
    } catch (const EZeltError& e) {
        QCOMPARE(e.Message(), QStringLiteral("Resource TMl9 not found"));
    }
}

void TestTextStores::dialogTitlesAndCaptionsAreCopiesTakenAtStartUp() {
    ZeltUiSession ui;
    QCOMPARE(ZeltDefaultDialogTitle(mtConfirmation), QStringLiteral("Confirma :"));
    QCOMPARE(ZeltDefaultDialogTitle(mtWarning), QStringLiteral("Atentie !"));
    QCOMPARE(ZeltDefaultDialogTitle(mtCustom), QString());
    QCOMPARE(ZeltButtonKindInfo(mkYes).Caption, QStringLiteral("&Da"));
    TMLCtrl32->mlDa->SetText(QStringLiteral("&Yes"));
    TMLCtrl32->mlConfirma1->SetText(QStringLiteral("Confirm"));
    QCOMPARE(ZeltButtonKindInfo(mkYes).Caption, QStringLiteral("&Da"));
    QCOMPARE(ZeltDefaultDialogTitle(mtConfirmation), QStringLiteral("Confirma :"));
}

void TestTextStores::storesAreFreedInReverseOrder() {
    QStringList freed;
    {
        ZeltUiSession ui;
        for (TmlStore* s : std::initializer_list<TmlStore*>{TMLCtrl32, TMl1, TMl2, TMl3, TMl4, TMl5}) {
            const QString name = s->objectName();
            connect(s, &QObject::destroyed, this, [&freed, name] { freed << name; });
        }
    }
    QCOMPARE(freed, (QStringList{"TMl5", "TMl2", "TMl3", "TMl4", "TMl1", "TMLCtrl32"}));
    QVERIFY(!TMLCtrl32 && !TMl1 && !TMl5);
}

QTEST_MAIN(TestTextStores)
#include "tst_textstores.moc"
