#include "SoapRequest.h"

#include "SimFault.h"

#include <QXmlStreamReader>

namespace sim {

namespace {

struct ContentType {
    QString mediaType;
    QList<std::pair<QString, QString>> params;
};

// media-type *( ";" name "=" ( token / quoted-string ) )
ContentType parseContentType(const QString& text) {
    ContentType result;
    qsizetype i = text.indexOf(u';');
    result.mediaType = text.left(i < 0 ? text.size() : i).trimmed().toLower();
    while (i >= 0 && i < text.size()) {
        ++i; // past ';'
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq < 0)
            break;
        const QString name = text.mid(i, eq - i).trimmed().toLower();
        qsizetype j = eq + 1;
        while (j < text.size() && text[j].isSpace())
            ++j;
        QString value;
        if (j < text.size() && text[j] == u'"') {
            for (++j; j < text.size() && text[j] != u'"'; ++j) {
                if (text[j] == u'\\' && j + 1 < text.size())
                    ++j;
                value += text[j];
            }
            i = text.indexOf(u';', j);
        } else {
            i = text.indexOf(u';', j);
            value = text.mid(j, i < 0 ? -1 : i - j).trimmed();
        }
        result.params.append({name, value});
    }
    return result;
}

QString describe(const QXmlStreamReader& xml) {
    return xml.namespaceUri().isEmpty()
               ? xml.name().toString()
               : QStringLiteral("{%1}%2").arg(xml.namespaceUri().toString(), xml.name().toString());
}

[[noreturn]] void notXml(const QXmlStreamReader& xml) {
    throw SimFault::sender(QStringLiteral("The request is not well-formed XML (line %1, column %2): %3")
                               .arg(xml.lineNumber())
                               .arg(xml.columnNumber())
                               .arg(xml.errorString()));
}

// Next start or end element; refuses DTDs and reports XML errors.
QXmlStreamReader::TokenType nextElementToken(QXmlStreamReader& xml) {
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::DTD)
            throw SimFault::sender(
                QStringLiteral("The request contains a document type declaration; DTDs are not accepted."));
        if (token == QXmlStreamReader::StartElement || token == QXmlStreamReader::EndElement)
            return token;
        if (token == QXmlStreamReader::Invalid)
            break;
    }
    notXml(xml);
}

// Text content of a simple element; nested elements are refused.
QString simpleText(QXmlStreamReader& xml, const QString& what) {
    QString text;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::Characters)
            text += xml.text();
        else if (token == QXmlStreamReader::EntityReference)
            throw SimFault::sender(
                QStringLiteral("The request refers to the entity &%1;; entities are not accepted.")
                    .arg(xml.name().toString()));
        else if (token == QXmlStreamReader::EndElement)
            return text;
        else if (token == QXmlStreamReader::StartElement)
            throw SimFault::sender(
                QStringLiteral("%1 must hold a simple value, not the element %2.").arg(what, describe(xml)));
        else if (token == QXmlStreamReader::DTD)
            throw SimFault::sender(
                QStringLiteral("The request contains a document type declaration; DTDs are not accepted."));
        else if (token == QXmlStreamReader::Invalid)
            break;
    }
    notXml(xml);
}

bool isNil(const QXmlStreamReader& xml) {
    const auto nil = xml.attributes().value(kXsiNs, QLatin1StringView("nil"));
    return nil == QLatin1StringView("true") || nil == QLatin1StringView("1");
}

void readHeader(QXmlStreamReader& xml, SoapRequest& request) {
    while (nextElementToken(xml) == QXmlStreamReader::StartElement) {
        if (xml.namespaceUri() == kWsaNs && xml.name() == QLatin1StringView("Action"))
            request.headerAction = simpleText(xml, QStringLiteral("The Action header")).trimmed();
        else if (xml.namespaceUri() == kWsaNs && xml.name() == QLatin1StringView("MessageID"))
            request.messageId = simpleText(xml, QStringLiteral("The MessageID header")).trimmed();
        else
            xml.skipCurrentElement();
        if (xml.hasError())
            notXml(xml);
    }
}

void readOperation(QXmlStreamReader& xml, SoapRequest& request) {
    request.operationName = xml.name().toString();
    request.operationNs = xml.namespaceUri().toString();
    while (nextElementToken(xml) == QXmlStreamReader::StartElement) {
        SoapParameter p;
        p.name = xml.name().toString();
        const bool nil = isNil(xml);
        const QString text = simpleText(xml, QStringLiteral("The parameter %1").arg(p.name));
        if (!nil)
            p.value = text;
        request.parameters.append(std::move(p));
    }
}

