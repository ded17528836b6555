#pragma once

#include "ZeltDBEngine.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// Transaction settings of a connection. The layer starts and ends no transaction by itself (both
// switches are off); work is ended by the COMMIT or ROLLBACK statements the program sends.
struct TZeltTxOptions {
    bool AutoStart = false;
    bool AutoStop = false;
    unsigned StopOptions = 0;
};

// The database connection component. Params are name=value lines; DriverID picks the engine
// ("Ora": Oracle, "SQLite": the embedded engine), DataBase, User_Name and Password say where and who.
// As a QObject it can be a named child of a window ("ZeltConn"), where GetDBOwner finds it.
class TZeltSQLConnection : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Admin READ Admin WRITE SetAdmin)
    Q_PROPERTY(bool Assigned READ Assigned WRITE SetAssigned)
    Q_PROPERTY(bool IsInPool READ IsInPool WRITE SetIsInPool)
    Q_PROPERTY(QString DriverName READ DriverName WRITE SetDriverName)
    Q_PROPERTY(bool LoginPrompt READ LoginPrompt WRITE SetLoginPrompt)
    Q_PROPERTY(QStringList Params READ Params WRITE SetParams)

public:
    explicit TZeltSQLConnection(QObject* parent = nullptr);
    // Closes an open session (rolling back what was not committed).
    ~TZeltSQLConnection() override;

    const QStringList& Params() const { return FParams; }
    void SetParams(const QStringList& params) { FParams = params; }
    // Names are compared without regard to letter case; setting replaces a line of that name or adds one.
    QString ParamValue(const QString& name) const;
    void SetParam(const QString& name, const QString& value);

    // The DriverID parameter.
    QString DriverName() const;
    void SetDriverName(const QString& driverName);

    // Carried as a setting: the layer never shows a login dialog.
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool value) { FLoginPrompt = value; }

    TZeltTxOptions& TxOptions() { return FTxOptions; }
    const TZeltTxOptions& TxOptions() const { return FTxOptions; }

    // The schema owner (company schema). Plain values, no side effects.
    const QString& Admin() const { return FAdmin; }
    void SetAdmin(const QString& admin) { FAdmin = admin; }
    // Connection-pool flags: carried and copied only.
    bool Assigned() const { return FAssigned; }
    void SetAssigned(bool value) { FAssigned = value; }
    bool IsInPool() const { return FIsInPool; }
    void SetIsInPool(bool value) { FIsInPool = value; }

    bool Connected() const;
    // Connecting raises EZeltDBError with the server's text when the session cannot be opened; the
    // connection is then left disconnected. Disconnecting rolls back work that was not committed.
    void SetConnected(bool connected);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    // Copies Admin, Assigned, IsInPool, DriverName, LoginPrompt and the whole Params list; nothing else,
    // and does not connect.
    void CloneProperties(const TZeltSQLConnection& source);

    // Executes one statement as written (no macro is expanded) and returns 0. Raises EZeltDBError.
    int ExecuteDirect(const QString& command);

    // The open session's engine, for datasets; raises EZeltDBError when not connected.
    TZeltDBEngine& Engine();

private:
    QStringList FParams;
    bool FLoginPrompt = true;
    TZeltTxOptions FTxOptions;
    QString FAdmin;
    bool FAssigned = false;
    bool FIsInPool = false;
    std::unique_ptr<TZeltDBEngine> FEngine;
};

// The process-wide default connection (not owned). Cleared when that connection is destroyed.
extern TZeltSQLConnection* DefaultSQLConnection;
