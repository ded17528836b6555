#include "ZeltButtons.h"
#include "ZeltFonts.h"
#include "ZeltUi.h"

#include <QDialog>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A window in the main window's colour, as buttons are parented in the program.
std::unique_ptr<QWidget> makeForm() {
    auto form = std::make_unique<QWidget>();
    form->resize(200, 100);
    ZeltSetColorOf(form.get(), clOther);
    return form;
}

// The stop button of the main window.
TZeltTouchButton* makeStopButton(QWidget* form) {
    auto* b = new TZeltTouchButton(form);
    b->SetCaption(QStringLiteral(" X"));
    b->setGeometry(172, 0, 28, 30);
    b->setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), 13, true));
    b->SetFontColor(clWhite);
    return b;
}

int countPixels(const QImage& img, QColor c, QRect area = QRect()) {
    if (area.isNull())
        area = img.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

// Leftmost column holding a pixel of that colour, or -1.
int firstColumnOf(const QImage& img, QColor c) {
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (img.pixelColor(x, y) == c)
                return x;
    return -1;
}

// Rows holding a pixel of that colour, merged into runs.
int rowBandsOf(const QImage& img, QColor c) {
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < img.height(); ++y) {
        bool hit = false;
        for (int x = 0; x < img.width() && !hit; ++x)
            hit = img.pixelColor(x, y) == c;
        if (hit && !inBand)
            ++bands;
        inBand = hit;
    }
    return bands;
}

QImage shot(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void moveMouseOver(QWidget* w) {
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

const QColor kFormColour(46, 121, 167);
const QColor kLitColour(61, 139, 188);
const QColor kDisabledCaption(30, 80, 111);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

} // namespace

class TestZeltButtons final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void kindTable_data();
    void kindTable();
    void kindCaptionAndResultRules_data();
    void kindCaptionAndResultRules();
    void parentColourIsTaken();
    void focusLightsOneButtonAtATime();
    void mouseMovesTheLitStateAndTheFocus();
    void disablingTheLitButtonForgetsIt();
    void keyboardClickFlashesThePressedLook();
    void mouseClickDoesNotFlash();
    void modalResultEndsTheDialog();
    void stopButtonPixels();
    void layoutArithmetic_data();
    void layoutArithmetic();
    void hashBreaksLines_data();
    void hashBreaksLines();
    void acceleratorLetterIsRed();
    void niceButtonAnswersOnlyOnItsFace();
    void niceButtonCaptionColours();
    void menuMarkBelowTag9989();

private:
    std::unique_ptr<ZeltUiSession> FUi;
};

void TestZeltButtons::initTestCase() {
    FUi = std::make_unique<ZeltUiSession>();
    QVERIFY2(ZeltFonts::LookAlikesLoaded(), "fonts-wine is needed for exact pixels");
}

void TestZeltButtons::kindTable_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("result");
    QTest::newRow("mkFirst") << int(mkFirst) << "f" << 0;
    QTest::newRow("mkOK") << int(mkOK) << "O&K" << 1;
    QTest::newRow("mkCancel") << int(mkCancel) << "&Renunt" << 2;
    QTest::newRow("mkYes") << int(mkYes) << "&Da" << 6;
    QTest::newRow("mkNo") << int(mkNo) << "&Nu" << 7;
    QTest::newRow("mkClose") << int(mkClose) << "I&esire" << 2;
    QTest::newRow("mkAll") << int(mkAll) << "&Toate" << 12;
    QTest::newRow("mkMail") << int(mkMail) << "E&Mail" << 0;
    QTest::newRow("mkYesToAll") << int(mkYesToAll) << "Toate=DA" << 14;
    QTest::newRow("mkNoToAll") << int(mkNoToAll) << "Toate=NU" << 13;
    QTest::newRow("mkCustom") << int(mkCustom) << "" << 0;
    QTest::newRow("last kind") << int(mkZar2) << "" << 0;
    QTest::newRow("out of range reads as custom") << 999 << "" << 0;
}

void TestZeltButtons::kindTable() {
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(int, result);
    const TZeltButtonKindInfo& info = ZeltButtonKindInfo(TZeltButtonKind(kind));
    QCOMPARE(info.Caption, caption);
    QCOMPARE(info.ModalResult, result);
}

