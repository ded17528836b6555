#include "SoapOperations.h"

const TSoapOperation* TSoapInterface::FindOperation(const QString& name) const {
    for (const TSoapOperation& op : Operations)
        if (op.Name == name)
            return &op;
    for (const TSoapOperation& op : Operations)
        if (op.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &op;
    return nullptr;
}

QString TSoapInterface::ActionOf(const TSoapOperation& op) const {
    QString action = ActionPattern;
    return action.replace(QStringLiteral("%operationName%"), op.Name);
}

TSoapInterface& TSoapInvokableRegistry::RegisterInterface(const QString& name, const QString& ns,
                                                          const QString& encoding) {
    std::lock_guard lock(FLock);
    for (TSoapInterface& i : FInterfaces)
        if (i.Name == name)
            return i;
    TSoapInterface& i = FInterfaces.emplace_back();
    i.Name = name;
    i.Namespace = ns;
    i.Encoding = encoding;
    return i;
}

TSoapInterface& TSoapInvokableRegistry::Get(const QString& name) {
    for (TSoapInterface& i : FInterfaces)
        if (i.Name == name)
            return i;
    throw EZeltError(QStringLiteral("Interface \"%1\" is not registered.").arg(name));
}

void TSoapInvokableRegistry::RegisterDefaultSOAPAction(const QString& interfaceName, const QString& pattern) {
    std::lock_guard lock(FLock);
    Get(interfaceName).ActionPattern = pattern;
}

void TSoapInvokableRegistry::RegisterInvokeOptions(const QString& interfaceName, bool documentStyle,
                                                   bool soap12) {
    std::lock_guard lock(FLock);
    TSoapInterface& i = Get(interfaceName);
    i.DocumentStyle = documentStyle;
    i.Soap12 = soap12;
}

void TSoapInvokableRegistry::RegisterOperation(const QString& interfaceName, TSoapOperation op) {
    std::lock_guard lock(FLock);
    TSoapInterface& i = Get(interfaceName);
    for (const TSoapOperation& existing : i.Operations)
        if (existing.Name == op.Name)
            return;
    i.Operations.push_back(std::move(op));
}

const TSoapInterface* TSoapInvokableRegistry::Find(const QString& name) const {
    std::lock_guard lock(FLock);
    for (const TSoapInterface& i : FInterfaces)
        if (i.Name == name)
            return &i;
    return nullptr;
}

TSoapInvokableRegistry& InvRegistry() {
    static TSoapInvokableRegistry registry;
    return registry;
}
