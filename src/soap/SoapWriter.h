#pragma once

#include "SoapOperations.h"

#include <QByteArray>
#include <QXmlStreamWriter>

// A fault as a service writes it. Detail, when set, is an object of a registered class.
struct TSoapFaultInfo {
    QString Code = QStringLiteral("Receiver"); // Sender, Receiver, ... (envelope namespace)
    QString Reason;                            // left out when empty
    QString ReasonLang = QStringLiteral("en-US");
    QString Node;
    QString Role;
    const TRemotable* Detail = nullptr;
};

// Writes SOAP 1.2 messages from the registrations: requests for a client, replies and faults for a
// service. Only specified fields are written, in the order of their class's field table.
class TSoapWriter {
public:
    // Envelope and Body holding one element named after the operation, in the interface's
    // namespace, whose children are the arguments in parameter order.
    static QByteArray WriteRequest(const TSoapInterface& intf, const TSoapOperation& op,
                                   const std::vector<TSoapView>& args);
    // Envelope and Body holding "<operation>Response" with the return element. A non-empty action is
    // written as the WS-Addressing Action header.
    static QByteArray WriteResponse(const TSoapInterface& intf, const TSoapOperation& op,
                                    const TSoapView& result, const QString& action = {});
    static QByteArray WriteFault(const TSoapFaultInfo& fault);

    // One value as element {ns}name. contentNs is the namespace of an object's fields or of array
    // items when the registration does not decide it.
    static void WriteElement(QXmlStreamWriter& w, const QString& ns, const QString& name, TSoapKind kind,
                             const TSoapView& value, unsigned flags, const QString& contentNs = {},
                             const QString& itemName = {});
    // The specified fields of obj, in its class's namespace (or ns when given).
    static void WriteFields(QXmlStreamWriter& w, const TRemotable& obj, const QString& ns = {});
};
