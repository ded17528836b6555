#include "SimValue.h"

#include "SimTime.h"
#include "ZeltError.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace sim {

namespace {

int fieldIndex(const TypeDef* type, const char* field) {
    for (std::size_t i = 0; i < type->fields.size(); ++i) {
        if (qstrcmp(type->fields[i].name, field) == 0)
            return int(i);
    }
    qFatal("contract type %s has no field %s", type->name, field);
}

[[noreturn]] void fail(const QString& where, const QString& what) {
    throw EZeltError(where + QStringLiteral(": ") + what);
}

bool isXmlDouble(const QString& text) {
    static const QRegularExpression form(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)"));
    return text == QLatin1StringView("NaN") || text == QLatin1StringView("INF") ||
           text == QLatin1StringView("-INF") || form.match(text).hasMatch();
}

bool isXmlDecimal(const QString& text) {
    static const QRegularExpression form(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));
    return form.match(text).hasMatch();
}

QString integerText(const FieldDef& field, const QJsonValue& value, const QString& where) {
    qint64 min = std::numeric_limits<qint32>::min(), max = std::numeric_limits<qint32>::max();
    if (field.kind == FieldKind::Short) {
        min = std::numeric_limits<qint16>::min();
        max = std::numeric_limits<qint16>::max();
    } else if (field.kind == FieldKind::Long) {
        min = std::numeric_limits<qint64>::min();
        max = std::numeric_limits<qint64>::max();
    }
    qint64 number = 0;
    if (value.isDouble()) {
        const double d = value.toDouble();
        // Beyond 2^53 a JSON number has already lost digits: such values are given as text.
        if (d != std::floor(d) || std::fabs(d) > 9007199254740992.0)
            fail(where, QStringLiteral("expected a whole number (give large values as text)"));
        number = qint64(d);
    } else if (value.isString()) {
        bool ok = false;
        number = value.toString().toLongLong(&ok);
        if (!ok)
            fail(where, QStringLiteral("\"%1\" is not a whole number").arg(value.toString()));
    } else {
        fail(where, QStringLiteral("expected a whole number"));
    }
    if (number < min || number > max)
        fail(where, QStringLiteral("%1 is out of range for %2")
                        .arg(number)
                        .arg(field.kind == FieldKind::Short ? "short"
                             : field.kind == FieldKind::Int ? "int"
                                                            : "long"));
    return QString::number(number);
}

} // namespace

void SimObject::set(const char* field, FieldValue value) {
    values[fieldIndex(type, field)] = std::move(value);
}

void SimObject::setIfAbsent(const char* field, FieldValue value) {
    auto& slot = values[fieldIndex(type, field)];
    if (!slot)
        slot = std::move(value);
}

const FieldValue* SimObject::get(const char* field) const {
    const auto& slot = values[fieldIndex(type, field)];
    return slot ? &*slot : nullptr;
}

QString SimObject::text(const char* field) const {
    const FieldValue* v = get(field);
    return v && v->form == FieldValue::Form::Text ? v->text : QString();
}

QString xmlDouble(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString xmlBoolean(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

FieldValue fieldFromJson(const FieldDef& field, const QJsonValue& value, const QString& where) {
    if (value.isNull()) {
        if (!field.nillable)
            fail(where, QStringLiteral("may not be null"));
        return FieldValue::nil();
    }
    switch (field.kind) {
    case FieldKind::String:
        if (!value.isString())
            fail(where, QStringLiteral("expected a text"));
        return FieldValue::ofText(value.toString());
    case FieldKind::Int:
    case FieldKind::Short:
    case FieldKind::Long:
        return FieldValue::ofText(integerText(field, value, where));
    case FieldKind::Double:
        if (value.isDouble())
            return FieldValue::ofText(xmlDouble(value.toDouble()));
        if (value.isString() && isXmlDouble(value.toString()))
            return FieldValue::ofText(value.toString());
        fail(where, QStringLiteral("expected a number"));
    case FieldKind::Decimal:
        if (value.isDouble())
            return FieldValue::ofText(QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest));
        if (value.isString() && isXmlDecimal(value.toString()))
            return FieldValue::ofText(value.toString());
        fail(where, QStringLiteral("expected a decimal number"));
    case FieldKind::Boolean:
        if (!value.isBool())
            fail(where, QStringLiteral("expected true or false"));
        return FieldValue::ofText(xmlBoolean(value.toBool()));
    case FieldKind::DateTime:
        if (!value.isString() || !parseXmlDateTime(value.toString()))
            fail(where,
                 QStringLiteral("expected a date-time text such as \"2024-03-05T07:08:09.010+02:00\""));
        return FieldValue::ofText(value.toString().trimmed());
    case FieldKind::StringArray: {
        if (!value.isArray())
            fail(where, QStringLiteral("expected a list of texts"));
        FieldValue result{FieldValue::Form::Strings, {}, {}, {}};
        const QJsonArray items = value.toArray();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (!items[i].isString())
                fail(QStringLiteral("%1[%2]").arg(where).arg(i), QStringLiteral("expected a text"));
            result.strings.append(items[i].toString());
        }
        return result;
    }
    case FieldKind::Object:
        if (!value.isObject())
            fail(where, QStringLiteral("expected an object"));
        return {FieldValue::Form::Object,
                {},
                {},
                std::make_shared<SimObject>(objectFromJson(*field.objectType, value.toObject(), where))};
    }
    Q_UNREACHABLE();
}

SimObject objectFromJson(const TypeDef& type, const QJsonObject& json, const QString& where,
                         const QStringList& extraKeys) {
    SimObject object(&type);
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (extraKeys.contains(it.key()))
            continue;
        const FieldDef* field = type.field(it.key());
        const QString fieldWhere = where + u'.' + it.key();
        if (!field)
            fail(fieldWhere,
                 QStringLiteral("%1 has no field of this name").arg(QLatin1StringView(type.name)));
        object.set(field->name, fieldFromJson(*field, it.value(), fieldWhere));
    }
    return object;
}

} // namespace sim
