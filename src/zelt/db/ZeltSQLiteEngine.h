#pragma once

#include "ZeltDBEngine.h"

#include <QSqlDatabase>

struct sqlite3;

// The embedded engine (DriverID=SQLite): a real SQLite database that speaks the Oracle forms this
// program sends. DataBase is a folder (absolute, or relative to the executable's folder); every
// NAME.sqlite in it is attached as the schema NAME. Nothing is ever created on disk by connecting.
// Transactions follow Oracle: the first changing statement begins one, COMMIT or ROLLBACK ends it,
// definitions commit open work first, and disconnecting rolls back.
class TZeltSQLiteEngine final : public TZeltDBEngine {
public:
    TZeltSQLiteEngine();
    ~TZeltSQLiteEngine() override;

    void Connect(const QStringList& params) override;
    void Disconnect() override;
    bool Connected() const override;
    void Execute(const QString& command) override;
    TZeltDBResult Query(const QString& sql) override;
    TZeltDBResult CallProc(const QString& name, QList<TZeltDBParam>& params) override;

    // The schemas attached at connect, in the letter case of their file names.
    const QStringList& Schemas() const { return FSchemas; }

    // Whether schema.table (schema empty: wherever SQLite finds it) has a full index whose leading
    // columns are these, in this order, with the default collation.
    bool HasIndex(const QString& schema, const QString& table, const QStringList& columns) const;

private:
    void Run(QSqlQuery& query, const QString& sql);
    bool InTransaction() const;

    QString FConnectionName;
    QSqlDatabase FDatabase;
    sqlite3* FHandle = nullptr;
    QStringList FSchemas;
};

// The folder that DataBase names: relative names start at the executable's folder.
QString ZeltSQLiteFolder(const QString& database);
