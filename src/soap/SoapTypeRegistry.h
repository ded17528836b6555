#pragma once

#include "SoapValues.h"
#include "ZeltError.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <typeindex>

class ERemotableException;

// Field and parameter flags: the element may be absent, the element may carry xsi:nil.
enum TSoapFlag : unsigned { sfNone = 0, sfOptional = 1, sfNillable = 2 };

// One field of a registered class. Stored() decides whether the field is written; Set() marks it
// specified, so a field read from XML is specified and one absent from it is not.
struct TSoapField {
    QString Name;   // XML element name
    QString Member; // name in the class
    TSoapKind Kind = TSoapKind::None;
    unsigned Flags = sfNone;
    QString ItemName;                     // array items
    std::type_index Class = typeid(void); // class of an object field
    std::function<bool(const TRemotable&)> Stored;
    std::function<TSoapView(const TRemotable&)> Get;
    std::function<void(TRemotable&, TSoapValue&&)> Set;
};

// Fields in the order they are written.
using TSoapFieldTable = std::vector<TSoapField>;

namespace SoapDetail {

template <class T> struct KindOf { static constexpr TSoapKind value = TSoapKind::None; };
template <> struct KindOf<QString> { static constexpr TSoapKind value = TSoapKind::String; };
template <> struct KindOf<qint16> { static constexpr TSoapKind value = TSoapKind::Int16; };
template <> struct KindOf<qint32> { static constexpr TSoapKind value = TSoapKind::Int32; };
template <> struct KindOf<qint64> { static constexpr TSoapKind value = TSoapKind::Int64; };
template <> struct KindOf<double> { static constexpr TSoapKind value = TSoapKind::Double; };
template <> struct KindOf<bool> { static constexpr TSoapKind value = TSoapKind::Boolean; };
template <> struct KindOf<TByteDynArray> { static constexpr TSoapKind value = TSoapKind::Base64; };
template <> struct KindOf<QStringList> { static constexpr TSoapKind value = TSoapKind::StringArray; };
template <> struct KindOf<TXSDateTime*> { static constexpr TSoapKind value = TSoapKind::DateTime; };
template <> struct KindOf<TXSDecimal*> { static constexpr TSoapKind value = TSoapKind::Decimal; };

template <class T> constexpr TSoapKind kindOf() {
    using P = std::remove_cv_t<std::remove_reference_t<T>>;
    if constexpr (std::is_pointer_v<P>) {
        using U = std::remove_cv_t<std::remove_pointer_t<P>>;
        if constexpr (std::is_base_of_v<TRemotable, U>)
            return TSoapKind::Object;
        else
            return KindOf<U*>::value;
    } else {
        return KindOf<P>::value;
    }
}

template <class T> struct SetterArg;
template <class B, class A> struct SetterArg<void (B::*)(A)> {
    using type = std::remove_cv_t<std::remove_reference_t<A>>;
};

template <class T> struct IsUniquePtr : std::false_type {};
template <class U> struct IsUniquePtr<std::unique_ptr<U>> : std::true_type { using element = U; };

template <class R> TSoapView toView(R&& r) {
    using P = std::remove_cv_t<std::remove_reference_t<R>>;
    if constexpr (std::is_pointer_v<P>) {
        using U = std::remove_cv_t<std::remove_pointer_t<P>>;
        if constexpr (std::is_base_of_v<TRemotable, U>)
            return static_cast<const TRemotable*>(r);
        else
            return static_cast<const U*>(r);
    } else if constexpr (std::is_arithmetic_v<P>) {
        return r;
    } else {
        static_assert(std::is_lvalue_reference_v<R>, "getters of class values must return a reference");
        return &r;
    }
}

template <class A> A fromValue(TSoapValue&& v, const QString& name) {
    if constexpr (IsUniquePtr<A>::value) {
        using U = typename IsUniquePtr<A>::element;
        if (std::holds_alternative<std::monostate>(v))
            return nullptr;
        if constexpr (std::is_base_of_v<TRemotable, U>) {
            auto p = std::get<std::unique_ptr<TRemotable>>(std::move(v));
            if (!p)
                return nullptr;
            U* typed = dynamic_cast<U*>(p.get());
            if (!typed)
                throw EZeltError(
                    QStringLiteral("Field \"%1\" received an object of another class.").arg(name));
            p.release();
            return std::unique_ptr<U>(typed);
        } else {
            return std::get<A>(std::move(v));
        }
    } else {
        if (std::holds_alternative<std::monostate>(v))
            return A{};
        return std::get<A>(std::move(v));
    }
}

} // namespace SoapDetail

