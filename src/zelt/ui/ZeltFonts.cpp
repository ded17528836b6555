#include "ZeltFonts.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QStringList>

#include <cmath>

namespace {

bool gLoaded = false;
bool gLookAlikes = false;

} // namespace

namespace ZeltFonts {

void Load() {
    if (gLoaded)
        return;
    gLoaded = true;
    const QString dir = QStringLiteral("/usr/share/wine/fonts");
    int found = 0;
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"}) {
        const QString path = QDir(dir).filePath(QLatin1String(file));
        if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0)
            ++found;
    }
    gLookAlikes = found == 3;
    // Names as the definitions spell them; Qt matches families without regard to case.
    const QStringList fallback{QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), fallback);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), fallback);
}

bool LookAlikesLoaded() {
    return gLookAlikes;
}

int PointsToPixels(int points) {
    return int(std::lround(points * 96.0 / 72.0));
}

QFont FromHeight(const QString& family, int heightPx, bool bold, bool italic) {
    QFont f(family);
    f.setPixelSize(std::max(1, std::abs(heightPx)));
    f.setBold(bold);
    f.setItalic(italic);
    // The classic windows drew these small fonts without smoothing; it also keeps pixels exact.
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QFont FromPoints(const QString& family, int points, bool bold, bool italic) {
    return FromHeight(family, PointsToPixels(points), bold, italic);
}

} // namespace ZeltFonts

namespace ZeltFonts {

bool NeedsSyntheticBold(const QFont& font) {
    if (!font.bold())
        return false;
    static QHash<QString, bool> cache;
    const QString key = font.key();
    auto it = cache.find(key);
    if (it == cache.end()) {
        // The raw font echoes the requested weight; its face's style name tells what was found.
        const QString style = QRawFont::fromFont(font).styleName();
        bool boldFace = false;
        for (const char* word : {"bold", "black", "heavy", "demi"})
            boldFace = boldFace || style.contains(QLatin1String(word), Qt::CaseInsensitive);
        it = cache.insert(key, !boldFace);
    }
    return it.value();
}

void DrawText(QPainter& painter, const QPoint& baseline, const QString& text) {
    painter.drawText(baseline, text);
    if (NeedsSyntheticBold(painter.font()))
        painter.drawText(baseline + QPoint(1, 0), text);
}

} // namespace ZeltFonts
