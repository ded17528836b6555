#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QList>
#include <QPoint>
#include <QString>

class QPainter;

// A button caption made ready for painting: the first "&" taken out (it marks the accelerator
// letter, drawn in red), lines broken at line feeds and word-wrapped within a width.
class TZeltCaptionText {
public:
    // With `wrap`, line feeds break lines and long lines wrap within maxWidth; else one line.
    TZeltCaptionText(const QString& caption, bool wrap, const QFontMetrics& fm, int maxWidth);

    const QString& Display() const { return FDisplay; }
    QStringList Lines() const;
    // The accelerator letter's index in Display(), or -1.
    int AccelIndex() const { return FAccel; }
    int Width() const { return FWidth; }
    int Height() const { return int(FLines.size()) * FLineHeight; }

    // Each line left-aligned from `topLeft`; the accelerator letter in `accel` when it is valid.
    void Draw(QPainter& p, QPoint topLeft, QColor colour, QColor accel) const;
    // Each line centred between x and x + width.
    void DrawCentered(QPainter& p, int x, int y, int width, QColor colour) const;

private:
    struct Segment {
        int Start;
        int Length;
    };
    QString FDisplay;
    QList<Segment> FLines;
    int FAccel = -1;
    int FWidth = 0;
    int FLineHeight = 0;
    QFontMetrics FFm;
};
