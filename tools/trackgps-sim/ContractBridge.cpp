#include "ContractBridge.h"

#include "SimTime.h"
#include "SoapTypeRegistry.h"
#include "TrackGPSWs_Unit.h"
#include "ZeltError.h"

namespace sim {

namespace {

TSoapKind soapKind(FieldKind kind) {
    switch (kind) {
    case FieldKind::String:
        return TSoapKind::String;
    case FieldKind::Int:
        return TSoapKind::Int32;
    case FieldKind::Short:
        return TSoapKind::Int16;
    case FieldKind::Long:
        return TSoapKind::Int64;
    case FieldKind::Double:
        return TSoapKind::Double;
    case FieldKind::Boolean:
        return TSoapKind::Boolean;
    case FieldKind::DateTime:
        return TSoapKind::DateTime;
    case FieldKind::Decimal:
        return TSoapKind::Decimal;
    case FieldKind::StringArray:
        return TSoapKind::StringArray;
    case FieldKind::Object:
        return TSoapKind::Object;
    }
    return TSoapKind::None;
}

const TSoapTypeInfo& registered(const TypeDef& type) {
    const TSoapTypeInfo* info = RemClassRegistry().Find(QString(type.ns), QLatin1StringView(type.name));
    if (!info || info->Cat != TSoapTypeInfo::Category::Class || !info->Fields)
        throw EZeltError(QStringLiteral("the contract registers no class %1 in %2")
                             .arg(QLatin1StringView(type.name), QString(type.ns)));
    return *info;
}

const TSoapField* registeredField(const TSoapTypeInfo& info, const FieldDef& field) {
    for (const TSoapField& f : *info.Fields) {
        if (f.Name == QLatin1StringView(field.name))
            return &f;
    }
    return nullptr;
}

TSoapValue valueOf(const FieldDef& field, const FieldValue& value) {
    if (value.form == FieldValue::Form::Nil)
        return std::unique_ptr<TRemotable>(); // objects only: the caller skips nil texts
    if (value.form == FieldValue::Form::Strings)
        return value.strings;
    if (value.form == FieldValue::Form::Object)
        return toContract(*value.object);
    const QString& text = value.text;
    switch (field.kind) {
    case FieldKind::String:
        return text;
    case FieldKind::Int:
        return qint32(text.toInt());
    case FieldKind::Short:
        return qint16(text.toShort());
    case FieldKind::Long:
        return qint64(text.toLongLong());
    case FieldKind::Double:
        return SoapLexical::ParseDouble(text);
    case FieldKind::Boolean:
        return text == QLatin1StringView("true");
    case FieldKind::DateTime:
        return std::make_unique<TXSDateTime>(TXSDateTime::FromXS(text));
    case FieldKind::Decimal:
        return std::make_unique<TXSDecimal>(TXSDecimal::FromXS(text));
    default:
        break;
    }
    throw EZeltError(QStringLiteral("no contract form for the field %1").arg(QLatin1StringView(field.name)));
}

void checkType(const TypeDef& type) {
    const TSoapTypeInfo& info = registered(type);
    if (info.Fields->size() != type.fields.size())
        throw EZeltError(QStringLiteral("%1 has %2 fields here and %3 in the contract")
                             .arg(QLatin1StringView(type.name))
                             .arg(type.fields.size())
                             .arg(info.Fields->size()));
    for (std::size_t i = 0; i < type.fields.size(); ++i) {
        const FieldDef& mine = type.fields[i];
        const TSoapField& theirs = (*info.Fields)[i];
        const bool nillable = theirs.Flags & sfNillable;
        if (theirs.Name != QLatin1StringView(mine.name) || theirs.Kind != soapKind(mine.kind) ||
            nillable != mine.nillable)
            throw EZeltError(
                QStringLiteral("field %1 of %2 differs from the contract's %3")
                    .arg(QLatin1StringView(mine.name), QLatin1StringView(type.name), theirs.Name));
        if (mine.kind == FieldKind::Object) {
            const TSoapTypeInfo* nested = RemClassRegistry().FindClass(theirs.Class);
            if (!nested || nested->XmlName != QLatin1StringView(mine.objectType->name))
                throw EZeltError(QStringLiteral("field %1 of %2 holds another class in the contract")
                                     .arg(QLatin1StringView(mine.name), QLatin1StringView(type.name)));
        }
    }
}

} // namespace

void checkContractAgreement() {
    TrackGPSWs::RegisterTrackGPSWs();
    for (const TypeDef* type :
         {&types::Address, &types::Location, &types::Car, &types::CarrierLocation, &types::DeviceInfoTech,
          &types::Stop, &types::GPSCoordinate, &types::PrecalculateStr, &types::DeviceInformation})
        checkType(*type);
    if (QString(kServiceNs) != TrackGPSWs::ServiceNamespace ||
        QString(kDataContractsNs) != TrackGPSWs::DataContractsNamespace ||
        QString(kWebServiceEntitiesNs) != TrackGPSWs::WebServiceEntitiesNamespace ||
        QString(kDataAccessEntitiesNs) != TrackGPSWs::DataAccessEntitiesNamespace ||
        QString(kArraysNs) != TrackGPSWs::SerializationArraysNamespace)
        throw EZeltError(QStringLiteral("the namespaces differ from the contract's"));
}

std::unique_ptr<TRemotable> toContract(const SimObject& object) {
    const TSoapTypeInfo& info = registered(*object.type);
    std::unique_ptr<TRemotable> result = info.Create();
    for (std::size_t i = 0; i < object.values.size(); ++i) {
        const auto& value = object.values[i];
        if (!value)
            continue;
        const FieldDef& field = object.type->fields[i];
        if (value->form == FieldValue::Form::Nil && field.kind != FieldKind::Object)
            continue;
        const TSoapField* target = registeredField(info, field);
        if (!target)
            throw EZeltError(QStringLiteral("the contract's %1 has no field %2")
                                 .arg(info.XmlName, QLatin1StringView(field.name)));
        target->Set(*result, valueOf(field, *value));
    }
    return result;
}

} // namespace sim
