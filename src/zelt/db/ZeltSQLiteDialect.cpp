#include "ZeltSQLiteDialect.h"

#include "ZeltDBError.h"

#include <algorithm>
#include <vector>

namespace {

enum class TokKind { Word, Quoted, String, Number, Punct };

struct Token {
    TokKind Kind;
    qsizetype Begin;
    qsizetype End;
};

bool IsWordStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool IsWordPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

// Significant tokens of an SQL text. Line comments end at a lone CR too, as they do for the program's
// statements; SQLite ends them only at LF, so such a CR is turned into LF (crFixes).
std::vector<Token> Tokenize(const QString& s, std::vector<qsizetype>* crFixes) {
    std::vector<Token> tokens;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n' && s[i] != u'\r')
                ++i;
            if (i < n && s[i] == u'\r' && (i + 1 >= n || s[i + 1] != u'\n') && crFixes)
                crFixes->push_back(i);
        } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const qsizetype close = s.indexOf(QStringLiteral("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar closing = c == u'[' ? QChar(u']') : c;
            qsizetype j = i + 1;
            while (j < n) {
                if (s[j] == closing) {
                    if (closing != u']' && j + 1 < n && s[j + 1] == closing) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const qsizetype end = j < n ? j + 1 : n;
            tokens.push_back({c == u'\'' ? TokKind::String : TokKind::Quoted, i, end});
            i = end;
        } else if (IsWordStart(c)) {
            qsizetype j = i + 1;
            while (j < n && IsWordPart(s[j]))
                ++j;
            tokens.push_back({TokKind::Word, i, j});
            i = j;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            qsizetype j = i + 1;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == u'.'))
                ++j;
            tokens.push_back({TokKind::Number, i, j});
            i = j;
        } else {
            tokens.push_back({TokKind::Punct, i, i + 1});
            ++i;
        }
    }
    return tokens;
}

[[noreturn]] void Unsupported(const QString& what) {
    throw EZeltDBError(QStringLiteral("Not supported by the embedded engine: ") + what);
}

class Rewriter {
public:
    Rewriter(const QString& sql, const TZeltIndexProbe& hasIndex)
        : S(sql), HasIndex(hasIndex), T(Tokenize(sql, &CrFixes)) {
        MatchParens();
    }

    QString Run() {
        FindSeekableKeepBlocks();
        FindKeep();
        FindSequences();
        FindOuterJoinMarks();
        return Emit();
    }

private:
    struct Replacement {
        qsizetype Begin;
        qsizetype End;
        QString Text;
    };

    const QString& S;
    const TZeltIndexProbe& HasIndex;
    std::vector<qsizetype> CrFixes;
    std::vector<Token> T;
    std::vector<qsizetype> Match; // index of the matching parenthesis token, or -1
    std::vector<Replacement> Repl;

    QStringView Text(qsizetype t) const { return QStringView(S).mid(T[t].Begin, T[t].End - T[t].Begin); }
    bool Is(qsizetype t, QStringView word) const {
        return t >= 0 && t < qsizetype(T.size()) && Text(t).compare(word, Qt::CaseInsensitive) == 0 &&
               (T[t].Kind == TokKind::Word || T[t].Kind == TokKind::Punct);
    }
    bool IsName(qsizetype t) const {
        return t >= 0 && t < qsizetype(T.size()) &&
               (T[t].Kind == TokKind::Word || T[t].Kind == TokKind::Quoted);
    }
    QString Source(qsizetype fromTok, qsizetype toTok) const { // tokens [fromTok, toTok], inclusive
        return S.mid(T[fromTok].Begin, T[toTok].End - T[fromTok].Begin);
    }
    QString Name(qsizetype t) const {
        QString name = Text(t).toString();
        if (T[t].Kind == TokKind::Quoted && name.size() >= 2) {
            const QChar q = name[0];
            name = name.mid(1, name.size() - 2);
            if (q != u'[')
                name.replace(QString(2, q), QString(q));
        }
        return name;
    }
    bool Covered(qsizetype t) const {
        for (const Replacement& r : Repl)
            if (T[t].Begin >= r.Begin && T[t].End <= r.End)
                return true;
        return false;
    }

