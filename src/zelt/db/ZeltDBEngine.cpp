#include "ZeltDBEngine.h"

#include "ZeltDBError.h"
#include "ZeltOraEngine.h"
#include "ZeltSQLiteEngine.h"

#include <QSqlQuery>
#include <QSqlRecord>

TZeltDBEngine::~TZeltDBEngine() = default;

std::unique_ptr<TZeltDBEngine> ZeltCreateDBEngine(const QString& driverId) {
    if (driverId.compare(u"Ora", Qt::CaseInsensitive) == 0)
        return std::make_unique<TZeltOraEngine>();
    if (driverId.compare(u"SQLite", Qt::CaseInsensitive) == 0)
        return std::make_unique<TZeltSQLiteEngine>();
    if (driverId.isEmpty())
        throw EZeltDBError(QStringLiteral("No DriverID in the connection parameters (use Ora or SQLite)"));
    throw EZeltDBError(QStringLiteral("Unknown DriverID \"%1\" (use Ora or SQLite)").arg(driverId));
}

qsizetype ZeltFindParam(const QStringList& params, const QString& name) {
    for (qsizetype i = 0; i < params.size(); ++i) {
        const QString& line = params[i];
        const qsizetype eq = line.indexOf(u'=');
        const QStringView key = eq < 0 ? QStringView(line) : QStringView(line).left(eq);
        if (key.trimmed().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString ZeltParamValue(const QStringList& params, const QString& name) {
    const qsizetype at = ZeltFindParam(params, name);
    if (at < 0)
        return {};
    const QString& line = params[at];
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

void ZeltSetParamValue(QStringList& params, const QString& name, const QString& value) {
    const QString line = name + u'=' + value;
    const qsizetype at = ZeltFindParam(params, name);
    if (at < 0)
        params.append(line);
    else
        params[at] = line;
}

TZeltDBResult ZeltFetchAll(QSqlQuery& query) {
    TZeltDBResult result;
    const QSqlRecord record = query.record();
    const int columns = record.count();
    result.Columns.reserve(columns);
    for (int i = 0; i < columns; ++i)
        result.Columns.append(record.fieldName(i));
    while (query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(query.value(i));
        result.Rows.append(std::move(row));
    }
    return result;
}
