#pragma once

#include <QString>

#include <functional>

class QObject;
class Clock;

// --- Schema owner -------------------------------------------------------------------------------

// QtCore knows no "main window" of an application. The application installs a callable that returns
// it (or null while there is none). With none installed, or when it returns null, there is no main
// window and the owner comes from DefaultSQLConnection. Installing a callable forgets the connection
// found on the previous main window.
void SetDBOwnerMainWindow(std::function<QObject*()> mainWindow);

// The company schema: Admin of the main window's own child named "zeltconn" (any letter case), found
// once and then kept; without a main window, Admin of DefaultSQLConnection; empty when neither exists.
QString GetDBOwner();
// GetDBOwner() followed by "." when it is not empty.
QString GetDBOwnerPrefix();

// The suite's administration schema that "<admin>" stands for.
inline constexpr auto ZeltAdminSchema = "ZELTADMIN";

// A bare name (no ".") gets the prefix put before it; otherwise "<owner>" becomes the prefix and
// "<admin>" the administration schema.
QString QualifyWithDBOwner(const QString& prefix, const QString& text);

// Expands "<owner>" (GetDBOwner), "<admin>", "<where_filter>", "<and_filter>" and "<pk_code>".
QString ExpandSQLMacros(const QString& text, bool filterEnabled, const QString& filter);

// Replaces every occurrence of macro (matched without regard to letter case) with value.
QString ZeltReplaceMacro(const QString& text, const QString& macro, const QString& value);

// --- SQL trace ----------------------------------------------------------------------------------

// What the trace needs of a debug window. This program never creates one.
class IZeltDebugWindow {
public:
    virtual ~IZeltDebugWindow();
    virtual void AddLine(const QString& line) = 0;
    virtual bool TraceSQL() const = 0;
    virtual bool Paused() const = 0;
};

// Process-wide switches, all off at start; nothing in the program turns them on.
extern bool SQLTraceEnabled;
extern bool DebugWindowEnabled;
extern IZeltDebugWindow* DebugWindow;
// Time of day (fraction of a day) at which the traced statement started; 0 means none.
extern double SQLStartTime;

// The clock the trace reads; the system clock unless another is installed (null restores it).
void SetSQLTraceClock(const Clock* clock);

void SQLTraceStart(const QString& text);
void SQLTraceStop(const QString& text);