void readEnvelope(QXmlStreamReader& xml, SoapRequest& request) {
    bool inEnvelope = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::DTD)
            throw SimFault::sender(
                QStringLiteral("The request contains a document type declaration; DTDs are not accepted."));
        if (token == QXmlStreamReader::StartElement) {
            inEnvelope = true;
            break;
        }
    }
    if (!inEnvelope) {
        if (xml.hasError())
            notXml(xml);
        throw SimFault::sender(QStringLiteral("The request body is empty; a SOAP 1.2 envelope is expected."));
    }
    if (xml.name() == QLatin1StringView("Envelope") && xml.namespaceUri() == kSoap11Ns)
        throw SimFault::sender(
            QStringLiteral("The request is a SOAP 1.1 envelope; this service accepts SOAP 1.2 "
                           "only (envelope namespace %1).")
                .arg(kSoap12Ns));
    if (xml.name() != QLatin1StringView("Envelope") || xml.namespaceUri() != kSoap12Ns)
        throw SimFault::sender(
            QStringLiteral("The request is not a SOAP 1.2 envelope: its document element is %1.")
                .arg(describe(xml)));

    bool sawBody = false;
    while (nextElementToken(xml) == QXmlStreamReader::StartElement) {
        const bool soapElement = xml.namespaceUri() == kSoap12Ns;
        if (soapElement && xml.name() == QLatin1StringView("Header") && !sawBody) {
            readHeader(xml, request);
        } else if (soapElement && xml.name() == QLatin1StringView("Body") && !sawBody) {
            sawBody = true;
            if (nextElementToken(xml) == QXmlStreamReader::EndElement)
                throw SimFault::sender(
                    QStringLiteral("The SOAP Body is empty; it must hold the operation element."));
            readOperation(xml, request);
            if (nextElementToken(xml) == QXmlStreamReader::StartElement)
                throw SimFault::sender(
                    QStringLiteral("The SOAP Body holds more than one element (%1 after %2).")
                        .arg(describe(xml), request.operationName));
        } else {
            throw SimFault::sender(
                QStringLiteral("Unexpected element %1 in the SOAP envelope.").arg(describe(xml)));
        }
    }
    // The rest of the document must still be well-formed.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        notXml(xml);
    if (!sawBody)
        throw SimFault::sender(QStringLiteral("The SOAP envelope has no Body."));
}

} // namespace

const SoapParameter* SoapRequest::parameter(const char* name) const {
    for (const SoapParameter& p : parameters) {
        if (p.name == QLatin1StringView(name))
            return &p;
    }
    return nullptr;
}

void parseRequest(const QByteArray& contentTypeHeader, const QByteArray& body, SoapRequest& request) {
    const QString contentTypeText = QString::fromLatin1(contentTypeHeader).trimmed();
    const ContentType contentType = parseContentType(contentTypeText);
    request.mediaType = contentType.mediaType;
    for (const auto& [name, value] : contentType.params) {
        if (name == QLatin1StringView("action"))
            request.contentTypeAction = value;
    }

    // Read the envelope first: a fault reply relates to the request's message id when it has one.
    QXmlStreamReader xml(body);
    xml.setNamespaceProcessing(true);
    std::optional<SimFault> envelopeFault;
    try {
        readEnvelope(xml, request);
    } catch (const SimFault& fault) {
        envelopeFault = fault;
    }

    if (contentType.mediaType.isEmpty())
        throw SimFault::sender(QStringLiteral(
            "The request has no content type; this service expects application/soap+xml (SOAP 1.2)."));
    if (contentType.mediaType == QLatin1StringView("text/xml"))
        throw SimFault::sender(
            QStringLiteral("The request content type '%1' is that of SOAP 1.1; this service "
                           "accepts SOAP 1.2 only (application/soap+xml).")
                .arg(contentTypeText));
    if (contentType.mediaType != QLatin1StringView("application/soap+xml"))
        throw SimFault::sender(
            QStringLiteral("The request content type '%1' is not supported; this service expects "
                           "application/soap+xml (SOAP 1.2).")
                .arg(contentTypeText));
    for (const auto& [name, value] : contentType.params) {
        if (name == QLatin1StringView("charset") &&
            value.compare(QLatin1StringView("utf-8"), Qt::CaseInsensitive) != 0)
            throw SimFault::sender(
                QStringLiteral("The request character set '%1' is not supported; send UTF-8.").arg(value));
    }
    if (envelopeFault)
        throw *envelopeFault;

    request.operation = findOperation(request.operationName);
    if (!request.operation || request.operationNs != kServiceNs)
        throw SimFault::sender(
            request.operationNs == kServiceNs
                ? QStringLiteral("The operation '%1' is not an operation of ITrackGPS.")
                      .arg(request.operationName)
                : QStringLiteral("The operation element %1 is not in the service namespace %2.")
                      .arg(QStringLiteral("{%1}%2").arg(request.operationNs, request.operationName),
                           kServiceNs));

    const QString expected = request.operation->action();
    if (request.contentTypeAction && *request.contentTypeAction != expected)
        throw SimFault::sender(
            QStringLiteral("The action '%1' in the content type does not match the request "
                           "body: operation %2 has the action '%3'.")
                .arg(*request.contentTypeAction, request.operationName, expected));
    if (request.headerAction && *request.headerAction != expected)
        throw SimFault::sender(
            QStringLiteral("The action '%1' in the WS-Addressing Action header does not match "
                           "the request body: operation %2 has the action '%3'.")
                .arg(*request.headerAction, request.operationName, expected));
    if (!request.contentTypeAction && !request.headerAction)
        throw SimFault::sender(QStringLiteral("The request names no action: neither its content type nor a "
                                              "WS-Addressing Action header carries one."));

    for (qsizetype i = 0; i < request.parameters.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (request.parameters[i].name == request.parameters[j].name)
                throw SimFault::sender(QStringLiteral("The parameter %1 is given more than once.")
                                           .arg(request.parameters[i].name));
        }
    }
}

} // namespace sim
