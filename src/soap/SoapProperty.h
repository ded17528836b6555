#pragma once

#include <memory>

// The field pattern of a remotable class: the value F<Name>, its flag F<Name>_Specified (false at
// construction), a getter, a setter that stores the value and marks it specified, and the
// stored-test <Name>_Specified() that decides whether the field is written.
#define SOAP_PROPERTY(Type, Name)                                                                            \
public:                                                                                                      \
    const Type& Name() const {                                                                               \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(const Type& value) {                                                                      \
        F##Name = value;                                                                                     \
        F##Name##_Specified = true;                                                                          \
    }                                                                                                        \
    bool Name##_Specified() const {                                                                          \
        return F##Name##_Specified;                                                                          \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name{};                                                                                          \
    bool F##Name##_Specified = false;

// The same for an object the class owns: the setter takes ownership (a value it held before is freed).
#define SOAP_OWNED_PROPERTY(Type, Name)                                                                      \
public:                                                                                                      \
    Type* Name() const {                                                                                     \
        return F##Name.get();                                                                                \
    }                                                                                                        \
    void Set##Name(std::unique_ptr<Type> value) {                                                            \
        F##Name = std::move(value);                                                                          \
        F##Name##_Specified = true;                                                                          \
    }                                                                                                        \
    bool Name##_Specified() const {                                                                          \
        return F##Name##_Specified;                                                                          \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    std::unique_ptr<Type> F##Name;                                                                           \
    bool F##Name##_Specified = false;

// Adds the field Name of class C to a TSoapFieldsOf<C> table under its own name as XML name.
#define SOAP_FIELD(table, C, Name, flags)                                                                    \
    (table).Field(QStringLiteral(#Name), &C::Name, &C::Set##Name, &C::Name##_Specified, (flags))
