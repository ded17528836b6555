#pragma once

#include "SoapOperations.h"

#include <QByteArray>

class QXmlStreamReader;

// Reads SOAP 1.2 messages by the registrations. A document with a DTD is refused before anything
// of it is used, so no entity is ever expanded. Errors are EZeltError; a fault is raised as
// ERemotableException, or as the registered error class its detail names.
class TSoapReader {
public:
    // The value of the operation's return element (the type's empty value when the element is
    // absent or nil).
    static TSoapValue ReadResponse(const QByteArray& xml, const TSoapInterface& intf,
                                   const TSoapOperation& op);
    // Raises the fault if the message is a well-formed SOAP 1.2 fault; returns otherwise.
    static void RaiseIfFault(const QByteArray& xml);

    // For a service: the operation named by the body's first element and its arguments by
    // parameter name (missing ones stay empty).
    struct TRequest {
        const TSoapOperation* Operation = nullptr;
        QString ElementName;
        std::vector<TSoapValue> Args;
    };
    static TRequest ReadRequest(const QByteArray& xml, const TSoapInterface& intf);

    // The content of the current element as a value of the given kind; the reader ends on its end tag.
    static TSoapValue ReadValue(QXmlStreamReader& r, TSoapKind kind, std::type_index cls,
                                const QString& itemName = {});
};
