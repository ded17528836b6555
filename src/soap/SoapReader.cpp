#include "SoapReader.h"

#include "SoapFault.h"
#include "SoapNamespaces.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <limits>

namespace {

[[noreturn]] void raiseXmlError(const QXmlStreamReader& r) {
    throw EZeltError(QStringLiteral("The reply is not a well-formed XML document: %1 (line %2, column %3)")
                         .arg(r.errorString())
                         .arg(r.lineNumber())
                         .arg(r.columnNumber()));
}

// Next start or end element; refuses a DTD and surfaces parse errors.
QXmlStreamReader::TokenType nextTag(QXmlStreamReader& r) {
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType t = r.readNext();
        if (t == QXmlStreamReader::DTD)
            throw EZeltError(
                QStringLiteral("The reply contains a document type declaration (DTD); it was refused."));
        if (t == QXmlStreamReader::StartElement || t == QXmlStreamReader::EndElement)
            return t;
        if (t == QXmlStreamReader::EndDocument)
            return t;
    }
    if (r.hasError())
        raiseXmlError(r);
    return QXmlStreamReader::EndDocument;
}

void check(QXmlStreamReader& r) {
    if (r.hasError())
        raiseXmlError(r);
}

// Skips the rest of the current element.
void skip(QXmlStreamReader& r) {
    int depth = 1;
    while (depth > 0) {
        const auto t = nextTag(r);
        if (t == QXmlStreamReader::StartElement)
            ++depth;
        else if (t == QXmlStreamReader::EndElement)
            --depth;
        else
            raiseXmlError(r);
    }
}

// Text content of the current element; child elements are an error.
QString text(QXmlStreamReader& r) {
    QString out;
    while (!r.atEnd()) {
        const auto t = r.readNext();
        if (t == QXmlStreamReader::Characters || t == QXmlStreamReader::EntityReference)
            out += r.text();
        else if (t == QXmlStreamReader::EndElement)
            return out;
        else if (t == QXmlStreamReader::StartElement)
            throw EZeltError(
                QStringLiteral("Unexpected element \"%1\" inside a simple value.").arg(r.name()));
    }
    raiseXmlError(r);
}

bool isNil(const QXmlStreamReader& r) {
    const auto v = r.attributes().value(SoapNs::XmlSchemaInstance, QStringLiteral("nil"));
    return v == u"true" || v == u"1";
}

template <class T> T parseInt(const QString& s) {
    bool ok = false;
    const qint64 v = s.trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        throw EZeltError(QStringLiteral("\"%1\" is not a valid integer value for this field.").arg(s));
    return T(v);
}

bool parseBool(const QString& s) {
    const QString t = s.trimmed();
    if (t == u"true" || t == u"1")
        return true;
    if (t == u"false" || t == u"0")
        return false;
    throw EZeltError(QStringLiteral("\"%1\" is not a valid boolean value.").arg(s));
}

QString qualified(QStringView ns, QStringView name) {
    return QStringLiteral("{%1}%2").arg(ns.toString(), name.toString());
}

// Positions the reader on the first element inside Body, checking the envelope on the way.
void enterBody(QXmlStreamReader& r, const QString& doc) {
    if (doc.trimmed().isEmpty())
        throw EZeltError(QStringLiteral("The reply is empty."));
    if (nextTag(r) != QXmlStreamReader::StartElement)
        throw EZeltError(QStringLiteral("The reply is empty."));
    if (r.name() != u"Envelope" || r.namespaceUri() != SoapNs::Envelope12)
        throw EZeltError(
            QStringLiteral("The reply is not a SOAP 1.2 message: expected the element %1, found %2.")
                .arg(qualified(SoapNs::Envelope12, u"Envelope"), qualified(r.namespaceUri(), r.name())));
    auto t = nextTag(r);
    if (t == QXmlStreamReader::StartElement && r.name() == u"Header" &&
        r.namespaceUri() == SoapNs::Envelope12) {
        skip(r);
        t = nextTag(r);
    }
    if (t != QXmlStreamReader::StartElement || r.name() != u"Body" || r.namespaceUri() != SoapNs::Envelope12)
        throw EZeltError(QStringLiteral("The reply has no SOAP Body."));
    if (nextTag(r) != QXmlStreamReader::StartElement)
        throw EZeltError(QStringLiteral("The reply's SOAP Body is empty."));
}

// The rest of the document must be well-formed too: a reply cut short is not a reply.
void finish(QXmlStreamReader& r) {
    while (nextTag(r) != QXmlStreamReader::EndDocument) {
    }
    check(r);
}

