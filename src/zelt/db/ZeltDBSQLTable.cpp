#include "ZeltDBSQLTable.h"

#include "ZeltDBOwner.h"

#include <QRegularExpression>

TZeltDBSQLTable::TZeltDBSQLTable(QObject* owner) : TZeltDBDataSet(owner) {
    SetCachedUpdates(true);
}

TZeltDBSQLTable::~TZeltDBSQLTable() {
    Close();
}

QStringList TZeltDBSQLTable::SQLLines() const {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = FSQL.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TZeltDBSQLTable::SetSQLLines(const QStringList& lines) {
    FSQL.clear();
    for (const QString& line : lines)
        FSQL += line + QStringLiteral("\r\n");
}

void TZeltDBSQLTable::DoBeforeOpen() {
    if (OnCustomizeSqlText)
        OnCustomizeSqlText(*this);
    FSQL = ZeltReplaceMacro(FSQL, QStringLiteral("<owner>"), GetDBOwner());
    if (SQLTraceEnabled)
        SQLTraceStart(FSQL);
    TZeltDBDataSet::DoBeforeOpen();
}

void TZeltDBSQLTable::DoAfterOpen() {
    if (SQLTraceEnabled)
        SQLTraceStop(QString());
    TZeltDBDataSet::DoAfterOpen();
    FetchAll();
}

void TZeltDBSQLTable::DoBeforeRefresh() {
    if (OnCustomizeSqlText)
        OnCustomizeSqlText(*this);
    TZeltDBDataSet::DoBeforeRefresh();
}

TZeltDBResult TZeltDBSQLTable::Execute() {
    return Engine().Query(FSQL);
}
