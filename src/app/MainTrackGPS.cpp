#include "MainTrackGPS.h"

#include "Clock.h"
#include "Gauge.h"
#include "SoapTransport.h"
#include "TrackGPS.h"
#include "ZeltButtons.h"
#include "ZeltColors.h"
#include "ZeltDBOwner.h"
#include "ZeltDBSQLTable.h"
#include "ZeltFonts.h"
#include "ZeltFormats.h"
#include "ZeltIniFile.h"
#include "ZeltMessageDlg.h"
#include "ZeltSQLConnection.h"
#include "ZeltTexte.h"
#include "ZeltTitle.h"

#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

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
    : TZeltDBEditForm(parent), FClock(context.clock ? context.clock : &systemClock()),
      FExeDir(context.exeDir.isEmpty() ? QCoreApplication::applicationDirPath() : context.exeDir),
      FDefaultUrl(context.defaultTrackGPSUrl.isEmpty() ? QStringLiteral(ODOLINK_TRACKGPS_DEFAULT_URL)
                                                       : context.defaultTrackGPSUrl) {
    // Sizes are those of a 120 dpi design, scaled to the screen.
    const double s = logicalDpiY() / 120.0;
    auto px = [s](int v) { return qRound(v * s); };

    setObjectName(QStringLiteral("DEzeriRAZ"));
    setWindowTitle(QStringLiteral("GPS Tracking"));
    SetColor(clOther);
    SetPosition(poScreenCenter);
    setMinimumHeight(px(150));
    setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), px(13)));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* bar = new TZeltTitleBar(this);
    bar->setObjectName(QStringLiteral("ZeltTitleBar1"));
    bar->resize(bar->width(), px(31));
    bar->SetCaption(windowTitle());
    bar->SetStartColor(clOther);
    bar->SetEndColor(clOther);
    bar->SetGrayed(false);
    Loaded();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    gauge = new TGauge(this);
    gauge->setObjectName(QStringLiteral("gauge"));
    gauge->setFixedHeight(px(27));
    gauge->BackColor = ZeltToQColor(clPaper);
    gauge->ForeColor = QColor(15, 193, 113);
    gauge->TextColor = Qt::white;
    gauge->setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), px(15)));
    gauge->SetProgress(10);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1, 1);
    layout->addWidget(gauge);
    SetClientSize(px(542), px(191));

    ZeltTouchButton1 = new TZeltTouchButton(this);
    ZeltTouchButton1->setObjectName(QStringLiteral("ZeltTouchButton1"));
    ZeltTouchButton1->SetCaption(QStringLiteral(" X"));
    ZeltTouchButton1->setFont(ZeltFonts::FromHeight(QStringLiteral("Tahoma"), px(13), true));
    ZeltTouchButton1->SetFontColor(clWhite);
    ZeltTouchButton1->resize(px(28), px(30));
    connect(ZeltTouchButton1, &QAbstractButton::clicked, this, &TDEzeriRAZ::ZeltTouchButton1Click);
    PlaceStopButton();

    ZeltConn = new TZeltSQLConnection(this);
    ZeltConn->setObjectName(QStringLiteral("ZeltConn"));
    ZeltConn->SetParams({QStringLiteral("DriverID=Ora")});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TDEzeriRAZ::Timer1Timer);
    Timer1->start();

    FormCreate();
}

void TDEzeriRAZ::PlaceStopButton() {
    if (!ZeltTouchButton1)
        return;
    const QRect client = ClientRect();
    ZeltTouchButton1->move(client.right() + 1 - ZeltTouchButton1->width(), client.top());
    ZeltTouchButton1->raise();
}

void TDEzeriRAZ::resizeEvent(QResizeEvent* event) {
    TZeltDBEditForm::resizeEvent(event);
    PlaceStopButton();
}

void TDEzeriRAZ::ZeltTouchButton1Click() {
    const TModalResult answer =
        ZeltMessageDlg(QStringLiteral("``Opresti procesul de actualizare ?  "), TMl1->mlConfirmare->Text(),
                       mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, mbYes, 0);
    StopFortat = answer == mrYes;
    if (StopFortat)
        Log(QStringLiteral("Oprire fortata update "));
}

TDEzeriRAZ::~TDEzeriRAZ() = default;

void TDEzeriRAZ::FormCreate() {
    FOpenDate = clock().now();
    // The log list exists from construction (FLogFile); every run starts without a session.
    if (ZeltConn->Connected())
        ZeltConn->SetConnected(false);
}

