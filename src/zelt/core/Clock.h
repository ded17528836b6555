#pragma once

#include <QDateTime>
#include <QObject>

#include <functional>

// The one source of local time. Everything that reads "now" or waits for a moment takes a Clock,
// so that waits and day boundaries can be driven by hand.
class Clock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Clock() override;

    virtual QDateTime now() const = 0;

    // Runs fn on ctx's thread once now() has reached `when` (never earlier). Dropped if ctx dies.
    virtual void wakeAt(const QDateTime& when, QObject* ctx, std::function<void()> fn) = 0;
};

// The operating system's local time.
class SystemClock final : public Clock {
    Q_OBJECT
public:
    using Clock::Clock;
    QDateTime now() const override;
    void wakeAt(const QDateTime& when, QObject* ctx, std::function<void()> fn) override;
};

// Process-wide system clock, for code that is given no other.
Clock& systemClock();