    void MatchParens() {
        Match.assign(T.size(), -1);
        std::vector<qsizetype> open;
        for (qsizetype t = 0; t < qsizetype(T.size()); ++t) {
            if (T[t].Kind != TokKind::Punct)
                continue;
            if (Text(t) == u"(") {
                open.push_back(t);
            } else if (Text(t) == u")" && !open.empty()) {
                Match[t] = open.back();
                Match[open.back()] = t;
                open.pop_back();
            }
        }
    }

    // --- KEEP by index seeks ---------------------------------------------------------------

    static QString Quote(const QString& name) {
        QString q = name;
        return u'"' + q.replace(u'"', QStringLiteral("\"\"")) + u'"';
    }

    // A plain column, optionally qualified by the table or its alias; returns the token after it.
    qsizetype ColumnRef(qsizetype p, qsizetype last, const QString& table, const QString& alias,
                        QString& column) const {
        if (p > last || !IsName(p))
            return -1;
        if (p + 2 <= last && Is(p + 1, u".") && IsName(p + 2)) {
            const QString qualifier = Name(p);
            if (qualifier.compare(alias.isEmpty() ? table : alias, Qt::CaseInsensitive) != 0)
                return -1;
            column = Name(p + 2);
            return p + 3;
        }
        if (T[p].Kind == TokKind::Word) {
            static const QStringList keywords = {"SELECT", "FROM", "WHERE", "GROUP",  "BY",
                                                 "AS",     "KEEP", "ORDER", "HAVING", "DISTINCT",
                                                 "ALL",    "NULL", "CASE"};
            if (keywords.contains(Text(p).toString().toUpper()))
                return -1;
        }
        column = Name(p);
        return p + 1;
    }

    struct KeepItem {
        QString Output; // column name of the result
        QString Column; // x; empty for the group column
        bool Max = false;
    };

    // Every "( SELECT" and the statement itself are candidate blocks.
    void FindSeekableKeepBlocks() {
        if (!HasIndex || T.empty())
            return;
        TrySeekableBlock(0, qsizetype(T.size()) - 1);
        for (qsizetype t = 0; t + 1 < qsizetype(T.size()); ++t)
            if (Is(t, u"(") && Is(t + 1, u"SELECT") && Match[t] > t + 1 && !Covered(t + 1))
                TrySeekableBlock(t + 1, Match[t] - 1);
    }

