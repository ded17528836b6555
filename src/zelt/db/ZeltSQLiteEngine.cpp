#include "ZeltSQLiteEngine.h"

#include "ZeltDBError.h"
#include "ZeltSQLiteDialect.h"
#include "ZeltSQLiteFunctions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>

namespace {

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("zelt-sqlite-%1").arg(++counter);
}

// "file:" URI that opens an existing file for writing and never creates one.
QString ExistingFileUri(const QString& path) {
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
}

} // namespace

QString ZeltSQLiteFolder(const QString& database) {
    if (QDir::isAbsolutePath(database))
        return QDir::cleanPath(database);
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).filePath(database));
}

TZeltSQLiteEngine::TZeltSQLiteEngine() = default;

TZeltSQLiteEngine::~TZeltSQLiteEngine() {
    Disconnect();
}

void TZeltSQLiteEngine::Connect(const QStringList& params) {
    Disconnect();
    const QString database = ZeltParamValue(params, QStringLiteral("DataBase"));
    if (database.trimmed().isEmpty())
        throw EZeltDBError(QStringLiteral("unable to open database: DataBase is empty (it names the folder "
                                          "that holds the schema files NAME.sqlite)"));
    const QString folder = ZeltSQLiteFolder(database);
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        throw EZeltDBError(
            QStringLiteral("unable to open database: folder \"%1\" does not exist").arg(folder));

    QStringList files;
    QStringList schemas;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.suffix().compare(u"sqlite", Qt::CaseInsensitive) != 0 || entry.completeBaseName().isEmpty())
            continue;
        const QString schema = entry.completeBaseName();
        for (const QString& known : schemas)
            if (known.compare(schema, Qt::CaseInsensitive) == 0)
                throw EZeltDBError(QStringLiteral("unable to open database: schema %1 is in two files of "
                                                  "folder \"%2\" (names differ only in letter case)")
                                       .arg(schema, folder));
        schemas.append(schema);
        files.append(entry.absoluteFilePath());
    }
    if (schemas.isEmpty())
        throw EZeltDBError(
            QStringLiteral("unable to open database: folder \"%1\" holds no schema (no NAME.sqlite file)")
                .arg(folder));

    const QString name = NewConnectionName();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        if (!db.isValid()) {
            failure = QStringLiteral("unable to open database: the Qt SQLite driver (libqt6sql6-sqlite) is "
                                     "not installed");
        } else {
            db.setDatabaseName(QStringLiteral(":memory:"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open())
                failure = ZeltDBErrorText(db.lastError());
        }
        sqlite3* handle = nullptr;
        if (failure.isEmpty()) {
            const QVariant v = db.driver()->handle();
            if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
                handle = *static_cast<sqlite3* const*>(v.constData());
            if (!handle || ZeltRegisterSQLiteFunctions(handle) != SQLITE_OK)
                failure = QStringLiteral("unable to open database: cannot install the engine's functions");
        }
        for (qsizetype i = 0; failure.isEmpty() && i < schemas.size(); ++i) {
            QSqlQuery attach(db);
            attach.prepare(QStringLiteral("ATTACH DATABASE ? AS ?"));
            attach.addBindValue(ExistingFileUri(files[i]));
            attach.addBindValue(schemas[i]);
            QSqlQuery probe(db);
            if (!attach.exec())
                failure = ZeltDBErrorText(attach.lastError()) + QStringLiteral(" (%1)").arg(files[i]);
            else if (!probe.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\".sqlite_master")
                                     .arg(QString(schemas[i]).replace(u'"', QStringLiteral("\"\"")))))
                failure = ZeltDBErrorText(probe.lastError()) + QStringLiteral(" (%1)").arg(files[i]);
        }
        if (failure.isEmpty()) {
            // Oracle's one-row table, for SELECT ... FROM DUAL.
            QSqlQuery dual(db);
            if (!dual.exec(QStringLiteral("CREATE TEMP VIEW DUAL AS SELECT 'X' AS DUMMY")))
                failure = ZeltDBErrorText(dual.lastError());
        }
        if (failure.isEmpty()) {
            FDatabase = db;
            FHandle = handle;
            FConnectionName = name;
            FSchemas = schemas;
        } else {
            db.close();
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(name);
        throw EZeltDBError(failure);
    }
}

