#include "ZeltLabelMarkup.h"

#include "ZeltFonts.h"

namespace {

// clang-format off
const TColor kMarkupColors[ZeltMarkupColorCount] = {
    clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray,
    clSilver, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite,
    ZeltSystemColor(0), ZeltSystemColor(1), ZeltSystemColor(2), ZeltSystemColor(3), ZeltSystemColor(4),
    ZeltSystemColor(5), ZeltSystemColor(6), ZeltSystemColor(7), ZeltSystemColor(8), ZeltSystemColor(9),
    ZeltSystemColor(10), ZeltSystemColor(11), ZeltSystemColor(12), ZeltSystemColor(13), ZeltSystemColor(14),
    ZeltSystemColor(15), ZeltSystemColor(16), ZeltSystemColor(17), ZeltSystemColor(18), ZeltSystemColor(19),
    ZeltSystemColor(20),
    ZeltRGB(92, 92, 92), ZeltRGB(170, 90, 82), ZeltRGB(239, 86, 68), ZeltRGB(204, 101, 45),
    ZeltRGB(249, 131, 0), ZeltRGB(218, 151, 50), ZeltRGB(176, 158, 28), ZeltRGB(107, 155, 28),
    ZeltRGB(79, 139, 50), ZeltRGB(60, 129, 54), ZeltRGB(37, 137, 100), ZeltRGB(39, 135, 125),
    ZeltRGB(54, 120, 111), ZeltRGB(71, 124, 119), ZeltRGB(86, 128, 143), ZeltRGB(82, 123, 148),
    ZeltRGB(54, 111, 137), ZeltRGB(119, 85, 134), ZeltRGB(137, 82, 122), ZeltRGB(240, 111, 104),
};
// clang-format on

// Larger sizes make no sense on a label and would overflow the font engine.
constexpr qint64 kMaxPoints = 400;

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool ZeltMarkupColor(qint64 index, TColor& color) {
    if (index < 0 || index >= ZeltMarkupColorCount)
        return false;
    color = kMarkupColors[index];
    return true;
}

QList<TZeltMarkupLine> ZeltParseLabelMarkup(const QString& caption, const QFont& font, TColor color) {
    QFont curFont = font;
    TColor curColor = color;
    bool shadow = false;

    QList<TZeltMarkupLine> lines;
    lines.append(TZeltMarkupLine{{TZeltMarkupRun{QString(), curFont, curColor, shadow}}});

    auto current = [&]() -> TZeltMarkupRun& { return lines.last().Runs.last(); };
    // The current run takes the new font, or a new run begins when the current one has text.
    auto apply = [&] {
        if (!current().Text.isEmpty())
            lines.last().Runs.append(TZeltMarkupRun{QString(), curFont, curColor, shadow});
        TZeltMarkupRun& r = current();
        r.Font = curFont;
        r.Color = curColor;
        r.Shadow = shadow;
    };

    const qsizetype n = caption.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = caption.at(i);
        if (c == QChar(13)) {
            lines.append(TZeltMarkupLine{{TZeltMarkupRun{QString(), curFont, curColor, shadow}}});
            ++i;
            continue;
        }
        if (c == QLatin1Char('$') || c == QLatin1Char('&') || c == QLatin1Char('@')) {
            qsizetype j = i + 1;
            qint64 value = 0;
            bool overflow = false;
            while (j < n && isDigit(caption.at(j))) {
                if (value > 1000000000)
                    overflow = true;
                else
                    value = value * 10 + caption.at(j).digitValue();
                ++j;
            }
            const bool digits = j > i + 1;
            i = j;
            if (!digits || overflow)
                continue;
            if (c == QLatin1Char('$')) {
                if (value > 3)
                    continue;
                curFont.setItalic(value == 1 || value == 3);
                curFont.setBold(value == 2 || value == 3);
            } else if (c == QLatin1Char('&')) {
                if (value < 1 || value > kMaxPoints)
                    continue;
                curFont.setPixelSize(ZeltFonts::PointsToPixels(int(value)));
            } else {
                TColor mc = 0;
                if (!ZeltMarkupColor(value, mc))
                    continue;
                curColor = mc;
            }
            apply();
            continue;
        }
        if (c == QLatin1Char('%')) {
            shadow = !shadow;
            apply();
            ++i;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < n) {
            const QChar e = caption.at(i + 1);
            if (e == QLatin1Char('$') || e == QLatin1Char('%') || e == QLatin1Char('&') ||
                e == QLatin1Char('@')) {
                current().Text += e;
                i += 2;
                continue;
            }
        }
        current().Text += c;
        ++i;
    }
    return lines;
}
