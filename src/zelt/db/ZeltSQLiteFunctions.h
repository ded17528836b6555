#pragma once

struct sqlite3;

// Installs the engine's functions on a SQLite connection: TO_DATE, the aggregate zelt_keep behind
// MIN|MAX ... KEEP (DENSE_RANK ...), and zelt_nextval behind SEQ.NEXTVAL. Returns a SQLite result code.
int ZeltRegisterSQLiteFunctions(sqlite3* db);
