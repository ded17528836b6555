#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

#include <memory>
#include <variant>
#include <vector>

// The XML-schema value kinds the runtime reads and writes.
enum class TSoapKind {
    None,
    String,
    Int16,
    Int32,
    Int64,
    Double,
    Boolean,
    DateTime,    // owned TXSDateTime
    Decimal,     // owned TXSDecimal
    Base64,      // TByteDynArray
    Object,      // owned TRemotable of a registered class
    StringArray, // QStringList
    ObjectArray, // TSoapObjectList of a registered item class
};

// base64Binary content.
using TByteDynArray = QByteArray;

// xsd:dateTime: a wall-clock date and time with millisecond resolution and, usually, its UTC offset.
class TXSDateTime {
public:
    TXSDateTime() = default;

    // A local date-time with the offset the system's time-zone rules give it at that moment: the
    // standard offset for a time that occurs twice; a time inside the skipped hour raises EZeltError.
    // A date-time that is not in local time is converted to local time first.
    static TXSDateTime FromLocal(const QDateTime& local);
    // An instant with a given offset from UTC in seconds.
    static TXSDateTime FromOffset(const QDate& date, const QTime& time, int offsetSeconds);
    // Parses the lexical form; raises EZeltError for anything else.
    static TXSDateTime FromXS(const QString& text);

    // "yyyy-mm-ddThh:nn:ss.zzz" followed by "Z" for a zero offset or "+hh:mm"/"-hh:mm".
    QString NativeToXS() const;
    // The same moment in local time (a value without offset is taken as local already).
    QDateTime AsDateTime() const;
    QDateTime AsUTCDateTime() const;

    QDate Date() const { return FDate; }
    QTime Time() const { return FTime; }
    bool HasOffset() const { return FHasOffset; }
    int OffsetSeconds() const { return FOffset; }

    bool operator==(const TXSDateTime&) const = default;

private:
    QDate FDate;
    QTime FTime;
    int FOffset = 0;
    bool FHasOffset = false;
};

// xsd:decimal, kept as its exact decimal text.
class TXSDecimal {
public:
    TXSDecimal() = default;
    // Raises EZeltError for a text that is not a decimal number.
    static TXSDecimal FromXS(const QString& text);
    static TXSDecimal FromDouble(double value);

    const QString& DecimalString() const { return FText; }
    double AsDouble() const { return FText.toDouble(); }

    bool operator==(const TXSDecimal&) const = default;

private:
    QString FText = QStringLiteral("0");
};

// Base of every class that travels as a complex type. Its fields are described by the field table
// given when the class is registered (TSoapTypeRegistry).
class TRemotable {
public:
    TRemotable() = default;
    virtual ~TRemotable();

protected:
    TRemotable(const TRemotable&) = default;
    TRemotable(TRemotable&&) = default;
    TRemotable& operator=(const TRemotable&) = default;
    TRemotable& operator=(TRemotable&&) = default;
};

using TSoapObjectList = std::vector<std::unique_ptr<TRemotable>>;

// A value read from XML, owned.
using TSoapValue = std::variant<std::monostate, QString, qint16, qint32, qint64, double, bool,
                                std::unique_ptr<TXSDateTime>, std::unique_ptr<TXSDecimal>, TByteDynArray,
                                std::unique_ptr<TRemotable>, QStringList, TSoapObjectList>;

// A value to be written to XML, borrowed from its owner (null pointers are written as nil or left out).
using TSoapView = std::variant<std::monostate, const QString*, qint16, qint32, qint64, double, bool,
                               const TXSDateTime*, const TXSDecimal*, const TByteDynArray*, const TRemotable*,
                               const QStringList*, const TSoapObjectList*>;

// Lexical forms of xsd:double: a point as decimal separator; NaN, INF and -INF in any letter case.
namespace SoapLexical {
QString FormatDouble(double value);
// Raises EZeltError when the text is not a number.
double ParseDouble(const QString& text);
} // namespace SoapLexical
