#include "ZeltCaptionText.h"

#include "ZeltFonts.h"

#include <QPainter>

TZeltCaptionText::TZeltCaptionText(const QString& caption, bool wrap, const QFontMetrics& fm, int maxWidth)
    : FLineHeight(fm.height()), FFm(fm) {
    FDisplay = caption;
    if (caption == QLatin1String("&&")) {
        FDisplay = QStringLiteral("&");
    } else {
        const qsizetype amp = caption.indexOf(QLatin1Char('&'));
        if (amp >= 0) {
            FDisplay.remove(amp, 1);
            if (amp < FDisplay.size())
                FAccel = int(amp);
        }
    }

    auto width = [&](int start, int len) { return fm.horizontalAdvance(FDisplay.mid(start, len)); };
    if (!wrap) {
        FLines << Segment{0, int(FDisplay.size())};
    } else {
        int start = 0;
        const int n = int(FDisplay.size());
        while (start <= n) {
            int end = int(FDisplay.indexOf(QLatin1Char('\n'), start));
            if (end < 0)
                end = n;
            // Greedy word wrap of [start, end).
            int lineStart = start;
            while (true) {
                if (width(lineStart, end - lineStart) <= maxWidth || maxWidth <= 0) {
                    FLines << Segment{lineStart, end - lineStart};
                    break;
                }
                int cut = -1;
                for (int i = lineStart + 1; i < end; ++i) {
                    if (FDisplay.at(i) == QLatin1Char(' ') && width(lineStart, i - lineStart) <= maxWidth)
                        cut = i;
                }
                if (cut < 0) {
                    FLines << Segment{lineStart, end - lineStart};
                    break;
                }
                FLines << Segment{lineStart, cut - lineStart};
                lineStart = cut + 1;
            }
            if (end >= n)
                break;
            start = end + 1;
        }
    }
    for (const Segment& s : FLines)
        FWidth = std::max(FWidth, width(s.Start, s.Length));
}

QStringList TZeltCaptionText::Lines() const {
    QStringList out;
    for (const Segment& s : FLines)
        out << FDisplay.mid(s.Start, s.Length);
    return out;
}

void TZeltCaptionText::Draw(QPainter& p, QPoint topLeft, QColor colour, QColor accel) const {
    int y = topLeft.y() + FFm.ascent();
    for (const Segment& s : FLines) {
        const QString line = FDisplay.mid(s.Start, s.Length);
        const int a = FAccel - s.Start;
        if (accel.isValid() && a >= 0 && a < s.Length) {
            const QString before = line.left(a);
            const QString letter = line.mid(a, 1);
            const int x1 = topLeft.x() + FFm.horizontalAdvance(before);
            const int x2 = x1 + FFm.horizontalAdvance(letter);
            p.setPen(colour);
            ZeltFonts::DrawText(p, QPoint(topLeft.x(), y), before);
            p.setPen(accel);
            ZeltFonts::DrawText(p, QPoint(x1, y), letter);
            p.setPen(colour);
            ZeltFonts::DrawText(p, QPoint(x2, y), line.mid(a + 1));
        } else {
            p.setPen(colour);
            ZeltFonts::DrawText(p, QPoint(topLeft.x(), y), line);
        }
        y += FLineHeight;
    }
}

void TZeltCaptionText::DrawCentered(QPainter& p, int x, int y, int width, QColor colour) const {
    p.setPen(colour);
    int baseline = y + FFm.ascent();
    for (const Segment& s : FLines) {
        const QString line = FDisplay.mid(s.Start, s.Length);
        ZeltFonts::DrawText(p, QPoint(x + (width - FFm.horizontalAdvance(line)) / 2, baseline), line);
        baseline += FLineHeight;
    }
}
