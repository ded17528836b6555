#pragma once

#include "ZeltDBEngine.h"

#include <QSqlDatabase>

#include <functional>

// Oracle (DriverID=Ora): Qt's QOCI driver when its plugin is installed, otherwise QODBC with Oracle's
// ODBC driver. DataBase is the net service name or connect string (QOCI), or the ODBC data source
// name, or a full ODBC connection string when it contains "=" (QODBC). The session runs with
// autocommit off: work ends with a COMMIT or ROLLBACK statement, and disconnecting rolls back.
class TZeltOraEngine final : public TZeltDBEngine {
public:
    using DriverAvailable = std::function<bool(const QString& qtDriver)>;

    // driverAvailable tells whether a Qt SQL driver can be loaded (QSqlDatabase::isDriverAvailable).
    explicit TZeltOraEngine(DriverAvailable driverAvailable = {});
    ~TZeltOraEngine() override;

    // "QOCI", "QODBC", or empty when neither can be loaded.
    QString ChooseQtDriver() const;

    void Connect(const QStringList& params) override;
    void Disconnect() override;
    bool Connected() const override;
    void Execute(const QString& command) override;
    TZeltDBResult Query(const QString& sql) override;
    TZeltDBResult CallProc(const QString& name, QList<TZeltDBParam>& params) override;

private:
    DriverAvailable FDriverAvailable;
    QString FConnectionName;
    QSqlDatabase FDatabase;
};

// The ODBC connection string for DataBase with the account: "DSN=<name>;UID=..;PWD=.." for a data
// source name; a text that contains "=" is a connection string already and gets UID and PWD added
// unless it names them. Values that need it are braced ({a;b}, "}" doubled).
QString ZeltOdbcConnectionString(const QString& database, const QString& user, const QString& password);

// Text of the error raised when no Oracle driver at all can be loaded.
QString ZeltNoOracleDriverText();
