#pragma once

#include "SoapTypeRegistry.h"

#include <QString>

#include <deque>
#include <mutex>
#include <typeindex>
#include <vector>

struct TSoapParam {
    QString Name;
    TSoapKind Kind = TSoapKind::String;
    unsigned Flags = sfNone;
    std::type_index Class = typeid(void); // class of an object parameter
};

// One operation of an interface: its parameters in order and the element its reply returns.
struct TSoapOperation {
    QString Name;
    std::vector<TSoapParam> Params;
    QString ReturnName;
    TSoapKind ReturnKind = TSoapKind::None;
    std::type_index ReturnClass = typeid(void); // class of an object result, or of array items
    unsigned ReturnFlags = sfNone;
    QString ResultNamespace; // namespace of the content of a class or array result
    QString ItemName;        // element name of array items
};

// A remotely callable interface and its binding: document style, wrapped, SOAP 1.2.
struct TSoapInterface {
    QString Name;
    QString Namespace;
    QString Encoding = QStringLiteral("utf-8");
    QString ActionPattern; // "%operationName%" stands for the operation's name
    bool DocumentStyle = true;
    bool Soap12 = true;
    std::vector<TSoapOperation> Operations;

    // Exact name first, then without regard to letter case.
    const TSoapOperation* FindOperation(const QString& name) const;
    QString ActionOf(const TSoapOperation& op) const;
};

// The process-wide registry of callable interfaces, filled once at start-up.
class TSoapInvokableRegistry {
public:
    // Registering an interface name again replaces nothing: the first registration stays.
    TSoapInterface& RegisterInterface(const QString& name, const QString& ns, const QString& encoding);
    void RegisterDefaultSOAPAction(const QString& interfaceName, const QString& pattern);
    void RegisterInvokeOptions(const QString& interfaceName, bool documentStyle, bool soap12);
    void RegisterOperation(const QString& interfaceName, TSoapOperation op);

    const TSoapInterface* Find(const QString& name) const;

private:
    TSoapInterface& Get(const QString& name);

    mutable std::mutex FLock;
    std::deque<TSoapInterface> FInterfaces;
};

TSoapInvokableRegistry& InvRegistry();
