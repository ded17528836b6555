#pragma once

#include "SimContract.h"
#include "SimFault.h"
#include "SimValue.h"

#include <QByteArray>
#include <QString>

namespace sim {

// SOAP 1.2 reply envelopes in the form a WCF service with WS-Addressing 1.0 writes them: the
// Action of the reply and RelatesTo the request's MessageID in the header, the result inside
// <Op>Response/<Op>Result in the service namespace, complex content in its own namespace. The
// result itself is written by the SOAP runtime from the contract's registered classes.
QByteArray writeResponse(const OperationDef& operation, const OperationResult& result,
                         const QString& relatesTo);

// A SOAP 1.2 fault. Application faults carry a WebServiceFault detail and the operation's fault
// action; refusals of the message itself carry the WS-Addressing fault action.
QByteArray writeFault(const SimFault& fault, const OperationDef* operation, const QString& relatesTo);

} // namespace sim
