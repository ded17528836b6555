#include "ZeltActives.h"
#include "ZeltFonts.h"
#include "ZeltLabelMarkup.h"
#include "ZeltUi.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <memory>

namespace {

QFont labelFont() {
    return ZeltFonts::FromHeight(QStringLiteral("MS Sans Serif"), 14);
}

// Lines in brackets, runs separated by commas; after a run's text, in braces, what differs from
// the label's font: b(old), i(talic), sh(adow), px=<pixel size>, c=<red,green,blue or system>.
QString describe(const QList<TZeltMarkupLine>& lines) {
    const QFont base = labelFont();
    QStringList out;
    for (const TZeltMarkupLine& l : lines) {
        QStringList runs;
        for (const TZeltMarkupRun& r : l.Runs) {
            QStringList marks;
            if (r.Font.bold())
                marks << "b";
            if (r.Font.italic())
                marks << "i";
            if (r.Shadow)
                marks << "sh";
            if (r.Font.pixelSize() != base.pixelSize())
                marks << QStringLiteral("px=%1").arg(r.Font.pixelSize());
            if (r.Color != clWhite) {
                if (r.Color < 0)
                    marks << QStringLiteral("c=sys%1").arg(r.Color & 0xFF);
                else
                    marks << QStringLiteral("c=%1,%2,%3")
                                 .arg(r.Color & 0xFF)
                                 .arg((r.Color >> 8) & 0xFF)
                                 .arg((r.Color >> 16) & 0xFF);
            }
            runs << r.Text + (marks.isEmpty() ? QString() : "{" + marks.join(',') + "}");
        }
        out << "[" + runs.join(", ") + "]";
    }
    return out.join(QString());
}

struct Parent {
    std::unique_ptr<QWidget> widget = std::make_unique<QWidget>();
    TZeltFmtLabel* label = nullptr;
    Parent() {
        widget->resize(300, 100);
        ZeltSetColorOf(widget.get(), clOther);
        label = new TZeltFmtLabel(widget.get());
        label->setFont(labelFont());
        label->SetFontColor(clWhite);
        label->SetShadowColor(clBlack);
        label->SetTransparent(true);
        label->setGeometry(10, 10, 1, 1);
    }
    QImage shot() const { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

int countIn(const QImage& img, QColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

} // namespace

class TestZeltLabel final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void markup_data();
    void markup();
    void colourTableEnds();
    void growsToTheText_data();
    void growsToTheText();
    void neverShrinks();
    void placement_data();
    void placement();
    void shadowIsDrawnOnePixelRightAndDown();
    void rightAlignedLineEndsAtTheRightEdge();
    void emptyCaptionDrawsNothing();
    void loadingTurnsNineAndTenPointsIntoEight_data();
    void loadingTurnsNineAndTenPointsIntoEight();

private:
    std::unique_ptr<ZeltUiSession> FUi;
};

void TestZeltLabel::initTestCase() {
    FUi = std::make_unique<ZeltUiSession>();
}

void TestZeltLabel::markup_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parsed");
    const int px14 = ZeltFonts::PointsToPixels(14);
    const int px10 = ZeltFonts::PointsToPixels(10);
    QTest::newRow("plain") << "abc"
                           << "[abc]";
    QTest::newRow("a%b%c: shadow on b") << "a%b%c"
                                        << "[a, b{sh}, c]";
    QTest::newRow("escaped at sign and 5") << "\\@5"
                                           << "[@5]";
    QTest::newRow("escaped percent, dollar, ampersand") << "\\%\\$\\&x"
                                                        << "[%$&x]";
    QTest::newRow("backslash before other text") << "a\\b"
                                                 << "[a\\b]";
    QTest::newRow("backslash last") << "a\\"
                                    << "[a\\]";
    QTest::newRow("&14Big at 14 points") << "&14Big" << QStringLiteral("[Big{px=%1}]").arg(px14);
    QTest::newRow("second line keeps bold") << "x$2\ry"
                                            << "[x, {b}][y{b}]";
    QTest::newRow("styles 1 and 3") << "$1a$3b$0c"
                                    << "[a{i}, b{b,i}, c]";
    QTest::newRow("other style numbers leave the style") << "$2a$7b"
                                                         << "[ab{b}]";
    QTest::newRow("code without digits changes nothing") << "a$b&c@d"
                                                         << "[abcd]";
    QTest::newRow("changes before text change the run")
        << "$3&10%@9z" << QStringLiteral("[z{b,i,sh,px=%1,c=255,0,0}]").arg(px10);
    QTest::newRow("all digits belong to the code") << "@12345x"
                                                   << "[x]";
    QTest::newRow("last colour of the table") << "@56x"
                                              << "[x{c=240,111,104}]";
    QTest::newRow("a system colour of the table") << "@16x"
                                                  << "[x{c=sys0}]";
    QTest::newRow("colour past the table is not read") << "@9r@57x"
                                                       << "[rx{c=255,0,0}]";
    QTest::newRow("size 0 is ignored") << "&0x"
                                       << "[x]";
    QTest::newRow("huge number is ignored") << "&99999999999999999999x"
                                            << "[x]";
    QTest::newRow("empty lines") << "\r\r"
                                 << "[][][]";
}

void TestZeltLabel::markup() {
    QFETCH(QString, caption);
    QFETCH(QString, parsed);
    QCOMPARE(describe(ZeltParseLabelMarkup(caption, labelFont(), clWhite)), parsed);
}

void TestZeltLabel::colourTableEnds() {
    TColor c = 0;
    QVERIFY(ZeltMarkupColor(0, c));
    QCOMPARE(c, clBlack);
    QVERIFY(ZeltMarkupColor(36, c));
    QCOMPARE(c, clBtnHighlight);
    QVERIFY(!ZeltMarkupColor(57, c));
    QVERIFY(!ZeltMarkupColor(-1, c));
}

void TestZeltLabel::growsToTheText_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("sumOfWidths");
    QTest::newRow("centred: the wider line") << int(taCenter) << false;
    QTest::newRow("left: the sum of both lines") << int(taLeftJustify) << true;
    QTest::newRow("right: the sum of both lines") << int(taRightJustify) << true;
}

