#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

class QWidget;

// A colour as the window definitions store it: 0x00BBGGRR for a plain colour; a negative value
// (0xFF000000 + index) names a system colour, resolved through the application palette.
using TColor = qint32;

constexpr TColor ZeltRGB(int r, int g, int b) {
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr TColor ZeltSystemColor(int index) {
    return TColor(0xFF000000u + unsigned(index));
}

// The framework's own colours.
inline constexpr TColor clMenuTracking = 0x3686FE;
inline constexpr TColor clTitleBarEnd = 0x1ECDF9;
inline constexpr TColor cl1 = 0x9C9C9D;
inline constexpr TColor cl2 = 0xA9A9A9;
inline constexpr TColor clPaper = 0xB6B6B6;
inline constexpr TColor cl3 = 0xCFCFCF;
inline constexpr TColor clGrid = 0xDFDFDF;
inline constexpr TColor clEdit = 0xEFEFEF;
inline constexpr TColor clOther = 0xA7792E;
inline constexpr TColor clActiveTitleBar = 0x8A4507;
inline constexpr TColor clInactiveTitleBar = 0x9A9A9A;

// System colours.
inline constexpr TColor clSystemColor = ZeltSystemColor(0);
inline constexpr TColor clScrollBar = ZeltSystemColor(0);
inline constexpr TColor clBackground = ZeltSystemColor(1);
inline constexpr TColor clActiveCaption = ZeltSystemColor(2);
inline constexpr TColor clInactiveCaption = ZeltSystemColor(3);
inline constexpr TColor clMenu = ZeltSystemColor(4);
inline constexpr TColor clWindow = ZeltSystemColor(5);
inline constexpr TColor clWindowFrame = ZeltSystemColor(6);
inline constexpr TColor clMenuText = ZeltSystemColor(7);
inline constexpr TColor clWindowText = ZeltSystemColor(8);
inline constexpr TColor clCaptionText = ZeltSystemColor(9);
inline constexpr TColor clActiveBorder = ZeltSystemColor(10);
inline constexpr TColor clInactiveBorder = ZeltSystemColor(11);
inline constexpr TColor clAppWorkSpace = ZeltSystemColor(12);
inline constexpr TColor clHighlight = ZeltSystemColor(13);
inline constexpr TColor clHighlightText = ZeltSystemColor(14);
inline constexpr TColor clBtnFace = ZeltSystemColor(15);
inline constexpr TColor clBtnShadow = ZeltSystemColor(16);
inline constexpr TColor clGrayText = ZeltSystemColor(17);
inline constexpr TColor clBtnText = ZeltSystemColor(18);
inline constexpr TColor clInactiveCaptionText = ZeltSystemColor(19);
inline constexpr TColor clBtnHighlight = ZeltSystemColor(20);
inline constexpr TColor cl3DDkShadow = ZeltSystemColor(21);
inline constexpr TColor cl3DLight = ZeltSystemColor(22);
inline constexpr TColor clInfoText = ZeltSystemColor(23);
inline constexpr TColor clInfoBk = ZeltSystemColor(24);
inline constexpr TColor clHotLight = ZeltSystemColor(26);
inline constexpr TColor clGradientActiveCaption = ZeltSystemColor(27);
inline constexpr TColor clGradientInactiveCaption = ZeltSystemColor(28);
inline constexpr TColor clMenuHighlight = ZeltSystemColor(29);
inline constexpr TColor clMenuBar = ZeltSystemColor(30);

// Basic colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The colour of tool tips, set at start-up.
inline constexpr TColor ZeltHintColor = 0xE6E2D9;

// The named-colour table: the framework's eleven colours first, then the platform's standard names.
struct TZeltColorName {
    TColor Value;
    const char* Name;
};
int ZeltColorNameCount();
const TZeltColorName& ZeltColorNameAt(int index);

// Name lookup ignores letter case.
bool IdentToColor(const QString& ident, TColor& color);
// The first name with that value.
bool ColorToIdent(TColor color, QString& ident);
// A name from the table, else the value as "$" and eight hex digits (the stored form).
QString ColorToString(TColor color);
// A name from the table or a number ("$" or "0x" for hex, else decimal); raises EZeltError for
// any other text.
TColor StringToColor(const QString& text);

// A system colour becomes its current value from the application palette; any other colour keeps
// its low 24 bits.
TColor ColorToRGB(TColor color);
QColor ZeltToQColor(TColor color);
TColor ZeltFromQColor(const QColor& color);

TColor LightenColor(TColor color, int k);
TColor DarkenColor(TColor color, int k);
TColor ShadeColor(TColor color, int kLight, int kDark);

// A widget's colour: its "Color" property when the class declares one (the framework's forms and
// panels), else the background role of its palette.
TColor ZeltColorOf(const QWidget* widget);
void ZeltSetColorOf(QWidget* widget, TColor color);

// Sets the tool-tip colour; needs the application object.
void ZeltApplyHintColor();
