#include "SoapWriter.h"

#include "SoapNamespaces.h"

#include <typeinfo>

namespace {

void writeNil(QXmlStreamWriter& w, const QString& ns, const QString& name) {
    w.writeEmptyElement(ns, name);
    w.writeAttribute(SoapNs::XmlSchemaInstance, QStringLiteral("nil"), QStringLiteral("true"));
}

const TSoapTypeInfo& typeOf(const TRemotable& obj) {
    const TSoapTypeInfo* t = RemClassRegistry().FindClass(typeid(obj));
    if (!t)
        throw EZeltError(
            QStringLiteral("Class %1 is not registered.").arg(QString::fromLatin1(typeid(obj).name())));
    return *t;
}

QString textOf(TSoapKind kind, const TSoapView& v, bool& isNull) {
    isNull = false;
    switch (kind) {
    case TSoapKind::String:
        if (const QString* const* s = std::get_if<const QString*>(&v); s && *s)
            return **s;
        break;
    case TSoapKind::Int16:
        return QString::number(std::get<qint16>(v));
    case TSoapKind::Int32:
        return QString::number(std::get<qint32>(v));
    case TSoapKind::Int64:
        return QString::number(std::get<qint64>(v));
    case TSoapKind::Double:
        return SoapLexical::FormatDouble(std::get<double>(v));
    case TSoapKind::Boolean:
        return std::get<bool>(v) ? QStringLiteral("true") : QStringLiteral("false");
    case TSoapKind::DateTime:
        if (const TXSDateTime* const* d = std::get_if<const TXSDateTime*>(&v); d && *d)
            return (*d)->NativeToXS();
        break;
    case TSoapKind::Decimal:
        if (const TXSDecimal* const* d = std::get_if<const TXSDecimal*>(&v); d && *d)
            return (*d)->DecimalString();
        break;
    case TSoapKind::Base64:
        if (const TByteDynArray* const* b = std::get_if<const TByteDynArray*>(&v); b && *b)
            return QString::fromLatin1((*b)->toBase64());
        break;
    default:
        break;
    }
    isNull = true;
    return {};
}

void startEnvelope(QXmlStreamWriter& w) {
    w.writeNamespace(SoapNs::Envelope12, QStringLiteral("s"));
    w.writeStartElement(SoapNs::Envelope12, QStringLiteral("Envelope"));
}

} // namespace

namespace {

bool isStructured(TSoapKind kind) {
    return kind == TSoapKind::Object || kind == TSoapKind::StringArray || kind == TSoapKind::ObjectArray;
}

bool isNullView(TSoapKind kind, const TSoapView& value) {
    switch (kind) {
    case TSoapKind::Object: {
        const TRemotable* const* p = std::get_if<const TRemotable*>(&value);
        return !p || !*p;
    }
    case TSoapKind::StringArray: {
        const QStringList* const* p = std::get_if<const QStringList*>(&value);
        return !p || !*p;
    }
    case TSoapKind::ObjectArray: {
        const TSoapObjectList* const* p = std::get_if<const TSoapObjectList*>(&value);
        return !p || !*p;
    }
    default:
        return false;
    }
}

// The children of an object or array element that is already open; ns is that element's namespace.
void writeStructure(QXmlStreamWriter& w, const QString& ns, TSoapKind kind, const TSoapView& value,
                    const QString& contentNs, const QString& itemName) {
    if (kind == TSoapKind::Object) {
        TSoapWriter::WriteFields(w, *std::get<const TRemotable*>(value), contentNs);
    } else if (kind == TSoapKind::StringArray) {
        QString itemNs = contentNs;
        if (itemNs.isEmpty()) {
            const TSoapTypeInfo* array = RemClassRegistry().FindArrayOf(TSoapKind::String);
            itemNs = array ? array->Namespace : ns;
        }
        if (itemNs != ns)
            w.writeNamespace(itemNs);
        const QString item = itemName.isEmpty() ? QStringLiteral("string") : itemName;
        for (const QString& s : *std::get<const QStringList*>(value))
            w.writeTextElement(itemNs, item, s);
    } else {
        for (const std::unique_ptr<TRemotable>& item : *std::get<const TSoapObjectList*>(value)) {
            const TSoapTypeInfo* t = item ? &typeOf(*item) : nullptr;
            const QString itemNs = !contentNs.isEmpty() ? contentNs : t ? t->Namespace : ns;
            const QString iname = !itemName.isEmpty() ? itemName : t ? t->XmlName : QStringLiteral("item");
            TSoapWriter::WriteElement(w, itemNs, iname, TSoapKind::Object,
                                      static_cast<const TRemotable*>(item.get()), sfNillable, contentNs);
        }
    }
}

} // namespace

void TSoapWriter::WriteElement(QXmlStreamWriter& w, const QString& ns, const QString& name, TSoapKind kind,
                               const TSoapView& value, unsigned flags, const QString& contentNs,
                               const QString& itemName) {
    const bool nillable = flags & sfNillable;
    if (isStructured(kind)) {
        if (isNullView(kind, value)) {
            if (nillable)
                writeNil(w, ns, name);
            return;
        }
        w.writeStartElement(ns, name);
        writeStructure(w, ns, kind, value, contentNs, itemName);
        w.writeEndElement();
        return;
    }
    bool isNull = false;
    const QString text = textOf(kind, value, isNull);
    if (isNull) {
        if (nillable)
            writeNil(w, ns, name);
        return;
    }
    w.writeTextElement(ns, name, text);
}

