#include "Clock.h"

#include <QTimer>

Clock::~Clock() = default;

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

void SystemClock::wakeAt(const QDateTime& when, QObject* ctx, std::function<void()> fn) {
    const qint64 ms = std::max<qint64>(0, QDateTime::currentDateTime().msecsTo(when));
    // Precise: a coarse timer may fire up to 5 % early, and the waits count whole seconds.
    QTimer::singleShot(std::chrono::milliseconds(ms), Qt::PreciseTimer, ctx, std::move(fn));
}

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}
