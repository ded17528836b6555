#include "ZeltSQLiteFunctions.h"

#include "ZeltError.h"
#include "ZeltSQLiteDialect.h"

#include <QDate>
#include <QString>

#include <sqlite3.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// --- TO_DATE ----------------------------------------------------------------------------------

QString ValueText(sqlite3_value* v) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(text, sqlite3_value_bytes(v));
}

void ToDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 2) {
        sqlite3_result_error(ctx, "Not supported by the embedded engine: TO_DATE without a format", -1);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        const QByteArray date =
            ZeltOracleToDate(ValueText(argv[0]), ValueText(argv[1]), QDate::currentDate()).toUtf8();
        sqlite3_result_text(ctx, date.constData(), int(date.size()), SQLITE_TRANSIENT);
    } catch (const EZeltError& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

// --- zelt_keep(kind, x, key1, flags1, key2, flags2, ...) ---------------------------------------
// The rows that come first in the keys' order (ties included, as DENSE_RANK ranks them) give the
// minimum (kind 0) or maximum (kind 1) of x. The order is SQLite's: numbers by value, then text by
// bytes, then blobs; NULL placed by the key's flag.

struct Value {
    int Type = SQLITE_NULL;
    sqlite3_int64 Int = 0;
    double Real = 0;
    std::string Bytes;

    void Assign(sqlite3_value* v) {
        Type = sqlite3_value_type(v);
        switch (Type) {
        case SQLITE_INTEGER:
            Int = sqlite3_value_int64(v);
            break;
        case SQLITE_FLOAT:
            Real = sqlite3_value_double(v);
            break;
        case SQLITE_TEXT: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
            Bytes.assign(p, size_t(sqlite3_value_bytes(v)));
            break;
        }
        case SQLITE_BLOB: {
            const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
            const int n = sqlite3_value_bytes(v);
            Bytes.assign(p ? p : "", size_t(n));
            break;
        }
        default:
            break;
        }
    }

    void Result(sqlite3_context* ctx) const {
        switch (Type) {
        case SQLITE_INTEGER:
            sqlite3_result_int64(ctx, Int);
            break;
        case SQLITE_FLOAT:
            sqlite3_result_double(ctx, Real);
            break;
        case SQLITE_TEXT:
            sqlite3_result_text(ctx, Bytes.data(), int(Bytes.size()), SQLITE_TRANSIENT);
            break;
        case SQLITE_BLOB:
            sqlite3_result_blob(ctx, Bytes.data(), int(Bytes.size()), SQLITE_TRANSIENT);
            break;
        default:
            sqlite3_result_null(ctx);
        }
    }
};

int ClassRank(int type) {
    switch (type) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return 1;
    case SQLITE_TEXT:
        return 2;
    case SQLITE_BLOB:
        return 3;
    default:
        return 0;
    }
}

// Non-null values: <0, 0, >0.
int CompareValues(sqlite3_value* a, const Value& b) {
    const int ta = sqlite3_value_type(a);
    const int ra = ClassRank(ta), rb = ClassRank(b.Type);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 1) {
        if (ta == SQLITE_INTEGER && b.Type == SQLITE_INTEGER) {
            const sqlite3_int64 x = sqlite3_value_int64(a);
            return x < b.Int ? -1 : (x > b.Int ? 1 : 0);
        }
        const double x = sqlite3_value_double(a);
        const double y = b.Type == SQLITE_INTEGER ? double(b.Int) : b.Real;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const void* p =
        ta == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(a)) : sqlite3_value_blob(a);
    const size_t n = size_t(sqlite3_value_bytes(a));
    const size_t m = b.Bytes.size();
    const int c = std::memcmp(p ? p : "", b.Bytes.data(), n < m ? n : m);
    if (c != 0)
        return c;
    return n < m ? -1 : (n > m ? 1 : 0);
}

// Position of a row's key against the best key so far, in the key's order.
int CompareKey(sqlite3_value* a, const Value& b, int flags) {
    const bool an = sqlite3_value_type(a) == SQLITE_NULL, bn = b.Type == SQLITE_NULL;
    if (an || bn) {
        if (an && bn)
            return 0;
        const bool nullsFirst = flags & ZeltKeepNullsFirst;
        return an == nullsFirst ? -1 : 1;
    }
    const int c = CompareValues(a, b);
    return (flags & ZeltKeepDescending) ? -c : c;
}