    void TrySeekableBlock(qsizetype first, qsizetype last) {
        if (!Is(first, u"SELECT"))
            return;
        qsizetype from = -1;
        std::vector<qsizetype> commas;
        for (qsizetype p = first + 1; p <= last; ++p) {
            if (Is(p, u"(") && Match[p] > p) {
                p = Match[p];
                continue;
            }
            if (Is(p, u",")) {
                commas.push_back(p);
            } else if (Is(p, u"FROM")) {
                from = p;
                break;
            }
        }
        if (from < 0)
            return;

        // FROM [schema .] table [[AS] alias] GROUP BY g
        qsizetype p = from + 1;
        if (p > last || !IsName(p))
            return;
        QString schema, table = Name(p);
        if (p + 2 <= last && Is(p + 1, u".") && IsName(p + 2)) {
            schema = table;
            table = Name(p + 2);
            p += 3;
        } else {
            ++p;
        }
        QString alias;
        if (Is(p, u"AS"))
            ++p;
        if (p <= last && IsName(p) && !Is(p, u"GROUP")) {
            alias = Name(p);
            ++p;
        }
        if (!Is(p, u"GROUP") || !Is(p + 1, u"BY"))
            return;
        QString group;
        if (ColumnRef(p + 2, last, table, alias, group) != last + 1)
            return;

        // Items: the group column, or MIN|MAX(x) KEEP (DENSE_RANK FIRST|LAST ORDER BY y ...) name.
        std::vector<KeepItem> items;
        QString orderColumn;
        int orderFlags = -1;
        qsizetype itemFirst = first + 1;
        commas.push_back(from);
        for (const qsizetype end : commas) {
            const qsizetype itemLast = end - 1;
            if (itemLast < itemFirst)
                return;
            KeepItem item;
            qsizetype q = itemFirst;
            const bool keep = (Is(q, u"MIN") || Is(q, u"MAX")) && Is(q + 1, u"(");
            if (keep) {
                item.Max = Is(q, u"MAX");
                const qsizetype close = Match[q + 1];
                if (ColumnRef(q + 2, last, table, alias, item.Column) != close)
                    return;
                q = close + 1;
                if (!Is(q, u"KEEP") || !Is(q + 1, u"(") || !Is(q + 2, u"DENSE_RANK"))
                    return;
                const qsizetype keepClose = Match[q + 1];
                const bool lastRank = Is(q + 3, u"LAST");
                if (!(lastRank || Is(q + 3, u"FIRST")) || !Is(q + 4, u"ORDER") || !Is(q + 5, u"BY"))
                    return;
                QString column;
                qsizetype r = ColumnRef(q + 6, keepClose - 1, table, alias, column);
                if (r < 0)
                    return;
                bool descending = false, nullsGiven = false, nullsFirst = false;
                if (Is(r, u"ASC") || Is(r, u"DESC")) {
                    descending = Is(r, u"DESC");
                    ++r;
                }
                if (Is(r, u"NULLS") && (Is(r + 1, u"FIRST") || Is(r + 1, u"LAST"))) {
                    nullsGiven = true;
                    nullsFirst = Is(r + 1, u"FIRST");
                    r += 2;
                }
                if (r != keepClose)
                    return; // more than one ordering key
                if (!nullsGiven)
                    nullsFirst = descending;
                if (lastRank) {
                    descending = !descending;
                    nullsFirst = !nullsFirst;
                }
                const int flags =
                    (descending ? ZeltKeepDescending : 0) | (nullsFirst ? ZeltKeepNullsFirst : 0);
                if (orderFlags >= 0 &&
                    (flags != orderFlags || column.compare(orderColumn, Qt::CaseInsensitive) != 0))
                    return;
                orderFlags = flags;
                orderColumn = column;
                q = keepClose + 1;
            } else {
                QString column;
                q = ColumnRef(q, itemLast, table, alias, column);
                if (q < 0 || column.compare(group, Qt::CaseInsensitive) != 0)
                    return;
                item.Output = column;
            }
            if (Is(q, u"AS"))
                ++q;
            if (q <= itemLast && IsName(q)) {
                item.Output = Name(q);
                ++q;
            }
            if (q != itemLast + 1 || item.Output.isEmpty())
                return; // a KEEP needs its name
            items.push_back(item);
            itemFirst = end + 1;
        }
        if (orderFlags < 0 || !HasIndex(schema, table, {group, orderColumn}))
            return;

        // Per group: its best ordering value by seeks, then each value among the rows holding it.
        const QString tbl = schema.isEmpty() ? Quote(table) : Quote(schema) + u'.' + Quote(table);
        const QString g = Quote(group), y = Quote(orderColumn);
        const QString bestNonNull =
            QStringLiteral("(SELECT %1(\"zelt_m\".%2) FROM %3 \"zelt_m\" WHERE \"zelt_m\".%4 IS "
                           "\"zelt_s\".\"g\")")
                .arg((orderFlags & ZeltKeepDescending) ? "MAX" : "MIN", y, tbl, g);
        const QString best =
            (orderFlags & ZeltKeepNullsFirst)
                ? QStringLiteral("CASE WHEN EXISTS (SELECT 1 FROM %1 \"zelt_n\" WHERE \"zelt_n\".%2 IS "
                                 "\"zelt_s\".\"g\" AND \"zelt_n\".%3 IS NULL) THEN NULL ELSE %4 END")
                      .arg(tbl, g, y, bestNonNull)
                : bestNonNull;
        QStringList outputs;
        for (const KeepItem& item : items) {
            if (item.Column.isEmpty())
                outputs << QStringLiteral("\"zelt_d\".\"g\" AS ") + Quote(item.Output);
            else
                outputs << QStringLiteral(
                               "(SELECT %1(\"zelt_k\".%2) FROM %3 \"zelt_k\" WHERE \"zelt_k\".%4 IS "
                               "\"zelt_d\".\"g\" AND \"zelt_k\".%5 IS \"zelt_d\".\"y\") AS %6")
                               .arg(item.Max ? "MAX" : "MIN", Quote(item.Column), tbl, g, y,
                                    Quote(item.Output));
        }
        // MATERIALIZED keeps the best values from being computed again for every use.
        const QString block =
            QStringLiteral("WITH \"zelt_d\"(\"g\", \"y\") AS MATERIALIZED (SELECT \"zelt_s\".\"g\", %1 "
                           "FROM (SELECT DISTINCT %2 AS \"g\" FROM %3) \"zelt_s\") SELECT %4 FROM \"zelt_d\"")
                .arg(best, g, tbl, outputs.join(QStringLiteral(", ")));
        Repl.push_back({T[first].Begin, T[last].End, block});
    }

