// The real pass against trackgps-sim with its real 32-second pacing: wall time over the floor of
// 32 x (n - 1) seconds, and the CPU the program spent meanwhile.
#include "FleetDB.h"
#include "MainTrackGPS.h"
#include "OdolinkApplication.h"
#include "SimProcess.h"
#include "ZeltDBOwner.h"
#include "ZeltFormats.h"
#include "ZeltUi.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
} // namespace

int main(int argc, char** argv) {
    OdolinkApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    ZeltUiSession ui;
    FixProcessFormats();
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    SimProcess sim;
    if (!sim.Start(R"({"accounts": {"u": "p"}, "devices": {"111": {"distanceKm": 12.5}}})")) {
        std::fprintf(stderr, "trackgps-sim: %s\n", qPrintable(sim.Error()));
        return 1;
    }
    QTemporaryDir dir;
    TFleetDescription fleet;
    fleet.Company = QStringLiteral("ACME");
    const QString yesterday =
        QDateTime::currentDateTime().addDays(-1).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (int i = 1; i <= n; ++i) {
        TFleetVehicle v;
        v.Key = i;
        v.NrInreg = QStringLiteral("B-%1-BEN").arg(i);
        v.Imei = QStringLiteral("111");
        v.Readings = {{yesterday, 1000}};
        fleet.Vehicles << v;
    }
    BuildFleetDatabase(dir.filePath(QStringLiteral("fleet")), fleet);
    QFile ini(dir.filePath(QStringLiteral("Odolink.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write(QStringLiteral("[Configurari]\nDriverID=SQLite\nOraDbName=%1\nNumeFirma=ACME\nTrackGPSUser=u\n"
                             "TrackGPSParola=p\nTrackGPSUrl=%2\n")
                  .arg(dir.filePath(QStringLiteral("fleet")), sim.Url())
                  .toUtf8());
    ini.close();

    TDEzeriRAZ window(TDEzeriRAZContext{nullptr, dir.path(), {}});
    SetDBOwnerMainWindow([&window] { return &window; });
    window.Timer1->stop();
    window.show();

    // The waits count whole clock seconds (a wait of 32 lasts 31 to 32 s): started just after a
    // second turns, they end exactly 32 s apart, so the pacing takes 32 s per wait.
    const QTime t = QTime::currentTime();
    QThread::msleep(1000 - t.msec());
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    window.StartUpdate();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    SetDBOwnerMainWindow({});

    const double floor = 32.0 * (n - 1);
    std::printf("pass of %d vehicles started on a whole second: wall %.3f s, pacing %.0f s, beyond it %.3f s "
                "(%.2f %% of the pacing; target < 1 %%)\n",
                n, seconds, floor, seconds - floor, floor > 0 ? 100.0 * (seconds - floor) / floor : 0.0);
    std::printf("cpu %.3f s, %.2f %% of one core (target < 2 %%)\n", cpu, 100.0 * cpu / seconds);
    return 0;
}
