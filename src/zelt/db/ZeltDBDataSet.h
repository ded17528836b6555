#pragma once

#include "ZeltDBEngine.h"
#include "ZeltSQLConnection.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class TZeltDBCursor;

// One column of a cursor, read at the cursor's current row.
class TZeltDBField {
public:
    TZeltDBField(const TZeltDBCursor& cursor, int index, QString name);

    const QString& FieldName() const { return FName; }
    int Index() const { return FIndex; }

    QVariant Value() const;
    bool IsNull() const;
    // Text as the database gives it; numbers in plain decimal with the process's decimal separator;
    // date-times of a driver as the process's short date and hh:nn:ss. Null reads as "".
    QString AsString() const;
    // Null and empty text read as 0; raises EZeltError for a text that is no number or out of range.
    int AsInteger() const;
    qint64 AsLargeInt() const;
    double AsFloat() const;
    // Local time. Driver date-times, and the embedded engine's texts "YYYY-MM-DD[ HH:MM[:SS[.zzz]]]".
    // Null reads as an invalid QDateTime; another text raises EZeltError.
    QDateTime AsDateTime() const;

private:
    const TZeltDBCursor& FCursor;
    int FIndex;
    QString FName;
};

// A cursor over rows fetched in full. Several cursors may share one set of rows.
class TZeltDBCursor {
public:
    TZeltDBCursor();
    virtual ~TZeltDBCursor();
    TZeltDBCursor(const TZeltDBCursor&) = delete;
    TZeltDBCursor& operator=(const TZeltDBCursor&) = delete;

    bool Active() const { return FData != nullptr; }
    int RecordCount() const;
    // 1-based position of the current row; 0 when there is none.
    int RecNo() const;
    // True once Next is called on the last row (the cursor stays there), at once for no rows, and
    // while closed.
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    void First();
    void Next();
    void Prior();
    void Last();

    int FieldCount() const { return int(FFields.size()); }
    TZeltDBField& Fields(int index) const;
    // Without regard to letter case; raises EZeltDBError "Field 'X' not found".
    TZeltDBField& FieldByName(const QString& name) const;
    TZeltDBField* FindField(const QString& name) const;

    // Value of a column at the current row (null past the rows).
    QVariant CurrentValue(int column) const;

    // The rows this cursor walks; null while closed.
    const std::shared_ptr<const TZeltDBResult>& Data() const { return FData; }

protected:
    void Attach(std::shared_ptr<const TZeltDBResult> data);
    void Detach();
    void SetRow(int row);

private:
    std::shared_ptr<const TZeltDBResult> FData;
    int FRow = 0;
    bool FEof = true;
    bool FBof = true;
    std::vector<std::unique_ptr<TZeltDBField>> FFields;
    QHash<QString, int> FByName; // upper-case name -> first column of that name
};

// An in-memory cursor; as a dataset's Clone it walks the dataset's rows independently.
class TZeltDBMemTable final : public TZeltDBCursor {
public:
    bool CachedUpdates() const { return FCachedUpdates; }
    void SetCachedUpdates(bool value) { FCachedUpdates = value; }
    // Shares the source's rows, positioned on the first row. Rows fetched later by the source (after a
    // reopen) are not seen.
    void CloneCursor(const TZeltDBCursor& source);

private:
    bool FCachedUpdates = false;
};

// What the query and stored-procedure datasets share: a connection, the open/close sequence with its
// hooks, rows fetched completely at open, and a clone cursor.
class TZeltDBDataSet : public QObject, public TZeltDBCursor {
    Q_OBJECT
public:
    using Event = std::function<void(TZeltDBDataSet& dataset)>;

    explicit TZeltDBDataSet(QObject* owner = nullptr);
    ~TZeltDBDataSet() override;

    TZeltSQLConnection* Connection() const { return FConnection; }
    void SetConnection(TZeltSQLConnection* connection) { FConnection = connection; }

    bool CachedUpdates() const { return FCachedUpdates; }
    void SetCachedUpdates(bool value) { FCachedUpdates = value; }

    // Hooks of the platform dataset, fired by the open and close sequences.
    Event BeforeOpen;
    Event AfterOpen;
    Event AfterClose;
    Event BeforeRefresh;

    // Raises on failure and stays closed. Opening an open dataset does nothing.
    void Open();
    void Close();
    void SetActive(bool active) { active ? Open() : Close(); }
    // Runs the statement again, keeping the position where the rows allow.
    void Refresh();
    // Rows are always fetched completely at open; kept for callers that ask.
    void FetchAll() {}

    // A second cursor over the fetched rows, created on first read and owned by the dataset; the same
    // object until the dataset is closed or destroyed.
    TZeltDBMemTable* Clone();

protected:
    // Steps of the sequences; the defaults fire the hooks.
    virtual void DoBeforeOpen();
    virtual void DoAfterOpen();
    virtual void DoAfterClose();
    virtual void DoBeforeRefresh();
    // Runs the statement on the connection's engine.
    virtual TZeltDBResult Execute() = 0;

    TZeltDBEngine& Engine() const;
    void FreeClone();

private:
    QPointer<TZeltSQLConnection> FConnection;
    bool FCachedUpdates = false;
    std::unique_ptr<TZeltDBMemTable> FClone;
};
