#include "SimTime.h"

#include <QRegularExpression>

namespace sim {

std::optional<QDateTime> parseXmlDateTime(QStringView text) {
    static const QRegularExpression form(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:\.(\d+))?(Z|([+-])(\d{2}):(\d{2}))?$)"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    auto num = [&m](int group) { return m.capturedView(group).toInt(); };

    const QDate date(num(1), num(2), num(3));
    int hour = num(4);
    const int minute = num(5), second = num(6);
    int msec = 0;
    if (m.hasCaptured(7)) {
        // Further digits are below the millisecond resolution the distance needs.
        const QString digits = (m.captured(7) + QStringLiteral("00")).left(3);
        msec = digits.toInt();
    }
    const bool endOfDay = hour == 24 && minute == 0 && second == 0 && msec == 0;
    if (endOfDay)
        hour = 0;
    const QTime time(hour, minute, second, msec);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;

    int offsetSeconds = 0;
    if (m.hasCaptured(9)) {
        const int hours = num(10), minutes = num(11);
        if (hours > 14 || minutes > 59)
            return std::nullopt;
        offsetSeconds = (hours * 60 + minutes) * 60 * (m.capturedView(9) == u'-' ? -1 : 1);
    }
    QDateTime result(date, time, Qt::OffsetFromUTC, offsetSeconds);
    if (endOfDay)
        result = result.addDays(1);
    return result;
}

} // namespace sim
