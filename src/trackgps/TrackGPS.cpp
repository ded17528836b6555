#include "TrackGPS.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& dialogLock() {
    static std::mutex m;
    return m;
}

TTrackGPS::TErrorDialog& errorDialog() {
    static TTrackGPS::TErrorDialog dialog;
    return dialog;
}

void showError(const QString& text) {
    TTrackGPS::TErrorDialog dialog;
    {
        std::lock_guard lock(dialogLock());
        dialog = errorDialog();
    }
    const QString caption = QStringLiteral("Eroare ");
    if (dialog) {
        dialog(text, caption);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption.trimmed()), text.toLocal8Bit().constData());
}

QString upperAscii(const QString& s) {
    QString out = s;
    for (QChar& c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

// Values go into element content: the three characters that could end it or start markup.
QString escaped(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

QString element(const QString& name, const QString& value) {
    return QStringLiteral("<%1>%2</%1>").arg(name, escaped(value));
}

QString messageOf(const std::exception& e) {
    if (const auto* z = dynamic_cast<const EZeltError*>(&e))
        return z->Message();
    return QString::fromLocal8Bit(e.what());
}

const QString ServiceNs = QStringLiteral("http://tempuri.org/");

} // namespace

TTrackGPS::TTrackGPS(const QString& UserName, const QString& Password, const QString& URL)
    : FUserName(UserName), FPassword(Password), FURL(URL) {}

void TTrackGPS::SetErrorDialog(TErrorDialog dialog) {
    std::lock_guard lock(dialogLock());
    errorDialog() = std::move(dialog);
}

void TTrackGPS::BeforeExecute(const QString& MethodName, QByteArray& SOAPRequest) const {
    const QString op = upperAscii(MethodName);
    QStringList lines;
    lines << QStringLiteral(R"(<s:Envelope xmlns:a="http://www.w3.org/2005/08/addressing" )"
                            R"(xmlns:s="http://www.w3.org/2003/05/soap-envelope">)")
          << QStringLiteral("<s:Header>")
          << QStringLiteral(R"(<a:Action s:mustUnderstand="1">)") + ServiceNs + QStringLiteral("ITrackGPS/") +
                 MethodName + QStringLiteral("</a:Action>")
          << QStringLiteral("<a:MessageID>urn:uuid:f5dacb04-c862-4a05-9291-d59fde6212ea</a:MessageID>")
          << QStringLiteral(R"(<ActivityId CorrelationId="5f90ab71-30b8-4469-a490-29fee312688f" )"
                            R"(xmlns="http://schemas.microsoft.com/2004/09/ServiceModel/Diagnostics">)"
                            R"(b1faab55-34fb-4f99-8ff3-f83aec7c9214</ActivityId>)")
          << QStringLiteral("<a:ReplyTo>")
          << QStringLiteral("<a:Address>http://www.w3.org/2005/08/addressing/anonymous</a:Address>")
          << QStringLiteral("</a:ReplyTo>") << QStringLiteral("</s:Header>") << QStringLiteral("<s:Body>")
          << QStringLiteral("<") + MethodName + QStringLiteral(" xmlns=\"") + ServiceNs +
                 QStringLiteral("\">");
    if (op == u"GETCARS" || op == u"GETGPSLOCATIONS")
        lines << element(QStringLiteral("user"), FUserName);
    else
        lines << element(QStringLiteral("username"), FUserName);
    lines << element(QStringLiteral("password"), FPassword);
    if (op == u"GETCARRIERLOCATION") {
        lines << element(QStringLiteral("carrierId"), FIDMasina);
    } else if (op == u"GETDISTANCE") {
        lines << element(QStringLiteral("carrierID"), FIDMasina)
              << element(QStringLiteral("startDate"), FStartDate)
              << element(QStringLiteral("endDate"), FEndDate);
    } else if (op == u"GETDISTANCEBYIMEI") {
        lines << element(QStringLiteral("imei"), FIDMasina)
              << element(QStringLiteral("startDate"), FStartDate)
              << element(QStringLiteral("endDate"), FEndDate);
    }
    lines << QStringLiteral("</") + MethodName + QStringLiteral(">") << QStringLiteral("</s:Body>")
          << QStringLiteral("</s:Envelope>");
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    // The transport declares UTF-8, so the envelope is written in it; nothing of the runtime's
    // own request survives.
    SOAPRequest = text.toUtf8();
}

std::unique_ptr<THTTPRIO> TTrackGPS::NewClient() {
    TrackGPSWs::RegisterTrackGPSWs();
    auto rio = std::make_unique<THTTPRIO>(QStringLiteral("ITrackGPS"));
    rio->SetURL(FURL);
    rio->SetOnBeforeExecute(
        [this](const QString& method, QByteArray& request) { BeforeExecute(method, request); });
    return rio;
}

void TTrackGPS::Exchange(const std::function<void(TrackGPSWs::ITrackGPS&)>& call, bool& EroareSoap,
                         QString& SoapErrorMsg) {
    std::unique_ptr<THTTPRIO> rio = NewClient();
    try {
        const std::unique_ptr<TrackGPSWs::ITrackGPS> service = TrackGPSWs::GetITrackGPS(std::move(rio));
        call(*service);
    } catch (const std::exception& e) {
        EroareSoap = true;
        SoapErrorMsg = messageOf(e);
        if (!Mute)
            showError(SoapErrorMsg);
    }
}

QString TTrackGPS::GetCars() {
    QString result;
    bool failed = false;
    QString message;
    Exchange([&](TrackGPSWs::ITrackGPS& s) { result = s.GetCars(FUserName, FPassword); }, failed, message);
    return failed ? QString() : result;
}

double TTrackGPS::GetDistance(qint32 IDMasina, const QDateTime& DataStart, const QDateTime& DataEnd,
                              bool& EroareSoap, QString& SoapErrorMsg) {
    double result = 0.0;
    EroareSoap = false;
    SoapErrorMsg.clear();
    const TXSDateTime start = TXSDateTime::FromLocal(DataStart);
    const TXSDateTime end = TXSDateTime::FromLocal(DataEnd);
    FStartDate = start.NativeToXS();
    FEndDate = end.NativeToXS();
    FIDMasina = QString::number(IDMasina);
    Exchange(
        [&](TrackGPSWs::ITrackGPS& s) {
            result = s.GetDistance(FUserName, FPassword, IDMasina, &start, &end);
        },
        EroareSoap, SoapErrorMsg);
    return EroareSoap ? 0.0 : result;
}

double TTrackGPS::GetDistanceByIMEI(const QString& IMEI, const QDateTime& DataStart, const QDateTime& DataEnd,
                                    bool& EroareSoap, QString& SoapErrorMsg) {
    double result = 0.0;
    EroareSoap = false;
    SoapErrorMsg.clear();
    const TXSDateTime start = TXSDateTime::FromLocal(DataStart);
    const TXSDateTime end = TXSDateTime::FromLocal(DataEnd);
    FStartDate = start.NativeToXS();
    FEndDate = end.NativeToXS();
    FIDMasina = IMEI;
    Exchange(
        [&](TrackGPSWs::ITrackGPS& s) {
            result = s.GetDistanceByIMEI(FUserName, FPassword, IMEI, &start, &end);
        },
        EroareSoap, SoapErrorMsg);
    return EroareSoap ? 0.0 : result;
}

TByteDynArray TTrackGPS::GetGPSLocation(bool& EroareSoap, QString& SoapErrorMsg) {
    TByteDynArray result;
    EroareSoap = false;
    SoapErrorMsg.clear();
    Exchange([&](TrackGPSWs::ITrackGPS& s) { result = s.GetGpsLocations(FUserName, FPassword); }, EroareSoap,
             SoapErrorMsg);
    return EroareSoap ? TByteDynArray() : result;
}

std::unique_ptr<TrackGPSWs::CarrierLocation2>
TTrackGPS::GetCarrierLocation(qint32 CarrierID, bool& EroareSoap, QString& SoapErrorMsg) {
    std::unique_ptr<TrackGPSWs::CarrierLocation2> result;
    EroareSoap = false;
    SoapErrorMsg.clear();
    FIDMasina = QString::number(CarrierID);
    Exchange(
        [&](TrackGPSWs::ITrackGPS& s) { result = s.GetCarrierLocation(FUserName, FPassword, CarrierID); },
        EroareSoap, SoapErrorMsg);
    if (EroareSoap)
        result.reset();
    return result;
}

QString TTrackGPS::GetCarriersLocation(bool& EroareSoap, QString& SoapErrorMsg) {
    QString result;
    EroareSoap = false;
    SoapErrorMsg.clear();
    Exchange([&](TrackGPSWs::ITrackGPS& s) { result = s.GetCarriersLocation(FUserName, FPassword); },
             EroareSoap, SoapErrorMsg);
    return EroareSoap ? QString() : result;
}
