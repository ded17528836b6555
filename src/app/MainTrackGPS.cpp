#include "MainTrackGPS.h"

#include "Clock.h"
#include "Gauge.h"
#include "ZeltIniFile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#ifndef ODOLINK_TRACKGPS_DEFAULT_URL
#define ODOLINK_TRACKGPS_DEFAULT_URL "https://localhost/TrackGPS.WCFService/TrackGPSWs.svc"
#endif

namespace {

const QString kSection = QStringLiteral("Configurari");

int secondsOfDay(const QDateTime& t) {
    const QTime tod = t.time();
    return tod.hour() * 3600 + tod.minute() * 60 + tod.second();
}

QString missingKey(const QString& key) {
    return QStringLiteral("Nu ai setat in configurari parametrul \"%1\" ").arg(key);
}

} // namespace

TDEzeriRAZ::TDEzeriRAZ(TDEzeriRAZContext context, QWidget* parent)
    : QWidget(parent), FClock(context.clock ? context.clock : &systemClock()),
      FExeDir(context.exeDir.isEmpty() ? QCoreApplication::applicationDirPath() : context.exeDir),
      FDefaultUrl(context.defaultTrackGPSUrl.isEmpty() ? QStringLiteral(ODOLINK_TRACKGPS_DEFAULT_URL)
                                                       : context.defaultTrackGPSUrl) {
    setObjectName(QStringLiteral("DEzeriRAZ"));
    setWindowTitle(QStringLiteral("GPS Tracking"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    gauge = new TGauge(this);
    gauge->setObjectName(QStringLiteral("gauge"));
    gauge->setFixedHeight(27);
    gauge->BackColor = QColor(182, 182, 182);
    gauge->ForeColor = QColor(15, 193, 113);
    gauge->TextColor = Qt::white;
    gauge->SetProgress(10);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1, 1);
    layout->addWidget(gauge);
    resize(542, 191);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TDEzeriRAZ::Timer1Timer);
    Timer1->start();

    FormCreate();
}

TDEzeriRAZ::~TDEzeriRAZ() = default;

void TDEzeriRAZ::FormCreate() {
    FOpenDate = clock().now();
    // The log list exists from construction (FLogFile); the session starts closed.
}

QString TDEzeriRAZ::LogFileName() const { return TRunLog::FileName(FExeDir, FOpenDate); }

QString TDEzeriRAZ::ConfigFileName() const {
    QString dir = FExeDir;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir + QStringLiteral("Odolink.ini");
}

void TDEzeriRAZ::Timer1Timer() {
    Timer1->stop();
    StartUpdate();
}

void TDEzeriRAZ::StartUpdate() {
    FJobRunning = true;
    struct Finished {
        TDEzeriRAZ* w;
        ~Finished() {
            w->FJobRunning = false;
            emit w->jobFinished();
        }
    } finished{this};

    LoadConfig();
    if (!ConnectToOracle()) {
        Log(QStringLiteral("Eroare la conectare la Oracle "));
    } else if (ParametriConectareSOAP_OK()) {
        UpdateKMBord();
    }
    close();
}

void TDEzeriRAZ::FaNani(int Secunde) {
    const int start = secondsOfDay(clock().now());
    auto elapsed = [&] {
        int s = secondsOfDay(clock().now()) - start;
        if (s < 0)
            s += 86400;
        return s;
    };
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (!StopFortat && elapsed() < Secunde) {
        // Sleep until something happens or the clock reaches its next whole second.
        if (!FWakePending) {
            FWakePending = true;
            const QDateTime now = clock().now();
            clock().wakeAt(now.addMSecs(1000 - now.time().msec()), this, [this] { FWakePending = false; });
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void TDEzeriRAZ::LogFileAdd(const QString& Mesaj) {
    if (!FLogFile.Add(Mesaj))
        return;
    QString shown = Mesaj;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    Memo1->appendPlainText(shown);
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TDEzeriRAZ::Log(const QString& message) { LogFileAdd(TRunLog::Line(clock().now(), message)); }

void TDEzeriRAZ::LoadConfig() {
    const ZeltIniFile ini = ZeltIniFile::fromFile(ConfigFileName());
    OraDBName = ini.ReadString(kSection, QStringLiteral("OraDbName"), QStringLiteral("ZeltDB2"));
    NumeFirma = ini.ReadString(kSection, QStringLiteral("NumeFirma"));
    TrackGPSUser = ini.ReadString(kSection, QStringLiteral("TrackGPSUser"));
    TrackGPSParola = ini.ReadString(kSection, QStringLiteral("TrackGPSParola"));
    DriverID = ini.ReadString(kSection, QStringLiteral("DriverID"), QStringLiteral("Ora"));
    TrackGPSUrl = ini.ReadString(kSection, QStringLiteral("TrackGPSUrl"), FDefaultUrl);
    TrackGPSCaFile = ini.ReadString(kSection, QStringLiteral("TrackGPSCaFile"));
}

bool TDEzeriRAZ::ParametriConectareSOAP_OK() {
    bool ok = true;
    if (TrackGPSUser.isEmpty()) {
        Log(missingKey(QStringLiteral("TrackGPSUser")));
        ok = false;
    }
    if (TrackGPSParola.isEmpty()) {
        Log(missingKey(QStringLiteral("TrackGPSParola")));
        ok = false;
    }
    return ok;
}

bool TDEzeriRAZ::ConnectToOracle() {
    if (OraDBName.isEmpty()) {
        Log(QStringLiteral("Nu ai setat in configurari parametrul OraDBName"));
        return false;
    }
    if (NumeFirma.isEmpty()) {
        Log(QStringLiteral("Nu ai setat in configurari parametrul NumeFirma"));
        return false;
    }
    EroareOracle = QStringLiteral("This build has no database driver.");
    Log(QStringLiteral("Eroare conectare la server oracle : ") + EroareOracle);
    return false;
}

void TDEzeriRAZ::UpdateKMBord() {}

void TDEzeriRAZ::closeEvent(QCloseEvent* event) {
    if (FClosed) {
        event->accept();
        return;
    }
    FClosed = true;
    Timer1->stop();
    // A close from outside while the job runs: the pass stops after the vehicle in hand.
    StopFortat = true;
    event->accept();
    FormClose();
}

void TDEzeriRAZ::FormClose() { FLogFile.WriteAndRelease(LogFileName()); }
