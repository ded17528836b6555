#pragma once

// A small contract of the tests' own, so the runtime is tested without any provider's types.

#include "SoapFault.h"
#include "SoapOperations.h"
#include "SoapProperty.h"

namespace TestContract {

inline const QString ServiceNs = QStringLiteral("urn:test:fleet");
inline const QString TypesNs = QStringLiteral("urn:test:types");
inline const QString Interface = QStringLiteral("IFleet");

class TInner : public TRemotable {
    SOAP_PROPERTY(QString, Label)
};

// Fields in the order of their XML names, as they are written.
class TPoint : public TRemotable {
    SOAP_OWNED_PROPERTY(TXSDecimal, Amount)
    SOAP_PROPERTY(qint64, Big)
    SOAP_PROPERTY(TByteDynArray, Blob)
    SOAP_PROPERTY(bool, Flag)
    SOAP_OWNED_PROPERTY(TInner, Inner)
    SOAP_PROPERTY(QString, Name)
    SOAP_PROPERTY(qint16, Small)
    SOAP_PROPERTY(QStringList, Tags)
    SOAP_OWNED_PROPERTY(TXSDateTime, When)
    SOAP_PROPERTY(double, X)
};

class TFleetFault : public ERemotableException {
    SOAP_PROPERTY(QString, Code_)
};

void Register();
const TSoapInterface& Fleet();
const TSoapOperation& Op(const char* name);

} // namespace TestContract
