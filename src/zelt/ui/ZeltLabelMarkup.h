#pragma once

#include "ZeltColors.h"

#include <QFont>
#include <QList>
#include <QString>

// The formatted label's inline markup:
//   CR            a new line
//   $n            style: 0 normal, 1 italic, 2 bold, 3 bold italic (other numbers leave it)
//   &n            size in points
//   @n            colour n of the markup colour table (0 to 56; other numbers leave it)
//   %             shadow on / off
//   \$ \% \& \@   the character itself; a backslash before anything else is text
// n is the whole run of decimal digits after the code; a code without digits changes nothing.
// A change after text in the current run starts a new run; before any text it changes the run.

struct TZeltMarkupRun {
    QString Text;
    QFont Font;
    TColor Color = clBlack;
    bool Shadow = false;
};

struct TZeltMarkupLine {
    QList<TZeltMarkupRun> Runs;
};

// At least one line with one run; the first run has the given font and colour, shadow off.
QList<TZeltMarkupLine> ZeltParseLabelMarkup(const QString& caption, const QFont& font, TColor color);

// The markup colour table: 16 basic colours, the system colours clScrollBar to clBtnHighlight,
// then twenty colours of the framework. False for a number outside the table.
bool ZeltMarkupColor(qint64 index, TColor& color);
inline constexpr int ZeltMarkupColorCount = 57;
