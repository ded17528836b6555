#pragma once

#include "ZeltError.h"

#include <QString>

class QSqlError;

// A database error. Its message is the server's own text (Oracle: "ORA-00942: table or view does not
// exist"; the embedded engine: SQLite's text), never prefixed by us: readers of the log look for "ORA-".
class EZeltDBError : public EZeltError {
public:
    explicit EZeltDBError(QString message);
    ~EZeltDBError() override;
};

// Removes the bracketed tags that driver layers put before a server's text, at the start of every line:
// "[Oracle][ODBC][Ora]ORA-12154: ..." gives "ORA-12154: ...". Surrounding blank lines are dropped.
QString ZeltStripDriverPrefixes(const QString& text);

// The server's text of a Qt SQL error (the driver's own text when the server said nothing), stripped.
QString ZeltDBErrorText(const QSqlError& error);
