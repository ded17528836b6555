// Shows the stop question or an error message over a window like the main one, for screenshots:
//   zelt-message-shot question|error|window [seconds]
// The dialog answers itself with its default button after the given time (default 4 s); "window"
// shows the window alone for that time.
#include "ZeltButtons.h"
#include "ZeltCommonInfo.h"
#include "ZeltDBEditForm.h"
#include "ZeltFonts.h"
#include "ZeltMessage.h"
#include "ZeltMessageDlg.h"
#include "ZeltTexte.h"
#include "ZeltTitle.h"
#include "ZeltUi.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("question");
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 4;
    ZeltUiSession ui;
    // The window's settings file goes to a scratch folder, not to where the program was started.
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    TZeltDBEditForm main;
    main.setObjectName(QStringLiteral("DEzeriRAZ"));
    main.setWindowTitle(QStringLiteral("GPS Tracking"));
    main.SetColor(clOther);
    main.setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), 13));
    main.SetPosition(poScreenCenter);
    main.setMinimumHeight(150);
    auto* bar = new TZeltTitleBar(&main);
    bar->setObjectName(QStringLiteral("ZeltTitleBar1"));
    bar->resize(bar->width(), 31);
    bar->SetCaption(main.windowTitle());
    main.Loaded();
    auto* memo = new QPlainTextEdit(&main);
    memo->setReadOnly(true);
    memo->setPlainText(QStringLiteral("[10:00:01] Start Update Kilometri bord\n[10:00:02] B-101-ABC ..."));
    auto* layout = new QVBoxLayout(&main);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo);
    main.SetClientSize(542, 191);
    auto* stop = new TZeltTouchButton(&main);
    stop->setObjectName(QStringLiteral("ZeltTouchButton1"));
    stop->SetCaption(QStringLiteral(" X"));
    stop->setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), 13, true));
    stop->SetFontColor(clWhite);
    stop->setGeometry(main.ClientRect().right() - 27, main.ClientRect().top(), 28, 30);
    main.show();
    ZeltCommonInfo::SetMainForm(&main);

    QTimer::singleShot(seconds * 1000, [] {
        if (auto* dlg = qobject_cast<TMessageForm*>(QApplication::activeModalWidget()))
            if (TZeltNiceButton* b = dlg->DefaultButton())
                b->click();
    });
    if (mode == QStringLiteral("window")) {
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
        return app.exec();
    }
    QTimer::singleShot(300, [&] {
        TModalResult r;
        if (mode == QStringLiteral("error"))
            r = ZeltMessageDlg(QStringLiteral("Oracle Error: 942 -  table or view does not exist"),
                               TMLCtrl32->mlEroare->Text(), mtError, {mbOK}, mbOK, 0);
        else
            r = ZeltMessageDlg(QStringLiteral("``Opresti procesul de actualizare ?  "),
                               TMl1->mlConfirmare->Text(), mtConfirmation, {mbYes, mbNo}, mbYes, 0);
        std::printf("%d\n", r);
        main.close();
        app.quit();
    });
    return app.exec();
}
