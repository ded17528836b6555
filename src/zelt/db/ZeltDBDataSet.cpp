#include "ZeltDBDataSet.h"

#include "ZeltDBError.h"
#include "ZeltFormats.h"
#include "ZeltSQLConnection.h"

#include <cmath>
#include <limits>

// --- TZeltDBField -------------------------------------------------------------------------------

TZeltDBField::TZeltDBField(const TZeltDBCursor& cursor, int index, QString name)
    : FCursor(cursor), FIndex(index), FName(std::move(name)) {}

QVariant TZeltDBField::Value() const {
    return FCursor.CurrentValue(FIndex);
}

bool TZeltDBField::IsNull() const {
    return Value().isNull();
}

namespace {

bool IsWhole(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool IsReal(const QVariant& v) {
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

} // namespace

QString TZeltDBField::AsString() const {
    const QVariant v = Value();
    if (v.isNull())
        return {};
    if (IsWhole(v))
        return QString::number(v.toLongLong());
    if (IsReal(v)) {
        QString text = QString::number(v.toDouble(), 'g', 15);
        return text.replace(u'.', FormatSettings().DecimalSeparator);
    }
    if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate) {
        const QDateTime dt = AsDateTime();
        const QString pattern = dt.time() == QTime(0, 0) ? FormatSettings().ShortDateFormat
                                                         : FormatSettings().ShortDateFormat + " hh:nn:ss";
        return FormatDateTime(pattern, dt);
    }
    return v.toString();
}

qint64 TZeltDBField::AsLargeInt() const {
    const QVariant v = Value();
    if (v.isNull())
        return 0;
    if (IsWhole(v))
        return v.toLongLong();
    double d = 0;
    if (IsReal(v)) {
        d = v.toDouble();
    } else {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return 0;
        bool ok = false;
        const qint64 whole = text.toLongLong(&ok);
        if (ok)
            return whole;
        QString decimal = text;
        d = decimal.replace(FormatSettings().DecimalSeparator, u'.').toDouble(&ok);
        if (!ok)
            throw EZeltError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
        throw EZeltError(QStringLiteral("'%1' is not a valid integer value").arg(d));
    return std::llround(d);
}

int TZeltDBField::AsInteger() const {
    const qint64 value = AsLargeInt();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw EZeltError(QStringLiteral("'%1' is not a valid integer value").arg(value));
    return int(value);
}

double TZeltDBField::AsFloat() const {
    const QVariant v = Value();
    if (v.isNull())
        return 0;
    if (IsWhole(v) || IsReal(v))
        return v.toDouble();
    QString text = v.toString().trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    double d = text.toDouble(&ok);
    if (!ok)
        d = text.replace(FormatSettings().DecimalSeparator, u'.').toDouble(&ok);
    if (!ok)
        throw EZeltError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    return d;
}

QDateTime TZeltDBField::AsDateTime() const {
    const QVariant v = Value();
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toLocalTime();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().startOfDay();
    const QString text = v.toString().trimmed();
    if (text.isEmpty())
        return {};
    QString iso = text;
    if (iso.size() > 10 && iso[10] == u' ')
        iso[10] = u'T';
    QDateTime dt = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!dt.isValid() && iso.size() == 10)
        dt = QDate::fromString(iso, Qt::ISODate).startOfDay();
    if (!dt.isValid())
        throw EZeltError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    return dt.timeSpec() == Qt::LocalTime ? dt : dt.toLocalTime();
}

// --- TZeltDBCursor ------------------------------------------------------------------------------

TZeltDBCursor::TZeltDBCursor() = default;
TZeltDBCursor::~TZeltDBCursor() = default;

int TZeltDBCursor::RecordCount() const {
    return FData ? int(FData->Rows.size()) : 0;
}

int TZeltDBCursor::RecNo() const {
    return RecordCount() > 0 ? FRow + 1 : 0;
}

void TZeltDBCursor::SetRow(int row) {
    const int count = RecordCount();
    FRow = count == 0 ? 0 : qBound(0, row, count - 1);
    FEof = count == 0;
    FBof = true;
}

void TZeltDBCursor::First() {
    SetRow(0);
}

void TZeltDBCursor::Last() {
    const int count = RecordCount();
    FRow = count > 0 ? count - 1 : 0;
    FEof = true;
    FBof = count == 0;
}

void TZeltDBCursor::Next() {
    if (FRow + 1 < RecordCount()) {
        ++FRow;
        FBof = false;
    } else {
        FEof = true;
    }
}

void TZeltDBCursor::Prior() {
    if (FRow > 0) {
        --FRow;
        FEof = false;
    } else {
        FBof = true;
    }
}

TZeltDBField& TZeltDBCursor::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EZeltDBError(QStringLiteral("Field index %1 out of range").arg(index));
    return *FFields[size_t(index)];
}

