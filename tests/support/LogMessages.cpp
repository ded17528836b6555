#include "LogMessages.h"

#include <QFile>
#include <QRegularExpression>

QStringList WithoutStamps(QStringList lines) {
    static const QRegularExpression stamp(QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\] "));
    for (QString& l : lines)
        l.remove(stamp);
    return lines;
}

QStringList LogMessages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    text.chop(2);
    return WithoutStamps(text.split(QStringLiteral("\r\n")));
}
