// Shows the window framework's painted pieces side by side, for looking at them on a real screen.
#include "ZeltActives.h"
#include "ZeltButtons.h"
#include "ZeltFonts.h"
#include "ZeltTitle.h"
#include "ZeltUi.h"

#include <QApplication>
#include <QTimer>

namespace {

TZeltTitleBar* addBar(QWidget* form, int top, TZeltIconStyle style, const QString& caption) {
    auto* bar = new TZeltTitleBar(form);
    bar->SetAlign(alNone);
    bar->SetIconStyle(style);
    bar->SetCaption(caption);
    bar->setGeometry(0, top, form->width(), style == isMain ? 46 : 31);
    return bar;
}

TZeltTouchButton* addTouch(QWidget* parent, QRect where, const QString& caption) {
    auto* b = new TZeltTouchButton(parent);
    b->setGeometry(where);
    b->SetCaption(caption);
    b->setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), 13, true));
    b->SetFontColor(clWhite);
    return b;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ZeltUiSession ui;

    QWidget form;
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.setWindowTitle(QStringLiteral("GPS Tracking"));
    form.setGeometry(20, 20, 542, 520);
    ZeltSetColorOf(&form, clOther);

    // The main window's top: plain bar with the palette, the information label and the stop button.
    auto* bar = new TZeltTitleBar(&form);
    bar->resize(form.width(), 31);
    bar->SetCaption(QStringLiteral("GPS Tracking"));
    bar->SetStartColor(clOther);
    bar->SetEndColor(clOther);
    bar->SetEditForm(&form);
    auto* label = new TZeltFmtLabel(&form);
    label->setFont(ZeltFonts::FromHeight(QStringLiteral("MS Sans Serif"), 14));
    label->SetFontColor(clWhite);
    label->SetShadowColor(clBlack);
    label->SetTransparent(true);
    label->SetAlignment(taRightJustify);
    label->setGeometry(300, 6, 180, 18);
    label->SetCaption(QStringLiteral("$2%Odolink%$0 @11v1.0"));
    auto* stop = addTouch(&form, QRect(514, 0, 28, 30), QStringLiteral(" X"));

    // More title bar styles.
    auto* horiz = addBar(&form, 40, isHoriz, QStringLiteral("isHoriz: gradient clOther to clActiveTitleBar"));
    horiz->SetEndColor(clActiveTitleBar);
    auto* vert = addBar(&form, 75, isVert, QStringLiteral("isVert, odd Tag: black caption"));
    vert->SetStartColor(ZeltRGB(232, 190, 128));
    vert->SetEndColor(ZeltRGB(240, 111, 104));
    vert->SetTag(5);
    addBar(&form, 110, isDetail, QStringLiteral("isDetail"));
    // The main style paints only aligned to the top of its parent.
    auto* mainHolder = new QWidget(&form);
    mainHolder->setGeometry(0, 145, form.width(), 46);
    auto* mainBar = new TZeltTitleBar(mainHolder);
    mainBar->resize(form.width(), 46);
    mainBar->SetIconStyle(isMain);
    mainBar->SetCaption(QStringLiteral("isMain"));
    auto* greyed = addBar(&form, 195, isNone, QStringLiteral("greyed plain bar"));
    greyed->SetStartColor(clOther);
    greyed->SetEndColor(clOther);
    greyed->SetGrayed(true);

    // Touch buttons: two lines, accelerator, lit, disabled, bordered, badge with a kind glyph, menu mark.
    addTouch(&form, QRect(10, 235, 100, 50), QStringLiteral("Doua#randuri"));
    addTouch(&form, QRect(120, 235, 100, 50), QStringLiteral("&Da"));
    auto* lit = addTouch(&form, QRect(230, 235, 100, 50), QStringLiteral("Aprins"));
    auto* off = addTouch(&form, QRect(340, 235, 90, 50), QStringLiteral("Inactiv"));
    off->setEnabled(false);
    auto* border = addTouch(&form, QRect(440, 235, 92, 50), QStringLiteral("Chenar"));
    border->SetUseBorderColor(true);
    auto* ok = addTouch(&form, QRect(10, 295, 120, 50), QString());
    ok->SetKind(mkOK);
    ok->SetTipBulina(1);
    auto* menu = addTouch(&form, QRect(140, 295, 120, 50), QStringLiteral("Meniu"));
    menu->SetTag(-9990);
    auto* top = addTouch(&form, QRect(270, 295, 120, 50), QStringLiteral("Sus"));
    top->SetKind(mkNext);
    top->SetButtonLayout(blGlyphTop);
    top->SetCaption(QStringLiteral("Glyph sus"));

    // The message dialog's buttons on its panel colour.
    auto* panel = new QWidget(&form);
    panel->setGeometry(0, 360, 542, 160);
    ZeltSetColorOf(panel, ZeltRGB(52, 55, 63));
    int x = 20;
    for (TZeltButtonKind k : {mkYes, mkNo, mkOK, mkCancel}) {
        auto* b = new TZeltNiceButton(panel, k);
        b->setGeometry(x, 20, 95, 57);
        b->setFont(ZeltFonts::FromHeight(QStringLiteral("MS Sans Serif"), 13, true));
        b->SetFontColor(clWhite);
        if (k == mkNo)
            b->setEnabled(false);
        x += 105;
    }
    auto* withGlyph = new TZeltNiceButton(panel, mkCustom);
    withGlyph->setGeometry(20, 90, 200, 57);
    withGlyph->setFont(ZeltFonts::FromHeight(QStringLiteral("MS Sans Serif"), 13, true));
    withGlyph->SetFontColor(clWhite);
    withGlyph->SetCaption(QStringLiteral("&Salveaza"));
    withGlyph->SetGlyph(QPixmap());

    form.show();
    form.activateWindow();
    QTimer::singleShot(300, lit, [lit] { lit->setFocus(); });
    Q_UNUSED(stop);
    // Left running until the caller ends it, or for the given number of milliseconds.
    if (argc > 1)
        QTimer::singleShot(QString::fromLocal8Bit(argv[1]).toInt(), &app, &QApplication::quit);
    return app.exec();
}
