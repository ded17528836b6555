#include "ZeltTitlePalette.h"

#include "ZeltIniFile.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// Column by column: (1,1) (1,2) (1,3) (2,1) ...
constexpr TColor kDefaults[9] = {0x80BEE8, 0xA8B39F, 0x686FF0, 0x808080, 0x8A9597,
                                 0x95A4A8, 0xA98B58, 0xB1AC81, 0xBCC491};

TColor gPalette[9] = {0x80BEE8, 0xA8B39F, 0x686FF0, 0x808080, 0x8A9597,
                      0x95A4A8, 0xA98B58, 0xB1AC81, 0xBCC491};

bool valid(int i, int j) {
    return i >= 1 && i <= 3 && j >= 1 && j <= 3;
}

int slot(int i, int j) {
    return (i - 1) * 3 + (j - 1);
}

} // namespace

TColor ZeltTitlePaletteColor(int i, int j) {
    return valid(i, j) ? gPalette[slot(i, j)] : 0;
}

void ZeltTitlePaletteSetColor(int i, int j, TColor color) {
    if (valid(i, j))
        gPalette[slot(i, j)] = color;
}

void ZeltTitlePaletteReset() {
    for (int k = 0; k < 9; ++k)
        gPalette[k] = kDefaults[k];
}

QString ZeltDesignIniPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("DESIGN.INI"));
}

void ZeltTitlePaletteSave(int i, int j, TColor color) {
    if (!valid(i, j))
        return;
    ZeltTitlePaletteSetColor(i, j, color);
    const QString path = ZeltDesignIniPath();
    ZeltIniFile ini = ZeltIniFile::fromFile(path);
    ini.WriteString(QStringLiteral("ZLT_FORMS_PALETTE"), QStringLiteral("%1.%2").arg(i).arg(j),
                    QString::number(color));
    ini.SaveToFile(path);
}
