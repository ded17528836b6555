#include "ZeltFonts.h"
#include "ZeltIniFile.h"
#include "ZeltTitle.h"
#include "ZeltTitlePalette.h"
#include "ZeltUi.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// The main window as far as the bar sees it: 542 wide, in clOther, with a plain bar 31 high.
struct MainForm {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    TZeltTitleBar* bar = nullptr;

    explicit MainForm(bool editForm = true) {
        form->resize(542, 191);
        ZeltSetColorOf(form.get(), clOther);
        bar = new TZeltTitleBar(form.get());
        bar->resize(bar->width(), 31);
        bar->SetCaption(QStringLiteral("GPS Tracking"));
        bar->SetStartColor(clOther);
        bar->SetEndColor(clOther);
        if (editForm)
            bar->SetEditForm(form.get());
    }
    QImage shot() const { return form->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

QColor rgb(TColor c) {
    return ZeltToQColor(c);
}

int countIn(const QImage& img, QColor c, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

int firstColumnOf(const QImage& img, QColor c, QRect area) {
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (img.pixelColor(x, y) == c)
                return x;
    return -1;
}

const QColor kFormColour(46, 121, 167);
const QColor kWhite(255, 255, 255);

} // namespace

class TestZeltTitle final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void plainBarOfTheMainWindow();
    void greyedCaption();
    void greyingNeedsAllowGrayed();
    void captionColourRules_data();
    void captionColourRules();
    void withoutAnEditFormThereIsNoPalette();
    void paletteClicks_data();
    void paletteClicks();
    void rightClickPicksAndSavesTheSwatch();
    void cancelledChooserChangesAndWritesNothing();
    void captionAreaDragsAndAsksForTheSystemMenu();
    void gradientColumns();
    void horizontalBarPaintsTheGradientAndAWhiteLine();
    void verticalGreyedBarWithTag999UsesCl1ToCl2();
    void alignedBarFollowsTheFormWidth();

private:
    std::unique_ptr<ZeltUiSession> FUi;
};

void TestZeltTitle::initTestCase() {
    FUi = std::make_unique<ZeltUiSession>();
    QVERIFY2(ZeltFonts::LookAlikesLoaded(), "fonts-wine is needed for exact pixels");
}

void TestZeltTitle::init() {
    QFile::remove(ZeltDesignIniPath());
    ZeltTitlePaletteReset();
}

void TestZeltTitle::cleanup() {
    QFile::remove(ZeltDesignIniPath());
    ZeltTitlePaletteReset();
}

void TestZeltTitle::plainBarOfTheMainWindow() {
    MainForm m;
    QCOMPARE(m.bar->IconSpace(), 50);
    QCOMPARE(m.bar->CaptionWidth(), 542 - 50 - 15);
    const QImage img = m.shot();
    // No background of its own: the form's colour shows.
    QCOMPARE(img.pixelColor(40, 20), kFormColour);
    QCOMPARE(img.pixelColor(300, 29), kFormColour);
    // The palette: frame and nine swatches.
    QCOMPARE(img.pixelColor(0, 0), QColor(0xAE, 0xAD, 0xAE));
    QCOMPARE(img.pixelColor(25, 25), QColor(0xAE, 0xAD, 0xAE));
    const QColor swatches[3][3] = {{QColor(232, 190, 128), QColor(159, 179, 168), QColor(240, 111, 104)},
                                   {QColor(128, 128, 128), QColor(151, 149, 138), QColor(168, 164, 149)},
                                   {QColor(88, 139, 169), QColor(129, 172, 177), QColor(145, 196, 188)}};
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) {
            const QColor want = swatches[i - 1][j - 1];
            QCOMPARE(img.pixelColor((i - 1) * 8 + 1, (j - 1) * 8 + 1), want);
            QCOMPARE(img.pixelColor(i * 8, j * 8), want);
        }
    }
    // The caption in white from x = 50.
    QCOMPARE(countIn(img, kWhite, QRect(26, 0, 24, 31)), 0);
    const int first = firstColumnOf(img, kWhite, QRect(26, 0, 500, 31));
    QVERIFY2(first >= 50 && first <= 52, qPrintable(QString::number(first)));
    QVERIFY(countIn(img, kWhite, QRect(50, 5, 100, 20)) > 30);
}

void TestZeltTitle::greyedCaption() {
    MainForm m;
    m.bar->SetGrayed(true);
    QVERIFY(m.bar->Grayed());
    const QImage img = m.shot();
    QCOMPARE(countIn(img, kWhite, QRect(0, 0, 542, 31)), 0);
    QVERIFY(countIn(img, QColor(23, 60, 83), QRect(50, 5, 100, 20)) > 30);
    m.bar->SetGrayed(false);
    QVERIFY(countIn(m.shot(), kWhite, QRect(50, 5, 100, 20)) > 30);
}

