#include "MainTrackGPS.h"
#include "OdolinkApplication.h"
#include "SignalCloser.h"
#include "TrackGPS.h"
#include "ZeltCommonInfo.h"
#include "ZeltDBOwner.h"
#include "ZeltErrors.h"
#include "ZeltFormats.h"
#include "ZeltMessageDlg.h"
#include "ZeltUi.h"

#include <QTimer>

#include <cstdlib>

int main(int argc, char** argv) {
    // Started by a scheduler there may be no display: run on the offscreen platform, and let no
    // dialog wait for a person who is not there.
    const bool unattended =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (unattended && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    OdolinkApplication app(argc, argv);
    ZeltUiSession ui;
    TZeltGlobalException handler;
    FixProcessFormats();
    TTrackGPS::SetErrorDialog([](const QString& text, const QString& caption) {
        ZeltMessageDlg(text, caption, mtError, TMsgDlgButtons{mbOK}, mbOK, 0);
    });

    {
        TDEzeriRAZ window;
        SetDBOwnerMainWindow([&window] { return &window; });
        ZeltCommonInfo::SetMainForm(&window);
        OdolinkApplication::SetErrorHandler([&](QObject* sender, const std::exception& e) {
            handler.OnException(sender, e);
            // Nobody will close a window left open after an unexpected error: close it, so the
            // log reaches the disk and the run ends.
            if (ZeltAutoAnswer() && !window.JobRunning() && window.isVisible())
                QTimer::singleShot(0, &window, [&window] { window.close(); });
        });
        if (unattended) {
            ZeltSetAutoAnswer(true);
            ZeltSetAutoAnswerObserver([&window](const TZeltAutoAnswer& a) {
                window.Log(a.Title + QStringLiteral(" : ") + QString(a.Message).replace(u'\n', u'\r'));
            });
        }
        // Quitting while the job is inside a service call would end that call's wait for its
        // answer: the program ends only once the window is closed and the job has let go.
        app.setQuitOnLastWindowClosed(false);
        auto quitWhenDone = [&app, &window] {
            QTimer::singleShot(0, &app, [&app, &window] {
                if (!window.isVisible() && !window.JobRunning())
                    app.quit();
            });
        };
        QObject::connect(&window, &TDEzeriRAZ::jobFinished, &app, quitWhenDone);
        QObject::connect(&window, &TZeltForm::Closing, &app, quitWhenDone);
        SignalCloser closer(&window);
        window.show();
        app.exec();
        OdolinkApplication::SetErrorHandler({});
        ZeltSetAutoAnswerObserver({});
        ZeltCommonInfo::SetMainForm(nullptr);
        SetDBOwnerMainWindow({});
    }
    // Every orderly end is a success; the log says what happened.
    return EXIT_SUCCESS;
}