QString TDEzeriRAZ::LogFileName() const {
    return TRunLog::FileName(FExeDir, FOpenDate);
}

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
    UseServiceTrust();
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

void TDEzeriRAZ::Log(const QString& message) {
    LogFileAdd(TRunLog::Line(clock().now(), message));
}

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

void TDEzeriRAZ::UseServiceTrust() {
    TSoapTransportOptions options = TSoapTransportOptions::Default();
    options.CaFile = TrackGPSCaFile.isEmpty() ? QString() : QDir(FExeDir).absoluteFilePath(TrackGPSCaFile);
    TSoapTransportOptions::SetDefault(options);
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
    bool result = false;
    if (OraDBName.isEmpty()) {
        Log(QStringLiteral("Nu ai setat in configurari parametrul OraDBName"));
        return false;
    }
    if (NumeFirma.isEmpty()) {
        Log(QStringLiteral("Nu ai setat in configurari parametrul NumeFirma"));
        return false;
    }
    ZeltConn->SetParam(QStringLiteral("DriverID"), DriverID);
    ZeltConn->SetParam(QStringLiteral("DataBase"), OraDBName);
    ZeltConn->SetParam(QStringLiteral("User_Name"), QStringLiteral("OWLFZEJQWV"));
    ZeltConn->SetParam(QStringLiteral("Password"), QStringLiteral("KOBRAVETIN"));
    try {
        ZeltConn->SetConnected(true);
        result = ZeltConn->Connected();
        if (result)
            Log(QStringLiteral("Conectat la Oracle "));
        DefaultSQLConnection = ZeltConn;
        ZeltConn->SetAdmin(NumeFirma);
        if (result)
            result = CompanySchema_OK();
        if (!result)
            Log(QStringLiteral("Nu ma pot conecta la firma : ") + NumeFirma);
        else
            Log(QStringLiteral("Conectat la firma : ") + NumeFirma + u'/' + OraDBName);
    } catch (const EZeltError& e) {
        result = false;
        EroareOracle = e.Message();
        EroareOracle.replace(u'\n', QStringLiteral("\r\r"));
        Log(QStringLiteral("Eroare conectare la server oracle : ") + EroareOracle);
    }
    return result;
}

bool TDEzeriRAZ::CompanySchema_OK() {
    bool ok = false;
    auto probe = std::make_unique<TZeltDBSQLTable>();
    probe->SetConnection(ZeltConn);
    probe->SetSQLText(QStringLiteral("SELECT COUNT(*) FROM <OWNER>.TMP_NARTOBJ"));
    try {
        probe->Open();
        ok = true;
    } catch (...) {
        // Whatever the reason, the company is not usable; the caller says so.
        ok = false;
    }
    probe.reset();
    return ok;
}

namespace {

// The vehicle list: each tracked vehicle with the value and date of its last reading.
const QStringList kVehicleQuery = {
    QStringLiteral("SELECT "),
    QStringLiteral("  P.CODNPARCAUT, "),
    QStringLiteral("  P0.KMBORD, "),
    QStringLiteral("  P0.DATABORD, "),
    QStringLiteral("  P.NRINREG, "),
    QStringLiteral("  P.CODEXTERN "),
    QStringLiteral("FROM "),
    QStringLiteral("  <OWNER>.NPARCAUT P "),
    QStringLiteral("  LEFT JOIN "),
    QStringLiteral("  (SELECT "),
    QStringLiteral("     CODNPARCAUT, "),
    QStringLiteral("     MAX(KMBORD) KEEP (Dense_Rank LAST ORDER BY DATABORD) KMBORD, "),
    QStringLiteral("     MAX(DATABORD) KEEP (Dense_Rank LAST ORDER BY DATABORD) DATABORD  "),
    QStringLiteral("   FROM "),
    QStringLiteral("     <OWNER>.NPARC0 "),
    QStringLiteral("   GROUP BY CODNPARCAUT "),
    QStringLiteral("  ) P0 ON P0.CODNPARCAUT = P.CODNPARCAUT "),
    QStringLiteral("WHERE "),
    QStringLiteral("  P.CODEXTERN IS NOT NULL "),
    QStringLiteral("  AND P0.DATABORD IS NOT NULL"),
};

const QString kQuestionDate = QStringLiteral("dd.mm.yyyy hh:nn");

// Days between two wall-clock times, as a floating day count: daylight saving does not stretch a day.
double wallDaysBetween(const QDateTime& from, const QDateTime& to) {
    const QDateTime a(from.date(), from.time(), Qt::UTC);
    const QDateTime b(to.date(), to.time(), Qt::UTC);
    return double(a.msecsTo(b)) / 86400000.0;
}

} // namespace

