#include "ZeltDBOwner.h"

#include "Clock.h"
#include "ZeltSQLConnection.h"

#include <QObject>
#include <QPointer>

#include <cmath>

namespace {

std::function<QObject*()>& MainWindowSource() {
    static std::function<QObject*()> source;
    return source;
}

// Only the component is cached, never the owner text. A QPointer, so a destroyed window's
// connection is looked up afresh instead of being read after its death.
QPointer<QObject>& OwnerConnectionCache() {
    static QPointer<QObject> cache;
    return cache;
}

const Clock* TraceClock = nullptr;

double TimeOfDayNow() {
    const Clock& clock = TraceClock ? *TraceClock : systemClock();
    return clock.now().time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

void SetDBOwnerMainWindow(std::function<QObject*()> mainWindow) {
    MainWindowSource() = std::move(mainWindow);
    OwnerConnectionCache() = nullptr;
}

QString GetDBOwner() {
    QObject* mainWindow = MainWindowSource() ? MainWindowSource()() : nullptr;
    if (!mainWindow)
        return DefaultSQLConnection ? DefaultSQLConnection->Admin() : QString();

    QPointer<QObject>& cache = OwnerConnectionCache();
    if (!cache) {
        const auto children = mainWindow->children();
        for (QObject* child : children) {
            if (child->objectName().compare(u"zeltconn", Qt::CaseInsensitive) == 0) {
                cache = child;
                break;
            }
        }
    }
    if (auto* connection = qobject_cast<TZeltSQLConnection*>(cache.data()))
        return connection->Admin();
    return {};
}

QString GetDBOwnerPrefix() {
    const QString owner = GetDBOwner();
    return owner.isEmpty() ? owner : owner + u'.';
}

QString ZeltReplaceMacro(const QString& text, const QString& macro, const QString& value) {
    QString result = text;
    return result.replace(macro, value, Qt::CaseInsensitive);
}

QString QualifyWithDBOwner(const QString& prefix, const QString& text) {
    if (!text.contains(u'.'))
        return prefix + text;
    const QString owned = ZeltReplaceMacro(text, QStringLiteral("<owner>"), prefix);
    return ZeltReplaceMacro(owned, QStringLiteral("<admin>"), QLatin1String(ZeltAdminSchema));
}

QString ExpandSQLMacros(const QString& text, bool filterEnabled, const QString& filter) {
    QString result = ZeltReplaceMacro(text, QStringLiteral("<owner>"), GetDBOwner());
    result = ZeltReplaceMacro(result, QStringLiteral("<admin>"), QLatin1String(ZeltAdminSchema));
    const bool withFilter = filterEnabled && !filter.isEmpty();
    result = ZeltReplaceMacro(result, QStringLiteral("<where_filter>"),
                              withFilter ? QStringLiteral(" WHERE ") + filter : QString());
    result = ZeltReplaceMacro(result, QStringLiteral("<and_filter>"),
                              withFilter ? QStringLiteral(" AND ") + filter : QString());
    return ZeltReplaceMacro(result, QStringLiteral("<pk_code>"), filterEnabled ? filter : QString());
}

IZeltDebugWindow::~IZeltDebugWindow() = default;

bool SQLTraceEnabled = false;
bool DebugWindowEnabled = false;
IZeltDebugWindow* DebugWindow = nullptr;
double SQLStartTime = 0;

void SetSQLTraceClock(const Clock* clock) {
    TraceClock = clock;
}

void SQLTraceStart(const QString& text) {
    if (!DebugWindowEnabled || !DebugWindow || !DebugWindow->TraceSQL() || DebugWindow->Paused())
        return;
    SQLStartTime = TimeOfDayNow();
    DebugWindow->AddLine(text);
}

void SQLTraceStop(const QString& text) {
    if (!DebugWindowEnabled || !DebugWindow || !SQLTraceEnabled || DebugWindow->Paused())
        return;
    const double now = TimeOfDayNow();
    if (SQLStartTime <= 0)
        return;
    double elapsed = now - SQLStartTime;
    if (elapsed < 0) // the statement ran over midnight
        elapsed += 1.0;
    const qint64 ms = std::llround(elapsed * 86400000.0);
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(ms / 60000 % 60, 2, 10, QChar(u'0'))
                             .arg(ms / 1000 % 60, 2, 10, QChar(u'0'))
                             .arg(ms % 1000, 3, 10, QChar(u'0'));
    DebugWindow->AddLine(QStringLiteral("TIME=") + time + u' ' + text);
    DebugWindow->AddLine(QString(30, QChar(0x00AF)));
}