    // MIN|MAX ( x ) KEEP ( DENSE_RANK FIRST|LAST ORDER BY key, ... )
    void FindKeep() {
        for (qsizetype k = 0; k < qsizetype(T.size()); ++k) {
            if (!Is(k, u"KEEP") || T[k].Kind != TokKind::Word || !Is(k + 1, u"(") || Covered(k))
                continue;
            const qsizetype argClose = k - 1;
            if (!Is(argClose, u")") || Match[argClose] < 1)
                continue; // a column or alias named KEEP
            const qsizetype argOpen = Match[argClose];
            const qsizetype agg = argOpen - 1;
            if (T[agg].Kind != TokKind::Word)
                continue;
            const qsizetype keepOpen = k + 1;
            const qsizetype keepClose = Match[keepOpen];
            if (keepClose < 0)
                continue; // unbalanced: SQLite reports it
            const QString aggName = Text(agg).toString().toUpper();
            if (aggName != u"MIN" && aggName != u"MAX")
                Unsupported(aggName + QStringLiteral("(...) KEEP (...): only MIN and MAX take KEEP"));
            if (!Is(keepOpen + 1, u"DENSE_RANK") ||
                !(Is(keepOpen + 2, u"FIRST") || Is(keepOpen + 2, u"LAST")) || !Is(keepOpen + 3, u"ORDER") ||
                !Is(keepOpen + 4, u"BY"))
                Unsupported(QStringLiteral("KEEP (") + Source(keepOpen + 1, keepClose - 1) +
                            QStringLiteral("): KEEP takes DENSE_RANK FIRST|LAST ORDER BY ..."));
            if (Is(keepClose + 1, u"OVER"))
                Unsupported(QStringLiteral("KEEP (...) OVER (...): the analytic form of KEEP"));
            const bool last = Is(keepOpen + 2, u"LAST");
            if (argOpen + 1 > argClose - 1)
                Unsupported(aggName + QStringLiteral("() KEEP without an argument"));

            qsizetype argFirst = argOpen + 1;
            if (Is(argFirst, u"ALL") || Is(argFirst, u"DISTINCT"))
                ++argFirst; // neither changes a minimum or maximum
            QString call = QStringLiteral("zelt_keep(") + (aggName == u"MAX" ? u'1' : u'0') +
                           QStringLiteral(", (") +
                           ZeltSQLiteRewrite(Source(argFirst, argClose - 1), HasIndex) + u')';

            qsizetype keyFirst = keepOpen + 5;
            for (qsizetype t = keyFirst; t <= keepClose; ++t) {
                if (Is(t, u"(") && Match[t] > t) {
                    t = Match[t];
                    continue;
                }
                if (t < keepClose && !Is(t, u","))
                    continue;
                qsizetype keyLast = t - 1;
                if (keyLast < keyFirst)
                    Unsupported(QStringLiteral("an empty ORDER BY key in KEEP (...)"));
                bool descending = false;
                bool nullsGiven = false;
                bool nullsFirst = false;
                if (keyLast - 1 >= keyFirst && Is(keyLast - 1, u"NULLS") &&
                    (Is(keyLast, u"FIRST") || Is(keyLast, u"LAST"))) {
                    nullsGiven = true;
                    nullsFirst = Is(keyLast, u"FIRST");
                    keyLast -= 2;
                }
                if (keyLast >= keyFirst && (Is(keyLast, u"ASC") || Is(keyLast, u"DESC"))) {
                    descending = Is(keyLast, u"DESC");
                    --keyLast;
                }
                if (keyLast < keyFirst)
                    Unsupported(QStringLiteral("an empty ORDER BY key in KEEP (...)"));
                if (!nullsGiven) // Oracle sorts NULL above every value
                    nullsFirst = descending;
                if (last) { // the last rows of an order are the first of the reverse order
                    descending = !descending;
                    nullsFirst = !nullsFirst;
                }
                const int flags =
                    (descending ? ZeltKeepDescending : 0) | (nullsFirst ? ZeltKeepNullsFirst : 0);
                call += QStringLiteral(", (") + ZeltSQLiteRewrite(Source(keyFirst, keyLast), HasIndex) +
                        QStringLiteral("), ") + QString::number(flags);
                keyFirst = t + 1;
            }
            call += u')';
            // A KEEP inside this one's argument was rewritten again with it.
            const qsizetype begin = T[agg].Begin, end = T[keepClose].End;
            std::erase_if(Repl, [&](const Replacement& r) { return r.Begin >= begin && r.End <= end; });
            Repl.push_back({begin, end, call});
            k = keepClose;
        }
    }

