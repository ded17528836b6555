#pragma once

#include <QFont>
#include <QString>

class QPainter;
class QPoint;

// The fonts the window definitions name (Tahoma, MS Sans Serif) come from free look-alikes; DejaVu
// stands in when those files are missing.
namespace ZeltFonts {

// Loads the font files once per process; needs the application object. Later calls do nothing.
void Load();
// True when both look-alike families were found.
bool LookAlikesLoaded();

// A font as the definitions give it: a height in pixels (the character height, the sign of the
// stored height dropped) or a size in points at the design resolution of 96 pixels per inch.
QFont FromHeight(const QString& family, int heightPx, bool bold = false, bool italic = false);
QFont FromPoints(const QString& family, int points, bool bold = false, bool italic = false);
int PointsToPixels(int points);

// Text drawn at a baseline point. A bold font whose family has no bold face (MS Sans Serif) is
// drawn twice, one pixel apart, as the classic windows made it bold.
void DrawText(QPainter& painter, const QPoint& baseline, const QString& text);
bool NeedsSyntheticBold(const QFont& font);

} // namespace ZeltFonts
