#include "SoapTypeRegistry.h"

void TSoapTypeRegistry::RegisterXSArray(const QString& ns, const QString& xmlName, TSoapKind itemKind,
                                        std::type_index itemClass) {
    TSoapTypeInfo t;
    t.Cat = TSoapTypeInfo::Category::Array;
    t.Namespace = ns;
    t.XmlName = xmlName;
    t.InternalName = xmlName;
    t.ItemKind = itemKind;
    t.ItemClass = itemClass;
    Add(std::move(t));
}

void TSoapTypeRegistry::Add(TSoapTypeInfo t) {
    std::lock_guard lock(FLock);
    FTypes.push_back(std::move(t));
}

const TSoapTypeInfo* TSoapTypeRegistry::Find(const QString& ns, const QString& xmlName) const {
    std::lock_guard lock(FLock);
    for (const TSoapTypeInfo& t : FTypes)
        if (t.Namespace == ns && t.XmlName == xmlName)
            return &t;
    return nullptr;
}

const TSoapTypeInfo* TSoapTypeRegistry::FindClass(std::type_index cls) const {
    std::lock_guard lock(FLock);
    for (const TSoapTypeInfo& t : FTypes)
        if (t.Cat != TSoapTypeInfo::Category::Array && t.Class == cls)
            return &t;
    return nullptr;
}

const TSoapTypeInfo* TSoapTypeRegistry::FindArrayOf(TSoapKind itemKind, std::type_index itemClass) const {
    std::lock_guard lock(FLock);
    for (const TSoapTypeInfo& t : FTypes)
        if (t.Cat == TSoapTypeInfo::Category::Array && t.ItemKind == itemKind && t.ItemClass == itemClass)
            return &t;
    return nullptr;
}

TSoapTypeRegistry& RemClassRegistry() {
    static TSoapTypeRegistry registry;
    return registry;
}
