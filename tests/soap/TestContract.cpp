#include "TestContract.h"

#include <mutex>

namespace TestContract {

void Register() {
    static std::once_flag once;
    std::call_once(once, [] {
        TSoapInvokableRegistry& inv = InvRegistry();
        inv.RegisterInterface(Interface, ServiceNs, QStringLiteral("utf-8"));
        inv.RegisterDefaultSOAPAction(Interface, ServiceNs + QStringLiteral("/IFleet/%operationName%"));
        inv.RegisterInvokeOptions(Interface, true, true);
        auto op = [&](const char* name, std::vector<TSoapParam> params, TSoapKind kind, std::type_index cls,
                      const QString& contentNs, const QString& item) {
            TSoapOperation o;
            o.Name = QString::fromLatin1(name);
            o.Params = std::move(params);
            o.ReturnName = o.Name + QStringLiteral("Result");
            o.ReturnKind = kind;
            o.ReturnClass = cls;
            o.ReturnFlags = sfOptional | sfNillable;
            o.ResultNamespace = contentNs;
            o.ItemName = item;
            inv.RegisterOperation(Interface, std::move(o));
        };
        const TSoapParam name{QStringLiteral("name"), TSoapKind::String, sfNillable};
        op("GetPoint", {name}, TSoapKind::Object, typeid(TPoint), TypesNs, {});
        op("GetPoints", {name}, TSoapKind::ObjectArray, typeid(TPoint), TypesNs, QStringLiteral("Point"));
        op("GetValue",
           {name,
            {QStringLiteral("when"), TSoapKind::DateTime, sfNone},
            {QStringLiteral("count"), TSoapKind::Int32}},
           TSoapKind::Double, typeid(void), {}, {});
        op("GetText", {name}, TSoapKind::String, typeid(void), {}, {});

        TSoapTypeRegistry& rem = RemClassRegistry();
        rem.RegisterXSArray(QStringLiteral("urn:test:arrays"), QStringLiteral("ArrayOfstring"),
                            TSoapKind::String);
        TSoapFieldsOf<TInner> inner;
        SOAP_FIELD(inner, TInner, Label, sfOptional | sfNillable);
        rem.RegisterXSClass<TInner>(TypesNs, QStringLiteral("Inner"), QStringLiteral("TInner"),
                                    inner.Table());
        TSoapFieldsOf<TPoint> point;
        SOAP_FIELD(point, TPoint, Amount, sfOptional);
        SOAP_FIELD(point, TPoint, Big, sfOptional);
        SOAP_FIELD(point, TPoint, Blob, sfOptional);
        SOAP_FIELD(point, TPoint, Flag, sfOptional);
        SOAP_FIELD(point, TPoint, Inner, sfOptional | sfNillable);
        SOAP_FIELD(point, TPoint, Name, sfOptional | sfNillable);
        SOAP_FIELD(point, TPoint, Small, sfOptional);
        point.Field(QStringLiteral("Tags"), &TPoint::Tags, &TPoint::SetTags, &TPoint::Tags_Specified,
                    sfOptional | sfNillable, QStringLiteral("string"));
        SOAP_FIELD(point, TPoint, When, sfOptional);
        SOAP_FIELD(point, TPoint, X, sfOptional);
        rem.RegisterXSClass<TPoint>(TypesNs, QStringLiteral("Point"), QStringLiteral("TPoint"),
                                    point.Table());
        TSoapFieldsOf<TFleetFault> fault;
        fault.Field(QStringLiteral("Code"), &TFleetFault::Code_, &TFleetFault::SetCode_,
                    &TFleetFault::Code__Specified, sfOptional | sfNillable, QString(),
                    QStringLiteral("Code_"));
        rem.RegisterXSClass<TFleetFault>(TypesNs, QStringLiteral("FleetFault"), QStringLiteral("TFleetFault"),
                                         fault.Table());
    });
}

const TSoapInterface& Fleet() {
    Register();
    return *InvRegistry().Find(Interface);
}

const TSoapOperation& Op(const char* name) {
    return *Fleet().FindOperation(QString::fromLatin1(name));
}

} // namespace TestContract