// Builds the field table of class C from its getters, setters and stored-tests.
template <class C> class TSoapFieldsOf {
public:
    template <class G, class S, class T>
    TSoapFieldsOf& Field(QString name, G getter, S setter, T stored, unsigned flags, QString itemName = {},
                         QString member = {}) {
        using R = std::invoke_result_t<G, const C&>;
        using A = typename SoapDetail::SetterArg<S>::type;
        TSoapField f;
        f.Name = name;
        f.Member = member.isEmpty() ? name : member;
        f.Kind = SoapDetail::kindOf<R>();
        static_assert(SoapDetail::kindOf<R>() != TSoapKind::None, "unsupported field type");
        if constexpr (SoapDetail::kindOf<R>() == TSoapKind::Object)
            f.Class = typeid(std::remove_cv_t<std::remove_pointer_t<std::remove_reference_t<R>>>);
        f.Flags = flags;
        f.ItemName = std::move(itemName);
        f.Stored = [stored](const TRemotable& o) { return std::invoke(stored, static_cast<const C&>(o)); };
        f.Get = [getter](const TRemotable& o) -> TSoapView {
            return SoapDetail::toView<R>(std::invoke(getter, static_cast<const C&>(o)));
        };
        f.Set = [setter, name](TRemotable& o, TSoapValue&& v) {
            std::invoke(setter, static_cast<C&>(o), SoapDetail::fromValue<A>(std::move(v), name));
        };
        FTable.push_back(std::move(f));
        return *this;
    }

    std::shared_ptr<const TSoapFieldTable> Table() const {
        return std::make_shared<const TSoapFieldTable>(FTable);
    }

private:
    TSoapFieldTable FTable;
};

// One registration: a class (or error class) with its field table, or an array type.
struct TSoapTypeInfo {
    enum class Category { Class, Exception, Array };
    Category Cat = Category::Class;
    QString Namespace;
    QString XmlName;
    QString InternalName;
    std::type_index Class = typeid(void);
    TSoapKind ItemKind = TSoapKind::None; // arrays
    std::type_index ItemClass = typeid(void);
    std::function<std::unique_ptr<TRemotable>()> Create;
    // Error classes: throws the object as its own class.
    std::function<void(TRemotable&)> Raise;
    std::shared_ptr<const TSoapFieldTable> Fields;
};

// The process-wide registry of the types that travel in messages. Registrations keep their order;
// every look-up returns the first that matches, so a type class registered before its element
// class is what an XML type name maps to.
class TSoapTypeRegistry {
public:
    template <class T>
    void RegisterXSClass(const QString& ns, const QString& xmlName, const QString& internalName,
                         std::shared_ptr<const TSoapFieldTable> fields) {
        static_assert(std::is_base_of_v<TRemotable, T>);
        TSoapTypeInfo t;
        t.Namespace = ns;
        t.XmlName = xmlName;
        t.InternalName = internalName;
        t.Class = typeid(T);
        t.Create = [] { return std::unique_ptr<TRemotable>(new T()); };
        t.Fields = std::move(fields);
        if constexpr (std::is_base_of_v<ERemotableException, T>) {
            t.Cat = TSoapTypeInfo::Category::Exception;
            t.Raise = [](TRemotable& o) { throw T(std::move(dynamic_cast<T&>(o))); };
        }
        Add(std::move(t));
    }

    // An array type; itemClass names the class of object items.
    void RegisterXSArray(const QString& ns, const QString& xmlName, TSoapKind itemKind,
                         std::type_index itemClass = typeid(void));

    const TSoapTypeInfo* Find(const QString& ns, const QString& xmlName) const;
    const TSoapTypeInfo* FindClass(std::type_index cls) const;
    // The first array type whose items are of this kind (and class).
    const TSoapTypeInfo* FindArrayOf(TSoapKind itemKind, std::type_index itemClass = typeid(void)) const;

private:
    void Add(TSoapTypeInfo t);

    mutable std::mutex FLock;
    std::deque<TSoapTypeInfo> FTypes; // stable addresses
};

TSoapTypeRegistry& RemClassRegistry();