void TestZeltTitle::greyingNeedsAllowGrayed() {
    MainForm m;
    m.bar->AllowGrayed = false;
    m.bar->SetGrayed(true);
    QVERIFY(!m.bar->Grayed());
}

void TestZeltTitle::captionColourRules_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<bool>("special");
    QTest::addColumn<bool>("grayed");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("firstColumn");
    QTest::newRow("odd tag: black") << 1 << false << false << QColor(0, 0, 0) << 50;
    QTest::newRow("odd tag greyed: shade of the end colour")
        << 3 << false << true << QColor(23, 60, 83) << 50;
    QTest::newRow("tag 999: title colour, shifted") << 999 << false << false << kWhite << 52;
    QTest::newRow("tag 999 greyed: clPaper") << 999 << false << true << QColor(182, 182, 182) << 52;
    QTest::newRow("special: font colour, shifted") << 0 << true << false << QColor(255, 0, 0) << 52;
    QTest::newRow("special greyed: greyed font colour") << 0 << true << true << QColor(0, 255, 0) << 52;
}

void TestZeltTitle::captionColourRules() {
    QFETCH(int, tag);
    QFETCH(bool, special);
    QFETCH(bool, grayed);
    QFETCH(QColor, colour);
    QFETCH(int, firstColumn);
    MainForm m;
    m.bar->SetTag(tag);
    m.bar->Special = special;
    m.bar->FontColor = clRed;
    m.bar->GrayedFontColor = clLime;
    m.bar->SetGrayed(grayed);
    const QImage img = m.shot();
    const QRect caption(26, 0, 516, 31);
    QVERIFY(countIn(img, colour, caption) > 30);
    const int first = firstColumnOf(img, colour, caption);
    QVERIFY2(first >= firstColumn && first <= firstColumn + 2, qPrintable(QString::number(first)));
}

void TestZeltTitle::withoutAnEditFormThereIsNoPalette() {
    MainForm m(false);
    QCOMPARE(m.bar->IconSpace(), 20);
    const QImage img = m.shot();
    QCOMPARE(img.pixelColor(0, 0), kFormColour);
    QCOMPARE(img.pixelColor(5, 5), kFormColour);
    const int first = firstColumnOf(img, kWhite, QRect(0, 0, 542, 31));
    QVERIFY2(first >= 20 && first <= 22, qPrintable(QString::number(first)));
    QTest::mouseClick(m.bar, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(ZeltColorOf(m.form.get()), clOther);
}

void TestZeltTitle::paletteClicks_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("button");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("swatch (1,1) at (5, 5)") << QPoint(5, 5) << int(Qt::LeftButton) << QColor(232, 190, 128);
    QTest::newRow("swatch (2,3) at (13, 20)")
        << QPoint(13, 20) << int(Qt::LeftButton) << QColor(168, 164, 149);
    QTest::newRow("swatch (3,2) at its last pixel")
        << QPoint(24, 16) << int(Qt::LeftButton) << QColor(129, 172, 177);
    QTest::newRow("frame line belongs to no swatch") << QPoint(0, 5) << int(Qt::LeftButton) << kFormColour;
    QTest::newRow("right of the palette, at (30, 5)") << QPoint(30, 5) << int(Qt::LeftButton) << kFormColour;
    QTest::newRow("drag area, at (40, 5)") << QPoint(40, 5) << int(Qt::LeftButton) << kFormColour;
    QTest::newRow("middle button does nothing") << QPoint(5, 5) << int(Qt::MiddleButton) << kFormColour;
}

void TestZeltTitle::paletteClicks() {
    QFETCH(QPoint, at);
    QFETCH(int, button);
    QFETCH(QColor, colour);
    MainForm m;
    QSignalSpy changed(m.bar, &TZeltTitleBar::EditFormColorChanged);
    QTest::mouseClick(m.bar, Qt::MouseButton(button), {}, at);
    QCOMPARE(ZeltToQColor(ZeltColorOf(m.form.get())), colour);
    const bool recoloured = colour != kFormColour;
    QCOMPARE(changed.count(), recoloured ? 1 : 0);
    QCOMPARE(m.form->width(), recoloured ? 543 : 542);
    if (recoloured)
        QCOMPARE(m.shot().pixelColor(300, 100), colour);
}

void TestZeltTitle::rightClickPicksAndSavesTheSwatch() {
    MainForm m;
    TColor offered = -1;
    m.bar->ColorChooser = [&](TColor c) {
        offered = c;
        return ZeltRGB(1, 2, 3);
    };
    QTest::mouseClick(m.bar, Qt::RightButton, {}, QPoint(13, 20));
    QCOMPARE(offered, ZeltRGB(168, 164, 149));
    QCOMPARE(ZeltTitlePaletteColor(2, 3), ZeltRGB(1, 2, 3));
    QCOMPARE(ZeltColorOf(m.form.get()), ZeltRGB(1, 2, 3));
    const ZeltIniFile ini = ZeltIniFile::fromFile(ZeltDesignIniPath());
    QCOMPARE(ini.ReadString(QStringLiteral("ZLT_FORMS_PALETTE"), QStringLiteral("2.3")),
             QString::number(ZeltRGB(1, 2, 3)));
    // The swatch shows its new colour.
    QCOMPARE(m.shot().pixelColor(12, 20), QColor(1, 2, 3));
}