// Where the start tag just read begins: a start tag holds no "<" of its own.
qsizetype tagStart(const QXmlStreamReader& r, const QString& doc) {
    return doc.lastIndexOf(u'<', qsizetype(r.characterOffset()) - 1);
}

// The message as text. A QString source makes the reader's offsets indexes into it.
QString decode(const QByteArray& xml) {
    if (xml.startsWith("\xFF\xFE") || xml.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16).decode(xml);
    static const QRegularExpression decl(
        QStringLiteral(R"(^\s*<\?xml[^>]*encoding\s*=\s*["']([A-Za-z0-9._-]+)["'])"));
    const QRegularExpressionMatch m = decl.match(QString::fromLatin1(xml.left(200)));
    if (m.hasMatch() && m.captured(1).compare(u"utf-8", Qt::CaseInsensitive) != 0) {
        QStringDecoder dec(m.captured(1).toLatin1().constData());
        if (!dec.isValid())
            throw EZeltError(
                QStringLiteral("The reply uses the unsupported encoding \"%1\".").arg(m.captured(1)));
        return dec.decode(xml);
    }
    if (xml.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(xml.mid(3));
    return QString::fromUtf8(xml);
}

// Reads the Fault element the reader is on and raises it. Texts of Detail and Fault are taken
// from the message exactly as received.
[[noreturn]] void raiseFault(QXmlStreamReader& r, const QString& doc) {
    const qsizetype faultStart = tagStart(r, doc);
    const QString& env = SoapNs::Envelope12;
    QString code, reason, lang, node, role, detailXml;
    std::unique_ptr<TRemotable> detailObject;
    const TSoapTypeInfo* detailType = nullptr;
    while (nextTag(r) == QXmlStreamReader::StartElement) {
        if (r.namespaceUri() != env) {
            skip(r);
            continue;
        }
        const QString name = r.name().toString();
        if (name == u"Code") {
            while (nextTag(r) == QXmlStreamReader::StartElement) {
                if (r.name() == u"Value" && code.isEmpty())
                    code = text(r).trimmed();
                else
                    skip(r);
            }
        } else if (name == u"Reason") {
            while (nextTag(r) == QXmlStreamReader::StartElement) {
                if (r.name() == u"Text" && reason.isEmpty()) {
                    lang = r.attributes().value(SoapNs::Xml, QStringLiteral("lang")).toString();
                    reason = text(r);
                } else {
                    skip(r);
                }
            }
        } else if (name == u"Node") {
            node = text(r);
        } else if (name == u"Role") {
            role = text(r);
        } else if (name == u"Detail") {
            const qsizetype detailStart = tagStart(r, doc);
            bool first = true;
            while (nextTag(r) == QXmlStreamReader::StartElement) {
                const TSoapTypeInfo* t =
                    first ? RemClassRegistry().Find(r.namespaceUri().toString(), r.name().toString())
                          : nullptr;
                first = false;
                if (t && t->Cat == TSoapTypeInfo::Category::Exception) {
                    TSoapValue v = TSoapReader::ReadValue(r, TSoapKind::Object, t->Class);
                    if (auto* obj = std::get_if<std::unique_ptr<TRemotable>>(&v)) {
                        detailObject = std::move(*obj);
                        detailType = t;
                    }
                } else {
                    skip(r);
                }
            }
            detailXml = doc.mid(detailStart, qsizetype(r.characterOffset()) - detailStart);
        } else {
            skip(r);
        }
    }
    check(r);
    const QString faultXml = doc.mid(faultStart, qsizetype(r.characterOffset()) - faultStart);
    const QString message = !reason.isEmpty() ? reason : !detailXml.isEmpty() ? detailXml : faultXml;
    auto fill = [&](ERemotableException& e) {
        e.SetMessage(message);
        e.SetFaultCode(code);
        e.SetFaultNode(node);
        e.SetFaultRole(role);
        e.SetFaultReasonLang(lang);
        e.SetFaultDetail(detailXml);
    };
    if (detailObject && detailType) {
        if (auto* e = dynamic_cast<ERemotableException*>(detailObject.get())) {
            fill(*e);
            detailType->Raise(*detailObject);
        }
    }
    ERemotableException e;
    fill(e);
    throw e;
}

} // namespace

