#include "SoapReply.h"

#include <QXmlStreamWriter>

namespace sim {

namespace {

class Writer {
public:
    Writer() : FXml(&FBuffer) {}

    void beginEnvelope(const QString& action, const QString& relatesTo) {
        FXml.writeNamespace(kSoap12Ns, QStringLiteral("s"));
        FXml.writeNamespace(kWsaNs, QStringLiteral("a"));
        FXml.writeStartElement(kSoap12Ns, QStringLiteral("Envelope"));
        FXml.writeStartElement(kSoap12Ns, QStringLiteral("Header"));
        FXml.writeStartElement(kWsaNs, QStringLiteral("Action"));
        FXml.writeAttribute(kSoap12Ns, QStringLiteral("mustUnderstand"), QStringLiteral("1"));
        FXml.writeCharacters(action);
        FXml.writeEndElement();
        if (!relatesTo.isEmpty())
            FXml.writeTextElement(kWsaNs, QStringLiteral("RelatesTo"), relatesTo);
        FXml.writeEndElement(); // Header
        FXml.writeStartElement(kSoap12Ns, QStringLiteral("Body"));
    }

    QByteArray endEnvelope() {
        FXml.writeEndElement(); // Body
        FXml.writeEndElement(); // Envelope
        return FBuffer;
    }

    QXmlStreamWriter& xml() { return FXml; }

    // The fields of `object` as children of the element just started, in wire order.
    void writeFields(const SimObject& object) {
        const QString ns = object.type->ns;
        for (std::size_t i = 0; i < object.values.size(); ++i) {
            const auto& value = object.values[i];
            if (!value)
                continue;
            const FieldDef& field = object.type->fields[i];
            const QString name = QLatin1StringView(field.name);
            switch (value->form) {
            case FieldValue::Form::Text:
                FXml.writeTextElement(ns, name, value->text);
                break;
            case FieldValue::Form::Nil:
                FXml.writeEmptyElement(ns, name);
                FXml.writeAttribute(kXsiNs, QStringLiteral("nil"), QStringLiteral("true"));
                break;
            case FieldValue::Form::Strings:
                FXml.writeStartElement(ns, name);
                FXml.writeNamespace(kArraysNs, QStringLiteral("c"));
                for (const QString& s : value->strings)
                    FXml.writeTextElement(kArraysNs, QStringLiteral("string"), s);
                FXml.writeEndElement();
                break;
            case FieldValue::Form::Object:
                FXml.writeStartElement(ns, name);
                if (value->object->type->ns != object.type->ns)
                    FXml.writeNamespace(value->object->type->ns, QStringLiteral("d"));
                writeFields(*value->object);
                FXml.writeEndElement();
                break;
            }
        }
    }

private:
    QByteArray FBuffer;
    QXmlStreamWriter FXml;
};

} // namespace

QByteArray writeResponse(const OperationDef& operation, const OperationResult& result,
                         const QString& relatesTo) {
    Writer w;
    QXmlStreamWriter& xml = w.xml();
    w.beginEnvelope(operation.responseAction(), relatesTo);
    // The wrapper elements take the service namespace as their default, declared on the response
    // element itself, as WCF writes it.
    xml.writeStartElement(operation.responseElement());
    xml.writeAttribute(QStringLiteral("xmlns"), kServiceNs);
    xml.writeStartElement(operation.resultElement());
    switch (operation.result) {
    case ResultKind::Text:
        if (result.nil) {
            xml.writeNamespace(kXsiNs, QStringLiteral("i"));
            xml.writeAttribute(kXsiNs, QStringLiteral("nil"), QStringLiteral("true"));
        } else {
            xml.writeCharacters(result.lexical);
        }
        break;
    case ResultKind::Double:
    case ResultKind::Boolean:
        xml.writeCharacters(result.lexical);
        break;
    case ResultKind::Bytes:
        xml.writeCharacters(QString::fromLatin1(result.bytes.toBase64()));
        break;
    case ResultKind::Object:
        xml.writeNamespace(operation.resultType->ns, QStringLiteral("b"));
        xml.writeNamespace(kXsiNs, QStringLiteral("i"));
        if (result.object)
            w.writeFields(*result.object);
        else
            xml.writeAttribute(kXsiNs, QStringLiteral("nil"), QStringLiteral("true"));
        break;
    case ResultKind::ObjectArray:
        xml.writeNamespace(operation.resultType->ns, QStringLiteral("b"));
        xml.writeNamespace(kXsiNs, QStringLiteral("i"));
        for (const SimObject& item : result.items) {
            xml.writeStartElement(operation.resultType->ns, QLatin1StringView(operation.resultType->name));
            w.writeFields(item);
            xml.writeEndElement();
        }
        break;
    }
    xml.writeEndElement(); // Result
    xml.writeEndElement(); // Response
    return w.endEnvelope();
}

QByteArray writeFault(const SimFault& fault, const OperationDef* operation, const QString& relatesTo) {
    const bool application = fault.kind() == SimFault::Kind::Application && operation;
    Writer w;
    QXmlStreamWriter& xml = w.xml();
    w.beginEnvelope(application ? operation->action() + QStringLiteral("WebServiceFaultFault")
                                : QString(kWsaFaultAction),
                    relatesTo);
    xml.writeStartElement(kSoap12Ns, QStringLiteral("Fault"));
    xml.writeStartElement(kSoap12Ns, QStringLiteral("Code"));
    xml.writeTextElement(kSoap12Ns, QStringLiteral("Value"),
                         fault.code() == SimFault::Code::Sender ? QStringLiteral("s:Sender")
                                                                : QStringLiteral("s:Receiver"));
    xml.writeEndElement();
    xml.writeStartElement(kSoap12Ns, QStringLiteral("Reason"));
    xml.writeStartElement(kSoap12Ns, QStringLiteral("Text"));
    xml.writeAttribute(kXmlNs, QStringLiteral("lang"), QStringLiteral("en-US"));
    xml.writeCharacters(fault.Message());
    xml.writeEndElement();
    xml.writeEndElement(); // Reason
    if (application) {
        xml.writeStartElement(kSoap12Ns, QStringLiteral("Detail"));
        xml.writeStartElement(QLatin1StringView(types::WebServiceFault.name));
        xml.writeAttribute(QStringLiteral("xmlns"), types::WebServiceFault.ns);
        xml.writeNamespace(kXsiNs, QStringLiteral("i"));
        xml.writeTextElement(QStringLiteral("Message"), fault.Message());
        xml.writeEndElement();
        xml.writeEndElement(); // Detail
    }
    xml.writeEndElement(); // Fault
    return w.endEnvelope();
}

} // namespace sim