void TestZeltButtons::kindCaptionAndResultRules_data() {
    QTest::addColumn<QString>("assignedCaption");
    QTest::addColumn<int>("assignedResult");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("result");
    QTest::newRow("nothing assigned: both follow the kind") << QString() << -1 << "&Da" << 6;
    QTest::newRow("caption assigned: kept, result follows") << "Stop" << -1 << "Stop" << 6;
    QTest::newRow("result assigned: kept, caption follows") << QString() << 2 << "&Da" << 2;
    QTest::newRow("both assigned: both kept") << "Stop" << 0 << "Stop" << 0;
}

void TestZeltButtons::kindCaptionAndResultRules() {
    QFETCH(QString, assignedCaption);
    QFETCH(int, assignedResult);
    QFETCH(QString, caption);
    QFETCH(int, result);
    TZeltNiceButton b;
    QCOMPARE(b.Kind(), mkCustom);
    QCOMPARE(b.Caption(), QString());
    if (!assignedCaption.isNull())
        b.SetCaption(assignedCaption);
    if (assignedResult >= 0)
        b.SetModalResult(assignedResult);
    b.SetKind(mkYes);
    QCOMPARE(b.Caption(), caption);
    QCOMPARE(b.ModalResult(), result);
    // A later kind follows the same rules.
    b.SetKind(mkCustom);
    QCOMPARE(b.Caption(), assignedCaption.isNull() ? QString() : assignedCaption);
}

void TestZeltButtons::parentColourIsTaken() {
    auto form = makeForm();
    TZeltTouchButton b(form.get());
    QCOMPARE(b.Color(), clOther);
    QCOMPARE(b.BackColor, clOther);
    QWidget other;
    ZeltSetColorOf(&other, clPaper);
    b.setParent(&other);
    QCOMPARE(b.Color(), clPaper);
    QCOMPARE(b.DisableColor(), DarkenColor(clPaper, 3));
    b.setParent(nullptr);
}

void TestZeltButtons::focusLightsOneButtonAtATime() {
    auto form = makeForm();
    auto* a = new TZeltTouchButton(form.get());
    auto* b = new TZeltTouchButton(form.get());
    b->move(0, 40);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    a->setFocus();
    QVERIFY(a->IsLit());
    QCOMPARE(TZeltNiceButton::LitButton(), a);
    b->setFocus();
    QVERIFY(!a->IsLit());
    QVERIFY(b->IsLit());
    QCOMPARE(TZeltNiceButton::LitButton(), b);
    form.reset();
    QCOMPARE(TZeltNiceButton::LitButton(), nullptr);
}

void TestZeltButtons::mouseMovesTheLitStateAndTheFocus() {
    auto form = makeForm();
    auto* a = new TZeltTouchButton(form.get());
    auto* b = new TZeltTouchButton(form.get());
    b->move(0, 40);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    a->setFocus();
    moveMouseOver(b);
    QVERIFY(b->IsLit());
    QVERIFY(!a->IsLit());
    QVERIFY(b->hasFocus());
    // Leaving a focused button keeps it lit.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(b, &leave);
    QVERIFY(b->IsLit());
}

void TestZeltButtons::disablingTheLitButtonForgetsIt() {
    auto form = makeForm();
    auto* a = new TZeltTouchButton(form.get());
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    moveMouseOver(a);
    QCOMPARE(TZeltNiceButton::LitButton(), a);
    a->setEnabled(false);
    QCOMPARE(TZeltNiceButton::LitButton(), nullptr);
    QVERIFY(!a->IsLit());
}

void TestZeltButtons::keyboardClickFlashesThePressedLook() {
    auto form = makeForm();
    auto* b = makeStopButton(form.get());
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    b->setFocus();
    QSignalSpy clicked(b, &QAbstractButton::clicked);
    QTest::keyClick(b, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(b->ForcedDown());
    QVERIFY(b->IsLit());
    QTRY_VERIFY(!b->ForcedDown());
    QVERIFY(!b->IsMouseDown());
    QCOMPARE(clicked.count(), 1);
}

void TestZeltButtons::mouseClickDoesNotFlash() {
    auto form = makeForm();
    auto* b = makeStopButton(form.get());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QSignalSpy clicked(b, &QAbstractButton::clicked);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!b->ForcedDown());
    QVERIFY(!b->IsMouseDown());
}

