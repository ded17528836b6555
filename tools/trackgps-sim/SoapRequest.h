#pragma once

#include "SimContract.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace sim {

struct SoapParameter {
    QString name;
    std::optional<QString> value; // empty when sent as xsi:nil
};

// One SOAP 1.2 request as the service reads it.
struct SoapRequest {
    QString mediaType;
    std::optional<QString> contentTypeAction;
    std::optional<QString> headerAction;
    QString messageId;
    QString operationName; // the body element's local name, as sent
    QString operationNs;
    const OperationDef* operation = nullptr;
    QList<SoapParameter> parameters; // as received

    const SoapParameter* parameter(const char* name) const;
};

// Reads and checks a request: content type, envelope, addressing headers, operation and action.
// Fills `request` as far as it gets, so that a fault can still name the operation and relate to the
// request's message id; throws SimFault for anything the service refuses. Document type
// declarations are refused, so no entity is ever expanded.
void parseRequest(const QByteArray& contentType, const QByteArray& body, SoapRequest& request);

} // namespace sim
