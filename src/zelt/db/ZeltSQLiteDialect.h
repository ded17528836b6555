#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

// The few Oracle forms the embedded engine speaks, turned into SQLite:
//   MIN|MAX(x) KEEP (DENSE_RANK FIRST|LAST ORDER BY y [ASC|DESC] [NULLS FIRST|LAST], ...)
//       -> zelt_keep(kind, x, y, flags, ...)             (an aggregate with Oracle's ranking)
//   SCHEMA.SEQ.NEXTVAL, SEQ.NEXTVAL -> zelt_nextval('SCHEMA', 'SEQ')
// TO_DATE is a function of the engine and needs no rewriting. Everything else is left as written.
// Oracle forms that the engine recognises but does not support raise EZeltDBError saying so.
//
// A grouped query block of the form
//   SELECT g, MIN|MAX(x) KEEP (DENSE_RANK FIRST|LAST ORDER BY y ...) a, ... FROM t GROUP BY g
// (plain columns, one ordering key shared by every KEEP) on a table with an index on (g, y) is
// instead written as seeks in that index per group, which SQLite runs far faster than a scan.
// hasIndex tells whether such an index exists; without it every KEEP becomes the aggregate.
using TZeltIndexProbe =
    std::function<bool(const QString& schema, const QString& table, const QStringList& columns)>;
QString ZeltSQLiteRewrite(const QString& sql, const TZeltIndexProbe& hasIndex = {});

// How a statement takes part in Oracle's transaction model.
enum class TZeltStatementKind {
    Query,      // SELECT, WITH, VALUES: begins nothing
    Change,     // INSERT, UPDATE, DELETE, ...: begins a transaction when none is open
    Definition, // CREATE, DROP, ALTER: commits open work first, as Oracle does
    Commit,
    Rollback,
    Other // left to SQLite as it is
};
TZeltStatementKind ZeltStatementKind(const QString& sql);

// Oracle's TO_DATE with the DD MM YYYY HH24 HH (HH12) MI SS elements; punctuation and blanks between
// elements, and "quoted" literal text. Elements left out take Oracle's defaults (year and month of
// today, day 1, time 00:00:00). Returns local date-time text "YYYY-MM-DD HH:MM:SS".
// Raises EZeltDBError with Oracle's text for bad input, and for an element it does not support.
QString ZeltOracleToDate(const QString& text, const QString& format, const QDate& today);

// Flags of one ordering key of zelt_keep, after FIRST/LAST has been folded into the ordering.
enum ZeltKeepFlag { ZeltKeepDescending = 1, ZeltKeepNullsFirst = 2 };