TSoapValue TSoapReader::ReadValue(QXmlStreamReader& r, TSoapKind kind, std::type_index cls,
                                  const QString& itemName) {
    if (isNil(r)) {
        skip(r);
        return std::monostate{};
    }
    switch (kind) {
    case TSoapKind::None:
        skip(r);
        return std::monostate{};
    case TSoapKind::String:
        return text(r);
    case TSoapKind::Int16:
        return parseInt<qint16>(text(r));
    case TSoapKind::Int32:
        return parseInt<qint32>(text(r));
    case TSoapKind::Int64:
        return parseInt<qint64>(text(r));
    case TSoapKind::Double:
        return SoapLexical::ParseDouble(text(r));
    case TSoapKind::Boolean:
        return parseBool(text(r));
    case TSoapKind::DateTime:
        return std::make_unique<TXSDateTime>(TXSDateTime::FromXS(text(r)));
    case TSoapKind::Decimal:
        return std::make_unique<TXSDecimal>(TXSDecimal::FromXS(text(r)));
    case TSoapKind::Base64: {
        const QString t = text(r);
        auto decoded =
            QByteArray::fromBase64Encoding(t.toLatin1().trimmed(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            throw EZeltError(QStringLiteral("The reply holds invalid base64Binary data."));
        return std::move(*decoded);
    }
    case TSoapKind::StringArray: {
        QStringList out;
        while (nextTag(r) == QXmlStreamReader::StartElement) {
            if (itemName.isEmpty() || r.name() == itemName)
                out.append(isNil(r) ? (skip(r), QString()) : text(r));
            else
                skip(r);
        }
        return out;
    }
    case TSoapKind::ObjectArray: {
        TSoapObjectList out;
        while (nextTag(r) == QXmlStreamReader::StartElement) {
            if (itemName.isEmpty() || r.name() == itemName) {
                TSoapValue item = ReadValue(r, TSoapKind::Object, cls);
                if (auto* p = std::get_if<std::unique_ptr<TRemotable>>(&item))
                    out.push_back(std::move(*p));
                else
                    out.push_back(nullptr);
            } else {
                skip(r);
            }
        }
        return out;
    }
    case TSoapKind::Object: {
        const TSoapTypeInfo* type = RemClassRegistry().FindClass(cls);
        if (!type || !type->Create)
            throw EZeltError(QStringLiteral("The reply holds an object of an unregistered class."));
        std::unique_ptr<TRemotable> obj = type->Create();
        while (nextTag(r) == QXmlStreamReader::StartElement) {
            const TSoapField* field = nullptr;
            for (const TSoapField& f : *type->Fields)
                if (r.name() == f.Name) {
                    field = &f;
                    break;
                }
            if (!field) {
                skip(r);
                continue;
            }
            field->Set(*obj, ReadValue(r, field->Kind, field->Class, field->ItemName));
        }
        return obj;
    }
    }
    skip(r);
    return std::monostate{};
}

TSoapValue TSoapReader::ReadResponse(const QByteArray& xml, const TSoapInterface& intf,
                                     const TSoapOperation& op) {
    Q_UNUSED(intf);
    const QString doc = decode(xml);
    QXmlStreamReader r(doc);
    enterBody(r, doc);
    if (r.name() == u"Fault" && r.namespaceUri() == SoapNs::Envelope12)
        raiseFault(r, doc);
    TSoapValue result;
    bool found = false;
    while (nextTag(r) == QXmlStreamReader::StartElement) {
        if (!found && r.name() == op.ReturnName) {
            result = ReadValue(r, op.ReturnKind, op.ReturnClass, op.ItemName);
            found = true;
        } else {
            skip(r);
        }
    }
    finish(r);
    return result;
}

void TSoapReader::RaiseIfFault(const QByteArray& xml) {
    QString doc;
    QXmlStreamReader r;
    try {
        doc = decode(xml);
        r.addData(doc);
        enterBody(r, doc);
    } catch (const EZeltError&) {
        return;
    }
    if (r.name() == u"Fault" && r.namespaceUri() == SoapNs::Envelope12)
        raiseFault(r, doc);
}

TSoapReader::TRequest TSoapReader::ReadRequest(const QByteArray& xml, const TSoapInterface& intf) {
    const QString doc = decode(xml);
    QXmlStreamReader r(doc);
    enterBody(r, doc);
    TRequest out;
    out.ElementName = r.name().toString();
    out.Operation = intf.FindOperation(out.ElementName);
    if (!out.Operation)
        throw EZeltError(QStringLiteral("Unknown operation \"%1\".").arg(out.ElementName));
    out.Args.resize(out.Operation->Params.size());
    while (nextTag(r) == QXmlStreamReader::StartElement) {
        bool used = false;
        for (size_t i = 0; i < out.Operation->Params.size(); ++i) {
            const TSoapParam& p = out.Operation->Params[i];
            if (r.name() == p.Name) {
                out.Args[i] = ReadValue(r, p.Kind, p.Class);
                used = true;
                break;
            }
        }
        if (!used)
            skip(r);
    }
    finish(r);
    return out;
}