void TestZeltButtons::modalResultEndsTheDialog() {
    QDialog dialog;
    auto* yes = new TZeltNiceButton(&dialog, mkYes);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.open();
    yes->click();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialog.result(), 6);
}

void TestZeltButtons::stopButtonPixels() {
    auto form = makeForm();
    auto* b = makeStopButton(form.get());
    QCOMPARE(b->size(), QSize(28, 30));

    QImage img = shot(b);
    QCOMPARE(img.pixelColor(1, 1), kFormColour);
    QCOMPARE(img.pixelColor(0, 0), kFormColour);
    QVERIFY(countPixels(img, kWhite) > 10);
    // The caption " X" begins at x = 5 (its leading blank is drawn too).
    QVERIFY2(firstColumnOf(img, kWhite) >= 5, qPrintable(QString::number(firstColumnOf(img, kWhite))));
    QVERIFY(firstColumnOf(img, kWhite) <= 12);
    QCOMPARE(rowBandsOf(img, kWhite), 1);

    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    b->setFocus();
    img = shot(b);
    QCOMPARE(img.pixelColor(1, 1), kLitColour);
    QCOMPARE(img.pixelColor(0, 0), kLitColour); // the frame
    QCOMPARE(img.pixelColor(27, 29), kLitColour);
    QVERIFY(countPixels(img, kWhite) > 10);

    b->setEnabled(false);
    img = shot(b);
    QCOMPARE(img.pixelColor(1, 1), kFormColour);
    QCOMPARE(countPixels(img, kWhite), 0);
    QVERIFY(countPixels(img, kDisabledCaption) > 10);
}

void TestZeltButtons::layoutArithmetic_data() {
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<bool>("centered");
    QTest::addColumn<bool>("captionOver");
    QTest::addColumn<QPoint>("glyph");
    QTest::addColumn<QPoint>("text");
    // Button 100 x 40, glyph 16 x 16, text 30 x 13.
    QTest::newRow("left, automatic margin")
        << int(blGlyphLeft) << -1 << -1 << false << false << QPoint(18, 12) << QPoint(51, 13);
    QTest::newRow("right, automatic margin")
        << int(blGlyphRight) << -1 << 4 << false << false << QPoint(66, 12) << QPoint(16, 13);
    QTest::newRow("top, automatic margin")
        << int(blGlyphTop) << -1 << 2 << false << false << QPoint(42, 3) << QPoint(35, 24);
    QTest::newRow("bottom, automatic margin")
        << int(blGlyphBottom) << -1 << 2 << false << false << QPoint(42, 21) << QPoint(35, 3);
    QTest::newRow("left, margin 4") << int(blGlyphLeft) << 4 << 2 << false << false << QPoint(4, 12)
                                    << QPoint(48, 13);
    QTest::newRow("right, margin 4") << int(blGlyphRight) << 4 << 2 << false << false << QPoint(62, 12)
                                     << QPoint(4, 13);
    QTest::newRow("top, margin 4") << int(blGlyphTop) << 4 << 2 << false << false << QPoint(42, 4)
                                   << QPoint(35, 26);
    QTest::newRow("bottom, margin 4")
        << int(blGlyphBottom) << 4 << 2 << false << false << QPoint(42, 23) << QPoint(35, 4);
    QTest::newRow("centered") << int(blGlyphLeft) << -1 << -1 << true << false << QPoint(42, 12)
                              << QPoint(35, 13);
    QTest::newRow("caption over the glyph")
        << int(blGlyphLeft) << -1 << -1 << false << true << QPoint(18, 12) << QPoint(35, 13);
}

void TestZeltButtons::layoutArithmetic() {
    QFETCH(int, layout);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(bool, centered);
    QFETCH(bool, captionOver);
    QFETCH(QPoint, glyph);
    QFETCH(QPoint, text);
    TZeltTouchButton b;
    b.SetButtonLayout(TButtonLayout(layout));
    b.SetMargin(margin);
    b.SetSpacing(spacing);
    b.SetCentered(centered);
    b.SetCaptionOver(captionOver);
    const auto l = b.ComputeLayout(QSize(16, 16), QSize(30, 13), QSize(100, 40), false);
    QCOMPARE(l.Glyph, glyph);
    QCOMPARE(l.Text, text);
}

