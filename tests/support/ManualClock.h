#pragma once

#include "Clock.h"

#include <QList>
#include <QPointer>

// A clock that moves only when told. With autoAdvance on, a wake request moves the clock straight
// to the requested moment (from the event loop), so a 32-second wait costs no real time.
class ManualClock final : public Clock {
    Q_OBJECT
public:
    explicit ManualClock(QDateTime start, QObject* parent = nullptr);

    QDateTime now() const override { return FNow; }
    void wakeAt(const QDateTime& when, QObject* ctx, std::function<void()> fn) override;

    void setNow(const QDateTime& t);
    void advance(qint64 ms) { setNow(FNow.addMSecs(ms)); }
    void setAutoAdvance(bool on) { FAutoAdvance = on; }
    int pendingWakes() const { return int(FWakes.size()); }
    // Called with the moment of every wake request, before it is queued: lets a test act "during" a wait.
    std::function<void(const QDateTime&)> OnWakeRequested;

private:
    struct Wake {
        QDateTime when;
        QPointer<QObject> ctx;
        std::function<void()> fn;
    };
    void fireDue();
    QDateTime FNow;
    bool FAutoAdvance = false;
    QList<Wake> FWakes;
};
