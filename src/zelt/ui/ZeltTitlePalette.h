#pragma once

#include "ZeltColors.h"

#include <QString>

// The title bars' 3 x 3 colour palette, shared by every bar of the process. Column i and row j run
// from 1 to 3; other indexes read as 0 and are not stored.
TColor ZeltTitlePaletteColor(int i, int j);
void ZeltTitlePaletteSetColor(int i, int j, TColor color);
// Back to the built-in colours.
void ZeltTitlePaletteReset();

// "DESIGN.INI" in the executable's folder.
QString ZeltDesignIniPath();
// Stores the swatch and writes it at once to DESIGN.INI, section "ZLT_FORMS_PALETTE", key "i.j",
// value the colour in decimal; the file's other entries are kept. Raises EZeltError when the file
// cannot be written (the swatch is changed all the same).
void ZeltTitlePaletteSave(int i, int j, TColor color);
