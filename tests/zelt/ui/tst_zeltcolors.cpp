#include "ZeltColors.h"
#include "ZeltError.h"

#include <QApplication>
#include <QPalette>
#include <QSet>
#include <QTest>

namespace {

struct Rgb {
    int r, g, b;
};

Rgb rgb(TColor c) {
    return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)};
}

} // namespace

class TestZeltColors final : public QObject {
    Q_OBJECT
private slots:
    void helpers_data();
    void helpers();
    void shadeBoundary_data();
    void shadeBoundary();
    void systemColoursResolveThroughThePalette();
    void nameLookup_data();
    void nameLookup();
    void valueToNameGivesTheFirstEntry_data();
    void valueToNameGivesTheFirstEntry();
    void tableStartsWithTheFrameworkColoursAndHasNoDuplicateNames();
    void stringForms_data();
    void stringForms();
    void badColourTextIsAnError();
};

void TestZeltColors::helpers_data() {
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::newRow("lighten 200,100,0 by 20") << "lighten" << ZeltRGB(200, 100, 0) << 20 << 222 << 117 << 12;
    QTest::newRow("lighten clOther by 20 (lit stop button)")
        << "lighten" << clOther << 20 << 61 << 139 << 188;
    QTest::newRow("lighten white stays white") << "lighten" << clWhite << 1 << 255 << 255 << 255;
    QTest::newRow("lighten is capped at 255") << "lighten" << ZeltRGB(250, 10, 0) << 2 << 255 << 142 << 127;
    QTest::newRow("darken clOther by 3 (disabled caption)") << "darken" << clOther << 3 << 30 << 80 << 111;
    QTest::newRow("darken clOther by 2 (greyed title)") << "darken" << clOther << 2 << 23 << 60 << 83;
    QTest::newRow("darken black stays black") << "darken" << clBlack << 1 << 0 << 0 << 0;
    QTest::newRow("darken by 1 gives black") << "darken" << ZeltRGB(9, 99, 255) << 1 << 0 << 0 << 0;
}

void TestZeltColors::helpers() {
    QFETCH(QString, op);
    QFETCH(int, colour);
    QFETCH(int, k);
    const TColor c = op == QLatin1String("lighten") ? LightenColor(colour, k) : DarkenColor(colour, k);
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    const Rgb got = rgb(c);
    QCOMPARE(got.r, r);
    QCOMPARE(got.g, g);
    QCOMPARE(got.b, b);
}

void TestZeltColors::shadeBoundary_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("expected");
    QTest::newRow("sum 383 lightens") << ZeltRGB(128, 128, 127) << LightenColor(ZeltRGB(128, 128, 127), 10);
    QTest::newRow("sum 382 darkens") << ZeltRGB(127, 128, 127) << DarkenColor(ZeltRGB(127, 128, 127), 5);
    QTest::newRow("system colour unchanged") << clBtnFace << clBtnFace;
    QTest::newRow("white font lit stays white") << clWhite << clWhite;
}

void TestZeltColors::shadeBoundary() {
    QFETCH(int, colour);
    QFETCH(int, expected);
    QCOMPARE(ShadeColor(colour, 10, 5), expected);
}

void TestZeltColors::systemColoursResolveThroughThePalette() {
    const QPalette saved = QApplication::palette();
    QPalette pal = saved;
    pal.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 20, 30));
    QApplication::setPalette(pal);
    QCOMPARE(ColorToRGB(clHighlight), ZeltRGB(10, 20, 30));
    QCOMPARE(ZeltToQColor(clHighlight), QColor(10, 20, 30));
    // The helpers work on the resolved value.
    QCOMPARE(DarkenColor(clHighlight, 2), ZeltRGB(5, 10, 15));
    QApplication::setPalette(saved);
}

void TestZeltColors::nameLookup_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("value");
    QTest::newRow("clother in other letter case") << "clother" << true << ZeltRGB(46, 121, 167);
    QTest::newRow("CLPAPER") << "CLPAPER" << true << ZeltRGB(182, 182, 182);
    QTest::newRow("system colour") << "clBtnFace" << true << int(0xFF00000F);
    QTest::newRow("clMenuBar is index 30") << "clMenuBar" << true << int(0xFF00001E);
    QTest::newRow("clNone") << "clNone" << true << 0x1FFFFFFF;
    QTest::newRow("clDefault") << "clDefault" << true << 0x20000000;
    QTest::newRow("web colour") << "clWebSteelBlue" << true << ZeltRGB(0x46, 0x82, 0xB4);
    QTest::newRow("unknown") << "clNoSuchColour" << false << 0;
}

void TestZeltColors::nameLookup() {
    QFETCH(QString, name);
    QFETCH(bool, found);
    QFETCH(int, value);
    TColor c = 0;
    QCOMPARE(IdentToColor(name, c), found);
    if (found)
        QCOMPARE(c, value);
}

void TestZeltColors::valueToNameGivesTheFirstEntry_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("name");
    QTest::newRow("clOther") << clOther << "clOther";
    QTest::newRow("index 0 is clSystemColor before clScrollBar") << int(0xFF000000) << "clSystemColor";
    QTest::newRow("black is the basic name, not the web one") << 0 << "clBlack";
    QTest::newRow("aqua before cyan") << ZeltRGB(0, 255, 255) << "clAqua";
}

void TestZeltColors::valueToNameGivesTheFirstEntry() {
    QFETCH(int, value);
    QFETCH(QString, name);
    QString ident;
    QVERIFY(ColorToIdent(value, ident));
    QCOMPARE(ident, name);
}

void TestZeltColors::tableStartsWithTheFrameworkColoursAndHasNoDuplicateNames() {
    const char* own[] = {"clMenuTracking",
                         "clTitleBarEnd",
                         "cl1",
                         "cl2",
                         "clPaper",
                         "cl3",
                         "clGrid",
                         "clEdit",
                         "clOther",
                         "clActiveTitleBar",
                         "clInactiveTitleBar"};
    for (int i = 0; i < 11; ++i)
        QCOMPARE(QLatin1String(ZeltColorNameAt(i).Name), QLatin1String(own[i]));
    QCOMPARE(QLatin1String(ZeltColorNameAt(11).Name), QLatin1String("clSystemColor"));
    QSet<QString> seen;
    for (int i = 0; i < ZeltColorNameCount(); ++i) {
        const QString n = QString::fromLatin1(ZeltColorNameAt(i).Name).toLower();
        QVERIFY2(!seen.contains(n), qPrintable(n));
        seen.insert(n);
    }
}

void TestZeltColors::stringForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("name") << "clPaper" << clPaper;
    QTest::newRow("hex with $") << "$00A7792E" << clOther;
    QTest::newRow("hex system colour") << "$FF00000F" << clBtnFace;
    QTest::newRow("decimal") << "10975534" << clOther;
}

void TestZeltColors::stringForms() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(StringToColor(text), value);
    // And back: a name when there is one, else the hex form, which reads back the same.
    QCOMPARE(StringToColor(ColorToString(value)), value);
}

void TestZeltColors::badColourTextIsAnError() {
    QVERIFY_THROWS_EXCEPTION(EZeltError, StringToColor(QStringLiteral("blueish")));
    QVERIFY_THROWS_EXCEPTION(EZeltError, StringToColor(QStringLiteral("$1FFFFFFFF")));
}

QTEST_MAIN(TestZeltColors)
#include "tst_zeltcolors.moc"
