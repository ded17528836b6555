#include "SoapValues.h"

#include "ZeltError.h"
#include "ZeltFormats.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr qint64 DayMs = 24LL * 3600 * 1000;

// The system's offset at a UTC instant.
int localOffsetAt(qint64 utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).offsetFromUtc();
}

bool isDaylightAt(qint64 utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).isDaylightTime();
}

// Milliseconds of a wall-clock reading as if it were UTC.
qint64 wallMs(const QDate& date, const QTime& time) {
    return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
}

} // namespace

TRemotable::~TRemotable() = default;

TXSDateTime TXSDateTime::FromLocal(const QDateTime& value) {
    QDate date = value.date();
    QTime time = value.time();
    // Qt keeps the fields of a local time that falls in a gap but marks it invalid; any other zone
    // is first brought to local time.
    if (value.isValid() && value.timeSpec() != Qt::LocalTime) {
        const QDateTime local = value.toLocalTime();
        date = local.date();
        time = local.time();
    }
    if (!date.isValid() || !time.isValid())
        throw EZeltError(QStringLiteral("Invalid date-time value."));

    // Every offset in force around that wall-clock reading is a candidate; the ones that map back to
    // the same reading are the real occurrences of it.
    const qint64 wall = wallMs(date, time);
    std::vector<int> offsets;
    for (qint64 probe : {wall - DayMs, wall, wall + DayMs}) {
        const int off = localOffsetAt(probe);
        if (std::find(offsets.begin(), offsets.end(), off) == offsets.end())
            offsets.push_back(off);
    }
    std::optional<qint64> chosen;
    for (int off : offsets) {
        const qint64 utc = wall - qint64(off) * 1000;
        if (localOffsetAt(utc) != off)
            continue;
        // Of two occurrences the one in standard time wins, else the later one.
        if (!chosen || (isDaylightAt(*chosen) && !isDaylightAt(utc)) ||
            (isDaylightAt(*chosen) == isDaylightAt(utc) && utc > *chosen))
            chosen = utc;
    }
    if (!chosen) {
        const QString text = FormatDateTime(FormatSettings().ShortDateFormat + QStringLiteral(" hh:nn:ss"),
                                            QDateTime(date, time));
        throw EZeltError(QStringLiteral("The given \"%1\" local time is invalid (situated within the missing "
                                        "period prior to DST).")
                             .arg(text));
    }
    TXSDateTime out;
    out.FDate = date;
    out.FTime = time;
    out.FOffset = int((wall - *chosen) / 1000);
    out.FHasOffset = true;
    return out;
}

TXSDateTime TXSDateTime::FromOffset(const QDate& date, const QTime& time, int offsetSeconds) {
    TXSDateTime out;
    out.FDate = date;
    out.FTime = time;
    out.FOffset = offsetSeconds;
    out.FHasOffset = true;
    return out;
}

TXSDateTime TXSDateTime::FromXS(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(-?\d{4,})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)(?:\.(\d+))?(Z|[+-]\d\d:\d\d)?\s*$)"));
    const QRegularExpressionMatch m = re.match(text);
    auto bad = [&] { return EZeltError(QStringLiteral("\"%1\" is not a valid date-time value.").arg(text)); };
    if (!m.hasMatch())
        throw bad();
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    int hour = m.captured(4).toInt();
    const QString frac = m.captured(7);
    const int msec = frac.isEmpty() ? 0 : (frac + QStringLiteral("00")).left(3).toInt();
    bool endOfDay = false;
    if (hour == 24 && m.captured(5).toInt() == 0 && m.captured(6).toInt() == 0 && msec == 0) {
        hour = 0;
        endOfDay = true;
    }
    const QTime time(hour, m.captured(5).toInt(), m.captured(6).toInt(), msec);
    if (!date.isValid() || !time.isValid())
        throw bad();
    TXSDateTime out;
    out.FDate = endOfDay ? date.addDays(1) : date;
    out.FTime = time;
    const QString zone = m.captured(8);
    if (!zone.isEmpty()) {
        out.FHasOffset = true;
        if (zone != u"Z") {
            const int hh = zone.mid(1, 2).toInt();
            const int mm = zone.mid(4, 2).toInt();
            if (hh > 14 || mm > 59)
                throw bad();
            out.FOffset = (hh * 60 + mm) * 60 * (zone.at(0) == u'-' ? -1 : 1);
        }
    }
    return out;
}

QString TXSDateTime::NativeToXS() const {
    const QString wall =
        QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d.%03d", FDate.year(), FDate.month(), FDate.day(),
                          FTime.hour(), FTime.minute(), FTime.second(), FTime.msec());
    if (!FHasOffset)
        return wall;
    const int minutes = FOffset / 60;
    if (minutes == 0)
        return wall + u'Z';
    const int a = std::abs(minutes);
    return QString::asprintf("%s%s%.2d:%.2d", qPrintable(wall), minutes > 0 ? "+" : "-", a / 60, a % 60);
}

QDateTime TXSDateTime::AsDateTime() const {
    if (!FHasOffset)
        return QDateTime(FDate, FTime);
    return AsUTCDateTime().toLocalTime();
}

QDateTime TXSDateTime::AsUTCDateTime() const {
    if (!FHasOffset)
        return QDateTime(FDate, FTime).toUTC();
    return QDateTime(FDate, FTime, Qt::OffsetFromUTC, FOffset).toUTC();
}

TXSDecimal TXSDecimal::FromXS(const QString& text) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*[+-]?(\d+(\.\d*)?|\.\d+)\s*$)"));
    if (!re.match(text).hasMatch())
        throw EZeltError(QStringLiteral("\"%1\" is not a valid decimal value.").arg(text));
    TXSDecimal out;
    out.FText = text.trimmed();
    return out;
}

TXSDecimal TXSDecimal::FromDouble(double value) {
    if (!std::isfinite(value))
        throw EZeltError(QStringLiteral("A decimal value must be finite."));
    TXSDecimal out;
    out.FText = QString::number(value, 'f', QLocale::FloatingPointShortest);
    return out;
}

namespace SoapLexical {

QString FormatDouble(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

double ParseDouble(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(u"NaN", Qt::CaseInsensitive) == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (t.compare(u"INF", Qt::CaseInsensitive) == 0 || t.compare(u"+INF", Qt::CaseInsensitive) == 0)
        return std::numeric_limits<double>::infinity();
    if (t.compare(u"-INF", Qt::CaseInsensitive) == 0)
        return -std::numeric_limits<double>::infinity();
    static const QRegularExpression re(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)"));
    if (!re.match(t).hasMatch())
        throw EZeltError(QStringLiteral("\"%1\" is not a valid floating point value.").arg(text));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok) {
        // A well-formed number out of range: overflow goes to infinity, underflow to zero.
        const bool negative = t.startsWith(u'-');
        const qsizetype e = t.indexOf(u'e', 0, Qt::CaseInsensitive);
        if (e >= 0 && t.mid(e + 1).startsWith(u'-'))
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return v;
}

} // namespace SoapLexical
