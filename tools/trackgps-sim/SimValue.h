#pragma once

#include "SimContract.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace sim {

struct SimObject;

// One field's value, already in its XML lexical form.
struct FieldValue {
    enum class Form { Text, Nil, Strings, Object };
    Form form = Form::Text;
    QString text;
    QStringList strings;
    std::shared_ptr<const SimObject> object;

    static FieldValue ofText(QString t) { return {Form::Text, std::move(t), {}, {}}; }
    static FieldValue nil() { return {Form::Nil, {}, {}, {}}; }
};

// An instance of a contract type; only the fields that are set are written.
struct SimObject {
    explicit SimObject(const TypeDef* t = nullptr) : type(t), values(t ? t->fields.size() : 0) {}

    const TypeDef* type;
    std::vector<std::optional<FieldValue>> values; // by field index, wire order

    void set(const char* field, FieldValue value);
    void setIfAbsent(const char* field, FieldValue value);
    const FieldValue* get(const char* field) const;
    // The field's text, or empty when it is not set or nil.
    QString text(const char* field) const;
};

// The value an operation answers with.
struct OperationResult {
    QString lexical;  // Text, Double, Boolean
    bool nil = false; // Text results may be nil
    QByteArray bytes; // Bytes
    std::optional<SimObject> object;
    QList<SimObject> items;
};

// Lexical forms used on the wire.
QString xmlDouble(double value);
QString xmlBoolean(bool value);

// Reads a contract object from its JSON form (fields named as on the wire). Values are checked
// against the field's XML type; unknown names are errors, so a typo in a data file is reported.
// `extraKeys` are names the caller handles itself and that are skipped here.
SimObject objectFromJson(const TypeDef& type, const QJsonObject& json, const QString& where,
                         const QStringList& extraKeys = {});
FieldValue fieldFromJson(const FieldDef& field, const QJsonValue& value, const QString& where);

} // namespace sim
