// CPU cost of the 32-second pacing wait: CPU time over wall time of one real wait, next to a
// polling loop that does the same job by spinning.
#include "MainTrackGPS.h"
#include "OdolinkApplication.h"
#include "ZeltFormats.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Cost {
    double wall;
    double cpu;
};

template <typename F> Cost measure(F&& f) {
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    f();
    return Cost{double(wall.nsecsElapsed()) / 1e9, cpuSeconds() - cpu0};
}

} // namespace

int main(int argc, char** argv) {
    OdolinkApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    FixProcessFormats();
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    QTemporaryDir dir;
    TDEzeriRAZ window(TDEzeriRAZContext{nullptr, dir.path(), {}});
    window.Timer1->stop();
    window.show();

    const Cost wait = measure([&] { window.FaNani(seconds); });
    const Cost poll = measure([&] {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 2000)
            QCoreApplication::processEvents();
    });

    std::printf("FaNani(%d): wall %.3f s, cpu %.4f s, %.3f %% of one core (target < 1 %%)\n", seconds, wait.wall,
                wait.cpu, 100.0 * wait.cpu / wait.wall);
    std::printf("polling loop for comparison: wall %.3f s, cpu %.3f s, %.1f %% of one core\n", poll.wall, poll.cpu,
                100.0 * poll.cpu / poll.wall);
    window.StopFortat = true;
    return 0;
}