void TestZeltButtons::hashBreaksLines_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("lines");
    QTest::newRow("A#B draws two lines") << "A#B" << 2;
    QTest::newRow("# alone is drawn as #") << "#" << 1;
    QTest::newRow("no hash, one line") << "AB" << 1;
}

void TestZeltButtons::hashBreaksLines() {
    QFETCH(QString, caption);
    QFETCH(int, lines);
    auto form = makeForm();
    auto* b = makeStopButton(form.get());
    b->setGeometry(0, 0, 80, 50);
    b->SetCaption(caption);
    const QImage img = shot(b);
    QCOMPARE(rowBandsOf(img, kWhite), lines);
}

void TestZeltButtons::acceleratorLetterIsRed() {
    auto form = makeForm();
    auto* b = makeStopButton(form.get());
    b->setGeometry(0, 0, 80, 30);
    b->SetCaption(QStringLiteral("&Da"));
    QImage img = shot(b);
    const int red = firstColumnOf(img, kRed);
    QVERIFY(red >= 0);
    QVERIFY(countPixels(img, kWhite) > 0);
    // The red letter comes first, the rest in the font colour.
    QVERIFY(red < firstColumnOf(img, kWhite));

    b->SetCaption(QStringLiteral("&&"));
    img = shot(b);
    QCOMPARE(countPixels(img, kRed), 0);
    QVERIFY(countPixels(img, kWhite) > 0);
}

void TestZeltButtons::niceButtonAnswersOnlyOnItsFace() {
    auto form = makeForm();
    auto* b = new TZeltNiceButton(form.get(), mkYes);
    b->setGeometry(0, 0, 95, 57);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QSignalSpy clicked(b, &QAbstractButton::clicked);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 2));
    QCOMPARE(clicked.count(), 0);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(47, 28));
    QCOMPARE(clicked.count(), 1);
}

void TestZeltButtons::niceButtonCaptionColours() {
    auto form = makeForm();
    auto* b = new TZeltNiceButton(form.get(), mkYes);
    b->setGeometry(0, 0, 95, 57);
    b->setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), 13, true));
    b->SetFontColor(clWhite);
    // Not lit: the font colour with the accelerator letter in red.
    QImage img = shot(b);
    QVERIFY(countPixels(img, kRed) > 5);
    QVERIFY(countPixels(img, kWhite) > 5);
    // Lit: all in red.
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    b->setFocus();
    img = shot(b);
    QVERIFY(countPixels(img, kRed) > 10);
    QCOMPARE(countPixels(img, kWhite), 0);
    // Disabled: in the darkened face colour.
    b->setEnabled(false);
    img = shot(b);
    QCOMPARE(countPixels(img, kRed), 0);
    QVERIFY(countPixels(img, kDisabledCaption) > 10);
}

void TestZeltButtons::menuMarkBelowTag9989() {
    auto form = makeForm();
    auto* b = makeStopButton(form.get());
    b->setGeometry(0, 0, 80, 30);
    b->SetCaption(QStringLiteral("M"));
    const int plain = firstColumnOf(shot(b), kWhite);
    b->SetTag(-9990);
    QImage img = shot(b);
    // A red mark left of the caption, which moves 8 pixels right.
    QVERIFY(countPixels(img, kRed) > 0);
    QVERIFY(firstColumnOf(img, kRed) < firstColumnOf(img, kWhite));
    b->SetTag(-9991);
    img = shot(b);
    QCOMPARE(countPixels(img, kRed), 0);
    // A white mark this time, still left of where the caption went.
    QVERIFY(firstColumnOf(img, kWhite) < plain + 8);
    QVERIFY(firstColumnOf(img, kWhite) > plain - 3);
    b->SetTag(-9989);
    QCOMPARE(firstColumnOf(shot(b), kWhite), plain);
}

QTEST_MAIN(TestZeltButtons)
#include "tst_zeltbuttons.moc"
