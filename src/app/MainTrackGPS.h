#pragma once

#include "RunLog.h"

#include "ZeltDBEditForm.h"
#include <QDateTime>
#include <QString>

class Clock;
class QPlainTextEdit;
class TGauge;
class TZeltDBSQLTable;
class TZeltSQLConnection;
class TZeltTouchButton;
class QTimer;

// What the window needs from its surroundings; tests pass a hand-driven clock and a temporary folder.
struct TDEzeriRAZContext {
    Clock* clock = nullptr;     // none: the system clock
    QString exeDir;             // holds Odolink.ini and receives the log; empty: the executable's folder
    QString defaultTrackGPSUrl; // service address when the configuration names none; empty: built-in
};

// The main window: host of the one-shot job (configuration, session, credentials, update pass) and of
// its log. The job starts one second after creation and closes the window when it ends.
class TDEzeriRAZ : public TZeltDBEditForm {
    Q_OBJECT
public:
    explicit TDEzeriRAZ(TDEzeriRAZContext context = {}, QWidget* parent = nullptr);
    ~TDEzeriRAZ() override;

    // Configuration, as read by LoadConfig.
    QString OraDBName;
    QString NumeFirma;
    QString TrackGPSUser;
    QString TrackGPSParola;
    QString DriverID;
    QString TrackGPSUrl;
    QString TrackGPSCaFile;

    QString EroareOracle;
    bool StopFortat = false;

    const QDateTime& OpenDate() const { return FOpenDate; }
    const TRunLog& LogFile() const { return FLogFile; }
    QString LogFileName() const;
    QString ConfigFileName() const;
    bool JobRunning() const { return FJobRunning; }

    void Timer1Timer();
    void StartUpdate();
    void FaNani(int Secunde);
    void LogFileAdd(const QString& Mesaj);
    void LoadConfig();
    bool ParametriConectareSOAP_OK();
    bool ConnectToOracle();
    bool CompanySchema_OK();
    void UpdateKMBord();
    void UpdateVehicleKM(bool& EroareSoap);
    void ZeltTouchButton1Click();
    // A log line stamped with the clock's time of day.
    void Log(const QString& message);

    QPlainTextEdit* Memo1 = nullptr;
    TGauge* gauge = nullptr;
    QTimer* Timer1 = nullptr;
    TZeltTouchButton* ZeltTouchButton1 = nullptr;
    TZeltSQLConnection* ZeltConn = nullptr;

signals:
    // The job has finished (its steps ran or an error left them); the window may stay open.
    void jobFinished();

protected:
    void FormClose(TCloseAction& action) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void PlaceStopButton();
    // A relative TrackGPSCaFile is taken from the executable's folder, like the configuration.
    void UseServiceTrust();
    Clock& clock() const { return *FClock; }

    Clock* FClock;
    QString FExeDir;
    QString FDefaultUrl;
    QDateTime FOpenDate;
    TRunLog FLogFile;
    bool FJobRunning = false;
    bool FClosed = false;
    bool FWakePending = false;
    // The pass's query and current row's last-reading date, for the per-vehicle step.
    TZeltDBSQLTable* FQuery = nullptr;
    QDateTime FDataBord;
    QString FSoapErrorMsg;
};
