#include "ZeltMessageMarkup.h"

namespace {

// Blanks and control characters, as the trimming of messages has always understood them.
bool isBlank(QChar c) {
    return c.unicode() <= 0x20;
}

QString trimBlanks(const QString& s) {
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && isBlank(s.at(first)))
        ++first;
    while (last > first && isBlank(s.at(last - 1)))
        --last;
    return s.mid(first, last - first);
}

const QString kUnicOpen = QStringLiteral("<UNIC");
const QString kUnicClose = QStringLiteral("UNIC>");

} // namespace

TZeltMessageText ZeltMessageMarkup(const QString& message) {
    QString s = trimBlanks(message);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("#"));
    s.replace(QStringLiteral("##"), QStringLiteral("#"));
    s.remove(u'`');
    if (!s.contains(u'\r'))
        s.replace(u'#', u'\r');
    qsizetype first = 0;
    while (first < s.size() && s.at(first) == u'\r')
        ++first;
    qsizetype last = s.size();
    while (last > first && s.at(last - 1) == u'\r')
        --last;
    s = s.mid(first, last - first);

    const qsizetype open = s.indexOf(kUnicOpen);
    const qsizetype close = s.indexOf(kUnicClose);
    if (open < 0 || close < 0)
        return {s, s};
    const qsizetype keyStart = open + kUnicOpen.size();
    const QString key = close > keyStart ? s.mid(keyStart, close - keyStart) : QString();
    return {s.left(open) + s.mid(close + kUnicClose.size()).left(255), key};
}

QString ZeltMessageCaption(const QString& caption) {
    QString s = caption;
    s.remove(u'`');
    return s;
}
