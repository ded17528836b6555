#include "MainTrackGPS.h"
#include "OdolinkApplication.h"
#include "SignalCloser.h"
#include "ZeltDBOwner.h"
#include "ZeltFormats.h"

#include <cstdlib>

int main(int argc, char** argv) {
    // Started by a scheduler there may be no display: run on the offscreen platform instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    OdolinkApplication app(argc, argv);
    FixProcessFormats();

    {
        TDEzeriRAZ window;
        SetDBOwnerMainWindow([&window] { return &window; });
        SignalCloser closer(&window);
        window.show();
        app.exec();
        SetDBOwnerMainWindow({});
    }
    // Every orderly end is a success; the log says what happened.
    return EXIT_SUCCESS;
}