struct KeepState {
    bool Started = false;
    std::vector<Value> Best;
    Value Agg; // SQLITE_NULL until a non-null x among the best rows
};

void KeepStep(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 4 || argc % 2 != 0) {
        sqlite3_result_error(ctx, "zelt_keep: wrong number of arguments", -1);
        return;
    }
    auto** slot = static_cast<KeepState**>(sqlite3_aggregate_context(ctx, sizeof(KeepState*)));
    if (!slot) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    if (!*slot)
        *slot = new KeepState;
    KeepState& s = **slot;
    const bool isMax = sqlite3_value_int(argv[0]) != 0;
    sqlite3_value* x = argv[1];
    const int keys = (argc - 2) / 2;

    int order = -1; // a first row is best by definition
    if (s.Started) {
        order = 0;
        for (int k = 0; k < keys && order == 0; ++k)
            order = CompareKey(argv[2 + 2 * k], s.Best[size_t(k)], sqlite3_value_int(argv[3 + 2 * k]));
    }
    if (order > 0)
        return;
    if (order < 0) {
        s.Started = true;
        s.Best.resize(size_t(keys));
        for (int k = 0; k < keys; ++k)
            s.Best[size_t(k)].Assign(argv[2 + 2 * k]);
        s.Agg.Assign(x);
        return;
    }
    if (sqlite3_value_type(x) == SQLITE_NULL)
        return;
    if (s.Agg.Type == SQLITE_NULL) {
        s.Agg.Assign(x);
        return;
    }
    const int c = CompareValues(x, s.Agg);
    if (isMax ? c > 0 : c < 0)
        s.Agg.Assign(x);
}

void KeepFinal(sqlite3_context* ctx) {
    auto** slot = static_cast<KeepState**>(sqlite3_aggregate_context(ctx, 0));
    if (!slot || !*slot) {
        sqlite3_result_null(ctx);
        return;
    }
    (*slot)->Agg.Result(ctx);
    delete *slot;
    *slot = nullptr;
}

// --- zelt_nextval(schema or NULL, sequence) ----------------------------------------------------

std::string QuoteName(const char* name) {
    std::string quoted = "\"";
    for (const char* p = name; *p; ++p) {
        quoted += *p;
        if (*p == '"')
            quoted += '"';
    }
    return quoted + '"';
}

void NextVal(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 2 || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_error(ctx, "zelt_nextval: wrong arguments", -1);
        return;
    }
    const auto* schema = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const auto* sequence = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const std::string name = (schema ? QuoteName(schema) + "." : std::string()) + QuoteName(sequence);
    const std::string shown = (schema ? std::string(schema) + "." : std::string()) + sequence;
    const std::string sql = "UPDATE " + name + " SET LAST_NUMBER = LAST_NUMBER + 1 RETURNING LAST_NUMBER";

    sqlite3* db = sqlite3_context_db_handle(ctx);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        const std::string error = sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        sqlite3_result_error(ctx, ("sequence " + shown + ": " + error).c_str(), -1);
        return;
    }
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW) {
        const std::string error =
            rc == SQLITE_DONE ? "sequence " + shown + " has no row (it needs one row with LAST_NUMBER)"
                              : "sequence " + shown + ": " + sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        sqlite3_result_error(ctx, error.c_str(), -1);
        return;
    }
    const sqlite3_int64 value = sqlite3_column_int64(stmt, 0);
    rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        sqlite3_result_error(ctx, ("sequence " + shown + " has more than one row").c_str(), -1);
        return;
    }
    sqlite3_result_int64(ctx, value);
}

} // namespace

int ZeltRegisterSQLiteFunctions(sqlite3* db) {
    int rc = sqlite3_create_function_v2(db, "TO_DATE", -1, SQLITE_UTF8, nullptr, ToDate, nullptr, nullptr,
                                        nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "zelt_keep", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                        nullptr, KeepStep, KeepFinal, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "zelt_nextval", 2, SQLITE_UTF8, nullptr, NextVal, nullptr,
                                        nullptr, nullptr);
    return rc;
}
