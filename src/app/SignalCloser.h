#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a close request for one window, delivered by the event loop so the
// window closes the way a user's close does (settings and log written).
class SignalCloser final : public QObject {
    Q_OBJECT
public:
    explicit SignalCloser(QWidget* window, QObject* parent = nullptr);
    ~SignalCloser() override;

private:
    void onSignal();
    QPointer<QWidget> FWindow;
    QSocketNotifier* FNotifier = nullptr;
};