void TDEzeriRAZ::UpdateKMBord() {
    Log(QStringLiteral("Start Update Kilometri bord"));
    auto query = std::make_unique<TZeltDBSQLTable>();
    query->SetConnection(ZeltConn);
    FQuery = query.get();
    // Every way out releases the query and writes the final line; an error then goes on.
    struct Closing {
        TDEzeriRAZ* w;
        std::unique_ptr<TZeltDBSQLTable>& q;
        ~Closing() {
            w->FQuery = nullptr;
            q.reset();
            w->Log(QStringLiteral("Final Update Kilometri bord"));
        }
    } closing{this, query};

    query->SetSQLLines(kVehicleQuery);
    query->Open();
    Log(QString::number(query->RecordCount()) + QStringLiteral("  autovehicole de actualizat "));
    query->First();
    gauge->SetMinValue(0);
    gauge->SetMaxValue(query->RecordCount());
    while (!query->Eof()) {
        gauge->SetProgress(query->RecNo());
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        FDataBord = query->FieldByName(QStringLiteral("DataBord")).AsDateTime();
        const QString nrInreg = query->FieldByName(QStringLiteral("NrInreg")).AsString();
        Log(QStringLiteral("Interogare pentru autovehicol ") + nrInreg + QStringLiteral(" DataStart : ") +
            FormatDateTime(kQuestionDate, FDataBord) + QStringLiteral(" DataEnd : ") +
            FormatDateTime(kQuestionDate, clock().now()));

        bool EroareSoap = false;
        const QDateTime today(clock().now().date(), QTime(0, 0));
        if (wallDaysBetween(FDataBord, today) > 30.0) {
            Log(QStringLiteral("Nu pot interoga un interval mai mare de 30 de zile. Vezi : ") + nrInreg);
        } else {
            UpdateVehicleKM(EroareSoap);
        }
        if (EroareSoap || StopFortat)
            break;
        query->Next();
    }
}

void TDEzeriRAZ::UpdateVehicleKM(bool& EroareSoap) {
    EroareSoap = false;
    FSoapErrorMsg.clear();
    TZeltDBSQLTable& query = *FQuery;

    TTrackGPS client(TrackGPSUser, TrackGPSParola, TrackGPSUrl);
    client.Mute = true;
    const QDateTime DataEnd = clock().now();
    const QString dataEndText = FormatDateTime(kQuestionDate, DataEnd);
    const double km = client.GetDistanceByIMEI(query.FieldByName(QStringLiteral("CodExtern")).AsString(),
                                               FDataBord, DataEnd, EroareSoap, FSoapErrorMsg);
    if (EroareSoap) {
        Log(QStringLiteral("Eroare server SOAP : ") + FSoapErrorMsg);
        return;
    }

    const qint64 newKm =
        qint64(std::trunc(double(query.FieldByName(QStringLiteral("KmBord")).AsInteger()) + km));
    Log(QStringLiteral("KM returnati : ") + FormatFloat(QStringLiteral("0.000"), km));
    const QDate asked = clock().now().date();
    const QString prefix = GetDBOwnerPrefix();
    const QString insert =
        QStringLiteral("INSERT ") + u'\r' + QStringLiteral("INTO ") + u'\r' + prefix +
        QStringLiteral(" NPARC0(CODNPARC0, CODNPARCAUT, DATABORD, KMBORD, AN, LUNA) ") + u'\r' +
        QStringLiteral("VALUES(") + prefix + QStringLiteral("SEQ_NPARC0_CODNPARC0.NEXTVAL, ") +
        query.FieldByName(QStringLiteral("CodNParcAut")).AsString() + QStringLiteral(",TO_DATE('") +
        dataEndText + QStringLiteral("', 'DD.MM.YYYY hh24:MI')") + QStringLiteral(", ") +
        QString::number(newKm) + u',' + QString::number(asked.year()) + u',' +
        QString::number(asked.month()) + u')';
    ZeltConn->ExecuteDirect(insert);
    ZeltConn->ExecuteDirect(QStringLiteral("COMMIT"));
    if (query.RecNo() < query.RecordCount())
        FaNani(32);
}

void TDEzeriRAZ::FormClose(TCloseAction&) {
    if (FClosed)
        return;
    FClosed = true;
    Timer1->stop();
    // A close from outside while the job runs: the pass stops after the vehicle in hand.
    StopFortat = true;
    FLogFile.WriteAndRelease(LogFileName());
}
