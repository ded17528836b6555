#include "ZeltColors.h"

#include "ZeltError.h"

#include <QApplication>
#include <QMetaProperty>
#include <QPalette>
#include <QToolTip>
#include <QWidget>

#include <array>
#include <cmath>

namespace {

constexpr TColor web(unsigned rgb) {
    return ZeltRGB(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

// clang-format off
const TZeltColorName kNames[] = {
    {clMenuTracking, "clMenuTracking"}, {clTitleBarEnd, "clTitleBarEnd"}, {cl1, "cl1"}, {cl2, "cl2"},
    {clPaper, "clPaper"}, {cl3, "cl3"}, {clGrid, "clGrid"}, {clEdit, "clEdit"}, {clOther, "clOther"},
    {clActiveTitleBar, "clActiveTitleBar"}, {clInactiveTitleBar, "clInactiveTitleBar"},

    {clSystemColor, "clSystemColor"}, {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"},
    {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},

    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clNone, "clNone"}, {clDefault, "clDefault"},

    // Web colours, grouped by hue.
    {web(0xFFFAFA), "clWebSnow"}, {web(0xFFFAF0), "clWebFloralWhite"},
    {web(0xFFF0F5), "clWebLavenderBlush"}, {web(0xFDF5E6), "clWebOldLace"}, {web(0xFFFFF0), "clWebIvory"},
    {web(0xFFF8DC), "clWebCornSilk"}, {web(0xF5F5DC), "clWebBeige"}, {web(0xFAEBD7), "clWebAntiqueWhite"},
    {web(0xF5DEB3), "clWebWheat"}, {web(0xF0F8FF), "clWebAliceBlue"}, {web(0xF8F8FF), "clWebGhostWhite"},
    {web(0xE6E6FA), "clWebLavender"}, {web(0xFFF5EE), "clWebSeashell"},
    {web(0xFFFFE0), "clWebLightYellow"}, {web(0xFFEFD5), "clWebPapayaWhip"},
    {web(0xFFDEAD), "clWebNavajoWhite"}, {web(0xFFE4B5), "clWebMoccasin"}, {web(0xDEB887), "clWebBurlywood"},
    {web(0xF0FFFF), "clWebAzure"}, {web(0xF5FFFA), "clWebMintcream"}, {web(0xF0FFF0), "clWebHoneydew"},
    {web(0xFAF0E6), "clWebLinen"}, {web(0xFFFACD), "clWebLemonChiffon"},
    {web(0xFFEBCD), "clWebBlanchedAlmond"}, {web(0xFFE4C4), "clWebBisque"}, {web(0xFFDAB9), "clWebPeachPuff"},
    {web(0xD2B48C), "clWebTan"}, {web(0xFFFF00), "clWebYellow"}, {web(0xFF8C00), "clWebDarkOrange"},
    {web(0xFF0000), "clWebRed"}, {web(0x8B0000), "clWebDarkRed"}, {web(0x800000), "clWebMaroon"},
    {web(0xCD5C5C), "clWebIndianRed"}, {web(0xFA8072), "clWebSalmon"}, {web(0xFF7F50), "clWebCoral"},
    {web(0xFFD700), "clWebGold"}, {web(0xFF6347), "clWebTomato"}, {web(0xDC143C), "clWebCrimson"},
    {web(0xA52A2A), "clWebBrown"}, {web(0xD2691E), "clWebChocolate"}, {web(0xF4A460), "clWebSandyBrown"},
    {web(0xFFA07A), "clWebLightSalmon"}, {web(0xF08080), "clWebLightCoral"}, {web(0xFFA500), "clWebOrange"},
    {web(0xFF4500), "clWebOrangeRed"}, {web(0xB22222), "clWebFirebrick"},
    {web(0x8B4513), "clWebSaddleBrown"}, {web(0xA0522D), "clWebSienna"}, {web(0xCD853F), "clWebPeru"},
    {web(0xE9967A), "clWebDarkSalmon"}, {web(0xBC8F8F), "clWebRosyBrown"},
    {web(0xEEE8AA), "clWebPaleGoldenrod"}, {web(0xFAFAD2), "clWebLightGoldenrodYellow"},
    {web(0x808000), "clWebOlive"}, {web(0x228B22), "clWebForestGreen"}, {web(0xADFF2F), "clWebGreenYellow"},
    {web(0x7FFF00), "clWebChartreuse"}, {web(0x90EE90), "clWebLightGreen"},
    {web(0x7FFFD4), "clWebAquamarine"}, {web(0x2E8B57), "clWebSeaGreen"}, {web(0xDAA520), "clWebGoldenRod"},
    {web(0xF0E68C), "clWebKhaki"}, {web(0x6B8E23), "clWebOliveDrab"}, {web(0x008000), "clWebGreen"},
    {web(0x9ACD32), "clWebYellowGreen"}, {web(0x7CFC00), "clWebLawnGreen"}, {web(0x98FB98), "clWebPaleGreen"},
    {web(0x66CDAA), "clWebMediumAquamarine"}, {web(0x3CB371), "clWebMediumSeaGreen"},
    {web(0xB8860B), "clWebDarkGoldenRod"}, {web(0xBDB76B), "clWebDarkKhaki"},
    {web(0x556B2F), "clWebDarkOliveGreen"}, {web(0x006400), "clWebDarkgreen"},
    {web(0x32CD32), "clWebLimeGreen"}, {web(0x00FF00), "clWebLime"}, {web(0x00FF7F), "clWebSpringGreen"},
    {web(0x00FA9A), "clWebMediumSpringGreen"}, {web(0x8FBC8F), "clWebDarkSeaGreen"},
    {web(0x20B2AA), "clWebLightSeaGreen"}, {web(0xAFEEEE), "clWebPaleTurquoise"},
    {web(0xE0FFFF), "clWebLightCyan"}, {web(0xADD8E6), "clWebLightBlue"},
    {web(0x87CEFA), "clWebLightSkyBlue"}, {web(0x6495ED), "clWebCornFlowerBlue"},
    {web(0x00008B), "clWebDarkBlue"}, {web(0x4B0082), "clWebIndigo"}, {web(0x48D1CC), "clWebMediumTurquoise"},
    {web(0x40E0D0), "clWebTurquoise"}, {web(0x00FFFF), "clWebCyan"}, {web(0x00FFFF), "clWebAqua"},
    {web(0xB0E0E6), "clWebPowderBlue"}, {web(0x87CEEB), "clWebSkyBlue"}, {web(0x4169E1), "clWebRoyalBlue"},
    {web(0x0000CD), "clWebMediumBlue"}, {web(0x191970), "clWebMidnightBlue"},
    {web(0x00CED1), "clWebDarkTurquoise"}, {web(0x5F9EA0), "clWebCadetBlue"}, {web(0x008B8B), "clWebDarkCyan"},
    {web(0x008080), "clWebTeal"}, {web(0x00BFFF), "clWebDeepskyBlue"}, {web(0x1E90FF), "clWebDodgerBlue"},
    {web(0x0000FF), "clWebBlue"}, {web(0x000080), "clWebNavy"}, {web(0x9400D3), "clWebDarkViolet"},
    {web(0x9932CC), "clWebDarkOrchid"}, {web(0xFF00FF), "clWebMagenta"}, {web(0xFF00FF), "clWebFuchsia"},
    {web(0x8B008B), "clWebDarkMagenta"}, {web(0xC71585), "clWebMediumVioletRed"},
    {web(0xDB7093), "clWebPaleVioletRed"}, {web(0x8A2BE2), "clWebBlueViolet"},
    {web(0xBA55D3), "clWebMediumOrchid"}, {web(0x9370DB), "clWebMediumPurple"}, {web(0x800080), "clWebPurple"},
    {web(0xFF1493), "clWebDeepPink"}, {web(0xFFB6C1), "clWebLightPink"}, {web(0xEE82EE), "clWebViolet"},
    {web(0xDA70D6), "clWebOrchid"}, {web(0xDDA0DD), "clWebPlum"}, {web(0xD8BFD8), "clWebThistle"},
    {web(0xFF69B4), "clWebHotPink"}, {web(0xFFC0CB), "clWebPink"}, {web(0xFFE4E1), "clWebMistyRose"},
    {web(0xFFFFFF), "clWebWhite"}, {web(0xF5F5F5), "clWebWhiteSmoke"}, {web(0xDCDCDC), "clWebGainsboro"},
    {web(0xD3D3D3), "clWebLightgrey"}, {web(0xC0C0C0), "clWebSilver"}, {web(0xA9A9A9), "clWebDarkGray"},
    {web(0x808080), "clWebGray"}, {web(0x696969), "clWebDimGray"}, {web(0x000000), "clWebBlack"},
    {web(0x2F4F4F), "clWebDarkSlategray"}, {web(0x708090), "clWebSlateGray"},
    {web(0x778899), "clWebLightSlateGray"}, {web(0x483D8B), "clWebDarkSlateBlue"},
    {web(0x6A5ACD), "clWebSlateBlue"}, {web(0x7B68EE), "clWebMediumSlateBlue"},
    {web(0xB0C4DE), "clWebLightSteelBlue"}, {web(0x4682B4), "clWebSteelBlue"},
};
// clang-format on

QColor systemColor(int index) {
    const QPalette pal = QApplication::palette();
    auto c = [&](QPalette::ColorRole role) { return pal.color(QPalette::Active, role); };
    switch (index) {
    case 0:
        return c(QPalette::Mid); // scroll bar
    case 1:
        return c(QPalette::Dark); // desktop
    case 2:
        return c(QPalette::Highlight); // active caption
    case 3:
        return pal.color(QPalette::Disabled, QPalette::Highlight); // inactive caption
    case 4:
        return c(QPalette::Window); // menu
    case 5:
        return c(QPalette::Base); // window
    case 6:
        return c(QPalette::Shadow); // window frame
    case 7:
        return c(QPalette::WindowText); // menu text
    case 8:
        return c(QPalette::Text); // window text
    case 9:
        return c(QPalette::HighlightedText); // caption text
    case 10:
        return c(QPalette::Window); // active border
    case 11:
        return c(QPalette::Window); // inactive border
    case 12:
        return c(QPalette::Dark); // application work space
    case 13:
        return c(QPalette::Highlight);
    case 14:
        return c(QPalette::HighlightedText);
    case 15:
        return c(QPalette::Button); // button face
    case 16:
        return c(QPalette::Dark); // button shadow
    case 17:
        return pal.color(QPalette::Disabled, QPalette::Text); // grey text
    case 18:
        return c(QPalette::ButtonText);
    case 19:
        return pal.color(QPalette::Disabled, QPalette::HighlightedText); // inactive caption text
    case 20:
        return c(QPalette::Light); // button highlight
    case 21:
        return c(QPalette::Shadow); // 3-D dark shadow
    case 22:
        return c(QPalette::Midlight); // 3-D light
    case 23:
        return c(QPalette::ToolTipText);
    case 24:
        return c(QPalette::ToolTipBase);
    case 26:
        return c(QPalette::Link); // hot light
    case 27:
        return c(QPalette::Highlight).lighter(130); // gradient active caption
    case 28:
        return pal.color(QPalette::Disabled, QPalette::Highlight).lighter(130);
    case 29:
        return c(QPalette::Highlight); // menu highlight
    case 30:
        return c(QPalette::Window); // menu bar
    default:
        return QColor(0, 0, 0);
    }
}

int component(TColor c, int shift) {
    return int((quint32(c) >> shift) & 0xFF);
}

int clampComponent(double v) {
    // Every result is truncated toward zero, then kept in range.
    const double t = std::trunc(v);
    if (t < 0)
        return 0;
    if (t > 255)
        return 255;
    return int(t);
}

} // namespace

int ZeltColorNameCount() {
    return int(std::size(kNames));
}

const TZeltColorName& ZeltColorNameAt(int index) {
    return kNames[index];
}

bool IdentToColor(const QString& ident, TColor& color) {
    for (const auto& e : kNames) {
        if (ident.compare(QLatin1String(e.Name), Qt::CaseInsensitive) == 0) {
            color = e.Value;
            return true;
        }
    }
    return false;
}

bool ColorToIdent(TColor color, QString& ident) {
    for (const auto& e : kNames) {
        if (e.Value == color) {
            ident = QLatin1String(e.Name);
            return true;
        }
    }
    return false;
}

QString ColorToString(TColor color) {
    QString name;
    if (ColorToIdent(color, name))
        return name;
    return QStringLiteral("$%1").arg(quint32(color), 8, 16, QLatin1Char('0')).toUpper();
}

TColor StringToColor(const QString& text) {
    TColor c = 0;
    if (IdentToColor(text.trimmed(), c))
        return c;
    QString t = text.trimmed();
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > qint64(UINT32_MAX))
        throw EZeltError(QStringLiteral("'%1' is not a valid colour").arg(text));
    return TColor(quint32(v));
}

TColor ColorToRGB(TColor color) {
    if (color < 0)
        return ZeltFromQColor(systemColor(int(color & 0xFF)));
    return TColor(quint32(color) & 0xFFFFFF);
}

QColor ZeltToQColor(TColor color) {
    const TColor c = ColorToRGB(color);
    return QColor(component(c, 0), component(c, 8), component(c, 16));
}

TColor ZeltFromQColor(const QColor& color) {
    return ZeltRGB(color.red(), color.green(), color.blue());
}

TColor LightenColor(TColor color, int k) {
    const TColor c = ColorToRGB(color);
    if (c == clWhite || k == 0)
        return c;
    auto up = [k](int v) { return clampComponent(v + (v + 255) / double(k)); };
    return ZeltRGB(up(component(c, 0)), up(component(c, 8)), up(component(c, 16)));
}

TColor DarkenColor(TColor color, int k) {
    const TColor c = ColorToRGB(color);
    if (c == clBlack || k == 0)
        return c;
    auto down = [k](int v) { return clampComponent(v - v / double(k)); };
    return ZeltRGB(down(component(c, 0)), down(component(c, 8)), down(component(c, 16)));
}

TColor ShadeColor(TColor color, int kLight, int kDark) {
    if (color < 0)
        return color;
    const int sum = component(color, 0) + component(color, 8) + component(color, 16);
    return sum > 382.5 ? LightenColor(color, kLight) : DarkenColor(color, kDark);
}

TColor ZeltColorOf(const QWidget* widget) {
    if (!widget)
        return clBtnFace;
    const QMetaObject* mo = widget->metaObject();
    const int idx = mo->indexOfProperty("Color");
    if (idx >= 0)
        return TColor(mo->property(idx).read(widget).toInt());
    return ZeltFromQColor(widget->palette().color(widget->backgroundRole()));
}

void ZeltSetColorOf(QWidget* widget, TColor color) {
    if (!widget)
        return;
    const QMetaObject* mo = widget->metaObject();
    const int idx = mo->indexOfProperty("Color");
    if (idx >= 0 && mo->property(idx).isWritable()) {
        mo->property(idx).write(widget, QVariant::fromValue(int(color)));
        return;
    }
    QPalette pal = widget->palette();
    pal.setColor(widget->backgroundRole(), ZeltToQColor(color));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void ZeltApplyHintColor() {
    QPalette pal = QToolTip::palette();
    pal.setColor(QPalette::ToolTipBase, ZeltToQColor(ZeltHintColor));
    QToolTip::setPalette(pal);
}