void TestZeltLabel::growsToTheText() {
    QFETCH(int, alignment);
    QFETCH(bool, sumOfWidths);
    Parent p;
    p.label->SetAlignment(TAlignment(alignment));
    p.label->SetCaption(QStringLiteral("abc\rabcdef"));
    p.label->Arrange();
    const QFontMetrics fm(labelFont());
    const int a = fm.horizontalAdvance(QStringLiteral("abc"));
    const int b = fm.horizontalAdvance(QStringLiteral("abcdef"));
    QCOMPARE(p.label->width(), sumOfWidths ? a + b : b);
    QCOMPARE(p.label->height(), 2 * fm.height());
}

void TestZeltLabel::neverShrinks() {
    Parent p;
    p.label->setGeometry(10, 10, 200, 50);
    p.label->SetCaption(QStringLiteral("x"));
    p.label->Arrange();
    QCOMPARE(p.label->size(), QSize(200, 50));
}

void TestZeltLabel::placement_data() {
    QTest::addColumn<int>("align");
    QTest::addColumn<QPoint>("topLeft");
    // A 40 x 20 label in a 300 x 100 parent, first at (10, 10).
    QTest::newRow("none") << int(alMNone) << QPoint(10, 10);
    QTest::newRow("top") << int(alMTop) << QPoint(10, 1);
    QTest::newRow("bottom") << int(alMBottom) << QPoint(10, 79);
    QTest::newRow("left") << int(alMLeft) << QPoint(1, 10);
    QTest::newRow("right") << int(alMRight) << QPoint(258, 10);
    QTest::newRow("centre") << int(alMCenter) << QPoint(130, 40);
}

void TestZeltLabel::placement() {
    QFETCH(int, align);
    QFETCH(QPoint, topLeft);
    Parent p;
    p.label->setGeometry(10, 10, 40, 20);
    p.label->SetCaption(QStringLiteral("i"));
    p.label->SetAlign(TZeltAlign(align));
    p.label->Arrange();
    QCOMPARE(p.label->pos(), topLeft);
    if (align == alMRight) {
        p.widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(p.widget.get()));
        p.widget->resize(400, 100);
        QCOMPARE(p.label->x(), 358);
    }
}

void TestZeltLabel::shadowIsDrawnOnePixelRightAndDown() {
    Parent p;
    p.label->SetCaption(QStringLiteral("%I%"));
    p.label->Arrange();
    const QImage img = p.label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage parentImg = p.shot();
    QVERIFY(countIn(parentImg, QColor(255, 255, 255)) > 5);
    // Every white pixel of the I stem has its black shadow at (+1, +1), unless covered by white.
    int shadows = 0;
    for (int y = 0; y + 1 < img.height(); ++y)
        for (int x = 0; x + 1 < img.width(); ++x)
            if (img.pixelColor(x, y) == Qt::white && img.pixelColor(x + 1, y + 1) == Qt::black)
                ++shadows;
    QVERIFY(shadows > 3);

    p.label->SetCaption(QStringLiteral("I"));
    QCOMPARE(countIn(p.shot(), QColor(0, 0, 0)), 0);
}

void TestZeltLabel::rightAlignedLineEndsAtTheRightEdge() {
    Parent p;
    p.label->setGeometry(10, 10, 200, 20);
    p.label->SetAlignment(taRightJustify);
    p.label->SetCaption(QStringLiteral("WWW"));
    const QImage img = p.label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int rightmost = -1;
    int leftmost = img.width();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == Qt::white) {
                rightmost = std::max(rightmost, x);
                leftmost = std::min(leftmost, x);
            }
    QVERIFY(rightmost >= 195);
    QVERIFY(leftmost > 150);
}

void TestZeltLabel::emptyCaptionDrawsNothing() {
    Parent p;
    p.label->setGeometry(10, 10, 60, 20);
    QCOMPARE(countIn(p.shot(), QColor(255, 255, 255)), 0);
    QCOMPARE(p.label->size(), QSize(60, 20));
}

void TestZeltLabel::loadingTurnsNineAndTenPointsIntoEight_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("after");
    QTest::newRow("9 points") << 9 << 8;
    QTest::newRow("10 points") << 10 << 8;
    QTest::newRow("11 points stay") << 11 << 11;
    QTest::newRow("8 points stay") << 8 << 8;
}

void TestZeltLabel::loadingTurnsNineAndTenPointsIntoEight() {
    QFETCH(int, points);
    QFETCH(int, after);
    TZeltFmtLabel label;
    label.setFont(ZeltFonts::FromPoints(QStringLiteral("MS Sans Serif"), points));
    label.Loaded();
    QCOMPARE(label.font().pixelSize(), ZeltFonts::PointsToPixels(after));
}

QTEST_MAIN(TestZeltLabel)
#include "tst_zeltlabel.moc"