void TZeltSQLiteEngine::Disconnect() {
    if (FConnectionName.isEmpty())
        return;
    if (InTransaction()) {
        QSqlQuery rollback(FDatabase);
        rollback.exec(QStringLiteral("ROLLBACK"));
    }
    FDatabase.close();
    FDatabase = QSqlDatabase();
    FHandle = nullptr;
    QSqlDatabase::removeDatabase(FConnectionName);
    FConnectionName.clear();
    FSchemas.clear();
}

bool TZeltSQLiteEngine::Connected() const {
    return FDatabase.isOpen();
}

bool TZeltSQLiteEngine::InTransaction() const {
    // The handle dies with the driver's connection, which may have been closed under us.
    return FHandle && FDatabase.isOpen() && sqlite3_get_autocommit(FHandle) == 0;
}

void TZeltSQLiteEngine::Run(QSqlQuery& query, const QString& sql) {
    if (!Connected())
        throw EZeltDBError(QStringLiteral("not connected"));
    const QString rewritten = ZeltSQLiteRewrite(
        sql, [this](const QString& schema, const QString& table, const QStringList& columns) {
            return HasIndex(schema, table, columns);
        });
    auto plain = [this](const char* statement) {
        QSqlQuery q(FDatabase);
        if (!q.exec(QString::fromLatin1(statement)))
            throw EZeltDBError(ZeltDBErrorText(q.lastError()));
    };
    switch (ZeltStatementKind(sql)) {
    case TZeltStatementKind::Commit:
    case TZeltStatementKind::Rollback:
        if (!InTransaction())
            return; // Oracle ends an empty transaction without complaint
        break;
    case TZeltStatementKind::Change:
        if (!InTransaction())
            plain("BEGIN");
        break;
    case TZeltStatementKind::Definition:
        if (InTransaction())
            plain("COMMIT");
        break;
    case TZeltStatementKind::Query:
    case TZeltStatementKind::Other:
        break;
    }
    query.setForwardOnly(true);
    if (!query.exec(rewritten))
        throw EZeltDBError(ZeltDBErrorText(query.lastError()));
}

bool TZeltSQLiteEngine::HasIndex(const QString& schema, const QString& table,
                                 const QStringList& columns) const {
    auto quote = [](QString name) { return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"'; };
    const QString prefix = schema.isEmpty() ? QString() : quote(schema) + u'.';
    QSqlQuery list(FDatabase);
    if (!list.exec(QStringLiteral("PRAGMA %1index_list(%2)").arg(prefix, quote(table))))
        return false;
    QStringList indexes;
    while (list.next())
        if (list.value(QStringLiteral("partial")).toInt() == 0)
            indexes << list.value(QStringLiteral("name")).toString();
    for (const QString& index : indexes) {
        QSqlQuery info(FDatabase);
        if (!info.exec(QStringLiteral("PRAGMA %1index_xinfo(%2)").arg(prefix, quote(index))))
            continue;
        qsizetype matched = 0;
        while (matched < columns.size() && info.next()) {
            if (info.value(QStringLiteral("key")).toInt() == 0 ||
                info.value(QStringLiteral("name"))
                        .toString()
                        .compare(columns[matched], Qt::CaseInsensitive) != 0 ||
                info.value(QStringLiteral("coll")).toString().compare(u"BINARY", Qt::CaseInsensitive) != 0)
                break;
            ++matched;
        }
        if (matched == columns.size())
            return true;
    }
    return false;
}

void TZeltSQLiteEngine::Execute(const QString& command) {
    QSqlQuery query(FDatabase);
    Run(query, command);
}

TZeltDBResult TZeltSQLiteEngine::Query(const QString& sql) {
    QSqlQuery query(FDatabase);
    Run(query, sql);
    if (!query.isActive())
        return {};
    TZeltDBResult result = ZeltFetchAll(query);
    if (query.lastError().isValid())
        throw EZeltDBError(ZeltDBErrorText(query.lastError()));
    return result;
}

TZeltDBResult TZeltSQLiteEngine::CallProc(const QString& name, QList<TZeltDBParam>&) {
    throw EZeltDBError(
        QStringLiteral("Not supported by the embedded engine: stored procedures (%1)").arg(name));
}
