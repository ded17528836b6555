#pragma once

#include <QObject>

class QSocketNotifier;

namespace sim {

// Turns SIGTERM and SIGINT into a Qt signal through a self-pipe: the handler only writes one
// byte, the event loop does the rest.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* FNotifier = nullptr;
};

} // namespace sim
