#include "SoapReply.h"

#include "ContractBridge.h"
#include "SoapWriter.h"
#include "TrackGPSWs_Unit.h"

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
    const QString serviceNs = kServiceNs;
    const QString resultName = operation.resultElement();
    xml.writeStartElement(operation.responseElement());
    xml.writeDefaultNamespace(serviceNs);
    switch (operation.result) {
    case ResultKind::Text:
        TSoapWriter::WriteElement(xml, serviceNs, resultName, TSoapKind::String,
                                  result.nil ? TSoapView() : TSoapView(&result.lexical),
                                  sfOptional | sfNillable);
        break;
    case ResultKind::Double:
        TSoapWriter::WriteElement(xml, serviceNs, resultName, TSoapKind::Double,
                                  SoapLexical::ParseDouble(result.lexical), sfOptional);
        break;
    case ResultKind::Boolean:
        TSoapWriter::WriteElement(xml, serviceNs, resultName, TSoapKind::Boolean,
                                  result.lexical == QLatin1StringView("true"), sfOptional);
        break;
    case ResultKind::Bytes:
        TSoapWriter::WriteElement(xml, serviceNs, resultName, TSoapKind::Base64, &result.bytes,
                                  sfOptional | sfNillable);
        break;
    case ResultKind::Object:
    case ResultKind::ObjectArray: {
        // The content's namespace and xsi are declared where the content begins, as data-contract
        // services do.
        const QString contentNs = operation.resultType->ns;
        xml.writeStartElement(serviceNs, resultName);
        xml.writeNamespace(contentNs, QStringLiteral("b"));
        xml.writeNamespace(kXsiNs, QStringLiteral("i"));
        if (operation.result == ResultKind::Object) {
            if (result.object)
                TSoapWriter::WriteFields(xml, *toContract(*result.object), contentNs);
            else
                xml.writeAttribute(kXsiNs, QStringLiteral("nil"), QStringLiteral("true"));
        } else {
            for (const SimObject& item : result.items) {
                const std::unique_ptr<TRemotable> contract = toContract(item);
                TSoapWriter::WriteElement(xml, contentNs, QLatin1StringView(operation.resultType->name),
                                          TSoapKind::Object, static_cast<const TRemotable*>(contract.get()),
                                          sfNillable, contentNs);
            }
        }
        xml.writeEndElement();
        break;
    }
    }
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
        TrackGPSWs::WebServiceFault2 detail;
        detail.SetMessage_(fault.Message());
        const TSoapTypeInfo* type = RemClassRegistry().FindClass(typeid(detail));
        xml.writeStartElement(kSoap12Ns, QStringLiteral("Detail"));
        xml.writeStartElement(type->XmlName);
        xml.writeDefaultNamespace(type->Namespace);
        xml.writeNamespace(kXsiNs, QStringLiteral("i"));
        TSoapWriter::WriteFields(xml, detail);
        xml.writeEndElement();
        xml.writeEndElement(); // Detail
    }
    xml.writeEndElement(); // Fault
    return w.endEnvelope();
}

} // namespace sim