void TestZeltTitle::cancelledChooserChangesAndWritesNothing() {
    MainForm m;
    m.bar->ColorChooser = [](TColor c) { return c; };
    QTest::mouseClick(m.bar, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(ZeltColorOf(m.form.get()), clOther);
    QCOMPARE(ZeltTitlePaletteColor(1, 1), ZeltRGB(232, 190, 128));
    QVERIFY(!QFile::exists(ZeltDesignIniPath()));
}

void TestZeltTitle::captionAreaDragsAndAsksForTheSystemMenu() {
    MainForm m;
    m.form->move(100, 100);
    m.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m.form.get()));
    QSignalSpy menu(m.bar, &TZeltTitleBar::SystemMenuRequested);
    QTest::mouseClick(m.bar, Qt::RightButton, {}, QPoint(40, 5));
    QCOMPARE(menu.count(), 1);
    QTest::mouseClick(m.bar, Qt::RightButton, {}, QPoint(30, 5));
    QCOMPARE(menu.count(), 1);

    const QPoint start = m.form->pos();
    QTest::mousePress(m.bar, Qt::LeftButton, {}, QPoint(40, 5));
    QTest::mouseMove(m.bar, QPoint(60, 15));
    QTest::mouseRelease(m.bar, Qt::LeftButton, {}, QPoint(60, 15));
    QTRY_COMPARE(m.form->pos(), start + QPoint(20, 10));
    QCOMPARE(ZeltColorOf(m.form.get()), clOther);
}

void TestZeltTitle::gradientColumns() {
    const QList<TColor> g = TZeltTitleBar::GradientColors(ZeltRGB(0, 0, 0), ZeltRGB(255, 100, 10), 10);
    const int reds[] = {0, 25, 51, 76, 102, 127, 153, 178, 204, 229};
    QCOMPARE(g.size(), 10);
    for (int x = 0; x < 10; ++x)
        QCOMPARE(g.at(x), ZeltRGB(reds[x], 10 * x, x));
    // Falling components truncate toward zero as well.
    const QList<TColor> down = TZeltTitleBar::GradientColors(ZeltRGB(10, 0, 0), ZeltRGB(0, 0, 0), 4);
    QCOMPARE(down.at(1), ZeltRGB(7, 0, 0));
}

void TestZeltTitle::horizontalBarPaintsTheGradientAndAWhiteLine() {
    MainForm m;
    m.bar->SetCaption(QString());
    m.bar->SetIconStyle(isHoriz);
    m.bar->SetStartColor(ZeltRGB(0, 0, 0));
    m.bar->SetEndColor(ZeltRGB(255, 100, 10));
    const QImage img = m.shot();
    const QList<TColor> g = TZeltTitleBar::GradientColors(ZeltRGB(0, 0, 0), ZeltRGB(255, 100, 10), 542);
    for (int x : {0, 1, 100, 271, 540, 541})
        QCOMPARE(img.pixelColor(x, 10), rgb(g.at(x)));
    QCOMPARE(img.pixelColor(200, 30), kWhite);
    m.bar->SetGrayed(true);
    QCOMPARE(m.shot().pixelColor(10, 10), rgb(ColorToRGB(clInactiveCaption)));
}

void TestZeltTitle::verticalGreyedBarWithTag999UsesCl1ToCl2() {
    MainForm m;
    m.bar->SetCaption(QString());
    m.bar->SetIconStyle(isVert);
    m.bar->SetStartColor(clRed);
    m.bar->SetEndColor(clBlue);
    m.bar->SetTag(999);
    m.bar->SetGrayed(true);
    const QImage img = m.shot();
    const QList<TColor> g = TZeltTitleBar::GradientColors(cl1, cl2, 31);
    QCOMPARE(img.pixelColor(100, 0), rgb(g.at(0)));
    QCOMPARE(img.pixelColor(100, 29), rgb(g.at(29)));
    // 999 has bit 2 set: the white bottom line.
    QCOMPARE(img.pixelColor(100, 30), kWhite);
    m.bar->SetTag(1000);
    QCOMPARE(m.shot().pixelColor(100, 30), rgb(ColorToRGB(clInactiveCaption)));
}

void TestZeltTitle::alignedBarFollowsTheFormWidth() {
    MainForm m;
    m.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m.form.get()));
    m.form->resize(700, 191);
    QCOMPARE(m.bar->width(), 700);
    QCOMPARE(m.bar->CaptionWidth(), 700 - 50 - 15);
}

QTEST_MAIN(TestZeltTitle)
#include "tst_zelttitle.moc"
