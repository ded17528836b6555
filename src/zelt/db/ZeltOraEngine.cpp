#include "ZeltOraEngine.h"

#include "ZeltDBError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace {

QString OdbcValue(const QString& value) {
    const bool plain =
        !value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') && value.trimmed() == value;
    if (plain)
        return value;
    QString braced = value;
    braced.replace(u'}', QStringLiteral("}}"));
    return u'{' + braced + u'}';
}

bool NamesKey(const QString& connectionString, QStringView key) {
    const auto parts = QStringView(connectionString).split(u';');
    for (const QStringView part : parts) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("zelt-ora-%1").arg(++counter);
}

void Raise(const QSqlError& error) {
    throw EZeltDBError(ZeltDBErrorText(error));
}

} // namespace

QString ZeltOdbcConnectionString(const QString& database, const QString& user, const QString& password) {
    QString result;
    if (database.contains(u'=')) {
        result = database;
        while (result.endsWith(u';'))
            result.chop(1);
    } else {
        result = QStringLiteral("DSN=") + OdbcValue(database);
    }
    if (!NamesKey(result, u"UID"))
        result += QStringLiteral(";UID=") + OdbcValue(user);
    if (!NamesKey(result, u"PWD"))
        result += QStringLiteral(";PWD=") + OdbcValue(password);
    return result;
}

QString ZeltNoOracleDriverText() {
    return QStringLiteral(
        "Cannot connect to Oracle: no Oracle driver is installed. Install the Qt OCI driver plugin "
        "(QOCI, built with the Oracle Instant Client), or the Qt ODBC driver (libqt6sql6-odbc) with "
        "unixODBC and Oracle's ODBC driver (Instant Client ODBC) registered in odbcinst.ini");
}

TZeltOraEngine::TZeltOraEngine(DriverAvailable driverAvailable)
    : FDriverAvailable(driverAvailable ? std::move(driverAvailable) : DriverAvailable([](const QString& d) {
          return QSqlDatabase::isDriverAvailable(d);
      })) {}

TZeltOraEngine::~TZeltOraEngine() {
    Disconnect();
}

QString TZeltOraEngine::ChooseQtDriver() const {
    if (FDriverAvailable(QStringLiteral("QOCI")))
        return QStringLiteral("QOCI");
    if (FDriverAvailable(QStringLiteral("QODBC")))
        return QStringLiteral("QODBC");
    return {};
}

void TZeltOraEngine::Connect(const QStringList& params) {
    Disconnect();
    const QString qtDriver = ChooseQtDriver();
    if (qtDriver.isEmpty())
        throw EZeltDBError(ZeltNoOracleDriverText());

    const QString database = ZeltParamValue(params, QStringLiteral("DataBase"));
    const QString user = ZeltParamValue(params, QStringLiteral("User_Name"));
    const QString password = ZeltParamValue(params, QStringLiteral("Password"));

    const QString name = NewConnectionName();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver, name);
        if (qtDriver == u"QOCI") {
            db.setDatabaseName(database);
            db.setUserName(user);
            db.setPassword(password);
        } else {
            // The account goes into the connection string; QODBC would append its own otherwise.
            db.setDatabaseName(ZeltOdbcConnectionString(database, user, password));
        }
        if (!db.open()) {
            const QSqlError error = db.lastError();
            failure = ZeltDBErrorText(error);
            // The driver manager speaking means no Oracle driver was reached at all.
            if (qtDriver == u"QODBC" && error.databaseText().contains(u"[Driver Manager]"))
                failure += QStringLiteral(" (DataBase \"%1\": install Oracle's ODBC driver for unixODBC "
                                          "and define the data source, or install the Qt OCI driver "
                                          "plugin)")
                               .arg(database);
            if (failure.isEmpty())
                failure = QStringLiteral("Cannot connect to Oracle database \"%1\"").arg(database);
        } else if (!db.transaction()) {
            // Oracle's own model: nothing is committed until COMMIT is sent.
            failure = ZeltDBErrorText(db.lastError());
            db.close();
        } else {
            FDatabase = db;
            FConnectionName = name;
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(name);
        throw EZeltDBError(failure);
    }
}

void TZeltOraEngine::Disconnect() {
    if (FConnectionName.isEmpty())
        return;
    if (FDatabase.isOpen()) {
        FDatabase.rollback();
        FDatabase.close();
    }
    FDatabase = QSqlDatabase();
    QSqlDatabase::removeDatabase(FConnectionName);
    FConnectionName.clear();
}

bool TZeltOraEngine::Connected() const {
    return FDatabase.isOpen();
}

void TZeltOraEngine::Execute(const QString& command) {
    QSqlQuery query(FDatabase);
    query.setForwardOnly(true);
    if (!query.exec(command))
        Raise(query.lastError());
}

TZeltDBResult TZeltOraEngine::Query(const QString& sql) {
    QSqlQuery query(FDatabase);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        Raise(query.lastError());
    TZeltDBResult result = ZeltFetchAll(query);
    if (query.lastError().isValid())
        Raise(query.lastError());
    return result;
}

TZeltDBResult TZeltOraEngine::CallProc(const QString& name, QList<TZeltDBParam>& params) {
    QString call = QStringLiteral("BEGIN ");
    QStringList arguments;
    for (const TZeltDBParam& param : params) {
        if (param.ParamType == TZeltDBParamType::Result)
            call += u':' + param.Name + QStringLiteral(" := ");
        else
            arguments.append(u':' + param.Name);
    }
    call += name + u'(' + arguments.join(QStringLiteral(", ")) + QStringLiteral("); END;");

    QSqlQuery query(FDatabase);
    if (!query.prepare(call))
        Raise(query.lastError());
    for (const TZeltDBParam& param : params) {
        QSql::ParamType type = QSql::In;
        switch (param.ParamType) {
        case TZeltDBParamType::Input:
            type = QSql::In;
            break;
        case TZeltDBParamType::Output:
        case TZeltDBParamType::Result:
            type = QSql::Out;
            break;
        case TZeltDBParamType::InputOutput:
            type = QSql::InOut;
            break;
        }
        query.bindValue(u':' + param.Name, param.Value, type);
    }
    if (!query.exec())
        Raise(query.lastError());
    for (TZeltDBParam& param : params)
        if (param.ParamType != TZeltDBParamType::Input)
            param.Value = query.boundValue(u':' + param.Name);
    return query.isSelect() ? ZeltFetchAll(query) : TZeltDBResult{};
}