void TSoapWriter::WriteFields(QXmlStreamWriter& w, const TRemotable& obj, const QString& ns) {
    const TSoapTypeInfo& type = typeOf(obj);
    const QString fieldNs = ns.isEmpty() ? type.Namespace : ns;
    for (const TSoapField& f : *type.Fields) {
        if (!f.Stored(obj))
            continue;
        QString content;
        if (f.Kind == TSoapKind::Object) {
            if (const TSoapTypeInfo* nested = RemClassRegistry().FindClass(f.Class))
                content = nested->Namespace;
        }
        WriteElement(w, fieldNs, f.Name, f.Kind, f.Get(obj), f.Flags, content, f.ItemName);
    }
}

QByteArray TSoapWriter::WriteRequest(const TSoapInterface& intf, const TSoapOperation& op,
                                     const std::vector<TSoapView>& args) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    startEnvelope(w);
    w.writeStartElement(SoapNs::Envelope12, QStringLiteral("Body"));
    w.writeStartElement(op.Name);
    w.writeDefaultNamespace(intf.Namespace);
    for (size_t i = 0; i < op.Params.size() && i < args.size(); ++i) {
        const TSoapParam& p = op.Params[i];
        // Text parameters always travel, an empty text as an empty element.
        TSoapView v = args[i];
        static const QString empty;
        if (p.Kind == TSoapKind::String && std::holds_alternative<std::monostate>(v))
            v = &empty;
        QString content;
        if (p.Kind == TSoapKind::Object)
            if (const TSoapTypeInfo* t = RemClassRegistry().FindClass(p.Class))
                content = t->Namespace;
        WriteElement(w, intf.Namespace, p.Name, p.Kind, v, p.Flags, content);
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    return out;
}

QByteArray TSoapWriter::WriteResponse(const TSoapInterface& intf, const TSoapOperation& op,
                                      const TSoapView& result, const QString& action) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    startEnvelope(w);
    if (!action.isEmpty()) {
        static const QString addressing = QStringLiteral("http://www.w3.org/2005/08/addressing");
        w.writeNamespace(addressing, QStringLiteral("a"));
        w.writeStartElement(SoapNs::Envelope12, QStringLiteral("Header"));
        w.writeStartElement(addressing, QStringLiteral("Action"));
        w.writeAttribute(SoapNs::Envelope12, QStringLiteral("mustUnderstand"), QStringLiteral("1"));
        w.writeCharacters(action);
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeStartElement(SoapNs::Envelope12, QStringLiteral("Body"));
    w.writeStartElement(op.Name + QStringLiteral("Response"));
    w.writeDefaultNamespace(intf.Namespace);
    if (isStructured(op.ReturnKind) && !isNullView(op.ReturnKind, result)) {
        // Declared where the content begins, as data-contract services do.
        w.writeStartElement(intf.Namespace, op.ReturnName);
        if (!op.ResultNamespace.isEmpty())
            w.writeNamespace(op.ResultNamespace, QStringLiteral("b"));
        w.writeNamespace(SoapNs::XmlSchemaInstance, QStringLiteral("i"));
        writeStructure(w, intf.Namespace, op.ReturnKind, result, op.ResultNamespace, op.ItemName);
        w.writeEndElement();
    } else {
        WriteElement(w, intf.Namespace, op.ReturnName, op.ReturnKind, result, op.ReturnFlags,
                     op.ResultNamespace, op.ItemName);
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    return out;
}

QByteArray TSoapWriter::WriteFault(const TSoapFaultInfo& fault) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    startEnvelope(w);
    const QString& env = SoapNs::Envelope12;
    w.writeStartElement(env, QStringLiteral("Body"));
    w.writeStartElement(env, QStringLiteral("Fault"));
    w.writeStartElement(env, QStringLiteral("Code"));
    w.writeTextElement(env, QStringLiteral("Value"), QStringLiteral("s:") + fault.Code);
    w.writeEndElement();
    if (!fault.Reason.isEmpty()) {
        w.writeStartElement(env, QStringLiteral("Reason"));
        w.writeStartElement(env, QStringLiteral("Text"));
        w.writeAttribute(QStringLiteral("xml:lang"), fault.ReasonLang);
        w.writeCharacters(fault.Reason);
        w.writeEndElement();
        w.writeEndElement();
    }
    if (!fault.Node.isEmpty())
        w.writeTextElement(env, QStringLiteral("Node"), fault.Node);
    if (!fault.Role.isEmpty())
        w.writeTextElement(env, QStringLiteral("Role"), fault.Role);
    if (fault.Detail) {
        w.writeStartElement(env, QStringLiteral("Detail"));
        const TSoapTypeInfo& t = typeOf(*fault.Detail);
        w.writeStartElement(t.XmlName);
        w.writeDefaultNamespace(t.Namespace);
        w.writeNamespace(SoapNs::XmlSchemaInstance, QStringLiteral("i"));
        WriteFields(w, *fault.Detail);
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    return out;
}
