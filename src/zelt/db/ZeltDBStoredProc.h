#pragma once

#include "ZeltDBDataSet.h"

#include <QList>

// The stored-procedure dataset: calls ProcName with Params (an output parameter named RESULT is a
// function's result), fetches what it returns, and reports the call to the SQL trace.
class TZeltDBStoredProc : public TZeltDBDataSet {
    Q_OBJECT
public:
    explicit TZeltDBStoredProc(QObject* owner = nullptr);
    ~TZeltDBStoredProc() override;

    const QString& ProcName() const { return FProcName; }
    // Also the StoredProcName.
    void SetProcName(const QString& name);
    const QString& StoredProcName() const { return FProcName; }

    TZeltSQLConnection* SqlConnection() const { return Connection(); }
    void SetSqlConnection(TZeltSQLConnection* connection) { SetConnection(connection); }

    QList<TZeltDBParam>& Params() { return FParams; }
    const QList<TZeltDBParam>& Params() const { return FParams; }
    TZeltDBParam& AddParam(const QString& name, TZeltDBParamType type, const QVariant& value = {});
    // Without regard to letter case; raises EZeltDBError "Parameter 'X' not found".
    TZeltDBParam& ParamByName(const QString& name);

    // Runs the call without opening the dataset; output parameters receive their values.
    void ExecProc();

    // "NAME(P1 = v1; P2 = v2; )", the call as the trace shows it.
    QString CallText() const;
    // "RESULT = v" when the first parameter is named RESULT (that letter case), else empty.
    QString ResultText() const;

    bool Prepared() const { return FPrepared; }
    void Prepare() { FPrepared = true; }
    void Unprepare() { FPrepared = false; }

protected:
    void DoBeforeOpen() override;
    void DoAfterOpen() override;
    void DoAfterClose() override;
    TZeltDBResult Execute() override;

private:
    QString FProcName;
    QList<TZeltDBParam> FParams;
    bool FPrepared = false;
};