    // [schema .] sequence . NEXTVAL
    void FindSequences() {
        for (qsizetype t = 2; t < qsizetype(T.size()); ++t) {
            const bool next = Is(t, u"NEXTVAL");
            const bool curr = Is(t, u"CURRVAL");
            if ((!next && !curr) || T[t].Kind != TokKind::Word || !Is(t - 1, u".") || !IsName(t - 2) ||
                Covered(t))
                continue;
            const bool qualified = t >= 4 && Is(t - 3, u".") && IsName(t - 4);
            const qsizetype first = qualified ? t - 4 : t - 2;
            if (curr)
                Unsupported(Source(first, t) + QStringLiteral(": CURRVAL (only NEXTVAL of a sequence)"));
            auto literal = [](QString v) { return u'\'' + v.replace(u'\'', QStringLiteral("''")) + u'\''; };
            const QString call = QStringLiteral("zelt_nextval(") +
                                 (qualified ? literal(Name(t - 4)) : QStringLiteral("NULL")) +
                                 QStringLiteral(", ") + literal(Name(t - 2)) + u')';
            Repl.push_back({T[first].Begin, T[t].End, call});
        }
    }

    void FindOuterJoinMarks() {
        for (qsizetype t = 0; t + 2 < qsizetype(T.size()); ++t)
            if (Is(t, u"(") && Is(t + 1, u"+") && Is(t + 2, u")") && !Covered(t))
                Unsupported(QStringLiteral("the outer-join operator (+); write LEFT JOIN"));
    }

    QString Emit() const {
        std::vector<Replacement> edits = Repl;
        for (qsizetype cr : CrFixes) {
            bool inside = false;
            for (const Replacement& r : Repl)
                inside = inside || (cr >= r.Begin && cr < r.End);
            if (!inside)
                edits.push_back({cr, cr + 1, QStringLiteral("\n")});
        }
        std::sort(edits.begin(), edits.end(),
                  [](const Replacement& a, const Replacement& b) { return a.Begin < b.Begin; });
        QString out;
        out.reserve(S.size() + 64);
        qsizetype at = 0;
        for (const Replacement& r : edits) {
            out += QStringView(S).mid(at, r.Begin - at);
            out += r.Text;
            at = r.End;
        }
        out += QStringView(S).mid(at);
        return out;
    }
};

} // namespace

QString ZeltSQLiteRewrite(const QString& sql, const TZeltIndexProbe& hasIndex) {
    return Rewriter(sql, hasIndex).Run();
}

TZeltStatementKind ZeltStatementKind(const QString& sql) {
    const std::vector<Token> tokens = Tokenize(sql, nullptr);
    for (const Token& token : tokens) {
        const QString word = sql.mid(token.Begin, token.End - token.Begin).toUpper();
        if (token.Kind == TokKind::Punct && word == u"(")
            continue; // (SELECT ...) UNION ...
        if (token.Kind != TokKind::Word)
            return TZeltStatementKind::Other;
        if (word == u"SELECT" || word == u"WITH" || word == u"VALUES")
            return TZeltStatementKind::Query;
        if (word == u"INSERT" || word == u"UPDATE" || word == u"DELETE" || word == u"REPLACE" ||
            word == u"MERGE" || word == u"SAVEPOINT")
            return TZeltStatementKind::Change;
        if (word == u"CREATE" || word == u"DROP" || word == u"ALTER")
            return TZeltStatementKind::Definition;
        if (word == u"COMMIT")
            return TZeltStatementKind::Commit;
        if (word == u"ROLLBACK") {
            // ROLLBACK TO [SAVEPOINT] name undoes part of the transaction and keeps it open.
            const bool toSavepoint =
                tokens.size() > 1 &&
                sql.mid(tokens[1].Begin, tokens[1].End - tokens[1].Begin).toUpper() == u"TO";
            return toSavepoint ? TZeltStatementKind::Other : TZeltStatementKind::Rollback;
        }
        return TZeltStatementKind::Other;
    }
    return TZeltStatementKind::Other;
}

