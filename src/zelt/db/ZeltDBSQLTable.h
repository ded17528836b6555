#pragma once

#include "ZeltDBDataSet.h"

#include <QStringList>

#include <functional>

// The query dataset. At every open: OnCustomizeSqlText runs, then "<owner>" (any letter case) is
// replaced by GetDBOwner() and the result is written back into the SQL text, so a reopened dataset
// keeps the owner of its first open. The whole result is fetched at open; walking it asks nothing of
// the server. A failing open raises EZeltDBError with the server's text and leaves it closed.
class TZeltDBSQLTable : public TZeltDBDataSet {
    Q_OBJECT
public:
    // Closed, no connection, cached updates on.
    explicit TZeltDBSQLTable(QObject* owner = nullptr);
    ~TZeltDBSQLTable() override;

    // The whole statement. Lines may be separated by CR LF, CR alone or LF alone.
    const QString& SQLText() const { return FSQL; }
    void SetSQLText(const QString& text) { FSQL = text; }
    // The statement as lines, joined with CR LF as a string list's text is.
    QStringList SQLLines() const;
    void SetSQLLines(const QStringList& lines);

    // Called with the dataset before the expansion at every open and before every refresh.
    std::function<void(TZeltDBSQLTable& dataset)> OnCustomizeSqlText;

    // Statement preparation belongs to the engine; kept for callers that ask for it.
    void Prepare() {}
    void Unprepare() {}

protected:
    void DoBeforeOpen() override;
    void DoAfterOpen() override;
    void DoBeforeRefresh() override;
    TZeltDBResult Execute() override;

private:
    QString FSQL;
};
