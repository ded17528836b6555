#pragma once

#include "TrackGPSWs_Unit.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

// The client of the ITrackGPS service: one method call is one SOAP exchange over a fresh client
// object. Failures of the exchange never escape: they set EroareSoap and SoapErrorMsg and, unless
// Mute is set, go to the error dialog. A date in the hour skipped when daylight saving begins is
// the one error that does escape (EZeltError), before anything is sent.
//
// Transport options (CA file, time-out) are the process-wide TSoapTransportOptions default.
class TTrackGPS {
public:
    // Shows an error to the user; the application installs one (the client knows no windows).
    using TErrorDialog = std::function<void(const QString& text, const QString& caption)>;

    TTrackGPS(const QString& UserName, const QString& Password, const QString& URL);

    // When true, failures are not shown in the dialog; the error flag and text are set regardless.
    bool Mute = false;

    // On failure: empty text (and the dialog unless Mute).
    QString GetCars();
    double GetDistance(qint32 IDMasina, const QDateTime& DataStart, const QDateTime& DataEnd,
                       bool& EroareSoap, QString& SoapErrorMsg);
    double GetDistanceByIMEI(const QString& IMEI, const QDateTime& DataStart, const QDateTime& DataEnd,
                             bool& EroareSoap, QString& SoapErrorMsg);
    TByteDynArray GetGPSLocation(bool& EroareSoap, QString& SoapErrorMsg);
    // The caller owns the result; null on failure or when the service answers nil.
    std::unique_ptr<TrackGPSWs::CarrierLocation2> GetCarrierLocation(qint32 CarrierID, bool& EroareSoap,
                                                                     QString& SoapErrorMsg);
    QString GetCarriersLocation(bool& EroareSoap, QString& SoapErrorMsg);

    // The before-execute hook: replaces the serialized request with the service's own envelope.
    void BeforeExecute(const QString& MethodName, QByteArray& SOAPRequest) const;

    // Installs the process-wide error dialog; an empty callable restores the default (stderr).
    static void SetErrorDialog(TErrorDialog dialog);

private:
    std::unique_ptr<THTTPRIO> NewClient();
    // Runs one exchange; on failure sets the flag and text and shows the dialog.
    void Exchange(const std::function<void(TrackGPSWs::ITrackGPS&)>& call, bool& EroareSoap,
                  QString& SoapErrorMsg);

    QString FUserName;
    QString FPassword;
    QString FURL;
    QString FIDMasina;
    QString FStartDate;
    QString FEndDate;
};