namespace {

[[noreturn]] void OraError(const char* text) {
    throw EZeltDBError(QString::fromLatin1(text));
}

} // namespace

QString ZeltOracleToDate(const QString& text, const QString& format, const QDate& today) {
    int year = today.year(), month = today.month(), day = 1, hour = 0, minute = 0, second = 0;
    bool twelveHour = false;
    const QString f = format.toUpper();
    qsizetype fi = 0;
    qsizetype ti = 0;
    const qsizetype fn = f.size();
    const qsizetype tn = text.size();

    auto readNumber = [&](int maxDigits) -> int {
        while (ti < tn && text[ti] == u' ')
            ++ti;
        int value = 0;
        int digits = 0;
        while (ti < tn && digits < maxDigits && text[ti].isDigit()) {
            value = value * 10 + text[ti].digitValue();
            ++ti;
            ++digits;
        }
        if (digits == 0)
            OraError("ORA-01858: a non-numeric character was found where a numeric was expected");
        return value;
    };

    while (fi < fn) {
        const QChar c = f[fi];
        if (c == u'"') { // literal text
            const qsizetype close = f.indexOf(u'"', fi + 1);
            const qsizetype end = close < 0 ? fn : close;
            const QString literal = format.mid(fi + 1, end - fi - 1);
            if (text.mid(ti, literal.size()).compare(literal, Qt::CaseInsensitive) != 0)
                OraError("ORA-01861: literal does not match format string");
            ti += literal.size();
            fi = end + 1;
            continue;
        }
        if (!c.isLetterOrNumber()) {
            // Oracle lets any punctuation or blanks of the input stand for the format's.
            while (fi < fn && !f[fi].isLetterOrNumber() && f[fi] != u'"')
                ++fi;
            while (ti < tn && !text[ti].isLetterOrNumber())
                ++ti;
            continue;
        }
        if (ti >= tn)
            break; // the rest of the format takes its defaults
        const QStringView rest = QStringView(f).mid(fi);
        if (rest.startsWith(u"YYYY")) {
            year = readNumber(4);
            fi += 4;
        } else if (rest.startsWith(u"MM")) {
            month = readNumber(2);
            if (month < 1 || month > 12)
                OraError("ORA-01843: not a valid month");
            fi += 2;
        } else if (rest.startsWith(u"DD")) {
            day = readNumber(2);
            if (day < 1 || day > 31)
                OraError("ORA-01847: day of month must be between 1 and last day of month");
            fi += 2;
        } else if (rest.startsWith(u"HH24")) {
            hour = readNumber(2);
            if (hour > 23)
                OraError("ORA-01850: hour must be between 0 and 23");
            fi += 4;
        } else if (rest.startsWith(u"HH12") || rest.startsWith(u"HH")) {
            hour = readNumber(2);
            if (hour < 1 || hour > 12)
                OraError("ORA-01849: hour must be between 1 and 12");
            twelveHour = true;
            fi += rest.startsWith(u"HH12") ? 4 : 2;
        } else if (rest.startsWith(u"MI")) {
            minute = readNumber(2);
            if (minute > 59)
                OraError("ORA-01851: minutes must be between 0 and 59");
            fi += 2;
        } else if (rest.startsWith(u"SS")) {
            second = readNumber(2);
            if (second > 59)
                OraError("ORA-01852: seconds must be between 0 and 59");
            fi += 2;
        } else {
            qsizetype end = fi;
            while (end < fn && f[end].isLetterOrNumber())
                ++end;
            Unsupported(QStringLiteral("the TO_DATE format element \"%1\" (only DD MM YYYY HH24 HH MI SS)")
                            .arg(format.mid(fi, end - fi)));
        }
    }
    while (ti < tn && text[ti] == u' ')
        ++ti;
    if (ti < tn)
        OraError("ORA-01830: date format picture ends before converting entire input string");
    if (twelveHour && hour == 12)
        hour = 0; // no meridian given: 12 AM
    if (year < 1 || !QDate::isValid(year, month, day))
        OraError("ORA-01839: date not valid for month specified");
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(year, 4, 10, QChar(u'0'))
        .arg(month, 2, 10, QChar(u'0'))
        .arg(day, 2, 10, QChar(u'0'))
        .arg(hour, 2, 10, QChar(u'0'))
        .arg(minute, 2, 10, QChar(u'0'))
        .arg(second, 2, 10, QChar(u'0'));
}
