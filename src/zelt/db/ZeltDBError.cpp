#include "ZeltDBError.h"

#include <QSqlError>
#include <QStringList>

EZeltDBError::EZeltDBError(QString message) : EZeltError(std::move(message)) {}

EZeltDBError::~EZeltDBError() = default;

QString ZeltStripDriverPrefixes(const QString& text) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        qsizetype at = 0;
        // Line breaks may be CR LF; keep the CR out of the tag scan but in the line.
        while (at < line.size() && line[at] == u' ')
            ++at;
        while (at < line.size() && line[at] == u'[') {
            const qsizetype close = line.indexOf(u']', at);
            if (close < 0)
                break;
            at = close + 1;
        }
        line = line.mid(at);
    }
    QString result = lines.join(u'\n');
    return result.trimmed();
}

QString ZeltDBErrorText(const QSqlError& error) {
    QString text = ZeltStripDriverPrefixes(error.databaseText());
    if (text.isEmpty())
        text = ZeltStripDriverPrefixes(error.driverText());
    return text;
}
