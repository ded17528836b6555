#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSqlQuery;

// The whole result of a query, fetched at once: column names in select order and one value list per
// row. A null value is a null QVariant.
struct TZeltDBResult {
    QStringList Columns;
    QList<QVariantList> Rows;
};

enum class TZeltDBParamType { Input, Output, InputOutput, Result };

// A parameter of a stored-procedure call.
struct TZeltDBParam {
    QString Name;
    QVariant Value;
    TZeltDBParamType ParamType = TZeltDBParamType::Input;
};

// One database engine behind a connection. Every failure raises EZeltDBError with the server's text.
class TZeltDBEngine {
public:
    virtual ~TZeltDBEngine();

    // params: name=value lines of the connection.
    virtual void Connect(const QStringList& params) = 0;
    // Rolls back work that was not committed.
    virtual void Disconnect() = 0;
    virtual bool Connected() const = 0;

    // One statement, sent as written; rows affected are not reported.
    virtual void Execute(const QString& command) = 0;
    virtual TZeltDBResult Query(const QString& sql) = 0;
    // Output, in-out and result parameters receive their values.
    virtual TZeltDBResult CallProc(const QString& name, QList<TZeltDBParam>& params) = 0;
};

// The engine for a DriverID ("Ora", "SQLite"; any letter case); raises EZeltDBError for another.
std::unique_ptr<TZeltDBEngine> ZeltCreateDBEngine(const QString& driverId);

// name=value lines: names compared without regard to letter case.
qsizetype ZeltFindParam(const QStringList& params, const QString& name);
QString ZeltParamValue(const QStringList& params, const QString& name);
// Replaces the line of that name, or adds one.
void ZeltSetParamValue(QStringList& params, const QString& name, const QString& value);

// Runs an executed query to its end, collecting every row.
TZeltDBResult ZeltFetchAll(QSqlQuery& query);
