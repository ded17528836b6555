#include "SoapTestEnvelope.h"

#include <QStringList>

namespace soaptest {

QString actionOf(const QString& operation) {
    return kServiceNs + QStringLiteral("ITrackGPS/") + operation;
}

QByteArray contentTypeFor(const QString& operation) {
    return "application/soap+xml; charset=utf-8;action=\"" + actionOf(operation).toUtf8() + '"';
}

QByteArray envelope(const QString& operation, const QString& userElement, const QString& user,
                    const QString& password, const Params& params) {
    Params all{{userElement, user}, {QStringLiteral("password"), password}};
    all.append(params);
    return envelope(operation, all);
}

QByteArray envelope(const QString& operation, const Params& params) {
    QStringList lines{
        QStringLiteral("<s:Envelope xmlns:a=\"http://www.w3.org/2005/08/addressing\" "
                       "xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\">"),
        QStringLiteral("<s:Header>"),
        QStringLiteral("<a:Action s:mustUnderstand=\"1\">%1</a:Action>").arg(actionOf(operation)),
        QStringLiteral("<a:MessageID>%1</a:MessageID>").arg(kMessageId),
        QStringLiteral("<ActivityId CorrelationId=\"5f90ab71-30b8-4469-a490-29fee312688f\" "
                       "xmlns=\"http://schemas.microsoft.com/2004/09/ServiceModel/Diagnostics\">"
                       "b1faab55-34fb-4f99-8ff3-f83aec7c9214</ActivityId>"),
        QStringLiteral("<a:ReplyTo>"),
        QStringLiteral("<a:Address>http://www.w3.org/2005/08/addressing/anonymous</a:Address>"),
        QStringLiteral("</a:ReplyTo>"),
        QStringLiteral("</s:Header>"),
        QStringLiteral("<s:Body>"),
        QStringLiteral("<%1 xmlns=\"%2\">").arg(operation, kServiceNs),
    };
    for (const auto& [name, value] : params)
        lines.append(QStringLiteral("<%1>%2</%1>").arg(name, value));
    lines << QStringLiteral("</%1>").arg(operation) << QStringLiteral("</s:Body>")
          << QStringLiteral("</s:Envelope>");
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

} // namespace soaptest
