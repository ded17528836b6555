#include "SignalCloser.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int gSignalFd[2] = {-1, -1};

extern "C" void onTerminate(int) {
    const char b = 1;
    [[maybe_unused]] const auto n = ::write(gSignalFd[0], &b, 1);
}
} // namespace

SignalCloser::SignalCloser(QWidget* window, QObject* parent) : QObject(parent), FWindow(window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalFd) != 0)
        return;
    ::fcntl(gSignalFd[0], F_SETFL, O_NONBLOCK);
    ::fcntl(gSignalFd[1], F_SETFL, O_NONBLOCK);
    FNotifier = new QSocketNotifier(gSignalFd[1], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &SignalCloser::onSignal);

    struct sigaction sa {};
    sa.sa_handler = onTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

SignalCloser::~SignalCloser() {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    for (int& fd : gSignalFd) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalCloser::onSignal() {
    char buf[16];
    while (::read(gSignalFd[1], buf, sizeof buf) > 0) {
    }
    if (FWindow)
        FWindow->close();
}
