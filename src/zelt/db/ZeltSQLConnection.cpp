#include "ZeltSQLConnection.h"

#include "ZeltDBError.h"
#include "ZeltDBOwner.h"

TZeltSQLConnection* DefaultSQLConnection = nullptr;

TZeltSQLConnection::TZeltSQLConnection(QObject* parent) : QObject(parent) {}

TZeltSQLConnection::~TZeltSQLConnection() {
    if (DefaultSQLConnection == this)
        DefaultSQLConnection = nullptr;
    if (FEngine)
        FEngine->Disconnect();
}

QString TZeltSQLConnection::ParamValue(const QString& name) const {
    return ZeltParamValue(FParams, name);
}

void TZeltSQLConnection::SetParam(const QString& name, const QString& value) {
    ZeltSetParamValue(FParams, name, value);
}

QString TZeltSQLConnection::DriverName() const {
    return ParamValue(QStringLiteral("DriverID"));
}

void TZeltSQLConnection::SetDriverName(const QString& driverName) {
    SetParam(QStringLiteral("DriverID"), driverName);
}

bool TZeltSQLConnection::Connected() const {
    return FEngine && FEngine->Connected();
}

void TZeltSQLConnection::SetConnected(bool connected) {
    if (connected == Connected())
        return;
    if (!connected) {
        std::unique_ptr<TZeltDBEngine> engine = std::move(FEngine);
        engine->Disconnect();
        return;
    }
    std::unique_ptr<TZeltDBEngine> engine = ZeltCreateDBEngine(DriverName());
    engine->Connect(FParams);
    FEngine = std::move(engine);
}

void TZeltSQLConnection::CloneProperties(const TZeltSQLConnection& source) {
    FAdmin = source.FAdmin;
    FAssigned = source.FAssigned;
    FIsInPool = source.FIsInPool;
    SetDriverName(source.DriverName());
    FLoginPrompt = source.FLoginPrompt;
    FParams = source.FParams;
}

int TZeltSQLConnection::ExecuteDirect(const QString& command) {
    if (SQLTraceEnabled)
        SQLTraceStart(command);
    Engine().Execute(command);
    if (SQLTraceEnabled)
        SQLTraceStop(QString());
    return 0;
}

TZeltDBEngine& TZeltSQLConnection::Engine() {
    if (!Connected())
        throw EZeltDBError(QStringLiteral("Connection %1 is not open").arg(objectName()).simplified());
    return *FEngine;
}