TZeltDBField* TZeltDBCursor::FindField(const QString& name) const {
    const auto it = FByName.constFind(name.toUpper());
    return it == FByName.cend() ? nullptr : FFields[size_t(*it)].get();
}

TZeltDBField& TZeltDBCursor::FieldByName(const QString& name) const {
    if (TZeltDBField* field = FindField(name))
        return *field;
    throw EZeltDBError(QStringLiteral("Field '%1' not found").arg(name));
}

QVariant TZeltDBCursor::CurrentValue(int column) const {
    if (!FData || FRow >= int(FData->Rows.size()))
        return {};
    const QVariantList& row = FData->Rows[FRow];
    return column >= 0 && column < row.size() ? row[column] : QVariant();
}

void TZeltDBCursor::Attach(std::shared_ptr<const TZeltDBResult> data) {
    FData = std::move(data);
    FFields.clear();
    FByName.clear();
    for (int i = 0; i < int(FData->Columns.size()); ++i)
        FFields.push_back(std::make_unique<TZeltDBField>(*this, i, FData->Columns[i]));
    // Backwards, so that of two columns with one name the first is found.
    for (int i = int(FData->Columns.size()) - 1; i >= 0; --i)
        FByName.insert(FData->Columns[i].toUpper(), i);
    First();
}

void TZeltDBCursor::Detach() {
    FData.reset();
    FFields.clear();
    FByName.clear();
    FRow = 0;
    FEof = true;
    FBof = true;
}

// --- TZeltDBMemTable ----------------------------------------------------------------------------

void TZeltDBMemTable::CloneCursor(const TZeltDBCursor& source) {
    if (source.Data())
        Attach(source.Data());
    else
        Detach();
}

// --- TZeltDBDataSet -----------------------------------------------------------------------------

TZeltDBDataSet::TZeltDBDataSet(QObject* owner) : QObject(owner) {}

TZeltDBDataSet::~TZeltDBDataSet() {
    FreeClone();
    Detach();
}

TZeltDBEngine& TZeltDBDataSet::Engine() const {
    if (!FConnection)
        throw EZeltDBError(QStringLiteral("%1: no connection")
                               .arg(objectName().isEmpty() ? metaObject()->className() : objectName()));
    return FConnection->Engine();
}

void TZeltDBDataSet::Open() {
    if (Active())
        return;
    DoBeforeOpen();
    Attach(std::make_shared<const TZeltDBResult>(Execute()));
    try {
        DoAfterOpen();
    } catch (...) {
        FreeClone();
        Detach();
        throw;
    }
}

void TZeltDBDataSet::Close() {
    if (!Active())
        return;
    FreeClone();
    Detach();
    DoAfterClose();
}

void TZeltDBDataSet::Refresh() {
    if (!Active())
        return;
    DoBeforeRefresh();
    const int row = RecNo();
    Attach(std::make_shared<const TZeltDBResult>(Execute()));
    SetRow(row - 1);
}

TZeltDBMemTable* TZeltDBDataSet::Clone() {
    if (!FClone) {
        FClone = std::make_unique<TZeltDBMemTable>();
        FClone->SetCachedUpdates(true);
        FClone->CloneCursor(*this);
    }
    return FClone.get();
}

void TZeltDBDataSet::FreeClone() {
    FClone.reset();
}

void TZeltDBDataSet::DoBeforeOpen() {
    if (BeforeOpen)
        BeforeOpen(*this);
}

void TZeltDBDataSet::DoAfterOpen() {
    if (AfterOpen)
        AfterOpen(*this);
}

void TZeltDBDataSet::DoAfterClose() {
    if (AfterClose)
        AfterClose(*this);
}

void TZeltDBDataSet::DoBeforeRefresh() {
    if (BeforeRefresh)
        BeforeRefresh(*this);
}
