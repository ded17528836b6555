#pragma once

#include <QString>

// The message markup of the framework's dialog, applied in this order:
//  1. leading and trailing blanks and control characters are trimmed;
//  2. every CR LF pair becomes "#", then every "##" becomes "#";
//  3. every backquote is removed;
//  4. when no carriage return is left, every "#" becomes a carriage return (the line break);
//  5. leading and trailing carriage returns are removed;
//  6. "<UNIC" ... "UNIC>": the text between the markers is the message's key for the remembered
//     answers, and the message shown is the text before "<UNIC" followed by at most 255 characters
//     of the text after "UNIC>"; without both markers key and message are the whole text.
// Line breaks in the result are single carriage returns.
struct TZeltMessageText {
    QString Shown;
    QString Key;
};

TZeltMessageText ZeltMessageMarkup(const QString& message);

// The dialog's title text: backquotes removed.
QString ZeltMessageCaption(const QString& caption);
