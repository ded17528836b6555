#include "ZeltFormats.h"

#include <QLocale>

#include <cmath>

namespace {

QChar separatorAfter(const QString& format, QChar letter, QChar fallback) {
    const qsizetype at = format.indexOf(letter, 0, Qt::CaseInsensitive);
    if (at < 0)
        return fallback;
    for (qsizetype i = at; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c.toLower() != letter.toLower())
            return c.isLetterOrNumber() || c == u'\'' ? fallback : c;
    }
    return fallback;
}

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); }

} // namespace

TFormatSettings TFormatSettings::fromSystem() {
    TFormatSettings fs;
    const QLocale sys = QLocale::system();
    fs.TimeSeparator = separatorAfter(sys.timeFormat(QLocale::ShortFormat), u'h', u':');
    fs.DateSeparator = separatorAfter(sys.dateFormat(QLocale::ShortFormat), u'd', u'/');
    const QString dec = sys.decimalPoint();
    const QString grp = sys.groupSeparator();
    fs.DecimalSeparator = dec.isEmpty() ? QChar(u'.') : dec.at(0);
    fs.ThousandSeparator = grp.isEmpty() ? QChar(u',') : grp.at(0);
    fs.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    return fs;
}

TFormatSettings& FormatSettings() {
    static TFormatSettings settings = TFormatSettings::fromSystem();
    return settings;
}

void FixProcessFormats() {
    TFormatSettings& fs = FormatSettings();
    fs = TFormatSettings::fromSystem();
    fs.DateSeparator = u'.';
    fs.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    fs.ThousandSeparator = u'.';
    fs.DecimalSeparator = u',';
}

QString FormatDateTime(const QString& pattern, const QDateTime& value, const TFormatSettings& fs) {
    const QDate d = value.date();
    const QTime t = value.time();
    QString out;
    bool lastWasHour = false;
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    auto runOf = [&](QChar c) {
        qsizetype j = i;
        while (j < n && pattern.at(j).toLower() == c)
            ++j;
        return j - i;
    };
    while (i < n) {
        const QChar c = pattern.at(i);
        const QChar lc = c.toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype end = pattern.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (lc == u'y') {
            const qsizetype len = runOf(u'y');
            out += len <= 2 ? twoDigits(d.year() % 100) : QString::number(d.year());
            i += len;
            lastWasHour = false;
        } else if (lc == u'm') {
            const qsizetype len = runOf(u'm');
            const int v = lastWasHour ? t.minute() : d.month();
            out += len >= 2 ? twoDigits(v) : QString::number(v);
            i += len;
            lastWasHour = false;
        } else if (lc == u'd') {
            const qsizetype len = runOf(u'd');
            out += len >= 2 ? twoDigits(d.day()) : QString::number(d.day());
            i += len;
            lastWasHour = false;
        } else if (lc == u'h') {
            const qsizetype len = runOf(u'h');
            out += len >= 2 ? twoDigits(t.hour()) : QString::number(t.hour());
            i += len;
            lastWasHour = true;
        } else if (lc == u'n') {
            const qsizetype len = runOf(u'n');
            out += len >= 2 ? twoDigits(t.minute()) : QString::number(t.minute());
            i += len;
            lastWasHour = false;
        } else if (lc == u's') {
            const qsizetype len = runOf(u's');
            out += len >= 2 ? twoDigits(t.second()) : QString::number(t.second());
            i += len;
            lastWasHour = false;
        } else if (lc == u'z') {
            const qsizetype len = runOf(u'z');
            out += len >= 3 ? QStringLiteral("%1").arg(t.msec(), 3, 10, QChar(u'0')) : QString::number(t.msec());
            i += len;
            lastWasHour = false;
        } else if (c == u'/') {
            out += fs.DateSeparator;
            ++i;
        } else if (c == u':') {
            out += fs.TimeSeparator;
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString FormatFloat(const QString& pattern, double value, const TFormatSettings& fs) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    const qsizetype dot = pattern.indexOf(u'.');
    const QString intPart = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPart = dot < 0 ? QString() : pattern.mid(dot + 1);
    const bool grouping = intPart.contains(u',');
    const int minInt = int(intPart.count(u'0'));
    const int maxFrac = int(fracPart.count(u'0') + fracPart.count(u'#'));
    const int minFrac = int(fracPart.count(u'0'));

    // Round half away from zero on the decimal text, not on the binary value's nearest-even.
    const double scale = std::pow(10.0, maxFrac);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    QString digits = QString::number(rounded, 'f', maxFrac);
    QString whole = digits;
    QString frac;
    if (const qsizetype p = digits.indexOf(u'.'); p >= 0) {
        whole = digits.left(p);
        frac = digits.mid(p + 1);
    }
    while (frac.size() > minFrac && frac.endsWith(u'0'))
        frac.chop(1);
    if (whole == u"0" && minInt == 0)
        whole.clear();
    while (whole.size() < minInt)
        whole.prepend(u'0');
    if (grouping) {
        for (qsizetype p = whole.size() - 3; p > 0; p -= 3)
            whole.insert(p, fs.ThousandSeparator);
    }
    QString out = whole;
    if (!frac.isEmpty())
        out += fs.DecimalSeparator + frac;
    if (out.isEmpty())
        out = QStringLiteral("0");
    const bool allZero = std::all_of(out.begin(), out.end(), [](QChar c) { return !c.isDigit() || c == u'0'; });
    if (value < 0 && !allZero)
        out.prepend(u'-');
    return out;
}
