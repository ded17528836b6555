#include "ZeltDBStoredProc.h"

#include "ZeltDBError.h"
#include "ZeltDBOwner.h"

TZeltDBStoredProc::TZeltDBStoredProc(QObject* owner) : TZeltDBDataSet(owner) {}

TZeltDBStoredProc::~TZeltDBStoredProc() {
    Unprepare();
    Close();
}

void TZeltDBStoredProc::SetProcName(const QString& name) {
    FProcName = name;
    if (!FPrepared)
        Prepare();
}

TZeltDBParam& TZeltDBStoredProc::AddParam(const QString& name, TZeltDBParamType type, const QVariant& value) {
    FParams.append({name, value, type});
    return FParams.last();
}

TZeltDBParam& TZeltDBStoredProc::ParamByName(const QString& name) {
    for (TZeltDBParam& param : FParams)
        if (param.Name.compare(name, Qt::CaseInsensitive) == 0)
            return param;
    throw EZeltDBError(QStringLiteral("Parameter '%1' not found").arg(name));
}

QString TZeltDBStoredProc::CallText() const {
    QString text = FProcName + u'(';
    for (const TZeltDBParam& param : FParams)
        text += param.Name + QStringLiteral(" = ") + param.Value.toString() + QStringLiteral("; ");
    return text + u')';
}

QString TZeltDBStoredProc::ResultText() const {
    if (FParams.isEmpty() || FParams.first().Name != u"RESULT")
        return {};
    return FParams.first().Name + QStringLiteral(" = ") + FParams.first().Value.toString();
}

void TZeltDBStoredProc::ExecProc() {
    if (SQLTraceEnabled)
        SQLTraceStart(CallText());
    Execute();
    if (SQLTraceEnabled)
        SQLTraceStop(ResultText());
}

void TZeltDBStoredProc::DoBeforeOpen() {
    TZeltDBDataSet::DoBeforeOpen();
    if (SQLTraceEnabled)
        SQLTraceStart(CallText());
}

void TZeltDBStoredProc::DoAfterOpen() {
    const QString result = ResultText();
    if (SQLTraceEnabled)
        SQLTraceStop(result);
    TZeltDBDataSet::DoAfterOpen();
    FetchAll();
}

void TZeltDBStoredProc::DoAfterClose() {
    TZeltDBDataSet::DoAfterClose();
    Unprepare();
}

TZeltDBResult TZeltDBStoredProc::Execute() {
    return Engine().CallProc(FProcName, FParams);
}
