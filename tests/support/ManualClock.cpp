#include "ManualClock.h"

#include <QMetaObject>

ManualClock::ManualClock(QDateTime start, QObject* parent) : Clock(parent), FNow(std::move(start)) {}

void ManualClock::wakeAt(const QDateTime& when, QObject* ctx, std::function<void()> fn) {
    if (OnWakeRequested)
        OnWakeRequested(when);
    FWakes.append(Wake{when, ctx, std::move(fn)});
    if (FAutoAdvance) {
        QMetaObject::invokeMethod(
            this,
            [this, when] {
                if (FNow < when)
                    setNow(when);
                else
                    fireDue();
            },
            Qt::QueuedConnection);
    } else if (when <= FNow) {
        QMetaObject::invokeMethod(this, &ManualClock::fireDue, Qt::QueuedConnection);
    }
}

void ManualClock::setNow(const QDateTime& t) {
    FNow = t;
    fireDue();
}

void ManualClock::fireDue() {
    QList<Wake> due;
    for (qsizetype i = 0; i < FWakes.size();) {
        if (FWakes[i].when <= FNow) {
            due.append(std::move(FWakes[i]));
            FWakes.removeAt(i);
        } else {
            ++i;
        }
    }
    for (Wake& w : due)
        if (w.ctx)
            QMetaObject::invokeMethod(w.ctx.data(), std::move(w.fn), Qt::QueuedConnection);
}
